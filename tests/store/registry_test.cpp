#include "store/registry.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>

#include "common/raised.h"
#include "platform/fresh_store.h"
#include "store/reg_ini_file.h"

namespace kestrova {
namespace {

const std::string kRegistryError = "ERegistryError 0x20000000 : ";

class RegistryTest : public ::testing::Test {
  protected:
    FreshStore store_;
    TRegistry reg_;
};

TEST_F(RegistryTest, RelativeAndAbsoluteOpensBuildCurrentPath) {
    ASSERT_TRUE(reg_.CreateKey("X\\Y\\A"));
    ASSERT_TRUE(reg_.CreateKey("A"));
    ASSERT_TRUE(reg_.OpenKey("X\\Y", false));
    EXPECT_EQ(reg_.CurrentPath, "X\\Y");
    ASSERT_TRUE(reg_.OpenKey("A", false));
    EXPECT_EQ(reg_.CurrentPath, "X\\Y\\A");
    reg_.WriteString("where", "deep");
    ASSERT_TRUE(reg_.OpenKey("\\A", false));
    EXPECT_EQ(reg_.CurrentPath, "A");
    EXPECT_FALSE(reg_.ValueExists("where"));
    ASSERT_TRUE(reg_.OpenKey("\\x\\y\\a", false));
    EXPECT_EQ(reg_.ReadString("WHERE"), "deep");

    // A failed open keeps the previous key.
    EXPECT_FALSE(reg_.OpenKey("Missing", false));
    EXPECT_EQ(reg_.CurrentPath, "x\\y\\a");
    EXPECT_EQ(reg_.ReadString("where"), "deep");

    // Opening with create makes the path below the open key.
    ASSERT_TRUE(reg_.OpenKey("New\\Deeper\\", true));
    EXPECT_EQ(reg_.CurrentPath, "x\\y\\a\\New\\Deeper\\");
    EXPECT_TRUE(reg_.KeyExists("\\X\\Y\\A\\NEW\\deeper"));
    reg_.CloseKey();
    EXPECT_EQ(reg_.CurrentKey, 0u);
    EXPECT_EQ(reg_.CurrentPath, "");
}

TEST_F(RegistryTest, ValuesReadOnlyAsTheirOwnKind) {
    ASSERT_TRUE(reg_.OpenKey("Values", true));
    reg_.WriteString("empty", "");
    EXPECT_EQ(reg_.GetDataSize("empty"), 1);  // the terminating NUL is stored
    EXPECT_EQ(reg_.ReadString("empty"), "");
    EXPECT_EQ(reg_.ReadString("missing"), "");
    reg_.PutData("expand", "%HOME%\0junk", 11, TRegDataType::rdExpandString);
    EXPECT_EQ(reg_.ReadString("expand"), "%HOME%");  // up to the first NUL, unexpanded
    const FILETIME t{0x89ABCDEFu, 0x01D00000u};
    reg_.WriteTime("t", t);
    EXPECT_EQ(reg_.GetDataSize("t"), 8);
    EXPECT_EQ(reg_.ReadTime("t").dwLowDateTime, t.dwLowDateTime);
    EXPECT_EQ(reg_.ReadTime("t").dwHighDateTime, t.dwHighDateTime);

    reg_.PutData("dword", "\x01\0\0\0", 4, TRegDataType::rdInteger);
    reg_.PutData("four", "abcd", 4, TRegDataType::rdBinary);
    reg_.PutData("sixteen", "0123456789abcdef", 16, TRegDataType::rdBinary);
    reg_.WriteString("text", "1234567");  // 8 bytes, but a string
    const std::pair<std::function<void()>, std::string> refused[] = {
        {[&] { reg_.ReadString("dword"); }, "Invalid data type for 'dword'"},
        {[&] { reg_.ReadString("four"); }, "Invalid data type for 'four'"},
        {[&] { reg_.ReadTime("four"); }, "Invalid data type for 'four'"},
        {[&] { reg_.ReadTime("text"); }, "Invalid data type for 'text'"},
        {[&] { reg_.ReadTime("sixteen"); }, "Failed to get data for 'sixteen'"},
        {[&] { reg_.ReadTime("missing"); }, "Failed to get data for 'missing'"},
    };
    for (const auto& [op, message] : refused) EXPECT_EQ(Raised(op), kRegistryError + message);
}

TEST_F(RegistryTest, ReadOnlyKeyOpensButRefusesWrites) {
    ASSERT_TRUE(reg_.OpenKey("Shared\\Fixed", true));
    reg_.WriteString("kept", "yes");
    reg_.CloseKey();
    ASSERT_EQ(platform::StoreSetKeyLocked(HKEY_CURRENT_USER, "Shared\\Fixed", true),
              platform::StoreResult::Ok);
    ASSERT_TRUE(reg_.OpenKey("Shared\\Fixed", false));
    EXPECT_EQ(reg_.ReadString("kept"), "yes");
    EXPECT_EQ(Raised([&] { reg_.WriteString("new", "x"); }),
              kRegistryError + "Failed to set data for 'new'");
    EXPECT_EQ(Raised([&] { reg_.CreateKey("Sub"); }), kRegistryError + "Failed to create key Sub");
    reg_.CloseKey();
    EXPECT_FALSE(reg_.DeleteKey("Shared"));
    EXPECT_TRUE(reg_.KeyExists("Shared\\Fixed"));
}

TEST_F(RegistryTest, NamesListInStoreOrder) {
    ASSERT_TRUE(reg_.OpenKey("Lists", true));
    for (const char* v : {"Zeta", "alpha", "Mid"}) reg_.WriteString(v, v);
    for (const char* k : {"zeta", "Alpha", "mid"}) reg_.CreateKey(k);
    TStringList values, keys;
    reg_.GetValueNames(values);
    reg_.GetKeyNames(keys);
    EXPECT_EQ(values.Text(), "Zeta\r\nalpha\r\nMid\r\n");
    EXPECT_EQ(keys.Text(), "Alpha\r\nmid\r\nzeta\r\n");
}

TEST_F(RegistryTest, IntegersAreDecimalTextWithHexadecimalPrefix) {
    TRegIniFile ini("Numbers");
    const std::pair<const char*, int> cases[] = {
        {"0x1F", 31}, {"0X1f", 31}, {"12abc", -7},      {"0x", -7},         {"", -7},  {"42", 42},
        {"-42", -42}, {"$10", 16},  {"0xFFFFFFFF", -1}, {"2147483648", -7}, {"x", -7}, {" 5", 5},
    };
    for (const auto& [text, expected] : cases) {
        ini.WriteString("S", "v", text);
        EXPECT_EQ(ini.ReadInteger("S", "v", -7), expected) << '"' << text << '"';
    }
    ini.WriteInteger("S", "n", -123);
    EXPECT_EQ(ini.ReadString("S", "n", ""), "-123");  // stored as text
    EXPECT_EQ(ini.ReadInteger("Missing", "v", 9), 9);
}

// A settings database that cannot be read is reported (file and reason) instead of reading as
// empty, and is never written over.
// Overwrites the file from offset on (counted from the end when negative) with garbage.
void Damage(const std::string& path, long offset) {
    std::string bytes = FileBytes(path);
    if (offset < 0) offset += static_cast<long>(bytes.size());
    ASSERT_GT(static_cast<long>(bytes.size()), offset);
    for (size_t i = offset; i < bytes.size(); ++i) bytes[i] = static_cast<char>(0x5A ^ i);
    WriteFileBytes(path, bytes);
}

TEST(DamagedStoreTest, ReadsReportTheFileAndReasonAndNothingIsWritten) {
    struct Case {
        const char* what;
        long offset;  // where the garbage starts: 0 the header, -4096 the last page (values)
        const char* reason;
    } cases[] = {
        {"not a database", 0, "file is not a database"},
        {"a damaged page", -4096, "malformed"},
    };
    for (const Case& c : cases) {
        FreshStore store;
        {
            TRegIniFile accounts("Software\\Far\\Plugins\\Kestrova\\HOSTS");
            for (int i = 0; i < 200; ++i)
                accounts.WriteString("Account " + std::to_string(i), "Url",
                                     "news://server.example/" + std::string(60, 'x'));
        }
        const std::string path = platform::SettingsStorePath();
        platform::ResetSettingsStore();  // the log folded into the file, the connection closed
        Damage(path, c.offset);
        const std::string damaged = FileBytes(path);

        std::string message;
        try {
            TRegIniFile accounts("Software\\Far\\Plugins\\Kestrova\\HOSTS");
            TStringList names;
            accounts.ReadSections(names);
            for (int i = 0; i < names.Count(); ++i) accounts.ReadString(names[i], "Url", "");
        } catch (const ERegistryError& e) {
            message = e.Message;
        }
        EXPECT_NE(message.find(path), std::string::npos) << c.what << ": " << message;
        EXPECT_NE(message.find(c.reason), std::string::npos) << c.what << ": " << message;
        // A new key touches no damaged page, yet nothing more is written to the file.
        EXPECT_THROW(TRegistry().CreateKey("Software\\New"), ERegistryError) << c.what;
        platform::ResetSettingsStore();
        EXPECT_EQ(FileBytes(path), damaged) << c.what;
    }
}

}  // namespace
}  // namespace kestrova
