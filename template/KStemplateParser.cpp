#include "template/KStemplateParser.h"

#include "common/KScodepage.h"
#include "common/KSconvert.h"
#include "common/KSerrors.h"
#include "common/KSlocal.h"
#include "common/KSmarkedText.h"
#include "common/KSpaths.h"
#include "common/KSprogress.h"
#include "template/KScompiler.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <filesystem>
#include <limits>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

namespace ks {
namespace {

constexpr char kOpen = '#';
constexpr char kClose = '!';
constexpr std::size_t kNone = std::string::npos;
// Replacements are scanned again for placeholders; from this nesting level on
// a "#" is left as written, so a replacement holding its own placeholder ends.
constexpr unsigned char kMaxNesting = 8;
// Nested replacements stop making a line longer than this.
constexpr std::size_t kMaxNestedLength = std::size_t{16} << 20;
// No line's expansion grows without bound: after this many replacements, or
// once the line has grown past this size, the rest stays as it stands.
constexpr int kMaxReplacements = 10000;
constexpr std::size_t kMaxExpandedLength = std::size_t{1} << 20;
// Receives what is written while the caller has no next output file.
constexpr const char* kDiscardFile = "/dev/null";

const std::array<unsigned char, 256>& UpperTable() {
    static const std::array<unsigned char, 256> table = [] {
        std::array<unsigned char, 256> t{};
        for (std::size_t c = 0; c < t.size(); ++c)
            t[c] = UpperCaseByte(static_cast<unsigned char>(c));
        return t;
    }();
    return table;
}

// The parts of a replacement that are UTF-8 already, as far as they lie in
// it: empty parts, and parts out of order or overlapping the one before,
// are read as Windows-1252.
std::vector<TKSbyteRange> RangesInside(std::vector<TKSbyteRange> ranges, std::size_t size) {
    std::vector<TKSbyteRange> inside;
    std::size_t from = 0;
    for (const TKSbyteRange& range : ranges) {
        const std::size_t end = std::min(range.End, size);
        if (range.Begin < from || range.Begin >= end) continue;
        inside.push_back({range.Begin, end});
        from = end;
    }
    return inside;
}

} // namespace

// One template line while its placeholders are replaced. Every character
// carries the nesting level of the replacement that inserted it (0 for the
// template's own text). The levels are kept only once a replacement has
// brought a "#" in, since only the level of a "#" is ever asked for.
class TKStemplateParser::PlaceholderLine {
public:
    explicit PlaceholderLine(const std::string& text) : text_(text) {}

    const std::string& Text() const { return text_; }
    std::string Release() { return std::move(text_); }
    // The parts of the line that are UTF-8 already, in line order.
    std::vector<TKSbyteRange> ReleaseUtf8() { return std::move(utf8_); }

    std::size_t FindOpen(std::size_t from) const { return FindChar(kOpen, from); }
    bool HasCloseAfter(std::size_t pos) const { return FindChar(kClose, pos + 1) != kNone; }
    unsigned char Level(std::size_t pos) const { return levels_.empty() ? 0 : levels_[pos]; }
    // A "#" that a replacement brought in is left as written once nesting is
    // too deep or has made the line too long.
    bool LeftAsWritten(std::size_t pos) const {
        const unsigned char level = Level(pos);
        return level >= kMaxNesting || (level > 0 && nestingClosed_);
    }

    // Replaces every occurrence of pattern (a "#" first, letters compared
    // without regard to case), left to right, unless the line would grow
    // beyond maxLength. True when an occurrence started at pos.
    // A verbatim replacement (text a user typed) is never scanned again;
    // utf8 are the parts of the replacement that are UTF-8 already.
    bool ReplaceAll(const std::string& pattern, const std::string& replacement, std::size_t pos,
                    std::size_t maxLength, bool verbatim, const std::vector<TKSbyteRange>& utf8) {
        const std::vector<std::size_t> found = Occurrences(pattern);
        if (found.empty()) return false;
        const std::size_t kept = text_.size() - found.size() * pattern.size();
        if (replacement.size() > 0 &&
            found.size() > (maxLength - std::min(kept, maxLength)) / replacement.size()) {
            nestingClosed_ = true;
            return false;
        }
        if (levels_.empty() && replacement.find(kOpen) != kNone) levels_.assign(text_.size(), 0);
        if (!utf8_.empty() || !utf8.empty())
            MoveUtf8(found, pattern.size(), replacement.size(), utf8);
        Rebuild(found, pattern.size(), replacement, verbatim);
        return std::binary_search(found.begin(), found.end(), pos);
    }

private:
    std::size_t FindChar(char c, std::size_t from) const {
        if (from >= text_.size()) return kNone;
        const void* hit = std::memchr(text_.data() + from, c, text_.size() - from);
        return hit == nullptr
                   ? kNone
                   : static_cast<std::size_t>(static_cast<const char*>(hit) - text_.data());
    }

