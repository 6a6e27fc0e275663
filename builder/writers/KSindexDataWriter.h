// The name index itself: for every merged entry its given names, years and
// numbered links to the trees that hold the person, under a heading per
// surname, with an anchor where each page of the index begins.
#pragma once

#include <string>

namespace ks {

struct TKSrunView;
class TKStemplateOutput;

// Writes the entries of the combined index into out.Output(); when the
// layout entry being generated is split, every page goes to its own file.
// A tree label ("%1, tree %2": %1 the tree's title, %2 its number) gives
// every numbered link an aria-label, so that a screen reader names the tree
// rather than reading out a bare number; without one the links carry none.
// With a legend heading (HTML), every page ends with that heading and a
// line "number = title" for each tree linked on the page.
void WriteIndexData(const TKSrunView& run, TKStemplateOutput& out,
                    const std::string& treeLabel = std::string(),
                    const std::string& legendHead = std::string());

} // namespace ks
