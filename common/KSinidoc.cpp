#include "common/KSinidoc.h"

#include "common/KSnamecase.h"

#include <cstring>
#include <utility>

namespace ks {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool HasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

// A key that would read back as something else, or not at all, is not written.
bool WritableKey(std::string_view key) {
    return !key.empty() && key.find('=') == std::string_view::npos && !HasLineBreak(key) &&
           key.front() != '[' && key.front() != ';';
}

} // namespace

IniDocument::IniDocument(std::string text) : text_(std::move(text)) {
    ResetIndex();
}

IniDocument::IniDocument(std::unique_ptr<IniSource> source) : source_(std::move(source)) {
    while (text_.size() < 3 && More()) {
    }
    ResetIndex();
}

bool IniDocument::More() {
    if (!source_) return false;
    if (source_->ReadMore(text_)) return true;
    readFailed_ = source_->Failed();
    source_.reset();
    return false;
}

bool IniDocument::LoadAll() {
    while (More()) {
    }
    return !readFailed_;
}

void IniDocument::ResetIndex() {
    bomLength_ = text_.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    sections_.clear();
    scanPos_ = bomLength_;
    scanDone_ = scanPos_ >= text_.size() && !More();
}

// The line starting at pos, reading on until its line break or the end of the file.
IniDocument::Line IniDocument::LineAt(std::size_t pos) {
    std::size_t searchFrom = pos;
    for (;;) {
        const char* base = text_.data();
        const void* found = std::memchr(base + searchFrom, '\n', text_.size() - searchFrom);
        if (found != nullptr) {
            std::size_t newline = static_cast<std::size_t>(static_cast<const char*>(found) - base);
            std::size_t contentEnd = newline;
            if (contentEnd > pos && text_[contentEnd - 1] == '\r') --contentEnd;
            return Line{pos, contentEnd, newline + 1};
        }
        searchFrom = text_.size();
        if (!More()) return Line{pos, text_.size(), text_.size()};
    }
}

std::string_view IniDocument::NameOf(std::size_t begin, std::size_t length) const {
    return std::string_view(text_).substr(begin, length);
}

// Classifies the next unscanned line; true when it was a section line.
bool IniDocument::ScanLine() {
    Line line = LineAt(scanPos_);
    scanPos_ = line.next;
    if (scanPos_ >= text_.size() && !More()) {
        scanDone_ = true;
        if (!sections_.empty()) sections_.back().end = text_.size();
    }

    std::size_t first = line.start;
    while (first < line.contentEnd && IsBlank(text_[first]))
        ++first;
    if (first == line.contentEnd || text_[first] != '[') return false;
    std::size_t close = line.contentEnd - 1;
    while (close > first && text_[close] != ']')
        --close;
    if (close == first) return false;

    std::string_view name =
        TrimBlanks(std::string_view(text_).substr(first + 1, close - first - 1));
    if (!sections_.empty()) sections_.back().end = line.start;
    Section section;
    section.headerStart = line.start;
    section.bodyStart = line.next;
    section.end = text_.size(); // final once the file is read to its end
    section.nameBegin = static_cast<std::size_t>(name.data() - text_.data());
    section.nameLength = name.size();
    sections_.push_back(std::move(section));
    return true;
}

bool IniDocument::SectionClosed(std::size_t index) const {
    return index + 1 < sections_.size() || scanDone_;
}

std::size_t IniDocument::FindSection(std::string_view name) {
    name = TrimBlanks(name);
    std::size_t found = kNone;
    for (std::size_t i = 0; i < sections_.size() && found == kNone; ++i) {
        if (SameNameNoCase(NameOf(sections_[i].nameBegin, sections_[i].nameLength), name))
            found = i;
    }
    while (found == kNone && !scanDone_) {
        if (ScanLine()) {
            const Section& last = sections_.back();
            if (SameNameNoCase(NameOf(last.nameBegin, last.nameLength), name))
                found = sections_.size() - 1;
        }
    }
    if (found == kNone) return kNone;
    // The section's extent is known once the next section line (or the end) is seen.
    while (!SectionClosed(found))
        ScanLine();
    return found;
}

void IniDocument::ParseKeys(Section& section) {
    section.keysParsed = true;
    std::size_t listBytes = 1; // the NUL that closes the list
    bool listFull = false;
    std::size_t pos = section.bodyStart;
    while (pos < section.end) {
        Line line = LineAt(pos);
        pos = line.next;
        std::string_view content =
            TrimBlanks(std::string_view(text_).substr(line.start, line.contentEnd - line.start));
        if (content.empty() || content.front() == ';') continue;
        std::size_t equals = content.find('=');
        if (equals == std::string_view::npos) continue;
        std::string_view name = TrimBlanks(content.substr(0, equals));
        if (name.empty()) continue;
        std::size_t afterEquals =
            static_cast<std::size_t>(content.data() - text_.data()) + equals + 1;
        std::size_t valueBegin = afterEquals;
        while (valueBegin < line.contentEnd && IsBlank(text_[valueBegin]))
            ++valueBegin;
        std::size_t valueEnd =
            static_cast<std::size_t>(content.data() - text_.data()) + content.size();
        if (valueEnd < valueBegin) valueEnd = valueBegin;
        section.keys.push_back(Key{static_cast<std::size_t>(name.data() - text_.data()),
                                   name.size(), valueBegin, valueEnd, line.contentEnd});
        if (!listFull && listBytes + name.size() + 1 <= kKeyListBytes) {
            listBytes += name.size() + 1;
            section.listedKeys = section.keys.size();
        } else {
            listFull = true;
        }
    }
}

