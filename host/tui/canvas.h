// Drawing on the full screen (ncurses' stdscr) with palette roles: OEM text, box characters,
// frames, fills and shadows. Every primitive clips to the screen, so a box larger than the
// terminal or partly off it draws what fits. Nothing reaches the terminal before
// Terminal::Flush.
#pragma once

#include <memory>
#include <string_view>

#include "host/tui/palette.h"

namespace kestrova::host::tui {

struct Rect {
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    int Right() const { return X + Width - 1; }
    int Bottom() const { return Y + Height - 1; }
};

enum class LineStyle { Single, Double };

int ScreenWidth();
int ScreenHeight();

// Writes OEM text from (x, y) on one row, at most maxWidth cells (-1: to the screen's edge), by
// display width: a wide character takes two cells, a combining mark shares its character's cell;
// control characters show as '?'. Returns the cells the text takes, clipped to maxWidth.
int PutText(int x, int y, std::string_view oemText, Role role, int maxWidth = -1);
// The same for UTF-8 text (host texts, file names on disk).
int PutUtf8(int x, int y, std::string_view utf8Text, Role role, int maxWidth = -1);
// Writes one character (a code point, e.g. a box character) at (x, y).
void PutChar(int x, int y, char32_t character, Role role);
// Fills a rectangle with one character.
void Fill(const Rect& area, Role role, char32_t character = U' ');
// A frame on the rectangle's border.
void DrawFrame(const Rect& area, Role role, LineStyle style);
// A horizontal line across a frame of frameStyle at row y, from its left side at x to its
// right side at x + width - 1, joined to both sides (├───┤, ╟───╢, ╠═══╣).
void DrawSeparator(int x, int y, int width, Role role, LineStyle line, LineStyle frameStyle);
// A vertical line from (x, y) down height cells.
void DrawVerticalLine(int x, int y, int height, Role role, LineStyle style);
// Darkens the cells that a box at area casts its shadow on: two columns right, one row below.
void DrawShadow(const Rect& area);
// The cells a box at area covers, its shadow included.
Rect WithShadow(const Rect& area);
// The text cursor (an edit field, the focused item, the command line); hidden by default.
// Drawing moves curses' own cursor, so the wanted place is kept and set on each flush.
void ShowCursor(int x, int y);
void HideCursor();
// Puts the terminal's cursor where ShowCursor asked, or hides it (Terminal::Flush does this).
void PlaceCursor();

// The screen's cells, to put back later: the whole screen (the host's SaveScreen and
// RestoreScreen, the viewer) or the cells a box covers, so that whatever else changed on the
// screen meanwhile stays. After a resize, the part that still fits comes back.
class ScreenSnapshot {
  public:
    ScreenSnapshot();
    explicit ScreenSnapshot(const Rect& area);
    ~ScreenSnapshot();
    ScreenSnapshot(const ScreenSnapshot&) = delete;
    ScreenSnapshot& operator=(const ScreenSnapshot&) = delete;
    void Restore() const;

  private:
    struct Cells;
    std::unique_ptr<Cells> cells_;
    int x_ = 0;
    int y_ = 0;
};

// The box character joining lines: which arms reach out, and their styles (for a table of
// frames: corners, tees, crossings). Returns '+', '-' or '|' when the locale is not UTF-8.
char32_t BoxCharacter(bool up, bool down, bool left, bool right, LineStyle horizontal,
                      LineStyle vertical);

}  // namespace kestrova::host::tui
