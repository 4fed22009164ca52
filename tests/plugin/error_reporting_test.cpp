#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/errors.h"
#include "panel_fixture.h"
#include "ui/message_numbers.h"
#include "ui/plugin_options.h"

namespace kestrova::testing {
namespace {

using Lines = std::vector<std::string>;

// A failure becomes one warning box: its class and procedure (or the panel operation), then the
// message split after its first full stop, then the one button.
TEST_F(PanelTest, ReportErrorShowsOneBox) {
    host.texts[58] = "%s in %s";
    const struct {
        std::exception_ptr failure;
        int opMode;
        int result;
        Lines lines;
    } cases[] = {
        {std::make_exception_ptr(ESocketError(0x40000000u + 10061, "Refused. Is it running?", "C")),
         0,
         1,
         {"ESocketError in C", "Refused.", "Is it running?"}},
        {std::make_exception_ptr(ERegistryError(0x20000000u, "No such folder", "SetDirectory")),
         0,
         1,
         {"ERegistryError in SetDirectory", "No such folder"}},
        {std::make_exception_ptr(EInternetError(411u, "No group. Try F7. Or not.", "P")),
         0,
         1,
         {"EInternetError in P", "No group.", "Try F7. Or not."}},
        {std::make_exception_ptr(ECustomError(0u, "", "Connect")),
         0,
         1,
         {"ECustomError in Connect", "Unknow error occured. (Empty error message)"}},
        {std::make_exception_ptr(ECustomError(0u, ". rest", "Connect")),
         0,
         1,
         {"ECustomError in Connect", ".", "rest"}},
        {std::make_exception_ptr(EFOpenError(0x20000000u, "Cannot open", "F")),
         OPM_SILENT,
         0,
         {"EFOpenError in F", "Cannot open"}},
        {std::make_exception_ptr(std::runtime_error("disk full")),
         0,
         1,
         {"Exception in GetFiles", "disk full"}},
        {std::make_exception_ptr(ECustomError(0u, "Bad", "")),
         0,
         1,
         {"ECustomError in GetFiles", "Bad"}},
        {std::make_exception_ptr(EAbort()), 0, 0, {}},
    };
    for (const auto& c : cases) {
        host.messages.clear();
        host.messageAnswers = {0};
        PressEsc();  // keys typed during the failed work are dropped
        TNntpPlugin panel;
        EXPECT_EQ(panel.ReportError(c.failure, "GetFiles", c.opMode), c.result);
        EXPECT_TRUE(platform::PeekInput().empty());
        if (c.lines.empty()) {
            EXPECT_TRUE(host.messages.empty());
            continue;
        }
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(host.messages[0].flags, FMSG_WARNING);
        Lines expected = c.lines;
        expected.push_back("<1>");
        EXPECT_EQ(host.messages[0].items, expected);
    }
}

// A panel whose requests fail as a test scripts them.
class ScriptedPanel : public TNntpPlugin {
  public:
    std::vector<std::function<void()>> failures;  // one per attempt; then success
    int attempts = 0;

  protected:
    int PerformRequest(int, intptr_t, void*) override {
        const int attempt = attempts++;
        if (attempt < static_cast<int>(failures.size())) failures[attempt]();
        return kAnswerDone;
    }
};

void Transient() {
    throw ESocketError(kTransient | 10054, "Connection reset by peer", "Recv");
}

// A clock that leaps a minute at each reading: every retry pause is over at once.
uint64_t LeapingClock() {
    static uint64_t now = 0;
    return now += 60000;
}

class RetryTest : public PanelTest {
  protected:
    RetryTest() {
        Options.Connect.RetryCount = 3;
        host.texts[kMsgNextAttempt] = "%d";
        platform::SetMonotonicClock(&LeapingClock);
    }
    ~RetryTest() override { platform::SetMonotonicClock(nullptr); }

