// UTF-8 inside: conversions through iconv, display widths, fields cut on character boundaries.
#include <gtest/gtest.h>

#include "platform/charset_conversion.h"
#include "platform/display_width.h"
#include "platform/utf8.h"

namespace kestrova::platform {
namespace {

TEST(CharsetConversionTest, KnownTextsInTheirSetsBecomeUtf8) {
    struct Case {
        const char* charset;
        std::string bytes;
        std::string utf8;
    } cases[] = {
        {"KOI8-R", "\xF0\xD2\xC9\xD7\xC5\xD4", "Привет"},
        {"windows-1251", "\xCF\xF0\xE8\xE2\xE5\xF2", "Привет"},
        {"iso-8859-1", "Gr\xFC\xDF\x65", "Grüße"},
        {"iso-8859-7", "\xC5\xEB\xEB\xE7\xED\xE9\xEA\xDC", "Ελληνικά"},
        {"GB18030", "\xD6\xD0\xCE\xC4", "中文"},
        {"Big5", "\xA4\xA4\xA4\xE5", "中文"},
        {"Shift_JIS", "\x93\xFA\x96\x7B", "日本"},
        {"EUC-KR", "\xC7\xD1\xB1\xDB", "한글"},
        {"utf-8", "a\xF0\x9F\x98\x80", "a😀"},
        // Bytes the set does not define, or a character cut off at the end, are marked once each.
        {"utf-8",
         "a\xFF"
         "b\xE4\xB8",
         "a\uFFFDb\uFFFD"},
        {"Shift_JIS", "x\x82", "x\uFFFD"},
    };
    for (const Case& c : cases) {
        const std::optional<std::string> utf8 = ToUtf8(c.bytes, c.charset);
        ASSERT_TRUE(utf8.has_value()) << c.charset;
        EXPECT_EQ(*utf8, c.utf8) << c.charset;
    }
    // Names from outside never reach iconv's own suffixes.
    for (const char* name : {"x-unknown", "", "UTF-8//TRANSLIT", "utf-8//IGNORE", "utf 8"}) {
        EXPECT_FALSE(ToUtf8("abc", name).has_value()) << name;
        EXPECT_FALSE(IsKnownCharset(name)) << name;
    }
}

TEST(CharsetConversionTest, EncodingReplacesNothingAndNamesWhatIsMissing) {
    EncodedText koi8 = FromUtf8("Привет", "koi8-r");
    EXPECT_EQ(koi8.Bytes, "\xF0\xD2\xC9\xD7\xC5\xD4");
    EXPECT_EQ(koi8.Missing, 0u);
    koi8 = FromUtf8("Привет α", "koi8-r");
    EXPECT_EQ(koi8.Missing, U'α');
    EXPECT_EQ(FromUtf8("😀", "iso-8859-1").Missing, U'😀');
    // A stateful set returns to ASCII at the end of the text.
    const EncodedText jis = FromUtf8("日本", "ISO-2022-JP");
    EXPECT_EQ(jis.Missing, 0u);
    EXPECT_TRUE(jis.Bytes.ends_with("\x1B(B")) << jis.Bytes;
    EXPECT_EQ(ToUtf8(jis.Bytes, "ISO-2022-JP"), "日本");
    EXPECT_FALSE(FromUtf8("x", "no-such-set").KnownCharset);
}

TEST(DisplayWidthTest, WideCharactersTakeTwoColumnsAndMarksNone) {
    struct Case {
        std::string text;
        int width;
    } cases[] = {
        {"abc", 3},      {"Привет", 6}, {"中文", 4},     {"e\u0301", 1}, {"😀", 2},
        {"a\u200Bb", 2}, {"한글", 4},   {"Ｆｕｌｌ", 8}, {"\xFF", 1},    {"", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(TextWidth(c.text), c.width) << c.text;
}

TEST(DisplayWidthTest, CutsFallBetweenCharactersAndNeverHalveAWideOne) {
    EXPECT_EQ(PrefixForWidth("中文x", 3), 3u);     // "中" only: "文" would cross the edge
    EXPECT_EQ(PrefixForWidth("e\u0301x", 1), 3u);  // the mark stays with its letter
    EXPECT_EQ(SuffixForWidth("x中文", 3), 4u);     // "文" only
    EXPECT_EQ(FitToWidth("中文", 3), "中 ");
    EXPECT_EQ(FitToWidth("ab", 4), "ab  ");
    EXPECT_EQ(FitToWidth("Grüße", 3), "Grü");
}

TEST(Utf8Test, FixedFieldsAreCutOnCharacterBoundaries) {
    struct Case {
        std::string text;
        size_t limit;
        size_t length;
    } cases[] = {
        {"abc", 5, 3},
        {"aПб", 2, 1},
        {"aПб", 3, 3},
        {"中文", 4, 3},
        {"a😀", 4, 1},
        {"a😀", 5, 5},
        {"\x80\x80\x80\x80\x80x", 3, 3},
    };
    for (const Case& c : cases) EXPECT_EQ(Utf8PrefixLength(c.text, c.limit), c.length) << c.text;
    EXPECT_TRUE(IsValidUtf8("Grüße 中文 😀"));
    EXPECT_FALSE(IsValidUtf8("a\xC3"));
    EXPECT_TRUE(IsValidUtf8("\uFFFD"));
    EXPECT_EQ(ValidUtf8("a\xC0\xAFz"), "a\uFFFD\uFFFDz");
}

}  // namespace
}  // namespace kestrova::platform
