#include "native/calendar_date.h"

namespace native {
namespace {

// Days from 1 January of year 1 (proleptic Gregorian) to the date.
long serial_day(const CalendarDate& date) {
    long const y = date.year - 1;
    long days = y * 365 + y / 4 - y / 100 + y / 400;
    for (int month = 1; month < date.month; ++month) days += days_in_month(date.year, month);
    return days + date.day - 1;
}

CalendarDate from_serial_day(long serial) {
    CalendarDate date;
    // 146097 days make 400 years; step in whole cycles, then years, then months.
    long const cycles = serial / 146097;
    long rest = serial % 146097;
    int year = static_cast<int>(cycles * 400) + 1;
    for (;;) {
        long const length = is_leap_year(year) ? 366 : 365;
        if (rest < length) break;
        rest -= length;
        ++year;
    }
    int month = 1;
    while (rest >= days_in_month(year, month)) rest -= days_in_month(year, month++);
    date.year = year;
    date.month = month;
    date.day = static_cast<int>(rest) + 1;
    return date;
}

}  // namespace

bool is_leap_year(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int days_in_month(int year, int month) {
    static constexpr int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && is_leap_year(year) ? 29 : lengths[month - 1];
}

bool is_valid(const CalendarDate& date) {
    return date.year >= first_year && date.year <= last_year && date.month >= 1 && date.month <= 12 && date.day >= 1 &&
           date.day <= days_in_month(date.year, date.month);
}

int day_of_week(const CalendarDate& date) {
    // 1 January of year 1 was a Monday.
    return static_cast<int>((serial_day(date) + 1) % 7);
}

CalendarDate add_months(const CalendarDate& date, int months) {
    int const index = date.year * 12 + (date.month - 1) + months;
    CalendarDate moved{index / 12, index % 12 + 1, date.day};
    if (moved.year < first_year || moved.year > last_year) return date;
    int const length = days_in_month(moved.year, moved.month);
    if (moved.day > length) moved.day = length;
    return moved;
}

CalendarDate add_days(const CalendarDate& date, int days) {
    CalendarDate const moved = from_serial_day(serial_day(date) + days);
    return is_valid(moved) ? moved : date;
}

CalendarDate date_of(const SYSTEMTIME& time) { return {time.wYear, time.wMonth, time.wDay}; }

void put_date(const CalendarDate& date, SYSTEMTIME& time) {
    time.wYear = static_cast<WORD>(date.year);
    time.wMonth = static_cast<WORD>(date.month);
    time.wDay = static_cast<WORD>(date.day);
    time.wDayOfWeek = static_cast<WORD>(day_of_week(date));
}

bool is_valid_time(const SYSTEMTIME& time) {
    return is_valid(date_of(time)) && time.wHour < 24 && time.wMinute < 60 && time.wSecond < 60 &&
           time.wMilliseconds < 1000;
}

}  // namespace native
