#include "ui/char_tables.h"

#include <gtest/gtest.h>

#include <string>

#include "module_settings.h"
#include "platform/codepages.h"
#include "store/reg_ini_file.h"

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
    // An old host: a service table without AdvControl announces itself by its size.
    void UseOldHost() {
        StartupInfo.AdvControl = nullptr;
        StartupInfo.StructSize = 324;
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
    UseOldHost();
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

TEST_F(CharTablesTest, EncodedWordsDecodeThroughTheHostTable) {
    // "Привет" in KOI8-R, Base64 and quoted-printable; expected in CP866.
    const std::string cp866 = "\x8F\xE0\xA8\xA2\xA5\xE2";
    ASSERT_EQ(platform::OemCodePage(), 866);
    std::string result = "untouched";
    ASSERT_TRUE(DecodeEncodedWord("=?koi8-r?B?8NLJ18XU?=", result));
    EXPECT_EQ(result, cp866);
    ASSERT_TRUE(DecodeEncodedWord("=?KOI8-R?q?=F0=D2=C9=D7=C5=D4_1?= tail dropped", result));
    EXPECT_EQ(result, cp866 + " 1");
    ASSERT_TRUE(DecodeEncodedWord("=?utf-8?B?YWJj?=", result));  // no slot: bytes as decoded
    EXPECT_EQ(result, "abc");

    result = "untouched";
    for (const char* text : {"=?koi8-r?X?8NLJ18XU?=", "Re: =?koi8-r?B?8NLJ18XU?=",
                             "=?koi8-r?BB?8NLJ?=", "=?koi8-r?B?", "plain"})
        EXPECT_FALSE(DecodeEncodedWord(text, result)) << text;
    EXPECT_EQ(result, "untouched");
}

TEST_F(CharTablesTest, BufferConversions) {
    const std::string cp1251 = "\xCF\xF0\xE8\xE2\xE5\xF2";  // "Привет"
    const std::string cp866 = "\x8F\xE0\xA8\xA2\xA5\xE2";
    struct Case {
        int code;
        std::string in;
        std::string decoded;
    } cases[] = {
        {-4, cp1251, cp1251}, {-3, cp1251, cp1251}, {-1, cp1251, cp1251},
        {-2, cp1251, cp866},  {1, cp1251, cp866},   {7, cp1251, cp1251},  // no host table 7
    };
    for (const Case& c : cases) {
        std::string buffer = c.in;
        DecodeBuffer(c.code, buffer.data(), static_cast<int>(buffer.size()));
        EXPECT_EQ(buffer, c.decoded) << c.code;
        EncodeBuffer(c.code, buffer.data(), static_cast<int>(buffer.size()));
        EXPECT_EQ(buffer, c.in) << c.code;
    }
}

}  // namespace
}  // namespace kestrova
