// What F1 shows: the module's help topic that the box names, else every topic of its help file,
// and the host's own keys for where the user is (the viewer's first, the others after).
#pragma once

#include <string>
#include <vector>

#include "host/help_file.h"

namespace kestrova::host::tui {

enum class HelpPlace { Panel, Dialog, Viewer };

// The lines of the help (UTF-8), topics separated by a blank line.
std::vector<std::string> HelpLines(const HelpFile& file, const std::string& topic, HelpPlace place);

}  // namespace kestrova::host::tui
