// The surname list in parts: when the division is chosen by size and the
// whole list would make one page too heavy, the list is written in several
// files. A part starts at every letter, and within a letter where the part
// would grow past its budget, so the parts are letters or ranges of
// surnames. The list keeps its block per index page, with its anchor in the
// part where the block starts, so a link to an index page's place in the
// list only has to name that part.
#pragma once

#include "builder/entries/KSindexData.h"
#include "builder/entries/KSindexType.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace ks {

class TKSkslFile;

// An item of the list: its markup, the link to the index page with its
// record number, the count, and the surname (twice when it has a prefix).
constexpr int64_t kNameItemBytes = 180;
// A block's letter, range and anchor, besides its surnames.
constexpr int64_t kNameBlockBytes = 260;

// An item of the surname list (a run of one surname on one index page), as
// estimated before it is written.
struct TKSnameItem {
    int32_t Page = 0;          // the index page it links to
    int32_t InPage = 0;        // its place in the page's block, from 0
    int64_t Bytes = 0;         // with the block's head when it is the block's first
    bool StartsLetter = false; // the first item of a letter
    std::string Letter;
    std::string Surname;
};

// The part of each item (from 1, in order): one part when the items together
// stay within budget; else a part per letter, cut further where an item
// would take its part past the budget (a part cut inside a block opens it
// again). An item larger than the budget on its own gets a part of its own.
std::vector<int32_t> CutNameParts(const std::vector<TKSnameItem>& items, int64_t budget);

class TKSnameParts {
public:
    // The entry written in parts, or none when the list fits one page.
    const TKSkslFile* Entry() const { return entry_; }
    bool IsParted(const TKSkslFile& entry) const { return entry_ == &entry; }
    int32_t Count() const { return static_cast<int32_t>(parts_.size()) - 1; }
    // The part that holds the start of an index page's block, with its
    // anchor (1 outside the pages).
    int32_t PartOf(int32_t page) const;
    // Whether part begins at the item inPage (from 0) of page's block.
    bool StartsAt(int32_t part, int32_t page, int32_t inPage) const;
    // A part as a page of its own, for its title and heading (PageName of
    // page as type): named by its letter when it holds the whole letter,
    // else by its first and its last surname. False for no part.
    bool AsPage(int32_t part, TKSindexData& page, TKSindexType& type) const;
    // The file of a part: the entry's own name for the first, which existing
    // links lead to, and the number before the extension for the others
    // ("names.htm", "names2.htm").
    static std::string PartFile(const std::string& firstFile, int32_t part);

    // Cuts the list of the entry, whose template writes the surname list in
    // alphabetical order, for the run's pages; the entry stays whole (and
    // nothing is parted) when one part holds the list.
    // items are the list's items as EstimateNameItems gives them; pages
    // the run's index pages.
    void Cut(const TKSkslFile& entry, const std::vector<TKSnameItem>& items, TKSpageList& pages,
             int32_t pageCount, int64_t budget);
    void Clear();

private:
    const TKSkslFile* entry_ = nullptr;
    std::vector<int32_t> partOfPage_;                 // by index page number
    std::vector<std::pair<int32_t, int32_t>> starts_; // by part number: page and item
    std::vector<TKSindexData> parts_{1};              // by part number; element 0 unused
    std::vector<bool> wholeLetter_;                   // by part number
};

} // namespace ks
