// The date functions of the template language: AGE, DAY, DATE with
// arguments, YEAR$ and YEAR. Their date arguments are date texts (or stored
// dates) read by TKSdatum in the language file's grammar.
#pragma once

#include "template/KSfixed.h"

#include <string>

namespace ks {

// Whole years from d1 to d2 (options bit 0: only complete plain dates count;
// bit 2: days instead of years); empty unless d1 lies before d2.
std::string FnAge(TFixed options, const std::string& d1, const std::string& d2);
// Weekday name (option 0 or 1) or day of the month (2); other options give "".
std::string FnDay(const std::string& d, TFixed option);
// The date written with a format of tokens in a calendar (0 or below: its own).
std::string FnDate(const std::string& d, const std::string& format, TFixed calendar);
// The year of the date (of the end of a range), with bit 0 of options its
// type's sign in front.
std::string FnYearText(const std::string& d, TFixed options);
// The same year as a number; 0 without one.
TFixed FnYear(const std::string& d);

} // namespace ks
