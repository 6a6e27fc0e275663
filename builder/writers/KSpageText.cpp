#include "builder/writers/KSpageText.h"

#include "builder/entries/KSrunSettings.h"
#include "builder/entries/KSrunState.h"
#include "builder/entries/KSrunView.h"
#include "builder/entries/KSurlPath.h"
#include "builder/writers/KSpageLine.h"
#include "builder/writers/KSwriterArgs.h"
#include "common/KScodepage.h"
#include "common/KSconvert.h"
#include "common/KSlocal.h"
#include "common/KStextutil.h"
#include "common/KSutf8.h"
#include "index/KSksl.h"

namespace ks {

namespace {

char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameSurnames(const TKSindexData& page) {
    return AsciiUpper(page.FirstSurname) == AsciiUpper(page.LastSurname);
}

bool SameGivenNames(const TKSindexData& page) {
    return AsciiUpper(page.FirstGiven) == AsciiUpper(page.LastGiven);
}

// A page of the section without a surname: the section's name, and when
// the section has more pages, the page's given names (the first one, or
// with range the first and the last), joined by between.
std::string SectionLabel(const TKSindexData& page, bool withRange, const std::string& between) {
    std::string label = NoSurnameText();
    if (page.WholeSection) return label;
    label += withRange ? ": " : " ";
    label += page.FirstGiven;
    if (withRange && !SameGivenNames(page)) label += between + page.LastGiven;
    return label;
}

} // namespace

std::string TwoLetters(std::string_view surname) {
    std::string two = FirstLettersPadded(surname, 2);
    two[0] = UpperAscii(two[0]);
    const std::size_t second = Utf8PrefixLength(two, 1);
    two[second] = LowerAscii(two[second]);
    return two;
}

std::string NoSurnameText() {
    return Windows1252ToUtf8(LocalText("#1593.1=Zonder achternaam"));
}

std::string AnchorName(const TKSindexData& page) {
    return "index" + std::to_string(page.PageNumber);
}

std::string KeyLabel(const TKSindexData& page, TKSindexType indexType, bool withRange) {
    if (page.NoSurname) return SectionLabel(page, withRange, " - ");
    std::string label;
    if (indexType <= TKSindexType::FirstLetter) {
        label = page.GroupLetter;
    } else if (indexType == TKSindexType::TwoLetters || !withRange) {
        label = TwoLetters(page.FirstSurname);
    } else {
        label = page.FirstSurname;
        if (!SameSurnames(page)) label += " - " + page.LastSurname;
    }
    return label;
}

std::string FullKeyLabel(const TKSindexData& page, TKSindexType indexType, bool withRange) {
    if (!InParts(indexType) || withRange || page.NoSurname)
        return KeyLabel(page, indexType, withRange);
    return page.FirstSurname;
}

std::string PageName(const TKSindexData& page, TKSindexType indexType) {
    if (page.NoSurname) {
        TKSindexData encoded = page;
        encoded.FirstGiven = TreeText(page.FirstGiven);
        encoded.LastGiven = TreeText(page.LastGiven);
        return SectionLabel(encoded, true, " &ndash; ");
    }
    if (!InParts(indexType)) return TreeText(KeyLabel(page, indexType, false));
    if (SameSurnames(page)) return TreeText(page.FirstSurname);
    return TreeText(page.FirstSurname) + " &ndash; " + TreeText(page.LastSurname);
}

std::string PageTitle(const TKSindexData& page) {
    if (page.NoSurname)
        return SectionLabel(page, true, " - ") + " (" + std::to_string(page.EntryTotal) + ")";
    std::string title = page.LastSurname + " (" + std::to_string(page.EntryTotal) + ")";
    if (!SameSurnames(page)) title.insert(0, page.FirstSurname + " - ");
    return title;
}

std::string PageFile(const TKSrunView& run, const TKSkslFile& entry, int32_t page) {
    return UrlPath(run.State.OutputName(entry, page));
}

std::string PageTarget(const TKSrunView& run, const TKSkslFile& entry, int32_t page) {
    if (run.State.Splits(entry)) return PageFile(run, entry, page);
    TKSindexData anchor;
    anchor.PageNumber = page;
    // The surname list in parts holds the page's block in one of its parts.
    const TKSnameParts& parts = run.State.NameParts;
    const int32_t file = parts.IsParted(entry) ? parts.PartOf(page) : page;
    return PageFile(run, entry, file) + "#" + AnchorName(anchor);
}

std::string TitleText(const std::string& title, const std::string& arguments,
                      std::size_t* titleAt) {
    if (titleAt != nullptr) *titleAt = 0;
    TKSargumentList args(arguments);
    if (!args.HasNext()) return title;
    const std::string before = args.Next();
    const std::string after = args.Next();
    if (title.empty()) return args.Rest();
    if (titleAt != nullptr) *titleAt = before.size();
    return before + title + after;
}

} // namespace ks
