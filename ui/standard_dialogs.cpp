#include "ui/standard_dialogs.h"

#include <array>
#include <cstring>

#include "common/format_text.h"
#include "platform/clock.h"
#include "ui/dialog_builder.h"
#include "ui/message_numbers.h"
#include "ui/messages.h"

namespace kestrova {
namespace {

// ---- Input ----------------------------------------------------------------------------------

constexpr int kInputValueItem = 2;
constexpr std::array<DialogItemTemplate, 3> kInputTemplate{{
    {DI_DOUBLEBOX, 3, 1, 70, 0, 0},
    {DI_TEXT, 5, 2, 0, 0, 0},
    {DI_EDIT, 5, 3, 68, 0, 0},
}};

// ---- Login ----------------------------------------------------------------------------------

constexpr int kLoginUserItem = 2;
constexpr int kLoginPasswordItem = 4;
constexpr int kLoginAcceptItem = 6;
constexpr int kLoginAnonymousItem = 7;
constexpr std::array<DialogItemTemplate, 9> kLoginTemplate{{
    {DI_DOUBLEBOX, 3, 1, 70, 0, 0},
    {DI_TEXT, 5, 2, 0, 0, kMsgUserName},
    {DI_EDIT, 5, 3, 68, 0, 0},
    {DI_TEXT, 5, 4, 0, 0, kMsgPassword},
    {DI_PSWEDIT, 5, 5, 68, 0, 0},
    {DI_TEXT, 5, 6, 0, kSeparatorLine, 0},
    {DI_BUTTON, 0, 7, 0, kButtonRow, kMsgOk},
    {DI_BUTTON, 0, 7, 0, kButtonRow, kMsgAnonymous},
    {DI_BUTTON, 0, 7, 0, kButtonRow, kMsgCancel},
}};

// ---- Copy target ----------------------------------------------------------------------------

constexpr int kCopyPathItem = 2;
constexpr int kCopyAcceptItem = 4;
constexpr std::array<DialogItemTemplate, 6> kCopyTemplate{{
    {DI_DOUBLEBOX, 3, 1, 70, 0, 0},
    {DI_TEXT, 5, 2, 0, 0, 0},
    {DI_EDIT, 5, 3, 68, 0, 0},
    {DI_TEXT, 5, 4, 0, kSeparatorLine, 0},
    {DI_BUTTON, 0, 5, 0, kButtonRow, kMsgOk},
    {DI_BUTTON, 0, 5, 0, kButtonRow, kMsgCancel},
}};

int AskCopyTarget(int titleMsg, int promptMsg, std::string& path) {
    DialogItems items = BuildDialog(kCopyTemplate, kCopyAcceptItem, kCopyPathItem);
    SetItemText(items[0], GetMsg(titleMsg));
    SetItemText(items[1], GetMsg(promptMsg));
    SetItemText(items[kCopyPathItem], path);
    if (ShowDialog(items, nullptr) != kCopyAcceptItem) return kCancelled;
    path = ItemText(items[kCopyPathItem]);
    return kAccepted;
}

// ---- File exists ----------------------------------------------------------------------------

constexpr int kExistsNameItem = 1;
constexpr int kExistsSourceItem = 3;
constexpr int kExistsExistingItem = 4;
constexpr int kExistsForAllItem = 6;
constexpr int kExistsFirstButton = 7;
constexpr std::array<DialogItemTemplate, 13> kExistsTemplate{{
    {DI_DOUBLEBOX, 3, 1, 56, 0, kMsgAlreadyExists},
    {DI_TEXT, 9, 2, 0, DIF_CENTERGROUP, 0},
    {DI_TEXT, 5, 3, 0, kSeparatorLine, 0},
    {DI_TEXT, 5, 4, 0, 0, 0},
    {DI_TEXT, 5, 5, 68, 0, 0},
    {DI_TEXT, 5, 6, 0, kSeparatorLine, 0},
    {DI_CHECKBOX, 5, 7, 0, 0, kMsgApplyToAll},
    {DI_BUTTON, 0, 9, 0, kButtonRow, kMsgOverwrite},
    {DI_BUTTON, 0, 9, 0, kButtonRow, kMsgRename},
    {DI_BUTTON, 0, 9, 0, kButtonRow, kMsgAppend},
    {DI_BUTTON, 0, 9, 0, kButtonRow, kMsgResume},
    {DI_BUTTON, 0, 9, 0, kButtonRow, kMsgSkip},
    {DI_BUTTON, 0, 9, 0, kButtonRow, kMsgCancel},
}};

// The answer of each button, from item 7 on.
constexpr std::array<unsigned, 5> kExistsButtonAnswers{
    kExistsOverwrite, kExistsMessage40, kExistsMessage41, kExistsMessage43, kExistsSkip};

// The optional buttons (items 8 to 10) are offered by their own answer bit.
constexpr int kExistsFirstOptional = 8;
constexpr int kExistsLastOptional = 10;

// Room for the always-shown buttons (brackets and spaces) and the frame's margins.
constexpr int kFixedButtonsWidth = 12;
constexpr int kFrameMargins = 10;
// Brackets and spaces around an optional button.
constexpr int kButtonDecoration = 4;

std::string FileDescription(int formatMsg, const WIN32_FIND_DATA& data) {
    FILETIME local{};
    SYSTEMTIME time{};
    if (!platform::FileTimeToLocalFileTime(data.ftLastWriteTime, local) ||
        !platform::FileTimeToSystemTime(local, time))
        time = SYSTEMTIME{};
    return FormatText(GetMsg(formatMsg), {data.nFileSizeLow, platform::ShortDateText(time),
                                          platform::LongTimeText(time)});
}

int TextLength(const FarDialogItem& item) {
    return static_cast<int>(strnlen(item.Data, sizeof item.Data));
}

}  // namespace

int InputDialog(const std::string& title, const std::string& prompt, std::string& value) {
    DialogItems items = BuildDialog(kInputTemplate, 0, 0);
    SetItemText(items[0], title);
    SetItemText(items[1], prompt);
    SetItemText(items[kInputValueItem], value);
    // No buttons: Enter in the field closes the dialog through the default item.
    if (ShowDialog(items, nullptr) < 0) return kCancelled;
    value = ItemText(items[kInputValueItem]);
    return kAccepted;
}

int LoginDialog(const std::string& title, const char* historyName, std::string& userName,
                std::string& password) {
    const int focus = userName.empty() ? kLoginUserItem : kLoginPasswordItem;
    DialogItems items = BuildDialog(kLoginTemplate, kLoginAcceptItem, focus);
    SetItemText(items[0], title);
    if (historyName && *historyName) SetItemHistory(items[kLoginUserItem], historyName);
    SetItemText(items[kLoginUserItem], userName);
    switch (ShowDialog(items, nullptr)) {
        case kLoginAcceptItem:
            userName = ItemText(items[kLoginUserItem]);
            password = ItemText(items[kLoginPasswordItem]);
            return kAccepted;
        case kLoginAnonymousItem:
            userName.clear();
            password.clear();
            return kAccepted;
        default:
            return kCancelled;
    }
}

int CopyDialog(bool move, std::string& path) {
    return move ? AskCopyTarget(kMsgMoveTitle, kMsgMovePrompt, path)
                : AskCopyTarget(kMsgCopyTitle, kMsgCopyPrompt, path);
}

int ArticleCopyDialog(std::string& path) {
    return AskCopyTarget(kMsgCopyArticles, kMsgCopyArticlesPrompt, path);
}

unsigned FileExistsDialog(const WIN32_FIND_DATA& source, const WIN32_FIND_DATA& existing,
                          unsigned mask) {
    DialogItems items = BuildDialog(kExistsTemplate, kExistsFirstButton, kExistsForAllItem);
    SetItemText(items[kExistsNameItem],
                std::string_view(source.cFileName, strnlen(source.cFileName, NM)));
    SetItemText(items[kExistsSourceItem], FileDescription(kMsgNewFileLine, source));
    SetItemText(items[kExistsExistingItem], FileDescription(kMsgExistingFileLine, existing));

    // Width: the shown optional buttons, the three fixed ones and the margins.
    int width = kFixedButtonsWidth + kFrameMargins;
    for (int index : {kExistsFirstButton, kExistsLastOptional + 1, kExistsLastOptional + 2})
        width += TextLength(items[index]);
    for (int index = kExistsFirstOptional; index <= kExistsLastOptional; ++index) {
        FarDialogItem& button = items[index];
        if (mask & kExistsButtonAnswers[index - kExistsFirstButton]) {
            width += TextLength(button) + kButtonDecoration;
        } else {
            button.Type = DI_TEXT;
            button.Flags = 0;
            button.Data[0] = '\0';
        }
    }
    if (width > items[0].X2) items[0].X2 = width;

    const int closedBy = ShowDialog(items, nullptr);
    unsigned answer = kExistsCancel;
    if (closedBy >= kExistsFirstButton &&
        closedBy < kExistsFirstButton + static_cast<int>(kExistsButtonAnswers.size()))
        answer = kExistsButtonAnswers[closedBy - kExistsFirstButton];
    if (items[kExistsForAllItem].Selected) answer |= kExistsForAll;
    return answer;
}

}  // namespace kestrova
