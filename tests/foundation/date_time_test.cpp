#include <gtest/gtest.h>

#include <string>

#include "foundation/date_time.h"
#include "tests/support/system_time.h"

namespace {

using testing_support::make_time;

std::string formatted(const os::DateTime& time) {
    std::string text;
    EXPECT_TRUE(time.format(text));
    return text;
}

const char16_t* parse(os::DateTime& time, const std::u16string& text) {
    return time.parse(text.data(), text.data() + text.size());
}

TEST(DateTime, DefaultIsTheStartOf1601) {
    os::DateTime const time;
    EXPECT_EQ(formatted(time), "1601 01 01 00 00 00");
    EXPECT_EQ(time.get_count(), 0u);
    EXPECT_EQ(time.get_systemtime().wDayOfWeek, 1);  // a Monday
}

TEST(DateTime, FromSystemTimeDropsTheMilliseconds) {
    os::DateTime const time(make_time(2006, 11, 5, 7, 30, 0, 999));
    EXPECT_EQ(formatted(time), "2006 11 05 07 30 00");
    EXPECT_EQ(time.get_systemtime().wMilliseconds, 0);
    EXPECT_EQ(time.get_count() % 10'000'000, 0u);
    EXPECT_EQ(time, os::DateTime(make_time(2006, 11, 5, 7, 30, 0)));
}

TEST(DateTime, FormatAppendsTheTextForm) {
    std::string text = "Begin=";
    // Year 999 is refused by the calendar, but the fields are kept as given.
    EXPECT_TRUE(os::DateTime(make_time(999, 1, 2, 3, 4, 5)).format(text));
    EXPECT_EQ(text, "Begin=999 01 02 03 04 05");
}

TEST(DateTime, ParseSetsDateAndTime) {
    os::DateTime time;
    std::u16string const text = u"  2006 1 2 3 4 5 rest";
    EXPECT_EQ(parse(time, text), text.data() + 16);
    EXPECT_EQ(formatted(time), "2006 01 02 03 04 05");
    EXPECT_EQ(time, os::DateTime(make_time(2006, 1, 2, 3, 4, 5)));
    EXPECT_EQ(time.get_year(), 2006);
    EXPECT_EQ(time.get_month(), 1);
    EXPECT_EQ(time.get_day(), 2);
    EXPECT_EQ(time.get_hour(), 3);
    EXPECT_EQ(time.get_minute(), 4);
    EXPECT_EQ(time.get_second(), 5);
}

TEST(DateTime, ParseWithANumberMissingChangesNothing) {
    os::DateTime const original(make_time(2007, 3, 9, 14, 5, 0));
    for (std::u16string const text : {u"2006 1 2 3 4", u"2006 1 2 3 4 x", u"", u"2006 - 2 3 4 5"}) {
        os::DateTime time = original;
        EXPECT_EQ(parse(time, text), nullptr) << std::string(text.begin(), text.end());
        EXPECT_EQ(formatted(time), "2007 03 09 14 05 00");
        EXPECT_EQ(time.get_count(), original.get_count());
    }
}

TEST(DateTime, FormatAndParseRoundTrip) {
    os::DateTime const original(make_time(30827, 12, 31, 23, 59, 59));
    std::string const text = formatted(original);
    std::u16string const wide(text.begin(), text.end());
    os::DateTime copy;
    ASSERT_NE(parse(copy, wide), nullptr);
    EXPECT_EQ(copy, original);
}

TEST(DateTime, ImpossibleDateKeepsTheFileTime) {
    os::DateTime time(make_time(2006, 2, 28, 10, 0, 0));
    auto const count = time.get_count();
    ASSERT_NE(parse(time, u"2006 2 30 11 0 0"), nullptr);
    EXPECT_EQ(time.get_day(), 30);  // the fields as read
    EXPECT_EQ(time.get_hour(), 11);
    EXPECT_EQ(time.get_count(), count);
    EXPECT_EQ(time, os::DateTime(make_time(2006, 2, 28, 10, 0, 0)));
}

TEST(DateTime, SetDateAndTimeKeepTheOtherHalf) {
    os::DateTime time(make_time(2006, 1, 2, 3, 4, 5));
    EXPECT_TRUE(time.set_date(2010, 12, 24));
    EXPECT_EQ(time, os::DateTime(make_time(2010, 12, 24, 3, 4, 5)));
    EXPECT_TRUE(time.set_time(23, 0, 1));
    EXPECT_EQ(time, os::DateTime(make_time(2010, 12, 24, 23, 0, 1)));
}

TEST(DateTime, SetFileTimeFillsTheFields) {
    os::DateTime time;
    std::uint64_t const count = 11'644'473'600ull * 10'000'000 + 123;  // 1970-01-01, a Thursday
    time.set_filetime(FILETIME{static_cast<DWORD>(count), static_cast<DWORD>(count >> 32)});
    EXPECT_EQ(formatted(time), "1970 01 01 00 00 00");
    EXPECT_EQ(time.get_count(), count);
    EXPECT_EQ(time.get_systemtime().wDayOfWeek, 4);

    time.set_filetime(FILETIME{0, 0x80000000u});  // beyond the calendar: fields and count stay
    EXPECT_EQ(formatted(time), "1970 01 01 00 00 00");
    EXPECT_EQ(time.get_count(), count);
}

TEST(DateTime, ComparesByInstant) {
    os::DateTime const a(make_time(2006, 1, 2, 3, 4, 5));
    os::DateTime const same(make_time(2006, 1, 2, 3, 4, 5));
    os::DateTime const later(make_time(2006, 1, 2, 3, 4, 6));
    EXPECT_TRUE(a == same);
    EXPECT_FALSE(a < same);
    EXPECT_FALSE(a > same);
    EXPECT_TRUE(later > a);
    EXPECT_TRUE(a < later);
    EXPECT_FALSE(a == later);
    EXPECT_FALSE(later < a);
}

TEST(DateTime, NowKeepsTheMilliseconds) {
    os::DateTime const now = os::DateTime::now();
    EXPECT_GE(now.get_year(), 2020);
    SYSTEMTIME const& fields = now.get_systemtime();
    EXPECT_EQ(now.get_count() % 10'000'000 / 10'000, fields.wMilliseconds);
}

}  // namespace
