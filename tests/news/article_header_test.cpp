// The header record byte for byte, HEAD status and header lines, Xref numbers and the article's
// panel item.
#include "news/article_header.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ui/char_tables.h"
#include "ui/panel_items.h"

namespace kestrova::testing {
namespace {

using namespace std::string_literals;
using Texts = std::vector<std::string>;

TEST(ArticleHeaderTest, LayoutIsPackedLittleEndianWithTextsCutToTheirFields) {
    TArticleHeader record;
    record.Number = 7;
    record.Lines = 0x0102;
    record.CharTable = -4;
    record.Flags = kRefreshHeader;
    record.Date = FILETIME{0x11223344, 0x55667788};
    record.MessageId = "<1@x>";
    record.Subject = std::string(300, 's');
    record.From = std::string(200, 'f');
    record.PathHeader = "p!q";
    record.Organization = "org";
    std::vector<char> bytes(TArticleHeader::kSize, 'x');
    record.Write(bytes.data());
    const std::pair<size_t, std::string> fields[] = {
        {0, "\x07\0\0\0"s},
        {4, "<1@x>\0"s},
        {261, std::string(256, 's') + '\0'},
        {518, "\x02\x01\0\0"s},
        {522, "\x44\x33\x22\x11\x88\x77\x66\x55"s},
        {530, std::string(128, 'f') + '\0'},
        {659, "\0"s},
        {788, "p!q\0"s},
        {1045, "org\0"s},
        {1174, "\xFC\xFF\xFF\xFF"s},
        {1178, "\0\x02\0\0"s},
    };
    ASSERT_EQ(TArticleHeader::kSize, 1182u);
    for (const auto& [offset, field] : fields) {
        EXPECT_EQ(std::string(bytes.data() + offset, field.size()), field) << offset;
    }
    std::vector<char> again(TArticleHeader::kSize, 'x');
    TArticleHeader::Read(bytes.data()).Write(again.data());
    EXPECT_EQ(again, bytes);
}

// The numbers of the HEAD status line and of an Xref header (0: none for the group).
TEST(HeadStatusTest, NumberAndIdentifierAndXrefNumber) {
    const std::tuple<const char*, int32_t, const char*> cases[] = {
        {"221 15 <a@b> head follows", 15, "<a@b>"},
        {"221 0 <a@b>", 0, "<a@b>"},
        {"221 x15 <a@b>", -1, "<a@b>"},
        {"221", -1, ""},
    };
    for (const auto& [line, number, id] : cases) {
        TArticleHeader record;
        ApplyHeadStatus(line, record);
        EXPECT_EQ(record.Number, number) << line;
        EXPECT_EQ(record.MessageId, id) << line;
    }

    const std::tuple<const char*, const char*, int32_t> xrefs[] = {
        {"news.host alt.test:15 comp.misc:3", "alt.test", 15},
        {"news.host alt.test:15 comp.misc:3", "comp.misc", 3},
        {"news.host alt.test:15", "alt", 0},
        {"news.host alt.test:x", "alt.test", 0},
        {"news.host alt.test:-4", "alt.test", 0},
        {"", "alt.test", 0},
    };
    for (const auto& [xref, group, number] : xrefs) {
        EXPECT_EQ(NumberFromXref(xref, group), number) << xref << " / " << group;
    }
}

// Each line applied to a record whose texts read "-": the field it sets (-1: none) and its value.
TEST(HeaderLineTest, KnownHeadersLinesAndDate) {
    const std::tuple<const char*, int, const char*> cases[] = {
        {"Subject: Hello world", 0, "Hello world"},
        {"subject:  two blanks", 0, " two blanks"},
        {"SUBJECT:", 0, ""},
        {"Subject:\tTabbed", 0, "Tabbed"},
        {"From: A <a@b>", 1, "A <a@b>"},
        {"X-Comment-To: All", 2, "All"},
        {"Path: a!b!not-for-mail", 3, "a!b!not-for-mail"},
        {"Organization: Org", 4, "Org"},
        {"Subject:NoBlank", -1, ""},
        {" Subject: continuation", -1, ""},
        {"X-Subject: other", -1, ""},
        {"Lines: 42", 5, "42"},
        {"lines: 42 ", 5, "42"},
        {"Lines:42", -1, ""},
        {"Lines: many", -1, ""},
        {"Date: Sun, 05 Dec 1999 10:02:03 +0000", 6, "dated"},
    };
    for (const auto& [line, field, value] : cases) {
        TArticleHeader record;
        record.Subject = record.From = record.XCommentTo = record.PathHeader = "-";
        record.Organization = "-";
        THeaderExtras extras;
        ApplyHeaderLine(line, record, extras);
        Texts fields = {record.Subject, record.From, record.XCommentTo, record.PathHeader};
        fields.insert(fields.end(), {record.Organization, std::to_string(record.Lines),
                                     record.Date.dwHighDateTime != 0 ? "dated" : "-"});
        Texts expected = {"-", "-", "-", "-", "-", "0", "-"};
        if (field >= 0) expected[field] = value;
        EXPECT_EQ(fields, expected) << line;
    }
}

TEST(HeaderLineTest, CharsetRule) {
    const int koi8 = SlotIndex("koi8-r");
    const int windows = SlotIndex("windows-1251");
    ASSERT_GE(koi8, 0);
    const std::pair<Texts, int32_t> cases[] = {
        {{"Content-Type: text/plain; charset=\"koi8-r\""}, koi8},
        {{"Content-Type: text/plain; charset='KOI8-R'"}, koi8},
        {{"Content-Type: text/plain; CHARSET=koi8-r format=flowed"}, koi8},
        {{"Content-Type: text/plain; charset=koi8-r;"}, kNoSlot},
        {{"Content-Type: text/plain; charset=utf-7"}, kNoSlot},
        {{"Content-Type: text/plain;", "\tcharset=koi8-r"}, koi8},  // a continuation line
        {{"Content-Type: text/plain; charset=koi8-r", "X-Other: charset=windows-1251"}, windows},
        {{"Content-Type: text/plain; charset=\""}, kNoSlot},
        {{"Subject: charset=koi8-r"}, 99},  // known headers are not searched
        {{"Content-Type: text/plain"}, 99},
    };
    for (const auto& [lines, charTable] : cases) {
        TArticleHeader record;
        record.CharTable = 99;
        THeaderExtras extras;
        for (const std::string& line : lines) ApplyHeaderLine(line, record, extras);
        EXPECT_EQ(record.CharTable, charTable) << lines.back();
    }
}

// References with their continuation lines, and nothing else taken for them.
TEST(HeaderLineTest, ReferencesWithContinuationLines) {
    const std::pair<Texts, std::string> cases[] = {
        {{"References: <a@x> <b@x>"}, "<a@x> <b@x>"},
        {{"references:  <a@x>", "\t<b@x>", " <c@x>"}, " <a@x> <b@x> <c@x>"},
        {{"References: <a@x>", "Subject: s", " <not@x>"}, "<a@x>"},
        {{"Subject: s", " <not@x>", "X-References: <not@x>"}, ""},
        {{"References: <a@x>", "References: <b@x>"}, "<b@x>"},
        {{"References: " + std::string(kMaxReferencesText, 'x'), " <last@x>"},
         std::string(kMaxReferencesText - 9, 'x') + " <last@x>"},
    };
    for (const auto& [lines, references] : cases) {
        TArticleHeader record;
        THeaderExtras extras;
        for (const std::string& line : lines) ApplyHeaderLine(line, record, extras);
        EXPECT_EQ(extras.References, references) << lines.front().substr(0, 40);
    }
}

// The item: name from the decoded subject, size from Lines (never below 0), date, number, the
// identifier as description and five columns; header texts from the network show their control
// characters harmlessly. A subject the panel would take for its own folder or its parent gets a
// leading space in the name.
TEST(ArticleItemTest, FileWithFiveColumnsShowingControlsHarmlessly) {
    const struct {
        std::string value;  // of the subject, From and Organization
        int32_t lines;
        std::string shown;
        const char* name = nullptr;  // when not shown
    } cases[] = {
        {"=?us-ascii?Q?Hello_there?=", 30, "Hello there"},
        {"", -3, ""},
        {"\x1b]0;owned\x07 \x1b[2J", 1, "^[]0;owned^G ^[[2J"},
        {"=?utf-8?q?=1B]0;x=07?=", 1, "^[]0;x^G"},
        {"=?utf-8?q?a=0D=0AFrom:_forged?=", 1, "a  From: forged"},
        // UTF-8 without a table: its bytes 0x80-0x9F are letters of the OEM code page
        {"=?utf-8?q?=D0=9F=D1=80=D0=B8?=", 1, "\xD0\x9F\xD1\x80\xD0\xB8"},
        {"..", 1, "..", " .."},
        {".", 1, ".", " ."},
        {"...", 1, "..."},
        {".. x", 1, ".. x"},
    };
    TPanelItemList items;
    for (const auto& [value, lines, shown, name] : cases) {
        TArticleHeader article;
        article.Number = 12;
        article.Lines = lines;
        article.Date = FILETIME{1, 2};
        article.CharTable = kNoSlot;
        article.Subject = article.From = article.Organization = value;
        article.MessageId = article.PathHeader = "<\x1b[5m>";
        article.XCommentTo = "All";
        char record[TArticleHeader::kSize];
        article.Write(record);
        TArticleTables tables(lines == 30 ? SlotIndex("koi8-r") : kNoSlot);
        AddArticleItem(items, record, tables);
    }
    PluginPanelItem* array = nullptr;
    int count = 0;
    items.Release(array, count);
    ASSERT_EQ(count, static_cast<int>(std::size(cases)));
    for (int i = 0; i < count; ++i) {
        const auto& [value, lines, shown, name] = cases[i];
        const PluginPanelItem& item = array[i];
        std::string text = std::string(item.FindData.cFileName) + "|" + item.Description;
        for (uint32_t n : {item.FindData.dwFileAttributes, item.FindData.nFileSizeLow,
                           item.FindData.ftLastWriteTime.dwHighDateTime}) {
            text += "|" + std::to_string(n);
        }
        text += "|" + std::to_string(item.UserData);
        for (int c = 0; c < item.CustomColumnNumber; ++c)
            text += "|" + std::string(item.CustomColumnData[c]);
        EXPECT_EQ(text, (name ? name : shown) + "|<^[[5m>|32|" +
                            std::to_string(std::max(lines, 0)) + "|2|12|" + shown +
                            "|All|<^[[5m>|" + shown + (lines == 30 ? "|koi8-r" : "|.default"));
    }
    FreePanelItems(array, count);
}

}  // namespace
}  // namespace kestrova::testing
