// The persons new since the previous run (#NEWLIST!), by tree, each linked
// to the person as the index links it. The words come from the layout's
// texts: "newfirst" (nothing to compare with yet), "newnone" (nothing new
// since %1), "newsince" (the list's lead: %1 the previous run's date, %2
// this run's), "newmore" (%1 more of a tree than the list shows, %2 the
// number shown) and "newdate" (a date from %1 day, %2 month and %3 year;
// "%3-%2-%1" when the layout has none).
#pragma once

#include <cstdint>
#include <string>

namespace ks {

struct TKSrunView;
class TKStemplateOutput;

// Writes the list into out; arguments: the most persons shown per tree
// (1 to kNewPersonsKept, which is also the default). Notes the page as the
// one the feed links to.
void WriteNewList(const TKSrunView& run, TKStemplateOutput& out, const std::string& arguments);

// The date of time (seconds since 1970) in this computer's time zone, as
// pattern puts day, month and year ("%3-%2-%1" when it is empty).
std::string RunDateText(int64_t time, const std::string& pattern);

} // namespace ks