    std::vector<std::size_t> Occurrences(const std::string& pattern) const {
        const auto& upper = UpperTable();
        std::string folded = pattern;
        for (char& c : folded)
            c = static_cast<char>(upper[static_cast<unsigned char>(c)]);
        std::vector<std::size_t> found;
        std::size_t pos = FindOpen(0);
        while (pos != kNone && text_.size() - pos >= folded.size()) {
            std::size_t i = 1;
            while (i < folded.size() && upper[static_cast<unsigned char>(text_[pos + i])] ==
                                            static_cast<unsigned char>(folded[i]))
                ++i;
            // A copy that is to be left as written (a user's text, or nesting
            // gone too deep) is no occurrence.
            if (i == folded.size() && LeftAsWritten(pos)) {
                pos = FindOpen(pos + 1);
            } else if (i == folded.size()) {
                found.push_back(pos);
                pos = FindOpen(pos + folded.size());
            } else {
                pos = FindOpen(pos + 1);
            }
        }
        return found;
    }

    void Rebuild(const std::vector<std::size_t>& found, std::size_t patternSize,
                 const std::string& replacement, bool verbatim) {
        std::string text;
        std::vector<unsigned char> levels;
        text.reserve(text_.size() - found.size() * patternSize + found.size() * replacement.size());
        if (!levels_.empty()) levels.reserve(text.capacity());
        std::size_t from = 0;
        for (const std::size_t pos : found) {
            text.append(text_, from, pos - from);
            text += replacement;
            if (!levels_.empty()) {
                levels.insert(levels.end(), levels_.begin() + static_cast<std::ptrdiff_t>(from),
                              levels_.begin() + static_cast<std::ptrdiff_t>(pos));
                const unsigned char level =
                    verbatim ? kMaxNesting
                             : std::min<unsigned char>(static_cast<unsigned char>(levels_[pos] + 1),
                                                       kMaxNesting);
                levels.insert(levels.end(), replacement.size(), level);
            }
            from = pos + patternSize;
        }
        text.append(text_, from, kNone);
        if (!levels_.empty()) {
            levels.insert(levels.end(), levels_.begin() + static_cast<std::ptrdiff_t>(from),
                          levels_.end());
            levels_ = std::move(levels);
        }
        text_ = std::move(text);
    }

    // Where the UTF-8 parts are once every occurrence is replaced: the old
    // ones shift, one that a replacement would cut into is read as
    // Windows-1252 from then on (it cannot be split soundly), and each copy
    // of the replacement brings its own.
    void MoveUtf8(const std::vector<std::size_t>& found, std::size_t patternSize,
                  std::size_t replacementSize, const std::vector<TKSbyteRange>& utf8) {
        std::vector<TKSbyteRange> moved;
        std::size_t next = 0; // the first old range not yet placed
        std::size_t shift = 0;
        const auto placeUpTo = [&](std::size_t end) {
            for (; next < utf8_.size() && utf8_[next].Begin < end; ++next)
                if (utf8_[next].End <= end) // else it overlaps the occurrence
                    moved.push_back({utf8_[next].Begin + shift, utf8_[next].End + shift});
        };
        for (const std::size_t pos : found) {
            placeUpTo(pos);
            // A range that begins inside the occurrence is cut as well.
            while (next < utf8_.size() && utf8_[next].Begin < pos + patternSize)
                ++next;
            for (const TKSbyteRange& range : utf8)
                moved.push_back({pos + shift + range.Begin, pos + shift + range.End});
            shift += replacementSize - patternSize; // wraps back when shorter: sums stay right
        }
        placeUpTo(kNone);
        utf8_ = std::move(moved);
    }

