// What the panel shows while it works: status boxes, the transient panel title and the progress
// box with its percentage bar, drawn at most every 500 ms.
#include <algorithm>
#include <vector>

#include "common/format_text.h"
#include "platform/clock.h"
#include "plugin/nntp_plugin.h"
#include "plugin/progress_bar.h"
#include "ui/console_keys.h"
#include "ui/host_services.h"
#include "ui/host_version.h"
#include "ui/message_box.h"
#include "ui/message_numbers.h"
#include "ui/messages.h"

namespace kestrova {
namespace {

constexpr uint64_t kTrafficIntervalMillis = 500;
constexpr std::string_view kBarEmpty = "░";  // light shade
constexpr std::string_view kBarFull = "█";   // full block

}  // namespace

int TNntpPlugin::ShowStatus(unsigned mask, const std::string& text,
                            std::initializer_list<int> buttons, const std::string& extra) {
    if ((OpFlags & mask) == 0 || !StartupInfo.Message) return -1;
    SaveWholeScreen();
    if ((OpFlags & kOpCounting) != 0 && buttons.size() == 0) {
        StatusText = text;
        StatusExtra = extra;
    }
    std::vector<std::string> lines{PanelHost, text};
    if (!extra.empty()) lines.push_back(extra);
    for (int button : buttons) lines.push_back(GetMsg(button));
    const int answer = HostMessage(0, lines, static_cast<int>(buttons.size()));
    SetTitle(text);
    return answer;
}

void TNntpPlugin::ShowInTitle(unsigned mask, const std::string& text) {
    if ((OpFlags & mask) == 0) return;
    std::string kept = std::move(PanelTitle);
    PanelTitle = text;
    try {
        if (StartupInfo.Control) StartupInfo.Control(Handle(), FCTL_REDRAWPANEL, nullptr);
        if (HostVersion() >= kCharTableHostVersion && StartupInfo.Text)
            StartupInfo.Text(0, 0, 0, nullptr);
        SetTitle(text);
    } catch (...) {
        PanelTitle = std::move(kept);
        throw;
    }
    PanelTitle = std::move(kept);
}

std::string ProgressBar(int percent) {
    const int full =
        std::min(kProgressWidth, (std::clamp(percent, 0, 100) * kProgressWidth + 50) / 100);
    std::string bar;
    for (int cell = 0; cell < kProgressWidth; ++cell) bar += cell < full ? kBarFull : kBarEmpty;
    return bar;
}

int ProgressPercent(int64_t received, int64_t total) {
    if (total <= 0) return 100;
    const int64_t percent = (std::max<int64_t>(received, 0) * 200 + total) / (2 * total);
    return static_cast<int>(std::min<int64_t>(percent, 100));
}

void TNntpPlugin::ShowTraffic(int amount) {
    Received += amount;
    try {
        const uint64_t now = platform::MonotonicMillis();
        if (LastTraffic != 0 && now - LastTraffic < kTrafficIntervalMillis) return;
        // Boxes after an operation's first are redraws over it (how many depends on the time).
        const unsigned redraw = LastTraffic != 0 ? FMSG_KEEPBACKGROUND : 0;
        // 0 stands for "not drawn yet"; a clock that starts at 0 must not look like that.
        LastTraffic = std::max<uint64_t>(now, 1);
        SaveWholeScreen();
        if ((OpFlags & kOpCounting) != 0) {
            ShowInTitle(kOpInteractive, PanelTitle + FormatText(" (%d)", {Received}));
            // A listing over at once shows no box; a long one shows its count from 500 ms on.
            if (now - OpStart >= kTrafficIntervalMillis && StartupInfo.Message &&
                (OpFlags & kOpInteractive) != 0) {
                std::vector<std::string> lines{PanelHost};
                if (!StatusText.empty()) lines.push_back(StatusText);
                if (!StatusExtra.empty()) lines.push_back(StatusExtra);
                lines.push_back(FormatText(GetMsg(kMsgReadSoFar), {Received}));
                HostMessage(FMSG_KEEPBACKGROUND, lines, 0);
            }
        }
        if ((OpFlags & kOpPercent) != 0 && StartupInfo.Message) {
            const int percent = ProgressPercent(Received, Total);
            SetTitle(FormatText("%d%% %s", {percent, ProgressLines[0]}));
            ProgressLines[3] = ProgressBar(percent);
            HostMessage(FMSG_LEFTALIGN | redraw,
                        {ProgressTitle, ProgressLines[0], ProgressLines[1], ProgressLines[2],
                         ProgressLines[3]},
                        0);
        }
    } catch (...) {
        // Progress is only shown; the transfer goes on.
    }
}

}  // namespace kestrova
