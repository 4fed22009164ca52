// The own groups' .newsrc menu: importing a .newsrc file (its subscribed groups become own
// groups, its ranges the groups' read marks) and exporting one (own groups with ":", other
// groups that have read marks with "!").
#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "common/format_text.h"
#include "common/streams.h"
#include "news/group_list.h"
#include "news/news_internet_manager.h"
#include "news/newsrc.h"
#include "ui/menus.h"
#include "ui/message_box.h"
#include "ui/message_numbers.h"
#include "ui/messages.h"
#include "ui/signature.h"
#include "ui/standard_dialogs.h"

namespace kestrova {

namespace {

// No .newsrc of a real server list comes near this; more is not read.
constexpr int64_t kMaxNewsrcFile = 16 * 1024 * 1024;
constexpr unsigned kOpenRead = 0;

}  // namespace

bool TNewsInternetManager::NewsrcMenu() {
    const int chosen =
        RunMenu(GetMsg(kMsgNewsrcTitle), {GetMsg(kMsgImportNewsrc), GetMsg(kMsgExportNewsrc)}, 0);
    if (chosen < 0) return false;
    std::string fileName = "~/.newsrc";
    if (InputDialog(GetMsg(kMsgNewsrcTitle), GetMsg(kMsgNewsrcFile), fileName) != kAccepted ||
        fileName.empty())
        return false;
    fileName = WithHomeFolder(fileName);
    if (chosen == 0) return ImportNewsrc(fileName);
    ExportNewsrc(fileName);
    return false;
}

bool TNewsInternetManager::ImportNewsrc(const std::string& fileName) {
    std::string text;
    {
        TFileStream file(fileName, kOpenRead);
        text.resize(static_cast<size_t>(std::clamp<int64_t>(file.Size(), 0, kMaxNewsrcFile)));
        text.resize(static_cast<size_t>(file.Read(text.data(), static_cast<int64_t>(text.size()))));
    }
    const TNewsrcText newsrc = ParseNewsrc(text);
    std::vector<std::string> subscribed;
    const std::vector<std::string> marked = marks_->Groups();
    for (const TNewsrcEntry& entry : newsrc.Entries) {
        if (entry.Subscribed) subscribed.push_back(entry.Group);
        // A group without ranges that has no marks either needs no write.
        if (!entry.Read.Empty() ||
            std::find(marked.begin(), marked.end(), entry.Group) != marked.end())
            marks_->Set(entry.Group, entry.Read);
    }
    if (!subscribed.empty()) SubscribeGroups(cache_, subscribed);
    ShowMessage(0,
                {GetMsg(kMsgNewsrcTitle),
                 FormatText(GetMsg(kMsgNewsrcImported),
                            {static_cast<int>(newsrc.Entries.size()),
                             static_cast<int>(subscribed.size()), newsrc.Skipped})},
                {kMsgOk});
    return !subscribed.empty();
}

void TNewsInternetManager::ExportNewsrc(const std::string& fileName) {
    std::vector<TNewsrcEntry> entries;
    std::set<std::string> own;
    for (const TGroupRecord& group : OwnGroupRecords(cache_)) {
        entries.push_back({group.Name, true, marks_->Of(group.Name)});
        own.insert(group.Name);
    }
    for (const std::string& group : marks_->Groups())
        if (own.count(group) == 0) entries.push_back({group, false, marks_->Of(group)});
    std::sort(entries.begin(), entries.end(),
              [](const TNewsrcEntry& a, const TNewsrcEntry& b) { return a.Group < b.Group; });
    const std::string text = WriteNewsrc(entries);
    {
        TFileStream file(fileName, kFileCreate);
        file.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
    }
    ShowMessage(0,
                {GetMsg(kMsgNewsrcTitle), FormatText(GetMsg(kMsgNewsrcExported),
                                                     {static_cast<int>(entries.size()), fileName})},
                {kMsgOk});
}

}  // namespace kestrova
