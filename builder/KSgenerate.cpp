#include "builder/KSgenerate.h"

#include "builder/KSbuilder.h"
#include "builder/KShtmlPieces.h"
#include "builder/KSindexDataWriter.h"
#include "builder/KSindexKeysWriter.h"
#include "builder/KSnameListWriter.h"
#include "builder/KSnavigationLink.h"
#include "builder/KSpageText.h"
#include "builder/KSreportListWriter.h"
#include "builder/KSrunChecks.h"
#include "builder/KSrunFolder.h"
#include "builder/KSrunProgress.h"
#include "builder/KSrunWarnings.h"
#include "builder/KSsearchWriter.h"
#include "builder/KSsiteExport.h"
#include "builder/KSstagedOutput.h"
#include "builder/KSurlPath.h"
#include "builder/KSwrittenRecord.h"
#include "common/KSerrors.h"
#include "common/KSfiles.h"
#include "common/KSlocal.h"
#include "common/KSpaths.h"
#include "common/KStextutil.h"
#include "index/KShtxData.h"
#include "index/KSksl.h"
#include "template/KStemplateParser.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace ks {

namespace fs = std::filesystem;

namespace {

const char* const kMergeCaption = "#1541.text=samenvoegen indexen:";
const char* const kDuplicatesCaption = "#1542.text=dubbelen zoeken:";
const char* const kNotFound = "#1547.1=bestand niet gevonden";

// "hh:nn:ss.zzz" of a duration.
std::string ElapsedText(std::chrono::steady_clock::duration elapsed) {
    const long long ms = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld.%03lld", ms / 3600000, ms / 60000 % 60,
                  ms / 1000 % 60, ms % 1000);
    return text;
}

// The next argument: the text before the next comma outside double quotes.
std::string NextArgument(std::string& arguments) {
    std::string field;
    CutField(arguments, ",", '"', field, false);
    return field;
}

// An output is written as a new file in the output folder, never through a
// link that sits at its name and may point anywhere.
void RemoveLink(const std::string& path) {
    if (IsLink(path)) ::unlink(path.c_str());
}

// The text between the brackets of "NAME(...)": "" for "NAME" and "NAME()".
std::string BracketText(const std::string& placeholder) {
    const std::size_t open = placeholder.find('(');
    if (open == std::string::npos) return {};
    const std::size_t end = placeholder.back() == ')' ? placeholder.size() - 1 : placeholder.size();
    return placeholder.substr(open + 1, end - open - 1);
}

std::string FileNameOf(const std::string& path) {
    return path.substr(path.rfind('/') + 1);
}

// What the writer of a builder variable gets: the placeholder and the run it
// writes for. List variables write their lines into the parser's output and
// are replaced by nothing.
struct VariableCall {
    TKSbuilder& builder;
    TKStemplateParser& parser;
    const std::string& placeholder; // name and arguments as written
    std::string arguments;          // after "(", without the closing ")"
    std::vector<std::string>& searchMasks;
    bool indexPages; // the entry being written has a file per index page

    const TKSrunSettings& Settings() const { return builder.Settings(); }
};

// One builder variable: its name, its writer, what it adds to the progress of
// a template that uses it, and whether a split template that uses it goes on
// to a page per index page.
struct BuilderVariable {
    const char* Name;
    std::string (*Write)(VariableCall& call);
    int64_t (*Progress)(const TKSbuilder& builder, bool split); // nullptr: nothing
    bool PagePerIndexPage;
};

int64_t EveryDocument(const TKSbuilder& builder, bool) {
    return static_cast<int64_t>(builder.Settings().Documents.size());
}

int64_t EveryEntry(const TKSbuilder& builder, bool) {
    return builder.EntryTotalCount;
}

int64_t EveryKey(const TKSbuilder& builder, bool split) {
    const int64_t pages = builder.PageCount;
    return split ? pages * pages : pages;
}

// A text as the user typed it, for pages in UTF-8; empty when the text as
// kept is to be written (a page in Windows-1252, nothing was replaced, or
// nothing was kept: a text of marks alone is no text).
const std::string& TypedText(const VariableCall& call, const std::string& kept,
                             const std::string& typed) {
    static const std::string none;
    return call.parser.Utf8Output && !kept.empty() ? typed : none;
}

std::string Link(VariableCall& call, const char* which) {
    return NavigationLink(call.builder, which, call.arguments);
}

