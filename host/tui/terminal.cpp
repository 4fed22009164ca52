#include "host/tui/terminal.h"

#include <curses.h>
#include <fcntl.h>
#include <langinfo.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstring>

#include "host/host_error.h"
#include "host/tui/canvas.h"
#include "host/tui/key_input.h"
#include "host/tui/palette.h"
#include "platform/console_title.h"
#include "platform/terminal_output.h"

namespace kestrova::host::tui {
namespace {

// xterm mouse clicks in SGR form, modified keys (Ctrl+digit ...) as CSI 27;m;k~, the title
// kept on the terminal's title stack.
constexpr std::string_view kEnterModes = "\x1b[?1000h\x1b[?1006h\x1b[>4;1m\x1b[22;0t";
constexpr std::string_view kLeaveModes = "\x1b[?1006l\x1b[?1000l\x1b[>4m\x1b[23;0t";

Terminal* current = nullptr;
SCREEN* screen = nullptr;
int resizePipe[2] = {-1, -1};
struct sigaction previousWinch {};

void OnWindowChange(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(resizePipe[1], &byte, 1);
    errno = saved;
}

// ncurses draws multi-byte characters only under a UTF-8 locale; take the user's, else C.UTF-8.
void ChooseUtf8Locale() {
    std::setlocale(LC_ALL, "");
    if (std::strcmp(nl_langinfo(CODESET), "UTF-8") != 0) std::setlocale(LC_CTYPE, "C.UTF-8");
}

void InstallResizeSignal() {
    if (pipe2(resizePipe, O_CLOEXEC | O_NONBLOCK) != 0)
        throw HostError(std::string("cannot create a pipe: ") + std::strerror(errno));
    struct sigaction action {};
    action.sa_handler = OnWindowChange;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGWINCH, &action, &previousWinch);
}

void RemoveResizeSignal() {
    sigaction(SIGWINCH, &previousWinch, nullptr);
    close(resizePipe[0]);
    close(resizePipe[1]);
    resizePipe[0] = resizePipe[1] = -1;
}

void EnterFullScreenModes() {
    raw();
    noecho();
    nonl();
    keypad(stdscr, TRUE);
    curs_set(0);
    platform::WriteToTerminal(kEnterModes);
}

}  // namespace

bool HaveTerminal() {
    return isatty(STDIN_FILENO) && isatty(STDOUT_FILENO);
}

Terminal::Terminal() {
    if (current) throw HostError("the terminal is already in use");
    if (!HaveTerminal())
        throw HostError(
            "standard input and output must be a terminal for the full-screen mode (use "
            "--script for a session without one)");
    ChooseUtf8Locale();
    InstallResizeSignal();
    screen = newterm(nullptr, stdout, stdin);
    if (!screen) {
        RemoveResizeSignal();
        const char* term = std::getenv("TERM");
        throw HostError(std::string("cannot drive the terminal type ") + (term ? term : "(unset)"));
    }
    set_term(screen);
    platform::SetTerminalOutput(STDOUT_FILENO);
    EnterFullScreenModes();
    InitPalette();
    current = this;
    AttachKeyInput(*this);
    Repaint();
}

Terminal::~Terminal() {
    DetachKeyInput();
    platform::WriteToTerminal(kLeaveModes);
    endwin();
    delscreen(screen);
    screen = nullptr;
    platform::SetTerminalOutput(-1);
    RemoveResizeSignal();
    current = nullptr;
}

Terminal* Terminal::Current() {
    return current;
}

int Terminal::Width() const {
    return COLS;
}

int Terminal::Height() const {
    return LINES;
}

void Terminal::Flush() {
    if (suspended_) return;
    PlaceCursor();
    refresh();
}

void Terminal::Repaint() {
    clearok(curscr, TRUE);
    Flush();
}

void Terminal::Suspend() {
    if (suspended_) return;
    platform::WriteToTerminal(kLeaveModes);
    def_prog_mode();
    endwin();
    suspended_ = true;
}

void Terminal::Resume() {
    if (!suspended_) return;
    suspended_ = false;
    reset_prog_mode();
    EnterFullScreenModes();
    TakeResize();  // the program may have run while the terminal changed size
    Repaint();
}

void Terminal::SetTitle(std::string_view oemText) {
    platform::SetConsoleTitle(oemText);
}

int Terminal::ResizeFd() const {
    return resizePipe[0];
}

bool Terminal::TakeResize() {
    char bytes[64];
    bool pending = false;
    while (read(resizePipe[0], bytes, sizeof bytes) > 0) pending = true;
    if (!pending) return false;
    winsize size{};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_row > 0 && size.ws_col > 0)
        resizeterm(size.ws_row, size.ws_col);
    if (resizeHandler_) resizeHandler_();
    Repaint();
    return true;
}

void Terminal::SetResizeHandler(std::function<void()> handler) {
    resizeHandler_ = std::move(handler);
}

SuspendedTerminal::SuspendedTerminal() : terminal_(Terminal::Current()) {
    if (terminal_) terminal_->Suspend();
}

SuspendedTerminal::~SuspendedTerminal() {
    if (terminal_) terminal_->Resume();
}

}  // namespace kestrova::host::tui
