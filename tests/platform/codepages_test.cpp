#include "platform/codepages.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/codepage_tables.h"
#include "platform/scoped_environment.h"

namespace kestrova::platform {
namespace {

using namespace std::string_literals;

// "Привет" in the code pages that hold Cyrillic.
constexpr char kPrivetOem866[] = "\x8F\xE0\xA8\xA2\xA5\xE2";
constexpr char kPrivetAnsi1251[] = "\xCF\xF0\xE8\xE2\xE5\xF2";
constexpr char kPrivetUtf8[] = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";

class CodePagesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        environment_.Set("KESTROVA_OEMCP", nullptr);
        environment_.Set("KESTROVA_ANSICP", nullptr);
    }
    ScopedEnvironment environment_;
};

TEST_F(CodePagesTest, EveryMappedByteOfEveryPageSurvivesTheTripThroughUtf8) {
    for (int codePage : kSupportedCodePages) {
        char32_t table[256];
        ASSERT_TRUE(CodePageTable(codePage, table)) << codePage;
        int mapped = 0;
        for (int byte = 0; byte < 256; ++byte) {
            if (table[byte] == 0xFFFD) continue;
            ++mapped;
            const std::string original(1, static_cast<char>(byte));
            const std::string utf8 = CodePageToUtf8(original, codePage);
            EXPECT_EQ(Utf8ToCodePage(utf8, codePage), original) << codePage << " byte " << byte;
        }
        EXPECT_GE(mapped, 251) << codePage;  // only 1251 and 1252 have holes
    }
}

TEST_F(CodePagesTest, BytesMapToTheirKnownCharacters) {
    const struct {
        int codePage;
        unsigned char byte;
        char32_t character;
    } cases[] = {
        {866, 0x80, U'А'},   {866, 0xF0, U'Ё'},    {866, 0xC4, U'─'},   {866, 0xFC, U'№'},
        {437, 0x82, U'é'},   {437, 0xE1, U'ß'},    {850, 0x9B, U'ø'},   {850, 0xD5, U'ı'},
        {1251, 0xC0, U'А'},  {1251, 0xA8, U'Ё'},   {1251, 0xB9, U'№'},  {1251, 0x98, 0xFFFD},
        {1252, 0x80, U'€'},  {1252, 0x81, 0xFFFD}, {1252, 0xDF, U'ß'},  {20866, 0xE1, U'А'},
        {20866, 0xC1, U'а'}, {20866, 0xB3, U'Ё'},  {28595, 0xB0, U'А'}, {28595, 0xA1, U'Ё'},
        {28595, 0xF0, U'№'}, {866, 'A', U'A'},     {28595, 0x80, 0x80},
    };
    for (const auto& c : cases) {
        char32_t table[256];
        ASSERT_TRUE(CodePageTable(c.codePage, table));
        EXPECT_EQ(table[c.byte], c.character) << c.codePage << " byte " << int(c.byte);
    }
}

TEST_F(CodePagesTest, ConversionsOfKnownTextsAndRefusedPages) {
    environment_.Set("KESTROVA_OEMCP", "866");
    environment_.Set("KESTROVA_ANSICP", "1251");
    const std::pair<std::string, std::string> cases[] = {
        {OemToAnsi(kPrivetOem866), kPrivetAnsi1251},
        {Utf8ToOem(kPrivetUtf8), kPrivetOem866},
        {OemToUtf8(kPrivetOem866), kPrivetUtf8},
        {OemToAnsi("a\0b\x80"s), "a\0b\xC0"s},  // the length and an embedded NUL kept
        {OemToUtf8("a\0b\x80"s), "a\0b\xD0\x90"s},
        {Utf8ToOem(""), ""},
        // Characters without an equivalent become question marks.
        {OemToAnsi("\xB0x\xC4"), "?x?"},                  // box drawing
        {AnsiToOem("\x88"), "?"},                         // the euro sign
        {CodePageToUtf8("\x98", 1251), "?"},              // an undefined byte
        {Utf8ToOem("\xCE\xB1"), "?"},                     // a Greek letter
        {Utf8ToOem("a\xF0\x9F\x98\x80z"), "a?z"},         // beyond the BMP counts once
        {Utf8ToCodePage("\xF0\x90\x90\x96", 1251), "?"},  // beyond the BMP, a letter's low bits
        {ConvertCodePage("\xF0\xD2\xC9\xD7\xC5\xD4", 20866, 866), kPrivetOem866},     // KOI8-R
        {ConvertCodePage("\xBF\xE0\xD8\xD2\xD5\xE2", 28595, 1251), kPrivetAnsi1251},  // ISO 8859-5
    };
    for (const auto& [converted, expected] : cases) EXPECT_EQ(converted, expected);
    environment_.Set("KESTROVA_OEMCP", "437");
    environment_.Set("KESTROVA_ANSICP", "1252");
    EXPECT_EQ(OemToAnsi("\x82\xE1\xB0"), "\xE9\xDF?");  // é ß and a shade block
    EXPECT_EQ(Utf8ToOem("\xC3\xA9"), "\x82");
    // Unsupported pages are refused.
    char32_t table[256];
    EXPECT_FALSE(CodePageTable(1250, table));
    EXPECT_THROW(ConvertCodePage("x", 866, 1250), std::invalid_argument);
    EXPECT_THROW(CodePageToUtf8("x", 0), std::invalid_argument);
    EXPECT_FALSE(CodePageTable(kUtf8CodePage, table));
}

