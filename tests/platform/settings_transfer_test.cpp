#include "platform/settings_transfer.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "platform/fresh_store.h"
#include "platform/settings_store.h"

namespace kestrova {
namespace {

using namespace std::string_literals;
using namespace platform;

std::string ExportToText(const std::string& path) {
    ExportSettings(path);
    return FileBytes(path);
}

class SettingsTransferTest : public ::testing::Test {
  protected:
    std::string File(const char* name) { return files_.Path() + "/" + name; }
    TempFolderForTest files_;
    FreshStore store_;
};

// Every kind of value, escapes and names outside ASCII go through an import and an export in
// the host's settings transfer test.
TEST_F(SettingsTransferTest, AMalformedFileChangesNothingAndNamesItsLine) {
    PutValue("Keep", "v", REG_SZ, "old\0"s);
    const std::string before = ExportToText(File("before.reg"));
    std::string deep = "REGEDIT4\n[HKEY_CURRENT_USER";
    for (size_t i = 0; i <= kMaxKeyDepth; ++i) deep += "\\k";
    const std::pair<std::string, int> cases[] = {
        {"REGEDIT5\r\n", 1},
        {"REGEDIT4\r\n\"v\"=\"x\"\r\n", 2},
        {"REGEDIT4\r\n[HKEY_CURRENT_USER\\Keep]\r\n\"v\"=\"new\"\r\n[HKEY_LOCAL_MACHINE\\X]\r\n",
         4},
        {"REGEDIT4\r\n[HKEY_CURRENT_USER\\Keep]\r\n\"v\"=\"new\"\r\n\"w\"=dword:123456789\r\n", 4},
        {"REGEDIT4\r\n\r\n; note\r\n[HKEY_CURRENT_USER\\Keep]\r\n\"v\"=hex:0,1\r\n", 5},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\Keep]\n\"v\"=hex:00,\\\n  01,zz\n", 3},
        {"REGEDIT4\n[-HKEY_CURRENT_USER\\Keep]\n[HKEY_CURRENT_USER\\Keep\n", 3},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\Keep]\n\"v\"=\"unterminated\n", 3},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\Keep]\n\"v\"=\"bad \\n escape\"\n", 3},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\Keep]\n\"v\" \"no equals\"\n", 3},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\Keep]\n\"v\"=word:1\n", 3},
        {"REGEDIT4\n[-HKEY_CURRENT_USER\\Keep]\n\"v\"=\"into a deleted key\"\n", 3},
        {"REGEDIT4\n[-HKEY_CURRENT_USER]\n", 2},
        // Names the export could not write back: control characters, NUL, too deep a key.
        {"REGEDIT4\n[HKEY_CURRENT_USER\\Keep]\n\"a\x01b\"=\"x\"\n", 3},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\Ke\177ep]\n", 2},
        {"REGEDIT4\n\n[HKEY_CURRENT_USER\\K\0ep]\n"s, 3},
        {deep + "]\n", 2},
    };
    for (const auto& [text, line] : cases) {
        WriteFileBytes(File("bad.reg"), text);
        try {
            ImportSettings(File("bad.reg"));
            ADD_FAILURE() << "accepted: " << text.substr(0, 80);
        } catch (const SettingsTransferError& e) {
            EXPECT_NE(std::string(e.what()).find(File("bad.reg") + ": line " +
                                                 std::to_string(line) + ": "),
                      std::string::npos)
                << e.what();
        }
        EXPECT_EQ(ExportToText(File("after.reg")), before) << text.substr(0, 80);
    }
}

TEST_F(SettingsTransferTest, ReadOnlyKeyFailsTheWholeImport) {
    PutValue("Locked", "v", REG_SZ, "old\0"s);
    ASSERT_EQ(StoreSetKeyLocked(HKEY_CURRENT_USER, "Locked", true), StoreResult::Ok);
    WriteFileBytes(File("x.reg"),
                   "REGEDIT4\n[HKEY_CURRENT_USER\\Other]\n\"a\"=\"1\"\n[HKEY_CURRENT_USER\\Locked]"
                   "\n\"v\"=\"new\"\n");
    EXPECT_THROW(ImportSettings(File("x.reg")), SettingsTransferError);
    EXPECT_EQ(ValueAt("Other", "a"), "<missing>");
    EXPECT_EQ(ValueAt("Locked", "v"), "old\0"s);
}

TEST_F(SettingsTransferTest, DeletionsAndWrappedHexApply) {
    PutValue("Old\\Deep", "v", REG_SZ, "x\0"s);
    PutValue("Keep", "gone", REG_SZ, "x\0"s);
    PutValue("Keep", "stays", REG_SZ, "x\0"s);
    WriteFileBytes(
        File("x.reg"),
        "REGEDIT4\r\n[-HKEY_CURRENT_USER\\Old]\r\n[HKEY_CURRENT_USER\\Keep]\r\n\"gone\"=-\r\n"
        "\"bin\"=hex:00,01,\\\r\n    02,03\r\n@=\"dflt\"\r\n");
    ImportSettings(File("x.reg"));
    ResetSettingsStore();  // what the import wrote was committed
    StoreKey key = 0;
    EXPECT_EQ(StoreOpenKey(HKEY_CURRENT_USER, "Old", StoreAccess::Read, key),
              StoreResult::NotFound);
    EXPECT_EQ(ValueAt("Keep", "gone"), "<missing>");
    EXPECT_EQ(ValueAt("Keep", "stays"), "x\0"s);
    EXPECT_EQ(ValueAt("Keep", "bin"), "\x00\x01\x02\x03"s);
    EXPECT_EQ(ValueAt("Keep", ""), "dflt\0"s);
}

// The host's transfer test reads lines of either end; the file has CR LF.
TEST_F(SettingsTransferTest, ExportWritesCrLfLines) {
    PutValue("P", "Url", REG_SZ, "proxy:1080\0"s);
    PutValue("P\\Inner", "n", REG_DWORD, "\x05\0\0\0"s);
    EXPECT_EQ(ExportToText(File("all.reg")),
              "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\P]\r\n\"Url\"=\"proxy:1080\"\r\n\r\n"
              "[HKEY_CURRENT_USER\\P\\Inner]\r\n\"n\"=dword:00000005\r\n\r\n");
}

// The store refuses names the export could not write, so no key made through the panel or an
// account file blocks later backups.
TEST_F(SettingsTransferTest, StoreRefusesNamesWithControlCharacters) {
    StoreKey key = 0;
    for (const std::string& name : {"a\x01"s, "\0"s, "x\x7F"s})
        EXPECT_EQ(StoreCreateKey(HKEY_CURRENT_USER, "Keep\\" + name, key), StoreResult::Failed);
    ASSERT_EQ(StoreCreateKey(HKEY_CURRENT_USER, "Keep", key), StoreResult::Ok);
    EXPECT_EQ(StoreSetValue(key, "v\n", REG_SZ, "x\0"s), StoreResult::Failed);
    StoreCloseKey(key);
}

}  // namespace
}  // namespace kestrova
