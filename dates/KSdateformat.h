// Writing a date's parts with a format of tokens between '#' characters:
// D1 D2 (day), M1 M2 (month number), M3 M4 (month name), Y1 YR Y4 (year),
// W1 W2 (weekday name), CC (era). The literal text before a token is written
// only between produced parts; text after the last token is dropped.
#pragma once

#include <cstdint>
#include <string>

namespace ks {

struct TDateFormatParts {
    int calendar = 0;
    int32_t day = 0;   // 0 = unknown
    int32_t month = 0; // 0 = unknown
    int32_t year = 0;  // astronomical
    bool weekdayKnown = false;
    int weekday = 0; // 1 = Sunday
};

std::string FormatDateParts(const std::string& format, const TDateFormatParts& parts);

} // namespace ks
