#include "store/reg_ini_file.h"

#include "common/integer_text.h"

namespace kestrova {

TRegIniFile::TRegIniFile(const std::string& FileName) : FileName(FileName) {
    OpenKey(FileName, true);
}

template <typename Op>
bool TRegIniFile::InSection(const std::string& Section, Op op) {
    HKEY key = GetKey(Section);
    if (key == 0) return false;
    HKEY view = CurrentKey;
    SetCurrentKey(key);
    try {
        op();
    } catch (...) {
        SetCurrentKey(view);
        platform::StoreCloseKey(key);
        throw;
    }
    SetCurrentKey(view);
    platform::StoreCloseKey(key);
    return true;
}

template <typename Op>
void TRegIniFile::WriteInSection(const std::string& Section, const std::string& Ident, Op op) {
    CreateKey(Section);
    if (!InSection(Section, op)) RaiseRegistryError("Failed to set data for '" + Ident + "'");
}

std::string TRegIniFile::ReadString(const std::string& Section, const std::string& Ident,
                                    const std::string& Default) {
    std::string result = Default;
    InSection(Section, [&] {
        if (ValueExists(Ident)) result = TRegistry::ReadString(Ident);
    });
    return result;
}

void TRegIniFile::WriteString(const std::string& Section, const std::string& Ident,
                              const std::string& Value) {
    WriteInSection(Section, Ident, [&] { TRegistry::WriteString(Ident, Value); });
}

int TRegIniFile::ReadInteger(const std::string& Section, const std::string& Ident, int Default) {
    return TextToIntDef(ReadString(Section, Ident, IntToText(Default)), Default);
}

void TRegIniFile::WriteInteger(const std::string& Section, const std::string& Ident, int Value) {
    WriteString(Section, Ident, IntToText(Value));
}

FILETIME TRegIniFile::ReadTime(const std::string& Section, const std::string& Ident,
                               const FILETIME& Default) {
    FILETIME result = Default;
    InSection(Section, [&] {
        if (ValueExists(Ident)) result = TRegistry::ReadTime(Ident);
    });
    return result;
}

void TRegIniFile::WriteTime(const std::string& Section, const std::string& Ident,
                            const FILETIME& Value) {
    WriteInSection(Section, Ident, [&] { TRegistry::WriteTime(Ident, Value); });
}

void TRegIniFile::ReadSection(const std::string& Section, TStringList& Strings) {
    InSection(Section, [&] { GetValueNames(Strings); });
}

void TRegIniFile::ReadSections(TStringList& Strings) {
    GetKeyNames(Strings);
}

void TRegIniFile::EraseSection(const std::string& Section) {
    DeleteKey(Section);
}

}  // namespace kestrova
