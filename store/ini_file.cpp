#include "store/ini_file.h"

#include "common/errors.h"
#include "common/integer_text.h"
#include "common/streams.h"
#include "platform/filesystem.h"
#include "platform/profile_file.h"

namespace kestrova {
namespace {

constexpr size_t kMaxValueLength = 1023;  // what a 1024-byte read buffer holds

}  // namespace

TIniFile::TIniFile(const std::string& FileName, unsigned Mode) : FileName(FileName) {
    if (Mode != kFileCreate && !platform::FileExists(FileName))
        throw EFOpenError(kItemFailure, "Cannot open file '" + FileName + "'", "");
}

std::string TIniFile::ReadString(const std::string& Section, const std::string& Ident,
                                 const std::string& Default) const {
    std::string value = platform::ReadProfileString(FileName, Section, Ident).value_or(Default);
    if (value.size() > kMaxValueLength) value.resize(kMaxValueLength);
    return value;
}

void TIniFile::WriteString(const std::string& Section, const std::string& Ident,
                           const std::string& Value) {
    if (!platform::WriteProfileString(FileName, Section, Ident, Value))
        throw Exception("Unable to write to '" + FileName + "'");
}

int TIniFile::ReadInteger(const std::string& Section, const std::string& Ident, int Default) const {
    return TextToIntDef(ReadString(Section, Ident, ""), Default);
}

void TIniFile::WriteInteger(const std::string& Section, const std::string& Ident, int Value) {
    WriteString(Section, Ident, IntToText(Value));
}

}  // namespace kestrova
