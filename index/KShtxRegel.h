// One index line of an index document, or one merged entry of the builder,
// with the sort key by which index lines are ordered.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ks {

// The longest index letter, surname or given names kept from an index line;
// the rest is cut off (a page, and the search data every page loads, would
// otherwise carry whatever a document holds).
constexpr std::size_t kMaxNameBytes = 255;

// Drops the bytes that never belong in a name or a title: the control bytes
// 0 to 31 and 127, and the bytes Windows-1252 leaves undefined (129, 141,
// 143, 144 and 157).
void DropControlBytes(std::string& text);
// The UTF-8 form of DropControlBytes: drops the control characters U+0000
// to U+001F, U+007F and U+0080 to U+009F (where Windows1252ToUtf8 puts the
// five undefined bytes), so the UTF-8 of a Windows-1252 text loses exactly
// what DropControlBytes drops. A byte that is no UTF-8 stays.
void DropControlCharactersUtf8(std::string& utf8);
// The cut of a name: to kMaxNameBytes letters (code points), on a sequence
// boundary, so a name Windows-1252 holds is cut where its bytes in that code
// page would be. True when the name was cut.
bool CutNameUtf8(std::string& utf8);

class TKShtxRegel {
public:
    std::string Letter;     // index letter; "?" when unknown
    std::string Surname;    // "Berg" or "Berg, van den"; "?" when unknown
    std::string GivenNames; // "?" when unknown
    std::string Extra;      // only the duplicate test uses it
    std::string Year1;
    std::string Year2;
    int32_t Number = 0;   // last tie-break of the order
    std::string Link;     // "persons12.htm#p345", or the reference list of a merged entry
    int32_t DocIndex = 0; // 0-based position of the source document in the document list
    int32_t Count = 0;
    int32_t PageNr = 0;
    int32_t RecordNr = 0;

    // Fills Letter to Link and DocIndex from up to nine tab-separated fields
    // of a line as the run holds it (UTF-8, see DocumentTextToUtf8); missing
    // fields are empty (numbers 0). Count, PageNr and RecordNr stay. Control
    // characters are dropped from the names and years, and a name longer
    // than kMaxNameBytes letters is cut to that length: then the result is
    // true.
    bool ParseIndexLine(std::string_view line);
    // Fills the ten fields of a merged entry (Letter .. Year2, PageNr,
    // RecordNr, Count, Link); Number and DocIndex stay. The empty text
    // clears every field and sets every number to 0.
    void ParseMergedLine(const std::string& line);

    // Ten parts joined by tabs: letter, folded and upper-cased surname,
    // folded and upper-cased given names, both years as text, the exact
    // spellings, Number in decimal. Compared byte by byte as unsigned values.
    std::string SortKey() const;
    // SortKey() into key, reusing its room (for a key per line read).
    void SortKeyInto(std::string& key) const;

    // Equal after upper-casing a to z only; other bytes compare as they are.
    bool SameSurname(const std::string& surname) const;
    bool HasPrefix() const;                // Surname holds ", "
    std::string SurnameMain() const;       // before the first ", "
    std::string SurnamePrefix() const;     // after the first ", "; empty without one
    void Assign(const TKShtxRegel& other); // copies all twelve fields
};

// Compares two sort keys (or any texts) byte by byte as unsigned values;
// a proper prefix is smaller. Negative, zero or positive.
int CompareSortKeys(const std::string& a, const std::string& b);

} // namespace ks
