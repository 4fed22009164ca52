// The NNTP session against a real news server on loopback, directly and through SOCKS 4 and 5,
// at the protocol level: the standard port, GROUP and the replies for missing things. (Login:
// inn2_session_rules_test.cpp; lists, the walk, bodies and NEWNEWS: inn2_browse_test.cpp,
// inn2_read_test.cpp; the greeting's posting right: inn2_post_test.cpp.)
#include <string>
#include <utility>

#include "conformance/inn2_session.h"

namespace kestrova::testing {
namespace {

// Port 119 is the server's feed port here, which greets loopback clients in transit mode.
TEST_P(Inn2Session, AccountWithoutAPortConnectsToTheStandardPort) {
    SKIP_UNLESS_LISTENING(119, "the news server (port 119)", kInnScript, "none");
    ConnectTo(0);
    EXPECT_EQ(manager->ReplyCode, 200);
    EXPECT_NE(manager->ReplyLine.find("transit mode"), std::string::npos) << manager->ReplyLine;
}

TEST_P(Inn2Session, GroupEntersAndMissingThingsFailAsItemFailures) {
    ConnectTo(ReaderPort());
    manager->SetDirectory(kTestGroup);
    EXPECT_EQ(manager->State, NewsState::InGroup);
    EXPECT_EQ(manager->GetPath(), kTestGroup);
    const GroupStatus status = ParseGroupStatus(manager->ReplyLine);
    EXPECT_EQ(status.name, kTestGroup) << manager->ReplyLine;
    EXPECT_LE(status.low, status.high + 1) << manager->ReplyLine;

    const std::pair<std::string, uint32_t> cases[] = {
        {"HEAD 999999999", 423u | kItemFailure},
        {"HEAD <no.such.article@example.test>", 430u | kItemFailure},
        {"GROUP no.such.group", 411u | kItemFailure},
    };
    for (const auto& [command, code] : cases) {
        try {
            manager->SendCommand(*manager->Socket, command, kLogCommand, kWaitForReply, "");
            ADD_FAILURE() << command << " was accepted: " << manager->ReplyLine;
        } catch (const EInternetError& error) {
            EXPECT_EQ(error.Code, code) << command << ": " << error.Message;
            EXPECT_EQ(error.ProcName, "SendCommand");
        }
        EXPECT_TRUE(manager->IsConnected()) << command;
    }
}

INSTANTIATE_TEST_SUITE_P(Routes, Inn2Session, ::testing::ValuesIn(kRoutes), RouteName);

}  // namespace
}  // namespace kestrova::testing
