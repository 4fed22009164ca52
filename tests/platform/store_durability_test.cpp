// The store under a crash and under two writers: child processes write while the test kills or
// waits for them.
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>
#include <string>

#include "platform/fresh_store.h"
#include "platform/settings_store.h"

namespace kestrova::platform {
namespace {

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

TEST(StoreDurabilityTest, KilledWriterLeavesEveryCommittedWrite) {
    FreshStore store;
    StoreKey key = 0;
    ASSERT_EQ(StoreCreateKey(HKEY_CURRENT_USER, "Crash", key),
              StoreResult::Ok);  // the schema exists
    ResetSettingsStore();        // no connection may cross the fork
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(pipeFds[0]);
        WriteSeries("Crash", "v", 1000000, pipeFds[1]);
    }
    close(pipeFds[1]);
    int committed = -1, i;
    while (committed < 500 && read(pipeFds[0], &i, sizeof i) == static_cast<ssize_t>(sizeof i))
        committed = i;
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    close(pipeFds[0]);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer ended before it was killed";
    ASSERT_GE(committed, 500);

    EXPECT_EQ(IntegrityCheck(), "ok");
    ASSERT_EQ(StoreOpenKey(HKEY_CURRENT_USER, "Crash", StoreAccess::Full, key), StoreResult::Ok);
    int missing = 0;
    for (int n = 0; n <= committed; ++n) missing += HasValue(key, "v" + std::to_string(n)) ? 0 : 1;
    EXPECT_EQ(missing, 0);
    // The store still takes writes after the crash.
    EXPECT_EQ(StoreSetValue(key, "after", REG_SZ, "after\0"), StoreResult::Ok);
    StoreCloseKey(key);
}

TEST(StoreDurabilityTest, TwoWritersAtOnceLoseNothing) {
    FreshStore store;
    constexpr int kCount = 300;
    pid_t children[2];
    for (int c = 0; c < 2; ++c) {
        children[c] = fork();
        ASSERT_GE(children[c], 0);
        if (children[c] == 0) WriteSeries("Shared", "p" + std::to_string(c) + "_", kCount, -1);
    }
    for (pid_t child : children) {
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "writer status " << status;
    }
    StoreKey key = 0;
    ASSERT_EQ(StoreOpenKey(HKEY_CURRENT_USER, "Shared", StoreAccess::Full, key), StoreResult::Ok);
    StoreKeyInfo info;
    ASSERT_EQ(StoreQueryInfo(key, info), StoreResult::Ok);
    EXPECT_EQ(info.Values, 2u * kCount);
    for (int c = 0; c < 2; ++c)
        for (int n = 0; n < kCount; ++n)
            EXPECT_TRUE(HasValue(key, "p" + std::to_string(c) + "_" + std::to_string(n)));
    StoreCloseKey(key);
}

}  // namespace
}  // namespace kestrova::platform
