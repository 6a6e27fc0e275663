#include "import/KSgendexReader.h"

#include "common/KScodepage.h"
#include "common/KSerrors.h"
#include "common/KSfileio.h"
#include "common/KSlocal.h"
#include "common/KSnamecase.h"
#include "common/KSunicode.h"
#include "common/KSutf8.h"
#include "import/KSgedcomDate.h"
#include "import/KSpersonLink.h"

#include <cstring>
#include <vector>

namespace ks {

namespace {

constexpr std::size_t kChunkBytes = 1 << 20;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    for (;;) {
        const auto bar = line.find('|');
        fields.push_back(Trimmed(line.substr(0, bar)));
        if (bar == std::string_view::npos) break;
        line.remove_prefix(bar + 1);
    }
    // The bar that ends the line in most files leaves no field behind it.
    if (fields.size() > 1 && fields.back().empty()) fields.pop_back();
    return fields;
}

bool Unknown(std::string_view name) {
    return name.empty() || name == "?" || name == "_";
}

std::string_view WithoutSurname(std::string_view full, std::string_view surname) {
    if (surname.empty() || full.size() <= surname.size()) return full;
    const std::string key = NameCaseKey(surname);
    // "Jan Jansen": the surname at the end.
    const std::string_view end = full.substr(full.size() - surname.size());
    if (full[full.size() - surname.size() - 1] == ' ' && NameCaseKey(end) == key)
        return Trimmed(full.substr(0, full.size() - surname.size()));
    // "Jansen, Jan": the surname first, then a comma.
    if (full[surname.size()] == ',' && NameCaseKey(full.substr(0, surname.size())) == key)
        return Trimmed(full.substr(surname.size() + 1));
    return full;
}

void TakeNames(std::string_view surnameField, std::string_view fullName, TKSimportPerson& person) {
    std::string_view surname = surnameField;
    std::string given;
    const auto open = fullName.find('/');
    if (open != std::string_view::npos) {
        const auto close = fullName.find('/', open + 1);
        const std::string_view marked = Trimmed(
            fullName.substr(open + 1, close == std::string_view::npos ? close : close - open - 1));
        if (!Unknown(marked)) surname = marked;
        given = Trimmed(fullName.substr(0, open));
        if (close != std::string_view::npos) {
            const std::string_view suffix = Trimmed(fullName.substr(close + 1));
            if (!suffix.empty()) given += (given.empty() ? "" : " ") + std::string(suffix);
        }
    } else {
        given = WithoutSurname(fullName, Unknown(surname) ? std::string_view() : surname);
    }
    if (Unknown(surname)) surname = {};
    if (Unknown(given)) given.clear();
    // A surname already in index form: the file gives the pieces.
    const auto comma = surname.find(", ");
    person.Surname = Trimmed(surname.substr(0, comma));
    person.Prefix = comma == std::string_view::npos ? "" : Trimmed(surname.substr(comma + 2));
    person.GivenNames = std::move(given);
}

// Whether the whole file is UTF-8 (a byte-order mark, or UTF-8 with at
// least one character beyond ASCII); otherwise it is read as Windows-1252.
// The sequences are judged by their shape alone: one overlong form or
// surrogate (as some programs write a letter beyond U+FFFF) becomes "?" when
// the lines are read, rather than every letter of the file turning into two.
bool LooksLikeUtf8(const std::string& path) {
    FileReader reader(path);
    if (reader.Outcome() != ReadOutcome::Read)
        throw EInOutError(path, LocalText("#1583.1=kan niet gelezen worden"));
    std::string chunk;
    bool first = true;
    TKSutf8Scanner scanner(TKSutf8Scanner::Check::Shape);
    while (!scanner.Invalid() && reader.ReadChunk(chunk, kChunkBytes)) {
        if (first && chunk.starts_with(kByteOrderMark)) return true;
        first = false;
        scanner.Feed(chunk);
        chunk.clear();
    }
    if (reader.Failed()) throw EInOutError(path, LocalText("#1583.1=kan niet gelezen worden"));
    return scanner.LooksLikeUtf8();
}

} // namespace

std::string YearOfDate(std::string_view date) {
    for (std::size_t i = 0; i < date.size();) {
        if (date[i] < '0' || date[i] > '9') {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < date.size() && date[end] >= '0' && date[end] <= '9')
            ++end;
        if (end - i == 3 || end - i == 4) return std::string(date.substr(i, end - i));
        i = end;
    }
    return {};
}

