#include "news/article_ranges.h"

#include <gtest/gtest.h>

#include <string>

#include "news/read_marks.h"
#include "platform/fresh_store.h"
#include "store/registry.h"
#include "ui/module_state.h"

namespace kestrova {
namespace {

struct ParseCase {
    const char* text;
    const char* kept;  // Text() of what was read
    bool damaged;
};

// What the store or a .newsrc may hold, sound and hostile.
const ParseCase kParseCases[] = {
    {"", "", false},
    {"1-200,205", "1-200,205", false},
    {" 5 , 1-3 ", "1-3,5", false},         // blanks, out of order
    {"1-10,5-20,21,30-25", "1-21", true},  // overlapping and touching merge; reversed skipped
    {"7-7", "7", false},                   // a one-number range is written as the number
    {"0-3,4", "4", true},                  // articles are numbered from 1
    {"-5,abc,1-,3-x,9", "9", true},        // garbage
    {"1-1125899906842624", "1-1125899906842624", false},  // the largest number taken
    {"1-1125899906842625", "", true},                     // past it
    {"99999999999999999999999", "", true},                // past 64 bits
    {"1,,,2", "1-2", false},
};

TEST(ArticleRanges, ReadsWhatItCanAndSaysWhatItSkipped) {
    for (const ParseCase& c : kParseCases) {
        bool damaged = !c.damaged;
        const TArticleRanges ranges = TArticleRanges::Parse(c.text, &damaged);
        EXPECT_EQ(ranges.Text(), c.kept) << c.text;
        EXPECT_EQ(damaged, c.damaged) << c.text;
    }
}

TEST(ArticleRanges, CountsAndChangesNumbers) {
    TArticleRanges ranges = TArticleRanges::Parse("3-8,12");
    EXPECT_EQ(ranges.CountIn(1, 20), 7);
    EXPECT_EQ(ranges.CountIn(5, 12), 5);
    EXPECT_FALSE(ranges.Contains(2));
    EXPECT_TRUE(ranges.Contains(3));
    EXPECT_TRUE(ranges.Contains(8));
    EXPECT_FALSE(ranges.Contains(9));
    EXPECT_TRUE(ranges.Contains(12));
    ranges.Remove(5, 6);
    EXPECT_EQ(ranges.Text(), "3-4,7-8,12");
    ranges.Add(9, 11);
    EXPECT_EQ(ranges.Text(), "3-4,7-12");
    ranges.Remove(1, 100);
    EXPECT_TRUE(ranges.Empty());
}

// A text of more single numbers than the bound keeps the newest apart and closes the oldest
// gaps: memory stays bounded and no article reads unread that was read.
TEST(ArticleRanges, ManyRangesCloseTheOldestGaps) {
    std::string text;
    const int64_t count = TArticleRanges::kMaxRanges + 100;
    for (int64_t n = 1; n <= count; ++n) text += std::to_string(2 * n) + ',';
    const TArticleRanges ranges = TArticleRanges::Parse(text);
    ASSERT_EQ(ranges.Ranges().size(), TArticleRanges::kMaxRanges);
    EXPECT_EQ(ranges.Ranges().front().First, 2);
    EXPECT_EQ(ranges.Ranges().back().First, 2 * count);
    EXPECT_TRUE(ranges.Contains(2 * count - 2));
    EXPECT_FALSE(ranges.Contains(2 * count - 1));
}

class ReadMarksTest : public ::testing::Test {
  protected:
    ReadMarksTest() {
        OptionsKey = "Software\\Far\\Plugins\\Kestrova";
        account_.Url.HostName = "news.example.org";
        account_.Url.Port = 119;
    }
    FreshStore store_;
    TAccountOptions account_;
};

TEST_F(ReadMarksTest, KeptInTheStoreAndReadBackByAnotherSession) {
    TReadMarks(account_).Set("comp.lang.c", TArticleRanges::Parse("1-200,205"));
    TReadMarks again(account_);
    EXPECT_EQ(again.Of("comp.lang.c").Text(), "1-200,205");
    EXPECT_TRUE(again.Of("comp.lang.d").Empty());
    EXPECT_EQ(again.Groups(), std::vector<std::string>{"comp.lang.c"});
    TAccountOptions other = account_;
    other.Url.Port = 1119;  // another server
    EXPECT_TRUE(TReadMarks(other).Of("comp.lang.c").Empty());
}

// A value too long to be marks, or not a text at all, reads as no marks.
TEST_F(ReadMarksTest, AValueThatIsNoMarksReadsAsNone) {
    TReadMarks(account_).Set("a.group", TArticleRanges::Parse("1"));
    TReadMarks(account_).Set("b.group", TArticleRanges::Parse("1"));
    TRegistry raw;
    ASSERT_TRUE(
        raw.OpenKey("Software\\Far\\Plugins\\Kestrova\\Read marks\\@news.example.org", false));
    std::string tooLong;  // sound ranges, but more than marks can be
    while (tooLong.size() <= TReadMarks::kMaxStoredText) tooLong += "1,";
    raw.WriteString("a.group", tooLong);
    const uint32_t number = 7;
    raw.PutData("b.group", &number, sizeof number, TRegDataType::rdInteger);
    TReadMarks marks(account_);
    EXPECT_TRUE(marks.Of("a.group").Empty());
    EXPECT_TRUE(marks.Of("b.group").Empty());
}

}  // namespace
}  // namespace kestrova
