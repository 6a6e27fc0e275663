// Reads the persons of a GEDCOM file (5.5.1, 5.5.5 and 7.0): one INDI
// record after the other, streamed, so that files of millions of persons
// take little memory. Names and years become the Windows-1252 texts of an
// index document; letters the code page lacks are written as their nearest
// letter and counted in the report.
#pragma once

#include "import/KSimportPerson.h"

#include <functional>
#include <string>

namespace ks {

struct TKSgedcomOptions {
    // The link of each person, with the fields {id} (the record's identifier
    // without its "@"), {surname} (as the NAME spells it, particle included)
    // and {given}; the values are percent-encoded UTF-8. Empty: no links.
    // Example: "https://example.org/tree/individual.php?pid={id}".
    std::string LinkPattern;
};

// Calls take for each person in file order. Lines that cannot be read (a
// level that is no number or jumps by more than one) are skipped and listed
// in report.SkippedLines. A file that cannot be read, an unknown character
// set, a line over 1 MiB, an endless chain of CONC/CONT lines, a file cut in
// the middle of a line or an unknown field in the link pattern throw an
// EKSError (EInOutError for the file) naming the file and the line.
void ReadGedcom(const std::string& path, const TKSgedcomOptions& options,
                const std::function<void(TKSimportPerson&)>& take, TKSimportReport& report);

// Whether the file at path starts as a GEDCOM file does: "0 HEAD" after an
// optional byte-order mark and blanks, in any of the character sets read.
bool LooksLikeGedcom(const std::string& path);

} // namespace ks
