#include "builder/run/KSpageEstimate.h"

#include "builder/combine/KSdivision.h"
#include "builder/run/KSrunWarnings.h"
#include "common/KSlocal.h"
#include "index/KSdocumentText.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <system_error>

namespace ks {

namespace {

// Measured on builds of generated trees of realistic surnames (20,000 to
// 1,000,000 lines): an index line becomes about 210 bytes of HTML in every
// shipped layout; the largest first letter holds about 12.5% of the lines,
// the largest pair of letters about 5.2%; a division into N parts gives pages
// up to about 1.3/N of the index, never less than the largest surname
// (about 1.9%), which only the automatic division cuts. Each page carries
// about 20 kB of template and menus.
constexpr int64_t kBytesPerLine = 210;
constexpr int64_t kPageOverhead = 20000;
constexpr double kLargestLetter = 0.125;
constexpr double kLargestTwoLetters = 0.052;
constexpr double kLargestSurname = 0.019;
constexpr double kPartsSpread = 1.3;
// The automatic division's pages end before their index passes the cap; the
// menus of its many pages add about 200 kB.
constexpr int64_t kAutoMenus = 200000;

double LargestShare(TKSindexType type) {
    switch (type) {
    case TKSindexType::TwoLetters:
        return kLargestTwoLetters;
    case TKSindexType::Parts50:
    case TKSindexType::Parts100:
    case TKSindexType::Parts250:
    case TKSindexType::Parts500:
        return std::max(kPartsSpread / static_cast<double>(PartCount(type)), kLargestSurname);
    default:
        return kLargestLetter;
    }
}

int64_t PageOf(int64_t indexLines, double share) {
    return kPageOverhead +
           static_cast<int64_t>(static_cast<double>(std::max<int64_t>(indexLines, 0)) *
                                kBytesPerLine * share);
}

// The divisions the run weighs, fewest pages first.
constexpr std::array kByPageCount{TKSindexType::FirstLetter, TKSindexType::TwoLetters,
                                  TKSindexType::Parts50,     TKSindexType::Parts100,
                                  TKSindexType::Parts250,    TKSindexType::Parts500};

} // namespace

int64_t EstimateLargestPage(int64_t indexLines, TKSindexType type, bool split) {
    if (!split) return PageOf(indexLines, 1.0);
    if (type != TKSindexType::Auto) return PageOf(indexLines, LargestShare(type));
    // As the run chooses: the fewest pages that stay under the limit, else
    // the largest surnames cut into parts of at most the cap.
    for (TKSindexType candidate : kByPageCount) {
        const int64_t page = PageOf(indexLines, LargestShare(candidate));
        if (page <= kPageSizeLimit) return page;
    }
    return std::min(PageOf(indexLines, kLargestSurname), kAutoPageCap + kAutoMenus);
}

bool PreferAutomaticDivision(int64_t indexLines) {
    return LargePage(EstimateLargestPage(indexLines, TKSindexType::FirstLetter));
}

bool LargePage(int64_t bytes) {
    return bytes > kPageSizeLimit;
}

std::string LargestPageText(int64_t bytes, bool automaticOffered) {
    const std::string size = SizeText(bytes);
    if (!LargePage(bytes)) return LocalText("#1574.45=Grootste pagina ongeveer %1", {size});
    if (automaticOffered)
        return LocalText("#1574.46=Grootste pagina ongeveer %1: te groot, kies 'automatisch'",
                         {size});
    return LocalText("#1574.47=Grootste pagina ongeveer %1: te groot, laadt langzaam", {size});
}

int64_t TKSindexLineCounts::Count(const std::string& path) {
    std::error_code error;
    const std::filesystem::path file(path);
    const auto size = std::filesystem::file_size(file, error);
    if (error) return 0;
    const auto changed = std::filesystem::last_write_time(file, error);
    if (error) return 0;
    const int64_t ticks = changed.time_since_epoch().count();
    Known& known = known_[path];
    if (known.Size != static_cast<int64_t>(size) || known.Changed != ticks) {
        known.Lines = CountIndexLines(path);
        known.Size = static_cast<int64_t>(size);
        known.Changed = ticks;
    }
    return known.Lines;
}

} // namespace ks
