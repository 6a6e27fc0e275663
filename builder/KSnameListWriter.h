// The list of surnames: one item per surname with the number of its entries
// and a link to its place in the index, in a block per page of the index.
#pragma once

#include <string>

namespace ks {

class TKSbuilder;
class TKStemplateOutput;

// arguments: the entry whose pages the items link to; the text before the
// number of entries (default "("); the text after it (default ")"), which
// takes the whole rest of the arguments. When the layout entry being
// generated is split, every block goes to its own file.
void WriteNameList(TKSbuilder& builder, TKStemplateOutput& out, const std::string& arguments);

} // namespace ks
