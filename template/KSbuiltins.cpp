#include "template/KSbuiltins.h"

#include "common/KScommon.h"
#include "common/KSconvert.h"
#include "common/KSerrors.h"
#include "common/KSproduct.h"
#include "common/KSstring.h"
#include "common/KStextutil.h"

#include <ctime>
#include <vector>

namespace ks {
namespace {

constexpr TFixed kOne = kFixedOne;

std::string Blanks(int64_t count) {
    if (count <= 0) return "";
    CheckTextLength(static_cast<uint64_t>(count));
    return std::string(static_cast<std::size_t>(count), ' ');
}

// Whole numbers used as counts, kept within the text limit.
int64_t Count(TFixed value) {
    const int64_t n = RoundToWhole(value);
    if (n > 0) CheckTextLength(static_cast<uint64_t>(n));
    return n;
}

unsigned char LowerCaseByte(unsigned char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 192 && c <= 222 && c != 215)) return c + 32;
    if (c == 138 || c == 140 || c == 142) return c + 16;
    if (c == 159) return 255;
    return c;
}

// Changes the case of the visible bytes only: code pairs and blocks keep
// their bytes, so styles survive.
template <typename Map> std::string MapVisible(const std::string& t, Map map) {
    std::string out = t;
    for (std::size_t i = 0; i < out.size();) {
        if (out[i] != kEscape) {
            out[i] = static_cast<char>(map(static_cast<unsigned char>(out[i])));
            ++i;
            continue;
        }
        if (i + 1 >= out.size()) break;
        const auto code = static_cast<unsigned char>(out[i + 1]);
        std::size_t length = 2;
        if (code >= 128) {
            const std::size_t declared = i + 2 < out.size() ? ReadWord(out.substr(i + 2, 2)) : 0;
            length = declared < 6 ? 6 : declared;
        }
        i += length;
    }
    return out;
}

std::string LocalTime(const char* format) {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    localtime_r(&now, &parts);
    char buffer[32];
    const std::size_t n = std::strftime(buffer, sizeof buffer, format, &parts);
    return std::string(buffer, n);
}

} // namespace

void CheckTextLength(uint64_t length) {
    if (length > kMaxTextLength) throw EKSError("Out of memory");
}

std::string FnChr(TFixed n) {
    if (n < 0 || n > 255 * kOne) throw EKSError("CHR(N) : parameter out of range");
    const int64_t c = RoundToWhole(n);
    // An escape on its own would start a code pair; the pair stands for one escape.
    if (c == kEscape) return std::string(2, kEscape);
    return std::string(1, static_cast<char>(c));
}

std::string FnString(TFixed n, TFixed c) {
    if (n < 0 || c < 0 || c > 255 * kOne) throw EKSError("STRING$(N,N) : parameter out of range");
    const int64_t code = RoundToWhole(c);
    int64_t count = RoundToWhole(n);
    if (code == kEscape) count = count > 0 ? count * 2 : 0;
    CheckTextLength(static_cast<uint64_t>(count));
    return std::string(static_cast<std::size_t>(count), static_cast<char>(code));
}

std::string FnMid(const std::string& t, TFixed s, TFixed l) {
    if (s < 0) throw EKSError("MID$(T,N,N) : parameter out of range");
    int64_t start = RoundToWhole(s);
    if (start == 0) start = 1;
    if (l == 0) return "";
    TKSstring text(t);
    if (l < 0) {
        if (start > text.VisibleLength()) return "";
        return text.Mid(start, text.VisibleLength() - start + 1);
    }
    const int64_t length = Count(l);
    if (length == 0) return "";
    CheckTextLength(static_cast<uint64_t>(start));
    const int64_t needed = start + length - 1;
    if (text.VisibleLength() < needed) text.SetText(t + Blanks(needed - text.VisibleLength()));
    return text.Mid(start, length);
}

std::string FnInfo(const std::string& t, TFixed n, TFixed w) {
    if (n <= 0 || w <= 0) throw EKSError("INFO$(T,N,N) : parameter out of range");
    return TKSstring(t).WrapLine(RoundToWhole(w), RoundToWhole(n));
}

std::string FnStr(TFixed x, TFixed d) {
    if (d > -kOne) {
        const int64_t decimals = RoundToWhole(d);
        return FixedToText(x, decimals > kMaxDecimals ? kMaxDecimals : static_cast<int>(decimals),
                           DecimalSeparator());
    }
    return FixedToText(x, DecimalSeparator());
}

