// The search of a folder tree for index documents ("Map doorzoeken"): depth
// first, the documents of a folder before those of its subfolders, files and
// subfolders each in byte order of their names. Hidden files and folders
// (names beginning with ".") and links to folders are passed over, so that a
// link back up the tree cannot make the search endless. Each file is looked
// at once and nothing is compared with what was found before: the work grows
// with the size of the tree only. What to do with a document found, and when
// to stop, is the caller's. The same pass finds the name lists of other
// programs that may be imported as index documents: after the documents of
// a folder, its files named gendex.txt and then its *.ged files.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace ks {

// Hears of a folder search as it goes.
class TKSdocumentSearchListener {
public:
    virtual ~TKSdocumentSearchListener() = default;
    // An index document (type "htx", format 1) at path: the folder as given,
    // with "/", followed by the names below it. false stops the search.
    virtual bool DocumentFound(const std::string& path) = 0;
    // A file that may be another program's name list: named gendex.txt, or
    // ending in ".ged" (letter case aside); whether it is one is the
    // listener's to check. false stops the search.
    virtual bool NameListFound(const std::string& /*path*/) { return true; }
    // Asked before every folder is listed and every file is tested, so that
    // a user interface can handle its events and stop a search that finds
    // nothing for a long time. false stops the search.
    virtual bool KeepSearching() { return true; }
};

struct TKSdocumentSearchResult {
    std::size_t Found = 0; // documents reported
    bool Stopped = false;  // the listener ended the search early
};

// Searches folder and every folder below it for index documents. A missing
// or unreadable folder holds none.
TKSdocumentSearchResult SearchIndexDocuments(const std::string& folder,
                                             TKSdocumentSearchListener& listener);
// The same, reporting each document to found (false stops the search).
TKSdocumentSearchResult SearchIndexDocuments(const std::string& folder,
                                             const std::function<bool(const std::string&)>& found);

} // namespace ks