const BuilderVariable kBuilderVariables[] = {
    {"FILE",
     [](VariableCall& call) -> std::string {
         const TKSkslData* layout = call.Settings().Layout;
         const TKSkslFile* entry =
             layout != nullptr ? layout->FindItem(NextArgument(call.arguments)) : nullptr;
         return entry ? HrefText(UrlPath(call.builder.OutputName(*entry, 1))) : "";
     },
     nullptr, false},
    {"REPORTLIST",
     [](VariableCall& call) {
         WriteReportList(call.builder, call.parser, call.arguments);
         return std::string();
     },
     EveryDocument, false},
    {"NAMELIST",
     [](VariableCall& call) {
         WriteNameList(call.builder, call.parser, call.arguments);
         return std::string();
     },
     EveryEntry, true},
    {"INDEXKEYS",
     [](VariableCall& call) {
         WriteIndexKeys(call.builder, call.parser, call.arguments);
         return std::string();
     },
     EveryKey, false},
    {"INDEXDATA",
     [](VariableCall& call) {
         // The layout's text "legend" heads the list of the trees of a page.
         const TKSkslData* layout = call.Settings().Layout;
         WriteIndexData(call.builder, call.parser, BracketText(call.placeholder),
                        layout != nullptr ? layout->LayoutText("legend") : std::string());
         return std::string();
     },
     EveryEntry, true},
    {"LINKFIRST", [](VariableCall& call) { return Link(call, "FIRST"); }, nullptr, false},
    {"LINKPREV", [](VariableCall& call) { return Link(call, "PREV"); }, nullptr, false},
    {"LINKNEXT", [](VariableCall& call) { return Link(call, "NEXT"); }, nullptr, false},
    {"LINKLAST", [](VariableCall& call) { return Link(call, "LAST"); }, nullptr, false},
    {"TEMPLATE$",
     [](VariableCall& call) { return fs::path(call.parser.TemplateFile).filename().string(); },
     nullptr, false},
    {"TITLE$",
     [](VariableCall& call) {
         const std::string arguments = BracketText(call.placeholder);
         const std::string& typed =
             TypedText(call, call.Settings().Title, call.Settings().TypedTitle);
         if (typed.empty())
             return call.parser.Verbatim(TitleText(call.Settings().Title, arguments));
         std::size_t at = 0;
         std::string text = TitleText(typed, arguments, &at);
         return call.parser.VerbatimUtf8(std::move(text), at, typed.size());
     },
     nullptr, false},
    // The name of the index page being written, for its title and heading;
    // arguments as TITLE$. Only a split entry with a file per index page
    // has one, and each part of the surname list in parts: other files
    // have none.
    {"PAGE$",
     [](VariableCall& call) {
         const TKSrunState& state = call.builder.State();
         const int32_t page = call.indexPages ? state.CurrentPage : 0;
         std::string name;
         if (page >= 1 && page <= call.builder.PageCount)
             name = PageName(PageAt(call.builder.Pages, page), state.IndexType);
         else if (state.CurrentParted())
             name = state.NameParts.Name(state.CurrentPage);
         // Never read again for placeholders: surnames are the trees' text.
         return call.parser.Verbatim(TitleText(name, BracketText(call.placeholder)));
     },
     nullptr, false},
    {"HOMEPAGE$",
     [](VariableCall& call) {
         const std::string& homepage = call.Settings().Homepage;
         // The rule looks at the text as kept, so both kinds of page agree.
         const std::string scheme = !homepage.empty() && homepage[0] != '.' && homepage[0] != '/' &&
                                            homepage[0] != '\\' &&
                                            homepage.find("://") == std::string::npos
                                        ? "http://"
                                        : "";
         const std::string& typed = TypedText(call, homepage, call.Settings().TypedHomepage);
         if (typed.empty()) return call.parser.Verbatim(scheme + homepage);
         return call.parser.VerbatimUtf8(scheme + typed, scheme.size(), typed.size());
     },
     nullptr, false},
    {"EMAIL$",
     [](VariableCall& call) {
         const std::string& email = call.Settings().Email;
         if (email.find('@') == std::string::npos) return call.parser.Verbatim("");
         const std::string& typed = TypedText(call, email, call.Settings().TypedEmail);
         if (typed.empty()) return call.parser.Verbatim(email);
         return call.parser.VerbatimUtf8(typed, 0, typed.size());
     },
     nullptr, false},
    {"KSLTEXT",
     [](VariableCall& call) -> std::string {
         const TKSkslData* layout = call.Settings().Layout;
         if (layout == nullptr) return "";
         return layout->LayoutText(call.arguments.substr(0, call.arguments.find(',')));
     },
     nullptr, false},
    {"SEARCHDATA",
     [](VariableCall& call) {
         const std::string output = call.parser.OutputFolder() + call.parser.OutputFile();
         const std::string& folder = call.Settings().OutputFolder;
         // The shards this run writes replace those of an earlier run.
         if (output.starts_with(folder))
             call.searchMasks.push_back(SearchShardMask(output.substr(folder.size())));
         WriteSearchData(call.builder, call.parser, call.arguments);
         return std::string();
     },
     EveryEntry, false},
};

