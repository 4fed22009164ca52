// A real news server with compression on and off: the same index of a group and the same group
// list, and a relay that inflates the bytes on the wire with zlib itself shows that after the
// server's 206 both directions really travel deflated.
#include <gmock/gmock.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "conformance/inn2_session.h"
#include "news/group_list.h"
#include "platform/port_process.h"
#include "ui/panel_items.h"

namespace kestrova::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

class Inn2Compression : public Inn2Session {
  protected:
    // number -> "subject|message-id" of the group entered with an empty index.
    std::map<intptr_t, std::string> Index(const std::string& group) {
        manager->Cache().Blocks().Delete(group);
        manager->SetDirectory(group);
        std::map<intptr_t, std::string> index;
        for (const auto& [number, name, description] : Items())
            index[number] = name + "|" + description;
        manager->SetDirectory("..");
        return index;
    }
    // The server's test groups, listed anew, in name order.
    std::vector<std::string> TestGroups() {
        manager->Cache().Blocks().Delete(kGroupListKey);
        manager->ShowServerGroups("kestrova.test*");
        manager->SetReloadGroupList(true);
        std::vector<std::string> names;
        for (const auto& [number, name, description] : Items()) names.push_back(name);
        std::sort(names.begin(), names.end());
        return names;
    }
    std::vector<std::tuple<intptr_t, std::string, std::string>> Items() {
        PluginPanelItem* items = nullptr;
        int count = 0;
        manager->GetFindData(items, count);
        std::vector<std::tuple<intptr_t, std::string, std::string>> found;
        for (int i = 0; i < count; ++i) {
            found.emplace_back(items[i].UserData, items[i].FindData.cFileName,
                               items[i].Description ? items[i].Description : "");
        }
        FreePanelItems(items, count);
        return found;
    }
};

// The report's lines once the relay has written those of connections connections.
std::vector<std::string> ReportLines(const std::string& path, size_t connections) {
    std::vector<std::string> lines;
    for (int attempt = 0; attempt < 1000 && lines.size() < 2 * connections; ++attempt) {
        if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::istringstream in(ReadWholeFile(path));
        lines.clear();
        for (std::string line; std::getline(in, line);) lines.push_back(line);
    }
    return lines;
}

TEST_P(Inn2Compression, OnAndOffGiveTheSameListsAndOnIsDeflatedOnTheWire) {
    SharedSamples();
    const std::string report = home.At("relay.txt");
    const PortProcess relay({"python3", SourceFolder() + "/tests/conformance/deflate_wire_relay.py",
                             "--target-port", std::to_string(kReaderPort), "--report", report});
    std::map<intptr_t, std::string> indexes[2];
    std::vector<std::string> groups[2];
    for (const int compression : {0, 1}) {
        Options.Connect.Compression = compression;
        ConnectTo(relay.Port());
        indexes[compression] = Index(kTestGroup);
        groups[compression] = TestGroups();
        EXPECT_EQ(manager->Connection().Socket().Compressed(), compression == 1);
        manager.reset();  // the relay reports the connection once it ended
    }
    EXPECT_EQ(groups[1], groups[0]);
    ASSERT_FALSE(indexes[0].empty());
    // Other tests post to the group meanwhile: the indexes are compared up to the first's end.
    indexes[1].erase(indexes[1].upper_bound(indexes[0].rbegin()->first), indexes[1].end());
    EXPECT_EQ(indexes[1], indexes[0]);

    const std::vector<std::string> lines = ReportLines(report, 2);
    ASSERT_EQ(lines.size(), 4u) << ReadWholeFile(report);
    EXPECT_THAT(lines[0], HasSubstr("#1 client: not switched"));
    EXPECT_THAT(lines[1], HasSubstr("#1 server: not switched"));
    // Commands and replies come out of zlib, and none of them is readable as it travels.
    EXPECT_THAT(lines[2], HasSubstr("; lines: GROUP kestrova.test|LIST OVERVIEW.FMT|OVER 1-"));
    EXPECT_THAT(lines[2], HasSubstr("|LIST;"));
    EXPECT_THAT(lines[3], HasSubstr("; lines: 211|215|224|"));
    for (const std::string& line : {lines[2], lines[3]}) {
        EXPECT_THAT(line, Not(HasSubstr("not deflate")));
        EXPECT_TRUE(line.ends_with("; plain: ")) << line;
    }
    // The overview travels at a third of its size or less.
    std::smatch sizes;
    ASSERT_TRUE(std::regex_search(lines[3], sizes, std::regex(R"((\d+) bytes inflate to (\d+))")));
    EXPECT_GE(std::stoll(sizes[2]), 3 * std::stoll(sizes[1])) << lines[3];
}

INSTANTIATE_TEST_SUITE_P(Routes, Inn2Compression, ::testing::Values(kRoutes[0]), RouteName);

}  // namespace
}  // namespace kestrova::testing
