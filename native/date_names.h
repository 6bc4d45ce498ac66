// The English names of months and days that the date controls show.
#pragma once

#include <string>

namespace native {

// month 1 to 12
const std::u16string& month_name(int month);
// day 0 Sunday to 6 Saturday
const std::u16string& weekday_name(int day);
std::u16string number_text(int value, int digits = 1);

}  // namespace native
