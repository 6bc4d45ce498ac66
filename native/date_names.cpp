#include "native/date_names.h"

#include <array>

namespace native {

const std::u16string& month_name(int month) {
    static const std::array<std::u16string, 12> names = {u"January", u"February", u"March",     u"April",
                                                         u"May",     u"June",     u"July",      u"August",
                                                         u"September", u"October", u"November", u"December"};
    return names.at(static_cast<std::size_t>(month - 1));
}

const std::u16string& weekday_name(int day) {
    static const std::array<std::u16string, 7> names = {u"Sunday",   u"Monday", u"Tuesday", u"Wednesday",
                                                        u"Thursday", u"Friday", u"Saturday"};
    return names.at(static_cast<std::size_t>(day));
}

std::u16string number_text(int value, int digits) {
    std::u16string text;
    do {
        text.insert(text.begin(), static_cast<char16_t>(u'0' + value % 10));
        value /= 10;
    } while (value > 0);
    while (static_cast<int>(text.size()) < digits) text.insert(text.begin(), u'0');
    return text;
}

}  // namespace native
