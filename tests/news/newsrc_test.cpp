#include "news/newsrc.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrova {
namespace {

// A .newsrc as a person writes it, in the form it is written again.
constexpr const char* kHandWritten =
    "alt.test! 1-5\n"
    "comp.lang.c: 1-200,205\n"
    "comp.lang.c++:\n"
    "misc.misc!\n"
    "news.announce.newusers: 1\n";

TEST(Newsrc, AHandWrittenFileReadsAndWritesAgainLineForLine) {
    const TNewsrcText read = ParseNewsrc(kHandWritten);
    EXPECT_EQ(read.Skipped, 0);
    ASSERT_EQ(read.Entries.size(), 5u);
    EXPECT_FALSE(read.Entries[0].Subscribed);
    EXPECT_TRUE(read.Entries[1].Subscribed);
    EXPECT_TRUE(read.Entries[1].Read.Contains(205));
    EXPECT_EQ(WriteNewsrc(read.Entries), kHandWritten);
}

struct LineCase {
    std::string text;
    size_t groups;
    int skipped;
};

// What another program, or a damaged file, may hold.
const LineCase kLineCases[] = {
    {"a.b: 1-3\r\nc.d! 4\r\n", 2, 0},                  // CR LF lines
    {"\n  \n\t\n", 0, 0},                              // blank lines are nothing
    {"no mark here\nx.y: 1\n", 1, 1},                  // neither ':' nor '!'
    {"bad name: 1\n:1-5\n", 0, 2},                     // a blank in the name, no name
    {std::string(129, 'g') + ": 1\n", 0, 1},           // a name longer than a group's
    {"a.b: " + std::string(70000, '1') + "\n", 0, 1},  // a line past the bound
    {"a.b: 5-1,x,7\n", 1, 0},                          // damaged ranges: the rest is taken
    {std::string("a\x1b[2J.b: 1\n"), 0, 1},            // control characters in the name
};

TEST(Newsrc, LinesThatAreNoGroupsAreSkippedAndCounted) {
    for (const LineCase& c : kLineCases) {
        const TNewsrcText read = ParseNewsrc(c.text);
        EXPECT_EQ(read.Entries.size(), c.groups) << c.text.substr(0, 40);
        EXPECT_EQ(read.Skipped, c.skipped) << c.text.substr(0, 40);
    }
    EXPECT_EQ(ParseNewsrc("a.b: 5-1,x,7\n").Entries[0].Read.Text(), "7");
}

}  // namespace
}  // namespace kestrova