const IniDocument::Key* IniDocument::FindKey(Section& section, std::string_view key) {
    if (!section.keysParsed) ParseKeys(section);
    key = TrimBlanks(key);
    for (const Key& candidate : section.keys) {
        if (SameNameNoCase(NameOf(candidate.nameBegin, candidate.nameLength), key))
            return &candidate;
    }
    return nullptr;
}

std::optional<std::string> IniDocument::ReadValue(std::string_view section, std::string_view key) {
    std::size_t index = FindSection(section);
    if (index == kNone) return std::nullopt;
    const Key* found = FindKey(sections_[index], key);
    if (found == nullptr) return std::nullopt;
    std::string_view value =
        std::string_view(text_).substr(found->valueBegin, found->valueEnd - found->valueBegin);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value.substr(0, kMaxValueLength));
}

bool IniDocument::KeyListed(std::string_view section, std::string_view key) {
    std::size_t index = FindSection(section);
    if (index == kNone) return false;
    Section& found = sections_[index];
    if (!found.keysParsed) ParseKeys(found);
    key = TrimBlanks(key);
    for (std::size_t i = 0; i < found.listedKeys; ++i) {
        if (SameNameNoCase(NameOf(found.keys[i].nameBegin, found.keys[i].nameLength), key))
            return true;
    }
    return false;
}

// The ending most lines of the file use; CR LF for a file without line breaks.
std::string IniDocument::LineEnding() const {
    std::size_t crlf = 0;
    std::size_t lf = 0;
    const char* base = text_.data();
    std::size_t pos = 0;
    while (pos < text_.size()) {
        const void* found = std::memchr(base + pos, '\n', text_.size() - pos);
        if (found == nullptr) break;
        std::size_t newline = static_cast<std::size_t>(static_cast<const char*>(found) - base);
        if (newline > 0 && text_[newline - 1] == '\r') {
            ++crlf;
        } else {
            ++lf;
        }
        pos = newline + 1;
    }
    return lf > crlf ? "\n" : "\r\n";
}

// Finds the end of the last non-blank line in [low, high): the position after
// its line break, or the end of the text when that line has none (needsBreak).
bool IniDocument::LastContentEnd(std::size_t low, std::size_t high, std::size_t& end,
                                 bool& needsBreak) const {
    std::size_t p = high;
    while (p > low && IsBlank(text_[p - 1]))
        --p;
    if (p == low) return false;
    std::size_t newline = text_.find('\n', p);
    if (newline == std::string::npos || newline >= high) {
        end = text_.size();
        needsBreak = true;
    } else {
        end = newline + 1;
        needsBreak = false;
    }
    return true;
}

void IniDocument::PlanNewSection(std::string_view section, std::string_view keyLine, Edit& edit) {
    std::string eol = LineEnding();
    std::string block = "[" + std::string(section) + "]" + eol + std::string(keyLine);
    std::size_t indexData = FindSection("indexdata");
    std::size_t limit = indexData == kNone ? text_.size() : sections_[indexData].headerStart;
    std::size_t end = 0;
    bool needsBreak = false;
    bool hasContent = LastContentEnd(bomLength_, limit, end, needsBreak);
    edit.erase = 0;
    if (!hasContent) {
        edit.position = bomLength_;
        edit.insert = block + eol;
    } else if (needsBreak) {
        // The file keeps its missing final line break.
        edit.position = end;
        edit.insert = eol + eol + block;
    } else {
        edit.position = end;
        edit.insert = eol + block + eol;
    }
    // Keep a blank line between the new section and the index lines' section.
    if (indexData != kNone && edit.position == limit) edit.insert += eol;
}

IniDocument::PlanResult IniDocument::PlanWrite(std::string_view section, std::string_view key,
                                               std::string_view value, Edit& edit) {
    section = TrimBlanks(section);
    key = TrimBlanks(key);
    if (section.empty() || HasLineBreak(section) || !WritableKey(key) || HasLineBreak(value))
        return PlanResult::Refused;
    // The rest of the file goes into the rewrite, so it must be read completely.
    if (!LoadAll()) return PlanResult::Refused;

    std::size_t index = FindSection(section);
    if (index == kNone) {
        PlanNewSection(section, std::string(key) + "=" + std::string(value), edit);
        return PlanResult::Change;
    }
    Section& found = sections_[index];
    if (const Key* existing = FindKey(found, key)) {
        std::string_view old = std::string_view(text_).substr(
            existing->valueBegin, existing->contentEnd - existing->valueBegin);
        if (old == value) return PlanResult::NoChange;
        edit.position = existing->valueBegin;
        edit.erase = existing->contentEnd - existing->valueBegin;
        edit.insert = std::string(value);
        return PlanResult::Change;
    }
    std::string keyLine = std::string(key) + "=" + std::string(value);
    std::size_t end = 0;
    bool needsBreak = false;
    if (!LastContentEnd(found.bodyStart, found.end, end, needsBreak)) {
        end = found.bodyStart;
        needsBreak = end == text_.size() && (end == 0 || text_[end - 1] != '\n');
    }
    edit.position = end;
    edit.erase = 0;
    edit.insert = needsBreak ? LineEnding() + keyLine : keyLine + LineEnding();
    return PlanResult::Change;
}

void IniDocument::Apply(const Edit& edit) {
    text_.replace(edit.position, edit.erase, edit.insert);
    ResetIndex();
}

} // namespace ks
