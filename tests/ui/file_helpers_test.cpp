#include "ui/file_helpers.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace kestrova {
namespace {

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
        {"*.bak", "a.b.txt", "a.b.bak"},  // the extension is after the last dot
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

TEST(ForceDirectories, CreatesTheChainOrReportsWhyNot) {
    char pattern[] = "/tmp/kv_force_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string root = pattern;
    EXPECT_TRUE(ForceDirectories(root + "/a/b/c"));
    EXPECT_TRUE(DirectoryExists(root + "/a/b/c"));
    EXPECT_TRUE(ForceDirectories(root + "/a/b/c/"));  // already there
    EXPECT_TRUE(ForceDirectories(root + "//d//e//"));
    EXPECT_TRUE(DirectoryExists(root + "/d/e"));
    for (const std::string& done : {std::string(" \t\0", 3), std::string("/")})
        EXPECT_TRUE(ForceDirectories(done));
    std::ofstream(root + "/file") << "x";
    EXPECT_FALSE(DirectoryExists(root + "/file"));
    EXPECT_FALSE(ForceDirectories(root + "/file/sub/deeper"));
    if (geteuid() != 0) {  // root ignores permissions
        ASSERT_EQ(mkdir((root + "/locked").c_str(), 0500), 0);
        EXPECT_FALSE(ForceDirectories(root + "/locked/new"));
        chmod((root + "/locked").c_str(), 0700);
    }
    std::filesystem::remove_all(root);
}

}  // namespace
}  // namespace kestrova
