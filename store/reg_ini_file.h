// TRegIniFile: one key of the settings store seen as an ini file. Sections are subkeys of the
// view's key, idents are values in them. Integers are stored as decimal text, times as 8-byte
// binary values. Reads of anything missing return the default.
#pragma once

#include <string>

#include "store/registry.h"

namespace kestrova {

class TRegIniFile : public TRegistry {
  public:
    // Opens FileName, creating it when it is missing; it stays open for the object's life.
    explicit TRegIniFile(const std::string& FileName);

    std::string ReadString(const std::string& Section, const std::string& Ident,
                           const std::string& Default);
    // Creates a missing section first ("Failed to create key %s"), then writes.
    void WriteString(const std::string& Section, const std::string& Ident,
                     const std::string& Value);
    int ReadInteger(const std::string& Section, const std::string& Ident, int Default);
    void WriteInteger(const std::string& Section, const std::string& Ident, int Value);
    // Raises as TRegistry::ReadTime on a value of the wrong kind or size.
    FILETIME ReadTime(const std::string& Section, const std::string& Ident,
                      const FILETIME& Default);
    void WriteTime(const std::string& Section, const std::string& Ident, const FILETIME& Value);

    // The value names of Section; Strings is left unchanged when the section is missing.
    void ReadSection(const std::string& Section, TStringList& Strings);
    void ReadSections(TStringList& Strings);        // subkey names of the view's key
    void EraseSection(const std::string& Section);  // recursive

    std::string FileName;

  private:
    // Runs op with Section as the current key; false (op not run) when the section is missing.
    template <typename Op>
    bool InSection(const std::string& Section, Op op);
    template <typename Op>
    void WriteInSection(const std::string& Section, const std::string& Ident, Op op);
};

}  // namespace kestrova