TEST_F(CodePagesTest, IllFormedUtf8BecomesOneQuestionMarkPerBadSequence) {
    environment_.Set("KESTROVA_OEMCP", "866");
    const struct {
        const char* what;
        std::string input;
        std::string expected;
    } cases[] = {
        {"stray continuation byte", "a\x80z", "a?z"},
        {"overlong slash", "\xC0\xAF", "??"},
        {"overlong three-byte form", "\xE0\x80\xAF", "???"},
        {"truncated at the end", "ab\xD0", "ab?"},
        {"truncated before ASCII", "\xE2\x82x", "?x"},
        {"truncated before a valid letter", "\xD0\xD0\x90", "?\x80"},
        {"surrogate", "\xED\xA0\x80", "???"},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", "????"},
        {"invalid lead byte", "\xFF\xFE", "??"},
        {"valid Cyrillic around bad bytes", "\xD0\x90\xFF\xD1\x8F", "\x80?\xEF"},
    };
    for (const auto& c : cases) EXPECT_EQ(Utf8ToOem(c.input), c.expected) << c.what;
}

TEST_F(CodePagesTest, EnvironmentChoosesSupportedPagesOnly) {
    const struct {
        const char* oem;
        const char* ansi;
        int expectedOem;
        int expectedAnsi;
    } cases[] = {
        {"437", "1252", 437, 1252},       {"20866", "28595", 20866, 28595},
        {"1250", "999999", 65001, 65001}, {"abc", "1252x", 65001, 65001},
        {"", "-1251", 65001, 65001},      {"65001", "866", 65001, 866},
    };
    for (const auto& c : cases) {
        environment_.Set("KESTROVA_OEMCP", c.oem);
        environment_.Set("KESTROVA_ANSICP", c.ansi);
        EXPECT_EQ(OemCodePage(), c.expectedOem) << c.oem;
        EXPECT_EQ(AnsiCodePage(), c.expectedAnsi) << c.ansi;
    }
}

// The text model: UTF-8 is the OEM and the ANSI code page; text passes through them unchanged,
// ill-formed sequences marked, and converts to and from the single-byte pages.
TEST_F(CodePagesTest, Utf8IsTheDefaultOemAndAnsiCodePage) {
    EXPECT_EQ(OemCodePage(), kUtf8CodePage);
    EXPECT_EQ(AnsiCodePage(), kUtf8CodePage);
    const std::pair<std::string, std::string> cases[] = {
        {OemToUtf8("Grüße 中文 😀"), "Grüße 中文 😀"},
        {Utf8ToOem("a\xFFz"), "a\uFFFDz"},
        {OemToAnsi("Привет"), "Привет"},
        {ConvertCodePage(kPrivetOem866, 866, kUtf8CodePage), kPrivetUtf8},
        {ConvertCodePage(kPrivetUtf8, kUtf8CodePage, 1251), kPrivetAnsi1251},
        {CodePageCharset(20866) + CodePageCharset(1251) + CodePageCharset(kUtf8CodePage),
         "KOI8-RCP1251UTF-8"},
    };
    for (const auto& [converted, expected] : cases) EXPECT_EQ(converted, expected);
}

}  // namespace
}  // namespace kestrova::platform