const BuilderVariable* FindVariable(const std::string& upperName) {
    for (const BuilderVariable& variable : kBuilderVariables)
        if (upperName == variable.Name) return &variable;
    return nullptr;
}

// Whether a split template goes on to a page per index page.
bool PagePerIndexPage(const TKSvariableCount& count) {
    return std::any_of(count.Names.begin(), count.Names.end(), [](const std::string& name) {
        const BuilderVariable* variable = FindVariable(name);
        return variable != nullptr && variable->PagePerIndexPage;
    });
}

} // namespace

const std::string& TKSgenerator::VariableNames() {
    static const std::string names = [] {
        std::string list;
        for (const BuilderVariable& variable : kBuilderVariables)
            list += (list.empty() ? "" : ",") + std::string(variable.Name);
        return list;
    }();
    return names;
}

TKSgenerator::TKSgenerator(TKSbuilder& builder, TKSrunProgress& progress)
    : builder_(builder), progress_(progress) {}

TKSgenerator::~TKSgenerator() = default;

TKSrunResult TKSgenerator::GenerateIndex() {
    const auto started = std::chrono::steady_clock::now();
    TKSrunResult result;
    TKSrunSettings& settings = builder_.Settings();
    builder_.ClearStopRequest();
    result.Warnings = Utf8DocumentWarnings(settings);
    builder_.SetBreather(&progress_);
    // The same folder, written the way every output name is appended to it.
    settings.OutputFolder = WithSlash(settings.OutputFolder);
    builder_.ResetState();
    outputFolderExists_ = IsFolder(settings.OutputFolder);
    searchMasks_.clear();
    publishing_ = false;
    pages_.clear();
    try {
        CheckBeforeStart();
        LockOutputFolder();
        if (settings.TempSwitchFolder.empty()) RemoveAbandonedRunFolders(settings.TempFolder);
        builder_.OpenRunFolder();
        if (outputFolderExists_) staged_ = std::make_unique<TKSstagedOutput>(settings.OutputFolder);
        RunSteps(result);
        WriteExportFiles(result);
        Publish(result);
    } catch (const std::exception& e) {
        // A problem before the first step is shown in the first row.
        NoteError(result, -1, e);
    }
    staged_.reset(); // what was not put in place goes
    // Only files put in place count as written.
    if (result.Failed || result.Stopped) result.FilesWritten.clear();
    result.OutputUnchanged = (result.Failed || result.Stopped) && !publishing_;
    Finish(result);
    result.Summary.ElapsedMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::steady_clock::now() - started)
                                   .count();
    return result;
}

void TKSgenerator::CheckBeforeStart() {
    const TKSrunSettings& settings = builder_.Settings();
    if (settings.Layout == nullptr) throw EKSError(LocalText("#1560.1=Er is geen stijl gekozen"));
    const std::vector<TKSproblem> problems = CheckRun(settings);
    if (problems.empty()) return;
    if (problems.front().Path.empty()) throw EKSError(problems.front().Reason);
    throw EKSError(problems.front().Path, problems.front().Reason);
}

// Two runs writing into one folder would leave a mixture of both: the lock is
// on the folder itself, so no extra file appears in it.
void TKSgenerator::LockOutputFolder() {
    if (!outputFolderExists_) return;
    const std::string& folder = builder_.Settings().OutputFolder;
    outputLock_ = File::OpenWith(folder, O_RDONLY | O_DIRECTORY);
    if (!outputLock_.Valid())
        throw EInOutError(folder,
                          LocalReason("#1560.2=kan niet geopend worden", outputLock_.OpenErrno()));
    if (::flock(outputLock_.Descriptor(), LOCK_EX | LOCK_NB) != 0) {
        outputLock_.Reset();
        throw EKSError(
            LocalText("#1560.3=er wordt al een andere verzamelindex in %1 geschreven", {folder}));
    }
}

