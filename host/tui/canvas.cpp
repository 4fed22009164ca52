#include "host/tui/canvas.h"

#include <curses.h>
#include <langinfo.h>

#include <algorithm>
#include <cstring>

#include "platform/codepages.h"
#include "platform/display_width.h"
#include "platform/utf8.h"

namespace kestrova::host::tui {
namespace {

bool Utf8Locale() {
    return std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0;
}

bool OnScreen(int x, int y) {
    return x >= 0 && y >= 0 && x < COLS && y < LINES;
}

// A cell holds a character and up to four marks that combine with it.
constexpr size_t kMostMarks = 4;

void PutCell(int x, int y, const wchar_t* text, unsigned long attributes) {
    if (!OnScreen(x, y)) return;
    cchar_t cell;
    setcchar(&cell, text, static_cast<attr_t>(attributes & ~A_COLOR),
             static_cast<short>(PAIR_NUMBER(attributes)), nullptr);
    mvadd_wch(y, x, &cell);
}

void PutCell(int x, int y, char32_t character, unsigned long attributes) {
    if (character >= 0x80 && !Utf8Locale()) character = U'?';
    const wchar_t text[2] = {static_cast<wchar_t>(character), L'\0'};
    PutCell(x, y, text, attributes);
}

char32_t LineCharacter(bool vertical, LineStyle style) {
    return BoxCharacter(vertical, vertical, !vertical, !vertical, style, style);
}

}  // namespace

int ScreenWidth() {
    return COLS;
}

int ScreenHeight() {
    return LINES;
}

int PutText(int x, int y, std::string_view oemText, Role role, int maxWidth) {
    return PutUtf8(x, y, platform::OemToUtf8(oemText), role, maxWidth);
}

int PutUtf8(int x, int y, std::string_view utf8Text, Role role, int maxWidth) {
    const int limit = maxWidth >= 0 ? maxWidth : 1 << 20;
    const unsigned long attributes = RoleAttributes(role);
    const bool drawn = y >= 0 && y < LINES;
    int cells = 0;
    for (size_t pos = 0; pos < utf8Text.size();) {
        char32_t character = platform::NextUtf8CodePoint(utf8Text, pos);
        if (platform::IsControlCharacter(character)) character = U'?';
        const int width = platform::CharacterWidth(character);
        if (width == 0) continue;  // a mark with nothing before it to combine with
        wchar_t text[kMostMarks + 2] = {static_cast<wchar_t>(character)};
        for (size_t marks = 0, next = pos; next < utf8Text.size(); pos = next) {
            const char32_t mark = platform::NextUtf8CodePoint(utf8Text, next);
            if (platform::IsControlCharacter(mark) || platform::CharacterWidth(mark) != 0) break;
            if (marks < kMostMarks) text[++marks] = static_cast<wchar_t>(mark);
        }
        if (cells + width > limit) {
            // A wide character that would cross the edge leaves a blank cell instead.
            if (drawn && cells < limit) PutCell(x + cells, y, U' ', attributes);
            cells = std::min(cells + width, limit);
            break;
        }
        if (drawn && x + cells >= 0 && x + cells + width <= COLS) {
            if (!Utf8Locale()) {
                for (int i = 0; i < width; ++i) PutCell(x + cells + i, y, U'?', attributes);
            } else {
                PutCell(x + cells, y, text, attributes);
            }
        }
        cells += width;
    }
    return cells;
}

void PutChar(int x, int y, char32_t character, Role role) {
    PutCell(x, y, platform::IsControlCharacter(character) ? U'?' : character, RoleAttributes(role));
}

void Fill(const Rect& area, Role role, char32_t character) {
    const unsigned long attributes = RoleAttributes(role);
    const int left = std::max(area.X, 0), right = std::min(area.Right(), COLS - 1);
    const int top = std::max(area.Y, 0), bottom = std::min(area.Bottom(), LINES - 1);
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x) PutCell(x, y, character, attributes);
}

void DrawFrame(const Rect& area, Role role, LineStyle style) {
    if (area.Width < 2 || area.Height < 2) return;
    const char32_t horizontal = LineCharacter(false, style);
    const char32_t vertical = LineCharacter(true, style);
    for (int x = area.X + 1; x < area.Right(); ++x) {
        PutChar(x, area.Y, horizontal, role);
        PutChar(x, area.Bottom(), horizontal, role);
    }
    for (int y = area.Y + 1; y < area.Bottom(); ++y) {
        PutChar(area.X, y, vertical, role);
        PutChar(area.Right(), y, vertical, role);
    }
    PutChar(area.X, area.Y, BoxCharacter(false, true, false, true, style, style), role);
    PutChar(area.Right(), area.Y, BoxCharacter(false, true, true, false, style, style), role);
    PutChar(area.X, area.Bottom(), BoxCharacter(true, false, false, true, style, style), role);
    PutChar(area.Right(), area.Bottom(), BoxCharacter(true, false, true, false, style, style),
            role);
}

