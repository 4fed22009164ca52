// The cache file of an account, in the Cache folder of the home folder.
#include <cstdio>
#include <exception>

#include "common/streams.h"
#include "news/internet_manager.h"
#include "platform/filesystem.h"

namespace kestrova {

namespace {

constexpr const char* kCacheFolder = "Cache";
constexpr const char* kCacheExtension = ".twc";

// A name part of the file name: a delimiter or NUL would reach outside the Cache folder.
void AppendNamePart(std::string& name, std::string_view part) {
    for (char c : part) {
        if (c == platform::kPathDelim) {
            name += "%2F";
        } else if (c == '\0') {
            name += "%00";
        } else {
            name += c;
        }
    }
}

std::string CacheFolder() {
    return platform::HomeFolder() + platform::kPathDelim + kCacheFolder;
}

}  // namespace

std::string TInternetManager::CacheFileName(std::string_view userName, std::string_view host) {
    std::string name = CacheFolder() + platform::kPathDelim;
    AppendNamePart(name, userName);
    name += '@';
    AppendNamePart(name, host);
    return name + kCacheExtension;
}

void TInternetManager::LoadCache(TCache& cache, std::string_view userName, std::string_view host) {
    try {
        TFileStream file(CacheFileName(userName, host), 0);
        cache.LoadFromStream(file);
    } catch (const std::exception&) {
        // no file yet, or an unreadable one: the lists come from the server
    }
}

void TInternetManager::SaveCache(TCache& cache, std::string_view userName, std::string_view host) {
    if (host.empty()) return;
    std::string aside;
    try {
        const std::string folder = CacheFolder();
        if (!platform::DirectoryExists(folder)) platform::CreateDirectory(folder);
        const std::string fileName = CacheFileName(userName, host);
        aside = platform::CreateTempFile(folder, "save");
        if (aside.empty()) return;
        {
            TFileStream file(aside, kFileCreate);
            cache.SaveToStream(file);
        }
        if (std::rename(platform::ToNativePath(aside).c_str(),
                        platform::ToNativePath(fileName).c_str()) == 0) {
            return;
        }
    } catch (const std::exception&) {
        // an unsaved cache only costs a longer listing next time
    }
    if (!aside.empty()) platform::DeleteFile(aside);
}

}  // namespace kestrova
