// The author block that the account dialog and the default-account dialog share: edit fields for
// name, address, reply-to and organization (each after its label), the "ask password" and "use
// proxy" check boxes, and the character-table button with the chosen table's name beside it. The
// items sit at fixed offsets from the block's first edit field.
#pragma once

#include "ui/account_options.h"
#include "ui/dialog_builder.h"

namespace kestrova {

class TAuthorFields {
  public:
    // firstItem: the index of the name field.
    explicit TAuthorFields(int firstItem) : first_(firstItem) {}

    // Puts the account's author fields, histories, check boxes and table name into the items.
    void Put(DialogItems& items, const TAccountOptions& account);
    // Shows the dialog until it is closed by anything but the table button, which opens the
    // table menu; returns the closing item (-1 for Esc). The chosen table stays here until Get.
    int Show(DialogItems& items, const char* helpTopic);
    // Reads the author fields, check boxes and the chosen table back into the account.
    void Get(const DialogItems& items, TAccountOptions& account) const;

  private:
    static constexpr int kAskPasswordOffset = 8;
    static constexpr int kUseProxyOffset = 9;
    static constexpr int kChooseSlotOffset = 11;
    static constexpr int kSlotNameOffset = 12;

    int first_;
    int slot_ = -4;
};

}  // namespace kestrova
