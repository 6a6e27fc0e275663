// The first step of a run: the index lines of all selected documents merged
// into one ordered record file, with per-document statistics and the
// estimated HTML size of every surname.
#pragma once

#include "builder/entries/KSindexType.h"
#include "builder/entries/KSrunWarning.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ks {

class TKSbreather;
class TKSprogressBar;
struct TKSdocumentRun;
struct TKSrunSettings;

// Writes the merged index lines (each followed by a tab and its document's
// 0-based list position, then a closing "#") to mergedPath and the
// estimated size per surname to sizesPath. Reads every selected document
// from the DataFileName of its record in documents (one per document of the
// settings, in list order) and sets SeqNr and the statistics there. Returns
// the estimated size of the whole index.
// Adds to warnings (when given) the lines whose names were cut to
// kMaxNameBytes, each with its document and line (a few per document, then
// how many more), the lines counted in the document itself, also when the
// merge read a sorted copy.
int64_t MergeIndexes(const TKSrunSettings& settings, std::vector<TKSdocumentRun>& documents,
                     const std::string& mergedPath, const std::string& sizesPath,
                     TKSprogressBar& bar, TKSbreather& breather,
                     std::vector<TKSrunWarning>* warnings = nullptr);

} // namespace ks
