// The division of the index into pages, chosen so that pages stay light:
// from the HTML sizes per surname that the merge estimates, the pages every
// division would give are estimated before the index is cut, and after a run
// the pages written are checked against a size limit. The wizard and the
// command-line tool both use these.
#pragma once

#include "builder/entries/KSindexType.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ks {

struct TKSrunState;
class TKShtxRegel;
struct TKSrunSettings;

// Pages above this many bytes load slowly, above all on a phone.
constexpr int64_t kPageSizeLimit = 2'000'000;
// When the run chooses the division itself: the budget, in the merge's
// estimated bytes per surname, for the index on the largest page. The merge
// counts little more than half of what the index writer writes (a line per
// person, relative links, the template and the menus are not in it), so the
// budget stays well below the limit.
constexpr int64_t kAutoPageBudget = 900'000;
// And the cap of a page cut into parts, in bytes estimated line by line as
// the index writer writes them: such a page ends before its index passes the
// cap, inside a surname too when one surname alone is larger. The rest of
// the limit is left to the template and its menus.
constexpr int64_t kAutoPageCap = 1'600'000;

// The rule that cuts the index into about a given number of parts: a
// surname of size u joins the page of size v when that brings the page
// nearer the target w, unless it is larger than the target and the page is
// past a quarter of it.
bool JoinsPage(int64_t v, int64_t u, int64_t w);
// The target page size of the divisions into parts (about 50, 100, 250, 500
// parts); 0 for the others.
int64_t TargetPageSize(TKSindexType indexType, int64_t estimatedSize);
// The size in a line of the sizes per surname (surname, tab, size); 0 when
// there is none.
int64_t SurnameSize(const std::string& sizesLine);
// The key of index type 2: the first two letters (code points) of the
// surname, padded with blanks, a to z upper-cased.
std::string TwoLetterKey(std::string_view surname);
// The key of index type 1 as the estimate counts its pages: the surname's
// first letter, folded to A to Z or a digit when the code page's fold gives
// one (a letter Windows-1252 lacks by the letter it is built on), a letter
// of another script as its capital without marks (Ł as L, ά as Α), as the
// index letter files them; else as it is; "" for the empty surname.
std::string LetterKey(std::string_view surname);

// Bytes of HTML that index lines add to an index page, estimated as the
// index writer writes them (for the page cap).
class TKSpageBytes {
public:
    // referenceSizes: per document position, what a reference to that
    // document takes besides its link (see ReferenceSizes).
    explicit TKSpageBytes(std::vector<int64_t> referenceSizes)
        : referenceSizes_(std::move(referenceSizes)) {}

    int64_t Heading(const TKShtxRegel& line) const;   // anchor and surname line
    int64_t Entry(const TKShtxRegel& line) const;     // a person with one reference
    int64_t Reference(const TKShtxRegel& line) const; // one more reference (a duplicate)

private:
    std::vector<int64_t> referenceSizes_;
};

// Per document position: the markup of a reference, its document's title and
// the way from the output folder to the document's folder.
std::vector<int64_t> ReferenceSizes(const TKSrunSettings& settings);

// The six divisions, in order of index type, from the sizes per surname
// ("HTMLindexAN.tmp": surname, tab, size per line, "#" at the end), read once.
// Two letters and the parts cut the pages as the duplicate step does; per
// letter is an estimate from the surnames' first letters, as the index
// letters are not in the file. With a cap (in the same units), the
// divisions into parts also end a page
// before it passes the cap, cutting a surname larger than the cap into
// parts. Empty when the file cannot be read.
std::vector<TKSdivisionEstimate> EstimateDivisions(const std::string& sizesPath,
                                                   int64_t estimatedSize, int64_t cap = 0);
// Of the divisions whose largest page stays within budget, the one with the
// fewest pages (ties: the lower index type); when none does, the one with
// the smallest largest page. Per letter when there are no estimates.
TKSindexType ChooseDivision(const std::vector<TKSdivisionEstimate>& estimates, int64_t budget);

struct TKSlargePage {
    std::string Path;
    int64_t Size = 0;
    bool Split = false; // one of the pages of a split output
};

struct TKSpageSizeCheck {
    std::vector<TKSlargePage> LargePages; // in the order of the layout's entries
    // A division whose pages would stay under the limit, when a split page is
    // too large and the layout offers divisions; Auto when only cutting the
    // largest surnames into parts would do; NotChosen when there is nothing
    // to suggest.
    TKSindexType SuggestedIndexType = TKSindexType::NotChosen;
};

// The pages the templates of the run's layout wrote that are larger than
// limit. The suggestion scales the estimates by how much the largest split
// page outgrew the estimate of the division used.
TKSpageSizeCheck CheckPageSizes(const TKSrunSettings& settings, const TKSrunState& state,
                                int64_t limit = kPageSizeLimit);

} // namespace ks
