// A real news server with compression on and off: the same index of a group and the same group
// list, and a relay that inflates the bytes on the wire with zlib itself (wire_relay.py) shows
// that after the server's 206 both directions really travel deflated.
#include <gmock/gmock.h>

#include <algorithm>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "conformance/inn2_session.h"
#include "news/group_list.h"

namespace kestrova::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

using Inn2Compression = Inn2Session;

TEST_P(Inn2Compression, OnAndOffGiveTheSameListsAndOnIsDeflatedOnTheWire) {
    SharedSamples();
    const WireRelay relay(kReaderPort);
    std::map<intptr_t, std::string> indexes[2];
    std::vector<std::string> groups[2];
    for (const int compression : {0, 1}) {
        Options.Connect.Compression = compression;
        ConnectTo(relay.process.Port());
        indexes[compression] = Index(kTestGroup);
        // The server's test groups, listed anew, in name order.
        manager->Cache().Blocks().Delete(kGroupListKey);
        manager->ShowServerGroups("kestrova.test*");
        manager->SetReloadGroupList(true);
        for (const Listed& item : List()) groups[compression].push_back(item.name);
        std::sort(groups[compression].begin(), groups[compression].end());
        EXPECT_EQ(manager->Connection().Socket().Compressed(), compression == 1);
        manager.reset();
    }
    EXPECT_EQ(groups[1], groups[0]);
    ASSERT_FALSE(indexes[0].empty());
    // Other tests post to the group meanwhile: the indexes are compared up to the first's end.
    indexes[1].erase(indexes[1].upper_bound(indexes[0].rbegin()->first), indexes[1].end());
    EXPECT_EQ(indexes[1], indexes[0]);

    std::vector<std::string> lines;
    std::istringstream report(relay.Report("deflate"));
    for (std::string line; std::getline(report, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 4u) << report.str();
    EXPECT_THAT(lines[0], HasSubstr("0 client: not switched"));
    EXPECT_THAT(lines[1], HasSubstr("0 server: not switched"));
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
