// Reads the persons of a GEDCOM file (5.5.1, 5.5.5 and 7.0): one INDI
// record after the other, streamed, so that files of millions of persons
// take little memory. Names and years become the texts of an index document:
// UTF-8 with composed accents, or Windows-1252 where letters the code page
// lacks are written as their nearest letter and counted in the report.
#pragma once

#include "import/KSimportPerson.h"
#include "import/KSlivingJudge.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace ks {

struct TKSgedcomOptions {
    // The link of each person, with the fields {id} (the record's identifier
    // without its "@"), {surname} (as the NAME spells it, particle included)
    // and {given}; the values are percent-encoded UTF-8. Empty: no links.
    // Example: "https://example.org/tree/individual.php?pid={id}".
    std::string LinkPattern;
    // The character set of the texts handed out (names, identifier, the
    // file's submitter and note).
    TKSimportCharset Charset = TKSimportCharset::Windows1252;
};

// Calls take for each person in file order, and takeFamily (when given) for
// each family with the keys of its members. Lines that cannot be read (a
// level that is no number or jumps by more than one) are skipped and listed
// in report.SkippedLines. A file that cannot be read, an unknown character
// set, a line over 1 MiB, an endless chain of CONC/CONT lines, a file cut in
// the middle of a line or an unknown field in the link pattern throw an
// EKSError (EInOutError for the file) naming the file and the line.
void ReadGedcom(const std::string& path, const TKSgedcomOptions& options,
                const std::function<void(TKSimportPerson&)>& take, TKSimportReport& report,
                const std::function<void(const TKSimportFamily&)>& takeFamily = {});

// The key by which a family names a person: a hash of the record's
// identifier ("@I12@" and "I12" alike); 0 for none.
uint64_t GedcomRecordKey(std::string_view xref);

// Whether the file at path starts as a GEDCOM file does: "0 HEAD" after an
// optional byte-order mark and blanks, in any of the character sets read.
bool LooksLikeGedcom(const std::string& path);

} // namespace ks
