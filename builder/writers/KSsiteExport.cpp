#include "builder/writers/KSsiteExport.h"

#include "LINE_INPUT/KSFileStream.h"
#include "builder/entries/KSentryReader.h"
#include "builder/entries/KSreferences.h"
#include "builder/entries/KSrelativeLink.h"
#include "builder/entries/KSrunSettings.h"
#include "builder/entries/KSrunState.h"
#include "builder/entries/KSrunView.h"
#include "builder/entries/KSurlPath.h"
#include "builder/writers/KShtmlPieces.h"
#include "common/KScodepage.h"
#include "common/KSconvert.h"
#include "common/KSerrors.h"
#include "common/KSlocal.h"
#include "common/KSpaths.h"
#include "common/KSprogress.h"
#include "common/KSunicode.h"
#include "common/KSutf8.h"
#include "index/KShtxData.h"
#include "index/KShtxRegel.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <sys/stat.h>
#include <unordered_set>

namespace ks {

const char* const kGendexName = "gendex.txt";
const char* const kSitemapName = "sitemap.xml";

namespace {

const char* const kXmlHead = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
const char* const kSitemapNamespace = "http://www.sitemaps.org/schemas/sitemap/0.9";

// A letter in capitals: one Windows-1252 holds as that code page's
// capital, as surnames have always been written here.
char32_t UpperCaseOf(char32_t letter) {
    const int byte = Windows1252Byte(letter);
    if (byte < 0) return UpperCaseLetter(letter);
    return Windows1252CodePoint(UpperCaseByte(static_cast<unsigned char>(byte)));
}

bool IsHex(char c) {
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

// A link (UTF-8; a byte that is no UTF-8 read as Windows-1252) as an
// address, with every byte that may not stand in an address, and "|" that
// separates the fields of a GENDEX line, percent-encoded. Escapes already
// there ("%20") stay as they are.
void AppendAddressText(std::string& out, std::string_view link) {
    static const char kHex[] = "0123456789ABCDEF";
    const std::string utf8 = MessageToUtf8(link);
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        const auto byte = static_cast<unsigned char>(c);
        const bool plainPercent =
            c == '%' && i + 2 < utf8.size() && IsHex(utf8[i + 1]) && IsHex(utf8[i + 2]);
        if (byte <= 0x20 || byte >= 0x7F || std::strchr("\"<>\\^`{|}", c) != nullptr ||
            (c == '%' && !plainPercent)) {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        } else {
            out += c;
        }
    }
}

// The site's address joined with a link relative to it, "." and ".." parts
// resolved as a browser resolves them; "" when the link climbs above the host.
std::string JoinAddress(const std::string& siteAddress, std::string_view link) {
    if (siteAddress.find("://") == std::string::npos) return "";
    const std::string site = SiteAddressBase(siteAddress);
    const std::size_t pathStart = site.find('/', site.find("://") + 3);
    const std::size_t cut = link.find_first_of("?#");
    const std::string_view rest = cut == std::string_view::npos ? "" : link.substr(cut);
    const std::string path = site.substr(pathStart) + std::string(link.substr(0, cut));
    std::vector<std::string_view> parts;
    std::string_view remaining(path);
    remaining.remove_prefix(1);
    bool folder = false; // the path ends in a folder
    while (true) {
        const std::size_t slash = remaining.find('/');
        const std::string_view part = remaining.substr(0, slash);
        const bool last = slash == std::string_view::npos;
        folder = last && (part == "." || part == "..");
        if (part == "..") {
            if (parts.empty()) return "";
            parts.pop_back();
        } else if (part != ".") {
            parts.push_back(part);
        }
        if (last) break;
        remaining.remove_prefix(slash + 1);
    }
    std::string address = site.substr(0, pathStart);
    for (const std::string_view part : parts)
        address.append(1, '/').append(part);
    if (folder || address.size() == pathStart) address += '/';
    return address + std::string(rest);
}

bool IsPage(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || path.find('/', dot) != std::string::npos) return false;
    std::string extension = path.substr(dot + 1);
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension == "htm" || extension == "html";
}

// The address of every page among files, each once, in the order written.
std::vector<std::string> PageAddresses(const TKSrunSettings& settings,
                                       const std::vector<std::string>& files) {
    std::vector<std::string> addresses;
    std::unordered_set<std::string> seen;
    const std::string site = SiteAddressBase(settings.SiteAddress);
    const std::string folder = WithSlash(settings.OutputFolder);
    for (const std::string& file : files) {
        if (!file.starts_with(folder) || !IsPage(file)) continue;
        std::string address = site + UrlPath(file.substr(folder.size()));
        if (seen.insert(address).second) addresses.push_back(std::move(address));
    }
    return addresses;
}

std::string UrlElement(const std::string& tag, const std::string& address,
                       const std::string& date) {
    std::string text = "<" + tag + "><loc>";
    AppendHrefText(text, address);
    return text + "</loc><lastmod>" + date + "</lastmod></" + tag + ">\n";
}

std::string UrlsetHead() {
    return std::string(kXmlHead) + "<urlset xmlns=\"" + kSitemapNamespace + "\">\n";
}
const char* const kUrlsetEnd = "</urlset>\n";

// The addresses in files of at most kSitemapMaxUrls addresses and
// kSitemapMaxBytes bytes: the index of the first address of each file.
std::vector<std::size_t> SitemapParts(const std::vector<std::string>& addresses,
                                      const std::string& date) {
    std::vector<std::size_t> starts = {0};
    const std::size_t frame = UrlsetHead().size() + std::strlen(kUrlsetEnd);
    const std::size_t element = UrlElement("url", "", date).size();
    std::size_t bytes = frame;
    std::size_t count = 0;
    std::string text;
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        text.clear();
        AppendHrefText(text, addresses[i]);
        const std::size_t size = element + text.size();
        if (count > 0 && (count == kSitemapMaxUrls || bytes + size > kSitemapMaxBytes)) {
            starts.push_back(i);
            bytes = frame;
            count = 0;
        }
        bytes += size;
        ++count;
    }
    return starts;
}

