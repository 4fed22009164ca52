// The files of the settings store: private whatever the umask, and the database file alone a
// full copy once the process has ended.
#include <gtest/gtest.h>
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

TEST(StoreFilesTest, DatabaseAndLogFilesArePrivateInAnOpenHome) {
    FreshStore store;
    const mode_t oldMask = umask(022);
    chmod(store.Folder().c_str(), 0755);
    SetValue("Password");
    umask(oldMask);
    for (const char* suffix : {"", "-wal", "-shm"}) {
        struct stat st;
        ASSERT_EQ(stat((SettingsStorePath() + suffix).c_str(), &st), 0) << suffix;
        EXPECT_EQ(st.st_mode & 077, 0u) << suffix;
    }
}

TEST(StoreFilesTest, TheDatabaseFileAloneHoldsEverythingAfterTheProcessEnds) {
    FreshStore store;
    SetValue("First");
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

}  // namespace
}  // namespace kestrova::platform
