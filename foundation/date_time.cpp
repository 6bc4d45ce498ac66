#include "foundation/date_time.h"

#include "foundation/text_convert.h"
#include "foundation/text_parse.h"
#include "platform/datetime.h"

namespace os {
namespace {

std::uint64_t count_of(const FILETIME& time) {
    return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

void append_two_digits(std::string& out, int value) {
    out.push_back(static_cast<char>('0' + value / 10 % 10));
    out.push_back(static_cast<char>('0' + value % 10));
}

}  // namespace

DateTime::DateTime() : system_time_{}, file_time_{}, count_(0) { set_filetime(file_time_); }

DateTime::DateTime(const SYSTEMTIME& time) : DateTime() {
    SYSTEMTIME fields = system_time_;
    fields.wYear = time.wYear;
    fields.wMonth = time.wMonth;
    fields.wDay = time.wDay;
    fields.wHour = time.wHour;
    fields.wMinute = time.wMinute;
    fields.wSecond = time.wSecond;
    fields.wMilliseconds = 0;
    set_systemtime(fields);
}

DateTime DateTime::now() {
    SYSTEMTIME local{};
    GetLocalTime(&local);
    DateTime result;
    result.set_systemtime(local);
    return result;
}

void DateTime::set_systemtime(const SYSTEMTIME& time) {
    system_time_ = time;
    FILETIME converted{};
    if (SystemTimeToFileTime(&system_time_, &converted)) {
        file_time_ = converted;
        count_ = count_of(converted);
    }
}

void DateTime::set_filetime(const FILETIME& time) {
    file_time_ = time;
    SYSTEMTIME converted{};
    if (FileTimeToSystemTime(&file_time_, &converted)) {
        system_time_ = converted;
        count_ = count_of(time);
    }
}

bool DateTime::set_date(int year, int month, int day) {
    SYSTEMTIME fields = system_time_;
    fields.wYear = static_cast<WORD>(year);
    fields.wMonth = static_cast<WORD>(month);
    fields.wDay = static_cast<WORD>(day);
    set_systemtime(fields);
    return true;
}

bool DateTime::set_time(int hour, int minute, int second) {
    SYSTEMTIME fields = system_time_;
    fields.wHour = static_cast<WORD>(hour);
    fields.wMinute = static_cast<WORD>(minute);
    fields.wSecond = static_cast<WORD>(second);
    set_systemtime(fields);
    return true;
}

bool DateTime::operator<(const DateTime& other) const { return CompareFileTime(&file_time_, &other.file_time_) < 0; }

bool DateTime::operator>(const DateTime& other) const { return CompareFileTime(&file_time_, &other.file_time_) > 0; }

bool DateTime::operator==(const DateTime& other) const {
    return CompareFileTime(&file_time_, &other.file_time_) == 0;
}

bool DateTime::format(std::string& out) const {
    liba::format_int const year(system_time_.wYear);
    out.append(year.begin(), year.end());
    for (int field : {get_month(), get_day(), get_hour(), get_minute(), get_second()}) {
        out.push_back(' ');
        append_two_digits(out, field);
    }
    return true;
}

const char16_t* DateTime::parse(const char16_t* begin, const char16_t* end) {
    int fields[6];
    const char16_t* p = begin;
    for (int& field : fields) {
        p = liba::parse_int(field, p, end);
        if (!p) return nullptr;
    }
    set_date(fields[0], fields[1], fields[2]);
    set_time(fields[3], fields[4], fields[5]);
    return p;
}

}  // namespace os