std::string PartName(std::size_t number) {
    return "sitemap-" + std::to_string(number) + ".xml";
}

std::vector<std::string> SitemapNames(std::size_t parts) {
    std::vector<std::string> names = {kSitemapName};
    if (parts > 1)
        for (std::size_t n = 1; n <= parts; ++n)
            names.push_back(PartName(n));
    return names;
}

// A file of the export, never over one a layout entry wrote.
TKSFileStream CreateExportFile(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0)
        throw EKSError(path, LocalText("#1584.3=een onderdeel van de stijl schrijft al een "
                                       "bestand met deze naam"));
    TKSFileStream file(path, File::OpenMode::Create);
    return file;
}

void WriteSitemaps(const TKSrunSettings& settings, const std::string& writeRoot,
                   const std::vector<std::string>& addresses, const std::string& date) {
    const std::vector<std::size_t> starts = SitemapParts(addresses, date);
    for (std::size_t part = 0; part < starts.size(); ++part) {
        const std::size_t end = part + 1 < starts.size() ? starts[part + 1] : addresses.size();
        const std::string name = starts.size() > 1 ? PartName(part + 1) : kSitemapName;
        TKSFileStream file = CreateExportFile(writeRoot + name);
        file.WriteText(UrlsetHead());
        for (std::size_t i = starts[part]; i < end; ++i)
            file.WriteText(UrlElement("url", addresses[i], date));
        file.WriteText(kUrlsetEnd);
        file.Close();
    }
    if (starts.size() <= 1) return;
    TKSFileStream index = CreateExportFile(writeRoot + kSitemapName);
    index.WriteText(std::string(kXmlHead) + "<sitemapindex xmlns=\"" + kSitemapNamespace + "\">\n");
    for (std::size_t n = 1; n <= starts.size(); ++n)
        index.WriteText(
            UrlElement("sitemap", SiteAddressBase(settings.SiteAddress) + PartName(n), date));
    index.WriteText("</sitemapindex>\n");
    index.Close();
}

// A name of the index fit for a field: "?" (unknown) is empty, and "|" and
// "/", which separate the fields and mark the surname, become blanks. Names
// are written as written, surnames in capitals.
std::string NameField(std::string_view name, bool upper) {
    if (name == "?") return {};
    std::string text;
    text.reserve(name.size());
    for (std::size_t pos = 0; pos < name.size();) {
        const Utf8Char c = DecodeUtf8(name, pos);
        char32_t letter =
            c.Valid() ? c.CodePoint : Windows1252CodePoint(static_cast<unsigned char>(name[pos]));
        pos += c.Valid() ? c.Length : 1;
        if (letter == '|' || letter == '/') letter = ' ';
        if (upper) letter = UpperCaseOf(letter);
        AppendUtf8(text, letter);
    }
    return text;
}

class TKSgendexWriter {
public:
    TKSgendexWriter(const TKSrunView& run, const std::string& path)
        : run_(run), settings_(run.Settings), path_(path) {
        for (const TKSrunDocument& document : settings_.Documents)
            linkers_.emplace_back(WithSlash(settings_.OutputFolder) + kGendexName,
                                  document.Data != nullptr ? document.Data->FileName : "",
                                  document.WebAddress);
    }

    void Run() {
        TKSentryReader entries(run_);
        TKSFileStream out = CreateExportFile(path_);
        TKShtxRegel entry;
        int64_t read = 0;
        while (entries.Next(entry)) {
            if (++read % 4096 == 0 && run_.StopRequested()) return;
            MakePerson(entry);
            ForEachReference(entry.Link, settings_.Documents.size(),
                             [&](std::size_t index, std::string_view link) {
                                 if (MakeLine(index, link)) out.WriteText(line_);
                             });
        }
        out.Close();
    }

private:
    // person_ = "SURNAME|given /prefix SURNAME/|birth||death||" in UTF-8.
    void MakePerson(const TKShtxRegel& entry) {
        const std::string surname = NameField(entry.SurnameMain(), true);
        const std::string prefix = NameField(entry.SurnamePrefix(), false);
        const std::string given = NameField(entry.GivenNames, false);
        person_ = surname + "|" + given + (given.empty() ? "" : " ") + "/" + prefix +
                  (prefix.empty() ? "" : " ") + surname + "/|";
        // As in the index: the years say nothing when duplicates ignore them.
        const bool years = !settings_.DuplicatesIgnoreYears;
        person_ += (years ? NameField(entry.Year1, false) : "") + "||" +
                   (years ? NameField(entry.Year2, false) : "") + "||\n";
    }

