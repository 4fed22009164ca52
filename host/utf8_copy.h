// Outside programs (viewer, editor) see a UTF-8 copy of an OEM file; a changed copy is
// converted back.
#pragma once

#include <functional>
#include <string>

namespace kestrova::host {

// Whole-file reads and writes of a native (UTF-8) path; Read throws HostError when the file
// cannot be read, Write when it cannot be written.
std::string ReadFileBytes(const std::string& nativePath);
void WriteFileBytes(const std::string& nativePath, const std::string& bytes);

// Writes a UTF-8 copy of the OEM file oemPath next to the temporary files, with the platform's
// LF line ends, lets edit change it (edit gets the copy's native path), and when the copy
// changed, writes it back converted to OEM, with CR LF line ends again where the file had them.
// True when the file changed. The copy is removed in every case.
bool EditAsUtf8(const std::string& oemPath, const std::function<void(const std::string&)>& edit);

}  // namespace kestrova::host
