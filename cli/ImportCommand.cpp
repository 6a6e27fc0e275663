#include "cli/ImportCommand.h"

#include "cli/Messages.h"
#include "common/KScodepage.h"
#include "common/KSlocal.h"
#include "import/KSgedcomReader.h"
#include "import/KSgendexReader.h"
#include "import/KSimportPerson.h"
#include "import/KSimportWriter.h"
#include "import/KSnameParticles.h"

#include <chrono>
#include <ctime>
#include <filesystem>
#include <functional>
#include <ostream>

namespace ks::cli {

namespace fs = std::filesystem;

const std::vector<std::string> kImportOptionsWithValue = {
    "-o", "--output", "--title", "--user", "--email", "--homepage", "--link"};

namespace {

constexpr int kUsageError = 2;
constexpr std::size_t kSkippedLinesShown = 10;

const char* const kUsage =
    "usage: kestrin-index import [OPTIONS] FILE\n"
    "  FILE                    a GENDEX name list (gendex.txt, UTF-8 or Windows-1252)\n"
    "                          or a GEDCOM file (5.5.1, 5.5.5 or 7.0, any character set)\n"
    "  -o, --output FILE.htx   the index document to write (default: beside FILE,\n"
    "                          named after it); an existing index document is\n"
    "                          replaced, any other file is left alone\n"
    "  --title TEXT            the title of the tree (default: its folder's name)\n"
    "  --user NAME, --email ADDRESS, --homepage URL\n"
    "  --living                keep persons who may be alive (left out by default:\n"
    "                          no death or burial, and born less than 100 years ago\n"
    "                          or without a year of birth)\n"
    "  --link PATTERN          the link of each person, for name lists without one\n"
    "                          (needed for GEDCOM files); {id} stands for the record's\n"
    "                          identifier, {surname} and {given} for the names\n"
    "Links stay relative to the folder of FILE; the report goes to standard error,\n"
    "the path of the index document to standard output.\n"
    "exit status: 0 done, 1 failed (nothing written), 2 usage error\n";

struct UsageError {
    std::string message;
};

struct ImportOptions {
    std::string source;
    std::string output;
    std::string title; // the texts as typed (UTF-8)
    std::string user;
    std::string email;
    std::string homepage;
    std::string linkPattern;
    bool living = false;
};

ImportOptions ParseOptions(const std::vector<std::string>& args) {
    ImportOptions o;
    bool onlyFiles = false;
    std::vector<std::string> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (onlyFiles) {
            files.push_back(a);
            continue;
        }
        auto value = [&]() -> std::string {
            if (i + 1 >= args.size()) throw UsageError{"missing value after " + a};
            return args[++i];
        };
        if (a == "-h" || a == "--help")
            throw UsageError{""};
        else if (a == "-o" || a == "--output")
            o.output = value();
        else if (a == "--title")
            o.title = value();
        else if (a == "--user")
            o.user = value();
        else if (a == "--email")
            o.email = value();
        else if (a == "--homepage")
            o.homepage = value();
        else if (a == "--link")
            o.linkPattern = value();
        else if (a == "--living")
            o.living = true;
        else if (a == "--")
            onlyFiles = true;
        else if (a.size() > 1 && a[0] == '-')
            throw UsageError{"unknown option " + a};
        else
            files.push_back(a);
    }
    if (files.empty()) throw UsageError{"no file to import given"};
    if (files.size() > 1) throw UsageError{"one file at a time: " + files[1]};
    o.source = files[0];
    if (o.linkPattern.empty() && LooksLikeGedcom(o.source))
        throw UsageError{"a GEDCOM file holds no links to the pages of its tree: give --link "
                         "PATTERN"};
    return o;
}

// A text of the run in its language, for the terminal, with values.
std::string Say(const std::string& literal, const std::vector<std::string>& values = {}) {
    return WithValues(MessageToUtf8(LocalText(literal)), values);
}

// Text typed on the command line, as the document keeps it.
std::string Typed(const std::string& text) {
    return Utf8ToNearestWindows1252(text).Text;
}

// A name list read through its reader: every person handed to take.
using Reader =
    std::function<void(const std::string& path, const ImportOptions&,
                       const std::function<void(TKSimportPerson&)>& take, TKSimportReport&)>;

// The reader for the file at path: GEDCOM for a file that starts as one,
// else GENDEX.
Reader ChooseReader(const std::string& path) {
    if (LooksLikeGedcom(path))
        return [](const std::string& file, const ImportOptions& o,
                  const std::function<void(TKSimportPerson&)>& take, TKSimportReport& report) {
            ReadGedcom(file, TKSgedcomOptions{o.linkPattern}, take, report);
        };
    return [](const std::string& path, const ImportOptions&,
              const std::function<void(TKSimportPerson&)>& take,
              TKSimportReport& report) { ReadGendex(path, take, report); };
}

// The document's default place: beside the source, named after it.
std::string OutputPath(const ImportOptions& o) {
    std::error_code ec;
    if (o.output.empty()) return fs::path(o.source).replace_extension(".htx").string();
    if (fs::is_directory(o.output, ec))
        return (fs::path(o.output) / fs::path(o.source).stem()).string() + ".htx";
    return o.output;
}

// The way from the folder of the document to the folder of the source, put
// before relative links ("" when both are the same folder).
std::string LinkBase(const std::string& source, const std::string& document) {
    const fs::path sourceFolder = fs::absolute(source).parent_path().lexically_normal();
    const fs::path documentFolder = fs::absolute(document).parent_path().lexically_normal();
    const fs::path way = sourceFolder.lexically_relative(documentFolder);
    if (way.empty() || way == ".") return {};
    return way.generic_string() + "/";
}

std::string Today(std::tm& now) {
    char text[16];
    std::strftime(text, sizeof text, "%d-%m-%Y", &now);
    return text;
}

TKSimportHeader Header(const ImportOptions& o, const std::string& linkBase, std::tm& now) {
    TKSimportHeader header;
    const fs::path source = fs::absolute(o.source).lexically_normal();
    header.Title = Typed(o.title.empty() ? source.parent_path().filename().string() : o.title);
    header.UserName = Typed(o.user);
    header.Email = Typed(o.email);
    header.Homepage = Typed(o.homepage);
    header.DataFile = Typed(source.filename().string());
    header.Created = Today(now);
    std::error_code ec;
    for (const char* start : {"index.htm", "index.html"})
        if (fs::is_regular_file(source.parent_path() / start, ec)) {
            header.HtmFile = linkBase + start;
            break;
        }
    return header;
}

void PrintReport(const std::string& source, const TKSimportReport& report, std::ostream& err) {
    err << "kestrin-index: " << TerminalText(source) << ": "
        << Say("#1583.10=%1 personen gelezen, %2 geschreven, %3 weggelaten als mogelijk "
               "levend, %4 zonder naam, %5 letters vervangen",
               {std::to_string(report.PersonsRead), std::to_string(report.PersonsWritten),
                std::to_string(report.LeftOutLiving), std::to_string(report.LeftOutNoName),
                std::to_string(report.LettersReplaced)})
        << '\n';
    if (report.MissingTrailer)
        err << "kestrin-index: " << TerminalText(source) << ": "
            << Say("#1583.12=het bestand eindigt zonder 0 TRLR; misschien ontbreekt het einde")
            << '\n';
    if (report.SkippedLines.empty()) return;
    std::string lines;
    for (std::size_t i = 0; i < report.SkippedLines.size() && i < kSkippedLinesShown; ++i)
        lines += (i == 0 ? "" : ", ") + std::to_string(report.SkippedLines[i]);
    if (report.SkippedLines.size() > kSkippedLinesShown) lines += ", ...";
    err << "kestrin-index: " << TerminalText(source) << ": "
        << Say("#1583.11=%1 regels overgeslagen: %2",
               {std::to_string(report.SkippedLines.size()), lines})
        << '\n';
}

} // namespace

int RunImport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    ImportOptions options;
    try {
        options = ParseOptions(args);
    } catch (const UsageError& e) {
        if (e.message.empty()) {
            out << kUsage;
            return 0;
        }
        err << "kestrin-index import: " << TerminalText(e.message) << '\n' << kUsage;
        return kUsageError;
    }
    const std::string document = OutputPath(options);
    if (const std::string problem = ImportTargetProblem(document); !problem.empty()) {
        err << "kestrin-index: " << TerminalText(document) << ": " << MessageToUtf8(problem)
            << '\n';
        return 1;
    }
    const std::time_t clock =
        std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm now{};
    localtime_r(&clock, &now);
    const std::string linkBase = LinkBase(options.source, document);
    TKSimportWriter writer(now.tm_year + 1900, options.living, linkBase);
    TKSimportReport report;
    ChooseReader(options.source)(
        options.source, options,
        [&](TKSimportPerson& person) {
            FinishSurname(person);
            writer.Add(person, report);
        },
        report);
    writer.Write(document, Header(options, linkBase, now), report);
    PrintReport(options.source, report, err);
    out << TerminalText(document) << '\n';
    return 0;
}

} // namespace ks::cli
