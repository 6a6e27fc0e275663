#include "builder/combine/KSdivision.h"

#include "LINE_INPUT/KSFileStream.h"
#include "builder/entries/KSrelativeLink.h"
#include "builder/entries/KSrunSettings.h"
#include "builder/entries/KSrunState.h"
#include "common/KScodepage.h"
#include "common/KSconvert.h"
#include "common/KSpaths.h"
#include "common/KStextutil.h"
#include "common/KSunicode.h"
#include "common/KSutf8.h"
#include "index/KShtxData.h"
#include "index/KShtxRegel.h"
#include "index/KSksl.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace ks {

namespace {

// Markup the index writer puts around an entry's texts: the bookmark and
// surname line; a person's line; the years in its title and after the
// names; a reference besides its link, title and way to the tree.
constexpr int64_t kHeadingBytes = 90;
constexpr int64_t kEntryBytes = 62;
constexpr int64_t kYearsBytes = 35;
constexpr int64_t kReferenceBytes = 40;

int64_t Distance(int64_t a, int64_t b) {
    return a > b ? a - b : b - a;
}

// A folded byte that is a letter A to Z or a digit.
bool PlainLetter(unsigned char folded) {
    return (folded >= 'A' && folded <= 'Z') || (folded >= '0' && folded <= '9');
}

// Sums the sizes of the surnames page by page, as one division cuts them.
class PageCutter {
public:
    PageCutter(TKSindexType indexType, int64_t estimatedSize, int64_t cap)
        : target_(TargetPageSize(indexType, estimatedSize)), cap_(InParts(indexType) ? cap : 0) {
        estimate_.IndexType = indexType;
    }

    void Add(const std::string& surname, int64_t size) {
        const TKSindexType type = estimate_.IndexType;
        bool newPage = estimate_.PageCount == 0;
        if (!newPage && type == TKSindexType::FirstLetter) newPage = LetterKey(surname) != key_;
        if (!newPage && type == TKSindexType::TwoLetters) newPage = TwoLetterKey(surname) != key_;
        if (!newPage && InParts(type)) newPage = !JoinsPage(page_, size, target_);
        if (!newPage && cap_ > 0) newPage = page_ + size > cap_;
        if (newPage) {
            ++estimate_.PageCount;
            page_ = 0;
        }
        page_ += size;
        for (; cap_ > 0 && page_ > cap_; page_ -= cap_) {
            ++estimate_.PageCount;
            estimate_.LargestPage = std::max(estimate_.LargestPage, cap_);
        }
        estimate_.LargestPage = std::max(estimate_.LargestPage, page_);
        if (type == TKSindexType::FirstLetter) key_ = LetterKey(surname);
        if (type == TKSindexType::TwoLetters) key_ = TwoLetterKey(surname);
    }

    const TKSdivisionEstimate& Estimate() const { return estimate_; }

private:
    TKSdivisionEstimate estimate_;
    int64_t target_;
    int64_t cap_;
    int64_t page_ = 0;
    std::string key_;
};

const TKSdivisionEstimate* Find(const std::vector<TKSdivisionEstimate>& estimates,
                                TKSindexType type) {
    for (const TKSdivisionEstimate& estimate : estimates)
        if (estimate.IndexType == type) return &estimate;
    return nullptr;
}

void CheckFile(const std::string& path, bool split, int64_t limit, TKSpageSizeCheck& check) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || static_cast<int64_t>(size) <= limit) return;
    check.LargePages.push_back({path, static_cast<int64_t>(size), split});
}

TKSindexType Suggest(const TKSrunSettings& settings, const TKSrunState& state,
                     const TKSpageSizeCheck& check, int64_t limit) {
    int64_t largest = 0;
    for (const TKSlargePage& page : check.LargePages)
        if (page.Split) largest = std::max(largest, page.Size);
    const TKSkslData* layout = settings.Layout;
    const TKSindexType used = state.IndexType;
    const std::vector<TKSdivisionEstimate>& estimates = state.Division.Estimates;
    const TKSdivisionEstimate* estimate = Find(estimates, used);
    if (largest == 0 || layout == nullptr || !layout->AsksFor("INDEXTYPE") || estimate == nullptr)
        return TKSindexType::NotChosen;
    // What the estimate of the division used turned out to be in bytes
    // tells what the others would come to.
    int64_t budget = kAutoPageBudget;
    if (estimate->LargestPage > 0)
        budget = std::min(budget, static_cast<int64_t>(static_cast<double>(limit) *
                                                       static_cast<double>(estimate->LargestPage) /
                                                       static_cast<double>(largest)));
    const TKSindexType type = ChooseDivision(estimates, budget);
    const TKSdivisionEstimate* chosen = Find(estimates, type);
    if (chosen != nullptr && chosen->LargestPage <= budget)
        return type == used ? TKSindexType::NotChosen : type;
    // No division that keeps every surname on one page will do.
    return state.Division.Auto ? TKSindexType::NotChosen : TKSindexType::Auto;
}

} // namespace

int64_t TKSpageBytes::Heading(const TKShtxRegel& line) const {
    return kHeadingBytes + 2 * static_cast<int64_t>(EstimatedLength(line.Surname));
}

int64_t TKSpageBytes::Entry(const TKShtxRegel& line) const {
    int64_t bytes =
        kEntryBytes + static_cast<int64_t>(EstimatedLength(line.GivenNames)) + Reference(line);
    const auto years =
        static_cast<int64_t>(EstimatedLength(line.Year1) + EstimatedLength(line.Year2));
    if (years > 0) bytes += kYearsBytes + 2 * (years + 1);
    return bytes;
}

