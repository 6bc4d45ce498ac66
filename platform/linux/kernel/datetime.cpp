#include "platform/datetime.h"

#include <time.h>

#include <cstdint>

#include "platform/errors.h"

namespace {

using std::int64_t;
using std::uint64_t;

constexpr uint64_t ticks_per_millisecond = 10'000;
constexpr uint64_t ticks_per_second = 10'000'000;
constexpr uint64_t milliseconds_per_day = 86'400'000;
// Seconds from 1601-01-01 to 1970-01-01.
constexpr int64_t unix_epoch_seconds = 11'644'473'600;
constexpr uint64_t largest_file_time = 0x7FFF'FFFF'FFFF'FFFFull;

bool is_leap_year(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int days_in_month(int year, int month) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && is_leap_year(year) ? 29 : days[month - 1];
}

// Days from 1970-01-01 to the given date of the proleptic Gregorian calendar.
int64_t days_from_civil(int64_t year, int month, int day) {
    year -= month <= 2;
    int64_t const era = (year >= 0 ? year : year - 399) / 400;
    auto const year_of_era = static_cast<int64_t>(year - era * 400);
    int64_t const day_of_year = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    int64_t const day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
    return era * 146097 + day_of_era - 719468;
}

struct CivilDate {
    int64_t year;
    int month;
    int day;
};

CivilDate civil_from_days(int64_t days) {
    days += 719468;
    int64_t const era = (days >= 0 ? days : days - 146096) / 146097;
    int64_t const day_of_era = days - era * 146097;
    int64_t const year_of_era = (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
    int64_t const day_of_year = day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
    int64_t const shifted_month = (5 * day_of_year + 2) / 153;
    int const day = static_cast<int>(day_of_year - (153 * shifted_month + 2) / 5 + 1);
    int const month = static_cast<int>(shifted_month < 10 ? shifted_month + 3 : shifted_month - 9);
    return {year_of_era + era * 400 + (month <= 2), month, day};
}

int64_t const days_to_1601 = days_from_civil(1601, 1, 1);

uint64_t to_count(const FILETIME& time) {
    return (uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

FILETIME from_count(uint64_t count) {
    return {static_cast<DWORD>(count), static_cast<DWORD>(count >> 32)};
}

bool is_valid(const SYSTEMTIME& t) {
    return t.wYear >= 1601 && t.wYear <= 30827 && t.wMonth >= 1 && t.wMonth <= 12 && t.wDay >= 1 &&
           t.wDay <= days_in_month(t.wYear, t.wMonth) && t.wHour < 24 && t.wMinute < 60 &&
           t.wSecond < 60 && t.wMilliseconds < 1000;
}

BOOL fail_invalid_parameter() {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}

void fill_from_host(const struct tm& fields, long nanoseconds, SYSTEMTIME& out) {
    out.wYear = static_cast<WORD>(fields.tm_year + 1900);
    out.wMonth = static_cast<WORD>(fields.tm_mon + 1);
    out.wDayOfWeek = static_cast<WORD>(fields.tm_wday);
    out.wDay = static_cast<WORD>(fields.tm_mday);
    out.wHour = static_cast<WORD>(fields.tm_hour);
    out.wMinute = static_cast<WORD>(fields.tm_min);
    // A leap second shows as second 60 on some hosts; the platform has none.
    out.wSecond = static_cast<WORD>(fields.tm_sec < 60 ? fields.tm_sec : 59);
    out.wMilliseconds = static_cast<WORD>(nanoseconds / 1'000'000);
}

// The host's offset from UTC in seconds at the given UTC instant (0 when unknown).
int64_t utc_offset_at(int64_t unix_seconds) {
    tzset();
    auto const seconds = static_cast<time_t>(unix_seconds);
    struct tm fields {};
    if (!localtime_r(&seconds, &fields)) return 0;
    return fields.tm_gmtoff;
}

int64_t unix_seconds_of(uint64_t count) {
    return static_cast<int64_t>(count / ticks_per_second) - unix_epoch_seconds;
}

// count + offset_seconds, refused when it leaves the range of a FILETIME.
BOOL shift_file_time(uint64_t count, int64_t offset_seconds, LPFILETIME out) {
    uint64_t const shift = static_cast<uint64_t>(offset_seconds < 0 ? -offset_seconds : offset_seconds) *
                           ticks_per_second;
    if (offset_seconds < 0 && count < shift) return fail_invalid_parameter();
    if (offset_seconds > 0 && count > UINT64_MAX - shift) return fail_invalid_parameter();
    *out = from_count(offset_seconds < 0 ? count - shift : count + shift);
    return TRUE;
}

}  // namespace

void GetLocalTime(LPSYSTEMTIME time) {
    if (!time) return;
    tzset();
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    struct tm fields {};
    localtime_r(&now.tv_sec, &fields);
    fill_from_host(fields, now.tv_nsec, *time);
}

void GetSystemTime(LPSYSTEMTIME time) {
    if (!time) return;
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    struct tm fields {};
    gmtime_r(&now.tv_sec, &fields);
    fill_from_host(fields, now.tv_nsec, *time);
}

BOOL SystemTimeToFileTime(const SYSTEMTIME* system_time, LPFILETIME file_time) {
    if (!system_time || !file_time || !is_valid(*system_time)) return fail_invalid_parameter();
    const SYSTEMTIME& t = *system_time;
    auto const days = static_cast<uint64_t>(days_from_civil(t.wYear, t.wMonth, t.wDay) - days_to_1601);
    uint64_t const milliseconds =
        days * milliseconds_per_day +
        ((uint64_t{t.wHour} * 60 + t.wMinute) * 60 + t.wSecond) * 1000 + t.wMilliseconds;
    *file_time = from_count(milliseconds * ticks_per_millisecond);
    return TRUE;
}

BOOL FileTimeToSystemTime(const FILETIME* file_time, LPSYSTEMTIME system_time) {
    if (!file_time || !system_time) return fail_invalid_parameter();
    uint64_t const count = to_count(*file_time);
    if (count > largest_file_time) return fail_invalid_parameter();
    uint64_t const milliseconds = count / ticks_per_millisecond;
    auto const days = static_cast<int64_t>(milliseconds / milliseconds_per_day);
    uint64_t const of_day = milliseconds % milliseconds_per_day;
    CivilDate const date = civil_from_days(days + days_to_1601);
    SYSTEMTIME& out = *system_time;
    out.wYear = static_cast<WORD>(date.year);
    out.wMonth = static_cast<WORD>(date.month);
    out.wDay = static_cast<WORD>(date.day);
    out.wDayOfWeek = static_cast<WORD>((days + 1) % 7);  // 1601-01-01 was a Monday
    out.wHour = static_cast<WORD>(of_day / 3'600'000);
    out.wMinute = static_cast<WORD>(of_day / 60'000 % 60);
    out.wSecond = static_cast<WORD>(of_day / 1000 % 60);
    out.wMilliseconds = static_cast<WORD>(of_day % 1000);
    return TRUE;
}

LONG CompareFileTime(const FILETIME* first, const FILETIME* second) {
    uint64_t const a = to_count(*first);
    uint64_t const b = to_count(*second);
    return a < b ? -1 : (a > b ? 1 : 0);
}

BOOL FileTimeToLocalFileTime(const FILETIME* utc, LPFILETIME local) {
    if (!utc || !local) return fail_invalid_parameter();
    uint64_t const count = to_count(*utc);
    return shift_file_time(count, utc_offset_at(unix_seconds_of(count)), local);
}

BOOL LocalFileTimeToFileTime(const FILETIME* local, LPFILETIME utc) {
    if (!local || !utc) return fail_invalid_parameter();
    uint64_t const count = to_count(*local);
    // The offset depends on the UTC instant sought: guess it from the local reading, then
    // take the offset in force at the instant that guess gives.
    int64_t const guess = unix_seconds_of(count);
    int64_t const offset = utc_offset_at(guess - utc_offset_at(guess));
    return shift_file_time(count, -offset, utc);
}
