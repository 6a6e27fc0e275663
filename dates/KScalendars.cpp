#include "dates/KScalendars.h"

#include "common/KStextutil.h"

#include <initializer_list>
#include <limits>

namespace ks {
namespace {

// Day number of the day before 1 Tishri of Hebrew year 1.
constexpr int64_t kHebrewEpochBase = 347997;

// The three number lists of each calendar, as the calendar module has always
// carried them: m, n, r, p, leaps, y, j / A, B, C / q, v, u, s, t, w.
struct CalendarSource {
    int index;
    const char* name;
    const char* eraBefore;
    const char* eraAfter;
    const char* cycle;
    const char* century;
    const char* month;
};

constexpr CalendarSource kSources[] = {
    {1, "Julian", "BC", "AD", "3,12, 4, 1461, 1,4716,1401", "  0,     0,  0",
     " 0, 3,  5, 153, 2, 2"},
    {2, "Gregorian", "", "", "3,12, 4, 1461, 1,4716,1401", "184,274277,-38",
     " 0, 3,  5, 153, 2, 2"},
    {3, "French Republican", "", "FR", "1,13, 4, 1461, 1,6504, 111", "396,578797,-51",
     " 0, 3,  1,  30, 0, 0"},
    {4, "Islamic A", "", "AH", "1,12,30,10631,11,5519,7665", "  0,     0,  0",
     "14,15,100,2951,51,10"},
    {5, "Sweden/Finland", "", "SE", "3,12, 4, 1461, 1,4716,1401", "  0,     0,  0",
     " 0, 3,  5, 153, 2, 2"},
    {6, "Hebrew", "", "AM", "0, 0, 0,    0, 0,   0,   0", "  0,     0,  0", " 0, 0,  0,   0, 0, 0"},
};

// A day that bounds a calendar's period: a fixed number (convertWith 0) or a
// date converted with the calendar convertWith. Day 0 as LastDay means open.
struct DayBound {
    int convertWith;
    int32_t year, month, day;
};

struct CalendarPeriod {
    int index;
    DayBound first;
    DayBound last;
};

constexpr CalendarPeriod kPeriods[] = {
    {1, {0, 0, 0, 0}, {0, 0, 0, 0}},
    {2, {kGregorian, 1582, 10, 15}, {0, 0, 0, 0}},
    {3, {kGregorian, 1792, 9, 22}, {kGregorian, 1806, 1, 1}},
    {4, {kJulian, 632, 3, 6}, {0, 0, 0, 0}},
    {5, {kJulian, 1700, 2, 29}, {kJulian, 1712, 2, 29}},
    {6, {0, 0, 0, 347998}, {0, 0, 0, 0}},
};

using Column = int32_t TDateParameters::*;

// Reads a comma list of whole numbers into the given columns, in order.
void AssignColumns(TDateParameters& row, std::string text, std::initializer_list<Column> columns) {
    for (Column column : columns) {
        std::string field;
        CutField(text, ",", '"', field, false);
        row.*column = StrToIntDef(field, 0);
    }
}

// Hebrew year facts needed to walk its months.
struct HebrewYear {
    int64_t elapsed; // days from the epoch to 1 Tishri
    int32_t length;
    bool leap;
};

bool LeapYear(int64_t year) {
    return (7 * year + 1) % 19 < 7;
}

int64_t ElapsedDays(int64_t year) {
    const int64_t b = year - 1;
    const int64_t months = 235 * (b / 19) + 12 * (b % 19) + (7 * (b % 19) + 1) / 19;
    const int64_t parts = 204 + 793 * (months % 1080);
    const int64_t hours = 5 + 12 * months + 793 * (months / 1080) + parts / 1080;
    int64_t day = 1 + 29 * months + hours / 24;
    const int64_t conjunction = 1080 * (hours % 24) + parts % 1080;
    if (conjunction >= 19440 || (day % 7 == 2 && conjunction >= 9924 && !LeapYear(year)) ||
        (day % 7 == 1 && conjunction >= 16789 && LeapYear(year - 1)))
        ++day;
    const int64_t weekday = day % 7;
    if (weekday == 0 || weekday == 3 || weekday == 5) ++day;
    return day;
}

HebrewYear MakeHebrewYear(int64_t year) {
    const int64_t elapsed = ElapsedDays(year);
    const int64_t next = ElapsedDays(year + 1);
    return {elapsed, static_cast<int32_t>(next - elapsed), LeapYear(year)};
}

int32_t MonthLengthIn(const HebrewYear& info, int64_t month) {
    if (month > 6 && !info.leap) ++month;
    switch (month) {
    case 1:
        return 30;
    case 2:
        return info.length % 10 == 5 ? 30 : 29; // long Heshvan
    case 3:
        return info.length % 10 == 3 ? 29 : 30; // short Kislev
    case 4:
        return 29;
    case 5:
        return 30;
    case 6:
        return info.leap ? 30 : 29;
    case 7:
    case 9:
    case 11:
    case 13:
        return 29;
    default:
        return 30;
    }
}

int64_t HebrewDayNumber(int64_t year, int64_t month, int64_t day) {
    const HebrewYear info = MakeHebrewYear(year);
    int64_t result = day - 1 + kHebrewEpochBase + info.elapsed;
    // Months above 13 are all 30 days long; add them without walking them.
    const int64_t before = month - 1;
    for (int64_t k = 1; k <= before && k <= 13; ++k)
        result += MonthLengthIn(info, k);
    if (before > 13) result += 30 * (before - 13);
    return result;
}

void HebrewDate(int64_t dayNumber, int64_t& year, int64_t& month, int64_t& day) {
    const int64_t k = dayNumber - kHebrewEpochBase;
    year = k / 365 + 1;
    // The first guess can lie below the true year in the first century of the
    // calendar, where the years so far average less than 365 days.
    while (k >= ElapsedDays(year + 1))
        ++year;
    while (k < ElapsedDays(year))
        --year;
    const HebrewYear info = MakeHebrewYear(year);
    int64_t rest = k - info.elapsed;
    month = 1;
    const int64_t months = info.leap ? 13 : 12;
    while (month < months && rest >= MonthLengthIn(info, month)) {
        rest -= MonthLengthIn(info, month);
        ++month;
    }
    day = rest + 1;
}

// Calendars 1 to 5. Division truncates toward zero throughout.
int64_t ParametricDayNumber(const TDateParameters& row, int calendar, int64_t year, int64_t month,
                            int64_t day) {
    const int64_t yp = year + row.y - (row.n + row.m - 1 - month) / row.n;
    const int64_t mp = (month - row.m + row.n) % row.n;
    int64_t result = (row.p * yp + row.q) / row.r + (row.s * mp + row.t) / row.u + day - 1 - row.j;
    if (calendar == kGregorian) result -= 3 * ((yp + row.A) / 100) / 4 + row.C;
    if (calendar == kSwedish) {
        const bool shifted = row.FirstDay + 1 <= result && result <= row.LastDay;
        const bool leapDay = result == int64_t{row.LastDay} + 1 && day == 30;
        if (shifted || leapDay) result -= 1;
    }
    return result;
}

void ParametricDate(const TDateParameters& row, int calendar, int64_t dayNumber, int64_t& year,
                    int64_t& month, int64_t& day) {
    int64_t f = dayNumber + row.j;
    if (calendar == kGregorian) f += 3 * ((4 * dayNumber + row.B) / 146097) / 4 + row.C;
    const bool swedishShift =
        calendar == kSwedish && row.FirstDay <= dayNumber && dayNumber <= row.LastDay;
    if (swedishShift) f += 1;
    const int64_t e = int64_t{row.r} * f + row.v;
    const int64_t g = (e % row.p) / row.r;
    const int64_t h = int64_t{row.u} * g + row.w;
    day = (h % row.s) / row.u + 1;
    month = (h / row.s + row.m - 1) % row.n + 1;
    year = (row.n + row.m - 1 - month) / row.n + e / row.p - row.y;
    if (calendar == kSwedish && dayNumber == row.LastDay) { // 30 February 1712
        month = 2;
        day = 30;
    }
}

int64_t DayNumberIn(const TDateParameterTable& table, int calendar, int64_t year, int64_t month,
                    int64_t day) {
    if (year > kLastYear) return 0;
    if (calendar == kHebrew) return HebrewDayNumber(year, month, day);
    return ParametricDayNumber(table[calendar], calendar, year, month, day);
}

int32_t BoundDay(const TDateParameterTable& table, const DayBound& bound) {
    if (bound.convertWith == 0) return bound.day;
    return static_cast<int32_t>(
        DayNumberIn(table, bound.convertWith, bound.year, bound.month, bound.day));
}

TDateParameterTable BuildTable() {
    TDateParameterTable table{};
    for (const CalendarSource& source : kSources) {
        TDateParameters& row = table[source.index];
        using P = TDateParameters;
        AssignColumns(row, source.cycle, {&P::m, &P::n, &P::r, &P::p, &P::leaps, &P::y, &P::j});
        AssignColumns(row, source.century, {&P::A, &P::B, &P::C});
        AssignColumns(row, source.month, {&P::q, &P::v, &P::u, &P::s, &P::t, &P::w});
    }
    for (const CalendarSource& source : kSources) {
        TDateParameters& row = table[source.index];
        row.Index = source.index;
        row.Name = source.name;
        row.EraBefore = source.eraBefore;
        row.EraAfter = source.eraAfter;
    }
    for (const CalendarPeriod& period : kPeriods) {
        TDateParameters& row = table[period.index];
        row.FirstDay = BoundDay(table, period.first);
        row.LastDay = BoundDay(table, period.last);
        if (row.LastDay == 0) row.LastDay = kOpenEnded;
    }
    return table;
}

} // namespace

const TDateParameterTable& DateParameters() {
    static const TDateParameterTable table = BuildTable();
    return table;
}

bool HasCalendar(int calendar) {
    return calendar >= kJulian && calendar <= kHebrew;
}

int32_t DateToDayNumber(int calendar, int32_t year, int32_t month, int32_t day) {
    if (!HasCalendar(calendar)) return 0;
    const int64_t result = DayNumberIn(DateParameters(), calendar, year, month, day);
    if (result < std::numeric_limits<int32_t>::min() ||
        result > std::numeric_limits<int32_t>::max())
        return 0;
    return static_cast<int32_t>(result);
}

int32_t DayNumberToDate(int calendar, int32_t dayNumber, int32_t& year, int32_t& month,
                        int32_t& day) {
    year = month = day = 0;
    if (!HasCalendar(calendar)) return 0;
    if (calendar == kHebrew && dayNumber <= kHebrewEpochBase) return 0;
    int64_t y = 0, m = 0, d = 0;
    if (calendar == kHebrew)
        HebrewDate(dayNumber, y, m, d);
    else
        ParametricDate(DateParameters()[calendar], calendar, dayNumber, y, m, d);
    // Every 32-bit day number has a year within 32 bits (about 5.9 million).
    year = static_cast<int32_t>(y);
    month = static_cast<int32_t>(m);
    day = static_cast<int32_t>(d);
    const int64_t packed = y * 10000 + m * 100 + d;
    if (packed < std::numeric_limits<int32_t>::min() ||
        packed > std::numeric_limits<int32_t>::max())
        return 0; // far beyond any representable date
    return static_cast<int32_t>(packed);
}

int Weekday(int32_t dayNumber) {
    // Kept in 1 to 7 also for day numbers before day 0.
    const int rest = static_cast<int>((int64_t{dayNumber} + 1) % 7);
    return (rest < 0 ? rest + 7 : rest) + 1;
}

bool HebrewLeapYear(int32_t year) {
    return LeapYear(year);
}

int64_t HebrewElapsedDays(int32_t year) {
    return ElapsedDays(year);
}

int32_t HebrewYearLength(int32_t year) {
    return MakeHebrewYear(year).length;
}

int32_t HebrewMonthLength(int32_t year, int32_t month) {
    return MonthLengthIn(MakeHebrewYear(year), month);
}

} // namespace ks
