// The full-screen terminal: ncursesw set up on the process's terminal and torn down again.
//
// One Terminal exists while the full-screen UI runs. It sets a UTF-8 locale, raw keys (the
// terminal's own Ctrl-C, Ctrl-Z, Ctrl-S handling off), keypad transmit mode, no echo, xterm
// mouse clicks and the palette (host/tui/palette.h); it attaches the terminal as the
// platform's console title target (platform/console_title.h) and as the console input source
// (host/tui/key_input.h). Drawing goes to ncurses' stdscr through host/tui/canvas.h.
#pragma once

#include <functional>
#include <string_view>

namespace kestrova::host::tui {

// True when both standard input and standard output are terminals.
bool HaveTerminal();

class Terminal {
  public:
    // Throws HostError ("standard input and output must be a terminal") when HaveTerminal()
    // is false, or when ncurses cannot start on $TERM.
    Terminal();
    // Restores the terminal as it was (the shell's screen comes back).
    ~Terminal();
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    // The one Terminal, or nullptr when none is running.
    static Terminal* Current();

    int Width() const;
    int Height() const;

    // Sends what was drawn to the terminal (once per screen change, not per primitive).
    void Flush();
    // Clears the terminal and draws everything again on the next Flush (Ctrl-L style repaint).
    void Repaint();

    // Leaves full-screen mode for an external program (an editor): the shell's screen and the
    // terminal's cooked mode come back. Resume returns to full-screen mode and repaints.
    void Suspend();
    void Resume();

    // The terminal title, from OEM text (platform console title: OSC 0).
    void SetTitle(std::string_view oemText);

    // The terminal changed its size (SIGWINCH): the descriptor becomes readable. TakeResize
    // empties it, tells ncurses the new size and calls the resize handler; false when no
    // resize was pending.
    int ResizeFd() const;
    bool TakeResize();
    // What redraws the whole screen after a resize (the panels). Boxes on top of it redraw
    // themselves when their key loop sees the resize event (host/tui/key_input.h).
    void SetResizeHandler(std::function<void()> handler);

  private:
    std::function<void()> resizeHandler_;
    bool suspended_ = false;
};

// Suspends the terminal for its lifetime (an external program runs in between); does nothing
// when no Terminal runs.
class SuspendedTerminal {
  public:
    SuspendedTerminal();
    ~SuspendedTerminal();
    SuspendedTerminal(const SuspendedTerminal&) = delete;
    SuspendedTerminal& operator=(const SuspendedTerminal&) = delete;

  private:
    Terminal* terminal_;
};

}  // namespace kestrova::host::tui
