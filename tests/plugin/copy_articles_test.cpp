// Copying articles out of a connected panel against the fixture news server. The host's keys
// reach neither a move nor a group here (its file search can); a failed fetch is the
// news_copy_out script's.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "news/fixture_server.h"
#include "news/temp_home.h"
#include "panel_fixture.h"
#include "platform/partial_files.h"
#include "platform/temp_folder.h"

namespace kestrova::testing {
namespace {

TEST_F(PanelTest, AMoveOnlyCopiesAndAGroupBecomesAnEmptyFolder) {
    const std::string article = "Message-ID: <1@test>\r\nSubject: first\r\n\r\n.dot\r\nbody\r\n";
    FixtureNewsServer server;
    server.AddGroup("alt.test");
    server.AddArticle("alt.test", 1, article);
    server.Start();
    Options.Connect.ServerTimeout = 5;
    TNntpPlugin panel;
    panel.OpenCommandLine("//127.0.0.1:" + std::to_string(server.Port()) + "/");
    ASSERT_EQ(panel.SetDirectory("alt.test", 0), 1);
    PluginPanelItem items[2]{};
    std::strcpy(items[0].FindData.cFileName, "alt.test");
    items[0].FindData.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
    std::strcpy(items[1].FindData.cFileName, "first");
    items[1].UserData = 1;
    items[0].Flags = items[1].Flags = PPIF_SELECTED;
    TempFolderForTest dest;
    ASSERT_EQ(panel.GetFiles(items, 2, 1, dest.Path(), OPM_SILENT), 1);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dest.Path()), {}), 2);
    EXPECT_TRUE(std::filesystem::is_empty(dest.Path() + "/alt.test"));
    EXPECT_EQ(ReadWholeFile(dest.Path() + "/first"), article);
    EXPECT_EQ((items[0].Flags | items[1].Flags) & PPIF_SELECTED, 0u);
    EXPECT_EQ(server.ClientCommands(),
              (std::vector<std::string>{"CAPABILITIES", "GROUP alt.test", "ARTICLE 1"}));
}

// A link to nowhere takes the target's name: it is asked about like a file, and replaced only
// after the answer. A partial left by a killed save is cleared away by the next save to that
// folder; one still being written (locked) or just made is not.
TEST_F(PanelTest, ADanglingLinkIsAskedAboutAndAbandonedPartialsAreClearedAway) {
    namespace fs = std::filesystem;
    FixtureNewsServer server;
    server.AddGroup("alt.test");
    server.AddArticle("alt.test", 1, "Message-ID: <1@test>\r\nSubject: first\r\n\r\nbody\r\n");
    server.Start();
    Options.Connect.ServerTimeout = 5;
    TNntpPlugin panel;
    panel.OpenCommandLine("//127.0.0.1:" + std::to_string(server.Port()) + "/");
    ASSERT_EQ(panel.SetDirectory("alt.test", 0), 1);
    TempFolderForTest dest;
    const std::string folder = dest.Path() + "/";
    fs::create_symlink(folder + "nowhere", folder + "first");
    const auto longAgo = fs::file_time_type::clock::now() - std::chrono::minutes(5);
    for (const char* name :
         {".kestrova-killed.tmp", ".kestrova-living.tmp", ".kestrova-fresh0.tmp"})
        std::ofstream(folder + name) << "part";
    fs::last_write_time(folder + ".kestrova-killed.tmp", longAgo);
    fs::last_write_time(folder + ".kestrova-living.tmp", longAgo);
    const platform::TPartialFileLock living(folder + ".kestrova-living.tmp");

    PluginPanelItem item{};
    std::strcpy(item.FindData.cFileName, "first");
    item.UserData = 1;
    constexpr int kSkip = 11, kOverwrite = 7;
    for (int answer : {kSkip, kOverwrite}) {
        host.dialogAnswers = {FakeHost::Close(answer)};
        ASSERT_EQ(panel.GetFiles(&item, 1, 0, dest.Path(), OPM_SILENT), 1);
        EXPECT_TRUE(host.dialogAnswers.empty());  // the question was asked
        EXPECT_EQ(fs::is_symlink(folder + "first"), answer == kSkip);
    }
    EXPECT_EQ(ReadWholeFile(folder + "first"),
              "Message-ID: <1@test>\r\nSubject: first\r\n\r\nbody\r\n");
    EXPECT_FALSE(fs::exists(folder + ".kestrova-killed.tmp"));
    EXPECT_TRUE(fs::exists(folder + ".kestrova-living.tmp"));
    EXPECT_TRUE(fs::exists(folder + ".kestrova-fresh0.tmp"));
}

}  // namespace
}  // namespace kestrova::testing
