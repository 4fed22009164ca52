#include "news/read_marks.h"

#include "common/errors.h"
#include "common/path_utils.h"
#include "news/account_cache.h"
#include "store/registry.h"
#include "ui/module_state.h"

namespace kestrova {

namespace {

// A key name part: a backslash would open a subkey.
std::string KeyPart(const std::string& text) {
    std::string part = text;
    for (char& c : part)
        if (c == '\\') c = '/';
    return part;
}

}  // namespace

void FlagUnread(PluginPanelItem* items, int count, const TArticleRanges& read) {
    for (int i = 0; i < count; ++i)
        if (!read.Contains(items[i].UserData)) items[i].Flags |= PPIF_UNREAD;
}

TReadMarks::TReadMarks(const TAccountOptions& account)
    : key_(IncludeTrailingSeparator(OptionsKey, '\\') + "Read marks\\" +
           KeyPart(account.Url.UserName) + '@' + KeyPart(account.Url.HostName)) {
    // The same name as the account's cache file: the port only when it is not the default.
    if (const uint16_t port = CachePort(account); port != 0) key_ += ',' + std::to_string(port);
}

const TArticleRanges& TReadMarks::Of(const std::string& group) {
    if (const auto found = known_.find(group); found != known_.end()) return found->second;
    TArticleRanges ranges;
    try {
        TRegistry store;
        if (store.OpenKey(key_, false)) {
            const int size = store.GetDataSize(group);
            if (size > 0 && size <= kMaxStoredText)
                ranges = TArticleRanges::Parse(store.ReadString(group));
        }
    } catch (const ERegistryError&) {
        // Unreadable marks leave the group unread; the next mark writes a sound value.
    }
    return known_[group] = std::move(ranges);
}

void TReadMarks::Set(const std::string& group, TArticleRanges ranges) {
    TArticleRanges& kept = known_[group];
    kept = std::move(ranges);
    TRegistry store;
    if (!store.OpenKey(key_, true)) RaiseRegistryError("Failed to create key " + key_);
    store.WriteString(group, kept.Text());
}

std::vector<std::string> TReadMarks::Groups() {
    std::vector<std::string> groups;
    TRegistry store;
    if (!store.OpenKey(key_, false)) return groups;
    TStringList names;
    store.GetValueNames(names);
    for (int i = 0; i < names.Count(); ++i) groups.push_back(names[i]);
    return groups;
}

}  // namespace kestrova
