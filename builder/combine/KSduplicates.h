// The second step of a run: index lines that describe the same person are
// folded into one entry with a list of references, the entries are numbered
// and the index is cut into pages by the chosen index division.
#pragma once

#include "builder/combine/KSdivision.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ks {

class TKSbreather;
class TKSpageList;
class TKSprogressBar;

struct TKSduplicateOptions {
    // Auto:
    // the division with the fewest pages that keeps the largest within
    // kAutoPageBudget, a division into parts then also capped at
    // kAutoPageCap (a surname larger than that is cut into parts).
    TKSindexType IndexType = TKSindexType::FirstLetter;
    bool IgnoreYears = false;  // fold duplicates without comparing years
    int64_t EstimatedSize = 0; // from the merge
    // For the cap: per document position, the bytes of a reference besides
    // its link (ReferenceSizes).
    std::vector<int64_t> ReferenceSizes;
    // Auto: an index that fits on one page within kAutoPageBudget is kept
    // whole, cut per letter as an undivided index always was.
    bool WholeWhenLight = false;
};

struct TKSduplicateResult {
    int32_t PageCount = 0;
    int32_t EntryTotalCount = 0;
    TKSindexType IndexType = TKSindexType::FirstLetter; // the division used
    TKSdivisionInfo Division;                           // what each division would give
    bool KeptWhole = false; // Auto with WholeWhenLight, and the index fits on one page
};

// Reads the merged lines and the sizes per surname, writes the entries to
// entriesPath (ten tab-separated fields each, then "#") and fills pages.
TKSduplicateResult FindDuplicates(const std::string& mergedPath, const std::string& sizesPath,
                                  TKSprogressBar& bar, const std::string& entriesPath,
                                  const TKSduplicateOptions& options, TKSpageList& pages,
                                  TKSbreather& breather);

} // namespace ks
