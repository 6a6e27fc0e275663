#include "import/KSimport.h"

#include "common/KScodepage.h"
#include "common/KSerrors.h"
#include "common/KSfileio.h"
#include "common/KSlocal.h"
#include "common/KSpaths.h"
#include "common/KSunicode.h"
#include "common/KSwebLink.h"
#include "import/KSgedcomReader.h"
#include "import/KSgendexReader.h"
#include "import/KSimportFolder.h"
#include "import/KSimportWriter.h"
#include "import/KSnameParticles.h"
#include "import/KSpersonLink.h"

#include <cctype>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <system_error>

namespace ks {

namespace fs = std::filesystem;

namespace {

constexpr const char* kGendexName = "gendex.txt";
// The report names so many skipped lines; the count says how many there are.
constexpr std::size_t kSkippedLinesShown = 10;

bool IsGendexName(const std::string& path) {
    const std::string name = fs::path(path).filename().string();
    if (name.size() != std::string(kGendexName).size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(name[i])) != kGendexName[i]) return false;
    return true;
}

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Text typed by the user, as a message of the run (Windows-1252) quotes it.
std::string Typed(const std::string& text) {
    return Utf8ToNearestWindows1252(text).Text;
}

// Text typed by the user, as the document keeps it: in UTF-8 composed, and
// a byte that is no UTF-8 (an argument in another code page) read as
// Windows-1252, so the document holds valid UTF-8 only.
std::string Typed(const std::string& text, TKSimportCharset charset) {
    return charset == TKSimportCharset::Utf8 ? ComposedText(MessageToUtf8(text)) : Typed(text);
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

std::string Today(const std::tm& now) {
    char text[16];
    std::strftime(text, sizeof text, "%d-%m-%Y", &now);
    return text;
}

TKSimportHeader Header(const TKSimportRequest& request, const TKSimportReport& report,
                       const std::string& linkBase, const std::tm& now) {
    TKSimportHeader header;
    const TKSimportCharset charset = ChosenCharset(request);
    const fs::path source = fs::absolute(request.Source).lexically_normal();
    header.Title =
        Typed(request.Title.value_or("").empty() ? source.parent_path().filename().string()
                                                 : *request.Title,
              charset);
    header.UserName = request.UserName.value_or("").empty() ? report.SourceUser
                                                            : Typed(*request.UserName, charset);
    const std::string description = request.Description.value_or("").empty()
                                        ? report.SourceDescription
                                        : Typed(*request.Description, charset);
    if (!description.empty()) header.Description.push_back(description);
    header.Email = Typed(request.Email.value_or(""), charset);
    header.Homepage = Typed(request.Homepage.value_or(""), charset);
    header.DataFile = Typed(source.filename().string(), charset);
    header.Created = Today(now);
    header.Choices = ImportChoiceLines(request);
    std::error_code ec;
    if (!request.StartPage.value_or("").empty()) {
        header.HtmFile = UsablePersonLink(Trimmed(*request.StartPage));
        if (!NamesScheme(header.HtmFile)) header.HtmFile.insert(0, linkBase);
        return header;
    }
    for (const char* start : {"index.htm", "index.html"})
        if (fs::is_regular_file(source.parent_path() / start, ec)) {
            header.HtmFile = linkBase + start;
            break;
        }
    return header;
}

} // namespace

std::vector<std::string> ImportReportLines(const TKSimportReport& report) {
    std::vector<std::string> lines = {
        LocalText("#1583.10=%1{ persoon| personen} gelezen, %2 geschreven, %3 weggelaten als "
                  "mogelijk levend, %4 "
                  "als priv\xE9, %5 zonder naam, %6{ letter| letters} vervangen",
                  {std::to_string(report.PersonsRead), std::to_string(report.PersonsWritten),
                   std::to_string(report.LeftOutLiving), std::to_string(report.LeftOutPrivate),
                   std::to_string(report.LeftOutNoName), std::to_string(report.LettersReplaced)})};
    if (report.MissingTrailer)
        lines.push_back(
            LocalText("#1583.12=het bestand eindigt zonder 0 TRLR; misschien ontbreekt het einde"));
    if (!report.ExampleLinkPattern.empty())
        lines.push_back(LocalText("#1601.1=het linkpatroon %1 leidt naar een voorbeeldadres: de "
                                  "links van deze personen werken niet",
                                  {report.ExampleLinkPattern}));
    if (report.SkippedLines.empty()) return lines;
    std::string numbers;
    for (std::size_t i = 0; i < report.SkippedLines.size() && i < kSkippedLinesShown; ++i)
        numbers += (i == 0 ? "" : ", ") + std::to_string(report.SkippedLines[i]);
    if (report.SkippedLines.size() > kSkippedLinesShown) numbers += ", ...";
    lines.push_back(LocalText("#1583.11=%1{ regel| regels} overgeslagen: %2",
                              {std::to_string(report.SkippedLines.size()), numbers}));
    return lines;
}

std::string StartPageProblem(const std::string& page) {
    const std::string typed = Trimmed(page);
    if (typed.empty()) return {};
    for (const char c : typed) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte >= 0x7F || c == '\'' || c == '`' || c == '{' || c == '}')
            return LocalText("#1585.7=startpagina \"%1\": spaties, aanhalingstekens, <, >, \\ en "
                             "letters buiten ASCII moeten als %XX geschreven worden",
                             {Typed(typed)});
    }
    if (UsablePersonLink(typed).empty())
        return LocalText("#1585.8=startpagina \"%1\": alleen een relatief pad of een http- of "
                         "https-adres kan een link zijn",
                         {Typed(typed)});
    return {};
}

