#include "todayplugin/elapsed_text.h"

namespace todayplugin {
namespace {

std::u16string two_digits(long number) {
    std::string const digits = std::to_string(number);
    std::u16string text(digits.begin(), digits.end());
    if (text.size() == 1) return u"0" + text;
    return text.substr(text.size() - 2);
}

}  // namespace

std::u16string elapsed_text(double seconds) {
    long const whole = static_cast<long>(seconds);
    long const hours = whole / 3600;
    long const rest = whole % 3600;
    long const minutes = rest / 60;
    if (hours != 0) return two_digits(hours) + u":" + two_digits(minutes);
    return two_digits(minutes) + u":" + two_digits(rest % 60);
}

}  // namespace todayplugin
