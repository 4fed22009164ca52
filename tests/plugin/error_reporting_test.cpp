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

class ReportErrorTest : public PanelTest {
  protected:
    ReportErrorTest() { host.texts[58] = "%s in %s"; }

    // The lines of the one box the report showed (none: empty).
    Lines Report(std::exception_ptr failure, int opMode, int expectedResult) {
        TNntpPlugin panel;
        EXPECT_EQ(panel.ReportError(failure, "GetFiles", opMode), expectedResult);
        if (host.messages.empty()) return {};
        EXPECT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(host.messages[0].flags, FMSG_WARNING);
        EXPECT_EQ(host.messages[0].buttons, 1);
        Lines lines = host.messages[0].items;
        EXPECT_EQ(lines.back(), "<1>");  // the one button
        lines.pop_back();
        return lines;
    }
};

struct ReportCase {
    const char* name;
    std::function<std::exception_ptr()> failure;
    int opMode;
    int result;
    Lines lines;
};

class ReportErrorCases : public ReportErrorTest,
                         public ::testing::WithParamInterface<ReportCase> {};

TEST_P(ReportErrorCases, ShowsOneBox) {
    const ReportCase& c = GetParam();
    host.messageAnswers = {0};
    EXPECT_EQ(Report(c.failure(), c.opMode, c.result), c.lines);
    host.messageAnswers.clear();
}