std::string FnTrim(const std::string& t) {
    std::size_t begin = 0;
    std::size_t end = t.size();
    if (t.find(kEscape) == std::string::npos) {
        while (begin < end && static_cast<unsigned char>(t[begin]) <= 32)
            ++begin;
        while (end > begin && static_cast<unsigned char>(t[end - 1]) <= 32)
            --end;
        return t.substr(begin, end - begin);
    }
    // With codes, blanks and control characters at both ends go (line breaks
    // and escape pairs among them) while style pairs stay, so that cutting
    // never leaves half a pair or an unbalanced style behind.
    struct Piece {
        std::size_t start;
        std::size_t length;
        bool style;
        bool content;
    };
    std::vector<Piece> pieces;
    for (std::size_t i = 0; i < t.size();) {
        Piece piece{i, 1, false, static_cast<unsigned char>(t[i]) > 32};
        if (t[i] == kEscape && i + 1 < t.size()) {
            const auto code = static_cast<unsigned char>(t[i + 1]);
            piece.length = 2;
            piece.style = code >= 64 && code < 128;
            piece.content = code >= 128;
            if (code >= 128) {
                const std::size_t declared = i + 2 < t.size() ? ReadWord(t.substr(i + 2, 2)) : 0;
                piece.length = declared < 6 ? 6 : declared;
            }
        }
        piece.length = piece.length > t.size() - i ? t.size() - i : piece.length;
        pieces.push_back(piece);
        i += piece.length;
    }
    std::size_t first = pieces.size();
    std::size_t last = 0;
    for (std::size_t k = 0; k < pieces.size(); ++k) {
        if (!pieces[k].content) continue;
        if (first == pieces.size()) first = k;
        last = k;
    }
    std::string out;
    for (std::size_t k = 0; k < pieces.size(); ++k) {
        const bool inside = first < pieces.size() && k >= first && k <= last;
        if (inside || pieces[k].style) out += t.substr(pieces[k].start, pieces[k].length);
    }
    return out;
}

std::string FnCenter(const std::string& t, TFixed w, TFixed c) {
    int64_t width = RoundToWhole(w);
    if (width < 0) width = 0;
    CheckTextLength(static_cast<uint64_t>(width));
    return Center(t, static_cast<int>(width), static_cast<char>(RoundToWhole(c) & 0xFF));
}

std::string FnSoundex(const std::string& t, TFixed g) {
    const int64_t option = RoundToWhole(g);
    if (option != 0 && option != 1 && option != 8) return "";
    // The code is that of the visible text.
    return Soundex(TKSstring(t).PlainText(), 4);
}

std::string FnRoman(TFixed n) {
    if (n <= 0) return "";
    const int64_t value = RoundToWhole(n);
    CheckTextLength(static_cast<uint64_t>(value / 1000));
    return std::string(static_cast<std::size_t>(value / 1000), 'M') +
           ToRoman(static_cast<int>(value % 1000));
}

std::string FnUpper(const std::string& t) {
    return MapVisible(t, UpperCaseByte);
}

std::string FnLower(const std::string& t) {
    return MapVisible(t, LowerCaseByte);
}

std::string FnInsert(const std::string& t, TFixed p, const std::string& u) {
    if (p <= 0) throw EKSError("INSERT$(T,G,T) : parameter out of range");
    const int64_t position = RoundToWhole(p);
    CheckTextLength(static_cast<uint64_t>(position));
    TKSstring text(t);
    const int64_t width = TKSstring(u).VisibleLength();
    CheckTextLength(static_cast<uint64_t>(position + width));
    text.Put(position, width, u);
    return text.Data();
}

std::string FnStyled(const std::string& t, char on, char off) {
    return std::string{kEscape, on} + t + std::string{kEscape, off};
}

std::string FnBinary(const std::string& t) {
    // A block records its length in 16 bits, so longer data takes several
    // blocks one after the other.
    constexpr std::size_t kMaxData = 65535 - 6;
    std::string out;
    std::size_t pos = 0;
    do {
        const std::size_t n = t.size() - pos < kMaxData ? t.size() - pos : kMaxData;
        out += std::string{kEscape, '\x80'} + PackWord(static_cast<int16_t>(n + 6)) + PackWord(0) +
               t.substr(pos, n);
        pos += n;
    } while (pos < t.size());
    CheckTextLength(out.size());
    return out;
}

std::string FnLeft(const std::string& t, TFixed n) {
    if (n <= 0) return "";
    const TKSstring text(t);
    if (n >= FixedFromWhole(text.VisibleLength()))
        return t + Blanks(Count(n) - text.VisibleLength());
    return text.LeftFixed(n);
}

std::string FnRight(const std::string& t, TFixed n) {
    if (n <= 0) return "";
    const TKSstring text(t);
    if (n >= FixedFromWhole(text.VisibleLength()))
        return Blanks(Count(n) - text.VisibleLength()) + t;
    return text.RightFixed(n);
}

std::string FnTime() {
    return LocalTime("%H:%M:%S");
}

std::string FnToday() {
    return LocalTime("%d-%m-%Y");
}

// The version texts of the application environment; before one exists
// (a test, a tool), the product's own.
std::string FnVersion() {
    if (const TKScommon* env = CurrentEnvironment()) return env->Version + env->Release;
    return std::string(kProductVersion) + kProductRelease;
}

std::string FnVersionDate() {
    if (const TKScommon* env = CurrentEnvironment()) return env->ReleaseDate;
    return kProductReleaseDate;
}

TFixed FnVal(const std::string& t) {
    const std::string plain = TKSstring(t).PlainText();
    TFixed value = 0;
    if (TryParseFixed(plain, DecimalSeparator(), value)) return value;
    const std::string shown = plain.size() > 80 ? plain.substr(0, 80) + "..." : plain;
    throw EConvertError("'" + shown + "' is not a valid number");
}

TFixed FnLen(const std::string& t) {
    return FixedFromWhole(TKSstring(t).VisibleLength());
}

TFixed FnInfoLen(const std::string& t, TFixed w) {
    const TKSstring text(t);
    if (w >= 16000 * kOne || w <= 0) return FixedFromWhole(text.LineCount());
    return FixedFromWhole(text.WrapCount(RoundToWhole(w)));
}

} // namespace ks
