#include "template/KSfixed.h"

#include "common/KSerrors.h"

#include <clocale>
#include <cmath>
#include <limits>

namespace ks {
namespace {

// 128-bit intermediates hold every product and scaled quotient exactly.
__extension__ typedef __int128 Wide;
__extension__ typedef unsigned __int128 UWide;

const char* const kOverflow = "Floating point overflow";

TFixed Narrow(Wide value) {
    if (value > std::numeric_limits<int64_t>::max() || value < std::numeric_limits<int64_t>::min())
        throw EKSError(kOverflow);
    return static_cast<TFixed>(value);
}

// n / d rounded to the nearest whole number, ties to even.
Wide RoundDiv(Wide n, Wide d) {
    Wide q = n / d;
    const Wide r = n % d;
    if (r == 0) return q;
    const Wide twice = (r < 0 ? -r : r) * 2;
    const Wide absD = d < 0 ? -d : d;
    const Wide step = (n < 0) != (d < 0) ? -1 : 1;
    if (twice > absD || (twice == absD && q % 2 != 0)) q += step;
    return q;
}

char InitialSeparator() {
    const std::lconv* conv = std::localeconv();
    if (conv && conv->decimal_point && conv->decimal_point[0] && !conv->decimal_point[1])
        return conv->decimal_point[0];
    return '.';
}

char& Separator() {
    static char separator = InitialSeparator();
    return separator;
}

void AppendDigits(std::string& out, UWide magnitude) {
    char buffer[48];
    int n = 0;
    do {
        buffer[n++] = static_cast<char>('0' + static_cast<int>(magnitude % 10));
        magnitude /= 10;
    } while (magnitude != 0);
    while (n > 0)
        out += buffer[--n];
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

int64_t RoundToWhole(TFixed value) {
    return static_cast<int64_t>(RoundDiv(value, kFixedOne));
}

TFixed FixedFromWhole(int64_t value) {
    return Narrow(static_cast<Wide>(value) * kFixedOne);
}

TFixed FixedAdd(TFixed a, TFixed b) {
    return Narrow(static_cast<Wide>(a) + b);
}

TFixed FixedSub(TFixed a, TFixed b) {
    return Narrow(static_cast<Wide>(a) - b);
}

TFixed FixedMul(TFixed a, TFixed b) {
    return Narrow(RoundDiv(static_cast<Wide>(a) * b, kFixedOne));
}

TFixed FixedDiv(TFixed a, TFixed b) {
    if (b == 0) throw EKSError("x/0 is not allowed");
    return Narrow(RoundDiv(static_cast<Wide>(a) * kFixedOne, b));
}

TFixed FixedIntDiv(TFixed a, TFixed b) {
    if (b == 0) throw EKSError("x\\0 is not allowed");
    return Narrow((static_cast<Wide>(a) / b) * kFixedOne);
}

TFixed FixedMod(TFixed a, TFixed b) {
    const int64_t x = RoundToWhole(b);
    // A right side that rounds to 0 is a modulo by 0 as well.
    if (x == 0) throw EKSError("x Mod 0 is not allowed");
    return (RoundToWhole(a) % x) * kFixedOne;
}

TFixed FixedPow(TFixed a, TFixed b) {
    const long double base = static_cast<long double>(a) / kFixedOne;
    const long double exponent = static_cast<long double>(b) / kFixedOne;
    if (a < 0 && b % kFixedOne != 0) throw EKSError("Invalid floating point operation");
    const long double scaled = std::pow(base, exponent) * kFixedOne;
    if (std::isnan(scaled)) throw EKSError("Invalid floating point operation");
    // 2^63 is exact in long double; anything at or beyond it does not fit.
    constexpr long double kLimit = 9223372036854775808.0L;
    const long double rounded = std::nearbyint(scaled); // ties to even in the default mode
    if (!(rounded >= -kLimit && rounded < kLimit)) throw EKSError(kOverflow);
    return static_cast<TFixed>(rounded);
}

bool TryParseFixed(std::string_view text, char separator, TFixed& value) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    Wide whole = 0;
    bool anyDigit = false;
    bool tooLarge = false;
    for (; i < n && IsDigit(text[i]); ++i) {
        anyDigit = true;
        whole = whole * 10 + (text[i] - '0');
        if (whole > (static_cast<Wide>(1) << 64)) {
            tooLarge = true;
            whole = static_cast<Wide>(1) << 64;
        }
    }
    Wide fraction = 0;
    int decimals = 0;
    int roundDigit = -1; // the fifth decimal
    bool beyond = false; // any non-zero decimal after the fifth
    if (i < n && text[i] == separator) {
        for (++i; i < n && IsDigit(text[i]); ++i) {
            anyDigit = true;
            const int d = text[i] - '0';
            if (decimals < 4)
                fraction = fraction * 10 + d;
            else if (decimals == 4)
                roundDigit = d;
            else if (d != 0)
                beyond = true;
            ++decimals;
        }
    }
    while (i < n && text[i] == ' ')
        ++i;
    if (i != n || !anyDigit || tooLarge) return false;
    for (int k = decimals; k < 4; ++k)
        fraction *= 10;
    Wide magnitude = whole * kFixedOne + fraction;
    if (roundDigit > 5 || (roundDigit == 5 && (beyond || magnitude % 2 != 0))) ++magnitude;
    const Wide signedValue = negative ? -magnitude : magnitude;
    if (signedValue > std::numeric_limits<int64_t>::max() ||
        signedValue < std::numeric_limits<int64_t>::min())
        return false;
    value = static_cast<TFixed>(signedValue);
    return true;
}

std::string FixedToText(TFixed value, char separator) {
    const bool negative = value < 0;
    const UWide magnitude = negative ? static_cast<UWide>(-static_cast<Wide>(value)) : value;
    std::string out = negative ? "-" : "";
    AppendDigits(out, magnitude / kFixedOne);
    unsigned fraction = static_cast<unsigned>(magnitude % kFixedOne);
    if (fraction == 0) return out;
    int digits = 4;
    while (fraction % 10 == 0) {
        fraction /= 10;
        --digits;
    }
    std::string decimals;
    AppendDigits(decimals, fraction);
    out += separator;
    out.append(static_cast<std::size_t>(digits) - decimals.size(), '0');
    return out + decimals;
}

std::string FixedToText(TFixed value, int decimals, char separator) {
    if (decimals < 0) decimals = 0;
    if (decimals > kMaxDecimals) decimals = kMaxDecimals;
    const int kept = decimals < 4 ? decimals : 4;
    Wide unit = 1;
    for (int k = kept; k < 4; ++k)
        unit *= 10;
    const Wide rounded = RoundDiv(value, unit); // in units of 10^-kept
    const bool negative = rounded < 0;
    const UWide magnitude = static_cast<UWide>(negative ? -rounded : rounded);
    Wide scale = 1;
    for (int k = 0; k < kept; ++k)
        scale *= 10;
    std::string out = negative ? "-" : "";
    AppendDigits(out, magnitude / static_cast<UWide>(scale));
    if (decimals == 0) return out;
    std::string fraction;
    AppendDigits(fraction, magnitude % static_cast<UWide>(scale));
    out += separator;
    out.append(static_cast<std::size_t>(kept) - fraction.size(), '0');
    out += fraction;
    out.append(static_cast<std::size_t>(decimals - kept), '0');
    return out;
}

char DecimalSeparator() {
    return Separator();
}

void SetDecimalSeparator(char separator) {
    Separator() = separator;
}

} // namespace ks
