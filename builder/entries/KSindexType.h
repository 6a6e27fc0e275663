// The ways the combined index is cut into pages. The numbers are the ones the
// stored settings, the command line (-i) and the wizard's list use.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ks {

enum class TKSindexType : int32_t {
    Auto = -1,     // chosen after the merge from the estimated page sizes
    NotChosen = 0, // the run set-up's value before a choice; runs use FirstLetter
    FirstLetter = 1,
    TwoLetters = 2,
    Parts50 = 3, // about 50 parts of about equal size
    Parts100 = 4,
    Parts250 = 5,
    Parts500 = 6,
};

// The type of a stored or typed number: 1 to 6 or -1; anything else is NotChosen.
constexpr TKSindexType IndexTypeFromNumber(int64_t number) {
    return (number >= 1 && number <= 6) || number == -1 ? static_cast<TKSindexType>(number)
                                                        : TKSindexType::NotChosen;
}

constexpr int32_t IndexTypeNumber(TKSindexType type) {
    return static_cast<int32_t>(type);
}

// The divisions into parts of about equal size, whose pages are cut by size.
constexpr bool InParts(TKSindexType type) {
    return type >= TKSindexType::Parts50 && type <= TKSindexType::Parts500;
}

// The number of parts a division into parts aims at (50, 100, 250, 500); 0 for the others.
constexpr int64_t PartCount(TKSindexType type) {
    switch (type) {
    case TKSindexType::Parts50:
        return 50;
    case TKSindexType::Parts100:
        return 100;
    case TKSindexType::Parts250:
        return 250;
    case TKSindexType::Parts500:
        return 500;
    default:
        return 0;
    }
}

// The type typed after -i: "auto" (any letter case) or a number as
// IndexTypeFromNumber takes it; NotChosen for anything else.
TKSindexType IndexTypeFromText(const std::string& text);

// The name of a division as the settings page lists it, in the language of
// the run (Windows-1252): "per eerste letter van de achternaam", ...
std::string IndexTypeCaption(TKSindexType type);
// Its short name, as messages quote it: "per letter", "circa 50 delen", ...
std::string IndexTypeShortName(TKSindexType type);

struct TKSdivisionOffer {
    TKSindexType Type = TKSindexType::FirstLetter;
    std::string Caption; // IndexTypeCaption
};

// The divisions offered for selectedSize bytes of selected documents, in
// list order: per letter, two letters and about 50 parts always; about 100,
// 250 and 500 parts above 5, 10 and 50 million bytes. When the layout asks
// for a division, the automatic one comes last; the positions of the others
// are those that stored choices keep. Without the layout asking, only the
// first three (the list is not shown then).
std::vector<TKSdivisionOffer> OfferedDivisions(int64_t selectedSize, bool layoutAsks);

// The pages a division would give, estimated before the index is cut.
struct TKSdivisionEstimate {
    TKSindexType IndexType = TKSindexType::NotChosen;
    int32_t PageCount = 0;
    int64_t LargestPage = 0; // estimated bytes of the index on the largest page
};

// What the duplicate step knew of the divisions: the estimates, and whether
// the run chose the division itself.
struct TKSdivisionInfo {
    std::vector<TKSdivisionEstimate> Estimates;
    bool Auto = false;
};

} // namespace ks
