// A calendar instant without time zone (every producer fills it with local time), held
// both as calendar fields and as a count of 100-ns units since 1601-01-01. Its text form,
// used by the settings and schedule files, is "2006 11 05 07 30 00".
#pragma once

#include <cstdint>
#include <string>

#include "platform/types.h"

namespace os {

class DateTime {
public:
    // 1601-01-01 00:00:00.
    DateTime();
    // Year, month, day, hour, minute and second of the argument; milliseconds 0.
    explicit DateTime(const SYSTEMTIME& time);

    // The local time, milliseconds included.
    static DateTime now();

    // Replaces the calendar fields. A date that does not exist keeps the fields as given but
    // leaves the file time and the count as they were.
    void set_systemtime(const SYSTEMTIME& time);
    // Replaces the file time; the calendar fields and the count follow when it converts.
    void set_filetime(const FILETIME& time);
    // Replace the date or the time of day through set_systemtime; return true.
    bool set_date(int year, int month, int day);
    bool set_time(int hour, int minute, int second);

    int get_year() const { return system_time_.wYear; }
    int get_month() const { return system_time_.wMonth; }
    int get_day() const { return system_time_.wDay; }
    int get_hour() const { return system_time_.wHour; }
    int get_minute() const { return system_time_.wMinute; }
    int get_second() const { return system_time_.wSecond; }
    const SYSTEMTIME& get_systemtime() const { return system_time_; }
    const FILETIME& get_filetime() const { return file_time_; }
    std::uint64_t get_count() const { return count_; }

    // By file time.
    bool operator<(const DateTime& other) const;
    bool operator>(const DateTime& other) const;
    bool operator==(const DateTime& other) const;

    // Appends the text form: the year, then month, day, hour, minute and second with two
    // digits each, separated by single blanks. Returns true.
    bool format(std::string& out) const;
    // Reads six integers (year to second) and sets date and time from them. Returns the
    // position after the seconds, or null (record unchanged) when a number is missing.
    const char16_t* parse(const char16_t* begin, const char16_t* end);

private:
    SYSTEMTIME system_time_;
    FILETIME file_time_;
    std::uint64_t count_;
};

}  // namespace os
