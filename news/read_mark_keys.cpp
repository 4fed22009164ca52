// The connected panel's read-mark keys: marking the selected articles read or unread, and
// catching up with a group (every article read) after a question.
#include <algorithm>
#include <string>
#include <vector>

#include "common/format_text.h"
#include "news/group_list.h"
#include "news/news_internet_manager.h"
#include "ui/key_context.h"
#include "ui/message_box.h"
#include "ui/message_numbers.h"
#include "ui/messages.h"

namespace kestrova {

void TNewsInternetManager::MarkArticles(int64_t first, int64_t last, bool read) {
    if (state_ != NewsState::InGroup) return;
    TArticleRanges marks = marks_->Of(GetPath());
    if (read)
        marks.Add(first, last);
    else
        marks.Remove(first, last);
    marks_->Set(GetPath(), std::move(marks));
}

bool TNewsInternetManager::MarkSelection(const TKeyContext& context, bool read) {
    const PanelInfo& info = context.Info;
    if (info.SelectedItems == nullptr || info.SelectedItemsNumber <= 0) return false;
    TArticleRanges marks = marks_->Of(GetPath());
    for (int i = 0; i < info.SelectedItemsNumber; ++i) {
        const int64_t number = info.SelectedItems[i].UserData;
        if (number <= 0) continue;  // ".."
        if (read)
            marks.Add(number, number);
        else
            marks.Remove(number, number);
    }
    marks_->Set(GetPath(), std::move(marks));
    return true;
}

bool TNewsInternetManager::CatchUp(const TKeyContext& context) {
    // The groups and the last article of each: the selected own groups, or the group entered
    // up to the last article its listing or its GROUP reply knows.
    std::vector<std::pair<std::string, int64_t>> groups;
    const PanelInfo& info = context.Info;
    if (state_ == NewsState::InGroup) {
        int64_t last = index_.Range.High;
        for (int i = 0; i < info.ItemsNumber; ++i)
            last = std::max<int64_t>(last, info.PanelItems[i].UserData);
        groups.emplace_back(GetPath(), last);
    } else {
        const std::vector<TGroupRecord> own = OwnGroupRecords(cache_);
        for (int i = 0; info.SelectedItems && i < info.SelectedItemsNumber; ++i) {
            const std::string name = GroupOfItem(info.SelectedItems[i].FindData.cFileName);
            const auto record = std::find_if(own.begin(), own.end(),
                                             [&](const TGroupRecord& g) { return g.Name == name; });
            if (record != own.end()) groups.emplace_back(name, record->Last);
        }
    }
    if (groups.empty()) return false;
    const std::string question =
        groups.size() == 1
            ? FormatText(GetMsg(kMsgCatchUpOneGroup), {groups.front().first})
            : FormatText(GetMsg(kMsgCatchUpGroups), {static_cast<int>(groups.size())});
    if (ShowMessage(0, {GetMsg(kMsgCatchUpTitle), question}, {kMsgOk, kMsgCancel}) != 0)
        return false;
    for (const auto& [name, last] : groups) {
        TArticleRanges marks = marks_->Of(name);
        marks.Add(1, last);
        marks_->Set(name, std::move(marks));
    }
    return true;
}

}  // namespace kestrova
