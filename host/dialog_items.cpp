#include "host/dialog_items.h"

namespace kestrova::host {

bool IsEditField(int type) {
    return type == DI_EDIT || type == DI_PSWEDIT || type == DI_FIXEDIT;
}

std::string DialogTitle(const FarDialogItem* items, int count) {
    if (count <= 0) return "";
    const FarDialogItem& frame = items[0];
    return frame.Type == DI_DOUBLEBOX || frame.Type == DI_SINGLEBOX ? frame.Data : "";
}

RadioGroup RadioGroupOf(const FarDialogItem* items, int count, int index) {
    RadioGroup group{index, index};
    while (group.First > 0 && !(items[group.First].Flags & DIF_GROUP) &&
           items[group.First - 1].Type == DI_RADIOBUTTON)
        --group.First;
    while (group.Last + 1 < count && items[group.Last + 1].Type == DI_RADIOBUTTON &&
           !(items[group.Last + 1].Flags & DIF_GROUP))
        ++group.Last;
    return group;
}

void SelectRadio(FarDialogItem* items, int count, int index) {
    const RadioGroup group = RadioGroupOf(items, count, index);
    for (int i = group.First; i <= group.Last; ++i) items[i].Selected = 0;
    items[index].Selected = 1;
}

int EnterChoice(const FarDialogItem* items, int count) {
    for (int i = 0; i < count; ++i)
        if (items[i].DefaultButton) return i;
    for (int i = 0; i < count; ++i)
        if (items[i].Focus) return i;
    return 0;
}

}  // namespace kestrova::host
