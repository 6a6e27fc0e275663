// A document of the run's list given by its https: address: fetched into the
// per-user cache, and when it is another program's name list (a gendex.txt
// or a GEDCOM file) imported there into an index document with the choices
// the last import of it kept. When the host cannot give it, the copy fetched
// before is used and the run is told so; without one there is no document.
#pragma once

#include "import/KSimportChoices.h"

#include <string>
#include <vector>

namespace ks {

struct TKSfetchedDocument {
    std::string Document; // the index document in the cache; "" when none
    std::string Problem;  // why there is none (language of the run)
    std::string Warning;  // an earlier copy used: why and of when
    // What the import of a name list did, when it ran (language of the run).
    std::vector<std::string> ImportReport;
};

// Where the index document address gives lies in the cache, fetched or not
// (no network): the copy itself, or for a name list the document imported
// beside it. "" when there is no cache folder.
std::string FetchedDocumentPath(const std::string& address);

// Fetches address (FetchToCache) and imports a name list that changed or
// was never imported; tempFolder is the import's temporary folder. Given
// choices, a name list is imported with them whether it changed or not (and
// with nothing kept from the last import when fresh); an index document then
// is a problem.
TKSfetchedDocument FetchIndexDocument(const std::string& address, const std::string& tempFolder,
                                      const TKSimportChoices* choices = nullptr,
                                      bool fresh = false);

} // namespace ks
