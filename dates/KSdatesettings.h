// The host's date settings: how a date is typed (input mask and the positions
// of day, month and year in it) and the default output format. A host with a
// document of its own may change them; this program keeps the defaults.
#pragma once

#include <string>

namespace ks {

struct THostDateSettings {
    std::string InputMask = "##-##-####";
    int DayPosition = 1;      // two digits
    int MonthPosition = 4;    // two digits
    int YearPosition = 7;     // four digits
    std::string OutputFormat; // used for an empty format; none here
};

// Process-wide, like the calendar table.
THostDateSettings& HostDateSettings();

} // namespace ks
