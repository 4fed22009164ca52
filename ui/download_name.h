// The file name under which a copied-out article is stored: the listed name (its subject) or
// the download template, made into one safe name inside the destination folder.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrova {

// The longest file name the file system takes, in bytes of its (UTF-8) name.
inline constexpr size_t kMaxFileNameBytes = 255;

// What a download template expands from.
struct TDownloadSource {
    std::string_view Subject;  // the article's name as listed
    std::string_view Author;   // the article's first column
    int64_t Number = 0;        // the article's number in its group
};

// name unchanged when downloadTemplate is empty; otherwise the template with its macros
// expanded. A macro is a word between two "%" signs (any letter case) and may carry a width,
// ":N" before its closing "%" (N that is not a number counts as 0): %Subject% gives the
// subject and %OName% or %From% the author, each cut to the width when one is given; %Number%
// gives the number, right-aligned with blanks in a field of the width when one is given. Any
// other word stays as written, signs included, and so does a "%" that is never closed. Widths
// above kMaxFileNameBytes count as kMaxFileNameBytes.
std::string ExpandDownloadName(std::string_view downloadTemplate, const TDownloadSource& source,
                               std::string_view name);

// name made into a single file name of the folder it is written to: every separator, control
// character and character a file name cannot hold becomes "_" (MakeValidFileName keeping no
// separator); it is cut on a character boundary so that its UTF-8 form fits
// kMaxFileNameBytes; an empty name and one made only of dots (which name the folder itself or
// its parent) have "_" in their place.
std::string SafeDownloadName(std::string_view name);

}  // namespace kestrova
