// Time in one place: FILETIME (100 ns since 1601-01-01 UTC), SYSTEMTIME and the day-count
// date-time (days since 1899-12-30, fraction of the day as time; local time).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "hostapi/plugin_api.h"

namespace kestrova::platform {

uint64_t FileTimeToU64(const FILETIME& ft);
FILETIME U64ToFileTime(uint64_t value);

FILETIME NowFileTime();      // UTC
SYSTEMTIME NowSystemTime();  // UTC
SYSTEMTIME NowLocalSystemTime();

// False (and output untouched) for an invalid date or time, e.g. month 0.
bool SystemTimeToFileTime(const SYSTEMTIME& st, FILETIME& ft);
bool FileTimeToSystemTime(const FILETIME& ft, SYSTEMTIME& st);
// Local time applies the zone's offset in effect at that moment (daylight saving included).
bool FileTimeToLocalFileTime(const FILETIME& utc, FILETIME& local);

// A date before 1899-12-30 counts its days negative and its time of day still forward, so
// -1.25 is 1899-12-29 06:00; std::invalid_argument for an invalid SYSTEMTIME.
double SystemTimeToDateTime(const SYSTEMTIME& st);
double NowDateTime();  // local

// Unix seconds (and nanoseconds) <-> FILETIME. Times before 1601 give 0; the way back rounds
// toward the earlier second.
FILETIME UnixTimeToFileTime(int64_t seconds, int64_t nanoseconds = 0);
int64_t FileTimeToUnixTime(const FILETIME& ft);

// The locale's short date (nl_langinfo(D_FMT)) and a "hh:mm:ss" time of a local SYSTEMTIME.
// The date has day, month and year in the order of the format, joined by its first separator,
// with two-digit day and month and a four-digit year; a format without a separator (or without
// all three fields) gives "dd.mm.yyyy".
std::string ShortDateText(const SYSTEMTIME& local);
std::string ShortDateText(const SYSTEMTIME& local, std::string_view dateFormat);  // strftime-style
std::string LongTimeText(const SYSTEMTIME& local);

// Milliseconds of a monotonic clock; tests may replace it to drive timers without sleeping.
using MonotonicClock = uint64_t (*)();
uint64_t MonotonicMillis();
void SetMonotonicClock(MonotonicClock clock);  // null restores the real clock

}  // namespace kestrova::platform
