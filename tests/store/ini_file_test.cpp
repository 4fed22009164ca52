#include "store/ini_file.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "common/raised.h"
#include "platform/profile_file.h"
#include "platform/temp_folder.h"

namespace kestrova {
namespace {

using platform::FindProfileValue;
using platform::SetProfileValue;

TEST(ProfileFileTest, FindsValuesWithoutRegardToCaseOrLineEnds) {
    const std::string text =
        "; comment=1\n[Other]\nUrl=wrong\r\n[ kestrova ]\r\n  URL = news.example.org  "
        "\r\nQuoted=\" a b \"\n"
        "NoEquals\nEmpty=\n[Kestrova]\nUrl=second section ignored\n";
    struct Case {
        const char* section;
        const char* ident;
        std::optional<std::string> expected;
    } cases[] = {
        {"Kestrova", "Url", "news.example.org"},
        {"KESTROVA", "url", "news.example.org"},
        {"Kestrova", "Quoted", " a b "},
        {"Kestrova", "Empty", ""},
        {"Kestrova", "NoEquals", std::nullopt},
        {"Kestrova", "; comment", std::nullopt},
        {"Other", "Url", "wrong"},
        {"Missing", "Url", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindProfileValue(text, c.section, c.ident), c.expected) << c.ident;
}

TEST(ProfileFileTest, WritingKeepsEverythingElse) {
    const std::string text = "; keep me\n[A]\nx=1\n\n[B]\r\ny=2";
    EXPECT_EQ(SetProfileValue(text, "a", "X", "9"), "; keep me\n[A]\nX=9\r\n\n[B]\r\ny=2");
    EXPECT_EQ(SetProfileValue(text, "A", "z", "3"), "; keep me\n[A]\nx=1\nz=3\r\n\n[B]\r\ny=2");
    EXPECT_EQ(SetProfileValue(text, "B", "z", "3"), "; keep me\n[A]\nx=1\n\n[B]\r\ny=2\r\nz=3\r\n");
    EXPECT_EQ(SetProfileValue(text, "C", "w", "4"),
              "; keep me\n[A]\nx=1\n\n[B]\r\ny=2\r\n\r\n[C]\r\nw=4\r\n");
    EXPECT_EQ(SetProfileValue("", "C", "w", "4"), "[C]\r\nw=4\r\n");
}

TEST(ProfileFileTest, EveryWrittenValueReadsBackTheSame) {
    for (const char* value :
         {"", "plain", " leading", "trailing\t", "\"quoted\"", "'single'", "a=b", "\x8A\xA8\xE0"}) {
        auto text = SetProfileValue("", "S", "v", value);
        ASSERT_TRUE(text.has_value()) << value;
        EXPECT_EQ(FindProfileValue(*text, "S", "v"), value);
    }
    // What cannot be written as one line is refused rather than written wrongly.
    EXPECT_FALSE(SetProfileValue("", "S", "v", "two\nlines"));
    EXPECT_FALSE(SetProfileValue("", "S", "a=b", "x"));
    EXPECT_FALSE(SetProfileValue("", "S]", "v", "x"));
    EXPECT_FALSE(SetProfileValue("", "S", "", "x"));
}

TEST(IniFileTest, MissingFileLongValueAndFailedWrite) {
    TempFolderForTest folder;
    const std::string path = folder.Path() + "/account.ini";
    EXPECT_EQ(Raised([&] { TIniFile(path, 0); }),
              "EFOpenError 0x20000000 : Cannot open file '" + path + "'");
    TIniFile(path, 0xFFFF).WriteString("Kestrova", "Long", std::string(2000, 'x'));
    EXPECT_EQ(TIniFile(path, 0).ReadString("kestrova", "long", ""), std::string(1023, 'x'));
    // A plain exception, not an item failure.
    const std::string unwritable = "/nonexistent-folder/account.ini";
    EXPECT_EQ(Raised([&] { TIniFile(unwritable, 0xFFFF).WriteString("Kestrova", "Url", "x"); }),
              "Exception: Unable to write to '" + unwritable + "'");
}

}  // namespace
}  // namespace kestrova