int64_t TKSpageBytes::Reference(const TKShtxRegel& line) const {
    const bool known =
        line.DocIndex >= 0 && static_cast<std::size_t>(line.DocIndex) < referenceSizes_.size();
    return static_cast<int64_t>(EstimatedLength(line.Link)) +
           (known ? referenceSizes_[static_cast<std::size_t>(line.DocIndex)] : kReferenceBytes);
}

std::vector<int64_t> ReferenceSizes(const TKSrunSettings& settings) {
    std::vector<int64_t> sizes;
    const std::string page = WithSlash(settings.OutputFolder) + "page.htm";
    for (const TKSrunDocument& document : settings.Documents) {
        int64_t size = kReferenceBytes;
        if (document.Data != nullptr)
            size += static_cast<int64_t>(
                // a letter the code page lacks counts as one
                HtmlEncode(Utf8ToWindows1252(document.Data->Title)).size() +
                DocumentLink(page, document.Data->FileName, "", document.WebAddress).size());
        sizes.push_back(size);
    }
    return sizes;
}

bool JoinsPage(int64_t v, int64_t u, int64_t w) {
    return Distance(w, v + u) < Distance(w, v) && (u <= w || 4 * v <= w);
}

int64_t TargetPageSize(TKSindexType indexType, int64_t estimatedSize) {
    const int64_t parts = PartCount(indexType);
    return parts > 0 ? estimatedSize / parts : 0;
}

int64_t SurnameSize(const std::string& sizesLine) {
    const std::size_t tab = sizesLine.find('\t');
    if (tab == std::string::npos) return 0;
    const std::string field = sizesLine.substr(tab + 1, sizesLine.find('\t', tab + 1) - tab - 1);
    char* end = nullptr;
    const long long value = std::strtoll(field.c_str(), &end, 10);
    return end != field.c_str() ? value : 0;
}

std::string TwoLetterKey(std::string_view surname) {
    return AsciiUpper(FirstLettersPadded(surname, 2));
}

// Index letters are mostly the surname's first letter without its accent.
std::string LetterKey(std::string_view surname) {
    if (surname.empty()) return "";
    const Utf8Char first = DecodeUtf8(surname, 0);
    const std::string_view written = surname.substr(0, first.Valid() ? first.Length : 1);
    if (!first.Valid()) return std::string(written);
    const int known = Windows1252Byte(first.CodePoint);
    const char32_t base = known >= 0 ? first.CodePoint : BaseLetter(first.CodePoint);
    if (const int byte = Windows1252Byte(base); byte >= 0) {
        const unsigned char folded = FoldByte(static_cast<unsigned char>(byte));
        return PlainLetter(folded) ? std::string(1, static_cast<char>(folded))
                                   : std::string(written);
    }
    if (!IsLetterOrDigit(base)) return std::string(written);
    std::string letter;
    AppendUtf8(letter, UpperCaseLetter(base));
    return letter;
}

std::vector<TKSdivisionEstimate> EstimateDivisions(const std::string& sizesPath,
                                                   int64_t estimatedSize, int64_t cap) {
    TKSFileStream sizes(sizesPath, File::OpenMode::Read);
    if (!sizes.Opened()) return {};
    std::vector<PageCutter> cutters;
    for (int32_t type = 1; type <= 6; ++type)
        cutters.emplace_back(IndexTypeFromNumber(type), estimatedSize, cap);
    std::string line;
    while (!sizes.Eof()) {
        sizes.ReadLine(line);
        if (line == "#") break;
        const std::string surname = line.substr(0, line.find('\t'));
        const int64_t size = SurnameSize(line);
        for (PageCutter& cutter : cutters)
            cutter.Add(surname, size);
    }
    std::vector<TKSdivisionEstimate> estimates;
    for (const PageCutter& cutter : cutters)
        estimates.push_back(cutter.Estimate());
    return estimates;
}

TKSindexType ChooseDivision(const std::vector<TKSdivisionEstimate>& estimates, int64_t budget) {
    const TKSdivisionEstimate* best = nullptr;
    for (const TKSdivisionEstimate& e : estimates)
        if (e.LargestPage <= budget && (best == nullptr || e.PageCount < best->PageCount))
            best = &e;
    if (best != nullptr) return best->IndexType;
    for (const TKSdivisionEstimate& e : estimates)
        if (best == nullptr || e.LargestPage < best->LargestPage ||
            (e.LargestPage == best->LargestPage && e.PageCount < best->PageCount))
            best = &e;
    return best != nullptr ? best->IndexType : TKSindexType::FirstLetter;
}

TKSpageSizeCheck CheckPageSizes(const TKSrunSettings& settings, const TKSrunState& state,
                                int64_t limit) {
    TKSpageSizeCheck check;
    if (settings.Layout == nullptr) return check;
    const TKSkslData& layout = *settings.Layout;
    for (int n = 1; n <= layout.ItemCount(); ++n) {
        const TKSkslFile& entry = *layout.Item(n);
        if (entry.Kind != TKSkslFile::kTemplate) continue;
        if (!state.Splits(entry)) {
            CheckFile(state.OutputFolder + state.OutputName(entry, 0), false, limit, check);
            continue;
        }
        for (int32_t page = 1; page <= state.PageCount; ++page)
            CheckFile(state.OutputFolder + state.OutputName(entry, page), true, limit, check);
    }
    check.SuggestedIndexType = Suggest(settings, state, check, limit);
    return check;
}

} // namespace ks
