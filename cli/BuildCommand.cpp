#include "cli/BuildCommand.h"

#include "builder/entries/KSindexType.h"
#include "builder/entries/KSrelativeLink.h"
#include "builder/run/KSbuilder.h"
#include "builder/run/KSgenerate.h"
#include "builder/run/KSrunChecks.h"
#include "builder/run/KSrunSetup.h"
#include "builder/run/KSrunSummary.h"
#include "builder/run/KSrunWarnings.h"
#include "builder/writers/KSsiteExport.h"
#include "cli/Messages.h"
#include "cli/OptionTable.h"
#include "cli/StopSignals.h"
#include "cli/TerminalProgress.h"
#include "common/KScodepage.h"
#include "common/KScommon.h"
#include "common/KSfiles.h"
#include "common/KSlocal.h"
#include "common/KSpaths.h"
#include "common/KStextutil.h"
#include "index/KSdocumentCheck.h"
#include "index/KShtxData.h"
#include "index/KSksl.h"
#include "index/KSlayoutList.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>
#include <system_error>

namespace ks::cli {

namespace fs = std::filesystem;

namespace {

constexpr int kUsageError = 2;

// A number as the stream prints it.
template <typename Number> std::string Shown(Number number) {
    std::ostringstream text;
    text << number;
    return text.str();
}

// "kestrin-index: warning: " in the run's language.
std::string WarningPrefix() {
    return "kestrin-index: " + Say("#1566.5=waarschuwing") + ": ";
}

struct BuildOptions {
    struct Document {
        std::string path;
        bool selected = true;
    };
    std::vector<Document> documents;
    std::string layout;
    std::string output;
    std::string base = "KESTRIN-Index";
    TKSindexType indexType = TKSindexType::NotChosen;
    // Shown unless --no-years (or --ignore-years alone, which folds
    // persons of different years and so cannot show them).
    std::optional<bool> years;
    bool ignoreYears = false;
    bool ShowsYears() const { return years.value_or(!ignoreYears); }
    std::vector<std::string> split;
    std::vector<std::string> noSplit;
    struct WebAddress {
        std::string document;
        std::string address;
    };
    std::vector<WebAddress> webAddresses;
    std::string title; // as typed (UTF-8)
    std::string homepage;
    std::string email;
    bool open = false;
    bool quiet = false;
    bool dryRun = false;
    bool gendex = false;
    std::string siteUrl;
};

void AddNames(std::vector<std::string>& names, std::string list) {
    while (!list.empty()) {
        std::string name;
        CutField(list, ",", '"', name, false);
        name = Trim(name);
        if (!name.empty()) names.push_back(name);
    }
}

// DOCUMENT=ADDRESS, split at the "=" before the address, so that a document
// whose path holds "=" can still be named.
BuildOptions::WebAddress SplitWebAddress(const std::string& value) {
    std::size_t equals = value.find('=');
    for (std::size_t at = equals; at != std::string::npos; at = value.find('=', at + 1))
        if (IsWebLink(std::string_view(value).substr(at + 1))) {
            equals = at;
            break;
        }
    if (equals == std::string::npos || equals == 0)
        throw UsageError{Say("#1607.26=--url vraagt DOCUMENT=ADRES, niet %1", {value})};
    return {value.substr(0, equals), value.substr(equals + 1)};
}

// The same file twice in the list, by whatever spelling (a link, "./", "..").
void RefuseRepeatedDocuments(const std::vector<BuildOptions::Document>& documents) {
    for (std::size_t i = 1; i < documents.size(); ++i)
        for (std::size_t j = 0; j < i; ++j) {
            const std::string& a = documents[j].path;
            const std::string& b = documents[i].path;
            if (SameDocument(a, b))
                throw UsageError{
                    a == b ? Say("#1607.27=%1: het document is twee keer gegeven", {b})
                           : Say("#1607.28=%1: het document is twee keer gegeven (ook als %2)",
                                 {b, a})};
        }
}

const std::vector<Option<BuildOptions>>& OptionTable() {
    using O = BuildOptions;
    using V = const std::string&;
    static const std::vector<Option<O>> table = {
        {{"--unselected"},
         "DOCUMENT",
         "#1607.2=een genoemd maar niet gekozen document op deze plaats",
         [](O& o, V v) {
             o.documents.push_back({v, false});
         }},
        {{"-l", "--layout"},
         "#1607.3=BESTAND|TITEL",
         "#1607.4=de stijl (standaard: de eerste op titel)",
         [](O& o, V v) { o.layout = v; }},
        {{"-o", "--output"},
         "#1606.19=MAP",
         "#1607.5=uitvoermap (gemaakt als hij ontbreekt)",
         [](O& o, V v) { o.output = v; }},
        {{"-b", "--base"},
         "#1606.22=NAAM",
         "#1607.6=basisnaam van de bestanden (standaard KESTRIN-Index)",
         [](O& o, V v) { o.base = v; }},
        {{"-i", "--index-type"},
         "1..6",
         "#1607.7=letter, twee letters, ongeveer 50/100/250/500 delen; auto (standaard): de "
         "minste pagina's die onder 2 MB blijven; per letter als de stijl geen indeling kent",
         [](O& o, V v) {
             o.indexType = IndexTypeFromText(v);
             if (o.indexType == TKSindexType::NotChosen)
                 throw UsageError{Say("#1607.8=de indeling moet 1 tot 6 of auto zijn")};
         }},
        {{"--no-years"},
         "",
         "#1607.9=geen jaartallen in de index tonen (standaard getoond)",
         [](O& o, V) { o.years = false; }},
        // Years are shown by default; the option that asked for them stays.
        {{"--years"},
         "",
         "#1607.10=jaartallen tonen (de standaard)",
         [](O& o, V) { o.years = true; }},
        {{"--ignore-years"},
         "",
         "#1607.11=dubbelen samenvoegen zonder de jaartallen te vergelijken",
         [](O& o, V) { o.ignoreYears = true; }},
        {{"--split"},
         "#1607.12=NAAM[,NAAM]",
         "#1607.13=deze uitvoer over pagina's verdelen (standaard: alle)",
         [](O& o, V v) { AddNames(o.split, v); }},
        {{"--no-split"},
         "#1607.12=NAAM[,NAAM]",
         "#1607.14=deze uitvoer als \xE9\xE9n bestand schrijven",
         [](O& o, V v) { AddNames(o.noSplit, v); }},
        {{"--title"},
         "#1606.21=TEKST",
         "#1607.15=de titel van de index",
         [](O& o, V v) { o.title = v; }},
        {{"--homepage"},
         "URL",
         "#1607.16=het adres van uw homepage",
         [](O& o, V v) { o.homepage = v; }},
        {{"--email"}, "#1606.23=ADRES", "#1607.17=uw e-mailadres", [](O& o, V v) { o.email = v; }},
        {{"--url"},
         "#1607.18=DOCUMENT=ADRES",
         "#1607.19=het webadres van de map waarin de stamboom van het document gepubliceerd is; "
         "de index linkt dan daar naar de stamboom (DOCUMENT zoals gegeven of zijn bestandsnaam)",
         [](O& o, V v) { o.webAddresses.push_back(SplitWebAddress(v)); }},
        {{"--gendex"},
         "",
         "#1607.20=ook gendex.txt schrijven: elke persoon van elke stamboom, \xE9\xE9n regel per "
         "persoon, voor de naamnetwerken (UTF-8)",
         [](O& o, V) { o.gendex = true; }},
        {{"--site-url"},
         "#1606.23=ADRES",
         "#1607.21=het eigen http(s)-adres van de site: ook sitemap.xml van elke pagina schrijven "
         "en de links van gendex.txt volledig maken",
         [](O& o, V v) {
             if (const std::string problem = CheckSiteAddress(v); !problem.empty())
                 throw UsageError{MessageToUtf8(problem)};
             o.siteUrl = v;
         }},
        {{"--open"},
         "",
         "#1607.22=het resultaat in de browser openen",
         [](O& o, V) { o.open = true; }},
        {{"-q", "--quiet"}, "", "#1607.23=geen voortgang tonen", [](O& o, V) { o.quiet = true; }},
        {{"--dry-run"},
         "",
         "#1607.24=de oude resultaten die de run zou wissen, de bestanden die hij naar de "
         "prullenbak zou verplaatsen en de bestanden die hij zou schrijven opsommen, en niets "
         "veranderen",
         [](O& o, V) { o.dryRun = true; }},
    };
    return table;
}

std::string Usage() {
    return Say("#1607.1=gebruik: kestrin-index build [OPTIES] DOCUMENT.htx...") + "\n" +
           Wrapped(Say("#1612.14=Een DOCUMENT kan ook het https-adres zijn van een indexdocument, "
                       "een gendex.txt of een GEDCOM-bestand: het wordt bij elke run opgehaald "
                       "(alleen als het veranderd is) en de stamboom krijgt de map van dat adres "
                       "als webadres."),
                   2) +
           OptionsUsage(OptionTable()) +
           "  --debug[=N] --developer[=N] --temp=" + Say("#1606.19=MAP") + " --language=X\n" +
           Wrapped(Say("#1607.25=afsluitstatus: 0 gedaan, 1 mislukt of een bestand van de stijl "
                       "ontbreekt, 2 gebruiksfout; 130/143/129 gestopt door Ctrl-C, SIGTERM of "
                       "SIGHUP"),
                   2);
}

BuildOptions ParseOptions(const std::vector<std::string>& args) {
    BuildOptions o;
    ParseByTable(OptionTable(), args, o, [&o](const std::string& document) {
        o.documents.push_back({document, true});
    });
    if (o.documents.empty()) throw UsageError{Say("#1607.29=geen indexdocumenten gegeven")};
    if (o.output.empty()) throw UsageError{Say("#1607.30=geen uitvoermap gegeven (-o MAP)")};
    if (o.ignoreYears && !MayIgnoreYears(o.ShowsYears()))
        throw UsageError{Say("#1607.31=--years en --ignore-years sluiten elkaar uit")};
    if (const std::string problem = CheckBaseName(o.base); !problem.empty())
        throw UsageError{MessageToUtf8(problem)};
    RefuseRepeatedDocuments(o.documents);
    return o;
}

// The run set-up filled from the options; everything that can be checked
// before the run, all problems at once.
class BuildSetup {
public:
    BuildSetup(const BuildOptions& options, const TKScommon& environment)
        : options_(options), environment_(environment) {}

