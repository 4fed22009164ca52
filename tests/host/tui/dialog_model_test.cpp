#include "host/tui/dialog_model.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "host/tui/dialog_layout.h"

namespace kestrova::host::tui {
namespace {

FarDialogItem Item(int type, const char* data, uint32_t flags = 0, int x1 = 5, int x2 = 40) {
    FarDialogItem item{};
    item.Type = type;
    item.Flags = flags;
    item.X1 = x1;
    item.X2 = x2;
    std::strcpy(item.Data, data);
    return item;
}

Keystroke Key(int key, unsigned control = 0, unsigned char c = 0) {
    return Keystroke{key, control, c};
}
Keystroke Char(char c) {
    return Keystroke{0, 0, static_cast<unsigned char>(c)};
}

// 0 frame, 1 label, 2 edit (history), 3 check box, 4-6 radio group, 7-8 radio group, 9 fixed
// edit, 10 separator, 11 Ok (default), 12 Cancel.
std::vector<FarDialogItem> SampleItems() {
    std::vector<FarDialogItem> items = {
        Item(DI_DOUBLEBOX, "Options"),
        Item(DI_TEXT, "&Name:"),
        Item(DI_EDIT, "old"),
        Item(DI_CHECKBOX, "&Remember"),
        Item(DI_RADIOBUTTON, "One", DIF_GROUP),
        Item(DI_RADIOBUTTON, "Two"),
        Item(DI_RADIOBUTTON, "Three"),
        Item(DI_RADIOBUTTON, "Up", DIF_GROUP),
        Item(DI_RADIOBUTTON, "Down"),
        Item(DI_FIXEDIT, "", 0, 7, 9),
        Item(DI_TEXT, "", DIF_SEPARATOR),
        Item(DI_BUTTON, "&Ok", DIF_CENTERGROUP),
        Item(DI_BUTTON, "&Cancel", DIF_CENTERGROUP),
    };
    items[2].Flags |= DIF_HISTORY;
    items[2].History = "Names";
    items[2].Focus = 1;
    items[4].Selected = 1;
    items[11].DefaultButton = 1;
    return items;
}

class DialogModelTest : public ::testing::Test {
  protected:
    DialogModel Model() { return DialogModel(items_.data(), static_cast<int>(items_.size())); }

