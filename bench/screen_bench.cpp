// Panel redraw speed: a panel of 10,000 items beside a local panel is scrolled from the top to
// the bottom one line at a time, each step drawn in full (both panels, command line, key bar)
// and sent to a pseudo-terminal of 100 x 30 cells whose other end is read and thrown away.
// Baseline in the same run: a bare ncurses write of every cell of the screen with a changing
// character, one refresh each. Prints microseconds per screen of both.
#include <curses.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "host/panel_view.h"
#include "host/tui/key_bar.h"
#include "host/tui/palette.h"
#include "host/tui/panel_layout.h"
#include "host/tui/panel_painter.h"

namespace {

constexpr int kItems = 10'000;
constexpr int kWidth = 100, kHeight = 30;

// A panel listing kItems articles shaped like the module's.
class BigPanel : public kestrova::host::PanelView {
  public:
    explicit BigPanel(std::string folder) : folder_(std::move(folder)) {}
    const std::string& Folder() const override { return folder_; }
    bool IsModulePanel() const override { return false; }

  protected:
    void List(kestrova::host::PanelItemList& items) override {
        for (int i = 0; i < kItems; ++i) {
            FAR_FIND_DATA data{};
            data.nFileSizeLow = 100 + i * 37 % 5000;
            data.ftLastWriteTime = {0xD53E8000u + static_cast<uint32_t>(i) * 6000000u, 0x01D9A000u};
            items.Add(data, "Re: article number " + std::to_string(i) + " about a subject");
        }
    }

  private:
    std::string folder_;
};

using Clock = std::chrono::steady_clock;

double MicrosecondsPer(Clock::time_point start, int count) {
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / count;
}

}  // namespace

int main() {
    int master = -1, slave = -1;
    winsize size{};
    size.ws_row = kHeight;
    size.ws_col = kWidth;
    if (openpty(&master, &slave, nullptr, nullptr, &size) != 0) {
        std::perror("openpty");
        return 1;
    }
    std::atomic<bool> done = false;
    std::atomic<long long> bytes = 0;
    std::thread reader([&] {  // the terminal's side: reads everything
        char buffer[65536];
        while (!done) {
            const ssize_t got = read(master, buffer, sizeof buffer);
            if (got <= 0) break;
            bytes += got;
        }
    });
    FILE* out = fdopen(slave, "w");
    FILE* in = fdopen(dup(slave), "r");
    setenv("TERM", "xterm-256color", 1);
    SCREEN* screen = newterm("xterm-256color", out, in);
    set_term(screen);
    kestrova::host::tui::InitPalette();

    // Baseline: every cell written, one refresh per screen.
    const int rounds = 2000;
    auto start = Clock::now();
    for (int round = 0; round < rounds; ++round) {
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) mvaddch(y, x, 'a' + (x + y + round) % 26);
        refresh();
    }
    const double baseline = MicrosecondsPer(start, rounds);
    const long long baselineBytes = bytes;

    BigPanel panel("/home/user/news/kestrova.demo.talk");
    BigPanel local("/home/user");
    panel.Reread();
    local.Reread();
    namespace tui = kestrova::host::tui;
    const tui::ScreenLayout layout = tui::LayoutScreen(kWidth, kHeight);
    int redraws = 0;
    start = Clock::now();
    while (true) {
        tui::PaintPanel(panel, tui::LookOf(panel, true), layout.Left);
        tui::PaintPanel(local, tui::LookOf(local, false), layout.Right);
        tui::PaintCommandLine(layout.CommandLineY, "/home/user$ ", "");
        tui::PaintKeyBar(layout.KeyBarY, tui::KeyBarLabelsOf(tui::KeyBarRow::Plain, nullptr));
        refresh();
        ++redraws;
        if (panel.Current() == kItems - 1) break;
        panel.MoveCursor(1);
    }
    const double panels = MicrosecondsPer(start, redraws);
    endwin();
    delscreen(screen);
    done = true;
    fclose(out);
    fclose(in);
    close(master);
    reader.join();
    std::printf("screen of %dx%d cells through a pseudo-terminal\n", kWidth, kHeight);
    std::printf("  bare ncurses, every cell changed: %8.1f us per screen (%d screens)\n", baseline,
                rounds);
    std::printf("  panel of %d items scrolled:     %8.1f us per redraw (%d redraws)\n", kItems,
                panels, redraws);
    std::printf("  ratio redraw / bare write: %.2f; bytes to the terminal: %lld\n",
                panels / baseline, static_cast<long long>(bytes) - baselineBytes);
    return 0;
}
