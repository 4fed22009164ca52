#include "platform/clock.h"

#include <time.h>

#include <stdexcept>

namespace kestrova::platform {

namespace {

constexpr int64_t kTicksPerSecond = 10'000'000;  // FILETIME counts 100 ns
constexpr int64_t kTicksPerMillisecond = 10'000;
constexpr int64_t kMillisecondsPerDay = 86'400'000;
// 1601-01-01 and 1899-12-30 counted in days from 1970-01-01.
constexpr int64_t kFileTimeEpochDay = -134'774;
constexpr int64_t kDateTimeEpochDay = -25'569;
constexpr uint64_t kUnixEpochTicks = 116'444'736'000'000'000ull;
// The first FILETIME that no SYSTEMTIME can hold.
constexpr uint64_t kFileTimeLimit = 0x8000'0000'0000'0000ull;
constexpr int kFirstYear = 1601;
constexpr int kLastYear = 30827;

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar, and back.
int64_t DaysFromCivil(int64_t year, unsigned month, unsigned day) {
    year -= month <= 2;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const unsigned yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<int64_t>(dayOfEra) - 719468;
}

void CivilFromDays(int64_t days, SYSTEMTIME& st) {
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const unsigned dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned monthIndex = (5 * dayOfYear + 2) / 153;
    const unsigned month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
    st.wYear = static_cast<uint16_t>(static_cast<int64_t>(yearOfEra) + era * 400 + (month <= 2));
    st.wMonth = static_cast<uint16_t>(month);
    st.wDay = static_cast<uint16_t>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    // 1970-01-01 was a Thursday (4, counting Sunday as 0).
    st.wDayOfWeek = static_cast<uint16_t>(((days - 719468) % 7 + 11) % 7);
}

bool IsLeapYear(unsigned year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

unsigned DaysInMonth(unsigned year, unsigned month) {
    static constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool IsValid(const SYSTEMTIME& st) {
    return st.wYear >= kFirstYear && st.wYear <= kLastYear && st.wMonth >= 1 && st.wMonth <= 12 &&
           st.wDay >= 1 && st.wDay <= DaysInMonth(st.wYear, st.wMonth) && st.wHour < 24 &&
           st.wMinute < 60 && st.wSecond < 60 && st.wMilliseconds < 1000;
}

int64_t MillisecondsOfDay(const SYSTEMTIME& st) {
    return ((st.wHour * 60 + st.wMinute) * 60 + st.wSecond) * 1000 + st.wMilliseconds;
}

void SetTimeOfDay(int64_t milliseconds, SYSTEMTIME& st) {
    st.wMilliseconds = static_cast<uint16_t>(milliseconds % 1000);
    st.wSecond = static_cast<uint16_t>(milliseconds / 1000 % 60);
    st.wMinute = static_cast<uint16_t>(milliseconds / 60'000 % 60);
    st.wHour = static_cast<uint16_t>(milliseconds / 3'600'000);
}

// The zone's offset from UTC in seconds at a moment given in Unix seconds.
int64_t UtcOffsetAt(int64_t unixSeconds) {
    const time_t moment = static_cast<time_t>(unixSeconds);
    tm local{};
    return localtime_r(&moment, &local) != nullptr ? local.tm_gmtoff : 0;
}

// from moved by a number of seconds; false when from or the result is beyond what a SYSTEMTIME
// can hold.
bool ShiftFileTime(const FILETIME& from, int64_t seconds, FILETIME& to) {
    const uint64_t value = FileTimeToU64(from);
    if (value >= kFileTimeLimit) return false;
    const __int128 shifted =
        static_cast<__int128>(value) + static_cast<__int128>(seconds) * kTicksPerSecond;
    if (shifted < 0 || shifted >= static_cast<__int128>(kFileTimeLimit)) return false;
    to = U64ToFileTime(static_cast<uint64_t>(shifted));
    return true;
}

uint64_t RealMonotonicMillis() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000 +
           static_cast<uint64_t>(now.tv_nsec) / 1'000'000;
}

MonotonicClock monotonicClock = RealMonotonicMillis;

}  // namespace

uint64_t FileTimeToU64(const FILETIME& ft) {
    return (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

FILETIME U64ToFileTime(uint64_t value) {
    return {static_cast<uint32_t>(value), static_cast<uint32_t>(value >> 32)};
}

FILETIME NowFileTime() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return UnixTimeToFileTime(now.tv_sec, now.tv_nsec);
}

SYSTEMTIME NowSystemTime() {
    SYSTEMTIME st{};
    FileTimeToSystemTime(NowFileTime(), st);
    return st;
}

SYSTEMTIME NowLocalSystemTime() {
    FILETIME local{};
    SYSTEMTIME st{};
    if (FileTimeToLocalFileTime(NowFileTime(), local)) FileTimeToSystemTime(local, st);
    return st;
}

bool SystemTimeToFileTime(const SYSTEMTIME& st, FILETIME& ft) {
    if (!IsValid(st)) return false;
    const int64_t days = DaysFromCivil(st.wYear, st.wMonth, st.wDay) - kFileTimeEpochDay;
    const int64_t milliseconds = days * kMillisecondsPerDay + MillisecondsOfDay(st);
    ft = U64ToFileTime(static_cast<uint64_t>(milliseconds) * kTicksPerMillisecond);
    return true;
}

bool FileTimeToSystemTime(const FILETIME& ft, SYSTEMTIME& st) {
    const uint64_t value = FileTimeToU64(ft);
    if (value >= kFileTimeLimit) return false;
    const int64_t milliseconds = static_cast<int64_t>(value) / kTicksPerMillisecond;
    SYSTEMTIME result{};
    CivilFromDays(milliseconds / kMillisecondsPerDay + kFileTimeEpochDay, result);
    SetTimeOfDay(milliseconds % kMillisecondsPerDay, result);
    st = result;
    return true;
}

bool FileTimeToLocalFileTime(const FILETIME& utc, FILETIME& local) {
    return ShiftFileTime(utc, UtcOffsetAt(FileTimeToUnixTime(utc)), local);
}

double SystemTimeToDateTime(const SYSTEMTIME& st) {
    if (!IsValid(st)) throw std::invalid_argument("invalid date or time");
    const int64_t days = DaysFromCivil(st.wYear, st.wMonth, st.wDay) - kDateTimeEpochDay;
    const double timeOfDay =
        static_cast<double>(MillisecondsOfDay(st)) / static_cast<double>(kMillisecondsPerDay);
    return days >= 0 ? static_cast<double>(days) + timeOfDay
                     : static_cast<double>(days) - timeOfDay;
}

double NowDateTime() {
    return SystemTimeToDateTime(NowLocalSystemTime());
}

FILETIME UnixTimeToFileTime(int64_t seconds, int64_t nanoseconds) {
    const __int128 ticks = static_cast<__int128>(kUnixEpochTicks) +
                           static_cast<__int128>(seconds) * kTicksPerSecond + nanoseconds / 100;
    if (ticks < 0) return U64ToFileTime(0);
    if (ticks > static_cast<__int128>(UINT64_MAX)) return U64ToFileTime(UINT64_MAX);
    return U64ToFileTime(static_cast<uint64_t>(ticks));
}

int64_t FileTimeToUnixTime(const FILETIME& ft) {
    const __int128 ticks = static_cast<__int128>(FileTimeToU64(ft)) - kUnixEpochTicks;
    __int128 seconds = ticks / kTicksPerSecond;
    if (ticks % kTicksPerSecond < 0) --seconds;
    return static_cast<int64_t>(seconds);
}

uint64_t MonotonicMillis() {
    return monotonicClock();
}

void SetMonotonicClock(MonotonicClock clock) {
    monotonicClock = clock != nullptr ? clock : RealMonotonicMillis;
}

}  // namespace kestrova::platform
