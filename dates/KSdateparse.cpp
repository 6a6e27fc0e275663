#include "dates/KSdateparse.h"

#include "common/KStextutil.h"
#include "dates/KScalendars.h"
#include "dates/KSdatenames.h"
#include "dates/KSdatesettings.h"

#include <deque>
#include <vector>

namespace ks {
namespace {

constexpr const char* kSeparators = " -./";
constexpr const char* kDigits = "0123456789";
constexpr int kMaxParts = 4;

// Cuts a trailing era word off text and chooses its calendar; later rows win.
void TakeEraWord(std::string& text, TDateTextParts& parts) {
    const std::size_t blank = text.rfind(' ');
    const std::string word = blank == std::string::npos ? text : text.substr(blank + 1);
    if (word.empty()) return;
    bool found = false;
    for (const TDateParameters& row : DateParameters()) {
        if (word == row.EraBefore || word == row.EraAfter) {
            found = true;
            parts.calendar = row.Index;
            parts.beforeEra = word == row.EraBefore;
        }
    }
    if (found) text = blank == std::string::npos ? "" : TrimRight(text.substr(0, blank));
}

int32_t NumberAt(const std::string& text, int position, int length) {
    if (position < 1 || static_cast<std::size_t>(position) > text.size()) return 0;
    return StrToIntDef(text.substr(position - 1, length), 0);
}

void ReadMasked(const std::string& text, const THostDateSettings& host, TDateTextParts& parts) {
    parts.day = NumberAt(text, host.DayPosition, 2);
    parts.month = NumberAt(text, host.MonthPosition, 2);
    parts.year = NumberAt(text, host.YearPosition, 4);
}

// A bare run of digits, brought to eight digits and laid into the mask.
std::string DigitsIntoMask(std::string digits, const THostDateSettings& host) {
    if (digits.size() < 8) {
        const std::string padding(8 - digits.size(), '0');
        digits = host.YearPosition == 1 ? digits + padding : padding + digits;
    } else {
        digits.resize(8);
    }
    const std::string& mask = host.InputMask;
    for (std::size_t i = 0; i < mask.size() && i <= digits.size(); ++i)
        if (mask[i] != '#') digits.insert(i, 1, mask[i]);
    return digits;
}

// A word part runs on over following text without digits, so that names of
// several words stay together; it stops at the last separator before a digit.
std::size_t WordEnd(const std::string& text, std::size_t end) {
    if (end == std::string::npos) return text.size();
    const std::size_t digit = text.find_first_of(kDigits, end);
    if (digit == std::string::npos) return text.find_last_not_of(kSeparators) + 1;
    return text.find_last_of(kSeparators, digit);
}

// The sets to search: those listed for the chosen calendar, else all.
std::vector<int> MonthSetsToSearch(int calendar) {
    std::vector<int> sets;
    if (calendar > 0 && calendar < kCalendarRows) {
        const TDateParameters& row = DateParameters()[calendar];
        for (int k = 1; k <= row.MonthSetCount && k <= 9; ++k)
            sets.push_back(row.MonthSets[k]);
    }
    if (sets.empty())
        for (int set = 1; set < kMonthNameSets; ++set)
            sets.push_back(set);
    return sets;
}

enum class NameMatch { None, Month, Error };

NameMatch MatchMonthName(const std::string& word, TDateTextParts& parts, bool& leapShift) {
    const TMonthNameTable& table = MonthNameTable();
    for (int set : MonthSetsToSearch(parts.calendar)) {
        if (set < 0 || set >= kMonthNameSets) continue;
        const TMonthNames& names = table[set];
        for (int number = 1; number <= names.Count && number <= 13; ++number) {
            if (names.Names[number].empty() || !SameTextAscii(word, names.Names[number])) continue;
            if (parts.month != 0) return NameMatch::Error; // a second month
            if (parts.calendar == 0)
                parts.calendar = names.Calendar;
            else if (names.Calendar != parts.calendar)
                return NameMatch::Error;
            parts.month = number;
            if (parts.calendar == kHebrew && number >= (names.Count == 13 ? 8 : 7))
                leapShift = true;
            return NameMatch::Month;
        }
    }
    return NameMatch::None;
}

// Numbers, month names and a Roman year, read part by part; false on an error.
bool ReadByParts(const std::string& text, const THostDateSettings& host, TDateTextParts& parts) {
    std::deque<int32_t> numbers;
    bool leapShift = false;
    int count = 0;
    std::size_t pos = text.find_first_not_of(kSeparators);
    while (pos != std::string::npos) {
        if (++count > kMaxParts) return false;
        std::size_t end = text.find_first_of(kSeparators, pos);
        const std::string part = text.substr(pos, end == std::string::npos ? end : end - pos);
        if (IsDigits(part)) {
            if (part.size() >= 5) return false;
            const int32_t number = StrToIntDef(part, 0);
            if (host.YearPosition == 1)
                numbers.push_back(number);
            else
                numbers.push_front(number);
        } else {
            end = WordEnd(text, end);
            const std::string word = text.substr(pos, end - pos);
            const NameMatch match = MatchMonthName(word, parts, leapShift);
            if (match == NameMatch::Error) return false;
            if (match == NameMatch::None) {
                const int roman = parts.year == 0 ? FromRoman(word) : 0;
                if (roman <= 0) return false; // a part that says nothing
                parts.year = roman;
            }
        }
        pos = end == std::string::npos ? end : text.find_first_not_of(kSeparators, end);
    }
    for (int32_t* field : {&parts.year, &parts.month, &parts.day}) {
        if (*field != 0 || numbers.empty()) continue;
        *field = numbers.front();
        numbers.pop_front();
    }
    if (!numbers.empty()) return false; // more numbers than a date has
    if (leapShift && HebrewLeapYear(parts.year)) ++parts.month;
    return true;
}

} // namespace

TDateTextParts ReadDateText(const std::string& input) {
    TDateTextParts parts;
    std::string text = Trim(input);
    TakeEraWord(text, parts);
    if (text.empty()) return TDateTextParts{}; // nothing that could be a date
    const THostDateSettings& host = HostDateSettings();
    if (MatchMask(text, host.InputMask)) {
        ReadMasked(text, host, parts);
    } else if (IsDigits(text)) {
        ReadMasked(DigitsIntoMask(text, host), host, parts);
    } else if (!ReadByParts(text, host, parts)) {
        return TDateTextParts{};
    }
    if (parts.beforeEra && parts.year > 0) parts.year = 1 - parts.year;
    parts.valid = true;
    return parts;
}

} // namespace ks
