// Account files: one account per profile file, in the section "Kestrova". The URL keeps its
// scheme and never the password, which has its own scrambled ident.
#include "accounts/account_values.h"
#include "accounts/news_registry_manager.h"
#include "common/streams.h"
#include "platform/filesystem.h"
#include "store/ini_file.h"
#include "ui/server_port.h"

namespace kestrova {
namespace {

std::string FilePath(const std::string& dir, const std::string& fileName) {
    return (dir.empty() ? std::string(".") + platform::kPathDelim : dir) + fileName;
}

}  // namespace

bool TNewsRegistryManager::LoadFromFile(const std::string& dir, const std::string& fileName,
                                        TItemRecord& item) {
    const TIniFile ini(FilePath(dir, fileName), 0);
    RefuseBadPort(ini.ReadString(kAccountFileSection, "Url", ""), "LoadFromFile");
    auto account = std::make_unique<TAccountOptions>();
    const bool parsed = ReadAccountValues(
        [&](const char* ident, const std::string& fallback) {
            return ini.ReadString(kAccountFileSection, ident, fallback);
        },
        TBlankTable::BlankIsDefault, *account);
    if (!parsed) return false;
    account->Description = ini.ReadString(kAccountFileSection, "Description", "");
    item = std::move(account);
    return true;
}

bool TNewsRegistryManager::SaveToFile(const std::string& dir, const std::string& fileName,
                                      const TAccountOptions* item) {
    if (!item || AccountUrl(*item, kFileUrlFlags).empty()) return false;
    const std::string path = FilePath(dir, fileName);
    if (platform::FileExists(path)) platform::DeleteFile(path);
    TIniFile ini(path, kFileCreate);
    WriteAccountValues(
        [&](const char* ident, const std::string& value) {
            ini.WriteString(kAccountFileSection, ident, value);
        },
        *item, kFileUrlFlags, true);
    return true;
}

}  // namespace kestrova