std::vector<std::string> TKSgenerator::OldResultMasks() const {
    const TKSrunSettings& settings = builder_.Settings();
    if (settings.BaseName.empty() || !outputFolderExists_) return {};
    std::vector<std::string> masks = {settings.BaseName + "*.*"};
    for (int n = 1; n <= settings.Layout->ItemCount(); ++n)
        masks.push_back(builder_.OutputName(*settings.Layout->Item(n), TKSkslFile::kDeletionMask));
    // An earlier run's export goes even when this run exports nothing; a
    // file of the user's at such a name stays unless a new one replaces it.
    for (const std::string& name : ReadWrittenRecord(settings.OutputFolder))
        if (IsExportName(name)) masks.push_back(name);
    return masks;
}

// The export files are written last, beside the pages, and put in place
// with them.
void TKSgenerator::WriteExportFiles(TKSrunResult& result) {
    const TKSrunSettings& settings = builder_.Settings();
    if (!staged_ || result.Failed || result.Stopped) return;
    if (!settings.WriteGendex && settings.SiteAddress.empty()) return;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char date[16] = "";
    if (::localtime_r(&now, &local) != nullptr)
        std::strftime(date, sizeof date, "%Y-%m-%d", &local);
    try {
        for (const std::string& name :
             WriteExports(builder_, WriteRoot(), result.FilesWritten, date))
            result.FilesWritten.push_back(settings.OutputFolder + name);
    } catch (const std::exception& e) {
        NoteError(result, settings.Layout->ItemCount(), e);
        return;
    }
    result.Stopped = builder_.StopRequested();
}

// Only a complete run replaces the old results: they are deleted, and the
// new files put in place, once every entry is written.
void TKSgenerator::Publish(TKSrunResult& result) {
    if (!staged_ || result.Failed || result.Stopped) return;
    std::vector<std::string> masks = OldResultMasks();
    // The shards of an earlier run's search data go too, however many there were.
    masks.insert(masks.end(), searchMasks_.begin(), searchMasks_.end());
    publishing_ = true;
    try {
        // The run's own inputs are never old results, whatever their names.
        result.Trashed = staged_->Publish(masks, RunInputs(builder_.Settings()));
    } catch (const std::exception& e) {
        NoteError(result, builder_.Settings().Layout->ItemCount(), e);
    }
}

// The files are written where they stand in the output folder, or in the
// run's private folder inside it until the run is complete.
std::string TKSgenerator::WriteRoot() const {
    return staged_ ? staged_->Path() : builder_.Settings().OutputFolder;
}

TKSrunPlan TKSgenerator::PlanRun() {
    TKSrunSettings& settings = builder_.Settings();
    settings.OutputFolder = WithSlash(settings.OutputFolder);
    builder_.ResetState();
    builder_.State().CopiesInRunFolder = true;
    outputFolderExists_ = IsFolder(settings.OutputFolder);
    CheckBeforeStart();
    TKSrunPlan plan;
    builder_.OpenRunFolder();
    try {
        TKSquietRunProgress quiet;
        builder_.MergeStep(quiet.AddRow(-1, ""), quiet);
        builder_.DuplicatesStep(quiet.AddRow(0, ""), quiet);
        CutNameList();
        for (int n = 1; n <= settings.Layout->ItemCount(); ++n)
            for (std::string& path : PlannedOutputs(*settings.Layout->Item(n)))
                plan.Outputs.push_back(std::move(path));
        for (const std::string& name : ExportNames(settings, plan.Outputs))
            plan.Outputs.push_back(settings.OutputFolder + name);
    } catch (...) {
        builder_.CloseRunFolder();
        throw;
    }
    builder_.CloseRunFolder();
    if (outputFolderExists_) {
        std::vector<std::string> names;
        for (const std::string& path : plan.Outputs)
            names.push_back(path.substr(settings.OutputFolder.size()));
        const std::vector<std::string> masks = OldResultMasks();
        const std::vector<std::string> keep = RunInputs(settings);
        // An old result of a run is listed when a mask takes it, not when a
        // new file merely replaces it; every file of the user is listed.
        plan.Deletions = PlanClearing(settings.OutputFolder, masks, keep, {}).Delete;
        plan.Trash = PlanClearing(settings.OutputFolder, masks, keep, names).Trash;
    }
    return plan;
}

