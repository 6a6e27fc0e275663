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

int32_t GregorianYear(int calendar, int32_t year, int month, int day) {
    if (calendar != kHebrew && calendar != kFrenchRepublican) return year;
    if (month == 0) month = 1, day = 1;
    if (day == 0) day = 1;
    // In a common Hebrew year the months after Adar come one place earlier.
    if (calendar == kHebrew && !HebrewLeapYear(year) && month > 6) --month;
    if (calendar == kFrenchRepublican && month == 13) day = std::min(day, 6);
    const int32_t dayNumber = DateToDayNumber(calendar, year, month, day);
    if (dayNumber <= 0) return 0;
    int32_t gy = 0, gm = 0, gd = 0;
    DayNumberToDate(kGregorian, dayNumber, gy, gm, gd);
    return gy;
}

} // namespace

std::string GedcomDateYear(std::string_view value) {
    const std::vector<std::string> words = Words(value);
    int calendar = kGregorian;
    int month = 0, day = 0;
    for (std::size_t k = 0; k < words.size(); ++k) {
        const std::string& word = words[k];
        if (const int named = CalendarOf(word); named >= 0) {
            calendar = named, month = 0, day = 0;
            continue;
        }
        if (IndexOf(kModifiers, word) > 0) {
            month = 0, day = 0;
            continue;
        }
        if (const int m = MonthOf(calendar, word); m > 0) {
            month = m;
            continue;
        }
        const int32_t number = NumberOf(word);
        if (number < 0) { // a word this reader does not know
            month = 0, day = 0;
            continue;
        }
        if (k + 1 < words.size() && MonthOf(calendar, words[k + 1]) > 0) {
            day = number <= 31 ? number : 0;
            continue;
        }
        if (k + 1 < words.size()) {
            const std::string& era = words[k + 1];
            if (era == "B.C." || era == "BC" || era == "BCE" || era == "B.C") return "";
        }
        if (calendar == kUnknownCalendar || number == 0) return "";
        const int32_t year = GregorianYear(calendar, number, month, day);
        if (year <= 0 || year > 9999) return "";
        return std::to_string(year);
    }
    return "";
}

} // namespace ks
