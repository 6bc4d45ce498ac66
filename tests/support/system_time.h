#pragma once

#include "platform/types.h"

namespace testing_support {

inline SYSTEMTIME make_time(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                            int milliseconds = 0) {
    SYSTEMTIME t{};
    t.wYear = static_cast<WORD>(year);
    t.wMonth = static_cast<WORD>(month);
    t.wDay = static_cast<WORD>(day);
    t.wHour = static_cast<WORD>(hour);
    t.wMinute = static_cast<WORD>(minute);
    t.wSecond = static_cast<WORD>(second);
    t.wMilliseconds = static_cast<WORD>(milliseconds);
    return t;
}

}  // namespace testing_support
