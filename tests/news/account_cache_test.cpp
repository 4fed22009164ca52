#include "news/account_cache.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "temp_home.h"
#include "ui/message_numbers.h"
#include "ui/plugin_options.h"

namespace kestrova {
namespace {

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& item : std::filesystem::directory_iterator(folder))
        names.push_back(item.path().filename().string());
    return names;
}

// What an account's cache is made with: no log and no one to tell.
struct CacheParts {
    TAccountOptions account;
    TInternetEvent events;
    TSessionLog log{nullptr};
};
struct TestCache : CacheParts, TAccountCache {
    TestCache() : TAccountCache(account, 0, events, log) {}
};

// The file of an account stays inside the Cache folder; an empty host saves nothing (nor does a
// session without a log write one) and a missing file loads nothing.
TEST(AccountCacheFileTest, NamesStayInsideTheCacheFolder) {
    TempHomeForTest home;
    const std::tuple<const char*, const char*, uint16_t, const char*> cases[] = {
        {"bob", "news.example.org", 0, "bob@news.example.org.twc"},
        {"", "news.example.org", 0, "@news.example.org.twc"},
        {"../../evil", "h", 0, "..%2F..%2Fevil@h.twc"},
        {"u", "a/b", 0, "u@a%2Fb.twc"},
        {"bob", "news.example.org", 1120, "bob@news.example.org,1120.twc"},
    };
    for (const auto& [user, host, port, file] : cases) {
        EXPECT_EQ(TAccountCache::FileName(user, host, port), home.At("Cache/") + file);
    }
    TestCache manager;
    manager.Blocks().Put(".", "x", true, 1);
    manager.Save(manager.Blocks(), "bob", "", 0);
    manager.log.Write(1, "nowhere");
    EXPECT_TRUE(FilesIn(home.Folder()).empty());
    manager.Load(manager.Blocks(), "bob", "nowhere.example.org", 0);
    EXPECT_EQ(manager.Blocks().Count(), 1);
}

// Saves are written by a thread of their own: a load, a later save and the cache's end must
// each find the last image complete on disk, however large it is.
TEST(AccountCacheFileTest, BackgroundSavesAreCompleteWhenLoadedOrWhenTheManagerEnds) {
    TempHomeForTest home;
    const std::string big(8 << 20, 'i');
    {
        TestCache manager;
        for (const char* value : {"first", "second"}) {
            manager.Blocks().Put(".", value, true, static_cast<uint32_t>(std::strlen(value)));
            manager.Blocks().Put("big.group", big.data(), false, static_cast<uint32_t>(big.size()));
            manager.Save(manager.Blocks(), "bob", "news.example.org", 0);
        }
        TCache loaded(TCache::kUnlimited, 0);
        manager.Load(loaded, "bob", "news.example.org", 0);  // waits for the second save
        std::vector<char> data;
        ASSERT_TRUE(loaded.Get(".", data));
        EXPECT_EQ(std::string(data.begin(), data.end()), "second");

        manager.Blocks().Put(".", "third", true, 5);
        manager.Save(manager.Blocks(), "bob", "news.example.org", 0);
    }  // the cache's end waits for the third
    TestCache later;
    later.Load(later.Blocks(), "bob", "news.example.org", 0);
    std::vector<char> data;
    ASSERT_TRUE(later.Blocks().Get(".", data));
    EXPECT_EQ(std::string(data.begin(), data.end()), "third");
    ASSERT_TRUE(later.Blocks().Get("big.group", data));
    EXPECT_EQ(data.size(), big.size());
    EXPECT_EQ(FilesIn(home.At("Cache")), std::vector<std::string>{"bob@news.example.org.twc"});
}

// A damaged file (an empty one too) is moved aside (never overwritten by the next save) and the
// user told once; a FIFO in its place is refused without waiting for a writer; the Cache folder
// is private.
TEST(AccountCacheFileTest, DamagedFileIsKeptAsideAndAFifoIsRefused) {
    const std::string file = "Cache/bob@news.example.org.twc";
    enum Form { LongerThanItSays, Empty, Fifo };
    for (const Form form : {LongerThanItSays, Empty, Fifo}) {
        const bool fifo = form == Fifo;
        TempHomeForTest home;
        const mode_t oldMask = umask(022);
        TestCache manager;
        manager.Blocks().Put(".", "own groups", true, 10);
        manager.Save(manager.Blocks(), "bob", "news.example.org", 0);
        manager.WaitForSave();
        umask(oldMask);
        struct stat folder;
        ASSERT_EQ(stat(home.At("Cache").c_str(), &folder), 0);
        EXPECT_EQ(folder.st_mode & 077, 0u);

        // One byte more than its size says, or nothing at all.
        const std::string image = form == Empty ? "" : home.ReadFile(file) + "x";
        std::filesystem::remove(home.At(file));
        if (!fifo) std::ofstream(home.At(file), std::ios::binary) << image;
        ASSERT_TRUE(!fifo || mkfifo(home.At(file).c_str(), 0600) == 0);
        std::vector<std::string> shown;
        TestCache later;
        later.events = [&](int kind, intptr_t param1, intptr_t param2) {
            if (kind == kEventMessageBox && param1 == kMsgCacheKeptAside)
                shown.push_back(reinterpret_cast<const char*>(param2));
            return 0;
        };
        later.Load(later.Blocks(), "bob", "news.example.org", 0);
        EXPECT_EQ(later.Blocks().Count(), 0) << form;
        later.Blocks().Put(".", "new", true, 3);
        later.Save(later.Blocks(), "bob", "news.example.org", 0);
        later.Load(later.Blocks(), "bob", "news.example.org", 0);  // whole again: no message
        ASSERT_EQ(shown.size(), fifo ? 0u : 1u);
        if (fifo) continue;
        EXPECT_EQ(shown[0].rfind(home.At(file) + ".damaged-", 0), 0u) << shown[0];
        EXPECT_EQ(ReadWholeFile(shown[0]), image);
    }
}

// The default port names no port in the cache file, as before ports were told apart: an
// account on it finds the files it wrote then.
TEST(CachePortTest, TheDefaultPortKeepsTheCacheFileNameOfBefore) {
    TAccountOptions account;
    for (const auto& [port, named] : {std::pair<uint16_t, uint16_t>{119, 0}, {1119, 1119}}) {
        account.Url.Port = port;
        EXPECT_EQ(CachePort(account), named) << port;
    }
}

}  // namespace
}  // namespace kestrova
