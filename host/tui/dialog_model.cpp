#include "host/tui/dialog_model.h"

#include <algorithm>
#include <cstring>

#include "host/dialog_items.h"

namespace kestrova::host::tui {

DialogModel::DialogModel(FarDialogItem* items, int count)
    : items_(items), count_(count), labels_(count), edits_(count) {
    for (int i = 0; i < count; ++i) {
        FarDialogItem& item = items[i];
        item.Data[sizeof item.Data - 1] = '\0';
        if (IsEditField(item.Type)) {
            // A text never outgrows the item's room, however wide a fixed field is drawn.
            const size_t room = sizeof item.Data - 1;
            const size_t width = item.X2 >= item.X1 ? size_t(item.X2) - item.X1 + 1 : 1;
            const bool fixed = item.Type == DI_FIXEDIT;
            edits_[i] =
                std::make_unique<EditLine>(item.Data, fixed ? std::min(width, room) : room, fixed);
            labels_[i].Text = item.Data;
        } else {
            labels_[i] = ParseMarkedText(item.Data, (item.Flags & DIF_SHOWAMPERSAND) != 0);
        }
        if (item.Focus && focus_ < 0 && Focusable(i)) focus_ = i;
        if (IsEditField(item.Type)) hasEditField_ = true;
    }
    if (focus_ < 0) focus_ = Step(count - 1, +1);
    MoveFocus(focus_);
}

bool DialogModel::Focusable(int index) const {
    switch (items_[index].Type) {
        case DI_EDIT:
        case DI_PSWEDIT:
        case DI_FIXEDIT:
        case DI_BUTTON:
        case DI_CHECKBOX:
        case DI_RADIOBUTTON:
            return true;
        default:
            return false;
    }
}

int DialogModel::Step(int from, int step) const {
    for (int n = 1; n <= count_; ++n) {
        const int index = ((from + step * n) % count_ + count_) % count_;
        if (Focusable(index)) return index;
    }
    return -1;
}

int DialogModel::StepRow(int from, int step) const {
    int to = Step(from, step);
    while (to >= 0 && to != from && items_[to].Y1 == items_[from].Y1) to = Step(to, step);
    return to < 0 || to == from ? Step(from, step) : to;
}

void DialogModel::MoveFocus(int to) {
    if (to < 0) return;
    for (int i = 0; i < count_; ++i) items_[i].Focus = 0;
    focus_ = to;
    items_[to].Focus = 1;
    if (items_[to].Type == DI_RADIOBUTTON && (items_[to].Flags & DIF_MOVESELECT))
        SelectRadio(items_, count_, to);
}

int DialogModel::HotKeyItem(const Keystroke& key) const {
    // Where text is typed, a letter alone is text: hot keys need Alt there.
    if (hasEditField_ && !(key.Control & PKF_ALT)) return -1;
    const char32_t wanted = HotKeyOf(key);
    if (!wanted) return -1;
    for (int i = 0; i < count_; ++i)
        if (labels_[i].HotIndex >= 0 && UpperCharacter(labels_[i].HotKey()) == wanted) return i;
    return -1;
}

DialogState DialogModel::Close(int item) {
    closing_ = item;
    for (int i = 0; i < count_; ++i)
        if (edits_[i]) {
            const std::string& text = edits_[i]->Text();
            std::memset(items_[i].Data, 0, sizeof items_[i].Data);
            std::memcpy(items_[i].Data, text.data(), text.size());
        }
    return DialogState::Closed;
}

// A hot key, or Space on the focused item.
DialogState DialogModel::Activate(int item) {
    switch (items_[item].Type) {
        case DI_BUTTON:
            MoveFocus(item);
            return Close(item);
        case DI_CHECKBOX:
            MoveFocus(item);
            items_[item].Selected = items_[item].Selected ? 0 : 1;
            break;
        case DI_RADIOBUTTON:
            MoveFocus(item);
            SelectRadio(items_, count_, item);
            break;
        default:  // a label: its field is the next item that takes the focus
            MoveFocus(Step(item, +1));
            break;
    }
    return DialogState::Open;
}

DialogState DialogModel::HandleKey(const Keystroke& key) {
    if (key.Is(VK_ESCAPE)) return DialogState::Cancelled;
    if (focus_ < 0)
        return key.Is(VK_RETURN) ? Close(EnterChoice(items_, count_)) : DialogState::Open;
    const FarDialogItem& focused = items_[focus_];
    EditLine* edit = edits_[focus_].get();
    if (key.Is(VK_RETURN))
        return Close(focused.Type == DI_BUTTON ? focus_ : EnterChoice(items_, count_));
    if (key.Is(VK_TAB) || key.Is(VK_TAB, PKF_SHIFT)) {
        MoveFocus(Step(focus_, key.Control ? -1 : +1));
        return DialogState::Open;
    }
    if (key.Is(VK_DOWN, PKF_CONTROL) && edit)
        return (focused.Flags & DIF_HISTORY) && focused.History ? DialogState::HistoryWanted
                                                                : DialogState::Open;
    if (key.Is(VK_UP) || key.Is(VK_DOWN)) {  // through a radio group and on
        MoveFocus(StepRow(focus_, key.Key == VK_UP ? -1 : +1));
        return DialogState::Open;
    }
    if (edit) {
        if (!(key.Control & PKF_ALT) && edit->HandleKey(key)) return DialogState::Open;
    } else if (key.Is(VK_LEFT) || key.Is(VK_RIGHT)) {
        MoveFocus(Step(focus_, key.Key == VK_LEFT ? -1 : +1));
        return DialogState::Open;
    } else if (key.Is(VK_SPACE)) {
        return Activate(focus_);
    }
    // Hot keys: with Alt anywhere, alone outside edit fields (a field takes typed letters).
    const int item = HotKeyItem(key);
    return item >= 0 ? Activate(item) : DialogState::Open;
}

DialogState DialogModel::Click(int item) {
    if (item < 0 || item >= count_ || !Focusable(item)) return DialogState::Open;
    if (edits_[item]) {
        MoveFocus(item);
        return DialogState::Open;
    }
    return Activate(item);
}

void DialogModel::SetFocusedText(const std::string& text) {
    if (focus_ >= 0 && edits_[focus_]) edits_[focus_]->SetText(text);
}

}  // namespace kestrova::host::tui
