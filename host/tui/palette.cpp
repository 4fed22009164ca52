#include "host/tui/palette.h"

#include <curses.h>

#include <cstdlib>
#include <iterator>

namespace kestrova::host::tui {
namespace {

constexpr int16_t kBlack = COLOR_BLACK, kBlue = COLOR_BLUE, kCyan = COLOR_CYAN, kRed = COLOR_RED,
                  kGreen = COLOR_GREEN, kWhite = COLOR_WHITE, kYellow = COLOR_YELLOW;
constexpr int16_t kBright = 8;

struct RoleColours {
    Role Of;
    int16_t Foreground;  // on 16 colours; the bright bit is dropped (made bold) on 8
    int16_t Background;
    bool BoldWithoutColour;
    bool ReverseWithoutColour;
    bool UnderlineWithoutColour;
};

// One line per role, in the order of the enum.
constexpr RoleColours kRoles[] = {
    {Role::Screen, kWhite, kBlack, false, false, false},
    {Role::PanelText, kCyan | kBright, kBlue, false, false, false},
    {Role::PanelFrame, kCyan | kBright, kBlue, false, false, false},
    {Role::PanelTitle, kCyan | kBright, kBlue, false, false, false},
    {Role::PanelTitleActive, kBlack, kCyan, true, true, false},
    {Role::PanelFolder, kWhite | kBright, kBlue, true, false, false},
    {Role::PanelUnread, kGreen | kBright, kBlue, true, false, false},
    {Role::PanelSelected, kYellow | kBright, kBlue, true, false, true},
    {Role::PanelCursor, kBlack, kCyan, false, true, false},
    {Role::PanelCursorSelected, kYellow | kBright, kCyan, true, true, true},
    {Role::PanelStatus, kCyan | kBright, kBlue, false, false, false},
    {Role::CommandLine, kWhite, kBlack, false, false, false},
    {Role::KeyBarNumber, kWhite, kBlack, false, false, false},
    {Role::KeyBarLabel, kBlack, kCyan, false, true, false},
    {Role::Dialog, kBlack, kWhite, false, false, false},
    {Role::DialogHotKey, kYellow, kWhite, false, false, true},
    {Role::DialogFocus, kBlack, kCyan, false, true, false},
    {Role::DialogEdit, kBlack, kCyan, false, false, true},
    {Role::DialogDisabled, kBlack | kBright, kWhite, false, false, false},
    {Role::Warning, kWhite | kBright, kRed, true, false, false},
    {Role::WarningFocus, kBlack, kWhite, true, true, false},
    {Role::Viewer, kCyan | kBright, kBlue, false, false, false},
    {Role::ViewerStatus, kBlack, kCyan, false, true, false},
};
static_assert(std::size(kRoles) == static_cast<size_t>(Role::Count));

ColourDepth depth = ColourDepth::None;

}  // namespace

RoleStyle StyleOf(Role role, ColourDepth colourDepth) {
    const RoleColours& colours = kRoles[static_cast<size_t>(role)];
    RoleStyle style;
    switch (colourDepth) {
        case ColourDepth::None:
            style.Bold = colours.BoldWithoutColour;
            style.Reverse = colours.ReverseWithoutColour;
            style.Underline = colours.UnderlineWithoutColour;
            return style;
        case ColourDepth::Eight:
            style.Foreground = colours.Foreground & ~kBright;
            style.Background = colours.Background;
            style.Bold = (colours.Foreground & kBright) != 0;
            return style;
        case ColourDepth::Sixteen:
            style.Foreground = colours.Foreground;
            style.Background = colours.Background;
            return style;
    }
    return style;
}

ColourDepth TerminalDepth() {
    const char* noColour = std::getenv("NO_COLOR");
    if ((noColour && *noColour) || !has_colors()) return ColourDepth::None;
    return COLORS >= 16 ? ColourDepth::Sixteen : ColourDepth::Eight;
}

void InitPalette() {
    depth = TerminalDepth();
    if (depth == ColourDepth::None) return;
    start_color();
    for (size_t i = 0; i < std::size(kRoles); ++i) {
        const RoleStyle style = StyleOf(kRoles[i].Of, depth);
        init_pair(static_cast<short>(i + 1), style.Foreground, style.Background);
    }
    bkgdset(static_cast<chtype>(RoleAttributes(Role::Screen)));
}

unsigned long RoleAttributes(Role role) {
    const RoleStyle style = StyleOf(role, depth);
    unsigned long attributes = 0;
    if (depth != ColourDepth::None) attributes |= COLOR_PAIR(static_cast<int>(role) + 1);
    if (style.Bold) attributes |= A_BOLD;
    if (style.Reverse) attributes |= A_REVERSE;
    if (style.Underline) attributes |= A_UNDERLINE;
    return attributes;
}

}  // namespace kestrova::host::tui
