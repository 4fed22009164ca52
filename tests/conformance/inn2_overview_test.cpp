// A real news server read the modern way: its transit port hands a reader over after MODE
// READER, and its reader port lists a group by OVER into the index the HEAD and NEXT walk builds.
// Other tests post to the same group meanwhile, so the indexes are compared up to the highest
// number both have.
#include <algorithm>
#include <map>
#include <string>

#include "conformance/inn2_session.h"
#include "ui/panel_items.h"

namespace kestrova::testing {
namespace {

inline const uint16_t kTransitPort = PeerPort("INN_TRANSIT_PORT", 119);

class Inn2Overview : public Inn2Session {
  protected:
    // number -> "subject|message-id|date" of the group entered with an empty index. Lines is left
    // out: the server counts them for its overview, the walk takes only a Lines header.
    std::map<intptr_t, std::string> Index(uint16_t port, const std::string& group) {
        ConnectTo(port);
        manager->Cache().Blocks().Delete(group);
        manager->SetDirectory(group);
        PluginPanelItem* items = nullptr;
        int count = 0;
        manager->GetFindData(items, count);
        std::map<intptr_t, std::string> index;
        for (int i = 0; i < count; ++i) {
            const WIN32_FIND_DATA& data = items[i].FindData;
            index[items[i].UserData] = std::string(data.cFileName) + "|" +
                                       (items[i].Description ? items[i].Description : "") + "|" +
                                       std::to_string(data.ftLastWriteTime.dwLowDateTime) + ":" +
                                       std::to_string(data.ftLastWriteTime.dwHighDateTime);
        }
        FreePanelItems(items, count);
        return index;
    }
};

TEST_P(Inn2Overview, TransitPortReadsAfterModeReader) {
    SKIP_UNLESS_LISTENING(kTransitPort, "the news server's transit port", kInnScript,
                          "INN_TRANSIT_PORT");
    SharedSamples();
    const std::map<intptr_t, std::string> index = Index(kTransitPort, kTestGroup);
    EXPECT_FALSE(index.empty());
    const std::string log = SessionLog();
    EXPECT_NE(log.find("> MODE READER"), std::string::npos) << log;
    EXPECT_NE(log.find("> OVER "), std::string::npos) << log;
    EXPECT_EQ(log.find(" 1 < 401"), std::string::npos) << "MODE READER came first: " << log;
}

TEST_P(Inn2Overview, OverviewGivesTheIndexOfTheWalk) {
    SharedSamples();
    Options.Connect.UseOverview = 0;
    const std::map<intptr_t, std::string> walked = Index(kReaderPort, kTestGroup);
    EXPECT_NE(SessionLog().find("> NEXT"), std::string::npos);
    Options.Connect.UseOverview = 1;
    const size_t logStart = SessionLog().size();
    std::map<intptr_t, std::string> overview = Index(kReaderPort, kTestGroup);
    const std::string log = SessionLog().substr(logStart);
    EXPECT_NE(log.find("> OVER "), std::string::npos) << log;
    EXPECT_EQ(log.find("> NEXT"), std::string::npos) << log;
    ASSERT_FALSE(walked.empty());
    overview.erase(overview.upper_bound(walked.rbegin()->first), overview.end());
    EXPECT_EQ(overview, walked);
}

INSTANTIATE_TEST_SUITE_P(Routes, Inn2Overview, ::testing::Values(kRoutes[0]), RouteName);

}  // namespace
}  // namespace kestrova::testing
