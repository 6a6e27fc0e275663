// The divisions both front ends offer and name, and the -i values.
#include "builder/entries/KSindexType.h"

#include "support/ShippedTexts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ks {
namespace {

using T = TKSindexType;

std::vector<T> Types(const std::vector<TKSdivisionOffer>& offers) {
    std::vector<T> types;
    for (const TKSdivisionOffer& offer : offers)
        types.push_back(offer.Type);
    return types;
}

// The fixed divisions up to a count that grows with the size, then automatic
// unless the layout asks for no division (the list is not shown then).
TEST(IndexType, TheDivisionsOfferedGrowWithTheSelectedSizeAndEndWithAutomatic) {
    const std::vector<T> fixed = {T::FirstLetter, T::TwoLetters, T::Parts50,
                                  T::Parts100,    T::Parts250,   T::Parts500};
    const struct {
        int64_t size;
        bool asks;
        std::size_t count;
    } cases[] = {{0, true, 3},        {5000000, true, 3},  {5000001, true, 4},
                 {10000001, true, 5}, {50000001, true, 6}, {50000001, false, 3}};
    for (const auto& c : cases) {
        std::vector<T> offered(fixed.begin(), fixed.begin() + static_cast<long>(c.count));
        if (c.asks) offered.push_back(T::Auto);
        EXPECT_EQ(offered, Types(OfferedDivisions(c.size, c.asks))) << c.size << " " << c.asks;
    }
}

TEST(IndexType, NamesInBothLanguages) {
    const struct {
        const char* language;
        T type;
        const char* caption;
        const char* shortName;
    } cases[] = {
        {"NL", T::FirstLetter, "per eerste letter van de achternaam", "per letter"},
        {"NL", T::Parts500, "in circa 500 delen", "circa 500 delen"},
        {"NL", T::Auto, "automatisch: de minste pagina's onder 2 MB", "automatisch"},
        {"GB", T::TwoLetters, "by the first two letters of the surname", "per two letters"},
        {"GB", T::Parts100, "in about 100 parts", "about 100 parts"},
        {"GB", T::Auto, "automatic: the fewest pages under 2 MB", "automatic"},
    };
    for (const auto& c : cases) {
        test::ShippedTexts texts(c.language);
        EXPECT_EQ(c.caption, IndexTypeCaption(c.type)) << c.language;
        EXPECT_EQ(c.shortName, IndexTypeShortName(c.type)) << c.language;
        // The list shows the same caption.
        for (const TKSdivisionOffer& offer : OfferedDivisions(60000000, true))
            if (offer.Type == c.type) {
                EXPECT_EQ(c.caption, offer.Caption);
            }
    }
    EXPECT_EQ("", IndexTypeCaption(T::NotChosen));
}

TEST(IndexType, TheValuesOfTheCommandLine) {
    const struct {
        const char* text;
        T type;
    } cases[] = {{"1", T::FirstLetter}, {"6", T::Parts500},          {"auto", T::Auto},
                 {"AUTO", T::Auto},     {"0", T::NotChosen},         {"7", T::NotChosen},
                 {"", T::NotChosen},    {"automatic", T::NotChosen}, {"2x", T::NotChosen}};
    for (const auto& c : cases)
        EXPECT_EQ(c.type, IndexTypeFromText(c.text)) << c.text;
}

} // namespace
} // namespace ks
