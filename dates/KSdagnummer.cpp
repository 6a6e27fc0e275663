#include "dates/KSdagnummer.h"

#include "dates/KScalendars.h"
#include "dates/KSdateformat.h"
#include "dates/KSdateparse.h"
#include "dates/KSdatesettings.h"

namespace ks {
namespace {

// Calendar 0 and numbers above 15 stand for the value's own calendar.
int EffectiveCalendar(int requested, int own) {
    return requested == 0 || requested >= kCalendarRows ? own : requested;
}

// Where dates are first written without a calendar: Julian before
// 15 October 1582, Gregorian from then on.
int DefaultCalendar(const TDateTextParts& parts) {
    const int64_t packed = int64_t{parts.year} * 10000 + int64_t{parts.month} * 100 + parts.day;
    return packed < 15821015 ? kJulian : kGregorian;
}

// False for a day that the calendar does not have (31 February, month 13 of
// a Gregorian year): its day number would be some other day.
bool DayExists(int calendar, int32_t dayNumber, int32_t year, int32_t month, int32_t day) {
    if (dayNumber < 1 || dayNumber > kMaxDayNumber) return true; // no day number anyway
    int32_t y = 0, m = 0, d = 0;
    DayNumberToDate(calendar, dayNumber, y, m, d);
    return y == year && m == month && d == day;
}

} // namespace

void TKSdagnummer::SetDayNumber(int64_t dayNumber) {
    const uint32_t bits =
        dayNumber < 0 || dayNumber > kMaxDayNumber ? 0u : static_cast<uint32_t>(dayNumber);
    value_ = (value_ & ~kDayBits) | bits;
}

void TKSdagnummer::SetCalendar(int calendar) {
    const uint32_t bits = calendar < 0 || calendar >= kCalendarRows ? 0u : calendar;
    value_ = (value_ & ~(0x0Fu << 24)) | (bits << 24);
}

bool TKSdagnummer::WeekdayKnown() const {
    return DayNumber() >= 1 && !DayUnknown() && !MonthUnknown() && !YearUnknown();
}

int32_t TKSdagnummer::ToParts(int calendar, int32_t& day, int32_t& month, int32_t& year) const {
    day = month = year = 0;
    calendar = EffectiveCalendar(calendar, Calendar());
    if (!HasCalendar(calendar) || DayNumber() == 0) return 0;
    int32_t result = DayNumberToDate(calendar, DayNumber(), year, month, day);
    if (DayUnknown()) {
        result -= day;
        day = 0;
    }
    if (MonthUnknown()) {
        result -= month * 100;
        month = 0;
    }
    if (YearUnknown()) {
        result = 0;
        year = 0;
    }
    return result;
}

std::string TKSdagnummer::FormatDate(const std::string& format, int calendar) const {
    calendar = EffectiveCalendar(calendar, Calendar());
    if (!HasCalendar(calendar)) return "";
    const TDateParameters& row = DateParameters()[calendar];
    if (DayNumber() < row.FirstDay || DayNumber() > row.LastDay) return "";
    TDateFormatParts parts;
    if (ToParts(calendar, parts.day, parts.month, parts.year) == 0) return "";
    parts.calendar = calendar;
    parts.weekdayKnown = WeekdayKnown();
    parts.weekday = Weekday(DayNumber());
    return FormatDateParts(format.empty() ? HostDateSettings().OutputFormat : format, parts);
}

void TKSdagnummer::ParseDate(const std::string& text) {
    Clear();
    if (text.empty()) return;
    const TDateTextParts parts = ReadDateText(text);
    if (!parts.valid) return;
    const int calendar = parts.calendar != 0 ? parts.calendar : DefaultCalendar(parts);
    int32_t year = parts.year, month = parts.month, day = parts.day;
    uint32_t unknown = 0;
    if (year == 0 && !parts.beforeEra) {
        year = 1;
        unknown |= kYearUnknown;
    }
    if (month == 0) {
        month = 1;
        unknown |= kMonthUnknown;
    }
    if (day == 0) {
        day = 1;
        unknown |= kDayUnknown;
    }
    const int32_t dayNumber = DateToDayNumber(calendar, year, month, day);
    if (!DayExists(calendar, dayNumber, year, month, day)) return;
    SetCalendar(calendar);
    value_ |= unknown;
    SetDayNumber(dayNumber);
}

} // namespace ks
