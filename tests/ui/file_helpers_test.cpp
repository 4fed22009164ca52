#include "ui/file_helpers.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace kestrova {
namespace {

TEST(SplitPath, SplitsAtTheLastSeparator) {
    const struct {
        const char* path;
        char separator;
        const char* directory;
        const char* name;
    } cases[] = {
        {"a\\b\\c.txt", '\\', "a\\b\\", "c.txt"},
        {"a/b/c.txt", '/', "a/b/", "c.txt"},
        {"a/b\\c", '\\', "a/b\\", "c"},
        {"name", '\\', "", "name"},
        {"dir\\", '\\', "dir\\", ""},
        {"", '\\', "", ""},
    };
    for (const auto& c : cases) {
        std::string directory = "x", name = "x";
        SplitPath(c.path, c.separator, directory, name);
        EXPECT_EQ(directory, c.directory) << c.path;
        EXPECT_EQ(name, c.name) << c.path;
    }
}

TEST(SplitFileName, SplitsAtTheLastDot) {
    const struct {
        const char* name;
        bool hasDot;
        const char* base;
        const char* extension;
    } cases[] = {
        {"a.b.txt", true, "a.b", "txt"},
        {"noext", false, "noext", ""},
        {".hidden", true, "", "hidden"},
        {"trailing.", true, "trailing", ""},
    };
    for (const auto& c : cases) {
        std::string base = "x", extension = "x";
        EXPECT_EQ(SplitFileName(c.name, base, extension), c.hasDot) << c.name;
        EXPECT_EQ(base, c.base) << c.name;
        EXPECT_EQ(extension, c.extension) << c.name;
    }
}

TEST(ApplyNameMask, FollowsTheRenameMaskRule) {
    const struct {
        const char* mask;
        const char* name;
        const char* result;
    } cases[] = {
        {"*.txt", "12 Hello.msg", "12 Hello.txt"},
        {"a?c", "xyz", "ayc"},
        {"*", "any.name", "any.name"},
        {"*.*", "any.name", "any.name"},
        {"", "any.name", "any.name"},
        {"  *.*  ", "any.name", "any.name"},
        {" *.bak ", "doc.txt", "doc.bak"},
        {"??", "abcdef", "ab"},
        {"?????", "ab", "ab"},       // "?" past the end of the name adds nothing
        {"x*", "abcdef", "xbcdef"},  // "*" takes the rest from its own position
        {"*x?*", "abc", "abcx"},     // after "*" only literal characters are copied
        {"*.", "a.b", "a."},
        {"new.*", "old.txt", "new.txt"},
        {"a*", "", "a"},
        {"*.t?t", "file.abc", "file.tbt"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ApplyNameMask(c.mask, c.name), c.result) << c.mask << " " << c.name;
    }
}

TEST(MakeValidFileName, ReplacesInvalidCharactersAndTrailingBlanks) {
    const struct {
        std::string text;
        char keep;
        std::string result;
    } cases[] = {
        {"a:b? ", '\\', "a_b__"},
        {"dir\\sub\\file", '\\', "dir\\sub\\file"},
        {"dir \\ sub  \\x y", '\\', "dir_\\ sub__\\x y"},
        {"a/b\\c", '\xFF', "a_b_c"},  // no separator survives
        {"a/b\\c", '/', "a/b_c"},
        {"<\"*|>", '\\', "___|_"},
        {std::string("a\x01\tb\x1F", 5), '\\', "a__b_"},
        {"   ", '\\', "___"},
        {" lead", '\\', " lead"},
        {"\x80\xFF\xA0", '\\', "\x80\xFF\xA0"},  // OEM letters stay
        {"", '\\', ""},
    };
    for (const auto& c : cases) EXPECT_EQ(MakeValidFileName(c.text, c.keep), c.result) << c.text;
}

class ForceDirectoriesTest : public testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/kv_force_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root_ = pattern;
    }
    void TearDown() override {
        chmod((root_ + "/locked").c_str(), 0700);
        std::filesystem::remove_all(root_);
    }
    std::string root_;
};

TEST_F(ForceDirectoriesTest, CreatesTheWholeChain) {
    const std::string path = root_ + "/a/b/c";
    EXPECT_TRUE(ForceDirectories(path));
    EXPECT_TRUE(DirectoryExists(root_ + "/a/b"));
    EXPECT_TRUE(DirectoryExists(path));
    EXPECT_TRUE(ForceDirectories(path + "/"));  // already there; trailing delimiter ignored
    EXPECT_TRUE(ForceDirectories(root_ + "//d//e//"));
    EXPECT_TRUE(DirectoryExists(root_ + "/d/e"));
}

TEST_F(ForceDirectoriesTest, BlankAndRootCountAsDone) {
    EXPECT_TRUE(ForceDirectories(""));
    EXPECT_TRUE(ForceDirectories(std::string(" \t\0", 3)));
    EXPECT_TRUE(ForceDirectories("/"));
}

TEST_F(ForceDirectoriesTest, ReportsAFolderThatCannotBeMade) {
    std::ofstream(root_ + "/file") << "x";
    EXPECT_FALSE(ForceDirectories(root_ + "/file/sub"));
    EXPECT_FALSE(ForceDirectories(root_ + "/file/sub/deeper"));
    if (geteuid() != 0) {  // root ignores permissions
        ASSERT_EQ(mkdir((root_ + "/locked").c_str(), 0500), 0);
        EXPECT_FALSE(ForceDirectories(root_ + "/locked/new"));
    }
}

TEST(DirectoryExists, TellsFoldersFromFiles) {
    char pattern[] = "/tmp/kv_dirx_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string root = pattern;
    std::ofstream(root + "/file") << "x";
    EXPECT_TRUE(DirectoryExists(root));
    EXPECT_FALSE(DirectoryExists(root + "/file"));
    EXPECT_FALSE(DirectoryExists(root + "/missing"));
    std::filesystem::remove_all(root);
}

TEST(GetTempFile, CreatesDistinctEmptyFiles) {
    const std::string first = GetTempFile();
    const std::string second = GetTempFile();
    ASSERT_FALSE(first.empty());
    ASSERT_FALSE(second.empty());
    EXPECT_NE(first, second);
    EXPECT_EQ(std::filesystem::file_size(first), 0u);
    std::filesystem::remove(first);
    std::filesystem::remove(second);
}

}  // namespace
}  // namespace kestrova
