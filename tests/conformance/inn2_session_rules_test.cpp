// The session's rules against a real news server: the reader port with the server's default
// rights (NEWNEWS refused, new articles asked for by number), a login asked for on demand on the
// login port, a wrong password said once, and one group of two ports kept in two caches.
#include <filesystem>
#include <set>
#include <string>

#include "common/errors.h"
#include "conformance/inn2_session.h"
#include "news/reply_codes.h"
#include "ui/panel_items.h"

namespace kestrova::testing {
namespace {

inline uint16_t NoNewNewsPort() {
    return PeerPort("INN_NONEWNEWS_PORT", 1121);
}

class Inn2SessionRules : public Inn2Session {
  protected:
    void SetUp() override {
        Inn2Session::SetUp();
        if (IsSkipped()) return;
        SKIP_UNLESS_LISTENING(NoNewNewsPort(), "the news server (no NEWNEWS)", kInnScript,
                              "INN_NONEWNEWS_PORT");
    }

    // The article numbers the current group lists.
    std::set<long> ListedNumbers() {
        PluginPanelItem* items = nullptr;
        int count = 0;
        manager->GetFindData(items, count);
        std::set<long> numbers;
        for (int i = 0; i < count; ++i) numbers.insert(static_cast<long>(items[i].UserData));
        FreePanelItems(items, count);
        return numbers;
    }

    // The server's own list of the group's article numbers up to last (others may post since).
    std::set<long> ServerNumbers(const std::string& group, long last) {
        std::set<long> numbers;
        EXPECT_EQ(Send("LISTGROUP", group), kReplyGroupSelected) << manager->ReplyLine;
        std::string line;
        while (manager->ReadDataLine(*manager->Socket, line) == DataLine::Data) {
            if (std::stol(line) <= last) numbers.insert(std::stol(line));
        }
        return numbers;
    }

    size_t LogCount(const std::string& text) const {
        const std::string log = SessionLog();
        size_t count = 0;
        for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) {
            ++count;
        }
        return count;
    }
};

TEST_P(Inn2SessionRules, RefusedNewNewsListsExactlyTheNewArticlesByNumber) {
    ConnectTo(NoNewNewsPort());
    manager->SetDirectory(kTestGroup);
    ListedNumbers();
    manager->SetDirectory("..");
    PostSamples();
    manager->SetDirectory(kTestGroup);
    const std::set<long> listed = ListedNumbers();
    EXPECT_TRUE(manager->NewNewsRefused);
    ASSERT_FALSE(listed.empty());
    EXPECT_EQ(listed, ServerNumbers(kTestGroup, *listed.rbegin()));

    manager->SetDirectory("..");
    manager->SetDirectory(kTestGroup);
    EXPECT_EQ(ListedNumbers(), listed);
    EXPECT_EQ(LogCount("> NEWNEWS "), 1u) << "NEWNEWS was asked again after its refusal";
}

TEST_P(Inn2SessionRules, LoginAskedForOnDemandAndTheCommandSentAgain) {
    ConnectTo(LoginPort());
    manager->OnEvent = [](int kind, intptr_t param1, intptr_t) {
        if (kind != kEventLogin) return 0;
        auto& url = *reinterpret_cast<TUrlComponents*>(param1);
        url.UserName = TestUser();
        url.Password = TestPassword();
        return kLoginEntered;
    };
    manager->SetDirectory(kTestGroup);
    EXPECT_EQ(manager->ReplyCode, kReplyGroupSelected);
    EXPECT_TRUE(manager->LoggedIn);
    const std::string log = SessionLog();
    const size_t first = log.find("> GROUP kestrova.test");
    const size_t login = log.find("> AUTHINFO PASS");
    ASSERT_NE(login, std::string::npos) << log;
    EXPECT_LT(first, login);
    EXPECT_EQ(LogCount("> GROUP kestrova.test"), 2u) << log;
}

TEST_P(Inn2SessionRules, WrongPasswordIsSaidOnceAndNothingIsSentAgain) {
    try {
        ConnectTo(LoginPort(), TestUser(), "wrong");
        FAIL() << "a wrong password was accepted";
    } catch (const EInternetError& error) {
        EXPECT_EQ(error.Code, static_cast<uint32_t>(kReplyLoginRejected) | kRefused);
        EXPECT_NE(error.Message.find("481"), std::string::npos) << error.Message;
    }
    EXPECT_EQ(LogCount("> AUTHINFO PASS"), 1u);
    EXPECT_EQ(LogCount("> GROUP"), 0u);
}

TEST_P(Inn2SessionRules, OneGroupOnTwoPortsKeepsTwoIndexes) {
    ConnectTo(ReaderPort());
    manager->SetDirectory(kTestGroup);
    ListedNumbers();
    ConnectTo(NoNewNewsPort());
    const size_t before = SessionLog().size();
    manager->SetDirectory(kTestGroup);
    ListedNumbers();
    const std::string log = SessionLog().substr(before);
    EXPECT_NE(log.find("> NEXT"), std::string::npos) << "the other port's index was used";
    for (uint16_t port : {ReaderPort(), NoNewNewsPort()}) {
        EXPECT_TRUE(std::filesystem::exists(TInternetManager::CacheFileName("", "127.0.0.1", port)))
            << port;
    }
}

INSTANTIATE_TEST_SUITE_P(Direct, Inn2SessionRules, ::testing::Values(kRoutes[0]), RouteName);

}  // namespace
}  // namespace kestrova::testing
