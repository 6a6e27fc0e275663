#include "builder/run/KSfetchedDocument.h"

#include "common/KSerrors.h"
#include "common/KSlocal.h"
#include "fetch/KSfetch.h"
#include "import/KSimport.h"

#include <sys/stat.h>

#include <cctype>
#include <ctime>
#include <filesystem>
#include <system_error>

namespace ks {

namespace fs = std::filesystem;

namespace {

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool NameListByName(const std::string& copy) {
    const fs::path name = fs::path(copy).filename();
    return Lower(name.string()) == "gendex.txt" || Lower(name.extension().string()) == ".ged";
}

bool IsNameListCopy(const std::string& copy) {
    std::error_code ec;
    return fs::is_regular_file(copy, ec) ? IsNameList(copy) : NameListByName(copy);
}

// The document imported from a name list's copy, beside it and never the copy itself.
std::string ImportedPath(const std::string& copy) {
    const std::string beside = fs::path(copy).replace_extension(".htx").string();
    return beside == copy ? copy + ".htx" : beside;
}

bool Newer(const std::string& path, const std::string& than) {
    struct stat a {
    }, b{};
    if (::stat(path.c_str(), &a) != 0 || ::stat(than.c_str(), &b) != 0) return false;
    return a.st_mtim.tv_sec > b.st_mtim.tv_sec ||
           (a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec >= b.st_mtim.tv_nsec);
}

std::string CopyDate(std::time_t time) {
    std::tm local{};
    char text[32] = "?";
    if (::localtime_r(&time, &local) != nullptr)
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
    return text;
}

// The last folder of the address, the title of a tree that has none of its own.
std::string TitleOfAddress(const std::string& address) {
    std::string folder = AddressFolder(address);
    folder.pop_back();
    return folder.substr(folder.rfind('/') + 1);
}

} // namespace

std::string FetchedDocumentPath(const std::string& address) {
    const std::string copy = CachedCopyPath(address);
    if (copy.empty()) return "";
    return IsNameListCopy(copy) ? ImportedPath(copy) : copy;
}

TKSfetchedDocument FetchIndexDocument(const std::string& address, const std::string& tempFolder,
                                      const TKSimportChoices* choices, bool fresh) {
    TKSfetchedDocument result;
    const TKSfetchResult fetch = FetchToCache(address);
    if (fetch.Path.empty()) {
        result.Problem = LocalText("#1612.9=kan niet opgehaald worden (%1) en er is geen eerdere "
                                   "kopie",
                                   {fetch.Reason});
        return result;
    }
    if (!fetch.Confirmed)
        result.Warning = LocalText("#1612.10=niet opgehaald (%1); de kopie van %2 is gebruikt",
                                   {fetch.Reason, CopyDate(fetch.CopyTime)});
    if (!IsNameList(fetch.Path)) {
        if (choices != nullptr)
            result.Problem =
                LocalText("#1612.11=geen gendex.txt en geen GEDCOM-bestand om te importeren");
        else
            result.Document = fetch.Path;
        return result;
    }
    const std::string document = ImportedPath(fetch.Path);
    if (choices == nullptr && !fetch.Changed && Newer(document, fetch.Path)) {
        result.Document = document;
        return result;
    }
    TKSimportRequest request;
    if (choices != nullptr) static_cast<TKSimportChoices&>(request) = *choices;
    request.Source = fetch.Path;
    request.Output = document;
    request.Fresh = fresh;
    request.TempFolder = tempFolder;
    if (!request.Title && (fresh || !KeptImportChoices(document).Title))
        request.Title = TitleOfAddress(address);
    try {
        const TKSimportResult imported = ImportNameList(request);
        result.ImportReport = ImportReportLines(imported.Report);
        result.Document = imported.Document;
    } catch (const EKSError& e) {
        std::error_code ec;
        const bool gedcomWithoutLinks = request.LinkPattern.empty() && NeedsLinkPattern(fetch.Path);
        const std::string reason =
            gedcomWithoutLinks && (fresh || KeptImportChoices(document).LinkPattern.empty())
                ? LocalText("#1612.12=een GEDCOM-bestand bevat geen links naar de pagina's van "
                            "zijn stamboom: importeer het adres eerst met een linkpatroon "
                            "(kestrin-index import %1 --link PATROON)",
                            {address})
                : e.Reason();
        if (choices == nullptr && fs::is_regular_file(document, ec)) {
            if (!result.Warning.empty()) result.Warning += "; ";
            result.Warning += LocalText("#1612.13=de import van de nieuwe kopie lukt niet (%1); "
                                        "de vorige import is gebruikt",
                                        {reason});
            result.Document = document;
        } else {
            result.Problem = reason;
        }
    }
    return result;
}

} // namespace ks
