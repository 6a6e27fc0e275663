#include "builder/run/KSpageEstimate.h"

#include "LINE_INPUT/KSFileStream.h"
#include "builder/combine/KSdivision.h"
#include "builder/run/KSrunWarnings.h"
#include "common/KSlocal.h"
#include "common/KStextutil.h"
#include "index/KSksl.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <system_error>

namespace ks {

namespace {

// Measured on builds with the shipped layouts (the table of
// tests/cli/EstimatedPages_test.cpp) of the sample trees and of trees made
// by gen-htx: 12,000 lines of realistic surnames in five trees, 12,000 and
// 30,000 lines in three trees of five surnames as in one family's tree,
// 3,000 lines in two trees; against the profile of their documents. An
// index page holds about kBytesPerUnit bytes per written unit of the profile
// (the references' way to the trees is not in the units), less what the
// persons of several trees save; each list of every page on an index page
// takes about kBytesPerListedPage per page; a division into N parts gives
// pages up to about kPartsSpread/N of the index, never less than the
// largest surname, in about S(1 - e^(-N/S)) pages, S being kSurnamesApart
// of the distinct surnames (parts end between surnames, so the pages near
// the surnames' count as the parts grow), or a page per surname larger than
// a part when that is more; the template's own text grows by about
// kTemplateExpansion with its menus and search texts.
constexpr double kBytesPerUnit = 1.22;
constexpr int64_t kBytesPerListedPage = 120;
constexpr double kPartsSpread = 1.3;
constexpr double kSurnamesApart = 0.9;
constexpr int64_t kTemplateExpansion = 1500;
// A page the automatic division cuts at its cap (30,000 lines of one family
// in the compact layout) holds about this many bytes per byte of the cap,
// which counts the index lines as the page writer estimates them.
constexpr double kBytesPerCappedByte = 1.2;
// For the first start's choice, from the number of lines alone: an index
// line gives about 210 bytes, the largest first letter about 12.5% of them.
constexpr int64_t kBytesPerLine = 210;
constexpr double kLargestLetter = 0.125;

// The largest page of a division: its index in written units, in the
// merge's units, and the pages of the division.
struct Division {
    TKSprofileUnits Units;
    int64_t Pages = 1;
};

int64_t Scaled(double share, int64_t units) {
    return static_cast<int64_t>(share * static_cast<double>(units));
}

Division Cut(const TKSindexProfile& profile, TKSindexType type) {
    switch (type) {
    case TKSindexType::FirstLetter:
        return {profile.LargestLetter(), static_cast<int64_t>(profile.Letters.size())};
    case TKSindexType::TwoLetters:
        return {profile.LargestTwoLetters(), static_cast<int64_t>(profile.TwoLetters.size())};
    default: {
        const int64_t parts = PartCount(type);
        if (parts <= 0) return {profile.Units, 1};
        const double share = kPartsSpread / static_cast<double>(parts);
        const TKSprofileUnits& all = profile.Units;
        const int64_t written = std::max(Scaled(share, all.Written), profile.LargestSurname());
        // The merge's units of that page, in the proportion of the whole.
        const int64_t merged =
            all.Written > 0 ? Scaled(static_cast<double>(written) / all.Written, all.Merged) : 0;
        const double surnames = kSurnamesApart * static_cast<double>(profile.Surnames());
        int64_t pages =
            surnames > 0 ? static_cast<int64_t>(surnames * (1.0 - std::exp(-parts / surnames))) : 1;
        // A surname larger than a part is a page of its own.
        pages = std::max(pages, profile.SurnamesOver(Scaled(1.0 / parts, all.Written)));
        return {{written, merged}, std::clamp<int64_t>(pages, 1, parts)};
    }
    }
}

// Bytes of units of profile, less the share that persons in several
// documents save, folded into one entry.
int64_t IndexBytes(const TKSindexProfile& profile, int64_t units) {
    const int64_t written = std::max<int64_t>(profile.Units.Written, 1);
    const double kept = 1.0 - static_cast<double>(std::min(profile.FoldedUnits, written)) /
                                  static_cast<double>(written);
    return Scaled(kBytesPerUnit * kept, units);
}

int64_t PageOf(const TKSpageFigures& figures, int64_t indexBytes, int64_t pages) {
    return figures.PageBytes + indexBytes + figures.PageLists * pages * kBytesPerListedPage;
}

// The divisions the run weighs, in order of index type.
constexpr std::array kDivisions{TKSindexType::FirstLetter, TKSindexType::TwoLetters,
                                TKSindexType::Parts50,     TKSindexType::Parts100,
                                TKSindexType::Parts250,    TKSindexType::Parts500};

// As the run chooses, by the merge's units: one page while light when the
// layout writes it so; else of the divisions whose index stays within the
// budget (a surname larger than it cut into parts, though never inside one
// person's entry) the one with the fewest pages.
int64_t AutomaticPage(const TKSindexProfile& profile, const TKSpageFigures& figures) {
    if (figures.WholeWhenLight && profile.Units.Merged <= kAutoPageBudget)
        return PageOf(figures, IndexBytes(profile, profile.Units.Written), 1);
    TKSindexType chosen = TKSindexType::Parts500;
    int64_t fewest = -1;
    for (TKSindexType type : kDivisions) {
        Division cut = Cut(profile, type);
        if (InParts(type))
            cut.Pages += cut.Units.Merged / kAutoPageBudget;
        else if (cut.Units.Merged > kAutoPageBudget)
            continue;
        if (fewest < 0 || cut.Pages < fewest) {
            fewest = cut.Pages;
            chosen = type;
        }
    }
    const Division cut = Cut(profile, chosen);
    int64_t bytes = IndexBytes(profile, cut.Units.Written);
    if (InParts(chosen))
        bytes = std::min(bytes, std::max(Scaled(kBytesPerCappedByte, kAutoPageCap),
                                         IndexBytes(profile, profile.LargestPerson)));
    return PageOf(figures, bytes, cut.Pages);
}

// The template's text, upper-cased; empty when it cannot be read.
std::string TemplateText(const std::string& path) {
    TKSFileStream stream(path, File::OpenMode::Read);
    std::string text;
    std::string line;
    while (stream.Opened() && !stream.Eof()) {
        stream.ReadLine(line);
        text += AsciiUpper(line) + "\n";
    }
    return text;
}

int CountOf(const std::string& text, const std::string& word) {
    int count = 0;
    for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1))
        ++count;
    return count;
}

} // namespace