    std::vector<TKSproblem> Check() {
        for (const BuildOptions::Document& document : options_.documents)
            setup_.Documents.Add(document.path, document.selected);
        setup_.OutputFolder = options_.output;
        setup_.BaseName = options_.base;
        setup_.IndexType = options_.indexType;
        setup_.IndexWithYears = options_.ShowsYears();
        setup_.DuplicatesIgnoreYears = options_.ignoreYears;
        setup_.WriteGendex = options_.gendex;
        setup_.SiteAddress = options_.siteUrl;
        setup_.SetTypedTexts(options_.title, options_.homepage, options_.email);
        SetWebAddresses();
        setup_.FetchDocuments(environment_.TempFolder);
        Note(setup_.CheckDocuments());
        if (auto layout = FindLayout()) {
            setup_.SetLayout(std::move(layout));
            Note(setup_.ChooseSplits(options_.split, options_.noSplit));
            // Without -i the pages stay light.
            if (options_.indexType == TKSindexType::NotChosen)
                setup_.IndexType = DefaultIndexType(setup_.Layout(), true);
            Note(setup_.CheckLayout());
        }
        Note(setup_.CheckOutputFolder());
        // What the run would find at its start, unless told already.
        for (const TKSproblem& problem : setup_.CheckRunStart())
            if (std::none_of(problems_.begin(), problems_.end(), [&](const TKSproblem& known) {
                    return known.Path == problem.Path &&
                           known.Reason == MessageToUtf8(problem.Reason);
                }))
                Note(problem.Path, MessageToUtf8(problem.Reason));
        return problems_;
    }

