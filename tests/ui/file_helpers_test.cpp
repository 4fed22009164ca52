#include "ui/file_helpers.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <tuple>
#include <utility>

#include "platform/temp_folder.h"

namespace kestrova {
namespace {

TEST(ApplyNameMask, FollowsTheRenameMaskRule) {
    for (auto [mask, name, result] : {
             std::tuple{"*.txt", "12 Hello.msg", "12 Hello.txt"},
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
         })
        EXPECT_EQ(ApplyNameMask(mask, name), result) << mask << " " << name;
}

TEST(MakeValidFileName, ReplacesInvalidCharactersAndTrailingBlanks) {
    for (const auto& [text, keep, result] : {
             std::tuple<std::string, char, std::string>{"a:b? ", '\\', "a_b__"},
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
         })
        EXPECT_EQ(MakeValidFileName(text, keep), result) << text;
}

TEST(ForceDirectories, CreatesTheChainOrReportsWhyNot) {
    TempFolderForTest folder;
    const std::string root = folder.Path();
    std::ofstream(root + "/file") << "x";
    // A folder without write permission refuses a new one inside (root ignores permissions).
    const bool locked = geteuid() != 0 && mkdir((root + "/locked").c_str(), 0500) == 0;
    for (const auto& [path, made] : {std::pair{root + "/a/b/c", true},
                                     {root + "/a/b/c/", true},  // already there
                                     {root + "//d//e//", true},
                                     {std::string(" \t\0", 3), true},
                                     {std::string("/"), true},
                                     {root + "/file/sub/deeper", false},
                                     {root + "/locked/new", !locked}})
        EXPECT_EQ(ForceDirectories(path), made) << path;
    EXPECT_TRUE(DirectoryExists(root + "/a/b/c") && DirectoryExists(root + "/d/e"));
    EXPECT_FALSE(DirectoryExists(root + "/file"));
}

}  // namespace
}  // namespace kestrova
