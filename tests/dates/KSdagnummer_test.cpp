#include "dates/KSdagnummer.h"

#include "dates/KScalendars.h"

#include <gtest/gtest.h>

namespace ks {
namespace {

TEST(KSdagnummer, PackedBits) {
    TKSdagnummer date;
    EXPECT_EQ(0u, date.Value());
    date.SetCalendar(5);
    date.SetDayUnknown(true);
    date.SetYearUnknown(true);
    date.SetDayNumber(2451545);
    EXPECT_EQ(0x50000000u | (5u << 24) | 2451545u, date.Value());
    EXPECT_EQ(2451545, date.DayNumber());
    EXPECT_EQ(5, date.Calendar());
    EXPECT_TRUE(date.DayUnknown());
    EXPECT_FALSE(date.MonthUnknown());
    EXPECT_TRUE(date.YearUnknown());

    // A new day number or calendar leaves the other bits alone.
    date.SetDayNumber(16777215);
    EXPECT_EQ(0x50000000u | (5u << 24) | 0xFFFFFFu, date.Value());
    date.SetCalendar(15);
    EXPECT_EQ(0x5F000000u | 0xFFFFFFu, date.Value());
    date.SetYearUnknown(false);
    EXPECT_EQ(0x1F000000u | 0xFFFFFFu, date.Value());

    date.Clear();
    EXPECT_EQ(0u, date.Value());
    date.SetValue(0xFFFFFFFFu); // bit 31 never set
    EXPECT_EQ(0x7FFFFFFFu, date.Value());
}

TEST(KSdagnummer, UnrepresentableNumbersStoreNoDate) {
    TKSdagnummer date;
    date.SetCalendar(2);
    date.SetMonthUnknown(true);
    for (int64_t bad : {int64_t{-1}, int64_t{16777216}, int64_t{-2147483648LL}, int64_t{1} << 40}) {
        date.SetDayNumber(1000);
        date.SetDayNumber(bad);
        EXPECT_EQ(0, date.DayNumber()) << bad;
        EXPECT_EQ(2, date.Calendar()) << bad;
        EXPECT_TRUE(date.MonthUnknown()) << bad;
        EXPECT_FALSE(date.DayUnknown() || date.YearUnknown()) << bad;
    }
    for (int bad : {16, -1, 255}) {
        date.SetCalendar(3);
        date.SetCalendar(bad);
        EXPECT_EQ(0, date.Calendar()) << bad;
        EXPECT_TRUE(date.MonthUnknown()) << bad;
    }
}

TEST(KSdagnummer, WeekdayKnown) {
    TKSdagnummer date;
    EXPECT_FALSE(date.WeekdayKnown());
    date.SetDayNumber(1);
    EXPECT_TRUE(date.WeekdayKnown());
    date.SetMonthUnknown(true);
    EXPECT_FALSE(date.WeekdayKnown());
}

TEST(KSdagnummer, ToParts) {
    TKSdagnummer date;
    date.SetCalendar(kGregorian);
    date.SetDayNumber(2451545);
    int32_t d = 0, m = 0, y = 0;
    EXPECT_EQ(20000101, date.ToParts(0, d, m, y));
    EXPECT_EQ(1, d);
    EXPECT_EQ(1, m);
    EXPECT_EQ(2000, y);
    EXPECT_EQ(20000101, date.ToParts(16, d, m, y)); // above 15: own calendar
    EXPECT_EQ(19991219, date.ToParts(kJulian, d, m, y));

    date.SetDayUnknown(true);
    EXPECT_EQ(20000100, date.ToParts(0, d, m, y));
    EXPECT_EQ(0, d);
    date.SetMonthUnknown(true);
    EXPECT_EQ(20000000, date.ToParts(0, d, m, y));
    EXPECT_EQ(0, m);
    EXPECT_EQ(2000, y);

    // An unknown year leaves no date, while a known day and month stay.
    date.SetDayUnknown(false);
    date.SetMonthUnknown(false);
    date.SetYearUnknown(true);
    EXPECT_EQ(0, date.ToParts(0, d, m, y));
    EXPECT_EQ(0, y);
    EXPECT_EQ(1, d);
    EXPECT_EQ(1, m);
}

TEST(KSdagnummer, ToPartsWithoutDateOrCalendar) {
    int32_t d = 9, m = 9, y = 9;
    TKSdagnummer date;
    date.SetCalendar(kGregorian);
    EXPECT_EQ(0, date.ToParts(0, d, m, y)); // no day number
    EXPECT_EQ(0, d + m + y);

    date.SetDayNumber(2451545);
    for (int calendar : {7, 15, -1, -100}) {
        d = m = y = 9;
        EXPECT_EQ(0, date.ToParts(calendar, d, m, y)) << calendar;
        EXPECT_EQ(0, d + m + y) << calendar;
    }
    date.SetCalendar(0); // a value without a calendar of its own
    EXPECT_EQ(0, date.ToParts(0, d, m, y));
    date.SetCalendar(9);
    EXPECT_EQ(0, date.ToParts(0, d, m, y));
    EXPECT_EQ(20000101, date.ToParts(kGregorian, d, m, y));
}

} // namespace
} // namespace ks
