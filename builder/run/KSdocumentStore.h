// The document list as the wizard keeps it between runs and fills it from a
// folder. Stored in the per-user store as a key of its own: one value per
// document named "0", "1", ... in list order, each "1," (ticked) or "0,"
// followed by the document's full path (or the https: address it is fetched
// from), and "current" with the number of
// the line that was selected, when one was. A document published at a web
// address has it in a value of its own, "url0", "url1", ... beside its line:
// a list stored before addresses existed reads as documents without one, and
// a program that knows no addresses reads the lines as they always were.
#pragma once

#include "index/KSdocumentSearch.h"

#include <string>
#include <vector>

namespace ks {

class TKSdocumentList;

// Adds the index document at path (type "htx", format 1) to documents,
// ticked, unless it is listed already (by full path). Returns its index in
// the list, new or old, or -1 when it is no index document; unreadable (when
// given) then receives the system's reason when the file exists but cannot
// be read.
int AddIndexDocument(TKSdocumentList& documents, const std::string& path,
                     std::string* unreadable = nullptr);

// Adds the document fetched from the address typed (blanks around it
// dropped) to documents, ticked, unless it is listed already, and fetches it
// (see TKSdocumentList::Fetch). Returns its index, or -1 when the text is no
// address that can be fetched; problem then receives why. A document that
// could not be fetched is listed all the same (FetchProblem tells).
int AddAddressDocument(TKSdocumentList& documents, const std::string& typed,
                       const std::string& tempFolder, std::string* problem = nullptr);

// Adds the documents stored at listKey (a full key path) that are index
// documents and not listed yet, with their ticks, reading up to the first
// number missing. Returns the index in documents of the line stored as
// selected, or -1.
int RestoreDocuments(const std::string& listKey, TKSdocumentList& documents);
// Replaces the list stored as subkey name of wizardKey by documents, with
// current (or none when -1) as the selected line.
void StoreDocuments(const TKSdocumentList& documents, int current, const std::string& wizardKey,
                    const std::string& name);

struct TKSfolderDocuments {
    TKSdocumentSearchResult Search;
    int LastFound = -1; // the index in the list of the document found last, or -1
    // The name lists of other programs found (gendex.txt and GEDCOM files),
    // in the order found, that may be imported: those whose index document
    // beside them is older than they are, or missing. They are not listed.
    std::vector<std::string> NameLists;
};

// Searches folder and the folders below it (see SearchIndexDocuments) and
// adds every document found that is not listed yet, ticked, in the order
// found; one whose header cannot be read is passed over. Name lists found
// are reported apart. listener hears of
// every document found, listed before or not, and may stop the search.
TKSfolderDocuments AddFolderDocuments(const std::string& folder, TKSdocumentList& documents,
                                      TKSdocumentSearchListener& listener);

} // namespace ks