template <typename E, typename... Args>
std::function<std::exception_ptr()> Failure(Args... args) {
    return [=] { return std::make_exception_ptr(E(args...)); };
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportErrorCases,
    ::testing::Values(
        ReportCase{
            "TwoSentencesTwoLines",
            Failure<ESocketError>(0x40000000u + 10061,
                                  std::string("Connection refused. Is the server running?"),
                                  std::string("SocketConnect")),
            0,
            1,
            {"ESocketError in SocketConnect", "Connection refused.", "Is the server running?"}},
        ReportCase{"OneSentenceOneLine",
                   Failure<ERegistryError>(0x20000000u, std::string("Folder 'x' does not exist"),
                                           std::string("SetDirectory")),
                   0,
                   1,
                   {"ERegistryError in SetDirectory", "Folder 'x' does not exist"}},
        ReportCase{"OnlyTheFirstFullStopSplits",
                   Failure<EInternetError>(411u, std::string("No such group. Try F7. Or not."),
                                           std::string("SetDirectory")),
                   0,
                   1,
                   {"EInternetError in SetDirectory", "No such group.", "Try F7. Or not."}},
        ReportCase{"EmptyMessage",
                   Failure<ECustomError>(0u, std::string(), std::string("Connect")),
                   0,
                   1,
                   {"ECustomError in Connect", "Unknow error occured. (Empty error message)"}},
        ReportCase{"EmptyFirstSentence",
                   Failure<ECustomError>(0u, std::string(". rest"), std::string("Connect")),
                   0,
                   1,
                   {"ECustomError in Connect", ".", "rest"}},
        ReportCase{"SilentModeStillShowsButAnswersZero",
                   Failure<EFOpenError>(0x20000000u, std::string("Cannot open file 'a'"),
                                        std::string("TFileStream")),
                   OPM_SILENT,
                   0,
                   {"EFOpenError in TFileStream", "Cannot open file 'a'"}},
        ReportCase{"ForeignFailureNamedByThePanelOperation",
                   [] { return std::make_exception_ptr(std::runtime_error("disk full")); },
                   0,
                   1,
                   {"Exception in GetFiles", "disk full"}},
        ReportCase{"ErrorWithoutProcedureNamedByThePanelOperation",
                   Failure<ECustomError>(0u, std::string("Bad"), std::string()),
                   0,
                   1,
                   {"ECustomError in GetFiles", "Bad"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReportErrorTest, SilentAbortShowsNothing) {
    EXPECT_EQ(Report(std::make_exception_ptr(EAbort()), 0, 0), Lines{});
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(ReportErrorTest, PluginLeaveClosesThePanel) {
    TNntpPlugin panel;
    EXPECT_EQ(panel.ReportError(std::make_exception_ptr(EPluginLeave()), "SetDirectory", 0), 1);
    EXPECT_TRUE(host.messages.empty());
    ASSERT_EQ(Commands(), std::vector<int>{FCTL_CLOSEPLUGIN});
    EXPECT_EQ(controls[0].plugin, panel.Handle());
    EXPECT_EQ(controls[0].text, "<0>");
}

TEST_F(ReportErrorTest, KeysTypedDuringTheFailedWorkAreDropped) {
    PressEsc();
    TNntpPlugin panel;
    host.messageAnswers = {0};
    panel.ReportError(std::make_exception_ptr(ECustomError(0, "x", "y")), "GetFiles", 0);
    EXPECT_TRUE(platform::PeekInput().empty());
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

std::function<void()> Transient() {
    return [] { throw ESocketError(kTransient | 10054, "Connection reset by peer", "Recv"); };
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

    int Run(int request, int failures, unsigned opFlags = kOpRunning | kOpInteractive) {
        panel.failures.assign(failures, Transient());
        panel.attempts = 0;
        panel.OpFlags = opFlags;
        return panel.ReceiveData(request, 0, nullptr);
    }
    // The message boxes that asked something (status boxes have no buttons).
    int Questions() const {
        int count = 0;
        for (const auto& message : host.messages) count += message.buttons > 0 ? 1 : 0;
        return count;
    }
    // The seconds each retry pause announced, in order.
    Lines Pauses() const {
        Lines seconds;
        for (const auto& message : host.messages) {
            if (message.buttons == 0) seconds.push_back(message.items.back());
        }
        return seconds;
    }

    ScriptedPanel panel;
};

TEST_F(RetryTest, TwoTransientFailuresAreRetriedSilently) {
    EXPECT_EQ(Run(kRequestList, 2), kAnswerDone);
    EXPECT_EQ(panel.attempts, 3);
    EXPECT_EQ(Questions(), 0);
}

TEST_F(RetryTest, TheThirdFailureAsksRetrySkipStopForAPanelRequest) {
    host.messageAnswers = {0};  // retry
    EXPECT_EQ(Run(kRequestList, 3), kAnswerDone);
    EXPECT_EQ(panel.attempts, 4);
    ASSERT_EQ(Questions(), 1);
    EXPECT_EQ(host.messages.back().items,
              (Lines{"<104>", "Connection reset by peer", "<3>", "<10>", "<13>"}));
    EXPECT_EQ(host.messages.back().flags, FMSG_WARNING);
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

TEST_F(RetryTest, RetryStartsANewCountOfThree) {
    host.messageAnswers = {0, 0, 0};
    EXPECT_EQ(Run(kRequestList, 5), kAnswerDone);
    EXPECT_EQ(Questions(), 1);  // failures 4 and 5 are retried silently again
    EXPECT_EQ(Run(kRequestList, 6), kAnswerDone);
    EXPECT_EQ(Questions(), 3);  // the sixth failure asks again
}

TEST_F(RetryTest, RetryCountZeroRetriesWithoutAsking) {
    Options.Connect.RetryCount = 0;
    EXPECT_EQ(Run(kRequestList, 8), kAnswerDone);
    EXPECT_EQ(panel.attempts, 9);
    EXPECT_EQ(Questions(), 0);
    // Each attempt waits twice as long as the one before, at most half a minute.
    EXPECT_EQ(Pauses(), (Lines{"1", "2", "4", "8", "16", "30", "30", "30"}));
}

TEST_F(RetryTest, EscDuringTheRetryPausePassesTheFailureOnOnce) {
    Options.Connect.RetryCount = 0;
    panel.failures = {[] {
        PressEsc();
        Transient()();
    }};
    panel.OpFlags = kOpRunning | kOpInteractive;
    EXPECT_THROW(panel.ReceiveData(kRequestList, 0, nullptr), ESocketError);
    EXPECT_EQ(panel.attempts, 1);
    EXPECT_EQ(Pauses(), Lines{"1"});
    EXPECT_EQ(Questions(), 0);
}

struct RuleCase {
    const char* name;
    std::function<void()> failure;
    unsigned opFlags;
    std::vector<int> answers;  // queued message answers
    int result;                // -1: EAbort, -2: the failure itself passes on
    int questionButtons;
};

class FailureRules : public RetryTest, public ::testing::WithParamInterface<RuleCase> {};

TEST_P(FailureRules, Apply) {
    const RuleCase& c = GetParam();
    host.messageAnswers.assign(c.answers.begin(), c.answers.end());
    panel.failures = {c.failure};
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
    if (c.questionButtons == 0) {
        EXPECT_TRUE(host.messages.empty());
    } else {
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(host.messages[0].buttons, c.questionButtons);
    }
}

constexpr unsigned kInteractive = kOpRunning | kOpInteractive;
void RetryAtOnce() {
    throw EInternetError(kRetryAtOnce | 480, "Auth", "P");
}
void ItemFailure() {
    throw EInternetError(kItemFailure | 423, "Gone", "P");
}
void Refused() {
    throw EInternetError(kRefused | 502, "No", "P");
}
void Foreign() {
    throw std::runtime_error("odd");
}
void Esc() {
    throw EUserAbort(kItemFailure, "", "SocketWait");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FailureRules,
    ::testing::Values(RuleCase{"RetryAtOnce", RetryAtOnce, kInteractive, {}, kAnswerDone, 0},
                      RuleCase{"ItemFailureSkip", ItemFailure, kInteractive, {0}, kAnswerSkip, 2},
                      RuleCase{"ItemFailureStop", ItemFailure, kInteractive, {1}, -1, 2},
                      RuleCase{"RefusedPassesOn", Refused, kInteractive, {}, -2, 0},
                      RuleCase{"ForeignPassesOn", Foreign, kInteractive, {}, -2, 0},
                      RuleCase{"EscInteractiveGoOn", Esc, kInteractive, {0}, kAnswerDone, 2},
                      RuleCase{"EscInteractiveStop", Esc, kInteractive, {1}, -1, 2},
                      RuleCase{"EscSilentStops", Esc, kOpRunning, {}, -1, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RetryTest, EscWaitingBeforeTheRequestAsksWhetherToGoOn) {
    PressEsc();
    host.messageAnswers = {0};
    EXPECT_EQ(Run(kRequestList, 0), kAnswerDone);
    ASSERT_EQ(Questions(), 1);
    EXPECT_EQ(host.messages[0].items, (Lines{"<104>", "<62>", "<3>", "<13>"}));
    EXPECT_EQ(panel.attempts, 1);
}

TEST_F(RetryTest, UnknownRequestAnswersZero) {
    TNntpPlugin plain;
    EXPECT_EQ(plain.ReceiveData(0x7777, 0, nullptr), 0);
}

}  // namespace
}  // namespace kestrova::testing
