// Module-wide state for option and character-table tests: a fresh settings store, the keys that
// start-up derives, a fake host, and options and slots as at library load.
#pragma once

#include "fake_host.h"
#include "platform/fresh_store.h"
#include "ui/char_tables.h"
#include "ui/host_services.h"
#include "ui/module_state.h"
#include "ui/plugin_options.h"

namespace kestrova::testing {

class ModuleSettings {
  public:
    ModuleSettings() {
        StartupInfo = host.Info();
        OptionsKey = "Software\\Far\\Plugins\\Kestrova\\";
        FrameworkKey = "Software\\Far\\Plugins\\Tarnwick\\";
        Options = {};
        CharsetSlots = kBuiltInCharsetSlots;
    }
    ~ModuleSettings() { StartupInfo = {}; }
    ModuleSettings(const ModuleSettings&) = delete;
    ModuleSettings& operator=(const ModuleSettings&) = delete;

    FreshStore store;
    FakeHost host;
};

}  // namespace kestrova::testing
