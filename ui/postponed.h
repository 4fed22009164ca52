// Articles that could not be posted, kept so that nothing the user wrote is lost: files in the
// folder "Postponed" of the module's home folder, which the panel beside shows after one is
// kept.
#pragma once

#include <string>
#include <string_view>

namespace kestrova {

class TStream;

// The postponed folder (KESTROVA_HOME/Postponed), created when missing; without a trailing
// delimiter.
std::string PostponedFolder();

// Writes headers (CR LF lines) but the Date line (a kept article sent later takes the date it
// is sent on), an empty line and text into a new file of the postponed folder
// named after subject ("Re_ Subject.txt"; a name in use gets " (2)" and so on, so no kept
// article is ever replaced). Returns the file's path. Raises EFCreateError when the file cannot
// be made, and the streams' errors.
std::string KeepPostponed(TStream& headers, std::string_view text, std::string_view subject);

}  // namespace kestrova
