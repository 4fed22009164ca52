#include "host/wildcard_match.h"

#include <gtest/gtest.h>

#include <tuple>

namespace kestrova::host {
namespace {

TEST(WildcardMatch, MatchesStarsQuestionMarksAndCase) {
    for (auto [pattern, name, skipPath, match] : {
             std::tuple{"*", "anything", false, true},
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
         })
        EXPECT_EQ(WildcardMatch(pattern, name, skipPath), match) << pattern << " ~ " << name;
}

}  // namespace
}  // namespace kestrova::host
