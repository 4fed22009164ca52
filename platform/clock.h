// Time in one place: FILETIME (100 ns since 1601-01-01 UTC), SYSTEMTIME and the day-count
// date-time (days since 1899-12-30, fraction of the day as time; local time).
#pragma once

#include <cstdint>
#include <string>

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
bool FileTimeToLocalFileTime(const FILETIME& utc, FILETIME& local);
bool LocalFileTimeToFileTime(const FILETIME& local, FILETIME& utc);

double SystemTimeToDateTime(const SYSTEMTIME& st);
SYSTEMTIME DateTimeToSystemTime(double dateTime);
double NowDateTime();  // local

// Unix seconds <-> FILETIME.
FILETIME UnixTimeToFileTime(int64_t seconds);
int64_t FileTimeToUnixTime(const FILETIME& ft);

// The locale's short date (nl_langinfo(D_FMT)) and a "hh:mm:ss" time of a local SYSTEMTIME.
std::string ShortDateText(const SYSTEMTIME& local);
std::string LongTimeText(const SYSTEMTIME& local);

// Milliseconds of a monotonic clock; tests may replace it to drive timers without sleeping.
using MonotonicClock = uint64_t (*)();
uint64_t MonotonicMillis();
void SetMonotonicClock(MonotonicClock clock);  // null restores the real clock

}  // namespace kestrova::platform
