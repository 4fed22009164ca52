// The files of the settings store: private whatever the umask, the database file alone a full
// copy once the process has ended, and every committed write kept under a crash and under two
// writers (child processes write while the test kills or waits for them).
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/fresh_store.h"
#include "platform/settings_store.h"

namespace kestrova::platform {
namespace {

using namespace std::string_literals;

void SetValue(const std::string& name) {
    StoreKey key = 0;
    ASSERT_EQ(StoreCreateKey(HKEY_CURRENT_USER, "Software", key), StoreResult::Ok);
    ASSERT_EQ(StoreSetValue(key, name, REG_SZ, name + '\0'), StoreResult::Ok);
    StoreCloseKey(key);
}

TEST(StoreFilesTest, FilesArePrivateAndTheDatabaseAloneHoldsEverythingAfterTheProcessEnds) {
    FreshStore store;
    const mode_t oldMask = umask(022);
    chmod(store.Folder().c_str(), 0755);
    SetValue("First");
    umask(oldMask);
    for (const char* suffix : {"", "-wal", "-shm"}) {
        struct stat st;
        ASSERT_EQ(stat((SettingsStorePath() + suffix).c_str(), &st), 0) << suffix;
        EXPECT_EQ(st.st_mode & 077, 0u) << suffix;
    }
    ResetSettingsStore();  // no connection may cross the fork
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        StoreKey key = 0;
        if (StoreCreateKey(HKEY_CURRENT_USER, "Software", key) != StoreResult::Ok ||
            StoreSetValue(key, "Second", REG_SZ, "Second\0"s) != StoreResult::Ok)
            std::_Exit(2);
        std::exit(0);  // an ordinary end, as the host's
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    // Only registry.db is copied to another home.
    TempFolderForTest copy;
    std::filesystem::copy_file(SettingsStorePath(), copy.Path() + "/registry.db");
    ScopedEnvironment home;
    home.Set("KESTROVA_HOME", copy.Path().c_str());
    ResetSettingsStore();
    StoreKey key = 0;
    ASSERT_EQ(StoreOpenKey(HKEY_CURRENT_USER, "Software", StoreAccess::Read, key), StoreResult::Ok);
    uint32_t type;
    std::string data;
    EXPECT_EQ(StoreQueryValue(key, "Second", type, data), StoreResult::Ok);
    StoreCloseKey(key);
    ResetSettingsStore();
}

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

std::string IntegrityCheck() {
    sqlite3* db = nullptr;
    std::string result = "cannot open";
    if (sqlite3_open(SettingsStorePath().c_str(), &db) == SQLITE_OK) {
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &s, nullptr) == SQLITE_OK &&
            sqlite3_step(s) == SQLITE_ROW)
            result = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
        sqlite3_finalize(s);
    }
    sqlite3_close(db);
    return result;
}

bool HasValue(StoreKey key, const std::string& name) {
    uint32_t type;
    std::string data;
    return StoreQueryValue(key, name, type, data) == StoreResult::Ok && data == name + '\0';
}

// One writer is killed in the middle of its series while another writes beside it to the end.
TEST(StoreDurabilityTest, AKilledWriterAndAConcurrentOneLoseNoCommittedWrite) {
    FreshStore store;
    StoreKey key = 0;
    ASSERT_EQ(StoreCreateKey(HKEY_CURRENT_USER, "Shared", key), StoreResult::Ok);  // the schema
    ResetSettingsStore();  // no connection may cross the fork
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

    EXPECT_EQ(IntegrityCheck(), "ok");
    ASSERT_EQ(StoreOpenKey(HKEY_CURRENT_USER, "Shared", StoreAccess::Full, key), StoreResult::Ok);
    int missing = 0;
    for (int n = 0; n <= committed; ++n) missing += !HasValue(key, "killed" + std::to_string(n));
    for (int n = 0; n < kCount; ++n) missing += !HasValue(key, "whole" + std::to_string(n));
    EXPECT_EQ(missing, 0);
    // The store still takes writes after the crash.
    EXPECT_EQ(StoreSetValue(key, "after", REG_SZ, "after\0"), StoreResult::Ok);
    StoreCloseKey(key);
}

}  // namespace
}  // namespace kestrova::platform
