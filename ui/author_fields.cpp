#include "ui/author_fields.h"

#include <string>

#include "ui/char_tables.h"

namespace kestrova {
namespace {

// The four edit fields of the block: offset from the first, history name, account field.
struct TextField {
    int offset;
    const char* history;
    std::string TAccountOptions::*field;
};

constexpr TextField kTextFields[] = {{0, "KstrvName", &TAccountOptions::FromName},
                                     {2, "KstrvAddr", &TAccountOptions::FromAddr},
                                     {4, "KstrvAddr", &TAccountOptions::ReplyTo},
                                     {6, "KstrvOrg", &TAccountOptions::Organization}};

}  // namespace

void TAuthorFields::Put(DialogItems& items, const TAccountOptions& account) {
    for (const TextField& text : kTextFields) {
        SetItemHistory(items[first_ + text.offset], text.history);
        SetItemText(items[first_ + text.offset], account.*text.field);
    }
    SetItemCheck(items[first_ + kAskPasswordOffset], account.AskPassword);
    SetItemCheck(items[first_ + kUseProxyOffset], account.UseProxy);
    slot_ = account.CharTable;
    SetItemText(items[first_ + kSlotNameOffset], SlotName(slot_));
}

int TAuthorFields::Show(DialogItems& items, const char* helpTopic) {
    int closedBy;
    while ((closedBy = ShowDialog(items, helpTopic)) == first_ + kChooseSlotOffset) {
        slot_ = ChooseSlot(slot_);
        SetItemText(items[first_ + kSlotNameOffset], SlotName(slot_));
    }
    return closedBy;
}

void TAuthorFields::Get(const DialogItems& items, TAccountOptions& account) const {
    for (const TextField& text : kTextFields)
        account.*text.field = ItemText(items[first_ + text.offset]);
    account.AskPassword = ItemCheck(items[first_ + kAskPasswordOffset]);
    account.UseProxy = ItemCheck(items[first_ + kUseProxyOffset]);
    account.CharTable = slot_;
}

}  // namespace kestrova