bool ParseGendexLine(std::string_view line, TKSimportPerson& person) {
    const std::vector<std::string_view> fields = SplitFields(line);
    if (fields.size() < 3) return false;
    auto field = [&](std::size_t n) { return n < fields.size() ? fields[n] : std::string_view(); };
    person = TKSimportPerson{};
    person.Link = UsablePersonLink(field(0));
    if (person.Link.empty()) return false;
    TakeNames(field(1), field(2), person);
    person.BirthYear = YearOfDate(field(3));
    person.BirthLatestYear = GedcomDateLatestYear(field(3));
    person.HasBirthEvent = !field(3).empty() || !field(4).empty();
    person.DeathYear = YearOfDate(field(5));
    person.HasDeathEvent = !field(5).empty() || !field(6).empty();
    return true;
}

namespace {

// The characters of the person's names that Windows-1252 lacks, in a UTF-8
// line: what the index shows differently from the file (a place or a page
// that lost a letter is not counted).
long ReplacedInNames(std::string_view utf8Line) {
    TKSimportPerson raw;
    if (!ParseGendexLine(utf8Line, raw)) return 0;
    return Utf8ToNearestWindows1252(raw.Surname).ReplacedCount +
           Utf8ToNearestWindows1252(raw.Prefix).ReplacedCount +
           Utf8ToNearestWindows1252(raw.GivenNames).ReplacedCount;
}

// A line of a UTF-8 file as the text of a UTF-8 document: composed, and a
// sequence that is no UTF-8 as "?", as the Windows-1252 form has it.
std::string ValidUtf8(std::string_view line) {
    std::string text;
    text.reserve(line.size());
    for (std::size_t pos = 0; pos < line.size();) {
        const Utf8Char c = DecodeUtf8(line, pos);
        if (c.Valid()) {
            text.append(line.substr(pos, c.Length));
            pos += c.Length;
            continue;
        }
        text.push_back('?');
        ++pos;
        while (pos < line.size() && IsUtf8Continuation(line[pos]))
            ++pos;
    }
    return ComposedText(text);
}

// A line of the file in the document's character set.
NearestText DocumentLine(std::string_view line, bool utf8File, TKSimportCharset charset) {
    NearestText text;
    if (charset == TKSimportCharset::Utf8)
        text.Text = utf8File ? ValidUtf8(line) : Windows1252ToUtf8(line);
    else if (utf8File)
        text = Utf8ToNearestWindows1252(line);
    else
        text.Text = line;
    return text;
}

} // namespace

void ReadGendex(const std::string& path, const std::function<void(TKSimportPerson&)>& take,
                TKSimportReport& report, TKSimportCharset charset) {
    const bool utf8 = LooksLikeUtf8(path);
    FileReader reader(path);
    if (reader.Outcome() != ReadOutcome::Read)
        throw EInOutError(path, LocalText("#1583.1=kan niet gelezen worden"));
    std::string buffer;
    std::size_t start = 0;
    long lineNumber = 0;
    TKSimportPerson person;
    const long personsBefore = report.PersonsRead;
    auto handle = [&](std::string_view line) {
        ++lineNumber;
        if (lineNumber == 1 && line.starts_with(kByteOrderMark)) line.remove_prefix(3);
        const std::string_view trimmed = Trimmed(line);
        if (trimmed.empty() || trimmed[0] == '#') return;
        const NearestText text = DocumentLine(line, utf8, charset);
        if (!ParseGendexLine(text.Text, person)) {
            report.SkippedLines.push_back(lineNumber);
            return;
        }
        person.Line = lineNumber;
        ++report.PersonsRead;
        if (text.ReplacedCount > 0) report.LettersReplaced += ReplacedInNames(line);
        take(person);
    };
    auto tooLong = [&] {
        throw EInOutError(path, LocalText("#1583.2=regel %1 is langer dan 1 MB",
                                          {std::to_string(lineNumber + 1)}));
    };
    // Lines end in CR LF, LF or CR alone, as the program that wrote the file
    // had it; a CR that ends a chunk may have its LF at the start of the next.
    for (;;) {
        const bool more = reader.ReadChunk(buffer, kChunkBytes);
        bool crWaits = false;
        for (;;) {
            const auto end = buffer.find_first_of("\r\n", start);
            if (end == std::string::npos) break;
            crWaits = more && buffer[end] == '\r' && end + 1 == buffer.size();
            if (end - start > kMaxGendexLineBytes) tooLong();
            if (crWaits) break;
            handle(std::string_view(buffer).substr(start, end - start));
            start = end + 1;
            if (buffer[end] == '\r' && start < buffer.size() && buffer[start] == '\n') ++start;
        }
        if (buffer.size() - start - (crWaits ? 1 : 0) > kMaxGendexLineBytes) tooLong();
        buffer.erase(0, start);
        start = 0;
        if (!more) break;
    }
    if (reader.Failed()) throw EInOutError(path, LocalText("#1583.1=kan niet gelezen worden"));
    if (!buffer.empty()) handle(buffer);
    if (report.PersonsRead == personsBefore)
        throw EInOutError(path, LocalText("#1583.3=geen enkele regel is een GENDEX-regel"));
}

} // namespace ks
