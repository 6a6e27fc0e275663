// The first step of a run: the index lines of all selected documents merged
// into one ordered record file, with per-document statistics and the
// estimated HTML size of every surname.
#pragma once

#include <cstdint>
#include <string>

namespace ks {

class TKSbreather;
class TKSprogressBar;
struct TKSrunSettings;

// Writes the merged index lines (each followed by a tab and its document's
// 0-based list position, then a closing "#") to mergedPath and the
// estimated size per surname to sizesPath. Sets SeqNr and the statistics of
// every selected document. Returns the estimated size of the whole index.
int64_t MergeIndexes(TKSrunSettings& settings, const std::string& mergedPath,
                     const std::string& sizesPath, TKSprogressBar& bar, TKSbreather& breather);

} // namespace ks
