#include "dates/KScalendars.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace ks {
namespace {

// Gregorian 31 December 6000: 1 January 2000 (2451545) plus ten 400-year
// cycles of 146097 days, plus the 365 days before 31 December of a leap year.
constexpr int32_t kGregorianEnd6000 = 2451545 + 10 * 146097 + 365;

int32_t Packed(int calendar, int32_t dayNumber) {
    int32_t y = 0, m = 0, d = 0;
    return DayNumberToDate(calendar, dayNumber, y, m, d);
}

TEST(KScalendars, TableIsReadFromTheNumberLists) {
    const TDateParameterTable& table = DateParameters();
    EXPECT_EQ("Julian", table[1].Name);
    EXPECT_EQ("BC", table[1].EraBefore);
    EXPECT_EQ("AD", table[1].EraAfter);
    EXPECT_EQ("", table[2].EraAfter);
    EXPECT_EQ("AM", table[6].EraAfter);
    // A negative number and the widest columns survive the parsing.
    EXPECT_EQ(184, table[2].A);
    EXPECT_EQ(274277, table[2].B);
    EXPECT_EQ(-38, table[2].C);
    EXPECT_EQ(10631, table[4].p);
    EXPECT_EQ(7665, table[4].j);
    EXPECT_EQ(2951, table[4].s);
    EXPECT_EQ(13, table[3].n);
    for (int row = 1; row <= 6; ++row)
        EXPECT_EQ(row, table[row].Index);
    for (int row : {0, 7, 15}) {
        EXPECT_EQ(0, table[row].n);
        EXPECT_EQ(0, table[row].LastDay);
        EXPECT_EQ("", table[row].Name);
    }
}

TEST(KScalendars, PeriodsInForce) {
    const TDateParameterTable& table = DateParameters();
    EXPECT_EQ(0, table[1].FirstDay);
    EXPECT_EQ(kOpenEnded, table[1].LastDay);
    EXPECT_EQ(2299161, table[2].FirstDay);
    EXPECT_EQ(kOpenEnded, table[2].LastDay);
    EXPECT_EQ(2375840, table[3].FirstDay);
    EXPECT_EQ(2380688, table[3].LastDay);
    EXPECT_EQ(1951961, table[4].FirstDay);
    EXPECT_EQ(2342042, table[5].FirstDay);
    EXPECT_EQ(2346425, table[5].LastDay);
    EXPECT_EQ(347998, table[6].FirstDay);
    EXPECT_EQ(kOpenEnded, table[6].LastDay);
}

TEST(KScalendars, KnownDayNumbers) {
    EXPECT_EQ(2451545, DateToDayNumber(kGregorian, 2000, 1, 1));
    EXPECT_EQ(2299160, DateToDayNumber(kJulian, 1582, 10, 4));
    EXPECT_EQ(2299161, DateToDayNumber(kGregorian, 1582, 10, 15));
    EXPECT_EQ(0, DateToDayNumber(kJulian, -4712, 1, 1));
    EXPECT_EQ(kGregorianEnd6000, DateToDayNumber(kGregorian, 6000, 12, 31));
    // 1 Vendemiaire I = 22 September 1792; 18 Brumaire VIII = 9 November 1799;
    // 9 Thermidor II = 27 July 1794; year III was leap, so IV began on 23 September.
    EXPECT_EQ(2375840, DateToDayNumber(kFrenchRepublican, 1, 1, 1));
    EXPECT_EQ(DateToDayNumber(kGregorian, 1799, 11, 9),
              DateToDayNumber(kFrenchRepublican, 8, 2, 18));
    EXPECT_EQ(DateToDayNumber(kGregorian, 1794, 7, 27),
              DateToDayNumber(kFrenchRepublican, 2, 11, 9));
    EXPECT_EQ(DateToDayNumber(kGregorian, 1795, 9, 23),
              DateToDayNumber(kFrenchRepublican, 4, 1, 1));
    // 1 Muharram 1 AH: Thursday 15 July 622 (Julian) with this calendar's epoch.
    EXPECT_EQ(1948439, DateToDayNumber(kIslamic, 1, 1, 1));
    EXPECT_EQ(6220715, Packed(kJulian, 1948439));
    EXPECT_EQ(5, Weekday(1948439));
    EXPECT_EQ(347998, DateToDayNumber(kHebrew, 1, 1, 1));
}

TEST(KScalendars, DatesOfDayNumbers) {
    int32_t y = 0, m = 0, d = 0;
    EXPECT_EQ(20000101, DayNumberToDate(kGregorian, 2451545, y, m, d));
    EXPECT_EQ(-4712 * 10000 + 101, DayNumberToDate(kJulian, 0, y, m, d));
    EXPECT_EQ(-4712, y);
    EXPECT_EQ(1, m);
    EXPECT_EQ(1, d);
    EXPECT_EQ(15821004, Packed(kJulian, 2299160));
    EXPECT_EQ(15821015, Packed(kGregorian, 2299161));
    EXPECT_EQ(10101, Packed(kIslamic, 1948439));
}

TEST(KScalendars, YearsAfter6000HaveNoDayNumber) {
    for (int calendar = 1; calendar <= 6; ++calendar) {
        EXPECT_EQ(0, DateToDayNumber(calendar, 6001, 1, 1)) << calendar;
        EXPECT_NE(0, DateToDayNumber(calendar, 6000, 1, 1)) << calendar;
    }
}

TEST(KScalendars, CalendarsWithoutParametersGiveNothing) {
    for (int calendar : {-1, 0, 7, 15, 16}) {
        int32_t y = 9, m = 9, d = 9;
        EXPECT_EQ(0, DayNumberToDate(calendar, 2451545, y, m, d));
        EXPECT_EQ(0, y + m + d);
        EXPECT_EQ(0, DateToDayNumber(calendar, 2000, 1, 1));
    }
}

TEST(KScalendars, SwedishCalendar) {
    EXPECT_EQ(2342042, DateToDayNumber(kSwedish, 1700, 3, 1));
    EXPECT_EQ(2342041, DateToDayNumber(kSwedish, 1700, 2, 28));
    EXPECT_EQ(2346425, DateToDayNumber(kSwedish, 1712, 2, 30));
    EXPECT_EQ(2346426, DateToDayNumber(kSwedish, 1712, 3, 1));
    EXPECT_EQ(17000301, Packed(kSwedish, 2342042)); // Julian 29 February 1700
    EXPECT_EQ(17000229, Packed(kJulian, 2342042));
    EXPECT_EQ(17120230, Packed(kSwedish, 2346425));
    EXPECT_EQ(17120229, Packed(kSwedish, 2346424));
    EXPECT_EQ(17120301, Packed(kSwedish, 2346426));
    // Outside the shifted period it is the Julian calendar.
    EXPECT_EQ(Packed(kJulian, 2342041), Packed(kSwedish, 2342041));
    EXPECT_EQ(Packed(kJulian, 2400000), Packed(kSwedish, 2400000));
    EXPECT_EQ(DateToDayNumber(kJulian, 1650, 6, 1), DateToDayNumber(kSwedish, 1650, 6, 1));
}

TEST(KScalendars, HebrewCalendar) {
    int32_t y = 9, m = 9, d = 9;
    EXPECT_EQ(0, DayNumberToDate(kHebrew, 347997, y, m, d));
    EXPECT_EQ(0, y + m + d);
    EXPECT_EQ(10101, DayNumberToDate(kHebrew, 347998, y, m, d));
    // Rosh Hashanah 5760 fell on Saturday 11 September 1999, Yom Kippur on 20 September.
    EXPECT_EQ(2451433, DateToDayNumber(kHebrew, 5760, 1, 1));
    EXPECT_EQ(7, Weekday(2451433));
    EXPECT_EQ(DateToDayNumber(kGregorian, 1999, 9, 20), DateToDayNumber(kHebrew, 5760, 1, 10));
    // 5784 (leap): Rosh Hashanah 16 September 2023, 25 Kislev 8 December 2023,
    // 15 Nisan (month 8 in a leap year) 23 April 2024; 5785 began 3 October 2024.
    EXPECT_EQ(DateToDayNumber(kGregorian, 2023, 9, 16), DateToDayNumber(kHebrew, 5784, 1, 1));
    EXPECT_EQ(DateToDayNumber(kGregorian, 2023, 12, 8), DateToDayNumber(kHebrew, 5784, 3, 25));
    EXPECT_EQ(DateToDayNumber(kGregorian, 2024, 4, 23), DateToDayNumber(kHebrew, 5784, 8, 15));
    EXPECT_EQ(DateToDayNumber(kGregorian, 2024, 10, 3), DateToDayNumber(kHebrew, 5785, 1, 1));
    // 5783 (common): 15 Nisan (month 7) was 6 April 2023.
    EXPECT_EQ(DateToDayNumber(kGregorian, 2023, 4, 6), DateToDayNumber(kHebrew, 5783, 7, 15));
    EXPECT_EQ(57830715, Packed(kHebrew, DateToDayNumber(kGregorian, 2023, 4, 6)));
    EXPECT_TRUE(HebrewLeapYear(5784));
    EXPECT_TRUE(HebrewLeapYear(5760));
    EXPECT_FALSE(HebrewLeapYear(5785));
    EXPECT_EQ(383, HebrewYearLength(5784));
    EXPECT_EQ(355, HebrewYearLength(5785));
    EXPECT_EQ(30, HebrewMonthLength(5785, 2)); // a complete year: long Heshvan
    EXPECT_EQ(29, HebrewMonthLength(5784, 3)); // a deficient year: short Kislev
    EXPECT_EQ(30, HebrewMonthLength(5784, 6)); // Adar I
    EXPECT_EQ(29, HebrewMonthLength(5785, 6)); // Adar
    EXPECT_EQ(30, HebrewMonthLength(5785, 7)); // Nisan of a common year
}

TEST(KScalendars, Weekdays) {
    EXPECT_EQ(7, Weekday(2451545)); // Saturday 1 January 2000
    EXPECT_EQ(5, Weekday(2299160)); // Thursday 4 October 1582
    EXPECT_EQ(6, Weekday(2299161)); // Friday 15 October 1582
    EXPECT_EQ(2, Weekday(0));       // day 0 was a Monday
    EXPECT_EQ(1, Weekday(-1));
}

// Under the sanitizers these also prove that no intermediate value overflows.
TEST(KScalendars, OutlandishArgumentsStayDefined) {
    const int32_t lowest = -2147483647 - 1;
    const int32_t highest = 2147483647;
    int32_t y = 0, m = 0, d = 0;
    for (int calendar = 1; calendar <= 6; ++calendar) {
        EXPECT_EQ(0, DateToDayNumber(calendar, lowest, lowest, lowest)) << calendar;
        EXPECT_EQ(0, DateToDayNumber(calendar, 6000, highest, highest)) << calendar;
        EXPECT_LT(DateToDayNumber(calendar, -100000, 99, 99), 0) << calendar;
        DayNumberToDate(calendar, highest, y, m, d);
        EXPECT_GT(y, 5000000) << calendar;
        DayNumberToDate(calendar, lowest, y, m, d);
        EXPECT_GT(DayNumberToDate(calendar, 16777215, y, m, d), 0) << calendar;
        EXPECT_GT(y, 30000) << calendar;
    }
    EXPECT_GT(HebrewYearLength(highest), 0);
    EXPECT_LT(HebrewElapsedDays(lowest), 0);
}

// ---- Round trip over every day number ------------------------------------

bool GregorianLeap(int32_t y) {
    return y % 4 == 0 && (y % 100 != 0 || y % 400 == 0);
}
int FloorMod(int64_t a, int b) {
    return static_cast<int>(((a % b) + b) % b);
}

// Month lengths and months per year from the calendars' own rules, not from
// the conversion parameters.
int MonthsIn(int calendar, int32_t year) {
    if (calendar == kFrenchRepublican) return 13;
    if (calendar == kHebrew) {
        const int cycleYear = FloorMod(year, 19);
        const bool leap = cycleYear == 0 || cycleYear == 3 || cycleYear == 6 || cycleYear == 8 ||
                          cycleYear == 11 || cycleYear == 14 || cycleYear == 17;
        return leap ? 13 : 12;
    }
    return 12;
}

// 0 for the Hebrew months whose length depends on the year (Heshvan, Kislev).
int MonthLength(int calendar, int32_t year, int month) {
    static const int kJulianDays[] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    switch (calendar) {
    case kJulian:
    case kSwedish:
        if (month != 2) return kJulianDays[month];
        if (calendar == kSwedish && year == 1700) return 28;
        if (calendar == kSwedish && year == 1712) return 30;
        return year % 4 == 0 ? 29 : 28;
    case kGregorian:
        return month == 2 ? (GregorianLeap(year) ? 29 : 28) : kJulianDays[month];
    case kFrenchRepublican:
        return month < 13 ? 30 : (FloorMod(year, 4) == 3 ? 6 : 5);
    case kIslamic:
        if (month == 12) return FloorMod(14 + 11 * int64_t{year}, 30) < 11 ? 30 : 29;
        return month % 2 == 1 ? 30 : 29;
    default: { // Hebrew, numbered from Tishri
        static const int kCommon[] = {0, 30, 0, 0, 29, 30, 29, 30, 29, 30, 29, 30, 29};
        static const int kLeap[] = {0, 30, 0, 0, 29, 30, 30, 29, 30, 29, 30, 29, 30, 29};
        return MonthsIn(kHebrew, year) == 13 ? kLeap[month] : kCommon[month];
    }
    }
}

struct Date {
    int32_t y, m, d;
};

std::string Describe(const Date& prev, const Date& next) {
    std::ostringstream text;
    text << prev.y << "-" << prev.m << "-" << prev.d << " then " << next.y << "-" << next.m << "-"
         << next.d;
    return text.str();
}

// True when next is the day after previous.
bool IsSuccessor(int calendar, const Date& prev, const Date& next) {
    const int length = MonthLength(calendar, prev.y, prev.m);
    if (next.y == prev.y && next.m == prev.m && next.d == prev.d + 1)
        return length == 0 ? next.d <= 30 : next.d <= length;
    const bool lastDay = length == 0 ? (prev.d == 29 || prev.d == 30) : prev.d == length;
    if (!lastDay || next.d != 1) return false;
    if (next.y == prev.y && next.m == prev.m + 1) return true;
    return next.y == prev.y + 1 && next.m == 1 && prev.m == MonthsIn(calendar, prev.y);
}

// Hebrew year rules known independently of the computation: the year length
// is 353, 354 or 355 days (30 more in a leap year), Heshvan and Kislev follow
// from it, and 1 Tishri never falls on a Sunday, Wednesday or Friday.
std::string HebrewYearFault(int32_t year, int32_t length, int heshvan, int kislev,
                            int32_t newYearDay) {
    std::ostringstream fault;
    fault << "Hebrew year " << year << ": ";
    const int base = length - (MonthsIn(kHebrew, year) == 13 ? 30 : 0);
    if (base < 353 || base > 355) return fault.str() + "length " + std::to_string(length);
    const int expectedHeshvan = base == 355 ? 30 : 29;
    const int expectedKislev = base == 353 ? 29 : 30;
    if (heshvan != expectedHeshvan || kislev != expectedKislev)
        return fault.str() + "Heshvan/Kislev";
    const int weekday = Weekday(newYearDay);
    if (weekday == 1 || weekday == 4 || weekday == 6) return fault.str() + "1 Tishri weekday";
    return "";
}

struct SweepResult {
    int64_t days = 0;
    int64_t faults = 0;
    std::string first;
};

void Fault(SweepResult& result, const std::string& what) {
    if (result.faults++ == 0) result.first = what;
}

SweepResult Sweep(int calendar, int32_t from) {
    SweepResult result;
    Date prev{0, 0, 0};
    int32_t yearStart = 0, heshvan = 0, kislev = 0;
    for (int32_t dn = from; dn <= kGregorianEnd6000; ++dn) {
        Date date{0, 0, 0};
        DayNumberToDate(calendar, dn, date.y, date.m, date.d);
        if (date.y > kLastYear) break;
        ++result.days;
        const int32_t back = DateToDayNumber(calendar, date.y, date.m, date.d);
        if (back != dn)
            Fault(result, "day " + std::to_string(dn) + " came back as " + std::to_string(back));
        if (dn == from) {
            prev = date;
            yearStart = dn;
            continue;
        }
        if (!IsSuccessor(calendar, prev, date)) Fault(result, Describe(prev, date));
        if (calendar == kHebrew && date.m != prev.m) {
            if (prev.m == 2) heshvan = prev.d;
            if (prev.m == 3) kislev = prev.d;
            if (date.m == 1) {
                if (yearStart != from) {
                    const std::string yearFault =
                        HebrewYearFault(prev.y, dn - yearStart, heshvan, kislev, yearStart);
                    if (!yearFault.empty()) Fault(result, yearFault);
                }
                yearStart = dn;
            }
        }
        prev = date;
    }
    return result;
}

void ExpectCleanSweep(int calendar, int32_t from, int64_t minimumDays) {
    const SweepResult result = Sweep(calendar, from);
    EXPECT_EQ(0, result.faults) << "calendar " << calendar << ", first: " << result.first;
    EXPECT_GE(result.days, minimumDays) << "calendar " << calendar;
}

TEST(KScalendarsSweep, JulianEveryDay) {
    ExpectCleanSweep(kJulian, 0, kGregorianEnd6000 + 1);
    EXPECT_EQ(-47119899, Packed(kJulian, 0));
}

TEST(KScalendarsSweep, GregorianEveryDay) {
    ExpectCleanSweep(kGregorian, 0, kGregorianEnd6000 + 1);
}

TEST(KScalendarsSweep, FrenchRepublicanEveryDay) {
    ExpectCleanSweep(kFrenchRepublican, 0, kGregorianEnd6000 + 1);
}

TEST(KScalendarsSweep, IslamicEveryDay) {
    ExpectCleanSweep(kIslamic, 0, kGregorianEnd6000 + 1);
    // The tabular count from the epoch: 354 days a year, 11 leap days in 30
    // years, months of 30 and 29 days in turn.
    int64_t faults = 0;
    for (int32_t year = 1; year <= 1600; year += 7) {
        for (int32_t month = 1; month <= 12; ++month) {
            const int64_t expected = 1948439 - 1 + 1 + 29 * (month - 1) + (6 * month - 1) / 11 +
                                     (year - 1) * int64_t{354} + (3 + 11 * year) / 30;
            if (DateToDayNumber(kIslamic, year, month, 1) != expected) ++faults;
        }
    }
    EXPECT_EQ(0, faults);
}

TEST(KScalendarsSweep, SwedishEveryDay) {
    ExpectCleanSweep(kSwedish, 0, kGregorianEnd6000 + 1);
}

TEST(KScalendarsSweep, HebrewEveryDay) {
    // Hebrew 6000 ends in Gregorian 2240.
    ExpectCleanSweep(kHebrew, 347998, DateToDayNumber(kGregorian, 2239, 9, 1) - 347998);
}

} // namespace
} // namespace ks
