#include "ui/article_date.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <utility>

#include "platform/clock.h"

namespace kestrova {
namespace {

std::string Iso(time_t seconds) {
    std::tm fields{};
    gmtime_r(&seconds, &fields);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &fields);
    return text;
}

// The date read as UTC, "invalid" when refused with the output left as it was.
std::string Parsed(const std::string& text) {
    FILETIME ft{0x12345678, 0x9ABCDEF};
    if (!ParseArticleDate(text, ft))
        return ft.dwLowDateTime == 0x12345678u && ft.dwHighDateTime == 0x9ABCDEFu ? "invalid"
                                                                                  : "changed";
    if (platform::FileTimeToU64(ft) % 10000000u != 0) return "a fraction of a second";
    return Iso(static_cast<time_t>(platform::FileTimeToUnixTime(ft)));
}

// expected with each '#' replaced by the digit of the current time.
std::string AsNow(std::string expected, const std::string& now) {
    for (size_t i = 0; i < expected.size(); ++i)
        if (expected[i] == '#') expected[i] = now[i];
    return expected;
}

TEST(ParseArticleDate, ReadsDateLines) {
    const std::pair<std::string, const char*> cases[] = {
        {"Sun, 5 Dec 99 10:02:03 +0300", "1999-12-05 10:02:03"},  // zone ignored: taken as UTC
        {"Sun, 5 Dec 99 10:02:03 -0500", "1999-12-05 10:02:03"},
        {"5 Dec 1999 10:02:03 GMT", "1999-12-05 10:02:03"},
        {"Tue, 07 Jan 2003 23:59:59", "2003-01-07 23:59:59"},
        {"7 jan 03 1:2:3", "2003-01-07 01:02:03"},
        {"7 JAN 49 00:00:00", "2049-01-07 00:00:00"},  // below 50: 2000s
        {"1 Feb 50 12:00:00", "1950-02-01 12:00:00"},  // 50 to 99: 1900s
        {"1 Feb 2100 12:00:00", "2100-02-01 12:00:00"},
        {"\t \xFF Mon,  \xFF 2 Mar 2020 \t08:09:10", "2020-03-02 08:09:10"},
        {"Mon, 2 Mar 2020 08:09", "2020-03-02 08:09:00"},  // no seconds
        {"5 Дек 99 10:02:03", "1999-12-05 10:02:03"},      // Russian
        {"5 дек 99 10:02:03", "1999-12-05 10:02:03"},      // lower case
        {"5 ДЕК 99 10:02:03", "1999-12-05 10:02:03"},      // upper case
        {"5 Xyz 99 10:02:03", "invalid"},
        {"5 December 99 10:02:03", "invalid"},
        {"Sun, 5, Dec 99", "invalid"},
        {"31 Feb 2001", "invalid"},
        {"5 Dec 99 25:00:00", "invalid"},
        {"Mon, 5 Dec xx", "####-12-05 ##:##:##"},  // "xx" is no year: the current one
        {"", "####-##-## ##:##:##"},
    };
    for (const auto& [text, expected] : cases) {
        // time() may lag the precise clock by a tick: a second later counts as now too.
        const time_t before = time(nullptr);
        const std::string parsed = Parsed(text);
        bool matched = false;
        for (time_t now = before; now <= time(nullptr) + 1; ++now)
            matched = matched || parsed == AsNow(expected, Iso(now));
        EXPECT_TRUE(matched) << text << ": " << parsed;
    }
}

}  // namespace
}  // namespace kestrova
