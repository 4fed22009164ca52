// Account files: one account per profile file, in the section "Kestrova". The URL keeps its
// scheme and never the password, which has its own scrambled ident. A file states its encoding
// ("Encoding=UTF-8"); one without (an earlier version's) is read as CP866.
#include <optional>

#include "accounts/account_values.h"
#include "accounts/news_registry_manager.h"
#include "common/streams.h"
#include "platform/charset_conversion.h"
#include "platform/filesystem.h"
#include "platform/utf8.h"
#include "store/ini_file.h"
#include "ui/server_port.h"

namespace kestrova {
namespace {

std::string FilePath(const std::string& dir, const std::string& fileName) {
    return (dir.empty() ? std::string(".") + platform::kPathDelim : dir) + fileName;
}

// The encoding an account file states; files of earlier versions state none and hold CP866.
constexpr const char* kEncodingIdent = "Encoding";
constexpr const char* kFileEncoding = "UTF-8";
constexpr const char* kEarlierFileEncoding = "CP866";

// A value of an account file as UTF-8: well-formed UTF-8 as it is, anything else converted from
// the encoding the file states.
std::string FileText(const std::string& value, const std::string& encoding) {
    if (platform::IsValidUtf8(value)) return value;
    const std::optional<std::string> converted =
        platform::ToUtf8(value, encoding.empty() ? kEarlierFileEncoding : encoding);
    return converted ? *converted : platform::ValidUtf8(value);
}

}  // namespace

bool TNewsRegistryManager::LoadFromFile(const std::string& dir, const std::string& fileName,
                                        TItemRecord& item) {
    const TIniFile ini(FilePath(dir, fileName), 0);
    RefuseBadPort(ini.ReadString(kAccountFileSection, "Url", ""), "LoadFromFile");
    auto account = std::make_unique<TAccountOptions>();
    const std::string encoding = ini.ReadString(kAccountFileSection, kEncodingIdent, "");
    const bool parsed = ReadAccountValues(
        [&](const char* ident, const std::string& fallback) {
            return FileText(ini.ReadString(kAccountFileSection, ident, fallback), encoding);
        },
        TBlankTable::BlankIsDefault, *account);
    if (!parsed) return false;
    account->Description =
        FileText(ini.ReadString(kAccountFileSection, "Description", ""), encoding);
    item = std::move(account);
    return true;
}

bool TNewsRegistryManager::SaveToFile(const std::string& dir, const std::string& fileName,
                                      const TAccountOptions* item) {
    if (!item || AccountUrl(*item, kFileUrlFlags).empty()) return false;
    const std::string path = FilePath(dir, fileName);
    if (platform::FileExists(path)) platform::DeleteFile(path);
    TIniFile ini(path, kFileCreate);
    ini.WriteString(kAccountFileSection, kEncodingIdent, kFileEncoding);
    WriteAccountValues(
        [&](const char* ident, const std::string& value) {
            ini.WriteString(kAccountFileSection, ident, value);
        },
        *item, kFileUrlFlags, true);
    return true;
}

}  // namespace kestrova
