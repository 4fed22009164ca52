// The session's rules against a real news server: NEWNEWS refused (new articles asked for by
// number), a login asked for on demand, missing articles, and the standard port for an account
// without one, a transit port that reads after MODE READER.
#include <filesystem>
#include <set>
#include <string>
#include <utility>

#include "common/errors.h"
#include "conformance/inn2_session.h"
#include "news/reply_codes.h"

namespace kestrova::testing {
namespace {

const uint16_t kNoNewNewsPort = PeerPort("INN_NONEWNEWS_PORT", 1121);

class Inn2SessionRules : public Inn2Session {
  protected:
    void SetUp() override {
        Inn2Session::SetUp();
        if (IsSkipped()) return;
        SKIP_UNLESS_LISTENING(kNoNewNewsPort, "the news server (no NEWNEWS)", kInnScript,
                              "INN_NONEWNEWS_PORT");
    }

    // The article numbers the current group lists.
    std::set<long> ListedNumbers() {
        std::set<long> numbers;
        for (const Listed& item : List()) numbers.insert(static_cast<long>(item.number));
        return numbers;
    }

    // The server's own list of the group's article numbers up to last (others may post since).
    std::set<long> ServerNumbers(const std::string& group, long last) {
        std::set<long> numbers;
        const TNntpStatus listed = Send("LISTGROUP", group);
        EXPECT_EQ(listed.Code, kReplyGroupSelected) << listed.Line;
        std::string line;
        while (manager->Connection().ReadDataLine(line) == DataLine::Data) {
            if (std::stol(line) <= last) numbers.insert(std::stol(line));
        }
        return numbers;
    }

    // How often text stands in the session log from byte from on.
    size_t LogCount(const std::string& text, size_t from = 0) const {
        const std::string log = SessionLog().substr(from);
        size_t count = 0;
        for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) {
            ++count;
        }
        return count;
    }
};

// Where NEWNEWS is refused, new articles come by number: by the overview (NEWNEWS never asked)
// when it is used, else by HEAD after one refused NEWNEWS.
TEST_P(Inn2SessionRules, RefusedNewNewsListsExactlyTheNewArticlesByNumber) {
    for (const int overview : {0, 1}) {
        SCOPED_TRACE(overview);
        Options.Connect.UseOverview = overview;
        ConnectTo(kNoNewNewsPort);
        manager->Cache().Blocks().Delete(kTestGroup);
        const size_t logStart = SessionLog().size();
        manager->SetDirectory(kTestGroup);
        ListedNumbers();
        manager->SetDirectory("..");
        PostSamples();
        manager->SetDirectory(kTestGroup);
        const std::set<long> listed = ListedNumbers();
        EXPECT_EQ(manager->NewNewsRefused(), overview == 0);
        ASSERT_FALSE(listed.empty());
        EXPECT_EQ(listed, ServerNumbers(kTestGroup, *listed.rbegin()));

        manager->SetDirectory("..");
        manager->SetDirectory(kTestGroup);
        EXPECT_EQ(ListedNumbers(), listed);
        EXPECT_EQ(LogCount("> NEWNEWS ", logStart), overview == 0 ? 1u : 0u)
            << "NEWNEWS was asked again after its refusal, or with the overview";
        EXPECT_EQ(LogCount("> OVER ", logStart) > 1, overview == 1);
    }
    // The index is kept apart from the same server's on the standard port.
    EXPECT_TRUE(std::filesystem::exists(TAccountCache::FileName("", "127.0.0.1", kNoNewNewsPort)));
}

TEST_P(Inn2SessionRules, LoginAskedForOnDemandAndTheCommandSentAgain) {
    SKIP_UNLESS_LISTENING(kLoginPort, "the news server (login)", kInnScript, "INN_AUTH_PORT");
    ConnectTo(kLoginPort);
    manager->OnEvent = [](int kind, intptr_t param1, intptr_t) {
        if (kind != kEventLogin) return 0;
        auto& url = *reinterpret_cast<TUrlComponents*>(param1);
        url.UserName = PeerEnv("INN_TEST_USER", "tester");
        url.Password = PeerEnv("INN_TEST_PASS", "secret");
        return kLoginEntered;
    };
    manager->SetDirectory(kTestGroup);
    EXPECT_EQ(ReplyCodeOf(manager->Connection().LastLine()), kReplyGroupSelected);
    EXPECT_TRUE(manager->Connection().LoggedIn());
    const std::string log = SessionLog();
    const size_t first = log.find("> GROUP kestrova.test");
    const size_t login = log.find("> AUTHINFO PASS");
    ASSERT_NE(login, std::string::npos) << log;
    EXPECT_LT(first, login);
    EXPECT_EQ(LogCount("> GROUP kestrova.test"), 2u) << log;
}

// A missing article is skipped or stops the operation, never retried as a passing failure.
TEST_P(Inn2SessionRules, MissingArticlesAreItemFailures) {
    ConnectTo(kReaderPort);
    manager->SetDirectory(kTestGroup);
    for (const auto& [command, code] : {std::pair<std::string, uint32_t>{"HEAD 999999999", 423},
                                        {"HEAD <no.such.article@example.test>", 430}}) {
        try {
            const TNntpStatus status = manager->Connection().Command(command, kLogCommand);
            ADD_FAILURE() << command << " was accepted: " << status.Line;
        } catch (const EInternetError& error) {
            EXPECT_EQ(error.Code, code | kItemFailure) << command << ": " << error.Message;
        }
    }
}

// Port 119 is the server's feed port here, which greets loopback clients in transit mode and
// hands them to its reader after MODE READER, sent before any command a reader must ask for.
TEST_P(Inn2SessionRules, AccountWithoutAPortConnectsToTheStandardPortAndReadsAfterModeReader) {
    SKIP_UNLESS_LISTENING(119, "the news server (port 119)", kInnScript, "none");
    SharedSamples();
    ConnectTo(0);
    const std::string& greeting = manager->Connection().LastLine();
    EXPECT_EQ(ReplyCodeOf(greeting), 200);
    EXPECT_NE(greeting.find("NNRP server"), std::string::npos) << greeting;
    EXPECT_FALSE(Index(kTestGroup).empty());
    const std::string log = SessionLog();
    EXPECT_NE(log.find("< 200 news.example.test InterNetNews server"), std::string::npos) << log;
    EXPECT_NE(log.find("(transit mode)"), std::string::npos) << log;
    EXPECT_NE(log.find("> MODE READER"), std::string::npos) << log;
    EXPECT_NE(log.find("> OVER "), std::string::npos) << log;
    EXPECT_EQ(log.find(" 1 < 401"), std::string::npos) << "MODE READER came first: " << log;
}

INSTANTIATE_TEST_SUITE_P(Direct, Inn2SessionRules, ::testing::Values(kRoutes[0]), RouteName);

}  // namespace
}  // namespace kestrova::testing
