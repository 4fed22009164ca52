#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "common/errors.h"
#include "panel_fixture.h"
#include "ui/message_numbers.h"
#include "ui/plugin_options.h"

namespace kestrova::testing {
namespace {

using Lines = std::vector<std::string>;

std::string Joined(const Lines& lines) {
    std::string text;
    for (const std::string& line : lines) text += (text.empty() ? "" : "|") + line;
    return text;
}

// A failure becomes one warning box: its class and procedure (or the panel operation), then the
// message split after its first full stop, then the one button.
TEST_F(PanelTest, ReportErrorShowsOneBox) {
    host.texts[58] = "%s in %s";
    const auto error = [](auto failure) { return std::make_exception_ptr(failure); };
    const struct {
        std::exception_ptr failure;
        int opMode, result;
        const char* box;  // "" when none shows
    } cases[] = {
        {error(ESocketError(0x40000000u + 10061, "Refused. Is it running?", "C")), 0, 1,
         "ESocketError in C|Refused.|Is it running?|<1>"},
        {error(EInternetError(411u, "No group. Try F7. Or not.", "P")), 0, 1,
         "EInternetError in P|No group.|Try F7. Or not.|<1>"},
        {error(ECustomError(0u, "", "Connect")), 0, 1,
         "ECustomError in Connect|Unknow error occured. (Empty error message)|<1>"},
        {error(ECustomError(0u, ". rest", "Connect")), 0, 1, "ECustomError in Connect|.|rest|<1>"},
        {error(EFOpenError(0x20000000u, "Cannot open", "F")), OPM_SILENT, 0,
         "EFOpenError in F|Cannot open|<1>"},
        {error(std::runtime_error("disk full")), 0, 1, "Exception in GetFiles|disk full|<1>"},
        {error(ECustomError(0u, "Bad", "")), 0, 1, "ECustomError in GetFiles|Bad|<1>"},
        {error(EAbort()), 0, 0, ""},
    };
    for (const auto& c : cases) {
        host.messages.clear();
        host.messageAnswers = {0};
        PressEsc();  // keys typed during the failed work are dropped
        TNntpPlugin panel;
        EXPECT_EQ(panel.ReportError(c.failure, "GetFiles", c.opMode), c.result);
        EXPECT_TRUE(platform::PeekInput().empty());
        std::string shown;
        for (const auto& message : host.messages)
            shown +=
                (message.flags == FMSG_WARNING ? "" : "not a warning: ") + Joined(message.items);
        EXPECT_EQ(shown, c.box);
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

    // The request's answer, -1 for EAbort, -2 when the failure itself passes on.
    int Run(int request, std::vector<std::function<void()>> failures,
            unsigned opFlags = kOpRunning | kOpInteractive) {
        panel.failures = std::move(failures);
        panel.attempts = 0;
        panel.OpFlags = opFlags;
        try {
            return panel.ReceiveData(request, 0, nullptr);
        } catch (const EAbort&) {
            return -1;
        } catch (const std::exception&) {
            return -2;
        }
    }
    int Run(int request, int transients) {
        return Run(request, std::vector<std::function<void()>>(transients, [] {
                       throw ESocketError(kTransient | 10054, "Connection reset by peer", "Recv");
                   }));
    }
    // The buttons of each message box (status boxes have none).
    std::vector<int> Buttons() const {
        std::vector<int> buttons;
        for (const auto& message : host.messages) buttons.push_back(message.buttons);
        return buttons;
    }

    ScriptedPanel panel;
};

TEST_F(RetryTest, TheThirdFailureAsksRetrySkipStopForAPanelRequest) {
    host.messageAnswers = {0, 0, 0};  // retry: a new count of three
    EXPECT_EQ(Run(kRequestList, 6), kAnswerDone);
    EXPECT_EQ(panel.attempts, 7);
    const std::vector<int> buttons = Buttons();
    EXPECT_EQ(std::count(buttons.begin(), buttons.end(), 3), 2);
    EXPECT_EQ(Joined(host.messages.back().items), "<104>|Connection reset by peer|<3>|<10>|<13>");
    host.messageAnswers = {1};  // skip
    EXPECT_EQ(Run(kRequestList, 3), kAnswerSkip);
    EXPECT_EQ(panel.attempts, 3);
    host.messageAnswers = {-1};  // Esc
    EXPECT_EQ(Run(kRequestList, 3), -1);
    host.messageAnswers = {1};  // a connection offers no skip: the second button stops
    EXPECT_EQ(Run(kRequestConnect, 3), -1);
    EXPECT_EQ(Joined(host.messages.back().items), "<104>|Connection reset by peer|<3>|<13>");
}

TEST_F(RetryTest, RetryCountZeroRetriesWithoutAskingAndPausesAtMostHalfAMinute) {
    Options.Connect.RetryCount = 0;
    EXPECT_EQ(Run(kRequestList, 8), kAnswerDone);
    EXPECT_EQ(panel.attempts, 9);
    Lines pauses;
    for (const auto& message : host.messages) pauses.push_back(message.items.back());
    EXPECT_EQ(pauses, (Lines{"1", "2", "4", "8", "16", "30", "30", "30"}));
    EXPECT_EQ(Buttons(), std::vector<int>(8, 0));  // no question
}

TEST_F(RetryTest, FailureRules) {
    const auto raise = [](auto error) { return [error] { throw error; }; };
    const std::function<void()> itemFailure = raise(EInternetError(kItemFailure | 423, "G", "P"));
    const std::function<void()> esc = raise(EUserAbort(kItemFailure, "", "SocketWait"));
    const struct {
        std::function<void()> failure;
        unsigned opFlags;
        std::deque<int> answers;
        int result;  // as Run
        std::vector<int> buttons;
    } cases[] = {
        {raise(EInternetError(kRetryAtOnce | 480, "Auth", "P")), kOpInteractive, {}, 1, {}},
        {itemFailure, kOpInteractive, {0}, kAnswerSkip, {2}},
        {itemFailure, kOpInteractive, {1}, -1, {2}},
        {raise(EInternetError(kRefused | 502, "No", "P")), kOpInteractive, {}, -2, {}},
        {raise(std::runtime_error("odd")), kOpInteractive, {}, -2, {}},
        {esc, kOpInteractive, {0}, kAnswerDone, {2}},
        {esc, kOpInteractive, {1}, -1, {2}},
        {esc, 0, {}, -1, {}},
    };
    for (const auto& c : cases) {
        host.messages.clear();
        host.messageAnswers = c.answers;
        EXPECT_EQ(Run(kRequestList, {c.failure}, kOpRunning | c.opFlags), c.result) << &c - cases;
        EXPECT_EQ(Buttons(), c.buttons) << &c - cases;
    }
}

}  // namespace
}  // namespace kestrova::testing