    // line_ = the line of the person in the tree at index; false when the
    // tree is not part of the index or the link may not be one.
    bool MakeLine(std::size_t index, std::string_view link) {
        const TKSrunDocument& document = settings_.Documents[index];
        if (document.Data == nullptr || !document.Selected || !IsSafeLink(link)) return false;
        std::string page = AbsoluteTreeLink(settings_, document, link, &linkers_[index]);
        if (page.empty()) {
            std::string relative(link);
            std::replace(relative.begin(), relative.end(), '\\', '/');
            page = linkers_[index].Link(relative);
        }
        if (!IsSafeLink(page)) return false;
        line_.clear();
        AppendAddressText(line_, page);
        line_.append(1, '|').append(person_);
        return true;
    }

    const TKSrunView& run_;
    const TKSrunSettings& settings_;
    std::string path_;
    std::vector<TKSdocumentLinker> linkers_; // of every document of the list, in list order
    std::string person_;
    std::string line_;
};

} // namespace

std::string CheckSiteAddress(std::string_view address) {
    for (const char c : address) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte >= 0x7F || std::strchr("\"'<>\\#?`", c) != nullptr)
            return LocalText("#1584.1=het adres van de site mag alleen zichtbare ASCII-tekens "
                             "bevatten, zonder spaties, aanhalingstekens, <, >, \\, # of ?: %1",
                             {std::string(address)});
    }
    // A tree's address may name a user; the site's own address may not.
    bool good = IsGoodWebAddress(address);
    if (good) {
        const std::string_view rest = address.substr(address.find("://") + 3);
        good = rest.substr(0, rest.find('/')).find('@') == std::string_view::npos;
    }
    if (!good)
        return LocalText("#1584.2=het adres van de site moet een http- of https-adres met een "
                         "host zijn: %1",
                         {std::string(address)});
    return "";
}

std::string SiteAddressBase(std::string_view address) {
    std::string base(address);
    if (base.find('/', base.find("://") + 3) == std::string::npos || !base.ends_with('/'))
        base += '/';
    return base;
}

std::string AbsoluteTreeLink(const TKSrunSettings& settings, const TKSrunDocument& document,
                             std::string_view link, const TKSdocumentLinker* linker) {
    std::string text(link.substr(std::min(link.find_first_not_of(' '), link.size())));
    std::replace(text.begin(), text.end(), '\\', '/');
    if (IsWebLink(text)) return text;
    if (document.Data == nullptr) return "";
    // A tree published at an address of its own is linked there.
    if (!document.WebAddress.empty())
        return linker != nullptr ? linker->Link(text)
                                 : DocumentLink(WithSlash(settings.OutputFolder) + kGendexName,
                                                document.Data->FileName, text, document.WebAddress);
    if (settings.SiteAddress.empty()) return "";
    if (linker != nullptr) return JoinAddress(settings.SiteAddress, linker->Link(text));
    return JoinAddress(settings.SiteAddress,
                       DocumentLink(WithSlash(settings.OutputFolder) + kGendexName,
                                    document.Data->FileName, text));
}

std::vector<std::string> ExportNames(const TKSrunSettings& settings,
                                     const std::vector<std::string>& files) {
    std::vector<std::string> names;
    if (settings.WriteGendex) names.push_back(kGendexName);
    if (!settings.SiteAddress.empty()) {
        // The lastmod dates are of one length, whatever the day.
        for (std::string& name :
             SitemapNames(SitemapParts(PageAddresses(settings, files), "YYYY-MM-DD").size()))
            names.push_back(std::move(name));
    }
    return names;
}

bool IsExportName(const std::string& name) {
    if (name == kGendexName || name == kSitemapName || name == "feed.xml") return true;
    if (!name.starts_with("sitemap-") || !name.ends_with(".xml")) return false;
    const std::string number = name.substr(8, name.size() - 12);
    return !number.empty() && std::all_of(number.begin(), number.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c));
    });
}

std::vector<std::string> WriteExports(const TKSrunView& run, const std::string& writeRoot,
                                      const std::vector<std::string>& files,
                                      const std::string& date) {
    const TKSrunSettings& settings = run.Settings;
    if (settings.WriteGendex) TKSgendexWriter(run, writeRoot + kGendexName).Run();
    if (!settings.SiteAddress.empty())
        WriteSitemaps(settings, writeRoot, PageAddresses(settings, files), date);
    return ExportNames(settings, files);
}

} // namespace ks
