#include "builder/entries/KSindexType.h"

#include "common/KSlocal.h"
#include "common/KStextutil.h"

namespace ks {

namespace {

struct Division {
    TKSindexType type;
    const char* caption;
    const char* shortName;
    int64_t above; // offered above this many selected bytes; -1: always
};

// In list order; the automatic division is offered apart from the sizes.
constexpr Division kDivisions[] = {
    {TKSindexType::FirstLetter, "#1533.1=per eerste letter van de achternaam",
     "#1566.10=per letter", -1},
    {TKSindexType::TwoLetters, "#1533.2=per twee letters van de achternaam",
     "#1566.11=per twee letters", -1},
    {TKSindexType::Parts50, "#1533.3=in circa 50 delen", "#1566.12=circa 50 delen", -1},
    {TKSindexType::Parts100, "#1533.4=in circa 100 delen", "#1566.13=circa 100 delen", 5000000},
    {TKSindexType::Parts250, "#1533.5=in circa 250 delen", "#1566.14=circa 250 delen", 10000000},
    {TKSindexType::Parts500, "#1533.6=in circa 500 delen", "#1566.15=circa 500 delen", 50000000},
    {TKSindexType::Auto, "#1533.7=automatisch: de minste pagina's onder 2 MB",
     "#1566.19=automatisch", -1},
};

const Division* Find(TKSindexType type) {
    for (const Division& division : kDivisions)
        if (division.type == type) return &division;
    return nullptr;
}

} // namespace

TKSindexType IndexTypeFromText(const std::string& text) {
    if (SameTextAscii(text, "auto")) return TKSindexType::Auto;
    return IndexTypeFromNumber(StrToIntDef(text, 0));
}

std::string IndexTypeCaption(TKSindexType type) {
    const Division* division = Find(type);
    return division ? LocalText(division->caption) : std::string();
}

std::string IndexTypeShortName(TKSindexType type) {
    const Division* division = Find(type);
    return division ? LocalText(division->shortName) : std::string();
}

std::vector<TKSdivisionOffer> OfferedDivisions(int64_t selectedSize, bool layoutAsks) {
    std::vector<TKSdivisionOffer> offers;
    for (const Division& division : kDivisions) {
        const bool offered =
            division.type == TKSindexType::Auto
                ? layoutAsks
                : division.above < 0 || (layoutAsks && selectedSize > division.above);
        if (offered) offers.push_back({division.type, LocalText(division.caption)});
    }
    return offers;
}

} // namespace ks