bool IsNameList(const std::string& path) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return false;
    return IsGendexName(path) || LooksLikeGedcom(path);
}

bool NeedsLinkPattern(const std::string& path) {
    return LooksLikeGedcom(path);
}

std::string ImportDocumentPath(const TKSimportRequest& request) {
    std::error_code ec;
    if (request.Output.empty()) return fs::path(request.Source).replace_extension(".htx").string();
    if (fs::is_directory(request.Output, ec))
        return (fs::path(request.Output) / fs::path(request.Source).stem()).string() + ".htx";
    return request.Output;
}

bool ImportIsCurrent(const std::string& path) {
    TKSimportRequest request;
    request.Source = path;
    const std::string document = ImportDocumentPath(request);
    std::error_code sourceEc, documentEc;
    const auto sourceTime = fs::last_write_time(path, sourceEc);
    const auto documentTime = fs::last_write_time(document, documentEc);
    return !sourceEc && !documentEc && documentTime >= sourceTime &&
           ImportTargetProblem(document).empty();
}

TKSimportResult ImportNameList(const TKSimportRequest& given) {
    TKSimportResult result;
    result.Document = ImportDocumentPath(given);
    TKSimportRequest request = given;
    if (!given.Fresh) result.Kept = TakeKeptChoices(request, KeptImportChoices(result.Document));
    // Checked before anything else, so that both front ends refuse the same patterns.
    if (!request.LinkPattern.empty())
        if (const std::string problem = LinkPatternProblem(request.LinkPattern); !problem.empty())
            throw EKSError(request.Source, problem);
    if (const std::string problem = StartPageProblem(request.StartPage.value_or(""));
        !problem.empty())
        throw EKSError(request.Source, problem);
    const int livingAge = request.LivingAge.value_or(kDefaultLivingAge);
    if (livingAge < 1)
        throw EKSError(request.Source,
                       LocalText("#1585.9=de leeftijd tot waar iemand kan leven moet minstens 1 "
                                 "jaar zijn"));
    if (IsOtherThanFile(request.Source)) throw EKSError(request.Source, NotAFileText());
    if (const std::string problem = ImportTargetProblem(result.Document); !problem.empty())
        throw EWriteError(result.Document, problem);
    const bool gedcom = LooksLikeGedcom(request.Source);
    if (gedcom && request.LinkPattern.empty())
        throw EKSError(request.Source,
                       LocalText("#1585.1=een GEDCOM-bestand bevat geen links naar de pagina's "
                                 "van zijn stamboom: geef een linkpatroon"));
    const std::time_t clock =
        std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm now{};
    localtime_r(&clock, &now);
    const std::string linkBase = LinkBase(request.Source, result.Document);
    RemoveAbandonedImportFolders(request.TempFolder);
    const TKSimportCharset charset = ChosenCharset(request);
    TKSimportWriter writer(now.tm_year + 1900, request.IncludeLiving.value_or(false), linkBase,
                           TKSimportSorting{.TempFolder = request.TempFolder}, livingAge, charset);
    const auto take = [&](TKSimportPerson& person) {
        FinishSurname(person, {}, charset);
        writer.Add(person, result.Report);
    };
    if (gedcom && IsExampleAddress(request.LinkPattern))
        result.Report.ExampleLinkPattern = Typed(request.LinkPattern);
    if (gedcom)
        ReadGedcom(request.Source, TKSgedcomOptions{request.LinkPattern, charset}, take,
                   result.Report, [&](const TKSimportFamily& family) { writer.AddFamily(family); });
    else
        ReadGendex(request.Source, take, result.Report, charset);
    writer.Write(result.Document, Header(request, result.Report, linkBase, now), result.Report);
    return result;
}

} // namespace ks
