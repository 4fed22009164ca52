// TIniFile: the section/ident interface over a profile (.ini) file; used to export and import
// single accounts.
#pragma once

#include <string>

namespace kestrova {

class TIniFile {
  public:
    // Mode 0xFFFF creates the file on the first write; any other mode needs an existing file,
    // else EFOpenError "Cannot open file '%s'".
    TIniFile(const std::string& FileName, unsigned Mode);

    // At most 1023 characters.
    std::string ReadString(const std::string& Section, const std::string& Ident,
                           const std::string& Default) const;
    // Raises the plain Exception "Unable to write to '%s'".
    void WriteString(const std::string& Section, const std::string& Ident,
                     const std::string& Value);
    int ReadInteger(const std::string& Section, const std::string& Ident, int Default) const;
    void WriteInteger(const std::string& Section, const std::string& Ident, int Value);

    std::string FileName;
};

}  // namespace kestrova
