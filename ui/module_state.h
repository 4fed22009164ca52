// Module-wide state shared by every open panel: the settings-store keys derived at start-up and
// the key-bar and info-line records handed to the host by every panel-information call.
#pragma once

#include <string>

#include "hostapi/plugin_api.h"

namespace kestrova {

// Fixed settings-store path of the private account store (ends with a backslash).
extern std::string PrivateRoot;
// The prefixes (separated by ':') under which the host passes command lines to the module.
extern std::string CommandPrefix;
// The host's plugin key joined with the module's name: all options and the view-mode memory.
extern std::string OptionsKey;
// The host's plugin key joined with the framework's name: the character-set slots.
extern std::string FrameworkKey;

inline constexpr int kInfoLineCapacity = 16;

// One instance each, shared by all panels; the host copies what it needs at once.
extern ::KeyBarTitles KeyBarTitles;
extern InfoPanelLine InfoLines[kInfoLineCapacity];

}  // namespace kestrova
