#include "platform/filesystem.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstring>
#include <set>

#include "platform/clock.h"
#include "platform/scoped_environment.h"
#include "platform/temp_folder.h"

namespace kestrova::platform {
namespace {

constexpr char kOemName[] = "Привет.txt";  // OEM text is UTF-8
constexpr char kCp866Name[] = "\x8F\xE0\xA8\xA2\xA5\xE2.txt";
constexpr char kNativeName[] = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82.txt";  // UTF-8

class FileSystemTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(folder_.Path().empty());
        environment_.Set("KESTROVA_OEMCP", nullptr);
    }
    std::string At(const std::string& name) const { return folder_.Path() + "/" + name; }

    TempFolderForTest folder_;
    ScopedEnvironment environment_;
};

// Each variable names a place inside the test's folder, is empty, is unset (null), or with a
// leading "/" is the relative path after it.
TEST_F(FileSystemTest, HomeFolderFollowsTheEnvironmentAndIsCreated) {
    const struct {
        const char* variables[3];  // KESTROVA_HOME, XDG_DATA_HOME, HOME
        std::string expectedBelowFolder;
    } cases[] = {
        {{"k/home//", "x", "h"}, "k/home"},
        {{nullptr, "xdg", "h"}, "xdg/kestrova"},
        {{"", "", "user"}, "user/.local/share/kestrova"},
        {{nullptr, "/relative", "user"}, "user/.local/share/kestrova"},  // not absolute: ignored
    };
    for (const auto& c : cases) {
        ScopedEnvironment environment;
        for (int i = 0; i < 3; ++i) {
            const char* name = std::array{"KESTROVA_HOME", "XDG_DATA_HOME", "HOME"}[i];
            const char* value = c.variables[i];
            const std::string place = value == nullptr ? ""
                                      : *value == '/'  ? value + 1
                                      : *value != '\0' ? At(value)
                                                       : "";
            environment.Set(name, value == nullptr ? nullptr : place.c_str());
        }
        const std::string expected = At(c.expectedBelowFolder);
        EXPECT_EQ(HomeFolder(), expected);
        EXPECT_TRUE(DirectoryExists(expected)) << expected;
        const auto permissions = std::filesystem::status(expected).permissions();
        EXPECT_EQ(permissions & std::filesystem::perms::all, std::filesystem::perms::owner_all);
    }
}

// With the single-byte OEM code page of earlier versions, names are converted at the edge.
TEST_F(FileSystemTest, OemNamesAreUtf8OnDisk) {
    environment_.Set("KESTROVA_OEMCP", "866");
    const std::string oemPath = At(kCp866Name);
    WriteFileBytes(At(kNativeName), "body");
    EXPECT_EQ(ToNativePath(oemPath), At(kNativeName));
    EXPECT_EQ(FromNativePath(At(kNativeName)), oemPath);
    EXPECT_TRUE(FileExists(oemPath));
    EXPECT_FALSE(DirectoryExists(oemPath));

    ASSERT_TRUE(CreateDirectory(At("\x84\xA8\xE0")));  // "Дир"
    EXPECT_TRUE(std::filesystem::is_directory(At("\xD0\x94\xD0\xB8\xD1\x80")));
    EXPECT_FALSE(FileExists(At("\x84\xA8\xE0")));
}

TEST_F(FileSystemTest, CreateAndRemoveWorkOneLevelAndOnlyOnTheRightKind) {
    EXPECT_FALSE(CreateDirectory(At("a/b")));  // parent missing
    ASSERT_TRUE(CreateDirectory(At("a")));
    EXPECT_FALSE(CreateDirectory(At("a")));  // already there
    WriteFileBytes(At("a/f"), "x");
    EXPECT_FALSE(RemoveDirectory(At("a")));  // not empty
    EXPECT_FALSE(DeleteFile(At("a")));       // a folder is no file
    EXPECT_TRUE(DeleteFile(At("a/f")));
    EXPECT_FALSE(DeleteFile(At("a/f")));
    EXPECT_TRUE(RemoveDirectory(At("a")));
    EXPECT_FALSE(DirectoryExists(At("a")));
}

TEST_F(FileSystemTest, RenameNeverReplacesAnExistingFile) {
    WriteFileBytes(At("from"), "new");
    WriteFileBytes(At("to"), "old");
    EXPECT_FALSE(RenameFile(At("from"), At("to")));
    EXPECT_EQ(FileBytes(At("to")), "old");
    EXPECT_TRUE(FileExists(At("from")));

    EXPECT_TRUE(ReplaceFile(At("from"), At("to")));  // ... but the replacing rename does
    EXPECT_EQ(FileBytes(At("to")), "new");
    EXPECT_FALSE(ReplaceFile(At("from"), At("to")));

    EXPECT_TRUE(RenameFile(At("to"), At(kOemName)));
    EXPECT_EQ(FileBytes(At(kNativeName)), "new");
    EXPECT_FALSE(FileExists(At("to")));
    EXPECT_FALSE(RenameFile(At("missing"), At("elsewhere")));
}