    TKSrunSettings Settings() const { return setup_.Settings(environment_); }
    std::vector<TKSproblem> MakeOutputFolder() {
        Note(setup_.MakeOutputFolder());
        return problems_;
    }

private:
    void Note(const std::string& path, const std::string& text) {
        problems_.push_back({path, text});
    }
    void Note(const std::vector<TKSproblem>& problems) {
        for (const TKSproblem& problem : problems)
            Note(problem.Path, MessageToUtf8(problem.Reason));
    }

    // The document a --url names: as given, the same file, or by its file
    // name when only one document has that name; -1 when none (noted).
    int NamedDocument(const std::string& name) {
        const TKSdocumentList& documents = setup_.Documents;
        std::vector<int> byFileName;
        for (std::size_t i = 0; i < documents.Count(); ++i) {
            const std::string& given = documents.GivenPath(i);
            if (given == name) return static_cast<int>(i);
            if (fs::path(given).filename() == name) byFileName.push_back(static_cast<int>(i));
        }
        if (const int same = documents.Find(name); same >= 0) return same;
        if (byFileName.size() == 1) return byFileName.front();
        Note(name, byFileName.empty()
                       ? Say("#1582.2=--url noemt geen document van deze opdracht")
                       : Say("#1582.3=--url noemt meer documenten met deze naam; geef het pad"));
        return -1;
    }

