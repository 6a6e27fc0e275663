// The table of the trees that make up the combined index: one row per
// selected document, with the columns the template asks for.
#pragma once

#include <string>

namespace ks {

struct TKSrunView;
class TKStemplateOutput;

// arguments: column names separated by commas, taken as written ("id",
// "title", "count", "min", "max", "user", "date"; letter case ignored);
// any other name gives an empty cell.
void WriteReportList(const TKSrunView& run, TKStemplateOutput& out, const std::string& arguments);

} // namespace ks
