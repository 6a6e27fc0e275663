// The name index itself: for every merged entry its given names, years and
// numbered links to the trees that hold the person, under a heading per
// surname, with an anchor where each page of the index begins.
#pragma once

#include <string>

namespace ks {

class TKSbuilder;
class TKStemplateOutput;

// Writes the entries of the combined index into out.Output(); when the
// layout entry being generated is split, every page goes to its own file.
void WriteIndexData(TKSbuilder& builder, TKStemplateOutput& out);

} // namespace ks
