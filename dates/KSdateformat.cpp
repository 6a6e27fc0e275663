#include "dates/KSdateformat.h"

#include "common/KStextutil.h"
#include "dates/KScalendars.h"
#include "dates/KSdatenames.h"

#include <optional>

namespace ks {
namespace {

// The calendar's first (0) or second (1) month-name set, or -1.
int MonthSet(int calendar, int which) {
    if (!HasCalendar(calendar)) return -1;
    const TDateParameters& row = DateParameters()[calendar];
    const int entry = which + 1;
    return entry <= row.MonthSetCount && entry <= 9 ? row.MonthSets[entry] : -1;
}

std::string MonthNameOf(const TDateFormatParts& parts, int which) {
    if (parts.calendar == kHebrew) which = HebrewLeapYear(parts.year) ? 1 : 0;
    return MonthName(MonthSet(parts.calendar, which), parts.month);
}

// Years up to 0 are written as the year before the era counts.
int32_t ShownYear(int32_t year) {
    return year <= 0 ? 1 - year : year;
}

// What a token produces; nothing for an unknown part or an unknown token.
std::optional<std::string> Produce(const std::string& token, const TDateFormatParts& parts) {
    const bool day = parts.day > 0;
    const bool month = parts.month > 0;
    if (token == "D1" && day) return std::to_string(parts.day);
    if (token == "D2" && day) return PadLeft(std::to_string(parts.day), 2, '0');
    if (token == "M1" && month) return std::to_string(parts.month);
    if (token == "M2" && month) return PadLeft(std::to_string(parts.month), 2, '0');
    if (token == "M3" && month) return MonthNameOf(parts, 1);
    if (token == "M4" && month) return MonthNameOf(parts, 0);
    if (token == "Y1") return std::to_string(ShownYear(parts.year));
    if (token == "YR") return ToRoman(ShownYear(parts.year));
    if (token == "Y4") return PadLeft(std::to_string(ShownYear(parts.year)), 4, '0');
    if (token == "W1" && parts.weekdayKnown) return DayName(1, parts.weekday);
    if (token == "W2" && parts.weekdayKnown) return DayName(0, parts.weekday);
    if (token == "CC" && HasCalendar(parts.calendar)) {
        const TDateParameters& row = DateParameters()[parts.calendar];
        const std::string& era = parts.year <= 0 ? row.EraBefore : row.EraAfter;
        if (!era.empty()) return era;
    }
    return std::nullopt;
}

} // namespace

std::string FormatDateParts(const std::string& format, const TDateFormatParts& parts) {
    std::string result;
    std::size_t pos = 0;
    for (;;) {
        const std::size_t open = format.find('#', pos);
        if (open == std::string::npos) break;
        const std::size_t close = format.find('#', open + 1);
        const std::size_t tokenEnd = close == std::string::npos ? format.size() : close;
        const std::string token = AsciiUpper(format.substr(open + 1, tokenEnd - open - 1));
        if (const std::optional<std::string> produced = Produce(token, parts)) {
            if (!result.empty()) result.append(format, pos, open - pos);
            result += *produced;
        }
        if (close == std::string::npos) break;
        pos = close + 1;
    }
    return result;
}

} // namespace ks