// A split template goes on to a page per index page only when it writes the
// index or the surnames; others write their first page alone.
std::vector<std::string> TKSgenerator::PlannedOutputs(const TKSkslFile& entry) const {
    const std::string folder = builder_.Settings().OutputFolder;
    if (!IsFile(builder_.SourcePath(entry))) return {};
    const bool split = builder_.Splits(entry);
    int pages = 1;
    if (entry.Kind == TKSkslFile::kTemplate && split) {
        TKStemplateParser parser;
        parser.SetVariableNames(VariableNames());
        parser.TemplateFile = builder_.SourcePath(entry);
        if (PagePerIndexPage(parser.CountVariables())) pages = std::max(1, builder_.PageCount);
    }
    const TKSnameParts& parts = builder_.State().NameParts;
    if (parts.IsParted(entry)) {
        std::vector<std::string> outputs;
        for (int part = 1; part <= parts.Count(); ++part)
            outputs.push_back(folder + builder_.OutputName(entry, part));
        return outputs;
    }
    std::vector<std::string> outputs;
    for (int page = 1; page <= pages; ++page)
        outputs.push_back(folder + builder_.OutputName(entry, split ? page : 0));
    return outputs;
}

// When the division is chosen by size, the first entry that writes the
// surname list in the order of the index, whole on one page, is written in
// parts if one page would be too heavy for it. A run with a division chosen
// by the user writes the list as the layout asks.
void TKSgenerator::CutNameList() {
    TKSrunState& state = builder_.State();
    state.NameParts.Clear();
    const TKSkslData* layout = builder_.Settings().Layout;
    if (state.RequestedIndexType != TKSindexType::Auto || layout == nullptr) return;
    for (int n = 1; n <= layout->ItemCount(); ++n) {
        const TKSkslFile& entry = *layout->Item(n);
        if (entry.Kind != TKSkslFile::kTemplate || entry.Split) continue;
        if (!WritesAlphabeticalNameList(builder_.SourcePath(entry), *layout)) continue;
        state.NameParts.Cut(builder_, entry, builder_.NamePartBudget);
        return;
    }
}

void TKSgenerator::RunSteps(TKSrunResult& result) {
    const TKSkslData& layout = *builder_.Settings().Layout;
    for (int step = -1; step <= layout.ItemCount(); ++step) {
        progress_.Breathe();
        if (builder_.StopRequested()) {
            result.Stopped = true;
            return;
        }
        const auto start = std::chrono::steady_clock::now();
        builder_.KeyMenuCounter = 0;
        try {
            if (step == -1) {
                builder_.MergeStep(progress_.AddRow(step, LookupText(kMergeCaption, "Text")),
                                   progress_);
            } else if (step == 0) {
                builder_.DuplicatesStep(
                    progress_.AddRow(step, LookupText(kDuplicatesCaption, "Text")), progress_);
                CutNameList();
            } else {
                RunEntry(step, *layout.Item(step), result);
            }
        } catch (const std::exception& e) {
            NoteError(result, step, e);
            return;
        }
        if (builder_.Settings().DeveloperMode)
            progress_.StepDuration(step, ElapsedText(std::chrono::steady_clock::now() - start));
    }
    // A stop asked during the last step still means no result is offered.
    progress_.Breathe();
    result.Stopped = builder_.StopRequested();
}

void TKSgenerator::RunEntry(int step, const TKSkslFile& entry, TKSrunResult& result) {
    builder_.State().StartEntry(&entry, 1);
    const std::string source = builder_.SourcePath(entry);
    if (!IsFile(source)) {
        result.MissingFiles.push_back(source);
        missingWarnings_.push_back(MissingLayoutFileWarning(source));
        progress_.AddRow(step, entry.Caption);
        progress_.MissingFile(
            step, IsOtherThanFile(source) ? NotAFileText() : LookupText(kNotFound, "Text"), source);
        return;
    }
    TKSprogressBar& bar = progress_.AddRow(step, entry.Caption);
    bar.SetRange(0, 100);
    bar.SetPosition(0);
    progress_.Breathe();
    if (!outputFolderExists_) return;
    if (entry.Kind == TKSkslFile::kTemplate)
        ExpandTemplate(entry, bar, result);
    else
        CopyPlainFile(step, entry, bar, result);
}