    std::string text_;
    std::vector<unsigned char> levels_;
    std::vector<TKSbyteRange> utf8_;
    bool nestingClosed_ = false;
};

// Marks a pass over the template and closes its files however it ends: the
// output first, then the template.
class TKStemplateParser::PassGuard {
public:
    PassGuard(TKStemplateParser& parser, Pass pass) : parser_(parser) { parser_.pass_ = pass; }
    ~PassGuard() {
        parser_.writer_.reset();
        parser_.reader_.reset();
        parser_.pass_ = Pass::None;
    }
    PassGuard(const PassGuard&) = delete;
    PassGuard& operator=(const PassGuard&) = delete;

private:
    TKStemplateParser& parser_;
};

// While a page change expands the template's tail and head, their
// placeholders must not change pages themselves (each would start the whole
// tail again); and the writer that asked for the page change goes on with
// its own placeholder's column.
class TKStemplateParser::PageGuard {
public:
    explicit PageGuard(TKStemplateParser& parser)
        : parser_(parser), column_(parser.placeholderColumn_) {
        parser_.paging_ = true;
    }
    ~PageGuard() {
        parser_.paging_ = false;
        parser_.placeholderColumn_ = column_;
    }
    PageGuard(const PageGuard&) = delete;
    PageGuard& operator=(const PageGuard&) = delete;

private:
    TKStemplateParser& parser_;
    int32_t column_;
};

TKStemplateParser::TKStemplateParser() = default;
TKStemplateParser::~TKStemplateParser() = default;

void TKStemplateParser::SetVariableNames(const std::string& list) {
    variableNames_ = "," + list + ",";
}

void TKStemplateParser::SetOutputFolder(const std::string& path) {
    outputFolder_ = path;
    if (!outputFolder_.empty() && outputFolder_.back() != '/') outputFolder_ += '/';
}

void TKStemplateParser::SetOutputFile(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == kNone) {
        outputFile_ = path;
        return;
    }
    outputFolder_ = path.substr(0, slash + 1);
    outputFile_ = path.substr(slash + 1);
}

void TKStemplateParser::SetWriteFolder(const std::string& path) {
    writeFolder_ = path;
    if (!writeFolder_.empty() && writeFolder_.back() != '/') writeFolder_ += '/';
}

TKSvariableCount TKStemplateParser::CountVariables() {
    if (pass_ != Pass::None)
        throw EAssertionFailed("TKStemplateParser: CountVariables during another pass");
    PassGuard pass(*this, Pass::Count);
    OpenReader();
    TKSvariableCount count;
    std::string line;
    while (!reader_->Eof()) {
        reader_->ReadLine(line);
        CountLine();
        const std::string names = ExpandLine(line, Mode::Collect);
        for (std::size_t from = 0; from < names.size();) {
            const std::size_t comma = std::min(names.find(',', from), names.size());
            count.Names.push_back(names.substr(from, comma - from));
            from = comma + 1;
        }
    }
    count.Lines = linesRead_;
    return count;
}

bool TKStemplateParser::Execute() {
    if (pass_ != Pass::None) return false;
    PassGuard pass(*this, Pass::Execute);
    OpenReader();
    OpenWriter();
    ExpandLines(0);
    // Even an empty template reports an output that could not be created.
    if (writer_ && !writer_->Opened()) writer_->WriteText("");
    if (writer_) writer_->Close();
    return true;
}

std::string TKStemplateParser::ExpandLine(const std::string& line, Mode mode) {
    return Expand(line, mode, nullptr);
}

std::string TKStemplateParser::Expand(const std::string& line, Mode mode,
                                      std::vector<TKSbyteRange>* utf8) {
    PlaceholderLine text(line);
    std::string names;
    std::size_t from = 0;
    const std::size_t maxLength = std::max(kMaxExpandedLength, line.size());
    int replacements = 0;
    while (replacements < kMaxReplacements && text.Text().size() <= maxLength) {
        const std::size_t hash = text.FindOpen(from);
        if (hash == kNone || !text.HasCloseAfter(hash)) break;
        if (text.LeftAsWritten(hash)) {
            from = hash + 1;
            continue;
        }
        from = HandlePlaceholder(text, hash, mode, names, replacements);
    }
    if (utf8 != nullptr) *utf8 = text.ReleaseUtf8();
    return mode == Mode::Collect ? names : text.Release();
}

