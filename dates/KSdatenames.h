// The month-name and day-name tables of the date module. Nothing in this
// program fills them, so month names are not recognised in date text and the
// name tokens of a date format give empty text; a host that has names may
// fill them before dates are read or written.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace ks {

struct TMonthNames {
    std::string Label;       // carried with the set, not read here
    std::string Description; // carried with the set, not read here
    int32_t Calendar = 0;
    int32_t Count = 0;
    std::array<std::string, 14> Names; // names 1 to 13
};

struct TDayNames {
    std::string Label;                // carried with the set, not read here
    std::string Description;          // carried with the set, not read here
    int32_t Number = 0;               // carried with the set, not read here
    std::array<std::string, 8> Names; // names 1 to 7, 1 = Sunday
};

constexpr int kMonthNameSets = 31; // sets 0 to 30
constexpr int kDayNameSets = 2;    // sets 0 and 1

using TMonthNameTable = std::array<TMonthNames, kMonthNameSets>;
using TDayNameTable = std::array<TDayNames, kDayNameSets>;

TMonthNameTable& MonthNameTable();
TDayNameTable& DayNameTable();

// Name number of a month-name set, or "" when the set or the name is absent.
std::string MonthName(int set, int number);
// Name of a weekday (1 = Sunday) in a day-name set, or "".
std::string DayName(int set, int weekday);

} // namespace ks