    void SetWebAddresses() {
        std::vector<bool> set(setup_.Documents.Count(), false);
        for (const BuildOptions::WebAddress& given : options_.webAddresses) {
            const int index = NamedDocument(given.document);
            if (index < 0) continue;
            const auto i = static_cast<std::size_t>(index);
            if (set[i])
                Note(given.document, Say("#1582.4=--url voor dit document staat er twee keer"));
            set[i] = true;
            setup_.Documents.SetTypedWebAddress(i, given.address);
        }
    }

    // The layout named by file or by title (default: the first by title).
    std::unique_ptr<TKSkslData> FindLayout() {
        const std::string folder = environment_.LanguageFolder + "layout/";
        std::error_code ec;
        if (!options_.layout.empty() && fs::is_regular_file(options_.layout, ec)) {
            auto layout = std::make_unique<TKSkslData>();
            std::string unreadable;
            if (!CheckFileKind(options_.layout, "KSL", 1, 1, &unreadable) && !unreadable.empty())
                Note(options_.layout, Say("#1563.2=kan niet gelezen worden") + ": " + unreadable);
            else if (layout->Load(AbsolutePath(options_.layout), environment_.ResourceFolder))
                return layout;
            else
                Note(options_.layout, Say("#1566.1=geen stijl (type KSL, formaat 1)"));
            return nullptr;
        }
        if (IsOtherThanFile(options_.layout) && !IsFolder(options_.layout)) {
            Note(options_.layout, NotAFileText());
            return nullptr;
        }
        auto layouts = LoadLayouts(folder);
        if (options_.layout.empty()) {
            if (!layouts.empty()) return std::move(layouts.front());
            Note(folder, Say("#1566.2=geen stijlen gevonden"));
            return nullptr;
        }
        const int found = FindLayoutByTitle(layouts, Utf8ToWindows1252(options_.layout));
        if (found >= 0) return std::move(layouts[static_cast<std::size_t>(found)]);
        Note(options_.layout,
             Say("#1566.3=geen stijlbestand met deze naam en geen stijl met deze titel in %1",
                 {folder}));
        return nullptr;
    }

