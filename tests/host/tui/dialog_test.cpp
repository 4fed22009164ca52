// Dialogs: keys and clicks, fields, message boxes and field histories.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "host/key_names.h"
#include "host/test_dialog_item.h"
#include "host/tui/dialog_layout.h"
#include "host/tui/dialog_model.h"
#include "host/tui/field_history.h"
#include "host/tui/message_box.h"
#include "platform/fresh_store.h"

namespace kestrova::host::tui {
namespace {

// 0 frame, 1 label, 2 edit (history, focused), 3 check box, 4-6 radio group, 7-8 radio group,
// 9 fixed edit of three cells, 10 separator, 11 Ok (default), 12 Cancel.
std::vector<FarDialogItem> SampleItems() {
    std::vector<FarDialogItem> items = {
        Item(DI_DOUBLEBOX, "Options"),
        Item(DI_TEXT, "&Name:"),
        Item(DI_EDIT, "old"),
        Item(DI_CHECKBOX, "&Remember"),
        Item(DI_RADIOBUTTON, "One", DIF_GROUP, 1),
        Item(DI_RADIOBUTTON, "Two"),
        Item(DI_RADIOBUTTON, "Three"),
        Item(DI_RADIOBUTTON, "Up", DIF_GROUP),
        Item(DI_RADIOBUTTON, "Down", 0, 1),
        Item(DI_FIXEDIT, "120"),
        Item(DI_TEXT, "", DIF_SEPARATOR),
        Item(DI_BUTTON, "&Ok", DIF_CENTERGROUP),
        Item(DI_BUTTON, "&Cancel", DIF_CENTERGROUP),
    };
    items[2].Flags |= DIF_HISTORY;
    items[2].History = "Names";
    items[2].Focus = 1;
    items[9].X2 = 2;  // three cells
    items[11].DefaultButton = 1;
    return items;
}

// Keys by name ("Shift+Tab", "Alt+C") separated by blanks; a single character is typed, "@n"
// clicks item n. The dialog's state afterwards in one line: the state, the focus (and items
// flagged focused beside it), the closing item, the boxes set and the texts of items 2 and 9.
std::string Press(std::vector<FarDialogItem>& items, const std::string& keys) {
    DialogModel model(items.data(), static_cast<int>(items.size()));
    DialogState state = DialogState::Open;
    std::istringstream words(keys);
    for (std::string word; words >> word;) {
        const KeyPress key = word.size() == 1 || word[0] == '@' ? KeyPress{} : *ParseKey(word);
        const auto typed = static_cast<unsigned char>(word.size() == 1 ? word[0] : 0);
        state = word[0] == '@'
                    ? model.Click(std::stoi(word.substr(1)))
                    : model.HandleKey(Keystroke{key.VirtualKey, key.ControlState, typed});
    }
    std::ostringstream out;
    out << "OCXH"[static_cast<int>(state)] << " focus " << model.Focus();
    for (int i = 0; i < static_cast<int>(items.size()); ++i)
        if (items[i].Focus && i != model.Focus()) out << " also " << i;
    if (state == DialogState::Closed) out << " by " << model.ClosingItem();
    out << " on";
    for (int i = 0; i < static_cast<int>(items.size()); ++i)
        if (items[i].Selected && items[i].Type != DI_EDIT) out << ' ' << i;  // a union
    out << ' ' << items[2].Data << '|' << items[9].Data;
    return out.str();
}

TEST(DialogModel, KeysAndClicksMoveTheFocusSetBoxesEditAndClose) {
    for (auto [keys, shown] : {
             std::pair{"", "O focus 2 on 4 8 old|120"},
             {"@1", "O focus 2 on 4 8 old|120"},  // a label takes no click
             {"@3", "O focus 3 on 3 4 8 old|120"},
             {"@9", "O focus 9 on 4 8 old|120"},
             {"@12", "C focus 12 by 12 on 4 8 old|120"},
             // Focus: past texts and separators, wrapping; up and down within a radio group.
             {"Tab", "O focus 3 on 4 8 old|120"},
             {"Tab Tab Tab Tab Tab Tab Tab Tab", "O focus 11 on 4 8 old|120"},
             {"Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab", "O focus 2 on 4 8 old|120"},
             {"Shift+Tab", "O focus 12 on 4 8 old|120"},
             {"Tab Tab Down Down", "O focus 6 on 4 8 old|120"},
             {"Tab Tab Down Down Down", "O focus 7 on 4 8 old|120"},
             {"Tab Tab Up", "O focus 3 on 4 8 old|120"},
             {"Shift+Tab Left", "O focus 11 on 4 8 old|120"},
             // Space toggles a check box and chooses within one radio group only.
             {"Tab Space", "O focus 3 on 3 4 8 old|120"},
             {"Tab Space Space", "O focus 3 on 4 8 old|120"},
             {"Tab Tab Down Space", "O focus 5 on 5 8 old|120"},
             {"Tab Tab Down Space Down Down Space", "O focus 7 on 5 7 old|120"},
             // Enter in a field presses the default button; Esc keeps the texts.
             {"n Enter", "C focus 2 by 11 on 4 8 n|120"},
             {"Shift+Tab Enter", "C focus 12 by 12 on 4 8 old|120"},
             {"n Esc", "X focus 2 on 4 8 old|120"},
             {"End ! Enter", "C focus 2 by 11 on 4 8 old!|120"},  // a cursor key keeps the text
             // Hot keys: with Alt (a dialog with fields takes letters as text anywhere); a
             // label's focuses its field.
             {"Alt+C", "C focus 12 by 12 on 4 8 old|120"},
             {"c Enter", "C focus 2 by 11 on 4 8 c|120"},
             {"Tab o", "O focus 3 on 4 8 old|120"},
             {"Shift+Tab r", "O focus 12 on 4 8 old|120"},
             {"Alt+R", "O focus 3 on 3 4 8 old|120"},
             {"Alt+R Alt+N", "O focus 2 on 3 4 8 old|120"},
             {"Alt+R n", "O focus 3 on 3 4 8 old|120"},
             // A fixed field types over and keeps its width.
             {"@9 Home 6 5 4 3 Enter", "C focus 9 by 11 on 4 8 old|654"},
             {"Ctrl+Down", "H focus 2 on 4 8 old|120"},
         }) {
        std::vector<FarDialogItem> items = SampleItems();
        EXPECT_EQ(Press(items, keys), shown) << keys;
    }
}

TEST(DialogModel, FieldsAreBoundedAndTakeTheirHistory) {
    std::vector<FarDialogItem> items = SampleItems();
    DialogModel model(items.data(), static_cast<int>(items.size()));
    EXPECT_EQ(model.HandleKey(Keystroke{VK_DOWN, PKF_CONTROL, 0}), DialogState::HistoryWanted);
    model.SetFocusedText("from history");
    EXPECT_EQ(model.HandleKey(Keystroke{VK_RETURN, 0, 0}), DialogState::Closed);
    EXPECT_STREQ(items[2].Data, "from history");
    items[2].Flags &= ~DIF_HISTORY;  // the History pointer alone makes no history list
    EXPECT_EQ(Press(items, "Ctrl+Down"), "O focus 2 on 4 8 from history|120");

    DialogModel fixed(items.data(), static_cast<int>(items.size()));
    fixed.Click(9);
    for (unsigned char c : std::string("6543")) fixed.HandleKey(Keystroke{0, 0, c});
    EXPECT_EQ(fixed.Edit(9)->FirstVisible(3), 0u) << "a full field shows all of its text";

    items[9].X2 = 100000;  // wider than an item's text can be
    DialogModel wide(items.data(), static_cast<int>(items.size()));
    wide.Click(9);
    for (int i = 0; i < 600; ++i) wide.HandleKey(Keystroke{0, 0, 'w'});
    wide.HandleKey(Keystroke{VK_RETURN, 0, 0});
    EXPECT_EQ(std::string(items[9].Data, sizeof items[9].Data - 1), std::string(511, 'w'));
    EXPECT_EQ(items[9].Data[511], '\0');

    // A button on the frame's line takes the clicks on its cells, the frame the others.
    const std::vector<ItemPlace> places = {{0, 0, 40}, {5, 0, 6}};
    EXPECT_EQ(ItemAt(places, 10, 0), 1);
    EXPECT_EQ(ItemAt(places, 11, 0), 0);
    EXPECT_EQ(ItemAt(places, 11, 1), -1);
}

TEST(MessageBox, ButtonsFormACentredRowAndLongLinesWrapWithinTheScreen) {
    MessageRequest request;
    request.Lines = {"Error", std::string(50, 'x') + " " + std::string(50, 'y'), "short"};
    request.Buttons = {"&Retry", "Cancel"};
    MessageDialog box = BuildMessageDialog(request, 80);
    ASSERT_EQ(box.Items.size(), 6u);  // frame, three lines, two buttons
    EXPECT_EQ(box.FirstButton, 4);
    EXPECT_LE(box.Width, 80);
    EXPECT_EQ(std::string(box.Items[1].Data), std::string(50, 'x'));
    EXPECT_EQ(std::string(box.Items[2].Data), std::string(50, 'y'));
    EXPECT_EQ(box.Items[4].DefaultButton, 1);

    DialogModel model(box.Items.data(), static_cast<int>(box.Items.size()));
    const std::vector<ItemPlace> places = PlaceItems(model, box.Width);
    EXPECT_EQ(places[4].Y, places[5].Y);
    EXPECT_EQ(places[4].Width, 9);  // "[ Retry ]"
    EXPECT_EQ(places[5].X, places[4].X + places[4].Width + 1);
    const int left = places[4].X;
    const int right = box.Width - (places[5].X + places[5].Width);
    EXPECT_LE(std::abs(left - right), 1) << "the row is centred";
    EXPECT_EQ(places[3].X, (box.Width - 5) / 2) << "body lines are centred";

    request.Flags = FMSG_LEFTALIGN;
    request.Buttons.clear();
    box = BuildMessageDialog(request, 80);
    EXPECT_EQ(box.Items.size(), 4u);
    EXPECT_EQ(box.Items[3].X1, box.Items[1].X1) << "left-aligned lines start together";
    EXPECT_EQ(box.Height, 3 + 4);
}

TEST(DialogModel, UpAndDownLeaveTheRowHotKeysAloneWithoutFields) {
    // 0 frame; row 2: 1 field, 2 "(?)" button; row 3: 3 field; row 5: 4 Ok, 5 Cancel.
    std::vector<FarDialogItem> items = {
        Item(DI_DOUBLEBOX, "Post"), Item(DI_EDIT, "groups"),  Item(DI_BUTTON, "(&?)"),
        Item(DI_EDIT, ""),          Item(DI_BUTTON, "&Post"), Item(DI_BUTTON, "&Cancel"),
    };
    for (int i : {1, 2}) items[i].Y1 = 2;
    items[3].Y1 = 3;
    items[4].Y1 = items[5].Y1 = 5;
    items[1].Focus = 1;
    DialogModel model(items.data(), static_cast<int>(items.size()));
    model.HandleKey(Keystroke{VK_DOWN, 0, 0});
    EXPECT_EQ(model.Focus(), 3) << "Down goes to the next row, past the button beside";
    model.HandleKey(Keystroke{VK_DOWN, 0, 0});
    EXPECT_EQ(model.Focus(), 4);
    model.HandleKey(Keystroke{VK_UP, 0, 0});
    EXPECT_EQ(model.Focus(), 3);

    // A box without fields: a letter alone is a hot key.
    std::vector<FarDialogItem> buttons = {Item(DI_DOUBLEBOX, "Delete"), Item(DI_BUTTON, "&Yes"),
                                          Item(DI_BUTTON, "&No")};
    DialogModel question(buttons.data(), static_cast<int>(buttons.size()));
    EXPECT_EQ(question.HandleKey(Keystroke{'N', 0, 'n'}), DialogState::Closed);
    EXPECT_EQ(question.ClosingItem(), 2);
}

TEST(DialogLayout, AFrameWidensForItsTitleWithinTheRoom) {
    for (auto [title, room, widened] : {std::tuple{"Kestrova settings", 100, 9},
                                        {"Kestrova settings", 4, 4},
                                        {"Short", 100, 0},
                                        {"&Character set", 100, 5}}) {
        FarDialogItem frame = Item(DI_DOUBLEBOX, title);
        frame.X1 = 3;
        frame.X2 = 14;  // twelve cells: room for a title of eight
        EXPECT_EQ(WidenForTitle(&frame, 1, room), widened) << title;
        EXPECT_EQ(frame.X2, 14 + widened);
    }
}

TEST(FieldHistory, NewestFirstWithoutDuplicatesAndBounded) {
    std::vector<std::string> history{"b", "a"};
    AddToHistory(history, "a");
    EXPECT_EQ(history, (std::vector<std::string>{"a", "b"}));
    AddToHistory(history, "");
    EXPECT_EQ(history.size(), 2u);
    for (int i = 0; i < 40; ++i) AddToHistory(history, std::to_string(i));
    ASSERT_EQ(history.size(), kHistoryLength);
    EXPECT_EQ(history.front(), "39");
    EXPECT_EQ(history.back(), std::to_string(40 - kHistoryLength));
}

TEST(FieldHistory, StoredListsReadBackInOrderAndReplaceTheOldOnes) {
    FreshStore store;
    EXPECT_TRUE(LoadHistory("KstrvLog").empty());
    ASSERT_TRUE(SaveHistory("KstrvLog", {"new.log", "old.log", "older.log"}));
    ASSERT_TRUE(SaveHistory("KstrvLog", {"new.log", "old.log"}));
    ASSERT_TRUE(SaveHistory("Odd\\Name", {"x"}));
    EXPECT_EQ(LoadHistory("kstrvlog"), (std::vector<std::string>{"new.log", "old.log"}));
    EXPECT_EQ(LoadHistory("Odd\\Name"), (std::vector<std::string>{"x"}));
}

}  // namespace
}  // namespace kestrova::host::tui
