#include "template/KSdatefunctions.h"

#include "dates/KSdatum.h"

namespace ks {
namespace {

struct Parts {
    int32_t day = 0;
    int32_t month = 0;
    int32_t year = 0;
    int32_t value = 0;
};

Parts PartsOf(const TKSdagnummer& date, int calendar) {
    Parts p;
    p.value = date.ToParts(calendar, p.day, p.month, p.year);
    return p;
}

TKSdatum DateOf(const std::string& text) {
    TKSdatum date;
    date.SetDateText(text);
    return date;
}

// The year of a date as YEAR$ and YEAR see it, or false.
bool YearOf(TKSdatum& date, int32_t& year) {
    TKSdagnummer& d = date.DateType() == kRangeDate ? date.SecondDate() : date.FirstDate();
    const Parts p = PartsOf(d, d.Calendar());
    year = p.year;
    return !d.YearUnknown() && p.value > 0;
}

} // namespace

std::string FnAge(TFixed options, const std::string& d1, const std::string& d2) {
    TKSdatum first = DateOf(d1);
    TKSdatum second = DateOf(d2);
    int calendar = first.FirstDate().Calendar();
    if (second.FirstDate().Calendar() != calendar) calendar = 1;
    Parts a = PartsOf(first.FirstDate(), calendar);
    Parts b = PartsOf(second.FirstDate(), calendar);
    const int64_t option = RoundToWhole(options);
    if (option & 1) {
        const auto incomplete = [](const TKSdatum& date, const Parts& p) {
            return date.DateType() != kPlainDate || p.day == 0 || p.month == 0 || p.year == 0;
        };
        if (incomplete(first, a)) a.value = 0;
        if (incomplete(second, b)) b.value = 0;
    }
    if (a.value == 0 || b.value == 0 || a.value >= b.value) return "";
    int64_t age = b.year - a.year;
    if (a.month > b.month || (a.month == b.month && b.day < a.day)) --age;
    if (option & 4)
        age = static_cast<int64_t>(second.FirstDate().DayNumber()) - first.FirstDate().DayNumber();
    return std::to_string(age);
}

std::string FnDay(const std::string& d, TFixed option) {
    const char* format = nullptr;
    switch (RoundToWhole(option)) {
    case 0:
        format = "#W2#";
        break;
    case 1:
        format = "#W1#";
        break;
    case 2:
        format = "#D1#";
        break;
    default:
        return "";
    }
    return DateOf(d).GetDateText(format, 0);
}

std::string FnDate(const std::string& d, const std::string& format, TFixed calendar) {
    const int64_t number = RoundToWhole(calendar);
    // Below 0, like 0, is the date's own calendar.
    const int chosen = number < 0 || number > 15 ? 0 : static_cast<int>(number);
    return DateOf(d).GetDateText(format, chosen);
}

std::string FnYearText(const std::string& d, TFixed options) {
    TKSdatum date = DateOf(d);
    int32_t year = 0;
    std::string text = YearOf(date, year) ? std::to_string(year) : "";
    if ((RoundToWhole(options) & 1) == 0) return text;
    static const char* const kSigns[] = {"", "<", ">", "\xB1", "-", "\xB0", "?", "a"};
    const int type = date.DateType();
    return (type >= 1 && type <= 7 ? kSigns[type] : "") + text;
}

TFixed FnYear(const std::string& d) {
    TKSdatum date = DateOf(d);
    int32_t year = 0;
    return YearOf(date, year) ? FixedFromWhole(year) : 0;
}

} // namespace ks
