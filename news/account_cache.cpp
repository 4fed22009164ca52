#include "news/account_cache.h"

#include <cstdio>
#include <exception>
#include <memory>
#include <system_error>
#include <thread>
#include <vector>

#include "common/streams.h"
#include "platform/clock.h"
#include "platform/filesystem.h"
#include "platform/regular_file.h"
#include "ui/message_numbers.h"

namespace kestrova {

namespace {

constexpr const char* kCacheFolder = "Cache";
constexpr const char* kCacheExtension = ".twc";
constexpr const char* kArticlesExtension = ".articles";

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

// Moves a damaged cache file to NAME.damaged-<local date and time>, never over an earlier one;
// returns the new name, empty when it could not be moved.
std::string MoveAside(const std::string& fileName) {
    const SYSTEMTIME t = platform::NowLocalSystemTime();
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, ".damaged-%04u%02u%02u-%02u%02u%02u", t.wYear, t.wMonth,
                  t.wDay, t.wHour, t.wMinute, t.wSecond);
    for (int n = 0; n < 100; ++n) {
        const std::string aside = fileName + stamp + (n == 0 ? "" : "-" + std::to_string(n));
        if (platform::RenameFile(fileName, aside)) return aside;
    }
    return {};
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
        if (!platform::DirectoryExists(folder)) platform::CreatePrivateDirectory(folder);
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

uint16_t CachePort(const TAccountOptions& account) {
    return account.Url.Port == kNewsPort ? 0 : account.Url.Port;
}

TAccountCache::TAccountCache(const TAccountOptions& account, int cacheLife,
                             const TInternetEvent& events, TSessionLog& log, uint64_t articleLimit)
    : account_(account),
      events_(events),
      log_(log),
      blocks_(TCache::kUnlimited, cacheLife),
      articles_(articleLimit) {}

TAccountCache::~TAccountCache() {
    SaveChanges();
    WaitForSave();
    if (articleSave_.joinable()) articleSave_.join();
}

std::string TAccountCache::FileName(std::string_view userName, std::string_view host,
                                    uint16_t port) {
    std::string name = CacheFolder() + platform::kPathDelim;
    AppendNamePart(name, userName);
    name += '@';
    AppendNamePart(name, host);
    if (port != 0) name += ',' + std::to_string(port);
    return name + kCacheExtension;
}

void TAccountCache::Load(TCache& cache, std::string_view userName, std::string_view host,
                         uint16_t port) {
    WaitForSave();  // the file of a save still being written would be the old one
    const std::string fileName = FileName(userName, host, port);
    std::string bytes;
    switch (platform::ReadRegularFile(fileName, bytes)) {
        case platform::RegularFileRead::Ok:
            break;
        case platform::RegularFileRead::NotRegular:
            log_.Write(kLogConnection, "Cache file refused, not a regular file: " + fileName);
            return;
        case platform::RegularFileRead::Missing:
        case platform::RegularFileRead::Failed:
            return;  // no file yet, or an unreadable one: the lists come from the server
    }
    TMemoryStream image;
    image.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    // Even a cache without entries has its header: an empty file is a damaged one.
    if (!cache.LoadFromStream(image)) KeepAside(userName, host, port);
}

void TAccountCache::KeepAside(std::string_view userName, std::string_view host, uint16_t port) {
    WaitForSave();
    const std::string fileName = FileName(userName, host, port);
    const std::string aside = MoveAside(fileName);
    log_.Write(kLogConnection,
               "Damaged cache file " + fileName +
                   (aside.empty() ? " could not be kept aside" : " kept as " + aside));
    if (!aside.empty())
        if (events_)
            events_(kEventMessageBox, kMsgCacheKeptAside,
                    reinterpret_cast<intptr_t>(aside.c_str()));
}

void TAccountCache::Save(TCache& cache, std::string_view userName, std::string_view host,
                         uint16_t port) {
    if (host.empty()) return;
    WaitForSave();
    StartWriting(save_, cache, FileName(userName, host, port));
}

void TAccountCache::StartWriting(std::thread& writer, const TCache& cache, std::string fileName) {
    auto entries = std::make_shared<const std::vector<TCacheEntry>>(cache.Entries());
    // The folder is taken here: the home folder comes from the environment, which only this
    // thread may read safely.
    std::string folder = CacheFolder();
    try {
        writer = std::thread(
            [folder, fileName, entries] { WriteCacheFile(folder, fileName, *entries); });
    } catch (const std::system_error&) {
        WriteCacheFile(folder, fileName, *entries);  // no thread to be had: written here
    }
}

void TAccountCache::WaitForSave() {
    if (save_.joinable()) save_.join();
}

void TAccountCache::LoadAccountFile() {
    Load(blocks_, account_.Url.UserName, account_.Url.HostName, CachePort(account_));
    if (articleSave_.joinable()) articleSave_.join();
    std::string bytes;
    if (platform::ReadRegularFile(ArticlesFileName(), bytes) == platform::RegularFileRead::Ok) {
        TMemoryStream image;
        image.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
        if (!articles_.Entries().LoadFromStream(image)) articles_.Entries().Clear();
        articles_.Trim();
    }
}

bool TAccountCache::AccountFileExists() const {
    return platform::FileExists(
        FileName(account_.Url.UserName, account_.Url.HostName, CachePort(account_)));
}

std::string TAccountCache::ArticlesFileName() const {
    std::string name = FileName(account_.Url.UserName, account_.Url.HostName, CachePort(account_));
    name.resize(name.size() - std::string_view(kCacheExtension).size());
    return name + kArticlesExtension;
}

void TAccountCache::KeepArticle(std::string_view command, std::string_view messageId,
                                std::string_view text) {
    if (account_.Url.HostName.empty() || !articles_.Keep(command, messageId, text)) return;
    if (articleSave_.joinable()) articleSave_.join();
    StartWriting(articleSave_, articles_.Entries(), ArticlesFileName());
}

void TAccountCache::Store(const std::string& key, ListKind kind, TListBlock block) {
    blocks_.Put(key, std::move(block).TakeBytes(), kind == ListKind::Permanent);
    unsaved_ = false;
    Save(blocks_, account_.Url.UserName, account_.Url.HostName, CachePort(account_));
}

void TAccountCache::SaveChanges() {
    if (!unsaved_) return;
    unsaved_ = false;
    Save(blocks_, account_.Url.UserName, account_.Url.HostName, CachePort(account_));
}

bool TAccountCache::AssignCached(const std::string& key, std::vector<char> bytes,
                                 TListBlock& block) {
    if (block.Assign(std::move(bytes))) return true;
    log_.Write(kLogConnection, "Damaged list \"" + key + "\" in the cache is ignored");
    blocks_.Delete(key);
    KeepAside(account_.Url.UserName, account_.Url.HostName, CachePort(account_));
    return false;
}

bool TAccountCache::Fetch(const std::string& key, TListBlock& block) {
    std::vector<char> bytes;
    return blocks_.Get(key, bytes) && AssignCached(key, std::move(bytes), block);
}

bool TAccountCache::Take(const std::string& key, TListBlock& block, double& cacheStamp) {
    std::vector<char> bytes;
    return blocks_.Take(key, bytes, cacheStamp) && AssignCached(key, std::move(bytes), block);
}

void TAccountCache::Return(const std::string& key, ListKind kind, TListBlock block,
                           double cacheStamp) {
    const int at = blocks_.Put(key, std::move(block).TakeBytes(), kind == ListKind::Permanent);
    if (at >= 0) blocks_.SetStamp(at, cacheStamp);
}

void TAccountCache::Change(const std::string& key, ListKind kind, TListBlock block,
                           double cacheStamp) {
    Return(key, kind, std::move(block), cacheStamp);
    unsaved_ = true;
}

}  // namespace kestrova
