// A settings store of its own for one test: KESTROVA_HOME points at a fresh folder and the
// process's store connection is reopened there.
#pragma once

#include "platform/scoped_environment.h"
#include "platform/settings_store.h"
#include "platform/temp_folder.h"

class FreshStore {
  public:
    FreshStore() {
        environment_.Set("KESTROVA_HOME", folder_.Path().c_str());
        kestrova::platform::ResetSettingsStore();
    }
    ~FreshStore() { kestrova::platform::ResetSettingsStore(); }
    FreshStore(const FreshStore&) = delete;
    FreshStore& operator=(const FreshStore&) = delete;

    const std::string& Folder() const { return folder_.Path(); }

  private:
    TempFolderForTest folder_;
    ScopedEnvironment environment_;
};
