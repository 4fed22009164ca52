#include "ui/module_state.h"

namespace kestrova {

std::string PrivateRoot = "Software\\Olmwood\\Kestrova\\";
std::string CommandPrefix = "news:nntps:snews";
std::string OptionsKey;
std::string FrameworkKey;

::KeyBarTitles KeyBarTitles{};
InfoPanelLine InfoLines[kInfoLineCapacity]{};

}  // namespace kestrova