void TKSgenerator::ExpandTemplate(const TKSkslFile& entry, TKSprogressBar& bar,
                                  TKSrunResult& result) {
    const std::string& folder = builder_.Settings().OutputFolder;
    const std::string root = WriteRoot();
    const std::string source = builder_.SourcePath(entry);
    const std::string output = builder_.CurrentOutputName();
    MakeOutputSubfolders(root, output);
    TKStemplateParser parser;
    parser.Entry = entry.Name;
    parser.OnVariable = [this](const std::string& text, TKStemplateParser& p) {
        return ResolveVariable(text, p);
    };
    parser.OnNextFile = [this, &result](TKStemplateParser& p) {
        std::string next = NextPageFileName(p);
        if (!next.empty()) result.FilesWritten.push_back(p.OutputFolder() + next);
        return next;
    };
    parser.SetVariableNames(VariableNames());
    parser.TemplateFile = source;
    // Every page of an entry lies in the same folder: the page number stands
    // only in the file name. Links are relative to the page's place in the
    // output folder, wherever it is written first.
    parser.SetOutputFolder(FolderOf(folder + output));
    parser.SetWriteFolder(FolderOf(root + output));
    parser.SetOutputFile(FileNameOf(output));
    parser.ProgressBar = &bar;
    parser.Utf8Output = builder_.Settings().Layout->Utf8Pages();
    const TKSvariableCount count = parser.CountVariables();
    indexPages_ = builder_.Splits(entry) && PagePerIndexPage(count);
    bar.SetRange(0, EstimateProgress(count, builder_.Splits(entry)));
    const std::size_t first = result.FilesWritten.size();
    result.FilesWritten.push_back(folder + output);
    RemoveLink(root + output);
    try {
        parser.Execute();
        indexPages_ = false;
    } catch (const EKSError& e) {
        indexPages_ = false;
        if (!e.Path().empty()) throw; // names its own file (an output that cannot be written)
        throw EKSError(source + ":" + std::to_string(parser.LinesRead()), e.what());
    }
    // The range was an estimate: a finished entry shows a full bar.
    bar.SetPosition(bar.Maximum());
    pages_.insert(pages_.end(), result.FilesWritten.begin() + static_cast<std::ptrdiff_t>(first),
                  result.FilesWritten.end());
    result.Summary.Outputs.push_back(
        {entry.Caption, static_cast<int32_t>(result.FilesWritten.size() - first)});
}

void TKSgenerator::CopyPlainFile(int step, const TKSkslFile& entry, TKSprogressBar& bar,
                                 TKSrunResult& result) {
    const std::string name = builder_.CurrentOutputName();
    const std::string source = builder_.SourcePath(entry);
    const std::string target = builder_.Settings().OutputFolder + name;
    std::error_code ec;
    std::error_code statusEc;
    if (fs::is_directory(fs::symlink_status(target, statusEc))) {
        // A folder at the name is never replaced.
        ec = std::make_error_code(std::errc::is_a_directory);
    } else {
        MakeOutputSubfolders(WriteRoot(), name);
        const std::string written = WriteRoot() + name;
        RemoveLink(written);
        fs::copy_file(source, written, fs::copy_options::overwrite_existing, ec);
        std::error_code ignored;
        if (ec) fs::remove(written, ignored); // never a half copy put in place
    }
    if (ec) {
        // Reported like a missing source: the run goes on, the result is not offered.
        result.MissingFiles.push_back(source);
        progress_.MissingFile(step,
                              LocalText("#1560.5=Kan niet naar %1 gekopieerd worden", {target}) +
                                  ": " + ec.message(),
                              source);
        return;
    }
    result.FilesWritten.push_back(target);
    ++result.Summary.FilesCopied;
    bar.SetPosition(bar.Maximum());
}

