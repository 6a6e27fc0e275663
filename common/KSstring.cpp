#include "common/KSstring.h"

#include "common/KSconvert.h"

#include <algorithm>

namespace ks {
namespace {

enum class Kind { Plain, Escape, Block, LineBreak, End, StyleOn, StyleOff, Skip };

struct Token {
    Kind kind;
    std::size_t length; // bytes
    int64_t width;      // visible characters
    unsigned char code;
};

constexpr std::size_t kBlockHeader = 6; // escape, code, length, width

unsigned Word(const std::string& d, std::size_t pos) {
    return pos < d.size() ? ReadWord(d.substr(pos, 2)) : 0;
}

Token ReadToken(const std::string& d, std::size_t i) {
    if (d[i] != kEscape) return {Kind::Plain, 1, 1, 0};
    if (i + 1 >= d.size()) return {Kind::Skip, 1, 0, 0}; // a lone escape at the end
    const auto c = static_cast<unsigned char>(d[i + 1]);
    if (c == 27) return {Kind::Escape, 2, 1, c};
    if (c == 13) return {Kind::LineBreak, 2, 0, c};
    if (c == 26) return {Kind::End, 2, 0, c};
    if (c >= 64 && c <= 95) return {Kind::StyleOn, 2, 0, c};
    if (c >= 96 && c <= 127) return {Kind::StyleOff, 2, 0, c};
    if (c < 128) return {Kind::Skip, 2, 0, c};
    // A block occupies at least its own header and never more than the text.
    const std::size_t length = std::max<std::size_t>(Word(d, i + 2), kBlockHeader);
    return {Kind::Block, std::min(length, d.size() - i), Word(d, i + 4), c};
}

using Styles = std::vector<unsigned char>;

void Apply(const Token& t, Styles& styles) {
    if (t.kind == Kind::StyleOn) styles.push_back(t.code);
    if (t.kind != Kind::StyleOff) return;
    const auto it =
        std::find(styles.begin(), styles.end(), static_cast<unsigned char>(t.code - 32));
    if (it != styles.end()) styles.erase(it);
}

std::string On(const Styles& styles) {
    std::string out;
    for (const unsigned char c : styles)
        out += {kEscape, static_cast<char>(c)};
    return out;
}

std::string Off(const Styles& styles) {
    std::string out;
    for (const unsigned char c : styles)
        out += {kEscape, static_cast<char>(c + 32)};
    return out;
}

int64_t RoundFixed(int64_t value) {
    int64_t q = value / 10000;
    const int64_t r = value % 10000;
    const int64_t twice = (r < 0 ? -r : r) * 2;
    if (twice > 10000 || (twice == 10000 && q % 2 != 0)) q += value < 0 ? -1 : 1;
    return q;
}

} // namespace

// One wrapped line: the styles open at its start, its bytes, and the styles
// still open at its end.
struct TKSstring::Line {
    const Styles* open;
    std::size_t start;
    std::size_t end;
    const Styles* close;
};

std::string TKSstring::LineText(const Line& line) const {
    return On(*line.open) + data_.substr(line.start, line.end - line.start) + Off(*line.close);
}

struct TKSstring::Span {
    bool hasStart = false;
    std::size_t start = 0;
    std::size_t end = 0; // exclusive
    Styles prefix;
    Styles suffix;
};

void TKSstring::SetText(const std::string& text) {
    data_ = text;
    Measure();
}

int64_t TKSstring::Measure() {
    hasCodes_ = false;
    lineCount_ = data_.empty() ? 0 : 1;
    visibleLength_ = 0;
    for (std::size_t i = 0; i < data_.size();) {
        const Token t = ReadToken(data_, i);
        if (t.kind != Kind::Plain) hasCodes_ = true;
        if (t.kind == Kind::LineBreak) ++lineCount_;
        if (t.kind == Kind::End) data_.resize(i + t.length);
        visibleLength_ += t.width;
        i += t.length;
    }
    return visibleLength_;
}

std::string TKSstring::PlainText() const {
    if (!hasCodes_) return data_;
    std::string out;
    for (std::size_t i = 0; i < data_.size();) {
        const Token t = ReadToken(data_, i);
        if (t.kind == Kind::End) break;
        if (t.kind == Kind::Plain) out += data_[i];
        if (t.kind == Kind::Escape) out += kEscape;
        if (t.kind == Kind::LineBreak) out += "\r\n";
        i += t.length;
    }
    return out;
}

TKSstring::Span TKSstring::Locate(int64_t from, int64_t n, bool endAtLastVisible) const {
    Span span;
    const int64_t last = from + n - 1;
    int64_t pos = 0;
    Styles styles;
    std::size_t lastVisibleEnd = 0;
    Styles stylesAtLastVisible;
    std::size_t i = 0;
    for (; i < data_.size();) {
        const Token t = ReadToken(data_, i);
        if (t.kind == Kind::End) break;
        Apply(t, styles);
        if (t.width > 0) {
            if (!span.hasStart && pos + t.width >= from) {
                span.hasStart = true;
                span.start = i;
                span.prefix = styles;
            }
            pos += t.width;
            if (span.hasStart && pos >= last) {
                span.end = i + t.length;
                span.suffix = styles;
                return span;
            }
            lastVisibleEnd = i + t.length;
            stylesAtLastVisible = styles;
        }
        i += t.length;
    }
    // The end lies beyond the text.
    span.end = endAtLastVisible ? lastVisibleEnd : i;
    span.suffix = endAtLastVisible ? stylesAtLastVisible : styles;
    return span;
}

std::string TKSstring::Mid(int64_t from, int64_t n) const {
    if (n <= 0) return "";
    if (from < 1) from = 1;
    if (!hasCodes_) {
        if (from > static_cast<int64_t>(data_.size())) return "";
        return data_.substr(static_cast<std::size_t>(from - 1), static_cast<std::size_t>(n));
    }
    const Span span = Locate(from, n, false);
    if (!span.hasStart) return "";
    return On(span.prefix) + data_.substr(span.start, span.end - span.start) + Off(span.suffix);
}

std::string TKSstring::Left(int64_t n) const {
    return Mid(1, n);
}

std::string TKSstring::Right(int64_t n) const {
    if (n <= 0) return "";
    return Mid(visibleLength_ - n + 1, n);
}

std::string TKSstring::LeftFixed(int64_t n) const {
    return Left(RoundFixed(n));
}

std::string TKSstring::RightFixed(int64_t n) const {
    return Right(RoundFixed(n));
}

void TKSstring::Put(int64_t position, int64_t width, const std::string& text) {
    if (width <= 0) return;
    if (position < 1) position = 1;
    const TKSstring added(text);
    const std::string replacement =
        added.VisibleLength() > width
            ? added.Left(width)
            : text + std::string(static_cast<std::size_t>(width - added.VisibleLength()), ' ');
    if (position > visibleLength_) {
        // Blanks up to the position, in front of an end pair if there is one.
        std::size_t at = data_.size();
        if (at >= 2 && data_[at - 2] == kEscape && data_[at - 1] == 26 &&
            ReadToken(data_, at - 2).kind == Kind::End)
            at -= 2;
        const std::size_t blanks = static_cast<std::size_t>(position - 1 - visibleLength_);
        data_.insert(at, std::string(blanks, ' ') + replacement);
    } else if (!hasCodes_) {
        data_.replace(static_cast<std::size_t>(position - 1), static_cast<std::size_t>(width),
                      replacement);
    } else {
        // The stretch ends at the last visible character at most, so that
        // the codes closing the text stay in place.
        const Span span = Locate(position, width, true);
        data_.replace(span.start, span.end - span.start, replacement);
    }
    Measure();
}

template <typename Visit> void TKSstring::WalkLines(int64_t width, Visit visit) const {
    if (data_.empty()) return;
    if (width < 1) width = 1;
    std::size_t lineStart = 0;
    Styles lineOpen;
    Styles styles;
    int64_t used = 0;
    bool lineHasVisible = false;
    bool lineStarted = true; // the first line and a line after a break always count
    struct Blank {
        bool has = false;
        std::size_t at = 0;
        Styles open;
        int64_t usedAfter = 0;
    } blank;
    const auto emit = [&](std::size_t end, const Styles& close) {
        return visit(Line{&lineOpen, lineStart, end, &close});
    };
    std::size_t i = 0;
    while (i < data_.size()) {
        const Token t = ReadToken(data_, i);
        if (t.kind == Kind::End) break;
        if (t.kind == Kind::LineBreak) {
            if (!emit(i, styles)) return;
            lineStart = i + t.length;
            lineOpen = styles;
            used = 0;
            lineHasVisible = false;
            lineStarted = true;
            blank.has = false;
            i += t.length;
            continue;
        }
        Apply(t, styles);
        if (t.width == 0) {
            i += t.length;
            continue;
        }
        const bool isBlank = t.kind == Kind::Plain && data_[i] == ' ';
        if (lineHasVisible && used + t.width > width) {
            if (isBlank) { // the blank at the limit ends the line and is dropped
                if (!emit(i, styles)) return;
                lineStart = i + 1;
                lineOpen = styles;
                used = 0;
                lineHasVisible = false;
                lineStarted = false;
                blank.has = false;
                i += 1;
                continue;
            }
            if (blank.has) {
                if (!emit(blank.at, blank.open)) return;
                lineStart = blank.at + 1;
                lineOpen = blank.open;
                used -= blank.usedAfter;
            } else {
                if (!emit(i, styles)) return;
                lineStart = i;
                lineOpen = styles;
                used = 0;
            }
            lineHasVisible = used > 0;
            lineStarted = false;
            blank.has = false;
            if (lineHasVisible && used + t.width > width) continue; // break once more
        }
        if (isBlank && lineHasVisible) blank = {true, i, styles, used + t.width};
        used += t.width;
        lineHasVisible = true;
        i += t.length;
    }
    if (lineHasVisible || lineStarted) emit(i, styles);
}

void TKSstring::Wrap(int64_t width, std::vector<std::string>& lines, int64_t& count) const {
    lines.clear();
    WalkLines(width, [&](const Line& line) {
        lines.push_back(LineText(line));
        return true;
    });
    count = static_cast<int64_t>(lines.size());
}

int64_t TKSstring::WrapCount(int64_t width) const {
    int64_t count = 0;
    WalkLines(width, [&](const Line&) {
        ++count;
        return true;
    });
    return count;
}

std::string TKSstring::WrapLine(int64_t width, int64_t n) const {
    std::string found;
    int64_t index = 0;
    WalkLines(width, [&](const Line& line) {
        if (++index < n) return true;
        if (index == n) found = LineText(line);
        return false;
    });
    return found;
}

} // namespace ks
