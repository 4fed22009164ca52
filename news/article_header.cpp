#include "news/article_header.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "common/text_utils.h"
#include "news/list_block.h"
#include "ui/article_date.h"
#include "ui/char_tables.h"
#include "ui/encoded_words.h"

namespace kestrova {

namespace {

constexpr size_t kNumberAt = 0;
constexpr size_t kMessageIdAt = 4;
constexpr size_t kSubjectAt = kMessageIdAt + TArticleHeader::kLongText;
constexpr size_t kLinesAt = kSubjectAt + TArticleHeader::kLongText;
constexpr size_t kDateAt = kLinesAt + 4;
constexpr size_t kFromAt = kDateAt + 8;
constexpr size_t kXCommentToAt = kFromAt + TArticleHeader::kShortText;
constexpr size_t kPathAt = kXCommentToAt + TArticleHeader::kShortText;
constexpr size_t kOrganizationAt = kPathAt + TArticleHeader::kLongText;
constexpr size_t kCharTableAt = kOrganizationAt + TArticleHeader::kShortText;
constexpr size_t kFlagsAt = kCharTableAt + 4;
static_assert(kFlagsAt + 4 == TArticleHeader::kSize);

constexpr uint32_t kAttrArchive = 0x20;
constexpr std::string_view kCharsetParameter = "charset=";

bool IsSpaceOrTab(char c) {
    return c == ' ' || c == '\t';
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

std::string_view FirstWord(std::string_view text) {
    const auto start = std::find_if_not(text.begin(), text.end(), IsSpaceOrTab);
    const auto end = std::find_if(start, text.end(), IsSpaceOrTab);
    return text.substr(static_cast<size_t>(start - text.begin()), static_cast<size_t>(end - start));
}

// The charset named after the first "charset=" of value (quotation marks removed); false when
// value has none.
bool CharsetOf(std::string_view value, std::string& charset) {
    const std::string lower = Lower(value);
    const size_t at = lower.find(kCharsetParameter);
    if (at == std::string::npos) return false;
    std::string_view name =
        FirstWord(std::string_view(lower).substr(at + kCharsetParameter.size()));
    if (!name.empty() && (name.front() == '"' || name.front() == '\'')) {
        name = name.size() >= 2 ? name.substr(1, name.size() - 2) : std::string_view();
    }
    charset = std::string(name);
    return true;
}

// OEM text of a header value into out: encoded words decoded, anything else converted by
// tableCode (well-formed UTF-8 kept).
std::string_view DisplayText(std::string_view value, int tableCode, std::string& out) {
    out = DecodeHeaderText(value, tableCode);
    return out;
}

}  // namespace

TArticleHeader TArticleHeader::Read(const char* bytes) {
    TArticleHeader record;
    record.Number = NumberOf(bytes);
    record.MessageId = std::string(MessageIdOf(bytes));
    record.Subject = std::string(GetField(bytes + kSubjectAt, kLongText));
    record.Lines = GetInt32(bytes + kLinesAt);
    record.Date.dwLowDateTime = static_cast<uint32_t>(GetInt32(bytes + kDateAt));
    record.Date.dwHighDateTime = static_cast<uint32_t>(GetInt32(bytes + kDateAt + 4));
    record.From = std::string(GetField(bytes + kFromAt, kShortText));
    record.XCommentTo = std::string(GetField(bytes + kXCommentToAt, kShortText));
    record.PathHeader = std::string(GetField(bytes + kPathAt, kLongText));
    record.Organization = std::string(GetField(bytes + kOrganizationAt, kShortText));
    record.CharTable = GetInt32(bytes + kCharTableAt);
    record.Flags = static_cast<uint32_t>(GetInt32(bytes + kFlagsAt));
    return record;
}

int32_t TArticleHeader::NumberOf(const char* bytes) {
    return GetInt32(bytes + kNumberAt);
}

std::string_view TArticleHeader::MessageIdOf(const char* bytes) {
    return GetField(bytes + kMessageIdAt, kLongText);
}

uint32_t TArticleHeader::FlagsOf(const char* bytes) {
    return static_cast<uint32_t>(GetInt32(bytes + kFlagsAt));
}

void TArticleHeader::Write(char* bytes) const {
    PutInt32(bytes + kNumberAt, Number);
    PutField(bytes + kMessageIdAt, kLongText, MessageId);
    PutField(bytes + kSubjectAt, kLongText, Subject);
    PutInt32(bytes + kLinesAt, Lines);
    PutInt32(bytes + kDateAt, static_cast<int32_t>(Date.dwLowDateTime));
    PutInt32(bytes + kDateAt + 4, static_cast<int32_t>(Date.dwHighDateTime));
    PutField(bytes + kFromAt, kShortText, From);
    PutField(bytes + kXCommentToAt, kShortText, XCommentTo);
    PutField(bytes + kPathAt, kLongText, PathHeader);
    PutField(bytes + kOrganizationAt, kShortText, Organization);
    PutInt32(bytes + kCharTableAt, CharTable);
    PutInt32(bytes + kFlagsAt, static_cast<int32_t>(Flags));
}

void ApplyHeadStatus(std::string_view statusLine, TArticleHeader& record) {
    record.Number = DecimalOr(ExtractWord(2, statusLine, ' '), -1);
    record.MessageId = ExtractWord(3, statusLine, ' ');
}

void ApplyHeaderLine(std::string_view line, TArticleHeader& record, THeaderExtras& extras) {
    std::string_view name = line.substr(
        0,
        static_cast<size_t>(std::find_if(line.begin(), line.end(), IsSpaceOrTab) - line.begin()));
    if (!name.ends_with(':')) name = {};
    std::string_view value = line.substr(name.size());
    if (!value.empty() && IsSpaceOrTab(value.front())) value.remove_prefix(1);
    const bool continued = name.empty() && !line.empty() && IsSpaceOrTab(line.front());
    if (extras.InReferences && continued) {
        extras.References += ' ';
        extras.References += value;
    } else {
        extras.InReferences = SameName(name, "REFERENCES:");
        if (extras.InReferences) extras.References = std::string(value);
    }
    if (extras.References.size() > kMaxReferencesText) {
        extras.References.erase(0, extras.References.size() - kMaxReferencesText);
    }

    const std::pair<std::string_view, std::string*> texts[] = {
        {"SUBJECT:", &record.Subject},           {"FROM:", &record.From},
        {"X-COMMENT-TO:", &record.XCommentTo},   {"PATH:", &record.PathHeader},
        {"ORGANIZATION:", &record.Organization},
    };
    for (const auto& [header, field] : texts) {
        if (SameName(name, header)) {
            *field = std::string(value);
            return;
        }
    }
    if (SameName(name, "LINES:")) {
        record.Lines = DecimalOr(Trim(value), 0);
        return;
    }
    if (SameName(name, "DATE:")) {
        ParseArticleDate(value, record.Date);
        return;
    }
    if (SameName(name, "XREF:")) extras.Xref = std::string(value);
    std::string charset;
    if (CharsetOf(value, charset)) record.CharTable = SlotIndex(charset);
}

void THeaderUnfolder::Add(std::string_view line) {
    if (!line.empty() && (line[0] == ' ' || line[0] == '\t')) {
        if (unfolded_.size() + line.size() <= kLongestHeaderLine) unfolded_ += line;
        return;
    }
    Finish();
    unfolded_ = line;
}

void THeaderUnfolder::Finish() {
    if (!unfolded_.empty()) ApplyHeaderLine(unfolded_, record_, extras_);
    unfolded_.clear();
}

int32_t NumberFromXref(std::string_view xref, std::string_view group) {
    // "host group:number group:number ..."
    for (int n = 2;; ++n) {
        const std::string entry = ExtractWord(n, xref, ' ');
        if (entry.empty()) return 0;
        const size_t colon = entry.rfind(':');
        if (colon == std::string::npos || std::string_view(entry).substr(0, colon) != group) {
            continue;
        }
        return std::max(DecimalOr(std::string_view(entry).substr(colon + 1), 0), 0);
    }
}

const TArticleTables::Table& TArticleTables::Of(int32_t charTable) {
    const int slot = charTable == kNoSlot ? accountSlot_ : charTable;
    const int64_t at = static_cast<int64_t>(charTable) - kNoSlot;
    if (at < 0 || at >= static_cast<int64_t>(known_.size())) {
        other_ = Table{SlotTableCode(slot), SlotName(slot)};
        return other_;
    }
    std::optional<Table>& known = known_[static_cast<size_t>(at)];
    if (!known) known = Table{SlotTableCode(slot), SlotName(slot)};
    return *known;
}

void AddArticleItem(TPanelItemList& items, const char* record, TArticleTables& tables) {
    // Reused for every item: the converted texts on their way into the item.
    thread_local std::string subject, from, commentTo, organization;
    const TArticleTables::Table& table = tables.Of(GetInt32(record + kCharTableAt));
    const int tableCode = table.Code;
    PluginPanelItem& item = items.Add(PanelItemName(
        DisplayText(GetField(record + kSubjectAt, TArticleHeader::kLongText), tableCode, subject)));
    FAR_FIND_DATA& data = item.FindData;
    data.dwFileAttributes = kAttrArchive;
    data.ftCreationTime.dwLowDateTime = static_cast<uint32_t>(GetInt32(record + kDateAt));
    data.ftCreationTime.dwHighDateTime = static_cast<uint32_t>(GetInt32(record + kDateAt + 4));
    data.ftLastAccessTime = data.ftLastWriteTime = data.ftCreationTime;
    data.nFileSizeLow = static_cast<uint32_t>(std::max(GetInt32(record + kLinesAt), 0));
    item.UserData = TArticleHeader::NumberOf(record);
    items.SetDescription(item, TArticleHeader::MessageIdOf(record));
    items.SetColumns(
        item, {DisplayText(GetField(record + kFromAt, TArticleHeader::kShortText), tableCode, from),
               DisplayText(GetField(record + kXCommentToAt, TArticleHeader::kShortText), tableCode,
                           commentTo),
               GetField(record + kPathAt, TArticleHeader::kLongText),
               DisplayText(GetField(record + kOrganizationAt, TArticleHeader::kShortText),
                           tableCode, organization),
               table.Name});
}

}  // namespace kestrova
