#include "ui/article_date.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "platform/clock.h"

namespace kestrova {
namespace {

constexpr uint64_t kTicksPerSecond = 10000000ull;

time_t UnixSeconds(const FILETIME& ft) {
    return static_cast<time_t>(platform::FileTimeToUnixTime(ft));
}

// The UTC calendar fields of a FILETIME, worked out by the C library.
std::tm UtcFields(const FILETIME& ft) {
    const time_t seconds = UnixSeconds(ft);
    std::tm fields{};
    gmtime_r(&seconds, &fields);
    return fields;
}

std::string Iso(const std::tm& t) {
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &t);
    return text;
}

TEST(ParseArticleDate, ReadsDateLines) {
    const struct {
        std::string text;
        const char* expected;
    } cases[] = {
        {"Sun, 5 Dec 99 10:02:03 +0300", "1999-12-05 10:02:03"},  // zone ignored: taken as UTC
        {"Sun, 5 Dec 99 10:02:03 -0500", "1999-12-05 10:02:03"},
        {"5 Dec 1999 10:02:03 GMT", "1999-12-05 10:02:03"},
        {"Tue, 07 Jan 2003 23:59:59", "2003-01-07 23:59:59"},
        {"7 jan 03 1:2:3", "2003-01-07 01:02:03"},
        {"7 JAN 49 00:00:00", "2049-01-07 00:00:00"},  // below 50: 2000s
        {"1 Feb 50 12:00:00", "1950-02-01 12:00:00"},  // 50 to 99: 1900s
        {"1 Feb 2100 12:00:00", "2100-02-01 12:00:00"},
        {"\t \xFF Mon,  \xFF 2 Mar 2020 \t08:09:10", "2020-03-02 08:09:10"},
        {"Mon, 2 Mar 2020 08:09", "2020-03-02 08:09:00"},       // no seconds
        {"5 \x84\xA5\xAA 99 10:02:03", "1999-12-05 10:02:03"},  // Russian, code page 866
        {"5 \xA4\xA5\xAA 99 10:02:03", "1999-12-05 10:02:03"},  // lower case
        {"5 \x84\x85\x8A 99 10:02:03", "1999-12-05 10:02:03"},  // upper case
    };
    for (const auto& c : cases) {
        FILETIME ft{};
        ASSERT_TRUE(ParseArticleDate(c.text, ft)) << c.text;
        EXPECT_EQ(Iso(UtcFields(ft)), c.expected) << c.text;
        EXPECT_EQ(platform::FileTimeToU64(ft) % kTicksPerSecond, 0u) << c.text;
    }
}

TEST(ParseArticleDate, InvalidDateLeavesTheOutputAsInitialised) {
    const char* cases[] = {"5 Xyz 99 10:02:03", "5 December 99 10:02:03", "Sun, 5, Dec 99",
                           "31 Feb 2001", "5 Dec 99 25:00:00"};
    for (const char* text : cases) {
        FILETIME ft{0x12345678, 0x9ABCDEF};
        EXPECT_FALSE(ParseArticleDate(text, ft)) << text;
        EXPECT_EQ(ft.dwLowDateTime, 0x12345678u) << text;
        EXPECT_EQ(ft.dwHighDateTime, 0x9ABCDEFu) << text;
    }
}

TEST(ParseArticleDate, FieldsThatDoNotConvertKeepTheCurrentTime) {
    const time_t before = time(nullptr);
    FILETIME ft{};
    ASSERT_TRUE(ParseArticleDate("Mon, 5 Dec xx", ft));
    const time_t after = time(nullptr);
    std::tm now{};
    gmtime_r(&before, &now);
    const std::tm t = UtcFields(ft);
    EXPECT_EQ(t.tm_mday, 5);
    EXPECT_EQ(t.tm_mon, 11);
    EXPECT_EQ(t.tm_year, now.tm_year);  // "xx" is no year
    // The time of day is the current one.
    const time_t parsed = UnixSeconds(ft);
    const time_t timeOfDay = parsed % 86400;
    EXPECT_TRUE(timeOfDay == before % 86400 || timeOfDay == after % 86400 ||
                (before % 86400 <= timeOfDay && timeOfDay <= after % 86400));
}

TEST(ParseArticleDate, EmptyTextGivesTheCurrentTime) {
    const time_t before = time(nullptr);
    FILETIME ft{};
    ASSERT_TRUE(ParseArticleDate("", ft));
    EXPECT_GE(UnixSeconds(ft), before);
    EXPECT_LE(UnixSeconds(ft), time(nullptr));
}

}  // namespace
}  // namespace kestrova
