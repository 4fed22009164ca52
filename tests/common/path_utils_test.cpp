#include "common/path_utils.h"

#include <gtest/gtest.h>

namespace kestrova {
namespace {

TEST(Paths, IncludeTrailingSeparator) {
    EXPECT_EQ(IncludeTrailingSeparator("", '\\'), "");
    EXPECT_EQ(IncludeTrailingSeparator("C:", '\\'), "C:");
    EXPECT_EQ(IncludeTrailingSeparator("A\\", '\\'), "A\\");
    EXPECT_EQ(IncludeTrailingSeparator("A", '\\'), "A\\");
    EXPECT_EQ(IncludeTrailingSeparator("a/b", '/'), "a/b/");
}

struct CombineCase {
    const char* base;
    const char* name;
    const char* expected;
};

TEST(Paths, CombinePath) {
    const CombineCase cases[] = {
        {"\\News\\", "..\\Talk", "\\Talk\\"},
        {"\\", "srv1", "\\srv1\\"},
        {"C:\\A", "D:\\B", "D:\\B\\"},
        {"\\", "..", "\\"},
        {"", "..", "..\\"},
        {"\\A\\B\\", ".\\C", "\\A\\B\\C\\"},
        {"\\A", "", "\\A\\"},
        {"", "", ""},
        {"\\A", "\\X\\Y", "\\X\\Y\\"},
        {"\\A\\B", "..\\..\\..", "\\"},
        {"A", "..\\..", "..\\"},
        {"..\\", "..", "..\\..\\"},
        {"\\A", "B\\\\C\\", "\\A\\B\\C\\"},
        {"C:", "x", "C:x\\"},
        {"C:\\", "..", "C:\\"},
        {"C:", "..", "C:..\\"},
        {"\\A", "b\\c:\\d", "c:\\d\\"},
    };
    for (const CombineCase& c : cases)
        EXPECT_EQ(CombinePath(c.base, c.name, '\\'), c.expected) << c.base << " + " << c.name;
    EXPECT_EQ(CombinePath("/srv/news", "../spool/./in", '/'), "/srv/spool/in/");
}

TEST(Paths, RemoveLastComponent) {
    struct Case {
        std::string path, expected;
        bool removed;
    };
    const Case cases[] = {
        {"", "..\\", false},       {"\\", "\\", false},           {"\\\\", "\\", false},
        {"C:", "C:..\\", false},   {"C:\\", "C:\\", false},       {"\\A\\B\\", "\\A\\", true},
        {"\\A\\B", "\\A\\", true}, {"\\A\\B\\\\", "\\A\\", true}, {"A", "", true},
        {"C:\\A", "C:\\", true},   {"..\\", "..\\..\\", true},    {"\\..", "\\..\\..\\", true},
    };
    for (const Case& c : cases) {
        std::string path = c.path;
        EXPECT_EQ(RemoveLastComponent(path, '\\'), c.removed) << c.path;
        EXPECT_EQ(path, c.expected) << c.path;
    }
}

}  // namespace
}  // namespace kestrova
