// The header record byte for byte, HEAD status and header lines, Xref numbers and the article's
// panel item.
#include "news/article_header.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ui/char_tables.h"
#include "ui/panel_items.h"

namespace kestrova::testing {
namespace {

TEST(ArticleHeaderTest, LayoutIsPackedLittleEndian) {
    TArticleHeader record;
    record.Number = 7;
    record.MessageId = "<1@x>";
    record.Subject = "hello";
    record.Lines = 0x0102;
    record.Date = FILETIME{0x11223344, 0x55667788};
    record.From = "a@b";
    record.XCommentTo = "c";
    record.PathHeader = "p!q";
    record.Organization = "org";
    record.CharTable = -4;
    record.Flags = kRefreshHeader;
    std::vector<char> bytes(TArticleHeader::kSize, 'x');
    record.Write(bytes.data());

    ASSERT_EQ(TArticleHeader::kSize, 1182u);
    struct Field {
        size_t offset;
        std::string text;
    };
    const Field texts[] = {{4, "<1@x>"}, {261, "hello"}, {530, "a@b"},
                           {659, "c"},   {788, "p!q"},   {1045, "org"}};
    for (const Field& f : texts) EXPECT_EQ(std::string(bytes.data() + f.offset), f.text);
    auto at = [&](size_t offset, size_t size) {
        return std::vector<char>(bytes.begin() + offset, bytes.begin() + offset + size);
    };
    EXPECT_EQ(at(0, 4), (std::vector<char>{7, 0, 0, 0}));
    EXPECT_EQ(at(518, 4), (std::vector<char>{2, 1, 0, 0}));
    EXPECT_EQ(at(522, 8), (std::vector<char>{0x44, 0x33, 0x22, 0x11, '\x88', 0x77, 0x66, 0x55}));
    EXPECT_EQ(at(1174, 4), (std::vector<char>{'\xFC', '\xFF', '\xFF', '\xFF'}));
    EXPECT_EQ(at(1178, 4), (std::vector<char>{0, 2, 0, 0}));

    const TArticleHeader back = TArticleHeader::Read(bytes.data());
    EXPECT_EQ(back.Number, 7);
    EXPECT_EQ(back.Subject, "hello");
    EXPECT_EQ(back.Date.dwHighDateTime, 0x55667788u);
    EXPECT_EQ(back.CharTable, -4);
    EXPECT_EQ(back.Flags, kRefreshHeader);
}

TEST(ArticleHeaderTest, LongTextsAreCutToTheirFields) {
    TArticleHeader record;
    record.Subject = std::string(300, 's');
    record.From = std::string(200, 'f');
    std::vector<char> bytes(TArticleHeader::kSize);
    record.Write(bytes.data());
    const TArticleHeader back = TArticleHeader::Read(bytes.data());
    EXPECT_EQ(back.Subject, std::string(256, 's'));
    EXPECT_EQ(back.From, std::string(128, 'f'));
    EXPECT_EQ(back.XCommentTo, "");  // the cut text did not run into the next field
}

TEST(HeadStatusTest, NumberAndIdentifier) {
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
}

TEST(HeaderLineTest, KnownHeaders) {
    struct Case {
        const char* line;
        std::string TArticleHeader::*field;
        const char* value;
    };
    const Case cases[] = {
        {"Subject: Hello world", &TArticleHeader::Subject, "Hello world"},
        {"subject:  two blanks", &TArticleHeader::Subject, " two blanks"},
        {"SUBJECT:", &TArticleHeader::Subject, ""},
        {"Subject:\tTabbed", &TArticleHeader::Subject, "Tabbed"},
        {"From: A <a@b>", &TArticleHeader::From, "A <a@b>"},
        {"X-Comment-To: All", &TArticleHeader::XCommentTo, "All"},
        {"Path: a!b!not-for-mail", &TArticleHeader::PathHeader, "a!b!not-for-mail"},
        {"Organization: Org", &TArticleHeader::Organization, "Org"},
        {"Subject:NoBlank", &TArticleHeader::Subject, "unchanged"},
        {" Subject: continuation", &TArticleHeader::Subject, "unchanged"},
        {"X-Subject: other", &TArticleHeader::Subject, "unchanged"},
    };
    for (const Case& c : cases) {
        TArticleHeader record;
        record.Subject = record.From = record.XCommentTo = record.PathHeader = record.Organization =
            "unchanged";
        THeaderExtras extras;
        ApplyHeaderLine(c.line, record, extras);
        EXPECT_EQ(record.*c.field, c.value) << c.line;
    }
}

TEST(HeaderLineTest, LinesAndDate) {
    const std::pair<const char*, int32_t> lines[] = {
        {"Lines: 42", 42}, {"lines: 42 ", 42}, {"Lines:42", 0}, {"Lines: many", 0}, {"Lines:", 0}};
    for (const auto& [line, expected] : lines) {
        TArticleHeader record;
        THeaderExtras extras;
        ApplyHeaderLine(line, record, extras);
        EXPECT_EQ(record.Lines, expected) << line;
    }
    TArticleHeader record;
    THeaderExtras extras;
    ApplyHeaderLine("Date: Sun, 05 Dec 1999 10:02:03 +0000", record, extras);
    EXPECT_NE(record.Date.dwHighDateTime, 0u);
}

TEST(HeaderLineTest, CharsetRule) {
    struct Case {
        std::vector<const char*> lines;
        int32_t charTable;
    };
    const int koi8 = SlotIndex("koi8-r");
    const int windows = SlotIndex("windows-1251");
    ASSERT_GE(koi8, 0);
    const Case cases[] = {
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
    for (const Case& c : cases) {
        TArticleHeader record;
        record.CharTable = 99;
        THeaderExtras extras;
        for (const char* line : c.lines) ApplyHeaderLine(line, record, extras);
        EXPECT_EQ(record.CharTable, c.charTable) << c.lines.back();
    }
}

TEST(XrefTest, NumberInTheGroup) {
    const std::tuple<const char*, const char*, int32_t> cases[] = {
        {"news.host alt.test:15 comp.misc:3", "alt.test", 15},
        {"news.host alt.test:15 comp.misc:3", "comp.misc", 3},
        {"news.host alt.test:15", "alt", 0},
        {"news.host alt.test:x", "alt.test", 0},
        {"news.host alt.test:-4", "alt.test", 0},
        {"", "alt.test", 0},
    };
    for (const auto& [xref, group, number] : cases) {
        EXPECT_EQ(NumberFromXref(xref, group), number) << xref << " / " << group;
    }
}

TEST(ArticleItemTest, FileWithFiveColumns) {
    TArticleHeader article;
    article.Number = 12;
    article.MessageId = "<12@x>";
    article.Subject = "=?us-ascii?Q?Hello_there?=";
    article.Lines = 30;
    article.Date = FILETIME{1, 2};
    article.From = "Ann <ann@x>";
    article.XCommentTo = "All";
    article.PathHeader = "a!b";
    article.Organization = "Org";
    article.CharTable = kNoSlot;
    TPanelItemList items;
    AddArticleItem(items, article, SlotIndex("koi8-r"));
    article.Lines = -3;
    article.Subject = "";
    AddArticleItem(items, article, kNoSlot);
    PluginPanelItem* array = nullptr;
    int count = 0;
    items.Release(array, count);
    ASSERT_EQ(count, 2);

    const PluginPanelItem& item = array[0];
    EXPECT_STREQ(item.FindData.cFileName, "Hello there");
    EXPECT_EQ(item.FindData.dwFileAttributes, 0x20u);
    EXPECT_EQ(item.FindData.nFileSizeLow, 30u);
    EXPECT_EQ(item.FindData.ftCreationTime.dwHighDateTime, 2u);
    EXPECT_EQ(item.FindData.ftLastWriteTime.dwLowDateTime, 1u);
    EXPECT_EQ(item.UserData, 12);
    EXPECT_STREQ(item.Description, "<12@x>");
    ASSERT_EQ(item.CustomColumnNumber, 5);
    const std::vector<std::string> columns(item.CustomColumnData, item.CustomColumnData + 5);
    EXPECT_EQ(columns, (std::vector<std::string>{"Ann <ann@x>", "All", "a!b", "Org", "koi8-r"}));

    EXPECT_STREQ(array[1].FindData.cFileName, "");
    EXPECT_EQ(array[1].FindData.nFileSizeLow, 0u);
    EXPECT_STREQ(array[1].CustomColumnData[4], ".default");
    FreePanelItems(array, count);
}

TEST(ArticleItemTest, HeaderTextsShowTheirControlCharactersHarmlessly) {
    const std::pair<std::string, std::string> cases[] = {
        {"\x1b]0;owned\x07 \x1b[2J", "^[]0;owned^G ^[[2J"},
        {"=?utf-8?q?=1B]0;x=07?=", "^[]0;x^G"},
        {"=?utf-8?q?a=0D=0AFrom:_forged?=", "a  From: forged"},
        // UTF-8 without a table: its bytes 0x80-0x9F are letters of the OEM code page
        {"=?utf-8?q?=D0=9F=D1=80=D0=B8?=", "\xD0\x9F\xD1\x80\xD0\xB8"},
    };
    TPanelItemList items;
    for (const auto& [value, shown] : cases) {
        TArticleHeader article;
        article.Subject = article.From = article.Organization = value;
        article.MessageId = article.PathHeader = "<\x1b[5m>";
        AddArticleItem(items, article, kNoSlot);
    }
    PluginPanelItem* array = nullptr;
    int count = 0;
    items.Release(array, count);
    ASSERT_EQ(count, 4);
    for (int i = 0; i < count; ++i) {
        const PluginPanelItem& item = array[i];
        const std::string& shown = cases[i].second;
        EXPECT_EQ(item.FindData.cFileName, shown);
        EXPECT_EQ(item.CustomColumnData[0], shown);
        EXPECT_EQ(item.CustomColumnData[3], shown);
        EXPECT_STREQ(item.Description, "<^[[5m>");
        EXPECT_STREQ(item.CustomColumnData[2], "<^[[5m>");
    }
    FreePanelItems(array, count);
}

}  // namespace
}  // namespace kestrova::testing
