#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "common/errors.h"
#include "news/fixture_server.h"
#include "news/news_internet_manager.h"
#include "panel_fixture.h"
#include "platform/console_title.h"
#include "plugin/progress_bar.h"
#include "ui/event_kinds.h"
#include "ui/message_numbers.h"

namespace kestrova::testing {
namespace {

using Lines = std::vector<std::string>;

std::string Bar(int full) {
    std::string bar;
    for (int cell = 0; cell < kProgressWidth; ++cell) bar += cell < full ? "█" : "░";
    return bar;
}

TEST(ProgressTest, BarAndPercentRoundAndCap) {
    for (auto [percent, full] : {std::pair{0, 0}, {1, 1}, {50, 28}, {99, 54}, {100, 55}, {150, 55}})
        EXPECT_EQ(ProgressBar(percent), Bar(full)) << percent;
    EXPECT_EQ(ProgressPercent(1, 200), 1);  // 0.5 rounds up
    EXPECT_EQ(ProgressPercent(250, 200), 100);
    EXPECT_EQ(ProgressPercent(5, 0), 100);  // nothing expected: done
}

// The box's layout shows in the host scripts that copy articles; here its rhythm and the title.
TEST_F(PanelTest, TrafficRedrawsAtMostEvery500Milliseconds) {
    TNntpPlugin panel;
    panel.BeginOperation(kRequestGetFiles, 0);  // interactive, with a percentage
    panel.ProgressLines[0] = "Re: question";
    panel.Total = 200;
    panel.ShowTraffic(10);  // the first unit always draws
    Advance(499);
    panel.ShowTraffic(10);
    EXPECT_EQ(host.messages.size(), 1u);
    Advance(1);
    panel.ShowTraffic(80);
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(panel.Received, 100);                 // every unit counts, drawn or not
    EXPECT_EQ(host.messages[1].items[4], Bar(28));  // 50 %
    // Script transcripts keep the first box and leave out the timed redraws over it.
    EXPECT_EQ(host.messages[0].flags, FMSG_LEFTALIGN);
    EXPECT_EQ(host.messages[1].flags, FMSG_LEFTALIGN | FMSG_KEEPBACKGROUND);
    EXPECT_EQ(platform::ConsoleTitle(), "50% Re: question");
    EXPECT_EQ(savedScreens, 1);  // each box replaces the one before
    panel.EndOperation(kRequestGetFiles, 0);
    EXPECT_EQ(savedScreens, 0);  // the operation leaves no box behind
}

// The walk, a re-entry and a LIST through the fixture server, each unit taking 150 ms of the
// test's clock: the count redrawn at most every 500 ms, in the panel title (which the host reads
// while it redraws, and which is the panel's own again afterwards) and in the status box from
// 500 ms on.
TEST_F(PanelTest, LongListingsShowTheirCountEvery500Milliseconds) {
    FixtureNewsServer server;
    for (int n = 1; n <= 8; ++n) {
        server.AddGroup("alt.g" + std::to_string(n));
        server.AddArticle("alt.g1", n, "Message-ID: <" + std::to_string(n) + "@t>\r\n\r\nb\r\n");
    }
    server.Start();
    TNntpPlugin panel;
    panel.OpenCommandLine("//127.0.0.1:" + std::to_string(server.Port()) + "/");
    panel.InternetManager->OnEvent = [&](int kind, intptr_t param1, intptr_t param2) {
        if (kind == kEventProgress) Advance(150);
        return panel.HandleEvent(kind, param1, param2);
    };
    static std::vector<uint64_t> redrawn;
    static std::string title;
    StartupInfo.Control = [](HANDLE plugin, int command, void* param) {
        if (command != FCTL_REDRAWPANEL || param) return 1;
        redrawn.push_back(platform::MonotonicMillis());
        OpenPluginInfo info{};
        static_cast<TNntpPlugin*>(plugin)->GetOpenPluginInfo(info);
        title = info.PanelTitle;
        return 1;
    };
    host.texts[kMsgReadSoFar] = "#%d";
    host.dialogAnswers.push_back(FakeHost::Close(2, {{2, "alt.*"}}));
    for (const auto& [what, listed] : std::vector<std::pair<std::string, std::function<void()>>>{
             {"walk", [&] { panel.SetDirectory("alt.g1", 0); }},
             {"re-entry", [&] { panel.SetDirectory("..", 0), panel.SetDirectory("alt.g1", 0); }},
             {"LIST", [&] { panel.SetDirectory("..", 0), panel.ProcessKey(VK_F7, 0); }}}) {
        listed();
        redrawn.clear();
        host.messages.clear();
        PluginPanelItem* items = nullptr;
        int count = 0;
        panel.GetFindData(&items, &count, 0);
        panel.FreeFindData(items, count);
        ASSERT_GE(redrawn.size(), 2u) << what;
        for (size_t i = 1; i < redrawn.size(); ++i) EXPECT_GE(redrawn[i] - redrawn[i - 1], 500u);
        const auto box = std::find_if(host.messages.begin(), host.messages.end(),
                                      [](const auto& m) { return m.items.back()[0] == '#'; });
        ASSERT_NE(box, host.messages.end()) << what;
        EXPECT_EQ(box->flags, FMSG_KEEPBACKGROUND) << what;
        const int shown = std::stoi(box->items.back().substr(1));  // from 500 ms on, not at the end
        EXPECT_TRUE(shown >= 4 && shown < 8) << what << ": " << shown;
        EXPECT_EQ(title.substr(0, title.find(" (")), panel.PanelTitle) << what;
        EXPECT_EQ(title.back(), ')') << title;
    }
}

// Status boxes and traffic only in an interactive operation; Esc aborts a transfer.
TEST_F(PanelTest, HandleEvent) {
    TNntpPlugin panel;
    panel.BeginOperation(kRequestList, OPM_SILENT);
    panel.ShowTraffic(5);
    EXPECT_TRUE(controls.empty());
    EXPECT_TRUE(host.messages.empty());
    panel.EndOperation(kRequestList, 0);
    const std::string name = "news.example";
    const auto text = reinterpret_cast<intptr_t>(name.c_str());
    panel.HandleEvent(kEventStatus, 16, text);
    EXPECT_TRUE(host.messages.empty());
    panel.BeginOperation(kRequestConnect, 0);
    panel.HandleEvent(kEventStatus, 16, text);
    host.messageAnswers = {0};
    panel.HandleEvent(kEventMessageBox, 147, text);
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(host.messages[1].items, (Lines{"Kestrova", "<147>", "news.example", "<1>"}));
    panel.EndOperation(kRequestConnect, 0);

    for (int kind : {kEventReceived, kEventSending, kEventProgress}) {
        PressEsc();
        EXPECT_THROW(panel.HandleEvent(kind, 0, 1), EUserAbort) << kind;
    }
    EXPECT_EQ(panel.HandleEvent(kEventReceived, 0, 1), 0);  // no Esc: nothing
}

}  // namespace
}  // namespace kestrova::testing
