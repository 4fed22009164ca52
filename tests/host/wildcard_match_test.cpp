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
        {"\xA0\xA1*", "\x80\x81\xE0", false, true},  // CP866 Cyrillic lower vs upper
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