    const BuildOptions& options_;
    const TKScommon& environment_;
    TKSrunSetup setup_;
    std::vector<TKSproblem> problems_;
};

void PrintSummary(std::ostream& err, const TKSbuilder& builder, const TKSrunResult& result,
                  double seconds) {
    int64_t lines = 0;
    int selected = 0;
    const std::vector<TKSrunDocument>& documents = builder.Settings().Documents;
    for (std::size_t i = 0; i < documents.size(); ++i)
        if (documents[i].Selected) {
            ++selected;
            lines += builder.DocumentRun(i).EntryCount;
        }
    // The start page is the line on standard output.
    for (const TKSsummaryLine& line : SummaryLines(result))
        err << TerminalText(line.Where + line.Separator + MessageToUtf8(line.Text)) << '\n';
    err << Say("#1566.4=%1{ document| documenten}, %2{ indexregel| indexregels}, %3{ samengevoegde "
               "naam| samengevoegde namen}, %4{ pagina| pagina's}, %5{ bestand| bestanden} "
               "geschreven in %6 s",
               {Shown(selected), Shown(lines), Shown(builder.State().EntryTotalCount),
                Shown(builder.State().PageCount), Shown(result.FilesWritten.size()),
                Shown(static_cast<int64_t>(seconds * 1000) / 1000.0)})
        << '\n';
}

// The warnings of the run, one line each; a division is suggested as the
// switch that chooses it.
void PrintRunWarnings(const TKSrunResult& result, std::ostream& err) {
    for (const TKSrunWarning& warning : result.Warnings) {
        // Reported with the other problems of the layout, after the run.
        if (warning.Kind == TKSrunWarningKind::MissingLayoutFile) continue;
        err << WarningPrefix();
        if (warning.Kind != TKSrunWarningKind::Division)
            err << TerminalText(warning.Where + WarningSeparator(warning) +
                                MessageToUtf8(warning.Text));
        else if (warning.SuggestedIndexType == TKSindexType::Auto)
            err << Say("#1566.8=-i auto (de grootste achternamen in delen knippen) zou de "
                       "indexpagina's onder 2 MB houden");
        else
            err << Say("#1566.9=-i %1 (%2) zou de indexpagina's onder 2 MB houden",
                       {Shown(IndexTypeNumber(warning.SuggestedIndexType)),
                        MessageToUtf8(IndexTypeShortName(warning.SuggestedIndexType))});
        err << '\n';
    }
}

void OpenInBrowser(const std::string& path) {
    if (fork() == 0) {
        execlp("xdg-open", "xdg-open", path.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
}

// What the tool says when the run is over; the exit status.
int Report(const TKSrunResult& result, const std::vector<TKSproblem>& missing, std::ostream& err) {
    if (result.Stopped) {
        err << "kestrin-index: " << Say("#1566.16=gestopt") << '\n';
        return StopSignals::Received() != 0 ? StopSignals::ExitStatus() : 130;
    }
    if (result.Failed) {
        err << "kestrin-index: "
            << ProblemLine({result.Problem.Path, MessageToUtf8(result.Problem.Reason)}) << '\n';
        return 1;
    }
    for (const TKSproblem& file : missing)
        err << "kestrin-index: " << Say("#1566.17=stijlbestand") << " " << ProblemLine(file)
            << '\n';
    return missing.empty() && result.MissingFiles.empty() ? 0 : 1;
}

// Lists "delete PATH", "trash PATH" and "write PATH" lines; nothing outside the run's
// private temporary folder changes.
int DryRun(BuildSetup& setup, std::ostream& out, std::ostream& err) {
    TKSbuilder builder(setup.Settings());
    TKSquietRunProgress quiet;
    TKSgenerator generator(builder, quiet);
    TKSrunPlan plan;
    try {
        plan = generator.PlanRun();
    } catch (const std::exception& e) {
        err << "kestrin-index: " << ErrorLine(e) << '\n';
        return 1;
    }
    if (StopSignals::Received() != 0) {
        err << "kestrin-index: " << Say("#1566.16=gestopt") << '\n';
        return StopSignals::ExitStatus();
    }
    for (const std::string& path : plan.Deletions)
        out << "delete " << TerminalText(path) << '\n';
    for (const std::string& path : plan.Trash)
        out << "trash " << TerminalText(path) << '\n';
    for (const std::string& path : plan.Outputs)
        out << "write " << TerminalText(path) << '\n';
    return 0;
}

int Build(BuildOptions& options, std::ostream& out, std::ostream& err, bool errIsTerminal) {
    const StopSignals stopSignals;
    const TKScommon& environment = Environment();
    BuildSetup setup(options, environment);
    std::vector<TKSproblem> problems = setup.Check();
    if (problems.empty() && options.dryRun) return DryRun(setup, out, err);
    if (problems.empty() && StopSignals::Received() == 0) problems = setup.MakeOutputFolder();
    for (const TKSproblem& problem : problems)
        err << "kestrin-index: " << ProblemLine(problem) << '\n';
    if (!problems.empty()) return 1;
    if (StopSignals::Received() != 0) {
        err << "kestrin-index: " << Say("#1566.16=gestopt") << '\n';
        return StopSignals::ExitStatus();
    }

    TKSbuilder builder(setup.Settings());
    const bool show = !options.quiet && errIsTerminal;
    const auto start = std::chrono::steady_clock::now();
    TKSrunResult result;
    std::vector<TKSproblem> missing;
    {
        TerminalProgress progress(err, show, builder);
        TKSgenerator generator(builder, progress);
        result = generator.GenerateIndex();
        missing = progress.MissingFiles();
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    PrintRunWarnings(result, err);
    for (const std::string& path : result.Trashed)
        err << "kestrin-index: "
            << Say("#1567.1=naar de prullenbak verplaatst: %1", {TerminalText(path)}) << '\n';
    const int status = Report(result, missing, err);
    if (show && result.OutputUnchanged) err << MessageToUtf8(UnchangedOutputText()) << '\n';
    if (status != 0) return status;
    if (show) PrintSummary(err, builder, result, seconds);
    if (!result.ResultPath.empty()) out << result.ResultPath << '\n';
    if (options.open && result.MayOpen) OpenInBrowser(result.ResultPath);
    return 0;
}

} // namespace

std::vector<std::string> BuildOptionsWithValue() {
    return OptionsWithValue(OptionTable());
}

int RunBuild(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             bool errIsTerminal) {
    BuildOptions options;
    try {
        options = ParseOptions(args);
    } catch (const UsageError& e) {
        if (e.message.empty()) {
            out << Usage();
            return 0;
        }
        err << "kestrin-index build: " << TerminalText(e.message) << '\n' << Usage();
        return kUsageError;
    }
    return Build(options, out, err, errIsTerminal);
}

} // namespace ks::cli
