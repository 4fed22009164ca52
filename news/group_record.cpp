#include "news/group_record.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <vector>

#include "common/text_utils.h"
#include "news/panel_item_list.h"
#include "platform/clock.h"
#include "ui/char_tables.h"

namespace kestrova {

namespace {

constexpr size_t kFirstAt = TGroupRecord::kNameSize;
constexpr size_t kLastAt = kFirstAt + 4;
constexpr size_t kFlagsAt = kLastAt + 4;

constexpr uint32_t kAttrReadOnly = 0x01;
constexpr uint32_t kAttrDirectory = 0x10;
constexpr uint32_t kAttrArchive = 0x20;

uint32_t PostingValue(std::string_view word, bool postingAllowed) {
    if (word.empty()) return postingAllowed ? kPostingAllowed : kPostingNotAllowed;
    switch (std::tolower(static_cast<unsigned char>(word[0]))) {
        case 'm':
            return kPostingModerated;
        case 'n':
            return kPostingNotAllowed;
        default:
            return kPostingAllowed;
    }
}

// Last - First + 1 without overflow; a range that makes no sense counts no articles.
uint32_t ArticleCount(const TGroupRecord& group) {
    const int64_t count = int64_t{group.Last} - group.First + 1;
    return static_cast<uint32_t>(std::clamp<int64_t>(count, 0, UINT32_MAX));
}

}  // namespace

TGroupRecord TGroupRecord::Read(const char* bytes) {
    TGroupRecord record;
    record.Load(bytes);
    return record;
}

uint32_t TGroupRecord::FlagsOf(const char* bytes) {
    return static_cast<uint32_t>(GetInt32(bytes + kFlagsAt));
}

void TGroupRecord::Load(const char* bytes) {
    Name.assign(GetField(bytes, kNameSize));
    First = GetInt32(bytes + kFirstAt);
    Last = GetInt32(bytes + kLastAt);
    Flags = static_cast<uint32_t>(GetInt32(bytes + kFlagsAt));
}

void TGroupRecord::Write(char* bytes) const {
    PutField(bytes, kNameSize, Name);
    PutInt32(bytes + kFirstAt, First);
    PutInt32(bytes + kLastAt, Last);
    PutInt32(bytes + kFlagsAt, static_cast<int32_t>(Flags));
}

GroupLine ParseGroupLine(std::string_view line, bool postingAllowed, TGroupRecord& record) {
    // Each word is the first of what follows the one before: the line is read once.
    const auto nextWord = [&line] {
        const std::string_view word = WordView(1, line, ' ');
        line = word.empty()
                   ? std::string_view()
                   : line.substr(static_cast<size_t>(word.data() + word.size() - line.data()));
        return word;
    };
    std::string_view name = nextWord();
    name = name.substr(0, name.find('\0'));  // all that the record can hold
    if (name.empty()) return GroupLine::Empty;
    if (name.size() >= TGroupRecord::kNameSize) return GroupLine::TooLong;
    record.Name.assign(name);  // a record read into again keeps its buffer
    record.Last = DecimalOr(nextWord(), 0);
    record.First = DecimalOr(nextWord(), 0);
    record.Flags = PostingValue(nextWord(), postingAllowed) | kNewGroup;
    return GroupLine::Group;
}

size_t FindGroup(const TListBlock& list, std::string_view name, bool& found,
                 const TOemCollation& collation) {
    size_t low = 0;
    size_t high = list.Count();
    found = false;
    while (low < high) {
        const size_t middle = low + (high - low) / 2;
        const int order =
            collation.CompareText(GetField(list.Record(middle), TGroupRecord::kNameSize), name);
        if (order == 0) {
            found = true;
            return middle;
        }
        if (order < 0) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low;
}

bool InsertGroup(TListBlock& list, const TGroupRecord& record) {
    bool found = false;
    const size_t at = FindGroup(list, record.Name, found);
    if (found) return false;
    char bytes[TGroupRecord::kSize];
    record.Write(bytes);
    list.Insert(at, bytes);
    return true;
}

std::string GroupItemName(std::string_view group) {
    return std::string(PanelItemName(group));
}

std::string GroupOfItem(std::string_view item) {
    return std::string(NameOfPanelItem(item));
}

void AddGroupItem(TPanelItemList& items, const TGroupRecord& group, const SYSTEMTIME& stamp,
                  int tableCode, const TArticleRanges* read) {
    const std::string name = DecodeText(tableCode, GroupItemName(group.Name));
    PluginPanelItem& item = items.Add(name);
    FAR_FIND_DATA& data = item.FindData;
    data.dwFileAttributes = kAttrDirectory;
    if ((group.Flags & kNewGroup) == 0) data.dwFileAttributes |= kAttrArchive;
    if ((group.Flags & kPostingMask) == kPostingNotAllowed) data.dwFileAttributes |= kAttrReadOnly;
    FILETIME time{};
    if (platform::SystemTimeToFileTime(stamp, time)) {
        data.ftCreationTime = data.ftLastAccessTime = data.ftLastWriteTime = time;
    }
    data.nFileSizeLow = item.NumberOfLinks = ArticleCount(group);
    if (!read) {
        items.SetColumns(item, {std::to_string(group.First), std::to_string(group.Last)});
        return;
    }
    const int64_t unread = data.nFileSizeLow - read->CountIn(group.First, group.Last);
    if (unread > 0) item.Flags |= PPIF_UNREAD;
    items.SetColumns(
        item, {std::to_string(group.First), std::to_string(group.Last), std::to_string(unread)});
}

}  // namespace kestrova
