#include "host/tui/dialog_model.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "host/key_names.h"
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

// Keys by name ("Shift+Tab", "Alt+C"), separated by blanks; a single character is typed.
std::vector<Keystroke> Keys(const std::string& names) {
    std::vector<Keystroke> keys;
    std::istringstream words(names);
    for (std::string word; words >> word;) {
        const KeyPress key = word.size() == 1 ? KeyPress{} : ParseKey(word).value();
        const auto typed = static_cast<unsigned char>(word.size() == 1 ? word[0] : 0);
        keys.push_back(Keystroke{key.VirtualKey, key.ControlState, typed});
    }
    return keys;
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
    static DialogState Press(DialogModel& model, const std::string& keys) {
        DialogState state = DialogState::Open;
        for (const Keystroke& key : Keys(keys)) state = model.HandleKey(key);
        return state;
    }

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
    const struct {
        const char* keys;
        int focus;
    } cases[] = {
        {"", 2},
        {"Tab", 3},
        {"Tab Tab Tab Tab Tab Tab Tab Tab", 11},         // past texts and separators
        {"Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab", 2},  // wraps past the last item
        {"Shift+Tab", 12},
        {"Tab Tab Down Down", 6},       // down in a radio group stays in it
        {"Tab Tab Down Down Down", 7},  // down leaves a group at its end
        {"Tab Tab Up", 3},              // up at a group's start leaves it
        {"Shift+Tab Left", 11},
    };
    for (const auto& c : cases) {
        items_ = SampleItems();
        DialogModel model = Model();
        Press(model, c.keys);
        EXPECT_EQ(model.Focus(), c.focus) << c.keys;
        EXPECT_EQ(items_[c.focus].Focus, 1) << c.keys;
    }
}

TEST_F(DialogModelTest, SpaceTogglesCheckBoxesAndSelectsWithinOneRadioGroup) {
    items_[8].Selected = 1;  // "Down" in the second group
    DialogModel model = Model();
    Press(model, "Tab Space");
    EXPECT_EQ(items_[3].Selected, 1);
    Press(model, "Space");
    EXPECT_EQ(items_[3].Selected, 0);
    Press(model, "Down Down");  // to "Two": moving does not select
    EXPECT_EQ(items_[4].Selected, 1);
    Press(model, "Space");
    EXPECT_EQ(items_[4].Selected, 0);
    EXPECT_EQ(items_[5].Selected, 1);
    EXPECT_EQ(items_[8].Selected, 1) << "another group's choice stays";
    Press(model, "Down Down Space");  // "Up", the next group
    EXPECT_EQ(items_[5].Selected, 1) << "another group's choice stays";
    EXPECT_EQ(items_[7].Selected, 1);
    EXPECT_EQ(items_[8].Selected, 0);
}

TEST_F(DialogModelTest, ClosingItemAndEditedTexts) {
    const struct {
        const char* keys;
        DialogState state;
        int closing;
        const char* text;  // item 2 afterwards
    } cases[] = {
        {"n Enter", DialogState::Closed, 11, "n"},  // enter in a field: the default button
        {"Shift+Tab Enter", DialogState::Closed, 12, "old"},
        {"n Esc", DialogState::Cancelled, -1, "old"},
        {"End ! Enter", DialogState::Closed, 11, "old!"},  // a cursor key keeps the text
        {"Alt+C", DialogState::Closed, 12, "old"},         // alt and a hot key press a button
        {"c Enter", DialogState::Closed, 11, "c"},         // a plain letter in a field is typed
        {"Tab o", DialogState::Closed, 11, "old"},         // a hot key alone outside a field
    };
    for (const auto& c : cases) {
        items_ = SampleItems();
        DialogModel model = Model();
        const DialogState state = Press(model, c.keys);
        EXPECT_EQ(state, c.state) << c.keys;
        EXPECT_EQ(state == DialogState::Closed ? model.ClosingItem() : -1, c.closing) << c.keys;
        EXPECT_STREQ(items_[2].Data, c.text) << c.keys;
    }
}

TEST_F(DialogModelTest, HotKeysOfCheckBoxesAndLabels) {
    DialogModel model = Model();
    Press(model, "Alt+R");
    EXPECT_EQ(model.Focus(), 3);
    EXPECT_EQ(items_[3].Selected, 1);
    Press(model, "n");  // the label's hot key focuses its field
    EXPECT_EQ(model.Focus(), 2);
}

TEST_F(DialogModelTest, FixedFieldTypesOverAndKeepsItsWidth) {
    std::strcpy(items_[9].Data, "120");
    items_[2].Focus = 0;
    items_[9].Focus = 1;
    DialogModel model = Model();
    Press(model, "Home 6 5 4 3");
    EXPECT_EQ(model.Edit(9)->FirstVisible(3), 0u) << "a full field shows all of its text";
    Press(model, "Enter");
    EXPECT_STREQ(items_[9].Data, "654");

    items_[9].X2 = 100000;  // wider than an item's text can be
    DialogModel wide = Model();
    std::string keys;
    for (int i = 0; i < 600; ++i) keys += "w ";
    Press(wide, keys + "Enter");
    EXPECT_EQ(std::string(items_[9].Data, sizeof items_[9].Data - 1), std::string(511, 'w'));
    EXPECT_EQ(items_[9].Data[511], '\0');
}

TEST_F(DialogModelTest, CtrlDownAsksForTheHistoryOfAFieldThatHasOne) {
    DialogModel model = Model();
    EXPECT_EQ(Press(model, "Ctrl+Down"), DialogState::HistoryWanted);
    model.SetFocusedText("from history");
    Press(model, "Enter");
    EXPECT_STREQ(items_[2].Data, "from history");

    items_[2].Flags &= ~DIF_HISTORY;
    items_[2].Selected = 0;
    DialogModel plain = Model();
    EXPECT_EQ(Press(plain, "Ctrl+Down"), DialogState::Open);
}

}  // namespace
}  // namespace kestrova::host::tui