// Replaces the placeholder whose "#" stands at hash, and every copy of it;
// gives where the search for the next "#" goes on.
std::size_t TKStemplateParser::HandlePlaceholder(PlaceholderLine& text, std::size_t hash, Mode mode,
                                                 std::string& names, int& replacements) {
    const std::string& line = text.Text();
    if (line.size() > static_cast<std::size_t>(INT_MAX) - 2) return kNone;
    // ScanToStop counts from 1: its result is the 0-based index of the end.
    const auto end = static_cast<std::size_t>(
        ScanToStop(line, static_cast<int>(hash) + 2, std::string(1, kClose), '"', "()"));
    const std::string expression = line.substr(hash + 1, end - hash - 1);
    const std::string name = UpperCaseTable(expression.substr(0, expression.find('(')));
    if (name.empty()) return hash + 2;

    const std::string replacement = Replacement(expression, name, hash, mode, names);
    const std::size_t maxLength = text.Level(hash) == 0
                                      ? std::numeric_limits<std::size_t>::max()
                                      : std::max(kMaxNestedLength, text.Text().size());
    const std::string pattern = kOpen + expression + kClose;
    const bool verbatim = std::exchange(verbatim_, false);
    const std::vector<TKSbyteRange> utf8 =
        RangesInside(std::exchange(verbatimUtf8_, {}), replacement.size());
    if (!text.ReplaceAll(pattern, replacement, hash, maxLength, verbatim, utf8)) return hash + 2;
    ++replacements;
    // The replacement is scanned again from its third character on, but the
    // text after a shorter replacement is never skipped.
    return hash + std::min<std::size_t>(2, replacement.size());
}

std::string TKStemplateParser::Replacement(const std::string& expression, const std::string& name,
                                           std::size_t hash, Mode mode, std::string& names) {
    const bool registered = IsRegistered(name);
    if (mode == Mode::Collect) {
        if (registered) names += (names.empty() ? "" : ",") + name;
        return "";
    }
    if (!registered) return EvaluateExpression(expression, kProbeMode);
    placeholderColumn_ = static_cast<int32_t>(std::min<std::size_t>(hash, INT32_MAX));
    return OnVariable ? OnVariable(expression, *this) : std::string();
}

bool TKStemplateParser::IsRegistered(const std::string& name) const {
    // A name with a comma would match two neighbours of the list.
    return name.find(',') == kNone && variableNames_.find("," + name + ",") != kNone;
}

TKSFileStream& TKStemplateParser::Output() {
    if (writer_) return *writer_;
    if (!discard_) discard_ = std::make_unique<TKSFileStream>(kDiscardFile, File::OpenMode::Create);
    return *discard_;
}

void TKStemplateParser::StepProgress(int64_t n) {
    if (ProgressBar == nullptr) return;
    int64_t position = 0;
    if (__builtin_add_overflow(ProgressBar->Position(), n, &position)) return;
    if (position <= ProgressBar->Maximum()) ProgressBar->SetPosition(position);
}

bool TKStemplateParser::NextPage() {
    if (pass_ != Pass::Execute || paging_ || !reader_ || linesRead_ < 1) return false;
    PageGuard paging(*this);
    const int32_t line = linesRead_;
    ExpandLines(0); // the tail ends this page
    if (writer_) writer_->Close();
    writer_.reset();
    const std::string next = OnNextFile ? OnNextFile(*this) : std::string();
    // Without a next file the template stays read to its end: the run ends
    // after the current line instead of starting the template over.
    if (next.empty()) return false;
    OpenReader();
    outputFile_ = next;
    OpenWriter();
    ExpandLines(line); // the head begins the next page
    return true;
}

void TKStemplateParser::OpenReader() {
    reader_ = std::make_unique<TKSFileStream>(TemplateFile, File::OpenMode::Read);
    linesRead_ = 0;
}

void TKStemplateParser::OpenWriter() {
    const std::string path = WriteFolder() + outputFile_;
    // Opening for output empties the file: never the template being read.
    if (SameFile(path, TemplateFile))
        throw EWriteError(path, LocalText("#1560.7=is het sjabloon dat gelezen wordt"));
    writer_ = std::make_unique<TKSFileStream>(path, File::OpenMode::Create);
    // Letters of tree texts a Windows-1252 line cannot hold are marked in it.
    writer_->SetConversion(Utf8Output ? &MarkedLineToUtf8 : &MarkedLineToWindows1252);
}

void TKStemplateParser::CountLine() {
    if (linesRead_ < INT32_MAX) ++linesRead_;
}

void TKStemplateParser::ExpandLines(int32_t stopAt) {
    std::string line;
    std::vector<TKSbyteRange> utf8;
    while (!reader_->Eof()) {
        reader_->ReadLine(line);
        CountLine();
        if (stopAt > 0 && linesRead_ >= stopAt) return;
        const std::string expanded = Expand(line, Mode::Expand, &utf8);
        // The current output, which the line's own expansion may have changed;
        // the parts in UTF-8 already pass its conversion by.
        Output().WriteLine(expanded, utf8);
        StepProgress(1);
    }
}

} // namespace ks
