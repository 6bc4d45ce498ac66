#include <gtest/gtest.h>

#include <time.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "platform/datetime.h"
#include "platform/errors.h"
#include "platform/testing.h"
#include "tests/support/system_time.h"

namespace {

using testing_support::make_time;

std::uint64_t count_of(const FILETIME& t) { return (std::uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime; }
FILETIME file_time(std::uint64_t count) { return {static_cast<DWORD>(count), static_cast<DWORD>(count >> 32)}; }

std::uint64_t to_count(const SYSTEMTIME& t) {
    FILETIME out{};
    EXPECT_TRUE(SystemTimeToFileTime(&t, &out));
    return count_of(out);
}

constexpr std::uint64_t ticks_per_second = 10'000'000;
constexpr std::uint64_t ticks_per_day = 86'400 * ticks_per_second;

// Sets the host's time zone for one test (POSIX TZ rules need no zone database).
class TimeZone {
public:
    explicit TimeZone(const char* rule) {
        if (char const* old = std::getenv("TZ")) previous_ = old;
        setenv("TZ", rule, 1);
        tzset();
    }
    ~TimeZone() {
        if (previous_) setenv("TZ", previous_->c_str(), 1);
        else unsetenv("TZ");
        tzset();
    }

private:
    std::optional<std::string> previous_;
};

TEST(SystemTimeToFileTime, CountsFromTheStartOf1601) {
    struct Case {
        SYSTEMTIME time;
        std::uint64_t count;
    };
    for (auto const& c : {
             Case{make_time(1601, 1, 1), 0},
             Case{make_time(1601, 1, 1, 0, 0, 0, 1), 10'000},
             Case{make_time(1601, 1, 2), ticks_per_day},
             Case{make_time(1970, 1, 1), 11'644'473'600ull * ticks_per_second},
             Case{make_time(2000, 3, 1), (11'644'473'600ull + 951'868'800ull) * ticks_per_second},
             Case{make_time(2006, 11, 5, 7, 30, 15, 250),
                  (11'644'473'600ull + 1'162'711'815ull) * ticks_per_second + 2'500'000},
         }) {
        EXPECT_EQ(to_count(c.time), c.count) << c.time.wYear << "-" << c.time.wMonth << "-" << c.time.wDay;
    }
}

TEST(SystemTimeToFileTime, RefusesDatesThatDoNotExist) {
    for (auto const& t : {
             make_time(2006, 0, 1), make_time(2006, 13, 1), make_time(2006, 1, 0), make_time(2006, 1, 32),
             make_time(2006, 4, 31), make_time(2006, 2, 29), make_time(1900, 2, 29), make_time(2004, 2, 30),
             make_time(2006, 1, 1, 24), make_time(2006, 1, 1, 0, 60), make_time(2006, 1, 1, 0, 0, 60),
             make_time(2006, 1, 1, 0, 0, 0, 1000), make_time(1600, 12, 31), make_time(30828, 1, 1),
             make_time(0, 1, 1),
         }) {
        FILETIME out{123, 456};
        SetLastError(0);
        EXPECT_FALSE(SystemTimeToFileTime(&t, &out))
            << t.wYear << "-" << t.wMonth << "-" << t.wDay << " " << t.wHour << ":" << t.wMinute << ":"
            << t.wSecond << "." << t.wMilliseconds;
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
        EXPECT_EQ(out.dwLowDateTime, 123u);
        EXPECT_EQ(out.dwHighDateTime, 456u);
    }
}

TEST(SystemTimeToFileTime, AcceptsTheLastDaysOfMonthsAndTheRangeEnds) {
    FILETIME out{};
    for (auto const& t : {make_time(2004, 2, 29), make_time(2000, 2, 29), make_time(2006, 12, 31, 23, 59, 59, 999),
                          make_time(30827, 12, 31, 23, 59, 59, 999)}) {
        EXPECT_TRUE(SystemTimeToFileTime(&t, &out)) << t.wYear << "-" << t.wMonth << "-" << t.wDay;
    }
}

TEST(SystemTimeToFileTime, IgnoresTheDayOfTheWeek) {
    SYSTEMTIME t = make_time(2006, 1, 2, 3, 4, 5);
    t.wDayOfWeek = 6;
    SYSTEMTIME other = t;
    other.wDayOfWeek = 0;
    EXPECT_EQ(to_count(t), to_count(other));
}

TEST(FileTimeToSystemTime, RoundTripFillsTheDayOfTheWeek) {
    struct Case {
        SYSTEMTIME time;
        WORD day_of_week;
    };
    for (auto const& c : {
             Case{make_time(1601, 1, 1), 1}, Case{make_time(1970, 1, 1), 4},
             Case{make_time(2000, 2, 29, 12, 0, 0), 2}, Case{make_time(2006, 11, 5, 7, 30, 0, 999), 0},
             Case{make_time(2024, 12, 31, 23, 59, 59, 1), 2}, Case{make_time(30827, 12, 31, 23, 59, 59, 999), 5},
         }) {
        FILETIME ft = file_time(to_count(c.time));
        SYSTEMTIME back{};
        ASSERT_TRUE(FileTimeToSystemTime(&ft, &back));
        SYSTEMTIME expected = c.time;
        expected.wDayOfWeek = c.day_of_week;
        EXPECT_EQ(std::memcmp(&back, &expected, sizeof back), 0)
            << c.time.wYear << "-" << c.time.wMonth << "-" << c.time.wDay << " gave " << back.wYear << "-"
            << back.wMonth << "-" << back.wDay << " weekday " << back.wDayOfWeek;
    }
}

TEST(FileTimeToSystemTime, EveryDayOfALeapYearRoundTrips) {
    std::uint64_t const first = to_count(make_time(2004, 1, 1));
    for (int day = 0; day < 366; ++day) {
        FILETIME ft = file_time(first + day * ticks_per_day);
        SYSTEMTIME fields{};
        ASSERT_TRUE(FileTimeToSystemTime(&ft, &fields));
        EXPECT_EQ(to_count(fields), count_of(ft)) << day;
        EXPECT_EQ(fields.wYear, 2004) << day;
    }
}

TEST(FileTimeToSystemTime, RefusesCountsFromTheTopBitOn) {
    SYSTEMTIME out{};
    FILETIME last = file_time(0x7FFF'FFFF'FFFF'FFFFull);
    EXPECT_TRUE(FileTimeToSystemTime(&last, &out));
    EXPECT_EQ(out.wYear, 30828);
    for (std::uint64_t count : {0x8000'0000'0000'0000ull, ~0ull}) {
        FILETIME ft = file_time(count);
        SetLastError(0);
        EXPECT_FALSE(FileTimeToSystemTime(&ft, &out));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    }
}

TEST(CompareFileTime, OrdersByTheWholeCount) {
    struct Case {
        std::uint64_t a, b;
        LONG expected;
    };
    for (auto const& c : {Case{5, 5, 0}, Case{4, 5, -1}, Case{5, 4, 1}, Case{0xFFFFFFFFull, 0x100000000ull, -1},
                          Case{0x1'0000'0000ull, 0xFFFF'FFFFull, 1}, Case{~0ull, 0, 1}}) {
        FILETIME a = file_time(c.a), b = file_time(c.b);
        EXPECT_EQ(CompareFileTime(&a, &b), c.expected) << c.a << " vs " << c.b;
    }
}

TEST(LocalFileTime, ShiftsByTheOffsetInForceAtThatInstant) {
    TimeZone zone("CET-1CEST,M3.5.0,M10.5.0/3");
    struct Case {
        SYSTEMTIME utc;
        SYSTEMTIME local;
    };
    for (auto const& c : {Case{make_time(2006, 1, 15, 12, 0, 0, 7), make_time(2006, 1, 15, 13, 0, 0, 7)},
                          Case{make_time(2006, 7, 15, 23, 30), make_time(2006, 7, 16, 1, 30)}}) {
        FILETIME utc = file_time(to_count(c.utc));
        FILETIME local{}, back{};
        ASSERT_TRUE(FileTimeToLocalFileTime(&utc, &local));
        EXPECT_EQ(count_of(local), to_count(c.local));
        ASSERT_TRUE(LocalFileTimeToFileTime(&local, &back));
        EXPECT_EQ(count_of(back), count_of(utc));
    }
}

TEST(LocalFileTime, RefusesShiftsOutOfTheRange) {
    FILETIME out{};
    {
        TimeZone zone("WEST+5");
        FILETIME start = file_time(0);
        SetLastError(0);
        EXPECT_FALSE(FileTimeToLocalFileTime(&start, &out));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    }
    {
        TimeZone zone("EAST-5");
        FILETIME top = file_time(~0ull);
        EXPECT_FALSE(FileTimeToLocalFileTime(&top, &out));
        FILETIME start = file_time(0);
        EXPECT_FALSE(LocalFileTimeToFileTime(&start, &out));
    }
}

TEST(GetLocalTime, DiffersFromUtcByTheZoneOffset) {
    TimeZone zone("XYZ-2");
    SYSTEMTIME utc{}, local{};
    GetSystemTime(&utc);
    GetLocalTime(&local);
    std::int64_t const difference = static_cast<std::int64_t>(to_count(local) - to_count(utc));
    // Two hours, plus however long passed between the two readings.
    EXPECT_GE(difference, 2 * 3600 * static_cast<std::int64_t>(ticks_per_second));
    EXPECT_LT(difference, 2 * 3600 * static_cast<std::int64_t>(ticks_per_second) + 60 * ticks_per_second);
    FILETIME utc_count = file_time(to_count(utc));
    SYSTEMTIME check{};
    ASSERT_TRUE(FileTimeToSystemTime(&utc_count, &check));
    EXPECT_EQ(check.wDayOfWeek, utc.wDayOfWeek);
}

// The host's monotonic milliseconds, as the tick count reads them without an offset.
DWORD monotonic_milliseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<DWORD>(static_cast<unsigned long long>(now.tv_sec) * 1000u + now.tv_nsec / 1'000'000);
}

// The offset seen by GetTickCount lies between two readings of the host clock around it.
void expect_tick_offset(DWORD offset) {
    DWORD const before = monotonic_milliseconds();
    DWORD const ticks = GetTickCount();
    DWORD const after = monotonic_milliseconds();
    EXPECT_LE(static_cast<DWORD>(ticks - offset - before), static_cast<DWORD>(after - before));
}

TEST(GetTickCount, WrapsAroundWithTheOffset) {
    platform::set_tick_offset(0);
    expect_tick_offset(0);
    DWORD const now = GetTickCount();
    platform::set_tick_offset(0xFFFFFFF0u - now);
    DWORD const before_wrap = GetTickCount();
    EXPECT_GE(before_wrap, 0xFFFFFFF0u);
    platform::set_tick_offset(0x20u - now);
    DWORD const after_wrap = GetTickCount();
    EXPECT_LT(after_wrap, 0x80000000u);
    EXPECT_GE(static_cast<DWORD>(after_wrap - before_wrap), 0x30u);
    platform::set_tick_offset(0);
}

TEST(GetTickCount, TakesTheOffsetFromTheEnvironmentAtFirstUse) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // A fresh process reads the variable at its first tick; a hook call replaces it later.
    EXPECT_EXIT(
        {
            setenv("SONBRIX_TICK_OFFSET", "0xFFFFFF00", 1);
            expect_tick_offset(0xFFFFFF00u);
            setenv("SONBRIX_TICK_OFFSET", "5", 1);
            expect_tick_offset(0xFFFFFF00u);
            platform::set_tick_offset(7);
            expect_tick_offset(7);
            std::_Exit(::testing::Test::HasFailure() ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
