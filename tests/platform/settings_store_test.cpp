#include "platform/settings_store.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

#include "platform/fresh_store.h"

namespace kestrova::platform {
namespace {

using namespace std::string_literals;

class SettingsStoreTest : public ::testing::Test {
  protected:
    StoreKey Create(std::string_view path) {
        StoreKey key = 0;
        EXPECT_EQ(StoreCreateKey(HKEY_CURRENT_USER, path, key), StoreResult::Ok) << path;
        return key;
    }
    StoreResult Open(std::string_view path, StoreAccess access = StoreAccess::Full) {
        StoreKey key = 0;
        StoreResult r = StoreOpenKey(HKEY_CURRENT_USER, path, access, key);
        StoreCloseKey(key);
        return r;
    }
    // The names StoreEnumKey or StoreEnumValue lists.
    std::vector<std::string> Names(StoreKey key,
                                   StoreResult (*list)(StoreKey, uint32_t, std::string&)) {
        std::vector<std::string> names;
        for (std::string name;
             list(key, static_cast<uint32_t>(names.size()), name) == StoreResult::Ok;)
            names.push_back(name);
        return names;
    }

    FreshStore store_;
};

TEST_F(SettingsStoreTest, NamesMatchWithoutCaseAndKeepTheirSpelling) {
    StoreKey key = Create("Software\\MyKey");
    ASSERT_EQ(StoreSetValue(key, "Server Name", REG_SZ, "a\0"s), StoreResult::Ok);
    EXPECT_EQ(Open("SOFTWARE\\mykey"), StoreResult::Ok);

    // Writing through another spelling replaces the value but keeps the first spelling.
    ASSERT_EQ(StoreSetValue(key, "SERVER NAME", REG_SZ, "b\0"s), StoreResult::Ok);
    uint32_t type = 0;
    std::string data;
    ASSERT_EQ(StoreQueryValue(key, "server name", type, data), StoreResult::Ok);
    EXPECT_EQ(data, "b\0"s);
    EXPECT_EQ(Names(key, StoreEnumValue), std::vector<std::string>{"Server Name"});

    StoreKey software = Create("software");
    EXPECT_EQ(Names(software, StoreEnumKey), std::vector<std::string>{"MyKey"});
    // Cyrillic names in the OEM code page fold too ("Ключ" and "КЛЮЧ" in CP866).
    Create("software\\\x8A\xAB\xEE\xE7");
    EXPECT_EQ(Open("software\\\x8A\x8B\x9E\x97"), StoreResult::Ok);
    StoreCloseKey(key);
    StoreCloseKey(software);
}

// Every kind of value and byte comes back through the host's settings transfer test, and the
// order of names through the registry's tests; here what overwriting and deleting do to it.
TEST_F(SettingsStoreTest, ValuesKeepTheirPlaceWhenOverwritten) {
    StoreKey key = Create("Order");

    for (const char* name : {"z", "a", "M"})
        ASSERT_EQ(StoreSetValue(key, name, REG_DWORD, "1234"), StoreResult::Ok);
    ASSERT_EQ(StoreDeleteValue(key, "a"), StoreResult::Ok);
    ASSERT_EQ(StoreSetValue(key, "b", REG_SZ, ""), StoreResult::Ok);
    ASSERT_EQ(StoreSetValue(key, "Z", REG_SZ, ""), StoreResult::Ok);  // overwrite keeps the place
    EXPECT_EQ(Names(key, StoreEnumValue), (std::vector<std::string>{"z", "M", "b"}));
    StoreCloseKey(key);
}

TEST_F(SettingsStoreTest, DeleteTreeRemovesEveryLevelAtOnce) {
    std::string path = "Top";
    for (int depth = 0; depth < 40; ++depth) {
        path += "\\level" + std::to_string(depth);
        StoreKey key = Create(path);
        ASSERT_EQ(StoreSetValue(key, "v", REG_SZ, "x\0"s), StoreResult::Ok);
        StoreCloseKey(key);
    }
    StoreKey open = Create(path);
    ASSERT_EQ(StoreDeleteTree(HKEY_CURRENT_USER, "top\\LEVEL0"), StoreResult::Ok);
    EXPECT_EQ(Open("Top\\level0"), StoreResult::NotFound);
    EXPECT_EQ(Open("Top"), StoreResult::Ok);
    // A handle to a deleted key can no longer write.
    EXPECT_NE(StoreSetValue(open, "v", REG_SZ, ""), StoreResult::Ok);
    StoreCloseKey(open);
    EXPECT_EQ(StoreDeleteTree(HKEY_CURRENT_USER, "Top\\level0"), StoreResult::NotFound);
    EXPECT_EQ(StoreDeleteTree(HKEY_CURRENT_USER, ""), StoreResult::AccessDenied);  // never the root
}

TEST_F(SettingsStoreTest, RecordsItsSchemaVersionAndRefusesANewerOne) {
    StoreCloseKey(Create("x"));
    ResetSettingsStore();
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(SettingsStorePath().c_str(), &db), SQLITE_OK);
    sqlite3_stmt* s = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &s, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(s), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(s, 0), kSettingsSchemaVersion);
    sqlite3_finalize(s);
    ASSERT_EQ(sqlite3_exec(db, "PRAGMA user_version=99", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    EXPECT_EQ(Open("x"), StoreResult::Failed);
}

}  // namespace
}  // namespace kestrova::platform