void TKSgenerator::NoteError(TKSrunResult& result, int step, const std::exception& error) {
    result.Failed = true;
    result.Error = error.what();
    result.Problem = {"", result.Error};
    if (const auto* core = dynamic_cast<const EKSError*>(&error))
        result.Problem = {core->Path(), core->Reason()};
    // A file of the run's private folder is named by its place in the output folder.
    if (staged_ && !result.Problem.Path.empty()) {
        const std::string path = staged_->FinalPath(result.Problem.Path);
        if (path != result.Problem.Path) {
            result.Problem.Path = path;
            result.Error = result.Problem.Text();
        }
    }
    progress_.StepFailed(step, result.Error);
}

void TKSgenerator::Finish(TKSrunResult& result) {
    const TKSrunSettings& settings = builder_.Settings();
    result.Warnings.insert(result.Warnings.end(), builder_.Warnings.begin(),
                           builder_.Warnings.end());
    result.Warnings.insert(result.Warnings.end(), missingWarnings_.begin(), missingWarnings_.end());
    missingWarnings_.clear();
    GatherSummary(result);
    if (!result.Stopped && !result.Failed) {
        std::vector<TKSrunWarning> pages = PageSizeWarnings(builder_);
        result.Warnings.insert(result.Warnings.end(), pages.begin(), pages.end());
    }
    if (!result.Stopped && !result.Failed && settings.Layout != nullptr) {
        // The first entry opens at the last page written of it; an index in
        // parts at its first part, which has the name of the single file.
        const TKSkslFile* first = settings.Layout->Item(1);
        if (first != nullptr) {
            const int32_t page = first->InParts ? 1 : builder_.PageOf(*first);
            result.ResultPath = settings.OutputFolder + builder_.OutputName(*first, page);
        }
        result.MayOpen = first != nullptr && outputFolderExists_ && result.MissingFiles.empty();
        progress_.Result(result.ResultPath, result.MayOpen);
    }
    builder_.CloseRunFolder();
    builder_.SetBreather(nullptr);
}

// The figures the run already holds; only the pages' sizes are asked of
// the file system, one status call per page, never reading them again.
void TKSgenerator::GatherSummary(TKSrunResult& result) const {
    TKSrunSummary& summary = result.Summary;
    const std::vector<TKSrunDocument>& documents = builder_.Settings().Documents;
    for (std::size_t i = 0; i < documents.size() && i < builder_.State().Documents.size(); ++i)
        if (documents[i].Selected) summary.LinesRead += builder_.DocumentRun(i).EntryCount;
    summary.Entries = builder_.EntryTotalCount;
    if (result.Failed || result.Stopped) return;
    for (const std::string& page : pages_) {
        std::error_code ec;
        const auto size = static_cast<int64_t>(fs::file_size(page, ec));
        if (!ec && (summary.LargestPage.empty() || size > summary.LargestPageSize)) {
            summary.LargestPage = page;
            summary.LargestPageSize = size;
        }
    }
}

std::string TKSgenerator::ResolveVariable(const std::string& placeholder,
                                          TKStemplateParser& parser) {
    const int open = FindOutside(placeholder, "(", '"', false);
    const std::string name = AsciiUpper(open > 0 ? placeholder.substr(0, open - 1) : placeholder);
    const BuilderVariable* variable = FindVariable(name);
    if (variable == nullptr) return "";
    std::string arguments = open > 0 ? placeholder.substr(open) : "";
    if (arguments.size() > 1) arguments.pop_back();
    VariableCall call{builder_,     parser,     placeholder, std::move(arguments),
                      searchMasks_, indexPages_};
    return variable->Write(call);
}

// The pages of an entry go on from the page being written.
std::string TKSgenerator::NextPageFileName(TKStemplateParser& parser) {
    TKSrunState& state = builder_.State();
    if (state.CurrentItem == nullptr || !SameTextAscii(state.CurrentItem->Name, parser.EntryName()))
        return "";
    state.SetPage(state.CurrentPage + 1);
    const std::string name = FileNameOf(builder_.CurrentOutputName());
    RemoveLink(parser.WriteFolder() + name);
    return name;
}

int64_t TKSgenerator::EstimateProgress(const TKSvariableCount& count, bool split) const {
    const int64_t pages = builder_.PageCount;
    int64_t total = static_cast<int64_t>(count.Lines) * (split ? pages : 1);
    for (const std::string& name : count.Names)
        if (const BuilderVariable* variable = FindVariable(name);
            variable != nullptr && variable->Progress != nullptr)
            total += variable->Progress(builder_, split);
    return total;
}

} // namespace ks
