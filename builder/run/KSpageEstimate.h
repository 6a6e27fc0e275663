// What the settings page says before a run about the largest index page a
// division gives: estimated from the number of index lines of the selected
// documents alone, so that it can follow every change of the page at once.
// The figures come from builds of realistic trees (see EstimateLargestPage);
// the estimate is a guide, not the check after the run.
#pragma once

#include "builder/entries/KSindexType.h"

#include <cstdint>
#include <map>
#include <string>

namespace ks {

// Estimated bytes of the largest index page for indexLines index lines cut
// by type; split false: the index is one page. Auto gives the page of the
// division the run would choose.
int64_t EstimateLargestPage(int64_t indexLines, TKSindexType type, bool split = true);

// Whether a first start should offer the automatic division rather than per
// letter: the pages per letter would pass the size limit.
bool PreferAutomaticDivision(int64_t indexLines);

// The estimate in words, in the language of the run: "Grootste pagina
// ongeveer 6,2 MB: te groot, kies 'automatisch'" above the limit (the advice
// only when automatic is offered), else "Grootste pagina ongeveer 350 kB".
std::string LargestPageText(int64_t bytes, bool automaticOffered);
// Whether that text is a warning.
bool LargePage(int64_t bytes);

// The index lines of documents, each counted once while its size and time
// of change stay the same, so that the count can follow every tick.
class TKSindexLineCounts {
public:
    int64_t Count(const std::string& path);

private:
    struct Known {
        int64_t Size = -1;
        int64_t Changed = 0;
        int64_t Lines = 0;
    };
    std::map<std::string, Known> known_;
};

} // namespace ks