    int Run(int request, int failures) {
        panel.failures.assign(failures, Transient);
        panel.attempts = 0;
        panel.OpFlags = kOpRunning | kOpInteractive;
        return panel.ReceiveData(request, 0, nullptr);
    }
    // The message boxes that asked something (status boxes have no buttons).
    int Questions() const {
        int count = 0;
        for (const auto& message : host.messages) count += message.buttons > 0 ? 1 : 0;
        return count;
    }

    ScriptedPanel panel;
};

TEST_F(RetryTest, TheThirdFailureAsksRetrySkipStopForAPanelRequest) {
    host.messageAnswers = {0, 0, 0};  // retry: a new count of three
    EXPECT_EQ(Run(kRequestList, 6), kAnswerDone);
    EXPECT_EQ(panel.attempts, 7);
    ASSERT_EQ(Questions(), 2);
    EXPECT_EQ(host.messages.back().items,
              (Lines{"<104>", "Connection reset by peer", "<3>", "<10>", "<13>"}));
    host.messageAnswers = {1};  // skip
    EXPECT_EQ(Run(kRequestList, 3), kAnswerSkip);
    EXPECT_EQ(panel.attempts, 3);
    host.messageAnswers = {-1};  // Esc
    EXPECT_THROW(Run(kRequestList, 3), EAbort);
    host.messageAnswers = {1};  // a connection offers no skip: the second button stops
    EXPECT_THROW(Run(kRequestConnect, 3), EAbort);
    EXPECT_EQ(host.messages.back().items,
              (Lines{"<104>", "Connection reset by peer", "<3>", "<13>"}));
}

TEST_F(RetryTest, RetryCountZeroRetriesWithoutAskingAndPausesAtMostHalfAMinute) {
    Options.Connect.RetryCount = 0;
    EXPECT_EQ(Run(kRequestList, 8), kAnswerDone);
    EXPECT_EQ(panel.attempts, 9);
    EXPECT_EQ(Questions(), 0);
    Lines pauses;
    for (const auto& message : host.messages) pauses.push_back(message.items.back());
    EXPECT_EQ(pauses, (Lines{"1", "2", "4", "8", "16", "30", "30", "30"}));
}

TEST_F(RetryTest, FailureRules) {
    const auto raise = [](auto error) { return [error] { throw error; }; };
    const std::function<void()> itemFailure = raise(EInternetError(kItemFailure | 423, "G", "P"));
    const std::function<void()> esc = raise(EUserAbort(kItemFailure, "", "SocketWait"));
    constexpr unsigned kInteractive = kOpRunning | kOpInteractive;
    const struct {
        std::function<void()> failure;
        unsigned opFlags;
        int answer;  // queued message answer, -9 none
        int result;  // -1: EAbort, -2: the failure itself passes on
        int questionButtons;
    } cases[] = {
        {raise(EInternetError(kRetryAtOnce | 480, "Auth", "P")), kInteractive, -9, kAnswerDone, 0},
        {itemFailure, kInteractive, 0, kAnswerSkip, 2},
        {itemFailure, kInteractive, 1, -1, 2},
        {raise(EInternetError(kRefused | 502, "No", "P")), kInteractive, -9, -2, 0},
        {raise(std::runtime_error("odd")), kInteractive, -9, -2, 0},
        {esc, kInteractive, 0, kAnswerDone, 2},
        {esc, kInteractive, 1, -1, 2},
        {esc, kOpRunning, -9, -1, 0},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(i);
        host.messages.clear();
        host.messageAnswers.clear();
        if (c.answer != -9) host.messageAnswers = {c.answer};
        panel.failures = {c.failure};
        panel.attempts = 0;
        panel.OpFlags = c.opFlags;
        int result = 0;
        try {
            result = panel.ReceiveData(kRequestList, 0, nullptr);
        } catch (const EAbort&) {
            result = -1;
        } catch (const std::exception&) {
            result = -2;
        }
        EXPECT_EQ(result, c.result);
        const int buttons = host.messages.empty() ? 0 : host.messages[0].buttons;
        EXPECT_EQ(host.messages.size(), c.questionButtons ? 1u : 0u);
        EXPECT_EQ(buttons, c.questionButtons);
    }
}

}  // namespace
}  // namespace kestrova::testing
