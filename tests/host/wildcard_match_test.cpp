#include "host/wildcard_match.h"

#include <gtest/gtest.h>

namespace kestrova::host {
namespace {

TEST(WildcardMatch, MatchesStarsQuestionMarksAndCase) {
    struct Case {
        const char* Pattern;
        const char* Name;
        bool SkipPath;
        bool Match;
    } cases[] = {
        {"*", "anything", false, true},
        {"*", "", false, true},
        {"*.*", "noext", false, true},
        {"comp.*", "comp.lang.c", false, true},
        {"comp.*", "alt.comp", false, false},
        {"*.txt", "notes.TXT", false, true},
        {"?at", "cat", false, true},
        {"?at", "at", false, false},
        {"a*b*c", "axxbyyc", false, true},
        {"a*b*c", "axxbyy", false, false},
        {"*a*a*a*a*b", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", false, false},
        {"READ*", "readme", false, true},
        {"аб*", "АБР", false, true},  // Cyrillic lower vs upper
        {"?é", "中É", false, true},   // '?' is one character, however many bytes
        {"*.txt", "dir\\file.txt", true, true},
        {"dir*", "dir\\file.txt", true, false},
        {"dir*", "dir\\file.txt", false, true},
        {"file.txt", "a/b/file.txt", true, true},
        {"", "", false, true},
        {"", "a", false, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WildcardMatch(c.Pattern, c.Name, c.SkipPath), c.Match)
            << c.Pattern << " ~ " << c.Name;
}

}  // namespace
}  // namespace kestrova::host
