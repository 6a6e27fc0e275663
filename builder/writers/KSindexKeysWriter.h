// The choice of pages of the combined index: a selection menu with a small
// script that opens the chosen page, or a row of links.
#pragma once

#include <string>

namespace ks {

struct TKSrunView;
class TKStemplateOutput;

// arguments: the entry whose pages are offered; the target frame (none when
// empty); the menu number (0: a row of links; a text that is no whole number
// counts as 0); the label of an empty first choice; options, words separated
// by blanks: "current" marks the link of the page being written with
// aria-current (in a split entry's own pages), "distinct" gives every page a
// label of its own (a part's whole first surname instead of two letters, and
// a number after a label an earlier page already has). Without a menu number
// a menu is written, numbered by the run state's KeyMenuCounter, when there are
// more than 30 pages or the index is cut in parts of about equal size.
void WriteIndexKeys(const TKSrunView& run, TKStemplateOutput& out, const std::string& arguments);

} // namespace ks
