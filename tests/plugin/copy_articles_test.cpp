// Copying articles out of a connected panel against the fixture news server: a move copies and
// a group becomes an empty folder; a fetch that fails part way leaves no partial file and keeps
// the file it was to replace.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "news/fixture_server.h"
#include "news/news_internet_manager.h"
#include "news/temp_home.h"
#include "panel_fixture.h"
#include "platform/temp_folder.h"

namespace kestrova::testing {
namespace {

const std::string kArticle = "Message-ID: <1@test>\r\nSubject: first\r\n\r\n.dot\r\nbody\r\n";

class CopyArticlesTest : public PanelTest {
  protected:
    CopyArticlesTest() {
        Options.Connect.ServerTimeout = 5;
        server.AddGroup("alt.test");
        server.AddArticle("alt.test", 1, kArticle);
    }

    // Connects a panel to the server and enters the group.
    void Enter() {
        server.Start();
        panel.OpenCommandLine("//127.0.0.1:" + std::to_string(server.Port()) + "/");
        ASSERT_EQ(panel.SetDirectory("alt.test", 0), 1);
    }
    static PluginPanelItem Item(const char* name, intptr_t number, bool folder = false) {
        PluginPanelItem item{};
        std::snprintf(item.FindData.cFileName, sizeof item.FindData.cFileName, "%s", name);
        item.FindData.dwFileAttributes = folder ? FILE_ATTRIBUTE_DIRECTORY : 0;
        item.UserData = number;
        item.Flags = PPIF_SELECTED;
        return item;
    }
    std::string Read(const std::string& name) const {
        return ReadWholeFile(dest.Path() + "/" + name);
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dest.Path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    FixtureNewsServer server;
    TempFolderForTest dest;
    TNntpPlugin panel;
};

TEST_F(CopyArticlesTest, MoveCopiesAndAGroupBecomesAnEmptyFolder) {
    Enter();
    std::vector<PluginPanelItem> items{Item("alt.test", 0, true), Item("first", 1)};
    ASSERT_EQ(panel.GetFiles(items.data(), 2, 1, dest.Path(), OPM_SILENT), 1);
    EXPECT_EQ(Names(), (std::vector<std::string>{"alt.test", "first"}));
    EXPECT_TRUE(std::filesystem::is_empty(dest.Path() + "/alt.test"));
    EXPECT_EQ(Read("first"), kArticle);
    for (const PluginPanelItem& item : items) EXPECT_EQ(item.Flags & PPIF_SELECTED, 0u);
    EXPECT_EQ(server.ClientCommands(), (std::vector<std::string>{"GROUP alt.test", "ARTICLE 1"}));
}

TEST_F(CopyArticlesTest, SkippedFailureLeavesNoPartialFileAndKeepsTheOldOne) {
    Options.Connect.RetryCount = 1;
    server.SetControls(R"({"rules": [{"command": "ARTICLE", "drop_after_bytes": 60}]})");
    Enter();
    std::ofstream(dest.Path() + "/first") << "old";
    host.dialogAnswers.push_back(FakeHost::Close(7));  // overwrite
    host.messageAnswers = {1};                         // skip, at the retry question
    std::vector<PluginPanelItem> items{Item("first", 1)};
    ASSERT_EQ(panel.GetFiles(items.data(), 1, 0, dest.Path(), OPM_FIND), 1);
    EXPECT_EQ(Names(), std::vector<std::string>{"first"});
    EXPECT_EQ(Read("first"), "old");
    EXPECT_EQ(items[0].Flags & PPIF_SELECTED, PPIF_SELECTED);
}

}  // namespace
}  // namespace kestrova::testing
