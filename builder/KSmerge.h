// The first step of a run: the index lines of all selected documents merged
// into one ordered record file, with per-document statistics and the
// estimated HTML size of every surname.
#pragma once

#include "builder/KSindexType.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ks {

class TKSbreather;
class TKSprogressBar;
struct TKSdocumentRun;
struct TKSrunSettings;

// What a warning of a run is about.
enum class TKSrunWarningKind {
    NameCut,           // a name in a document's lines was cut
    Utf8Document,      // a selected document looks like UTF-8 text
    LargePage,         // a page written is over the size limit
    Division,          // a division that would keep the index pages under the limit
    MissingLayoutFile, // a source file of the layout does not exist
};

// Something a run changed in a document's lines, such as a name it cut, or
// something about its documents or its pages the user should know.
struct TKSrunWarning {
    std::string Where; // the document as given, "document:line" for one line, a page; or ""
    std::string Text;  // in the language of the run (Windows-1252)
    TKSrunWarningKind Kind = TKSrunWarningKind::NameCut;
    int64_t Size = 0;                                          // LargePage: the page's bytes
    TKSindexType SuggestedIndexType = TKSindexType::NotChosen; // Division
};

// Writes the merged index lines (each followed by a tab and its document's
// 0-based list position, then a closing "#") to mergedPath and the
// estimated size per surname to sizesPath. Reads every selected document
// from the DataFileName of its record in documents (one per document of the
// settings, in list order) and sets SeqNr and the statistics there. Returns
// the estimated size of the whole index.
// Adds to warnings (when given) the lines whose names were cut to
// kMaxNameBytes, each with its document and line (a few per document, then
// how many more), the lines counted in the document itself, also when the
// merge read a sorted copy.
int64_t MergeIndexes(const TKSrunSettings& settings, std::vector<TKSdocumentRun>& documents,
                     const std::string& mergedPath, const std::string& sizesPath,
                     TKSprogressBar& bar, TKSbreather& breather,
                     std::vector<TKSrunWarning>* warnings = nullptr);

} // namespace ks
