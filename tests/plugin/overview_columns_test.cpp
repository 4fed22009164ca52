// The columns a group's overview lacks, filled when an article's header is read anyway (a view,
// a copy), against the fixture news server offering OVER.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <map>
#include <string>
#include <utility>

#include "news/account_cache.h"
#include "news/article_header.h"
#include "news/fixture_server.h"
#include "news/news_internet_manager.h"
#include "news/overview.h"
#include "news/temp_home.h"
#include "panel_fixture.h"
#include "platform/temp_folder.h"

namespace kestrova::testing {
namespace {

constexpr const char* kGroup = "alt.test.columns";

std::string Article(int n) {
    const std::string s = std::to_string(n);
    return "Message-ID: <" + s + "@columns>\r\nSubject: article " + s + "\r\nPath: relay!origin" +
           s + "\r\nOrganization: Org " + s + "\r\nX-Comment-To: Reader\r\n " + s +
           "\r\nContent-Type: text/plain; charset=utf-8\r\n\r\nbody\r\n";
}

// The cached records of the group by number; a record's "Path|Organization|X-Comment-To|flag".
std::map<int, std::string> Records(TAccountCache& cache) {
    TListBlock index(TArticleHeader::kSize);
    std::map<int, std::string> records;
    if (!cache.Fetch(kGroup, index)) return records;
    for (uint32_t i = 0; i < index.Count(); ++i) {
        const TArticleHeader r = TArticleHeader::Read(index.Record(i));
        records[r.Number] = r.PathHeader + "|" + r.Organization + "|" + r.XCommentTo + "|" +
                            ((r.Flags & kFromOverview) != 0 ? "overview" : "read");
    }
    return records;
}

std::string Filled(int n) {
    const std::string s = std::to_string(n);
    return "relay!origin" + s + "|Org " + s + "|Reader " + s + "|read";
}

// The cache file's identity: a save writes a new file and renames it over the old one.
ino_t FileIdentity(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 ? status.st_ino : 0;
}

PluginPanelItem ArticleItem(int n, const std::string& messageId) {
    PluginPanelItem item{};
    std::strcpy(item.FindData.cFileName, ("article " + std::to_string(n)).c_str());
    item.UserData = static_cast<uintptr_t>(n);
    item.Description = const_cast<char*>(messageId.c_str());
    return item;
}

// Opens url in panel and lists the group: the panel's items, which the caller frees.
std::pair<PluginPanelItem*, int> ListGroup(TNntpPlugin& panel, const std::string& url) {
    panel.OpenCommandLine(url);
    EXPECT_EQ(panel.SetDirectory(kGroup, 0), 1);
    PluginPanelItem* items = nullptr;
    int count = 0;
    EXPECT_EQ(panel.GetFindData(&items, &count, 0), 1);
    return {items, count};
}

TEST_F(PanelTest, AViewAndACopyFillTheColumnsTheOverviewLacksAndWriteTheCacheOnce) {
    TempHomeForTest home;
    FixtureNewsServer server;
    server.AddGroup(kGroup);
    for (int n = 1; n <= 4; ++n) server.AddArticle(kGroup, n, Article(n));
    server.Start({"--capabilities"});
    Options.Connect.ServerTimeout = 5;
    Options.Connect.UseOverview = 1;
    const std::string url = "//127.0.0.1:" + std::to_string(server.Port()) + "/";
    const std::string cacheFile = TAccountCache::FileName("", "127.0.0.1", server.Port());
    const std::string fromOverview = "|||overview";
    {
        TNntpPlugin panel;
        const auto [items, count] = ListGroup(panel, url);
        panel.FreeFindData(items, count);
        TAccountCache& cache = panel.InternetManager->Cache();
        ASSERT_EQ(count, 4);
        for (int n = 1; n <= 4; ++n) EXPECT_EQ(Records(cache)[n], fromOverview) << n;
        cache.WaitForSave();
        const ino_t listed = FileIdentity(cacheFile);
        ASSERT_NE(listed, 0u);

        const std::string id1 = "<1@columns>";
        panel.ViewArticlePart(kRequestBody, ArticleItem(1, id1));
        EXPECT_EQ(Records(cache)[1], Filled(1));
        cache.WaitForSave();
        EXPECT_EQ(FileIdentity(cacheFile), listed);  // a view changes the index in memory only

        const std::string id2 = "<2@columns>", id3 = "<3@columns>";
        PluginPanelItem copied[2] = {ArticleItem(2, id2), ArticleItem(3, id3)};
        TempFolderForTest dest;
        ASSERT_EQ(panel.GetFiles(copied, 2, 0, dest.Path(), OPM_SILENT), 1);
        const std::map<int, std::string> expected{
            {1, Filled(1)}, {2, Filled(2)}, {3, Filled(3)}, {4, fromOverview}};
        EXPECT_EQ(Records(cache), expected);
        cache.WaitForSave();
        EXPECT_NE(FileIdentity(cacheFile), listed);  // written at the end of the copy
    }
    // A new session reads the filled columns from the cache file and shows them.
    TNntpPlugin panel;
    const auto [items, count] = ListGroup(panel, url);
    std::map<int, std::string> shown;  // X-Comment-To, Path and Organization columns
    for (int i = 0; i < count; ++i) {
        ASSERT_GE(items[i].CustomColumnNumber, 4);
        shown[static_cast<int>(items[i].UserData)] = std::string(items[i].CustomColumnData[2]) +
                                                     "|" + items[i].CustomColumnData[3] + "|" +
                                                     items[i].CustomColumnData[1];
    }
    panel.FreeFindData(items, count);
    const std::map<int, std::string> columns{{1, "relay!origin1|Org 1|Reader 1"},
                                             {2, "relay!origin2|Org 2|Reader 2"},
                                             {3, "relay!origin3|Org 3|Reader 3"},
                                             {4, "||"}};
    EXPECT_EQ(shown, columns);
}

}  // namespace
}  // namespace kestrova::testing
