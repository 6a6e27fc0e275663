#include "cli/ImportCommand.h"

#include "builder/run/KSfetchedDocument.h"
#include "cli/Messages.h"
#include "cli/OptionTable.h"
#include "common/KScodepage.h"
#include "common/KScommon.h"
#include "common/KSlocal.h"
#include "fetch/KSfetch.h"
#include "import/KSgedcomReader.h"
#include "import/KSimport.h"
#include "import/KSimportWriter.h"
#include "import/KSpersonLink.h"

#include <charconv>
#include <ostream>

namespace ks::cli {

namespace {

constexpr int kUsageError = 2;

// The options are the request itself: what is not given is taken from the
// index document replaced, as the last import chose it.
using ImportOptions = TKSimportRequest;

int LivingAge(const std::string& value) {
    int age = 0;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), age);
    if (value.empty() || ec != std::errc{} || end != value.data() + value.size() || age < 1 ||
        age > kMaxLivingAge)
        throw UsageError{
            Say("#1608.26=--living-age moet een aantal jaren van 1 tot %1 zijn, niet %2",
                {std::to_string(kMaxLivingAge), value})};
    return age;
}

TKSimportCharset Charset(const std::string& value) {
    if (value == "utf-8") return TKSimportCharset::Utf8;
    if (value == "windows-1252") return TKSimportCharset::Windows1252;
    throw UsageError{Say("#1609.3=--charset moet utf-8 of windows-1252 zijn, niet %1", {value})};
}

const std::vector<Option<ImportOptions>>& OptionTable() {
    using O = ImportOptions;
    using V = const std::string&;
    static const std::vector<Option<O>> table = {
        {{"-o", "--output"},
         "#1608.30=BESTAND.htx",
         "#1608.3=het indexdocument dat geschreven wordt (standaard: naast BESTAND, ernaar "
         "genoemd); een bestaand indexdocument wordt vervangen, elk ander bestand blijft staan",
         [](O& o, V v) { o.Output = v; }},
        {{"--title"},
         "#1606.21=TEKST",
         "#1608.4=de titel van de stamboom (standaard: de naam van zijn map)",
         [](O& o, V v) { o.Title = v; }},
        {{"--description"},
         "#1606.21=TEKST",
         "#1608.5=\xE9\xE9n regel over de stamboom (standaard: de notitie in de kop van een "
         "GEDCOM-bestand)",
         [](O& o, V v) { o.Description = v; }},
        {{"--user"},
         "#1606.22=NAAM",
         "#1608.6=wie de stamboom maakte (standaard: de inzender van een GEDCOM-bestand)",
         [](O& o, V v) { o.UserName = v; }},
        {{"--email"},
         "#1606.23=ADRES",
         "#1608.7=het e-mailadres van de maker",
         [](O& o, V v) { o.Email = v; }},
        {{"--homepage"},
         "URL",
         "#1608.8=de homepage van de maker",
         [](O& o, V v) { o.Homepage = v; }},
        {{"--living"},
         "",
         "#1608.9=personen die mogelijk leven opnemen (standaard weggelaten); wie het bestand "
         "priv\xE9 houdt (RESN privacy of confidential) blijft altijd weg",
         [](O& o, V) { o.IncludeLiving = true; }},
        {{"--no-living"},
         "",
         "#1608.10=wie mogelijk leeft weglaten, ook als de vorige import hen opnam",
         [](O& o, V) { o.IncludeLiving = false; }},
        {{"--living-age"},
         "#1608.11=JAREN",
         "#1608.12=N van de regel hieronder (standaard 100)",
         [](O& o, V v) { o.LivingAge = LivingAge(v); }},
        {{"--link"},
         "#1608.13=PATROON",
         "#1608.14=de link van elke persoon, voor naamlijsten zonder links (nodig voor "
         "GEDCOM-bestanden); {id} staat voor het nummer van de persoon, {surname} en {given} "
         "voor de namen; een relatief pad of een http- of https-adres",
         [](O& o, V v) { o.LinkPattern = v; }},
        {{"--start-page"},
         "#1608.15=PAGINA",
         "#1608.16=de pagina die de stamboom opent (htmfile van het document), relatief aan de "
         "map van BESTAND of een http- of https-adres (standaard: index.htm of index.html naast "
         "BESTAND, anders geen: de eerste persoonspagina wordt gebruikt)",
         [](O& o, V v) { o.StartPage = v; }},
        {{"--charset"},
         "#1609.1=TEKENSET",
         "#1609.2=de tekenset van het indexdocument: utf-8 (standaard; elke letter zoals het "
         "bestand hem schrijft) of windows-1252 (voor oudere programma's; een letter die daarin "
         "ontbreekt wordt de dichtstbijzijnde)",
         [](O& o, V v) { o.Charset = Charset(v); }},
        {{"--fresh"},
         "",
         "#1608.17=niets overnemen van het indexdocument dat vervangen wordt; zonder deze optie "
         "is wat niet gegeven is zoals de vorige import het koos",
         [](O& o, V) { o.Fresh = true; }},
    };
    return table;
}

