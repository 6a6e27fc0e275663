#include "dates/KSdatenames.h"

namespace ks {

TMonthNameTable& MonthNameTable() {
    static TMonthNameTable table{};
    return table;
}

TDayNameTable& DayNameTable() {
    static TDayNameTable table{};
    return table;
}

std::string MonthName(int set, int number) {
    if (set < 0 || set >= kMonthNameSets || number < 1 || number > 13) return "";
    return MonthNameTable()[set].Names[number];
}

std::string DayName(int set, int weekday) {
    if (set < 0 || set >= kDayNameSets || weekday < 1 || weekday > 7) return "";
    return DayNameTable()[set].Names[weekday];
}

} // namespace ks
