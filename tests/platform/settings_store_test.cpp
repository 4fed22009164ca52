// The settings store, and its files: private whatever the umask, the database file alone a full
// copy once the process has ended, every committed write kept under a crash and beside another
// writer (child processes write while the test kills or waits for them).
#include "platform/settings_store.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/fresh_store.h"
#include "platform/scoped_environment.h"

namespace kestrova::platform {
namespace {

using namespace std::string_literals;

// Writes value "<prefix><i>" for i = 0 .. count-1 under key, one transaction each, and reports
// each committed i on fd. Runs in a child process and never returns.
[[noreturn]] void WriteSeries(const std::string& key, const std::string& prefix, int count,
                              int fd) {
    StoreKey handle = 0;
    if (StoreCreateKey(HKEY_CURRENT_USER, key, handle) != StoreResult::Ok) _exit(2);
    for (int i = 0; i < count; ++i) {
        std::string name = prefix + std::to_string(i);
        if (StoreSetValue(handle, name, REG_SZ, name + '\0') != StoreResult::Ok) _exit(3);
        if (fd >= 0 && write(fd, &i, sizeof i) != static_cast<ssize_t>(sizeof i)) _exit(4);
    }
    _exit(0);
}

// The data of a value, or "<missing>".
std::string Value(StoreKey key, const std::string& name) {
    uint32_t type;
    std::string data;
    return StoreQueryValue(key, name, type, data) == StoreResult::Ok ? data : "<missing>";
}

bool HasValue(StoreKey key, const std::string& name) {
    return Value(key, name) == name + '\0';
}

class SettingsStoreTest : public ::testing::Test {
  protected:
    StoreKey Create(std::string_view path) {
        StoreKey key = 0;
        EXPECT_EQ(StoreCreateKey(HKEY_CURRENT_USER, path, key), StoreResult::Ok) << path;
        return key;
    }
    StoreResult Open(std::string_view path) {
        StoreKey key = 0;
        StoreResult r = StoreOpenKey(HKEY_CURRENT_USER, path, StoreAccess::Full, key);
        StoreCloseKey(key);
        return r;
    }
    // The database and its -wal and -shm files are the user's alone.
    static void ExpectPrivate() {
        for (const char* suffix : {"", "-wal", "-shm"}) {
            struct stat st;
            ASSERT_EQ(stat((SettingsStorePath() + suffix).c_str(), &st), 0) << suffix;
            EXPECT_EQ(st.st_mode & 077, 0u) << suffix;
        }
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

    // The first column of the first row the statement gives on the store's file.
    static std::string Sql(const char* statement) {
        sqlite3* db = nullptr;
        std::string result = "cannot open";
        if (sqlite3_open(SettingsStorePath().c_str(), &db) == SQLITE_OK) {
            sqlite3_stmt* s = nullptr;
            result = sqlite3_prepare_v2(db, statement, -1, &s, nullptr) == SQLITE_OK &&
                             sqlite3_step(s) == SQLITE_ROW
                         ? reinterpret_cast<const char*>(sqlite3_column_text(s, 0))
                         : "";
            sqlite3_finalize(s);
        }
        sqlite3_close(db);
        return result;
    }

    FreshStore store_;
};

// Every kind of value and byte comes back through the host's settings transfer test, and the
// order of names through the registry's tests; here what overwriting and deleting do to it.
TEST_F(SettingsStoreTest, NamesMatchWithoutCaseAndKeepTheirSpellingAndPlace) {
    StoreKey key = Create("Software\\MyKey");
    ASSERT_EQ(StoreSetValue(key, "Server Name", REG_SZ, "a\0"s), StoreResult::Ok);
    EXPECT_EQ(Open("SOFTWARE\\mykey"), StoreResult::Ok);

    // Writing through another spelling replaces the value but keeps the first spelling.
    ASSERT_EQ(StoreSetValue(key, "SERVER NAME", REG_SZ, "b\0"s), StoreResult::Ok);
    EXPECT_EQ(Value(key, "server name"), "b\0"s);
    EXPECT_EQ(Names(key, StoreEnumValue), std::vector<std::string>{"Server Name"});
    for (const char* name : {"z", "a", "M"})
        ASSERT_EQ(StoreSetValue(key, name, REG_DWORD, "1234"), StoreResult::Ok);
    ASSERT_EQ(StoreDeleteValue(key, "a"), StoreResult::Ok);
    ASSERT_EQ(StoreSetValue(key, "b", REG_SZ, ""), StoreResult::Ok);
    ASSERT_EQ(StoreSetValue(key, "Z", REG_SZ, ""), StoreResult::Ok);  // overwrite keeps the place
    EXPECT_EQ(Names(key, StoreEnumValue), (std::vector<std::string>{"Server Name", "z", "M", "b"}));

    StoreKey software = Create("software");
    EXPECT_EQ(Names(software, StoreEnumKey), std::vector<std::string>{"MyKey"});
    // Cyrillic and Greek names fold too.
    Create("software\\Ключ");
    EXPECT_EQ(Open("software\\КЛЮЧ"), StoreResult::Ok);
    Create("software\\Λέξη");
    EXPECT_EQ(Open("software\\ΛΈΞΗ"), StoreResult::NotFound) << "accents are kept";
    EXPECT_EQ(Open("software\\ΛέΞΗ"), StoreResult::Ok);
    StoreCloseKey(key);
    StoreCloseKey(software);
}

TEST_F(SettingsStoreTest, DeleteTreeRemovesEveryLevelAtOnce) {
    std::string path = "Top";
    for (int depth = 0; depth < 40; ++depth) {
        path += "\\level" + std::to_string(depth);
        PutValue(path, "v", REG_SZ, "x\0"s);
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
    EXPECT_EQ(Sql("PRAGMA user_version"), std::to_string(kSettingsSchemaVersion));
    Sql("PRAGMA user_version=99");
    EXPECT_EQ(Open("x"), StoreResult::Failed);
}

// The files are private whatever the umask; a store from before (or copied in) that others may
// read is made private when opened.
TEST_F(SettingsStoreTest, FilesArePrivateAndTheDatabaseAloneHoldsEverythingAfterTheProcessEnds) {
    const mode_t oldMask = umask(022);
    chmod(store_.Folder().c_str(), 0755);
    StoreCloseKey(Create("Software"));
    umask(oldMask);
    ExpectPrivate();
    ResetSettingsStore();
    for (const char* suffix : {"", "-wal", "-shm"}) {
        const std::string file = SettingsStorePath() + suffix;
        if (!std::filesystem::exists(file)) std::ofstream{file};
        ASSERT_EQ(chmod(file.c_str(), 0644), 0) << suffix;
    }
    StoreCloseKey(Create("Software"));
    ExpectPrivate();
    ResetSettingsStore();  // no connection may cross the fork
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)  // an ordinary end, as the host's
        std::exit(StoreSetValue(Create("Software"), "Second", REG_SZ, "Second\0"s) ==
                          StoreResult::Ok
                      ? 0
                      : 2);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    // Only registry.db is copied to another home.
    TempFolderForTest copy;
    std::filesystem::copy_file(SettingsStorePath(), copy.Path() + "/registry.db");
    ScopedEnvironment home;
    home.Set("KESTROVA_HOME", copy.Path().c_str());
    ResetSettingsStore();
    EXPECT_EQ(ValueAt("Software", "Second"), "Second\0"s);
    ResetSettingsStore();
}

// A store that cannot be made (here its -wal file cannot be; a full disk does the same) says
// which file and why, and leaves no empty database to be taken for a store the next time.
TEST_F(SettingsStoreTest, AStoreThatCannotBeMadeLeavesNoEmptyDatabase) {
    ASSERT_EQ(mkdir((SettingsStorePath() + "-wal").c_str(), 0700), 0);
    StoreKey key = 0;
    EXPECT_EQ(StoreCreateKey(HKEY_CURRENT_USER, "Software", key), StoreResult::Failed);
    EXPECT_EQ(LastStoreFault().path, SettingsStorePath());
    EXPECT_FALSE(LastStoreFault().reason.empty());
    EXPECT_FALSE(std::filesystem::exists(SettingsStorePath()));
    ResetSettingsStore();
}

// One writer is killed in the middle of its series while another writes beside it to the end.
TEST_F(SettingsStoreTest, AKilledWriterAndAConcurrentOneLoseNoCommittedWrite) {
    StoreKey key = Create("Shared");  // the schema
    ResetSettingsStore();             // no connection may cross the fork
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    constexpr int kCount = 300;
    pid_t children[2];
    for (int c = 0; c < 2; ++c) {
        children[c] = fork();
        ASSERT_GE(children[c], 0);
        if (children[c] == 0) {
            close(pipeFds[0]);
            if (c == 0) WriteSeries("Shared", "killed", 1000000, pipeFds[1]);
            WriteSeries("Shared", "whole", kCount, -1);
        }
    }
    close(pipeFds[1]);
    int committed = -1, i;
    while (committed < 500 && read(pipeFds[0], &i, sizeof i) == static_cast<ssize_t>(sizeof i))
        committed = i;
    int status = 0;
    waitpid(children[1], &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "writer status " << status;
    kill(children[0], SIGKILL);
    waitpid(children[0], &status, 0);
    close(pipeFds[0]);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer ended before it was killed";
    ASSERT_GE(committed, 500);

    EXPECT_EQ(Sql("PRAGMA integrity_check"), "ok");
    ASSERT_EQ(StoreOpenKey(HKEY_CURRENT_USER, "Shared", StoreAccess::Full, key), StoreResult::Ok);
    int missing = 0;
    for (int n = 0; n <= committed; ++n) missing += !HasValue(key, "killed" + std::to_string(n));
    for (int n = 0; n < kCount; ++n) missing += !HasValue(key, "whole" + std::to_string(n));
    EXPECT_EQ(missing, 0);
    // The store still takes writes after the crash.
    EXPECT_EQ(StoreSetValue(key, "after", REG_SZ, "after\0"), StoreResult::Ok);
    StoreCloseKey(key);
}

// A store that a version with the single-byte OEM code page wrote opens under UTF-8 with its
// names and texts converted once, binary values as they were, nothing lost.
TEST_F(SettingsStoreTest, AStoreOfTheSingleByteModelIsConvertedOnce) {
    {
        ScopedEnvironment environment;
        environment.Set("KESTROVA_OEMCP", "866");
        ResetSettingsStore();
        const std::string key = "software\\\x8A\xAB\xEE\xE7";  // "Ключ" in CP866
        PutValue(key, "\x88\xAC\xEF", REG_SZ, "\x8F\xE0\xA8\xA2\xA5\xE2"s + '\0');
        PutValue(key, "Bytes", REG_BINARY, "\x8F\xE0"s);
    }
    for (int open = 0; open < 2; ++open) {
        ResetSettingsStore();  // opened again under UTF-8, twice: converted only the first time
        EXPECT_EQ(ValueAt("SOFTWARE\\КЛЮЧ", "Имя"), "Привет"s + '\0');
        EXPECT_EQ(ValueAt("SOFTWARE\\КЛЮЧ", "Bytes"), "\x8F\xE0");
    }
}

}  // namespace
}  // namespace kestrova::platform