std::string Usage() {
    std::string rule;
    for (const std::string& condition :
         {Say("#1608.19=het bestand geeft een overlijden, begrafenis of crematie, met of zonder "
              "datum;"),
          Say("#1608.20=een gebeurtenis of feit van de persoon met een datum (geboorte, doop, "
              "woonplaats, het huwelijk van een gezin van hem of haar, ...) ligt N jaar of meer "
              "terug, naar het laatste jaar dat de datum toelaat;"),
          Say("#1608.21=een ouder is N + 45 jaar of meer geleden geboren;"),
          Say("#1608.22=een echtgenoot is N + 40 jaar of meer geleden geboren;"),
          Say("#1608.23=een kind is N - 15 jaar of meer geleden geboren.")})
        rule += Wrapped(condition, 4, "  ");
    return Say("#1608.1=gebruik: kestrin-index import [OPTIES] BESTAND") + "\n" +
           OptionLines({Say("#1606.20=BESTAND")}, "",
                       "#1608.2=een GENDEX-naamlijst (gendex.txt, UTF-8 of Windows-1252) of een "
                       "GEDCOM-bestand (5.5.1, 5.5.5 of 7.0, elke tekenset)") +
           Wrapped(Say("#1612.16=BESTAND kan ook een https-adres zijn: het wordt opgehaald en "
                       "ge\xEFmporteerd in de map van opgehaalde bestanden, en een build met "
                       "hetzelfde adres haalt het weer op en importeert het met dezelfde keuzes."),
                   2) +
           OptionsUsage(OptionTable()) +
           Wrapped(Say("#1608.18=Iemand kan leven tenzij vermoedelijk overleden, met N de "
                       "--living-age:"),
                   0) +
           rule +
           Wrapped(Say("#1608.24=Links blijven relatief aan de map van BESTAND; het verslag gaat "
                       "naar de standaardfoutuitvoer, het pad van het indexdocument naar de "
                       "standaarduitvoer."),
                   0) +
           Wrapped(Say("#1608.25=afsluitstatus: 0 gedaan, 1 mislukt (niets geschreven), 2 "
                       "gebruiksfout"),
                   0);
}

ImportOptions ParseOptions(const std::vector<std::string>& args) {
    ImportOptions o;
    std::vector<std::string> files;
    ParseByTable(OptionTable(), args, o,
                 [&files](const std::string& file) { files.push_back(file); });
    if (files.empty()) throw UsageError{Say("#1608.27=geen bestand om te importeren gegeven")};
    if (files.size() > 1)
        throw UsageError{Say("#1608.28=\xE9\xE9n bestand tegelijk: %1", {files[1]})};
    o.Source = files[0];
    if (IsFetchAddress(o.Source) && !o.Output.empty())
        throw UsageError{Say("#1612.15=een adres wordt ge\xEFmporteerd in de map van opgehaalde "
                             "bestanden, waar de run het weer ophaalt: -o kan er niet bij")};
    // The rule of the core, which the wizard's imports follow too.
    if (!o.LinkPattern.empty())
        if (const std::string problem = LinkPatternProblem(o.LinkPattern); !problem.empty())
            throw UsageError{"--link: " + MessageToUtf8(problem)};
    if (const std::string problem = StartPageProblem(o.StartPage.value_or("")); !problem.empty())
        throw UsageError{"--start-page: " + MessageToUtf8(problem)};
    if (o.LinkPattern.empty() && LooksLikeGedcom(o.Source) &&
        (o.Fresh || KeptImportChoices(ImportDocumentPath(o)).LinkPattern.empty()))
        throw UsageError{Say("#1608.29=een GEDCOM-bestand bevat geen links naar de pagina's van "
                             "zijn stamboom: geef --link PATROON")};
    return o;
}

void PrintReport(const std::string& source, const TKSimportResult& result, std::ostream& err) {
    std::vector<std::string> lines = ImportReportLines(result.Report);
    if (!result.Kept.empty()) {
        std::string options;
        for (const std::string& kept : result.Kept)
            options += (options.empty() ? "--" : ", --") + kept;
        lines.push_back(LocalText("#1605.1=als bij de vorige import: %1 (--fresh neemt niets over)",
                                  {options}));
    }
    for (const std::string& line : lines)
        err << "kestrin-index: " << TerminalText(source) << ": " << MessageToUtf8(line) << '\n';
}

// A name list given by its https: address: fetched and imported into the
// cache, where a build given the same address fetches and imports it again
// with the choices kept in the document.
int ImportAddress(const ImportOptions& options, std::ostream& out, std::ostream& err) {
    const TKSfetchedDocument fetched =
        FetchIndexDocument(options.Source, Environment().TempFolder, &options, options.Fresh);
    const std::string source = TerminalText(options.Source);
    if (!fetched.Warning.empty())
        err << "kestrin-index: " << Say("#1566.5=waarschuwing") << ": " << source << ": "
            << MessageToUtf8(fetched.Warning) << '\n';
    if (!fetched.Problem.empty()) {
        err << "kestrin-index: " << source << ": " << MessageToUtf8(fetched.Problem) << '\n';
        return 1;
    }
    for (const std::string& line : fetched.ImportReport)
        err << "kestrin-index: " << source << ": " << MessageToUtf8(line) << '\n';
    out << TerminalText(fetched.Document) << '\n';
    return 0;
}

} // namespace

std::vector<std::string> ImportOptionsWithValue() {
    return OptionsWithValue(OptionTable());
}

int RunImport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    ImportOptions options;
    try {
        options = ParseOptions(args);
    } catch (const UsageError& e) {
        if (e.message.empty()) {
            out << Usage();
            return 0;
        }
        err << "kestrin-index import: " << TerminalText(e.message) << '\n' << Usage();
        return kUsageError;
    }
    if (IsFetchAddress(options.Source)) return ImportAddress(options, out, err);
    TKSimportRequest request = options;
    request.TempFolder = Environment().TempFolder;
    const std::string document = ImportDocumentPath(request);
    if (const std::string problem = ImportTargetProblem(document); !problem.empty()) {
        err << "kestrin-index: " << TerminalText(document) << ": " << MessageToUtf8(problem)
            << '\n';
        return 1;
    }
    const TKSimportResult result = ImportNameList(request);
    PrintReport(options.Source, result, err);
    out << TerminalText(result.Document) << '\n';
    return 0;
}

} // namespace ks::cli
