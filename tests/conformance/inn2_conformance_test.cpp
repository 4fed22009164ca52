// The NNTP session against a real news server on loopback, directly and through SOCKS 4 and 5,
// at the protocol level: greeting, login, GROUP, LIST, NEWGROUPS, the HEAD/NEXT walk, article
// bodies as their authors wrote them, and NEWNEWS after new articles were posted.
#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "conformance/inn2_session.h"

namespace kestrova::testing {
namespace {

TEST_P(Inn2Session, GreetingAllowsPostingOnTheOpenPort) {
    ConnectTo(ReaderPort());
    EXPECT_TRUE(manager->IsConnected());
    EXPECT_EQ(manager->ReplyCode, 200);
    EXPECT_NE(manager->ServerFlags & kServerAllowsPosting, 0);
    EXPECT_EQ(manager->State, NewsState::OwnGroups);
    EXPECT_EQ(manager->GetPath(), ".");
}

// Port 119 is the server's feed port here, which greets loopback clients in transit mode.
TEST_P(Inn2Session, AccountWithoutAPortConnectsToTheStandardPort) {
    SKIP_UNLESS_LISTENING(119, "the news server (port 119)", kInnScript, "none");
    ConnectTo(0);
    EXPECT_EQ(manager->ReplyCode, 200);
    EXPECT_NE(manager->ReplyLine.find("transit mode"), std::string::npos) << manager->ReplyLine;
}

// (A wrong password: inn2_session_rules_test.cpp.)
TEST_P(Inn2Session, LoginOpensTheLoginPort) {
    ConnectTo(LoginPort(), TestUser(), TestPassword());
    EXPECT_EQ(manager->ReplyCode, 281) << manager->ReplyLine;
    manager->SetDirectory(kTestGroup);
    EXPECT_EQ(manager->ReplyCode, 211);
    EXPECT_EQ(manager->State, NewsState::InGroup);
    const std::string log = SessionLog();
    EXPECT_NE(log.find("> AUTHINFO USER " + TestUser()), std::string::npos) << log;
    EXPECT_EQ(log.find(TestPassword()), std::string::npos) << "the log holds the password";
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

TEST_P(Inn2Session, ListCarriesEveryTestGroupWithItsFlag) {
    ConnectTo(ReaderPort());
    const auto flags = FlagsByGroup(Block("LIST", "", 215));
    const std::pair<const char*, const char*> expected[] = {
        {"kestrova.test", "y"},          {"kestrova.test.moderated", "m"},
        {"kestrova.test.readonly", "n"}, {"kestrova.test.koi8", "y"},
        {"kestrova.test.bench", "y"},    {"local.test.g01", "y"},
        {"local.test.g20", "y"},
    };
    for (const auto& [group, flag] : expected) {
        const auto found = flags.find(group);
        ASSERT_NE(found, flags.end()) << group << " is not listed";
        EXPECT_EQ(found->second, flag) << group;
    }
    EXPECT_GE(flags.size(), 25u);
    // The connection is in step after the block.
    EXPECT_EQ(Send("GROUP", kTestGroup), 211);
}

TEST_P(Inn2Session, NewGroupsListsTheTestGroupsSinceTheirCreationOnly) {
    ConnectTo(ReaderPort());
    const auto created = FlagsByGroup(Block("NEWGROUPS", "20000101 000000 GMT", 231));
    ASSERT_EQ(created.count("kestrova.test.moderated"), 1u);
    EXPECT_EQ(created.at("kestrova.test.moderated"), "m");
    ASSERT_EQ(created.count("kestrova.test.readonly"), 1u);
    EXPECT_EQ(created.at("kestrova.test.readonly"), "n");
    EXPECT_EQ(created.count("local.test.g20"), 1u);

    EXPECT_TRUE(Block("NEWGROUPS", DayAfter(Date()), 231).empty());
}

TEST_P(Inn2Session, HeadNextWalkVisitsEveryArticleOnce) {
    const std::string& runId = SharedSamples();
    ConnectTo(ReaderPort());
    manager->SetDirectory(kTestGroup);
    const GroupStatus status = ParseGroupStatus(manager->ReplyLine);
    ASSERT_GT(status.count, 0) << manager->ReplyLine;

    std::vector<long> numbers;
    std::map<std::string, std::string> subjectById;
    auto readHead = [&] {
        ASSERT_EQ(manager->ReplyCode, 221) << manager->ReplyLine;
        numbers.push_back(std::stol(manager->ReplyLine.substr(4)));
        const std::vector<std::string> header = ReadBlock();
        subjectById[HeaderValue(header, "Message-ID")] = HeaderValue(header, "Subject");
    };
    Send("HEAD");  // the first article is the current one after GROUP
    readHead();
    while (Send("NEXT") == 223) {
        ASSERT_EQ(Send("HEAD"), 221) << manager->ReplyLine;
        readHead();
        ASSERT_LE(numbers.size(), static_cast<size_t>(status.count)) << "the walk does not end";
    }
    EXPECT_EQ(manager->ReplyCode, 421) << manager->ReplyLine;

    EXPECT_EQ(static_cast<long>(numbers.size()), status.count);
    EXPECT_TRUE(std::is_sorted(numbers.begin(), numbers.end()));
    EXPECT_EQ(std::adjacent_find(numbers.begin(), numbers.end()), numbers.end());
    EXPECT_EQ(numbers.front(), status.low);
    EXPECT_EQ(numbers.back(), status.high);
    const std::pair<const char*, const char*> posted[] = {
        {"ascii", "Plain ASCII article"},
        {"dots", "Body lines starting with dots"},
        {"crosspost", "Crossposted article"},
    };
    for (const auto& [kind, subject] : posted) {
        EXPECT_EQ(subjectById[SampleId(kind, runId)], subject) << kind;
    }
    EXPECT_EQ(subjectById.count(SampleId("koi8", runId)), 0u) << "an article of another group";
}

TEST_P(Inn2Session, BodiesComeOutAsTheirAuthorsWroteThem) {
    const std::string& runId = SharedSamples();
    ConnectTo(ReaderPort());
    struct Case {
        const char* kind;
        std::vector<std::string> body;
    };
    const Case cases[] = {
        {"dots",
         {"The next line is a single dot:", ".", ".leading dot", "..two dots", "... three dots",
          "last line"}},
        {"digits",
         {"200 looks like a greeting", "211 5 1 5 looks like GROUP",
          "480 looks like an auth request", ".", "222 after a dot line"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Block("BODY", SampleId(c.kind, runId), 222), c.body) << c.kind;
    }
    EXPECT_EQ(Send("GROUP", kTestGroup), 211);
}

TEST_P(Inn2Session, NewNewsReportsArticlesPostedSinceTheStamp) {
    ConnectTo(ReaderPort());
    const std::string since = NewsStamp(Date());
    const std::string runId = PostSamples();
    const std::vector<std::string> ids =
        Block("NEWNEWS", std::string(kTestGroup) + " " + since, 230);
    for (const char* kind : {"ascii", "reply", "dots", "digits", "nolines", "crosspost"}) {
        EXPECT_NE(std::find(ids.begin(), ids.end(), SampleId(kind, runId)), ids.end()) << kind;
    }
    for (const char* kind : {"koi8", "approved"}) {  // posted to other groups only
        EXPECT_EQ(std::find(ids.begin(), ids.end(), SampleId(kind, runId)), ids.end()) << kind;
    }
    EXPECT_TRUE(Block("NEWNEWS", std::string(kTestGroup) + " " + DayAfter(Date()), 230).empty());
}

INSTANTIATE_TEST_SUITE_P(Routes, Inn2Session, ::testing::ValuesIn(kRoutes), RouteName);

}  // namespace
}  // namespace kestrova::testing
