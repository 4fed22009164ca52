#include "host/tui/palette.h"

#include <gtest/gtest.h>

namespace kestrova::host::tui {
namespace {

// Roles a person must tell apart where they meet on screen, at every colour depth.
const std::pair<Role, Role> kNeighbours[] = {
    {Role::PanelText, Role::PanelCursor},       {Role::PanelText, Role::PanelSelected},
    {Role::PanelText, Role::PanelUnread},       {Role::PanelCursor, Role::PanelCursorSelected},
    {Role::PanelTitle, Role::PanelTitleActive}, {Role::Dialog, Role::DialogFocus},
    {Role::Dialog, Role::DialogHotKey},         {Role::Dialog, Role::DialogEdit},
    {Role::Warning, Role::WarningFocus},        {Role::KeyBarNumber, Role::KeyBarLabel},
};

TEST(Palette, NeighbouringRolesDifferAtEveryDepth) {
    for (ColourDepth depth : {ColourDepth::None, ColourDepth::Eight, ColourDepth::Sixteen})
        for (const auto& [a, b] : kNeighbours)
            EXPECT_NE(StyleOf(a, depth), StyleOf(b, depth))
                << "roles " << int(a) << " and " << int(b) << " at depth " << int(depth);
}

TEST(Palette, EightColoursUseNoBrightColours) {
    for (int role = 0; role < static_cast<int>(Role::Count); ++role) {
        const RoleStyle style = StyleOf(static_cast<Role>(role), ColourDepth::Eight);
        EXPECT_LT(style.Foreground, 8) << "role " << role;
        EXPECT_LT(style.Background, 8) << "role " << role;
    }
}

}  // namespace
}  // namespace kestrova::host::tui