TEST_F(FileSystemTest, PathsThatNameNothingAreRefused) {
    WriteFileBytes(At("a"), "keep");
    const std::string withNul = At("a") + std::string("\0b", 2);
    EXPECT_FALSE(FileExists(withNul));
    EXPECT_FALSE(DeleteFile(withNul));
    EXPECT_FALSE(RenameFile(withNul, At("c")));
    EXPECT_TRUE(FileExists(At("a")));
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(DirectoryExists(""));
}

TEST_F(FileSystemTest, FindDataOfAFileAFolderAndALargeFile) {
    const std::string native = At(kNativeName);
    WriteFileBytes(native, "12345");
    const timespec times[2] = {{1'600'000'000, 0}, {1'700'000'000, 500'000'000}};
    ASSERT_EQ(utimensat(AT_FDCWD, native.c_str(), times, 0), 0);

    FAR_FIND_DATA data;
    std::memset(&data, 0x55, sizeof(data));
    ASSERT_TRUE(GetFindData(At(kOemName), data));
    EXPECT_EQ(data.dwFileAttributes, FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_EQ(data.nFileSizeLow, 5u);
    EXPECT_EQ(FileTimeToU64(data.ftLastWriteTime), 133'444'736'005'000'000ull);
    EXPECT_EQ(FileTimeToU64(data.ftLastAccessTime), 132'444'736'000'000'000ull);
    EXPECT_STREQ(data.cFileName, kOemName);

    ASSERT_TRUE(CreateDirectory(At("dir")));
    ASSERT_TRUE(GetFindData(At("dir/"), data));
    EXPECT_EQ(data.dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_STREQ(data.cFileName, "dir");

    const int fd = open(At("big").c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, (5ll << 30) + 7), 0);  // sparse: 5 GiB and 7 bytes
    close(fd);
    ASSERT_TRUE(GetFindData(At("big"), data));
    EXPECT_EQ(data.nFileSizeHigh, 1u);
    EXPECT_EQ(data.nFileSizeLow, (1u << 30) + 7);
    EXPECT_FALSE(GetFindData(At("missing"), data));
    EXPECT_EQ(data.nFileSizeHigh, 1u);  // left alone
}

TEST_F(FileSystemTest, TempFolderEndsWithTheDelimiter) {
    const struct {
        const char* tmpdir;
        std::string expected;
    } cases[] = {{nullptr, "/tmp/"}, {"", "/tmp/"}, {"/var/t", "/var/t/"}, {"/var/t//", "/var/t/"}};
    for (const auto& c : cases) {
        ScopedEnvironment environment;
        environment.Set("TMPDIR", c.tmpdir);
        EXPECT_EQ(TempFolder(), c.expected);
    }
}

TEST_F(FileSystemTest, TempFilesAreNewEmptyUniqueAndPrivate) {
    std::set<std::string> names;
    for (const std::string& folder : {folder_.Path(), folder_.Path() + "/"}) {
        for (int i = 0; i < 5; ++i) {
            const std::string name = CreateTempFile(folder, "nw");
            ASSERT_FALSE(name.empty());
            EXPECT_EQ(name.rfind(At("nw"), 0), 0u) << name;
            EXPECT_EQ(name.substr(name.size() - 4), ".tmp");
            EXPECT_EQ(std::filesystem::file_size(name), 0u);
            names.insert(name);
        }
    }
    EXPECT_EQ(names.size(), 10u);
    for (const std::string& name : names) std::filesystem::remove(name);

    // The one to be renamed into place has the umask's permissions, the rest are private.
    const mode_t saved = umask(027);
    const std::string shared = CreateTempFile(folder_.Path(), "x", TempAccess::LikeNew);
    const std::string own = CreateTempFile(folder_.Path(), "x");
    umask(saved);
    struct stat info {};
    ASSERT_EQ(stat(shared.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    ASSERT_EQ(stat(own.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    std::filesystem::remove(shared);
    std::filesystem::remove(own);

    // Failures give an empty name and leave nothing behind.
    EXPECT_EQ(CreateTempFile(At("missing"), ""), "");
    EXPECT_EQ(CreateTempFile(folder_.Path(), "sub/x"), "");
    EXPECT_EQ(CreateTempFile("", "x"), "");
    EXPECT_TRUE(std::filesystem::is_empty(folder_.Path()));
}

}  // namespace
}  // namespace kestrova::platform
