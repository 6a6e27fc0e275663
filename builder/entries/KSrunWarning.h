// A warning of a run: something it changed in a document's lines, or
// something about its documents or its pages the user should know. The
// steps gather them in the run's state; KSrunWarnings words them.
#pragma once

#include "builder/entries/KSindexType.h"

#include <cstdint>
#include <string>

namespace ks {

// What a warning of a run is about.
enum class TKSrunWarningKind {
    NameCut,           // a name in a document's lines was cut
    Utf8Document,      // a selected document looks like UTF-8 text
    LargePage,         // a page written is over the size limit
    Division,          // a division that would keep the index pages under the limit
    MissingLayoutFile, // a source file of the layout does not exist
    ExampleAddress,    // a tree's links or the site's address lead to a host for examples
    FetchedCopy,       // a document given by its address was used as fetched before
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

} // namespace ks
