// The list of surnames: one item per surname with the number of its entries
// and a link to its place in the index, in a block per page of the index.
#pragma once

#include "builder/entries/KSnameParts.h"

#include <string>
#include <vector>

namespace ks {

struct TKSrunView;
class TKSkslData;
class TKStemplateOutput;

// arguments: the entry whose pages the items link to, optionally followed
// by the word "frequent" and a number ("index frequent 500"); the text
// before the number of entries (default "("); the text after it (default
// ")"), which takes the whole rest of the arguments. The list is in the
// order of the index, in a block per index page; when the layout entry being
// generated is split, every block goes to its own file, and when it is the
// surname list in parts, every part does. With "frequent" the surnames are
// one list ordered by their number of persons, most first (ties in the
// order of the index), limited to the number given.
void WriteNameList(const TKSrunView& run, TKStemplateOutput& out, const std::string& arguments);

// The items of the run's surname list, estimated from the merged entries
// as the list writes them (to cut the list in parts, see TKSnameParts).
std::vector<TKSnameItem> EstimateNameItems(const TKSrunView& run);

// Whether the template at path writes a surname list of the layout in the
// order of the index (a #NAMELIST placeholder naming an entry, without
// "frequent"): such an entry can be written in parts.
bool WritesAlphabeticalNameList(const std::string& templatePath, const TKSkslData& layout);

} // namespace ks
