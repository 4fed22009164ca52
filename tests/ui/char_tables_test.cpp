#include "ui/char_tables.h"

#include <gtest/gtest.h>

#include <string>

#include "module_settings.h"
#include "platform/codepages.h"
#include "store/reg_ini_file.h"
#include "ui/encoded_words.h"

namespace kestrova {
namespace {

// The slot and table menus and saving the slots are checked by the configuration scripts.
class CharTablesTest : public ::testing::Test {
  protected:
    // The slots loaded after storing count of them, as "name=tables" each.
    std::string Loaded(int count) {
        TRegIniFile ini(FrameworkKey);
        ini.EraseSection("CHARTABLES");
        for (int i = 0; i < count; ++i)
            ini.WriteString("CHARTABLES", "s" + std::to_string(i), "t" + std::to_string(i));
        LoadSlots();
        std::string shown;
        for (const auto& slot : CharsetSlots)
            shown += slot.CharsetNames + "=" + slot.CharsetTables + " ";
        return shown;
    }

    testing::ModuleSettings settings_;
};

// The codes of table names, then the names of codes, as the host at hand knows them.
std::string CodesAndNames() {
    std::string shown;
    for (const char* name : {".default", ".DOS (OEM)", ".windows (ansi)", ".autodetect", "koi-8",
                             "ISO 8859-5 (Unix russian)", "CP-1251 (Windows russian)", ""})
        shown += std::to_string(TableCodeOf(name)) + " ";
    for (int code : {-3, -2, -1, 0, 1, 3}) shown += "|" + TableCodeName(code);
    return shown;
}

TEST_F(CharTablesTest, TableCodesAndNames) {
    // One blank instead of three is another name; the host has no table 3.
    EXPECT_EQ(CodesAndNames(),
              "-4 -3 -2 -1 0 2 -4 -4 |.dos (OEM)|.windows (ANSI)|.autodetect|KOI-8|"
              "CP-1251   (Windows russian)|.default");
    // An old host: a service table without AdvControl announces itself by its size.
    StartupInfo.AdvControl = nullptr;
    StartupInfo.StructSize = 324;
    EXPECT_EQ(CodesAndNames(),
              "-4 -3 -2 -4 -4 -4 -4 -4 |.dos (OEM)|.windows (ANSI)|.default|.default|.default|"
              ".default");
}

TEST_F(CharTablesTest, StoredSlotsReplaceTheBuiltInOnes) {
    LoadSlots();  // no section: the built-in slots stay
    EXPECT_EQ(CharsetSlots[2].CharsetNames, "iso-8859-5");
    EXPECT_EQ(Loaded(12), "s0=t0 s1=t1 s2=t2 s3=t3 s4=t4 s5=t5 s6=t6 s7=t7 s8=t8 s9=t9 ");
    EXPECT_EQ(Loaded(2), "s0=t0 s1=t1 = = = = = = = = ");
}

// Header texts and group names: encoded words by their own charset, well-formed UTF-8 as it is,
// other 8-bit text by the fallback table's slot.
TEST_F(CharTablesTest, OutsideTextBecomesUtf8) {
    ASSERT_EQ(platform::OemCodePage(), platform::kUtf8CodePage);
    const std::string privetKoi8 = "\xF0\xD2\xC9\xD7\xC5\xD4";
    const std::string privetCp1251 = "\xCF\xF0\xE8\xE2\xE5\xF2";
    struct Case {
        std::string in;
        int fallback;
        std::string shown;
    } cases[] = {
        {"=?koi8-r?B?8NLJ18XU?=", -4, "Привет"},
        {"Re: =?KOI8-R?q?=F0=D2=C9=D7=C5=D4_1?= tail", -4, "Re: Привет 1 tail"},
        {"=?utf-8?B?R3LDvMOfZQ==?= =?iso-8859-1?Q?_na=EFve?=", -4, "Grüße naïve"},
        {"=?gb18030?B?1tDOxA==?= x", -4, "中文 x"},
        {"=?x-unknown?B?YWJj?= =?koi8-r?X?8NLJ?=", -4, "=?x-unknown?B?YWJj?= =?koi8-r?X?8NLJ?="},
        {"Grüße, Привет 😀", 0, "Grüße, Привет 😀"},  // unlabelled UTF-8 wins over KOI-8
        {privetKoi8, 0, "Привет"},
        {privetCp1251, 1, "Привет"},
        {"a" + privetCp1251.substr(0, 2), -4, "a\uFFFD\uFFFD"},  // no set: marked, not passed on
    };
    for (const Case& c : cases) EXPECT_EQ(DecodeHeaderText(c.in, c.fallback), c.shown) << c.in;
}

TEST_F(CharTablesTest, HeaderTextsAreWrittenAsFoldedEncodedWords) {
    std::string out;
    char32_t missing = 0;
    ASSERT_TRUE(EncodeHeaderText("plain", "utf-8", false, out, missing));
    EXPECT_EQ(out, "plain");
    ASSERT_TRUE(EncodeHeaderText("Grüße", "utf-8", false, out, missing));
    EXPECT_EQ(out, "=?utf-8?B?R3LDvMOfZQ==?=");
    ASSERT_TRUE(EncodeHeaderText("Привет", "koi8-r", false, out, missing));
    EXPECT_EQ(out, "=?koi8-r?B?8NLJ18XU?=");
    // A long text: short lines, each word whole characters, the text back exactly.
    std::string text;
    for (int i = 0; i < 12; ++i) text += "中文 Ελληνικά ";
    ASSERT_TRUE(EncodeHeaderText(text, "utf-8", false, out, missing));
    size_t lines = 0;
    for (size_t start = 0, end; start != std::string::npos; start = end, ++lines) {
        end = out.find("\r\n ", start);
        EXPECT_LE((end == std::string::npos ? out.size() : end) - start, 62u);
        if (end != std::string::npos) end += 3;
    }
    EXPECT_GT(lines, 4u);
    EXPECT_EQ(DecodeHeaderText(out, -4), text);
    // Nothing is replaced: the first character the set lacks is named.
    EXPECT_FALSE(EncodeHeaderText("Привет α", "koi8-r", false, out, missing));
    EXPECT_EQ(missing, U'α');
    EXPECT_TRUE(out.empty());
}

TEST_F(CharTablesTest, BodiesAreEncodedInTheSlotsSetOrRefused) {
    EXPECT_EQ(EncodeText(0, "Привет"), "\xF0\xD2\xC9\xD7\xC5\xD4");  // koi8-r
    EXPECT_EQ(EncodeText(kNoSlot, "Grüße 中文"), "Grüße 中文");      // utf-8
    EXPECT_EQ(SendingCharset(kNoSlot), "utf-8");
    // The message (which names the character, its code point and the set) is shown by the
    // posting scripts; windows-1251 holds no Chinese.
    EXPECT_THROW(EncodeText(1, "Привет, 中文"), ECharsetError);
}

}  // namespace
}  // namespace kestrova