void DrawSeparator(int x, int y, int width, Role role, LineStyle line, LineStyle frameStyle) {
    if (width < 2) return;
    const char32_t horizontal = LineCharacter(false, line);
    for (int i = 1; i < width - 1; ++i) PutChar(x + i, y, horizontal, role);
    PutChar(x, y, BoxCharacter(true, true, false, true, line, frameStyle), role);
    PutChar(x + width - 1, y, BoxCharacter(true, true, true, false, line, frameStyle), role);
}

void DrawVerticalLine(int x, int y, int height, Role role, LineStyle style) {
    const char32_t vertical = LineCharacter(true, style);
    for (int i = 0; i < height; ++i) PutChar(x, y + i, vertical, role);
}

void DrawShadow(const Rect& area) {
    const unsigned long attributes = RoleAttributes(Role::Screen);
    const auto darken = [&](int x, int y, int count) {
        if (y < 0 || y >= LINES) return;
        const int from = std::max(x, 0), to = std::min(x + count, COLS);
        if (to > from)
            mvchgat(y, from, to - from, static_cast<attr_t>((attributes & ~A_COLOR) | A_DIM),
                    static_cast<short>(PAIR_NUMBER(attributes)), nullptr);
    };
    for (int y = area.Y + 1; y <= area.Bottom(); ++y) darken(area.Right() + 1, y, 2);
    darken(area.X + 2, area.Bottom() + 1, area.Width);
}

Rect WithShadow(const Rect& area) {
    return Rect{area.X, area.Y, area.Width + 2, area.Height + 1};
}

namespace {

struct CursorPlace {
    bool Shown = false;
    int X = 0;
    int Y = 0;
};

CursorPlace& WantedCursor() {
    static CursorPlace place;
    return place;
}

}  // namespace

void ShowCursor(int x, int y) {
    WantedCursor() = CursorPlace{OnScreen(x, y), x, y};
}

void HideCursor() {
    WantedCursor().Shown = false;
}

void PlaceCursor() {
    const CursorPlace& place = WantedCursor();
    if (place.Shown && OnScreen(place.X, place.Y)) {
        move(place.Y, place.X);
        curs_set(1);
    } else {
        curs_set(0);
    }
}

struct ScreenSnapshot::Cells {
    WINDOW* copy = nullptr;
};

ScreenSnapshot::ScreenSnapshot() : cells_(std::make_unique<Cells>()) {
    cells_->copy = dupwin(stdscr);
}

ScreenSnapshot::ScreenSnapshot(const Rect& area) : cells_(std::make_unique<Cells>()) {
    x_ = std::max(area.X, 0);
    y_ = std::max(area.Y, 0);
    const int columns = std::min(area.Right(), COLS - 1) - x_ + 1;
    const int rows = std::min(area.Bottom(), LINES - 1) - y_ + 1;
    if (columns <= 0 || rows <= 0) return;
    cells_->copy = newwin(rows, columns, 0, 0);
    if (cells_->copy) copywin(stdscr, cells_->copy, y_, x_, 0, 0, rows - 1, columns - 1, FALSE);
}

ScreenSnapshot::~ScreenSnapshot() {
    if (cells_->copy) delwin(cells_->copy);
}

void ScreenSnapshot::Restore() const {
    if (!cells_->copy) return;
    const int rows = std::min(getmaxy(cells_->copy), LINES - y_);
    const int columns = std::min(getmaxx(cells_->copy), COLS - x_);
    if (rows > 0 && columns > 0)
        copywin(cells_->copy, stdscr, 0, 0, y_, x_, y_ + rows - 1, x_ + columns - 1, FALSE);
    touchwin(stdscr);
}

char32_t BoxCharacter(bool up, bool down, bool left, bool right, LineStyle horizontal,
                      LineStyle vertical) {
    const bool hasVertical = up || down, hasHorizontal = left || right;
    if (!Utf8Locale()) {
        if (hasVertical && hasHorizontal) return U'+';
        return hasVertical ? U'|' : U'-';
    }
    const bool hDouble = horizontal == LineStyle::Double;
    const bool vDouble = vertical == LineStyle::Double;
    if (!hasHorizontal) return vDouble ? U'║' : U'│';
    if (!hasVertical) return hDouble ? U'═' : U'─';
    // Corners and junctions in the order ┌ ┐ └ ┘ ├ ┤ ┬ ┴ ┼, one row per pair of styles.
    static constexpr char32_t kJoints[4][9] = {
        {U'┌', U'┐', U'└', U'┘', U'├', U'┤', U'┬', U'┴', U'┼'},
        {U'╓', U'╖', U'╙', U'╜', U'╟', U'╢', U'╥', U'╨', U'╫'},  // vertical double
        {U'╒', U'╕', U'╘', U'╛', U'╞', U'╡', U'╤', U'╧', U'╪'},  // horizontal double
        {U'╔', U'╗', U'╚', U'╝', U'╠', U'╣', U'╦', U'╩', U'╬'},
    };
    const int row = (hDouble ? 2 : 0) + (vDouble ? 1 : 0);
    int column;
    if (up && down)
        column = left && right ? 8 : right ? 4 : 5;
    else if (left && right)
        column = down ? 6 : 7;
    else if (down)
        column = right ? 0 : 1;
    else
        column = right ? 2 : 3;
    return kJoints[row][column];
}

}  // namespace kestrova::host::tui
