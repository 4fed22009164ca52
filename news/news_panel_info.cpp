// What the connected panel tells the host about itself: the shortcut text, flags, key-bar labels
// of each state and the panel mode with its column titles.
#include <string>
#include <vector>

#include "common/format_text.h"
#include "common/text_utils.h"
#include "common/url.h"
#include "news/news_internet_manager.h"
#include "ui/char_tables.h"
#include "ui/message_numbers.h"
#include "ui/messages.h"
#include "ui/module_state.h"
#include "ui/plugin_options.h"

namespace kestrova {

namespace {

constexpr uint32_t kNewsPanelFlags = OPIF_USEFILTER | OPIF_USESORTGROUPS | OPIF_USEATTRHIGHLIGHTING;
constexpr int kNewsInfoLines = 2;

constexpr int kCustomColumns = 5;

// The group views' fixed layout: name, first and last article number, attributes; the own
// groups add their unread articles.
constexpr const char* kGroupColumnTypes = "N,C0,C1,A";
constexpr const char* kGroupColumnWidths = "0,5,5,4";
constexpr const char* kOwnGroupColumnTypes = "N,C2,C0,C1,A";
constexpr const char* kOwnGroupColumnWidths = "0,6,5,5,4";
constexpr const char* kGroupStatusTypes = "N";
constexpr const char* kGroupStatusWidths = "0";

char* Label(int msgNum) {
    return const_cast<char*>(GetMsg(msgNum));  // the host only reads the labels
}

void Disable(char** row, std::initializer_list<int> functionKeys) {
    for (int f : functionKeys) row[f - 1] = Label(kMsgEmpty);
}

// 0 to 4 for a column type "C0" to "C4" (either case); -1 otherwise.
int CustomColumnIndex(const std::string& type) {
    if (type.size() != 2 || (type[0] != 'C' && type[0] != 'c')) return -1;
    if (type[1] < '0' || type[1] >= '0' + kCustomColumns) return -1;
    return type[1] - '0';
}

// The column types of a layout text, as the host counts them (empty ones included).
std::vector<std::string> SplitColumns(const std::string& types) {
    std::vector<std::string> columns;
    size_t start = 0;
    for (;;) {
        const size_t end = types.find(',', start);
        columns.push_back(Trim(types.substr(start, end - start)));
        if (end == std::string::npos) return columns;
        start = end + 1;
    }
}

}  // namespace

std::string TNewsInternetManager::ShortcutDescriptor() const {
    const std::string head =
        FormatText("%1d%1d%1d%3d%s%3d%s%3d%s%3d%s%s",
                   {account_.Secure == kTlsByStartTls ? 2 : 1, account_.AskPassword,
                    account_.UseProxy, static_cast<int>(account_.FromName.size()),
                    account_.FromName, static_cast<int>(account_.FromAddr.size()),
                    account_.FromAddr, static_cast<int>(account_.ReplyTo.size()), account_.ReplyTo,
                    static_cast<int>(account_.Organization.size()), account_.Organization,
                    SlotName(account_.CharTable)});
    std::string url;
    BuildUrl(account_.Url, 0, url);
    return FormatText("%3D%s%s", {static_cast<int>(head.size()), head, url});
}

void TNewsInternetManager::GetOpenPluginInfo(OpenPluginInfo& info, std::string& descriptor) {
    descriptor = ShortcutDescriptor();
    info.Flags |= kNewsPanelFlags;
    info.InfoLinesNumber = kNewsInfoLines;
    SetKeyBar();
    if (Options.ReplaceModes != 0) SetPanelMode(info);
}

void TNewsInternetManager::SetKeyBar() const {
    ::KeyBarTitles& bar = KeyBarTitles;
    Disable(bar.Titles, {6});
    Disable(bar.AltTitles, {4, 6});
    Disable(bar.ShiftTitles, {1, 2, 3, 5, 6, 8});
    bar.ShiftTitles[6] = Label(kMsgKeyCharset);
    switch (state_) {
        case NewsState::AllGroups:
            Disable(bar.Titles, {3, 4, 5, 8});
            Disable(bar.AltTitles, {3, 5});
            Disable(bar.ShiftTitles, {4});
            bar.Titles[6] = Label(kMsgKeyGroups);
            break;
        case NewsState::OwnGroups:
            Disable(bar.Titles, {3, 4, 5});
            Disable(bar.AltTitles, {3, 5});
            Disable(bar.ShiftTitles, {4});
            bar.Titles[6] = Label(kMsgKeyGroups);
            bar.Titles[7] = Label(kMsgKeyDropGroups);
            bar.ShiftTitles[7] = Label(kMsgKeyCatchUp);
            bar.Titles[1] = Label(kMsgKeyNewsrc);
            break;
        case NewsState::InGroup:
            Disable(bar.Titles, {7, 8});
            if (index_.OlderEnd > 0) bar.Titles[6] = Label(kMsgKeyOlder);
            bar.Titles[3] = Label(kMsgKeyReply);
            bar.ShiftTitles[3] = Label(kMsgKeyNewArticle);
            bar.ShiftTitles[2] = Label(kMsgKeyViewHeader);
            bar.Titles[11] = Label(kMsgKeyThreadView);
            bar.ShiftTitles[11] = Label(kMsgKeySelectThread);
            bar.Titles[1] = Label(kMsgKeyMarkRead);
            bar.ShiftTitles[1] = Label(kMsgKeyMarkUnread);
            bar.ShiftTitles[7] = Label(kMsgKeyCatchUp);
            break;
        case NewsState::Posting:
            break;
    }
}

void TNewsInternetManager::SetPanelMode(OpenPluginInfo& info) {
    const bool own = state_ == NewsState::OwnGroups;
    const bool groups = own || state_ == NewsState::AllGroups;
    const char* groupTypes = own ? kOwnGroupColumnTypes : kGroupColumnTypes;
    const std::vector<std::string> types = SplitColumns(groups ? groupTypes : ColumnTypes);
    columnTitles_.assign(types.size(), nullptr);
    if (groups) {
        const size_t first = own ? 2 : 1;
        if (own) columnTitles_[1] = GetMsg(kMsgUnreadColumn);
        columnTitles_[first] = GetMsg(kMsgFirstColumn);
        columnTitles_[first + 1] = GetMsg(kMsgLastColumn);
    } else {
        for (size_t column = 0; column < types.size(); ++column) {
            const int custom = CustomColumnIndex(types[column]);
            if (custom >= 0) columnTitles_[column] = GetMsg(kMsgFirstCustomColumn + custom);
        }
    }
    panelMode_ = PanelMode{};
    panelMode_.ColumnTypes = groups ? groupTypes : ColumnTypes.c_str();
    panelMode_.ColumnWidths =
        groups ? (own ? kOwnGroupColumnWidths : kGroupColumnWidths) : ColumnWidths.c_str();
    panelMode_.StatusColumnTypes = groups ? kGroupStatusTypes : StatusTypes.c_str();
    panelMode_.StatusColumnWidths = groups ? kGroupStatusWidths : StatusWidths.c_str();
    panelMode_.ColumnTitles = columnTitles_.data();
    info.PanelModesArray = &panelMode_;
    info.PanelModesNumber = 1;
}

}  // namespace kestrova