TKSpageFigures PageFigures(const TKSkslData* layout) {
    TKSpageFigures figures;
    if (layout == nullptr) return figures;
    bool split = false;
    bool inParts = false;
    const TKSkslFile* index = nullptr;
    for (int n = 1; n <= layout->ItemCount(); ++n) {
        const TKSkslFile* entry = layout->Item(n);
        split = split || entry->Split;
        inParts = inParts || entry->InParts;
        if (index == nullptr && entry->Kind == TKSkslFile::kTemplate &&
            (entry->Numbered || entry->InParts))
            index = entry;
    }
    figures.WholeWhenLight = inParts && !split;
    if (index == nullptr) return figures;
    const std::string text = TemplateText(index->SourcePath(""));
    figures.PageBytes = static_cast<int64_t>(text.size()) + kTemplateExpansion;
    figures.PageLists = CountOf(text, "#INDEXKEYS(");
    return figures;
}

int64_t EstimateLargestPage(const TKSindexProfile& profile, TKSindexType type,
                            const TKSpageFigures& figures, bool split) {
    if (!split) return PageOf(figures, IndexBytes(profile, profile.Units.Written), 1);
    if (type == TKSindexType::Auto || figures.WholeWhenLight)
        return AutomaticPage(profile, figures);
    const Division cut = Cut(profile, type);
    return PageOf(figures, IndexBytes(profile, cut.Units.Written), cut.Pages);
}

bool PreferAutomaticDivision(int64_t indexLines) {
    const double letter = static_cast<double>(std::max<int64_t>(indexLines, 0)) *
                          static_cast<double>(kBytesPerLine) * kLargestLetter;
    return LargePage(kTemplateExpansion + static_cast<int64_t>(letter));
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

const TKSindexProfile& TKSindexLineCounts::Profile(const std::string& path) {
    static const TKSindexProfile none;
    std::error_code error;
    const std::filesystem::path file(path);
    const auto size = std::filesystem::file_size(file, error);
    if (error) return none;
    const auto changed = std::filesystem::last_write_time(file, error);
    if (error) return none;
    const int64_t ticks = changed.time_since_epoch().count();
    Known& known = known_[path];
    if (known.Size != static_cast<int64_t>(size) || known.Changed != ticks) {
        known.Profile = ReadIndexProfile(path);
        known.Size = static_cast<int64_t>(size);
        known.Changed = ticks;
    }
    return known.Profile;
}

} // namespace ks
