// A day of the proleptic Gregorian calendar and the steps the date controls take with it.
#pragma once

#include "platform/types.h"

namespace native {

struct CalendarDate {
    int year = 2000;
    int month = 1;  // 1 to 12
    int day = 1;    // 1 to the month's length

    bool operator==(const CalendarDate&) const = default;
};

constexpr int first_year = 1601;
constexpr int last_year = 9999;

bool is_leap_year(int year);
int days_in_month(int year, int month);
// The date exists and lies within first_year to last_year.
bool is_valid(const CalendarDate& date);
// 0 Sunday to 6 Saturday.
int day_of_week(const CalendarDate& date);
// Whole months later (negative: earlier), the day kept in the new month's range (31 January
// and one month give 28 or 29 February); the date itself when the step leaves the years.
CalendarDate add_months(const CalendarDate& date, int months);
CalendarDate add_days(const CalendarDate& date, int days);

CalendarDate date_of(const SYSTEMTIME& time);
// The date in a SYSTEMTIME with its day of the week; the time fields are kept.
void put_date(const CalendarDate& date, SYSTEMTIME& time);
// The date exists and the time fields are in range.
bool is_valid_time(const SYSTEMTIME& time);

}  // namespace native
