#include "import/KSgedcomDate.h"

#include "dates/KScalendars.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <vector>

namespace ks {
namespace {

constexpr int kUnknownCalendar = 0;

constexpr std::array<std::string_view, 12> kMonths = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                                      "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
// From Tishri; ADR is Adar (Adar I in a leap year), ADS Adar II.
constexpr std::array<std::string_view, 13> kHebrewMonths = {
    "TSH", "CSH", "KSL", "TVT", "SHV", "ADR", "ADS", "NSN", "IYR", "SVN", "TMZ", "AAV", "ELL"};
constexpr std::array<std::string_view, 13> kFrenchMonths = {"VEND", "BRUM", "FRIM", "NIVO", "PLUV",
                                                            "VENT", "GERM", "FLOR", "PRAI", "MESS",
                                                            "THER", "FRUC", "COMP"};
constexpr std::array<std::string_view, 10> kModifiers = {"ABT", "CAL", "EST",  "BEF", "AFT",
                                                         "BET", "AND", "FROM", "TO",  "INT"};

template <std::size_t N>
int IndexOf(const std::array<std::string_view, N>& list, std::string_view word) {
    for (std::size_t k = 0; k < N; ++k)
        if (list[k] == word) return static_cast<int>(k) + 1;
    return 0;
}

int MonthOf(int calendar, std::string_view word) {
    if (calendar == kHebrew) return IndexOf(kHebrewMonths, word);
    if (calendar == kFrenchRepublican) return IndexOf(kFrenchMonths, word);
    return IndexOf(kMonths, word);
}

// A calendar escape ("@#DJULIAN@", "@#DFRENCH R@") or keyword ("JULIAN");
// -1 when the word is neither.
int CalendarOf(std::string_view word) {
    if (word.size() > 4 && word.substr(0, 3) == "@#D" && word.back() == '@')
        word = word.substr(3, word.size() - 4);
    else if (word.substr(0, 2) == "@#")
        return kUnknownCalendar;
    if (word == "GREGORIAN") return kGregorian;
    if (word == "JULIAN") return kJulian;
    if (word == "HEBREW") return kHebrew;
    if (word == "FRENCH R" || word == "FRENCH_R") return kFrenchRepublican;
    if (word == "ROMAN" || word == "UNKNOWN" || (!word.empty() && word[0] == '_'))
        return kUnknownCalendar;
    return -1;
}

std::vector<std::string> Words(std::string_view value) {
    std::vector<std::string> words;
    std::size_t pos = 0;
    while (pos < value.size()) {
        const char c = value[pos];
        if (c == ' ' || c == '\t') {
            ++pos;
            continue;
        }
        if (c == '(') break; // the text of an interpreted date, or a phrase
        std::size_t end = pos + 1;
        if (value.substr(pos, 2) == "@#") { // an escape may hold a space
            const std::size_t close = value.find('@', pos + 2);
            end = close == std::string_view::npos ? value.size() : close + 1;
        } else {
            while (end < value.size() && value[end] != ' ' && value[end] != '\t' &&
                   value[end] != '(')
                ++end;
        }
        std::string word(value.substr(pos, end - pos));
        for (char& w : word)
            w = static_cast<char>(std::toupper(static_cast<unsigned char>(w)));
        words.push_back(std::move(word));
        pos = end;
    }
    return words;
}

// The number of "1780" or "1780/81"; -1 for another word or a number too
// long to be a year.
int32_t NumberOf(std::string_view word) {
    const std::size_t slash = word.find('/');
    const std::string_view digits = word.substr(0, slash);
    if (digits.empty() || digits.size() > 5) return -1;
    int32_t number = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') return -1;
        number = number * 10 + (c - '0');
    }
    if (slash != std::string_view::npos) {
        const std::string_view rest = word.substr(slash + 1);
        if (rest.empty() || rest.size() > 4) return -1;
        for (const char c : rest)
            if (c < '0' || c > '9') return -1;
    }
    return number;
}

// The months of a year: a Hebrew leap year has Adar I and Adar II, and the
// French Republican year its complementary days as a thirteenth month.
int MonthsIn(int calendar, int32_t year) {
    if (calendar == kHebrew) return HebrewLeapYear(year) ? 13 : 12;
    return calendar == kFrenchRepublican ? 13 : 12;
}

// A Hebrew month as the calendar counts it: in a common year the months
// after Adar come one place earlier.
int CountedMonth(int calendar, int32_t year, int month) {
    if (calendar == kHebrew && !HebrewLeapYear(year) && month > 6) return month - 1;
    return month;
}

// The Gregorian year of a day number; 0 when there is none.
int32_t GregorianYearOfDay(int32_t dayNumber) {
    if (dayNumber <= 0) return 0;
    int32_t gy = 0, gm = 0, gd = 0;
    DayNumberToDate(kGregorian, dayNumber, gy, gm, gd);
    return gy;
}

// Whether a date of the calendar is converted by the day: a Julian date near
// the end of its year falls in the next Gregorian year.
bool ConvertedByTheDay(int calendar) {
    return calendar == kJulian || calendar == kHebrew || calendar == kFrenchRepublican;
}

int32_t GregorianYear(int calendar, int32_t year, int month, int day) {
    if (!ConvertedByTheDay(calendar)) return year;
    if (month == 0) month = 1, day = 1;
    if (day == 0) day = 1;
    month = CountedMonth(calendar, year, month);
    if (calendar == kFrenchRepublican && month == 13) day = std::min(day, 6);
    return GregorianYearOfDay(DateToDayNumber(calendar, year, month, day));
}

// The Gregorian year of the last day a year, month or day allows: a Julian,
// Hebrew or French Republican year ends in the Gregorian year after the one
// it starts in.
int32_t LastGregorianYear(int calendar, int32_t year, int month, int day) {
    if (!ConvertedByTheDay(calendar)) return year;
    if (month > 0 && day > 0) return GregorianYear(calendar, year, month, day);
    month = CountedMonth(calendar, year, month);
    const bool lastMonth = month == 0 || month >= MonthsIn(calendar, year);
    const int32_t next = lastMonth ? DateToDayNumber(calendar, year + 1, 1, 1)
                                   : DateToDayNumber(calendar, year, month + 1, 1);
    return GregorianYearOfDay(next - 1);
}

// A year a value names: its calendar, month and day when given.
struct TNamedYear {
    int Calendar = kGregorian;
    int32_t Year = 0;
    int Month = 0, Day = 0;
    bool Dual = false;      // "1721/22": the later year is the one of the new style
    bool BeforeEra = false; // "44 B.C."
};

// The years of a value in order, and whether its end is open: "AFT 1900",
// "FROM 1900" without TO and "BET 1900" without AND reach up to today.
struct TDateYears {
    std::vector<TNamedYear> Named;
    std::vector<TNamedYear> Loose; // years in words of other forms, as "1900-1990"
    bool OpenEnded = false;
};

bool IsEra(std::string_view word) {
    return word == "B.C." || word == "BC" || word == "BCE" || word == "B.C";
}

// Every run of three or four digits of a word this reader does not know.
void AddLooseYears(std::string_view word, int calendar, std::vector<TNamedYear>& loose) {
    for (std::size_t i = 0; i < word.size();) {
        std::size_t end = i;
        while (end < word.size() && word[end] >= '0' && word[end] <= '9')
            ++end;
        if (end - i == 3 || end - i == 4) {
            TNamedYear year;
            year.Calendar = calendar;
            for (std::size_t k = i; k < end; ++k)
                year.Year = year.Year * 10 + (word[k] - '0');
            loose.push_back(year);
        }
        i = end == i ? i + 1 : end;
    }
}

TDateYears ReadYears(std::string_view value) {
    const std::vector<std::string> words = Words(value);
    TDateYears out;
    bool after = false, from = false, to = false, between = false, closed = false;
    int calendar = kGregorian;
    int month = 0, day = 0;
    for (std::size_t k = 0; k < words.size(); ++k) {
        const std::string& word = words[k];
        if (const int named = CalendarOf(word); named >= 0) {
            calendar = named, month = 0, day = 0;
            continue;
        }
        if (IndexOf(kModifiers, word) > 0) {
            after |= word == "AFT", from |= word == "FROM", to |= word == "TO";
            between |= word == "BET", closed |= word == "AND";
            month = 0, day = 0;
            continue;
        }
        if (const int m = MonthOf(calendar, word); m > 0) {
            month = m;
            continue;
        }
        const int32_t number = NumberOf(word);
        if (number < 0) { // a word this reader does not know
            if (calendar != kUnknownCalendar) AddLooseYears(word, calendar, out.Loose);
            month = 0, day = 0;
            continue;
        }
        if (k + 1 < words.size() && MonthOf(calendar, words[k + 1]) > 0) {
            day = number <= 31 ? number : 0;
            continue;
        }
        const bool era = k + 1 < words.size() && IsEra(words[k + 1]);
        out.Named.push_back(
            {calendar, number, month, day, word.find('/') != std::string::npos, era});
        month = 0, day = 0;
    }
    out.OpenEnded = after || (from && !to) || (between && !closed);
    return out;
}

std::string ShownYear(const TDateYears& years) {
    if (years.Named.empty()) return "";
    const TNamedYear& first = years.Named.front();
    if (first.BeforeEra || first.Calendar == kUnknownCalendar || first.Year == 0) return "";
    // "11 FEB 1721/22": the year of the new style, which starts on 1 January.
    const int32_t year =
        GregorianYear(first.Calendar, first.Year + (first.Dual ? 1 : 0), first.Month, first.Day);
    if (year <= 0 || year > 9999) return "";
    return std::to_string(year);
}

int LatestYear(const TDateYears& years) {
    if (years.OpenEnded) return kYearWithoutEnd;
    int32_t latest = 0;
    for (const auto* list : {&years.Named, &years.Loose})
        for (const TNamedYear& named : *list) {
            if (named.BeforeEra || named.Calendar == kUnknownCalendar || named.Year == 0) continue;
            const int32_t year = named.Year + (named.Dual ? 1 : 0);
            // A dual year without a month ends on 24 March of its later year.
            const bool dualEnd = named.Dual && named.Month == 0;
            const int32_t last = LastGregorianYear(named.Calendar, year, dualEnd ? 3 : named.Month,
                                                   dualEnd ? 24 : named.Day);
            if (last > 0 && last <= 9999) latest = std::max(latest, last);
        }
    return latest;
}

} // namespace

std::string GedcomDateYear(std::string_view value) {
    return ShownYear(ReadYears(value));
}

int GedcomDateLatestYear(std::string_view value) {
    return LatestYear(ReadYears(value));
}

TKSdateYears GedcomDateYears(std::string_view value) {
    const TDateYears years = ReadYears(value);
    return {ShownYear(years), LatestYear(years)};
}

} // namespace ks
