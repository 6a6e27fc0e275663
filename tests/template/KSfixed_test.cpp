#include "template/KSfixed.h"

#include "common/KSerrors.h"

#include <gtest/gtest.h>

#include <limits>

namespace ks {
namespace {

constexpr TFixed kMax = std::numeric_limits<TFixed>::max();
constexpr TFixed kMin = std::numeric_limits<TFixed>::min();

std::string MessageOf(TFixed (*op)(TFixed, TFixed), TFixed a, TFixed b) {
    try {
        op(a, b);
    } catch (const EKSError& e) {
        return e.what();
    }
    return "(no error)";
}

TEST(KSfixed, ProductsAndQuotientsRoundTiesToEven) {
    EXPECT_EQ(60000, FixedMul(20000, 30000));
    EXPECT_EQ(0, FixedMul(1, 5000));   // 0.00005 -> 0.0000
    EXPECT_EQ(2, FixedMul(3, 5000));   // 0.00015 -> 0.0002
    EXPECT_EQ(2, FixedMul(5, 5000));   // 0.00025 -> 0.0002
    EXPECT_EQ(-2, FixedMul(-3, 5000)); // ties to even on both sides of 0
    EXPECT_EQ(0, FixedMul(-1, 5000));
    EXPECT_EQ(1, FixedMul(3, 3334)); // 0.00010002 -> 0.0001
    EXPECT_EQ(3333, FixedDiv(10000, 30000));
    EXPECT_EQ(6667, FixedDiv(20000, 30000));
    EXPECT_EQ(-3333, FixedDiv(-10000, 30000));
    EXPECT_EQ(1250, FixedDiv(10000, 80000));
    EXPECT_EQ(0, FixedDiv(1, 20000)); // 0.00005
    EXPECT_EQ(2, FixedDiv(3, 20000)); // 0.00015
    EXPECT_EQ(kMax, FixedMul(kMax, 10000));
    EXPECT_EQ(kMin, FixedDiv(kMin, 10000));
}

TEST(KSfixed, WholeDivisionAndModulo) {
    EXPECT_EQ(30000, FixedIntDiv(70000, 20000));
    EXPECT_EQ(-30000, FixedIntDiv(-70000, 20000));
    EXPECT_EQ(140000, FixedIntDiv(70000, 5000));
    EXPECT_EQ(10000, FixedMod(70000, 30000));
    EXPECT_EQ(-10000, FixedMod(-70000, 30000));
    EXPECT_EQ(10000, FixedMod(70000, -30000)); // the sign of the left side
    EXPECT_EQ(0, FixedMod(75000, 20000));      // 7.5 rounds to 8
    EXPECT_EQ(20000, FixedMod(65000, 40000));  // 6.5 rounds to 6
    EXPECT_EQ(0, FixedMod(70000, 6000));       // 0.6 rounds to 1
    EXPECT_EQ("x/0 is not allowed", MessageOf(FixedDiv, 10000, 0));
    EXPECT_EQ("x\\0 is not allowed", MessageOf(FixedIntDiv, 10000, 0));
    EXPECT_EQ("x Mod 0 is not allowed", MessageOf(FixedMod, 10000, 0));
    EXPECT_EQ("x Mod 0 is not allowed", MessageOf(FixedMod, 70000, 4000)); // 0.4 rounds to 0
    EXPECT_EQ("x Mod 0 is not allowed", MessageOf(FixedMod, 70000, 5000)); // 0.5 rounds to 0
    EXPECT_EQ(0, FixedMod(kMin, -10000));
}

TEST(KSfixed, ResultsOutsideTheRangeRaiseOverflow) {
    const std::string overflow = "Floating point overflow";
    EXPECT_EQ(overflow, MessageOf(FixedAdd, kMax, 1));
    EXPECT_EQ(overflow, MessageOf(FixedSub, kMin, 1));
    EXPECT_EQ(kMin, FixedSub(kMin + 1, 1));
    EXPECT_EQ(overflow, MessageOf(FixedMul, 10000000000000LL, 10000000000000LL));
    EXPECT_EQ(overflow, MessageOf(FixedMul, kMin, -10000));
    EXPECT_EQ(overflow, MessageOf(FixedDiv, kMax, 1));
    EXPECT_EQ(overflow, MessageOf(FixedDiv, kMin, -10000));
    EXPECT_EQ(overflow, MessageOf(FixedIntDiv, kMax, 1));
    EXPECT_EQ(overflow, MessageOf(FixedIntDiv, kMin, -1));
    EXPECT_EQ(overflow, MessageOf(FixedPow, 100000, 150000)); // 10^15
    EXPECT_EQ(overflow, MessageOf(FixedPow, 0, -10000));      // 0^-1
    EXPECT_THROW(FixedFromWhole(922337203685478), EKSError);
    EXPECT_EQ(9223372036854770000, FixedFromWhole(922337203685477));
}

TEST(KSfixed, PowersWithNegativeAndFractionalExponents) {
    EXPECT_EQ(10240000, FixedPow(20000, 100000)); // 2^10
    EXPECT_EQ(5000, FixedPow(20000, -10000));     // 2^-1
    EXPECT_EQ(14142, FixedPow(20000, 5000));      // 2^0.5 = 1.41421...
    EXPECT_EQ(20000, FixedPow(40000, 5000));      // 4^0.5
    EXPECT_EQ(-80000, FixedPow(-20000, 30000));   // (-2)^3
    EXPECT_EQ(2500, FixedPow(-20000, -20000));    // (-2)^-2
    EXPECT_EQ(10000, FixedPow(0, 0));
    EXPECT_EQ(312, FixedPow(5000, 50000));                    // 0.03125 -> 0.0312
    EXPECT_EQ(75938, FixedPow(15000, 50000));                 // 7.59375 -> 7.5938
    EXPECT_EQ(1000000000000000000, FixedPow(100000, 140000)); // 10^14
    EXPECT_EQ("Invalid floating point operation", MessageOf(FixedPow, -80000, 3333));
}

TEST(KSfixed, ParsingReadsSignDigitsAndSeparator) {
    TFixed v = 0;
    EXPECT_TRUE(TryParseFixed("  12.34 ", '.', v));
    EXPECT_EQ(123400, v);
    EXPECT_TRUE(TryParseFixed("-.5", '.', v));
    EXPECT_EQ(-5000, v);
    EXPECT_TRUE(TryParseFixed("+5.", '.', v));
    EXPECT_EQ(50000, v);
    EXPECT_TRUE(TryParseFixed("1,5", ',', v));
    EXPECT_EQ(15000, v);
    EXPECT_TRUE(TryParseFixed("0.00005", '.', v));
    EXPECT_EQ(0, v);
    EXPECT_TRUE(TryParseFixed("0.00015", '.', v));
    EXPECT_EQ(2, v);
    EXPECT_TRUE(TryParseFixed("0.000050001", '.', v));
    EXPECT_EQ(1, v);
    EXPECT_TRUE(TryParseFixed("-922337203685477.5808", '.', v));
    EXPECT_EQ(kMin, v);
    EXPECT_TRUE(TryParseFixed("0000000000000000000000001", '.', v));
    EXPECT_EQ(10000, v);
    for (const char* bad : {"", " ", "abc", "1e3", "+", ".", "1 2", "- 1", "1.5.", "1,5",
                            "922337203685477.5808", "12345678901234567890", "0x10", "1\r\n"})
        EXPECT_FALSE(TryParseFixed(bad, '.', v)) << bad;
}

TEST(KSfixed, TextFormsShortestAndWithDecimals) {
    EXPECT_EQ("0", FixedToText(0, '.'));
    EXPECT_EQ("1.5", FixedToText(15000, '.'));
    EXPECT_EQ("1,5", FixedToText(15000, ','));
    EXPECT_EQ("-0.0001", FixedToText(-1, '.'));
    EXPECT_EQ("123.045", FixedToText(1230450, '.'));
    EXPECT_EQ("-922337203685477.5808", FixedToText(kMin, '.'));
    EXPECT_EQ("3.14", FixedToText(31416, 2, '.'));
    EXPECT_EQ("2", FixedToText(25000, 0, '.'));
    EXPECT_EQ("4", FixedToText(35000, 0, '.'));
    EXPECT_EQ("0", FixedToText(-5000, 0, '.'));
    EXPECT_EQ("-0.1", FixedToText(-1000, 1, '.'));
    EXPECT_EQ("1.500000", FixedToText(15000, 6, '.'));
    EXPECT_EQ("0.0001", FixedToText(1, 4, '.'));
    EXPECT_EQ("0." + std::string(17, '0') + "0", FixedToText(0, 25, '.'));
    EXPECT_EQ("922337203685477.6", FixedToText(kMax, 1, '.'));
    EXPECT_EQ("-922337203685478", FixedToText(kMin, 0, '.'));
}

TEST(KSfixed, RoundToWholeTiesToEven) {
    EXPECT_EQ(2, RoundToWhole(25000));
    EXPECT_EQ(4, RoundToWhole(35000));
    EXPECT_EQ(-2, RoundToWhole(-25000));
    EXPECT_EQ(3, RoundToWhole(25001));
    EXPECT_EQ(0, RoundToWhole(-4999));
}

} // namespace
} // namespace ks