    std::vector<FarDialogItem> items_ = SampleItems();
};

TEST_F(DialogModelTest, ClicksSetBoxesFocusFieldsAndPressButtons) {
    DialogModel dialog = Model();
    EXPECT_EQ(dialog.Click(1), DialogState::Open);  // a label takes no click
    EXPECT_EQ(dialog.Focus(), 2);
    EXPECT_EQ(dialog.Click(3), DialogState::Open);
    EXPECT_EQ(items_[3].Selected, 1);
    EXPECT_EQ(dialog.Click(9), DialogState::Open);
    EXPECT_EQ(dialog.Focus(), 9);
    EXPECT_EQ(dialog.Click(12), DialogState::Closed);
    EXPECT_EQ(dialog.ClosingItem(), 12);
    // A button on the frame's line takes the clicks on its cells, the frame the others.
    const std::vector<ItemPlace> places = {{0, 0, 40}, {5, 0, 6}};
    EXPECT_EQ(ItemAt(places, 10, 0), 1);
    EXPECT_EQ(ItemAt(places, 11, 0), 0);
    EXPECT_EQ(ItemAt(places, 11, 1), -1);
}

TEST_F(DialogModelTest, FocusMovesOverFocusableItemsOnly) {
    struct Case {
        const char* Name;
        std::vector<Keystroke> Keys;
        int Focus;
    } cases[] = {
        {"start", {}, 2},
        {"tab", {Key(VK_TAB)}, 3},
        {"tab skips text and separators",
         {Key(VK_TAB), Key(VK_TAB), Key(VK_TAB), Key(VK_TAB), Key(VK_TAB), Key(VK_TAB), Key(VK_TAB),
          Key(VK_TAB)},
         11},
        {"tab wraps past the last item", std::vector<Keystroke>(10, Key(VK_TAB)), 2},
        {"shift-tab wraps backwards", {Key(VK_TAB, PKF_SHIFT)}, 12},
        {"down in a radio group stays in it",
         {Key(VK_TAB), Key(VK_TAB), Key(VK_DOWN), Key(VK_DOWN)},
         6},
        {"down leaves a group at its end",
         {Key(VK_TAB), Key(VK_TAB), Key(VK_DOWN), Key(VK_DOWN), Key(VK_DOWN)},
         7},
        {"up at a group's start leaves it", {Key(VK_TAB), Key(VK_TAB), Key(VK_UP)}, 3},
        {"right on buttons", {Key(VK_TAB, PKF_SHIFT), Key(VK_LEFT)}, 11},
    };
    for (const Case& c : cases) {
        items_ = SampleItems();
        DialogModel model = Model();
        for (const Keystroke& key : c.Keys) model.HandleKey(key);
        EXPECT_EQ(model.Focus(), c.Focus) << c.Name;
        EXPECT_EQ(items_[c.Focus].Focus, 1) << c.Name;
    }
}

TEST_F(DialogModelTest, SpaceTogglesCheckBoxesAndSelectsWithinOneRadioGroup) {
    items_[8].Selected = 1;  // "Down" in the second group
    DialogModel model = Model();
    model.HandleKey(Key(VK_TAB));
    model.HandleKey(Key(VK_SPACE));
    EXPECT_EQ(items_[3].Selected, 1);
    model.HandleKey(Key(VK_SPACE));
    EXPECT_EQ(items_[3].Selected, 0);
    model.HandleKey(Key(VK_DOWN));  // One
    model.HandleKey(Key(VK_DOWN));  // Two: moving does not select
    EXPECT_EQ(items_[4].Selected, 1);
    model.HandleKey(Key(VK_SPACE));
    EXPECT_EQ(items_[4].Selected, 0);
    EXPECT_EQ(items_[5].Selected, 1);
    EXPECT_EQ(items_[8].Selected, 1) << "another group's choice stays";
    model.HandleKey(Key(VK_DOWN));
    model.HandleKey(Key(VK_DOWN));  // Up, the next group
    model.HandleKey(Key(VK_SPACE));
    EXPECT_EQ(items_[5].Selected, 1) << "another group's choice stays";
    EXPECT_EQ(items_[7].Selected, 1);
    EXPECT_EQ(items_[8].Selected, 0);
}

TEST_F(DialogModelTest, ClosingItemAndEditedTexts) {
    struct Case {
        const char* Name;
        std::vector<Keystroke> Keys;
        DialogState State;
        int Closing;
        const char* Text;  // item 2 afterwards
    } cases[] = {
        {"enter in a field presses the default button",
         {Char('n'), Key(VK_RETURN)},
         DialogState::Closed,
         11,
         "n"},
        {"enter on a button presses it",
         {Key(VK_TAB, PKF_SHIFT), Key(VK_RETURN)},
         DialogState::Closed,
         12,
         "old"},
        {"esc keeps the items", {Char('n'), Key(VK_ESCAPE)}, DialogState::Cancelled, -1, "old"},
        {"a cursor key keeps the text",
         {Key(VK_END), Char('!'), Key(VK_RETURN)},
         DialogState::Closed,
         11,
         "old!"},
        {"alt and a hot key press a button from a field",
         {
             Key('C', PKF_ALT),
         },
         DialogState::Closed,
         12,
         "old"},
        {"a plain letter in a field is typed",
         {Char('c'), Key(VK_RETURN)},
         DialogState::Closed,
         11,
         "c"},
        {"a hot key alone outside a field",
         {Key(VK_TAB), Char('o')},
         DialogState::Closed,
         11,
         "old"},
    };
    for (const Case& c : cases) {
        items_ = SampleItems();
        DialogModel model = Model();
        DialogState state = DialogState::Open;
        for (const Keystroke& key : c.Keys) state = model.HandleKey(key);
        EXPECT_EQ(state, c.State) << c.Name;
        if (state == DialogState::Closed) {
            EXPECT_EQ(model.ClosingItem(), c.Closing) << c.Name;
        }
        EXPECT_STREQ(items_[2].Data, c.Text) << c.Name;
    }
}

TEST_F(DialogModelTest, HotKeysOfCheckBoxesAndLabels) {
    DialogModel model = Model();
    model.HandleKey(Key('R', PKF_ALT));
    EXPECT_EQ(model.Focus(), 3);
    EXPECT_EQ(items_[3].Selected, 1);
    model.HandleKey(Char('n'));  // the label's hot key focuses its field
    EXPECT_EQ(model.Focus(), 2);
}

TEST_F(DialogModelTest, FixedFieldTypesOverAndKeepsItsWidth) {
    std::strcpy(items_[9].Data, "120");
    items_[2].Focus = 0;
    items_[9].Focus = 1;
    DialogModel model = Model();
    model.HandleKey(Key(VK_HOME));
    for (char c : std::string("6543")) model.HandleKey(Char(c));
    EXPECT_EQ(model.Edit(9)->FirstVisible(3), 0u) << "a full field shows all of its text";
    model.HandleKey(Key(VK_RETURN));
    EXPECT_STREQ(items_[9].Data, "654");

    items_[9].X2 = 100000;  // wider than an item's text can be
    DialogModel wide = Model();
    for (int i = 0; i < 600; ++i) wide.HandleKey(Char('w'));
    wide.HandleKey(Key(VK_RETURN));
    EXPECT_EQ(std::string(items_[9].Data, sizeof items_[9].Data - 1), std::string(511, 'w'));
    EXPECT_EQ(items_[9].Data[511], '\0');
}

TEST_F(DialogModelTest, CtrlDownAsksForTheHistoryOfAFieldThatHasOne) {
    DialogModel model = Model();
    EXPECT_EQ(model.HandleKey(Key(VK_DOWN, PKF_CONTROL)), DialogState::HistoryWanted);
    model.SetFocusedText("from history");
    model.HandleKey(Key(VK_RETURN));
    EXPECT_STREQ(items_[2].Data, "from history");

    items_[2].Flags &= ~DIF_HISTORY;
    items_[2].Selected = 0;
    DialogModel plain = Model();
    EXPECT_EQ(plain.HandleKey(Key(VK_DOWN, PKF_CONTROL)), DialogState::Open);
}

}  // namespace
}  // namespace kestrova::host::tui
