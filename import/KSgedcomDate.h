// The years of a GEDCOM date value. The year the index shows is the first
// year the value names ("ABT 1780", "BET 1780 AND 1790", "INT 1780 (text)"),
// a dual year "11 FEB 1721/22" as the year of the new style (1722), and
// Julian, Hebrew and French Republican dates as the Gregorian year their day
// falls in ("@#DJULIAN@ 25 DEC 1700" is 5 January 1701; the year's first day
// when no month is given). Whether a person may still be alive is judged by
// the latest year the value allows instead.
#pragma once

#include <limits>
#include <string>
#include <string_view>

namespace ks {

// The year as digits; "" when the value names none, a year before the
// common era, or one in a calendar this reader does not know.
std::string GedcomDateYear(std::string_view value);

// The latest year of a value without an end ("AFT 1900", "FROM 1900").
constexpr int kYearWithoutEnd = std::numeric_limits<int>::max();

// The latest year the value allows: the last of its years ("BET 1900 AND
// 1990" 1990, "FROM 1900 TO 1950" 1950, "BEF 1950" 1950), the later one of a
// dual year ("1721/22" 1722), for a Julian, Hebrew or French Republican date
// the Gregorian year of its last day, and the years in words of other forms
// ("1900-1990" 1990) as well; kYearWithoutEnd when the value reaches up to
// today; 0 when it names no year.
int GedcomDateLatestYear(std::string_view value);

// Both at once, reading the value once.
struct TKSdateYears {
    std::string Year; // GedcomDateYear
    int Latest = 0;   // GedcomDateLatestYear
};
TKSdateYears GedcomDateYears(std::string_view value);

} // namespace ks
