// One import of another program's name list (a gendex.txt or a GEDCOM file)
// into an index document, as both the command line and the wizard run it:
// the reader chosen by the file's contents, surnames put into index form,
// links made relative to the new document's folder, and the document put in
// place whole or not at all.
#pragma once

#include "import/KSimportChoices.h"
#include "import/KSimportPerson.h"
#include "import/KSlivingJudge.h"

#include <string>
#include <vector>

namespace ks {

// The choices (as typed, UTF-8) say what the document holds. What is left
// empty or unset is taken from the index document the import replaces, as
// the user chose it last time (KeptImportChoices), unless Fresh; what is
// still missing then gets its default: the title the name of the folder of
// Source; the user name and description what the file says of itself (a
// GEDCOM file's submitter and header note); possibly living persons left out
// (IncludeLiving false) by the rule of KSlivingJudge with LivingAge
// kDefaultLivingAge; the start page index.htm or index.html beside Source
// when there is one, else none. A person the file keeps private is always
// left out. The link pattern gives the link of each person of a GEDCOM file
// (see TKSgedcomOptions): a GEDCOM file holds no links of its own, so it
// cannot be imported without. The start page (the document's htmfile) is a
// path relative to the folder of Source or an http(s) address.
struct TKSimportRequest : TKSimportChoices {
    std::string Source; // the name list
    // The index document to write: "" beside Source, named after it; a
    // folder: in it, named after Source; else the path itself.
    std::string Output;
    // Nothing is taken from the document replaced.
    bool Fresh = false;
    // The temporary folder of the environment; "" the user's private one.
    // A large name list is sorted through files in a folder made there.
    std::string TempFolder;
};

struct TKSimportResult {
    std::string Document; // the index document written
    TKSimportReport Report;
    // The choices taken from the document replaced (see TakeKeptChoices).
    std::vector<std::string> Kept;
};

// "" when page (as typed, UTF-8) may be a tree's start page: a relative path
// or an http(s) address fit for a link. Else why not, in the language of
// the run, naming the page.
std::string StartPageProblem(const std::string& page);

// Whether the file at path is a name list that an import reads: a GEDCOM
// file, or a file named gendex.txt (letter case aside).
bool IsNameList(const std::string& path);

// Whether the name list at path is a GEDCOM file, which needs a link pattern.
bool NeedsLinkPattern(const std::string& path);

// The index document that request writes.
std::string ImportDocumentPath(const TKSimportRequest& request);

// Whether the index document beside the name list at path (where an import
// without Output writes it) exists and is not older than the name list: the
// name list has been imported since it last changed.
bool ImportIsCurrent(const std::string& path);

// What an import did, in the language of the run (Windows-1252), one line a
// finding: the persons read, written and left out; a missing end; the lines
// that could not be read, by number (the first ten, then "...").
std::vector<std::string> ImportReportLines(const TKSimportReport& report);

// Reads the name list and writes its index document. Throws EKSError naming
// the file concerned (nothing is then written): a link pattern that is no
// relative path or http(s) address or is otherwise unfit (LinkPatternProblem),
// the document's place holds another kind of file, a GEDCOM file without a
// link pattern, a start page that is no link (StartPageProblem), a living
// age below 1, or the name list cannot be read; EWriteError when the
// document cannot be written.
TKSimportResult ImportNameList(const TKSimportRequest& request);

} // namespace ks
