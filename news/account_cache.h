// The cache of one account: the list blocks of its group list and its groups' article indexes,
// loaded from and saved to the account's cache file. Saves are written by a thread of their
// own, so that storing a large index does not wait for the disk.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <thread>

#include "news/cache.h"
#include "news/connection_log.h"
#include "news/list_block.h"
#include "news/offline_articles.h"
#include "ui/account_options.h"
#include "ui/event_kinds.h"

namespace kestrova {

// How a list block is kept in the cache.
enum class ListKind {
    Permanent,  // the group list: never expires
    Expiring,   // an article index: expires with the option CacheLife
};

// The port that names an account's cache file: 0 for the default port 119, whose files keep
// the name they had before other ports were told apart.
uint16_t CachePort(const TAccountOptions& account);

class TAccountCache {
  public:
    // account names the file (its user, host and port as they are at each save); cacheLife in
    // hours (0: nothing expires); articleLimit the bytes of articles kept for reading offline.
    // events and log belong to the owner and outlive the cache.
    TAccountCache(const TAccountOptions& account, int cacheLife, const TInternetEvent& events,
                  TSessionLog& log, uint64_t articleLimit = 0);
    // Writes the changes not written yet (SaveChanges) and waits for the last save.
    ~TAccountCache();
    TAccountCache(const TAccountCache&) = delete;
    TAccountCache& operator=(const TAccountCache&) = delete;

    TCache& Blocks() { return blocks_; }

    // Puts the block under key into the cache and writes the account's cache file. A block the
    // caller is done with is best moved in: its bytes are then not copied.
    void Store(const std::string& key, ListKind kind, TListBlock block);
    // The block cached under key; false when there is none, it expired, or its bytes do not hold
    // the records they count: such a block leaves the cache, and the account's file it came from
    // is kept aside and reported (KeepAside).
    bool Fetch(const std::string& key, TListBlock& block);
    // The same, but the block leaves the cache with its bytes moved, not copied, to be changed in
    // place: a large index then costs no copy. It goes back with Store when changed, else with
    // Return, which needs the cache stamp given here.
    bool Take(const std::string& key, TListBlock& block, double& cacheStamp);
    // Puts a block taken with Take back unchanged, with its old stamp; the cache file, which
    // still holds it, is not written.
    void Return(const std::string& key, ListKind kind, TListBlock block, double cacheStamp);
    // Puts a block taken with Take back changed, with its old stamp, without writing the cache
    // file: many small changes (a record each) are written once, by SaveChanges or the next save.
    void Change(const std::string& key, ListKind kind, TListBlock block, double cacheStamp);
    // Writes the account's cache file when a Change is not written yet.
    void SaveChanges();

    // Loads the account's cache file and its articles' file; a missing or unreadable file is not
    // an error (a damaged articles' file is dropped: it holds only copies of articles).
    void LoadAccountFile();
    // Whether the account's cache file is there, so that the account can be opened offline.
    bool AccountFileExists() const;

    // Keeps an article's text for reading offline (TOfflineArticles::Keep) and, when kept,
    // writes the articles' file (the cache file's name with ".articles" for ".twc") aside.
    void KeepArticle(std::string_view command, std::string_view messageId, std::string_view text);
    // A text kept by KeepArticle (TOfflineArticles::Find).
    bool FindArticle(std::string_view command, std::string_view messageId, std::string& text) {
        return articles_.Find(command, messageId, text);
    }
    // The cache file of an account: HomeFolder()/Cache/<user>@<host>.twc, or
    // <user>@<host>,<port>.twc for a server on another port than the protocol's default (port 0),
    // so that two servers of one host keep their lists apart. A path delimiter (or NUL) inside
    // user or host is written "%2F" ("%00"), so the file stays inside Cache.
    static std::string FileName(std::string_view userName, std::string_view host, uint16_t port);
    // Loads the file of user, host and port into cache. A damaged file (an empty one too) goes
    // through KeepAside.
    void Load(TCache& cache, std::string_view userName, std::string_view host, uint16_t port);
    // The file of user, host and port is damaged: the own groups and indexes in it would be lost
    // by the next save, so it is moved aside and the user told where (kEventMessageBox); nothing
    // is shown when it is gone already (moved aside once, the next damage is only logged).
    void KeepAside(std::string_view userName, std::string_view host, uint16_t port);
    // Writes the whole cache to the file of user, host and port (creating the Cache folder);
    // nothing for an empty host. The file is replaced at once (written aside and renamed), so a
    // reader never sees half of it. Failures are swallowed. The cache's entries are taken at once
    // (their data shared, not copied) and written by a thread of its own; a later save, a load
    // and the cache's end wait for it.
    void Save(TCache& cache, std::string_view userName, std::string_view host, uint16_t port);
    // Returns when the file of the last Save is written (or given up).
    void WaitForSave();

  private:
    std::string ArticlesFileName() const;
    // Writes cache's entries (shared, not copied) to fileName by writer, a thread of its own
    // (here when no thread is to be had); writer must be done with its last file.
    static void StartWriting(std::thread& writer, const TCache& cache, std::string fileName);
    bool AssignCached(const std::string& key, std::vector<char> bytes, TListBlock& block);

    const TAccountOptions& account_;
    const TInternetEvent& events_;
    TSessionLog& log_;
    TCache blocks_;
    std::thread save_;
    bool unsaved_ = false;  // a Change is not in the file yet
    TOfflineArticles articles_;
    std::thread articleSave_;
};

}  // namespace kestrova
