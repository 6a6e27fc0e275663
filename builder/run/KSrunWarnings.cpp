#include "builder/run/KSrunWarnings.h"

#include "builder/entries/KSrunSettings.h"
#include "builder/entries/KSrunState.h"
#include "common/KSlocal.h"
#include "common/KSwebLink.h"
#include "index/KSdocumentCharset.h"
#include "index/KShtxData.h"

#include <sstream>

namespace ks {

namespace {

// A number as a stream prints it (six significant digits).
template <typename Number> std::string Shown(Number number) {
    std::ostringstream text;
    text << number;
    return text.str();
}

TKSrunWarning DivisionWarning(TKSindexType type) {
    TKSrunWarning warning;
    warning.Kind = TKSrunWarningKind::Division;
    warning.SuggestedIndexType = type;
    warning.Text =
        type == TKSindexType::Auto
            ? LocalText("#1566.21=de automatische index indeling (de grootste achternamen in "
                        "delen knippen) zou de indexpagina's onder 2 MB houden")
            : LocalText("#1566.20=de index indeling \"%1\" zou de indexpagina's onder 2 MB houden",
                        {IndexTypeCaption(type)});
    return warning;
}

} // namespace

std::vector<TKSrunWarning> Utf8DocumentWarnings(const TKSrunSettings& settings) {
    std::vector<TKSrunWarning> warnings;
    for (const TKSrunDocument& document : settings.Documents) {
        if (!document.Selected || document.Data == nullptr) continue;
        const std::string& given =
            document.GivenPath.empty() ? document.Data->FileName : document.GivenPath;
        // A document that says it is UTF-8 is read so.
        if (document.Data->Charset == TKSdocumentCharset::Utf8 ||
            !DocumentLooksLikeUtf8(document.Data->FileName))
            continue;
        TKSrunWarning warning;
        warning.Where = given;
        warning.Text = LocalText("#1566.6=lijkt UTF-8-tekst te zijn; indexdocumenten worden als "
                                 "Windows-1252 gelezen, dus de namen met accenten worden verkeerd "
                                 "getoond; charset=utf-8 in de sectie [KESTRIN] laat het als "
                                 "UTF-8 lezen");
        warning.Kind = TKSrunWarningKind::Utf8Document;
        warnings.push_back(std::move(warning));
    }
    return warnings;
}

std::vector<TKSrunWarning> PageSizeWarnings(const TKSrunSettings& settings,
                                            const TKSrunState& state, int64_t limit) {
    const TKSpageSizeCheck check = CheckPageSizes(settings, state, limit);
    std::vector<TKSrunWarning> warnings;
    for (const TKSlargePage& page : check.LargePages) {
        TKSrunWarning warning;
        warning.Where = page.Path;
        // Megabytes cut to two decimals: a page just over the limit never reads "2".
        warning.Text =
            LocalText("#1566.7=is %1 MB (%2 bytes); pagina's van meer dan 2 MB laden "
                      "langzaam",
                      {Shown(static_cast<double>(page.Size / 10000) / 100), Shown(page.Size)});
        warning.Kind = TKSrunWarningKind::LargePage;
        warning.Size = page.Size;
        warnings.push_back(std::move(warning));
    }
    if (check.SuggestedIndexType != TKSindexType::NotChosen)
        warnings.push_back(DivisionWarning(check.SuggestedIndexType));
    return warnings;
}

std::vector<TKSrunWarning> ExampleAddressWarnings(const TKSrunSettings& settings,
                                                  const TKSrunState& state) {
    std::vector<TKSrunWarning> warnings;
    const auto warn = [&](std::string where, std::string text) {
        TKSrunWarning warning;
        warning.Where = std::move(where);
        warning.Text = std::move(text);
        warning.Kind = TKSrunWarningKind::ExampleAddress;
        warnings.push_back(std::move(warning));
    };
    for (std::size_t i = 0; i < settings.Documents.size(); ++i) {
        const TKSrunDocument& document = settings.Documents[i];
        if (!document.Selected || document.Data == nullptr) continue;
        const std::string link = IsExampleAddress(document.WebAddress)      ? document.WebAddress
                                 : IsExampleAddress(document.Data->HtmFile) ? document.Data->HtmFile
                                 : i < state.Documents.size() ? state.Documents[i].ExampleLink
                                                              : std::string();
        if (link.empty()) continue;
        warn(document.GivenPath.empty() ? document.Data->FileName : document.GivenPath,
             LocalText("#1601.2=linkt naar %1, een voorbeeldadres dat nergens heen leidt; geef "
                       "het echte adres van de stamboom",
                       {link}));
    }
    if (IsExampleAddress(settings.SiteAddress))
        warn("", LocalText("#1601.3=het webadres van de site, %1, is een voorbeeldadres dat "
                           "nergens heen leidt",
                           {settings.SiteAddress}));
    return warnings;
}

TKSrunWarning MissingLayoutFileWarning(const std::string& path) {
    TKSrunWarning warning;
    warning.Where = path;
    warning.Text = LocalText("#1571.19=stijlbestand niet gevonden; de index is niet compleet");
    warning.Kind = TKSrunWarningKind::MissingLayoutFile;
    return warning;
}

std::string CountText(int64_t number) {
    const std::string digits = std::to_string(number < 0 ? -number : number);
    const std::string separator = LocalText("#1571.2=.");
    std::string text = number < 0 ? "-" : "";
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) text += separator;
        text += digits[i];
    }
    return text;
}

std::string SizeText(int64_t bytes) {
    if (bytes < 1000) return LocalText("#1571.3=%1 bytes", {CountText(bytes)});
    if (bytes < 1000000) return LocalText("#1571.4=%1 kB", {CountText(bytes / 1000)});
    const int64_t tenths = bytes / 100000;
    return LocalText("#1571.5=%1 MB", {CountText(tenths / 10) + LocalText("#1571.1=,") +
                                       std::to_string(tenths % 10)});
}

std::string WarningSeparator(const TKSrunWarning& warning) {
    if (warning.Where.empty()) return "";
    return warning.Kind == TKSrunWarningKind::LargePage ? " " : ": ";
}

} // namespace ks
