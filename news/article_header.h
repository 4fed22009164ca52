// One article of a group's index: its 1182-byte header record, the HEAD reply lines it is read
// from, and the panel item that shows it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "hostapi/plugin_api.h"
#include "news/panel_item_list.h"
#include "ui/char_tables.h"

namespace kestrova {

// Flag of a header record: it must be read again.
inline constexpr uint32_t kRefreshHeader = 0x200;

struct TArticleHeader {
    static constexpr size_t kLongText = 257;   // MessageId, Subject, PathHeader
    static constexpr size_t kShortText = 129;  // From, XCommentTo, Organization
    static constexpr size_t kSize = 1182;      // packed

    int32_t Number = 0;
    std::string MessageId;
    std::string Subject;
    int32_t Lines = 0;
    FILETIME Date{};
    std::string From;
    std::string XCommentTo;
    std::string PathHeader;
    std::string Organization;
    int32_t CharTable = 0;  // a slot index; -4: the account's table
    uint32_t Flags = 0;

    static TArticleHeader Read(const char* bytes);
    // The number, the message identifier and the flags of a record, read in place.
    static int32_t NumberOf(const char* bytes);
    static std::string_view MessageIdOf(const char* bytes);
    static uint32_t FlagsOf(const char* bytes);
    // Texts longer than their fields are cut to fit.
    void Write(char* bytes) const;
};

// Takes the article number (-1 when not a number) and the message identifier from a "221"
// status line.
void ApplyHeadStatus(std::string_view statusLine, TArticleHeader& record);

// What a header line gave besides the record's fields.
struct THeaderExtras {
    std::string Xref;  // the value of "Xref:", empty when the article has none
    // The value of "References:" with its continuation lines, at most its last
    // kMaxReferencesText bytes; empty when the article has none.
    std::string References;
    bool InReferences = false;  // the last header line read was References or continued it
};

inline constexpr size_t kMaxReferencesText = 16 * 1024;

// Takes one header line: Subject, Lines, Date, From, X-Comment-To, Path and Organization by
// their names (any case, a blank or the end of the line after the colon); on every other line,
// continuation lines included, a "charset=" sets CharTable to the slot of the name after it
// (-4 when no slot holds it). Xref and References (continued on the lines after it) go to extras.
void ApplyHeaderLine(std::string_view line, TArticleHeader& record, THeaderExtras& extras);

// Applies the lines of a header as they come, each to record and extras (ApplyHeaderLine): a
// folded line (one continued on lines that start with a blank) is unfolded first, as a server's
// overview gives it, its continuations kept to kLongestHeaderLine bytes.
class THeaderUnfolder {
  public:
    static constexpr size_t kLongestHeaderLine = 16 * 1024;

    THeaderUnfolder(TArticleHeader& record, THeaderExtras& extras)
        : record_(record), extras_(extras) {}
    // One line of the header, without its line end.
    void Add(std::string_view line);
    // The header ended: applies the line still held.
    void Finish();

  private:
    TArticleHeader& record_;
    THeaderExtras& extras_;
    std::string unfolded_;
};

// The number that xref (the value of an "Xref:" header) gives the article in group; 0 when it
// names none.
int32_t NumberFromXref(std::string_view xref, std::string_view group);

// The character tables of a listing's articles, each looked up once per listing (the host may
// be asked for its tables each time).
class TArticleTables {
  public:
    struct Table {
        int Code;  // see ui/char_tables.h
        std::string Name;
    };

    // accountSlot is the table of an article without its own.
    explicit TArticleTables(int accountSlot) : accountSlot_(accountSlot) {}
    // The table of a record holding charTable (kNoSlot: the account's); valid until the next call.
    const Table& Of(int32_t charTable);

  private:
    int accountSlot_;
    // By charTable - kNoSlot; a value past them (a damaged record) is looked up every time.
    std::array<std::optional<Table>, kSlotCount - kNoSlot> known_;
    Table other_;
};

// Appends the panel item of article: the decoded subject as name, Lines as size, Date as its
// times, Number as user data, MessageId as description, and From, X-Comment-To, Path,
// Organization and the table's name as the five custom columns, every text made visible
// (common/visible_text.h). The item is made from the record's bytes in place, its texts carved
// from the list's blocks: no allocation of its own (but for the decoding of an encoded word or a
// text to be made visible).
void AddArticleItem(TPanelItemList& items, const char* record, TArticleTables& tables);

}  // namespace kestrova
