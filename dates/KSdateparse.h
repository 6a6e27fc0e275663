// Reading one date text into its day, month and year: an era word at the end
// ("BC", "AD", "AH", ...), then the host's input mask, a run of digits laid
// into that mask, or up to four parts separated by blanks, '-', '.' or '/'
// (numbers, month names, a year in Roman numerals).
#pragma once

#include <cstdint>
#include <string>

namespace ks {

struct TDateTextParts {
    bool valid = false;     // false: the text is no date
    int calendar = 0;       // chosen by an era word or a month name; 0 = none
    bool beforeEra = false; // the era word was an era-before text ("BC")
    int32_t day = 0;        // 0 = not given
    int32_t month = 0;
    int32_t year = 0; // astronomical once an era-before word has been applied
};

TDateTextParts ReadDateText(const std::string& text);

} // namespace ks
