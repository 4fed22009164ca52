#include "host/tui/menu_model.h"

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

namespace kestrova::host::tui {
namespace {

// Entries by text; "-" is a separator, a leading '*' marks the selected one.
MenuRequest Menu(std::initializer_list<const char*> texts, unsigned flags = FMENU_AUTOHIGHLIGHT) {
    MenuRequest menu;
    menu.Flags = flags;
    for (const char* text : texts) {
        FarMenuItem item{};
        item.Separator = std::strcmp(text, "-") == 0;
        item.Selected = text[0] == '*';
        std::strcpy(item.Text, text + (item.Selected ? 1 : 0));
        menu.Items.push_back(item);
    }
    return menu;
}

Keystroke Key(int key, unsigned control = 0) {
    return Keystroke{key, control, 0};
}

TEST(MenuModel, MovesOverSeparatorsAndStopsAtTheEndsUnlessItWraps) {
    using Case = std::tuple<const char*, MenuRequest, std::vector<Keystroke>, int>;
    for (const auto& [name, request, keys, selected] : {
             Case{"first entry", Menu({"-", "one", "two"}), {}, 1},
             {"marked entry", Menu({"one", "*two"}), {}, 1},
             {"down skips a separator", Menu({"one", "-", "two"}), {Key(VK_DOWN)}, 2},
             {"down stops at the end", Menu({"one", "two"}), {Key(VK_DOWN), Key(VK_DOWN)}, 1},
             {"up wraps in wrap mode", Menu({"one", "two", "-"}, FMENU_WRAPMODE), {Key(VK_UP)}, 1},
             {"end", Menu({"one", "two", "three", "-"}), {Key(VK_END)}, 2},
             {"page down moves a page", Menu({"a", "b", "c", "d", "e", "f"}), {Key(VK_NEXT)}, 3},
         }) {
        MenuModel model(request, 3);
        for (const Keystroke& key : keys) EXPECT_EQ(model.HandleKey(key), MenuState::Open);
        EXPECT_EQ(model.Selected(), selected) << name;
        EXPECT_LE(model.Top(), model.Selected()) << name;
        EXPECT_GT(model.Top() + 3, model.Selected()) << name;
    }
}

TEST(MenuModel, HotKeysChooseAndOtherLettersJump) {
    // Marked keys first; automatic ones take the first letter no other entry uses.
    MenuModel model(Menu({"Connect", "C&lose", "Copy", "-", "Quit"}), 10);
    std::string keys;
    for (const auto& entry : model.Entries())
        keys += entry.Label.HotKey() ? entry.Label.HotKey() : '-';
    EXPECT_EQ(keys, "Clo-Q");
    EXPECT_EQ(model.Entries()[1].Label.Text, "Close");

    EXPECT_EQ(model.HandleKey(Key('O', PKF_ALT)), MenuState::Chosen);
    EXPECT_EQ(model.Selected(), 2);
    EXPECT_EQ(model.HandleKey(Key(VK_ESCAPE)), MenuState::Cancelled);

    MenuModel plain(Menu({"alpha", "beta", "bravo"}, 0), 10);
    EXPECT_EQ(plain.HandleKey(Key('B')), MenuState::Open);
    EXPECT_EQ(plain.Selected(), 1);
    EXPECT_EQ(plain.HandleKey(Key('B')), MenuState::Open);
    EXPECT_EQ(plain.Selected(), 2);
    EXPECT_EQ(plain.HandleKey(Key(VK_RETURN)), MenuState::Chosen);
}

}  // namespace
}  // namespace kestrova::host::tui
