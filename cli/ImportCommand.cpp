#include "cli/ImportCommand.h"

#include "cli/Messages.h"
#include "cli/OptionTable.h"
#include "common/KScodepage.h"
#include "common/KScommon.h"
#include "common/KSlocal.h"
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
        throw UsageError{"--living-age must be a number of years from 1 to " +
                         std::to_string(kMaxLivingAge) + ", not " + value};
    return age;
}

const std::vector<Option<ImportOptions>>& OptionTable() {
    using O = ImportOptions;
    using V = const std::string&;
    static const std::vector<Option<O>> table = {
        {{"-o", "--output"},
         "FILE.htx",
         "the index document to write (default: beside FILE,\n"
         "named after it); an existing index document is\n"
         "replaced, any other file is left alone",
         [](O& o, V v) { o.Output = v; }},
        {{"--title"},
         "TEXT",
         "the title of the tree (default: its folder's name)",
         [](O& o, V v) { o.Title = v; }},
        {{"--description"},
         "TEXT",
         "one line about the tree (default: a GEDCOM file's\nheader note)",
         [](O& o, V v) { o.Description = v; }},
        {{"--user"},
         "NAME",
         "who made the tree (default: a GEDCOM file's\nsubmitter)",
         [](O& o, V v) { o.UserName = v; }},
        {{"--email"}, "ADDRESS", "the maker's e-mail address", [](O& o, V v) { o.Email = v; }},
        {{"--homepage"}, "URL", "the maker's home page", [](O& o, V v) { o.Homepage = v; }},
        {{"--living"},
         "",
         "keep persons who may be alive (left out by default);\n"
         "a person the file keeps private (RESN privacy or\n"
         "confidential) is always left out",
         [](O& o, V) { o.IncludeLiving = true; }},
        {{"--no-living"},
         "",
         "leave out persons who may be alive, also when the\n"
         "last import kept them",
         [](O& o, V) { o.IncludeLiving = false; }},
        {{"--living-age"},
         "YEARS",
         "N of the living rule below (default 100)",
         [](O& o, V v) { o.LivingAge = LivingAge(v); }},
        {{"--link"},
         "PATTERN",
         "the link of each person, for name lists without one\n"
         "(needed for GEDCOM files); {id} stands for the record's\n"
         "identifier, {surname} and {given} for the names; a\n"
         "relative path or an http or https address",
         [](O& o, V v) { o.LinkPattern = v; }},
        {{"--start-page"},
         "PAGE",
         "the page that opens the tree (the document's htmfile),\n"
         "relative to the folder of FILE or an http or https\n"
         "address (default: index.htm or index.html beside\n"
         "FILE, else none: the tree's first person page is used)",
         [](O& o, V v) { o.StartPage = v; }},
        {{"--fresh"},
         "",
         "take nothing from the index document replaced; without\n"
         "it, what is not given is as the last import chose it",
         [](O& o, V) { o.Fresh = true; }},
    };
    return table;
}

std::string Usage() {
    return "usage: kestrin-index import [OPTIONS] FILE\n" +
           OptionLines({"FILE"}, "",
                       "a GENDEX name list (gendex.txt, UTF-8 or Windows-1252)\n"
                       "or a GEDCOM file (5.5.1, 5.5.5 or 7.0, any character set)") +
           OptionsUsage(OptionTable()) +
           "A person may be alive unless presumed dead, N being --living-age:\n"
           "  the file gives a death, burial or cremation, dated or not;\n"
           "  any dated event or fact of theirs (birth, christening, baptism,\n"
           "    residence, the marriage of a family of theirs, ...) is N years\n"
           "    back or more, by the latest year its date allows;\n"
           "  a parent was born N + 45 years back or more;\n"
           "  a spouse was born N + 40 years back or more;\n"
           "  a child was born N - 15 years back or more.\n"
           "Links stay relative to the folder of FILE; the report goes to standard error,\n"
           "the path of the index document to standard output.\n"
           "exit status: 0 done, 1 failed (nothing written), 2 usage error\n";
}

ImportOptions ParseOptions(const std::vector<std::string>& args) {
    ImportOptions o;
    std::vector<std::string> files;
    ParseByTable(OptionTable(), args, o,
                 [&files](const std::string& file) { files.push_back(file); });
    if (files.empty()) throw UsageError{"no file to import given"};
    if (files.size() > 1) throw UsageError{"one file at a time: " + files[1]};
    o.Source = files[0];
    // The rule of the core, which the wizard's imports follow too.
    if (!o.LinkPattern.empty())
        if (const std::string problem = LinkPatternProblem(o.LinkPattern); !problem.empty())
            throw UsageError{"--link: " + MessageToUtf8(problem)};
    if (const std::string problem = StartPageProblem(o.StartPage.value_or("")); !problem.empty())
        throw UsageError{"--start-page: " + MessageToUtf8(problem)};
    if (o.LinkPattern.empty() && LooksLikeGedcom(o.Source) &&
        (o.Fresh || KeptImportChoices(ImportDocumentPath(o)).LinkPattern.empty()))
        throw UsageError{"a GEDCOM file holds no links to the pages of its tree: give --link "
                         "PATTERN"};
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
