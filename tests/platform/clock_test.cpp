#include "platform/clock.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <ctime>
#include <optional>
#include <stdexcept>
#include <tuple>

#include "platform/scoped_environment.h"

namespace kestrova::platform {
namespace {

SYSTEMTIME Make(uint16_t year, uint16_t month, uint16_t day, uint16_t hour = 0, uint16_t minute = 0,
                uint16_t second = 0, uint16_t milliseconds = 0) {
    return {year, month, 0, day, hour, minute, second, milliseconds};
}

auto Moment(const SYSTEMTIME& t) {
    return std::tie(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds);
}

struct KnownDate {
    const char* what;
    SYSTEMTIME time;
    uint64_t fileTime;
    int dayOfWeek;  // Sunday 0
};

const KnownDate kKnownDates[] = {
    {"start of the FILETIME count", Make(1601, 1, 1), 0, 1},
    {"start of the day count", Make(1899, 12, 30), 94'353'120'000'000'000ull, 6},
    {"Unix epoch", Make(1970, 1, 1), 116'444'736'000'000'000ull, 4},
    {"leap day of a 400-year", Make(2000, 2, 29, 23, 59, 59, 999), 125'963'423'999'990'000ull, 2},
    {"leap day", Make(2024, 2, 29, 12), 133'536'816'000'000'000ull, 4},
    {"day after a February", Make(2026, 3, 1, 12, 34, 56, 789), 134'168'420'967'890'000ull, 0},
    {"late 2026", Make(2026, 12, 6, 9, 55, 30), 134'410'245'300'000'000ull, 0},
    {"last moment", Make(30827, 12, 31, 23, 59, 59, 999), 9'223'149'887'999'990'000ull, -1},
};

TEST(ClockTest, KnownDatesConvertBothWays) {
    for (const KnownDate& known : kKnownDates) {
        FILETIME ft{};
        ASSERT_TRUE(SystemTimeToFileTime(known.time, ft)) << known.what;
        EXPECT_EQ(FileTimeToU64(ft), known.fileTime) << known.what;

        SYSTEMTIME back{};
        ASSERT_TRUE(FileTimeToSystemTime(ft, back)) << known.what;
        EXPECT_EQ(Moment(back), Moment(known.time)) << known.what;
        if (known.dayOfWeek >= 0) {
            EXPECT_EQ(back.wDayOfWeek, known.dayOfWeek) << known.what;
        }
    }
}

TEST(ClockTest, InvalidSystemTimesAreRefusedAndLeaveTheOutputAlone) {
    // Month 0 and 13, day 0, April 31, February 29 of a common year and of 2100, hour 24,
    // minute 60, second 60, millisecond 1000, years before 1601 and after 30827.
    const SYSTEMTIME cases[] = {
        Make(2026, 0, 1),           Make(2026, 13, 1),
        Make(2026, 1, 0),           Make(2026, 4, 31),
        Make(2026, 2, 29),          Make(2100, 2, 29),
        Make(2026, 1, 1, 24),       Make(2026, 1, 1, 0, 60),
        Make(2026, 1, 1, 0, 0, 60), Make(2026, 1, 1, 0, 0, 0, 1000),
        Make(1600, 12, 31),         Make(30828, 1, 1),
    };
    for (const SYSTEMTIME& time : cases) {
        const std::string what = ::testing::PrintToString(Moment(time));
        FILETIME ft = U64ToFileTime(12345);
        EXPECT_FALSE(SystemTimeToFileTime(time, ft)) << what;
        EXPECT_EQ(FileTimeToU64(ft), 12345u) << what;
        EXPECT_THROW(SystemTimeToDateTime(time), std::invalid_argument) << what;
    }
    SYSTEMTIME st = Make(2026, 1, 1);
    EXPECT_FALSE(FileTimeToSystemTime(U64ToFileTime(0x8000'0000'0000'0000ull), st));
    EXPECT_EQ(st.wYear, 2026);
}

TEST(ClockTest, UnixTimesConvertWithTheirFraction) {
    EXPECT_EQ(FileTimeToU64(UnixTimeToFileTime(1'700'000'000)), 133'444'736'000'000'000ull);
    EXPECT_EQ(FileTimeToU64(UnixTimeToFileTime(1'700'000'000, 123'456'789)),
              133'444'736'001'234'567ull);
    EXPECT_EQ(FileTimeToU64(UnixTimeToFileTime(-1)), 116'444'735'990'000'000ull);
    EXPECT_EQ(FileTimeToU64(UnixTimeToFileTime(-20'000'000'000)), 0u);  // before 1601

    EXPECT_EQ(FileTimeToUnixTime(U64ToFileTime(133'444'736'009'999'999ull)), 1'700'000'000);
    EXPECT_EQ(FileTimeToUnixTime(U64ToFileTime(116'444'735'995'000'000ull)), -1);
    EXPECT_EQ(FileTimeToUnixTime(U64ToFileTime(0)), -11'644'473'600);
}

TEST(ClockTest, DayCountDateTimesOfKnownDates) {
    const struct {
        SYSTEMTIME time;
        double dateTime;
    } cases[] = {
        {Make(1899, 12, 30), 0.0},      {Make(1899, 12, 31, 6), 1.25},
        {Make(1899, 12, 29, 6), -1.25}, {Make(1899, 12, 29, 18), -1.75},
        {Make(2026, 1, 1), 46023.0},    {Make(2026, 12, 6, 12), 46362.5},
        {Make(1601, 1, 1), -109205.0},  {Make(2024, 2, 29, 23, 59, 59, 999), 45351.999999988426},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(SystemTimeToDateTime(c.time), c.dateTime);
    }
}

class LocalTimeTest : public ::testing::Test {
  protected:
    void TearDown() override {
        environment_.reset();  // restores TZ
        tzset();
    }
    void UseZone(const char* zone) {
        environment_->Set("TZ", zone);
        tzset();
    }
    std::optional<ScopedEnvironment> environment_{std::in_place};
};

TEST_F(LocalTimeTest, LocalTimeUsesTheOffsetInEffectAtThatMomentAndNowAgrees) {
    const struct {
        const char* zone;
        SYSTEMTIME utc;
        SYSTEMTIME local;
    } cases[] = {
        {"UTC0", Make(2026, 7, 1, 12), Make(2026, 7, 1, 12)},
        {"XST-3", Make(2026, 12, 31, 22, 30), Make(2027, 1, 1, 1, 30)},
        {"EST5EDT,M3.2.0,M11.1.0", Make(2026, 1, 15, 12), Make(2026, 1, 15, 7)},
        {"EST5EDT,M3.2.0,M11.1.0", Make(2026, 7, 1, 12), Make(2026, 7, 1, 8)},
    };
    for (const auto& c : cases) {
        UseZone(c.zone);
        FILETIME utc{};
        FILETIME local{};
        ASSERT_TRUE(SystemTimeToFileTime(c.utc, utc));
        ASSERT_TRUE(FileTimeToLocalFileTime(utc, local));
        SYSTEMTIME shown{};
        ASSERT_TRUE(FileTimeToSystemTime(local, shown));
        EXPECT_EQ(Moment(shown), Moment(c.local)) << c.zone;
    }
    UseZone("XST+5");  // a local time before 1601 is refused
    FILETIME local = U64ToFileTime(7);
    EXPECT_FALSE(FileTimeToLocalFileTime(U64ToFileTime(0), local));
    EXPECT_EQ(FileTimeToU64(local), 7u);

    // The present in each of its forms.
    UseZone("XST-3");
    FILETIME utc{};
    ASSERT_TRUE(SystemTimeToFileTime(NowSystemTime(), utc));
    ASSERT_TRUE(SystemTimeToFileTime(NowLocalSystemTime(), local));
    EXPECT_NEAR(FileTimeToUnixTime(utc), FileTimeToUnixTime(NowFileTime()), 2);
    EXPECT_NEAR(FileTimeToUnixTime(local) - FileTimeToUnixTime(utc), 3 * 3600, 2);
    EXPECT_NEAR(NowDateTime(), SystemTimeToDateTime(NowLocalSystemTime()), 2.0 / 86400);
}

TEST(DateTextTest, ShortDateFollowsTheFormatsOrderAndSeparatorOrTheLocale) {
    const SYSTEMTIME date = Make(2026, 12, 5, 7, 5, 9);
    const struct {
        const char* format;
        const char* expected;
    } cases[] = {
        {"%d.%m.%Y", "05.12.2026"},    {"%m/%d/%y", "12/05/2026"}, {"%Y-%m-%d", "2026-12-05"},
        {"%D", "12/05/2026"},          {"%F", "2026-12-05"},       {"%e/%m/%Y", "05/12/2026"},
        {"%d%m%Y", "05.12.2026"},      {"", "05.12.2026"},         {"%Y/%m", "05.12.2026"},
        {"%Ey.%Om.%Od", "2026.12.05"},
    };
    for (const auto& c : cases) EXPECT_EQ(ShortDateText(date, c.format), c.expected) << c.format;
    // The locale's own format, and the time.
    ASSERT_NE(std::setlocale(LC_TIME, "C"), nullptr);
    EXPECT_EQ(ShortDateText(Make(1999, 1, 2)), "01/02/1999");
    EXPECT_EQ(LongTimeText(Make(2026, 1, 1, 7, 5, 9)), "07:05:09");
    EXPECT_EQ(LongTimeText(Make(2026, 1, 1, 23, 59, 0)), "23:59:00");
}

}  // namespace
}  // namespace kestrova::platform
