// What the settings page says before a run about the largest index page a
// division gives: estimated from a profile of the selected documents' index
// lines (see KSindexProfile) and what the layout puts around them, so that
// it can follow every change of the page at once. The figures come from
// builds of sample and generated trees (see KSpageEstimate.cpp); the
// estimate is a guide, not the check after the run.
#pragma once

#include "builder/entries/KSindexType.h"
#include "builder/run/KSindexProfile.h"

#include <cstdint>
#include <map>
#include <string>

namespace ks {

class TKSkslData;

// What a layout puts on an index page besides its entries.
struct TKSpageFigures {
    int64_t PageBytes = 0;       // the template's text, menus of letters and trees
    int32_t PageLists = 0;       // lists of every index page (menus that grow with the pages)
    bool WholeWhenLight = false; // one page until the automatic division must cut it
};

// The figures of the layout's index pages: those of the template of its
// first entry split over pages or written in parts. Empty without a layout.
TKSpageFigures PageFigures(const TKSkslData* layout);

// Estimated bytes of the largest index page for the index lines of profile
// cut by type in a layout of figures; split false: the index is one page.
// Auto, and every division of a layout written whole while light, gives the
// page of the division the run would choose.
int64_t EstimateLargestPage(const TKSindexProfile& profile, TKSindexType type,
                            const TKSpageFigures& figures, bool split = true);

// Whether a first start should offer the automatic division rather than per
// letter: the pages per letter would pass the size limit.
bool PreferAutomaticDivision(int64_t indexLines);

// The estimate in words, in the language of the run: "Grootste pagina
// ongeveer 6,2 MB: te groot, kies 'automatisch'" above the limit (the advice
// only when automatic is offered), else "Grootste pagina ongeveer 350 kB".
std::string LargestPageText(int64_t bytes, bool automaticOffered);
// Whether that text is a warning.
bool LargePage(int64_t bytes);

// The index lines of documents, each read once while its size and time of
// change stay the same, so that the count can follow every tick.
class TKSindexLineCounts {
public:
    int64_t Count(const std::string& path) { return Profile(path).Lines; }
    const TKSindexProfile& Profile(const std::string& path);

private:
    struct Known {
        int64_t Size = -1;
        int64_t Changed = 0;
        TKSindexProfile Profile;
    };
    std::map<std::string, Known> known_;
};

} // namespace ks
