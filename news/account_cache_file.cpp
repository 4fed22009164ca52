// The cache file of an account, in the Cache folder of the home folder.
#include <cstdio>
#include <exception>
#include <memory>
#include <system_error>
#include <thread>
#include <vector>

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

// Writes the file image of entries aside in folder and renames it over fileName. Never raises:
// an unsaved cache only costs a longer listing next time.
void WriteCacheFile(const std::string& folder, const std::string& fileName,
                    const std::vector<TCacheEntry>& entries) {
    std::string aside;
    try {
        if (!platform::DirectoryExists(folder)) platform::CreateDirectory(folder);
        aside = platform::CreateTempFile(folder, "save");
        if (aside.empty()) return;
        {
            TFileStream file(aside, kFileCreate);
            TCache::SaveToStream(file, entries);
        }
        if (std::rename(platform::ToNativePath(aside).c_str(),
                        platform::ToNativePath(fileName).c_str()) == 0) {
            return;
        }
    } catch (...) {
    }
    if (!aside.empty()) platform::DeleteFile(aside);
}

}  // namespace

std::string TInternetManager::CacheFileName(std::string_view userName, std::string_view host,
                                            uint16_t port) {
    std::string name = CacheFolder() + platform::kPathDelim;
    AppendNamePart(name, userName);
    name += '@';
    AppendNamePart(name, host);
    if (port != 0) name += ',' + std::to_string(port);
    return name + kCacheExtension;
}

void TInternetManager::LoadCache(TCache& cache, std::string_view userName, std::string_view host,
                                 uint16_t port) {
    WaitForCacheSave();  // the file of a save still being written would be the old one
    try {
        TFileStream file(CacheFileName(userName, host, port), 0);
        cache.LoadFromStream(file);
    } catch (const std::exception&) {
        // no file yet, or an unreadable one: the lists come from the server
    }
}

void TInternetManager::SaveCache(TCache& cache, std::string_view userName, std::string_view host,
                                 uint16_t port) {
    if (host.empty()) return;
    WaitForCacheSave();
    auto entries = std::make_shared<const std::vector<TCacheEntry>>(cache.Entries());
    // The names are taken here: the home folder comes from the environment, which only this
    // thread may read safely.
    std::string folder = CacheFolder();
    std::string fileName = CacheFileName(userName, host, port);
    try {
        cacheSave_ = std::thread(
            [folder, fileName, entries] { WriteCacheFile(folder, fileName, *entries); });
    } catch (const std::system_error&) {
        WriteCacheFile(folder, fileName, *entries);  // no thread to be had: written here
    }
}

void TInternetManager::WaitForCacheSave() {
    if (cacheSave_.joinable()) cacheSave_.join();
}

}  // namespace kestrova
