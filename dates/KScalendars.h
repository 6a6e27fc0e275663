// The calendar table and the conversions between day numbers (Julian Day
// Numbers, day 0 = 1 January 4713 BC Julian) and dates in the six calendars:
// 1 Julian, 2 Gregorian, 3 French Republican, 4 Islamic, 5 Sweden/Finland,
// 6 Hebrew. Years are astronomical (year 0 is 1 BC). Calendars 1 to 5 use a
// parametric scheme whose columns are read from short number lists when the
// table is first used; the Hebrew calendar has its own routines.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace ks {

constexpr int kJulian = 1;
constexpr int kGregorian = 2;
constexpr int kFrenchRepublican = 3;
constexpr int kIslamic = 4;
constexpr int kSwedish = 5;
constexpr int kHebrew = 6;

constexpr int kCalendarRows = 16;          // rows 0 to 15; only 1 to 6 are filled
constexpr int32_t kOpenEnded = 2147483647; // LastDay of a calendar still in force
constexpr int32_t kLastYear = 6000;        // later years have no day number

// One row of the calendar table.
struct TDateParameters {
    int32_t Index = 0;
    std::string Name;
    std::string EraBefore;               // era text for years <= 0
    std::string EraAfter;                // era text for years > 0
    int32_t FirstDay = 0;                // first day number at which the calendar is in force
    int32_t LastDay = 0;                 // last such day number, or kOpenEnded
    std::array<int32_t, 10> MonthSets{}; // month-name sets, entries 1 to 9
    int32_t MonthSetCount = 0;
    // Conversion columns.
    int32_t m = 0;     // month that starts the computational year
    int32_t n = 0;     // months per year
    int32_t r = 0;     // years per intercalation cycle
    int32_t p = 0;     // days per intercalation cycle
    int32_t leaps = 0; // leap years per cycle (informational)
    int32_t y = 0;     // year offset
    int32_t j = 0;     // day-number offset
    int32_t A = 0;     // century correction, date to day number
    int32_t B = 0;     // century correction, day number to date
    int32_t C = 0;     // century correction constant
    int32_t q = 0;     // year-to-day constant, date to day number
    int32_t v = 0;     // year-to-day constant, day number to date
    int32_t u = 0;     // month-to-day divisor
    int32_t s = 0;     // month-to-day multiplier
    int32_t t = 0;     // month-to-day constant, date to day number
    int32_t w = 0;     // month-to-day constant, day number to date
};

using TDateParameterTable = std::array<TDateParameters, kCalendarRows>;

// The table, filled on first use and read-only afterwards.
const TDateParameterTable& DateParameters();

// True for the calendars that have parameters (1 to 6).
bool HasCalendar(int calendar);

// Day number of a date; 0 when the year exceeds 6000 or the calendar has no
// parameters. Dates before day 0 give negative numbers; results beyond the
// 32-bit range give 0.
int32_t DateToDayNumber(int calendar, int32_t year, int32_t month, int32_t day);

// Date of a day number; returns year * 10000 + month * 100 + day. A calendar
// without parameters, or a Hebrew day before the epoch, gives 0 with all parts 0.
int32_t DayNumberToDate(int calendar, int32_t dayNumber, int32_t& year, int32_t& month,
                        int32_t& day);

// 1 to 7, 1 = Sunday.
int Weekday(int32_t dayNumber);

// Hebrew calendar: months count from Tishri = 1; a leap year has 13 months
// (6 = Adar I, 7 = Adar II), a common year 12 (6 = Adar).
bool HebrewLeapYear(int32_t year);
int64_t HebrewElapsedDays(int32_t year); // days from the epoch to 1 Tishri of year
int32_t HebrewYearLength(int32_t year);
int32_t HebrewMonthLength(int32_t year, int32_t month);

} // namespace ks
