// What a generation run works from: the document list in list order with
// the selected flags, the options of the settings page and where to write.
// The wizard fills it from its controls, the command-line tool from its
// arguments. A run only reads the documents and the layout.
#pragma once

#include "builder/entries/KSindexType.h"
#include "builder/entries/KSrunWarning.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ks {

class TKShtxData;
class TKSkslData;

// What the template and its key row leave of a page to the surname list.
constexpr int64_t kNamePartBudget = 1'500'000;

struct TKSrunDocument {
    const TKShtxData* Data = nullptr; // owned by the document list
    bool Selected = false;
    std::string GivenPath{};  // as the user gave it, for messages ("": Data's FileName)
    std::string WebAddress{}; // where its folder is published, ending with "/"; "": none
};

struct TKSrunSettings {
    std::vector<TKSrunDocument> Documents; // in list order
    const TKSkslData* Layout = nullptr;    // owned by the caller
    TKSindexType IndexType = TKSindexType::FirstLetter;
    bool IndexWithYears = false;        // show years in the index
    bool DuplicatesIgnoreYears = false; // fold duplicates without comparing years
    std::string OutputFolder;           // ends with "/"
    std::string BaseName;
    std::string Title;
    std::string Homepage;
    std::string Email;
    // The same texts as typed (UTF-8), for pages in UTF-8; each is empty
    // when its text above holds every letter as typed.
    std::string TypedTitle;
    std::string TypedHomepage;
    std::string TypedEmail;
    // The per-user temporary folder; each run works in a private folder
    // inside it. When TempSwitchFolder is set (the TEMP switch), the record
    // files are written directly there instead.
    std::string TempFolder;
    std::string TempSwitchFolder;
    bool DeveloperMode = false; // keep temporary files
    // The combined index exported beside the pages (see KSsiteExport):
    // gendex.txt when asked, sitemap.xml when the site's own address is
    // known. SiteAddress is checked and ends with "/".
    bool WriteGendex = false;
    std::string SiteAddress;
    // The bytes of surname list that one page may hold when the division is
    // chosen by size (see TKSnameParts).
    int64_t NamePartBudget = kNamePartBudget;
    // Documents given by their address that the host did not give this
    // time: the copies fetched before are used, and the run says so.
    std::vector<TKSrunWarning> FetchWarnings;
};

} // namespace ks
