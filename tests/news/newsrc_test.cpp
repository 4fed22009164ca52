// The .newsrc text read and written, and imported into a session's own groups and exported again.
#include "news/newsrc.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "news/news_session_fixture.h"
#include "platform/fresh_store.h"
#include "ui/message_numbers.h"
#include "ui/module_state.h"

namespace kestrova::testing {
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

// A .newsrc as a person writes it, in name order: subscribed groups the server has and one it
// has not listed yet, another group's marks, and a subscribed group read nowhere.
constexpr const char* kImported =
    "alt.test: 1-2\n"
    "comp.lang.c: 1-200,205\n"
    "misc.misc! 3,7-9\n"
    "news.answers:\n";

class NewsrcSessionTest : public NewsSessionTest {
  protected:
    NewsrcSessionTest() { OptionsKey = "Software\\Far\\Plugins\\Kestrova"; }
    FreshStore store;
};

TEST_F(NewsrcSessionTest, AHandWrittenNewsrcImportsAndExportsAgainLineForLine) {
    std::ofstream(home.At("in.newsrc")) << kImported << "not a group line\n";
    server.Start();
    ConnectNew(Account());
    host.texts[kMsgNewsrcImported] = "%d groups, %d subscribed, %d skipped";
    host.messageAnswers = {0, 0};
    EXPECT_TRUE(manager->ImportNewsrc(home.At("in.newsrc")));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].items[1], "4 groups, 3 subscribed, 1 skipped");
    // The subscribed groups are own groups now, each with its unread articles counted.
    EXPECT_EQ(List().names, (Names{"alt.test", "comp.lang.c", "news.answers"}));
    // Another session of the same account writes the same lines.
    ConnectNew(Account());
    manager->ExportNewsrc(home.At("out.newsrc"));
    EXPECT_EQ(home.ReadFile("out.newsrc"), kImported);
}

}  // namespace
}  // namespace kestrova::testing
