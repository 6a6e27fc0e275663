// The year of a GEDCOM date value, as the index shows it: the first year
// the value names ("ABT 1780", "BET 1780 AND 1790", "INT 1780 (text)"),
// "1780/81" as 1780, and Hebrew and French Republican years as the
// Gregorian year their day falls in (the year's first day when no month is
// given). Julian years are kept as they are.
#pragma once

#include <string>
#include <string_view>

namespace ks {

// The year as digits; "" when the value names none, a year before the
// common era, or one in a calendar this reader does not know.
std::string GedcomDateYear(std::string_view value);

} // namespace ks
