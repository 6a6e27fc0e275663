#include "builder/run/KSgenerate.h"

#include "builder/entries/KSentryDigest.h"
#include "builder/entries/KSrunFolder.h"
#include "builder/run/KSbuilder.h"
#include "builder/run/KSrunChecks.h"
#include "builder/run/KSrunProgress.h"
#include "builder/run/KSrunWarnings.h"
#include "builder/run/KSstagedOutput.h"
#include "builder/run/KSwrittenRecord.h"
#include "builder/writers/KSbuilderVariables.h"
#include "builder/writers/KSnameListWriter.h"
#include "builder/writers/KSnewsFeed.h"
#include "builder/writers/KSsearchWriter.h"
#include "builder/writers/KSsiteExport.h"
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

// An output is written as a new file in the output folder, never through a
// link that sits at its name and may point anywhere.
void RemoveLink(const std::string& path) {
    if (IsLink(path)) ::unlink(path.c_str());
}

std::string FileNameOf(const std::string& path) {
    return path.substr(path.rfind('/') + 1);
}

} // namespace

const std::string& TKSgenerator::VariableNames() {
    return BuilderVariableNames();
}

TKSgenerator::TKSgenerator(TKSbuilder& builder, TKSrunProgress& progress)
    : builder_(builder), progress_(progress) {}

TKSgenerator::~TKSgenerator() = default;

TKSrunResult TKSgenerator::GenerateIndex() {
    const auto started = std::chrono::steady_clock::now();
    TKSrunResult result;
    const TKSrunSettings& settings = builder_.Settings();
    result.Warnings = settings.FetchWarnings;
    for (TKSrunWarning& warning : Utf8DocumentWarnings(settings))
        result.Warnings.push_back(std::move(warning));
    builder_.SetBreather(&progress_);
    StartState();
    TKSrunState& state = builder_.State();
    try {
        CheckBeforeStart();
        LockOutputFolder();
        if (settings.TempSwitchFolder.empty()) RemoveAbandonedRunFolders(settings.TempFolder);
        builder_.OpenRunFolder();
        if (state.OutputFolderExists) {
            staged_ = std::make_unique<TKSstagedOutput>(state.OutputFolder);
            state.WriteFolder = staged_->Path();
        }
        RunSteps(result);
        WriteExportFiles(result);
        Publish(result);
    } catch (const std::exception& e) {
        // A problem before the first step is shown in the first row.
        NoteError(result, -1, e);
    }
    staged_.reset(); // what was not put in place goes
    state.WriteFolder = state.OutputFolder;
    // Only files put in place count as written.
    if (result.Failed || result.Stopped) result.FilesWritten.clear();
    result.OutputUnchanged = (result.Failed || result.Stopped) && !state.Publishing;
    Finish(result);
    result.Summary.ElapsedMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::steady_clock::now() - started)
                                   .count();
    // A stop asked for before the run began counts for it (the wizard's
    // buttons during a fetch); once it has ended the builder may run again.
    builder_.ClearStopRequest();
    return result;
}

// The state of a new run, with what it knows before its first step.
void TKSgenerator::StartState() {
    builder_.ResetState();
    TKSrunState& state = builder_.State();
    state.OutputFolderExists = IsFolder(state.OutputFolder);
    state.Inputs = RunInputs(builder_.Settings());
    state.RunTime = static_cast<int64_t>(std::time(nullptr));
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
    if (!builder_.State().OutputFolderExists) return;
    const std::string& folder = builder_.State().OutputFolder;
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
    const TKSrunState& state = builder_.State();
    if (settings.BaseName.empty() || !state.OutputFolderExists) return {};
    std::vector<std::string> masks = {settings.BaseName + "*.*"};
    for (int n = 1; n <= settings.Layout->ItemCount(); ++n)
        masks.push_back(state.OutputName(*settings.Layout->Item(n), TKSkslFile::kDeletionMask));
    // An earlier run's export goes even when this run exports nothing; a
    // file of the user's at such a name stays unless a new one replaces it.
    for (const std::string& name : ReadWrittenRecord(state.OutputFolder))
        if (IsExportName(name)) masks.push_back(name);
    return masks;
}

// The export files are written last, beside the pages, and put in place
// with them.
void TKSgenerator::WriteExportFiles(TKSrunResult& result) {
    const TKSrunSettings& settings = builder_.Settings();
    TKSrunState& state = builder_.State();
    if (!staged_ || result.Failed || result.Stopped) return;
    // The feed follows the page of new persons: a layout without one has none.
    const bool feed = !state.NewPagePath.empty();
    if (!settings.WriteGendex && settings.SiteAddress.empty() && !feed) return;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char date[16] = "";
    if (::localtime_r(&now, &local) != nullptr)
        std::strftime(date, sizeof date, "%Y-%m-%d", &local);
    try {
        for (const std::string& name :
             WriteExports(builder_.View(), state.WriteFolder, result.FilesWritten, date))
            result.FilesWritten.push_back(state.OutputFolder + name);
        if (feed) {
            WriteFeed(builder_.View(), state.WriteFolder);
            result.FilesWritten.push_back(state.OutputFolder + kFeedName);
        }
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
    TKSrunState& state = builder_.State();
    std::vector<std::string> masks = OldResultMasks();
    // The shards of an earlier run's search data go too, however many there were.
    masks.insert(masks.end(), state.SearchMasks.begin(), state.SearchMasks.end());
    state.Publishing = true;
    try {
        // The run's own inputs are never old results, whatever their names.
        result.Trashed = staged_->Publish(masks, state.Inputs);
        // What the next run compares with, kept only now that the run is complete.
        if (!state.WhatsNew.DigestPath.empty())
            CommitEntryDigest(state.OutputFolder, state.WhatsNew.DigestPath);
        if (!state.FeedHistory.empty()) CommitFeedHistory(state.OutputFolder, state.FeedHistory);
    } catch (const std::exception& e) {
        NoteError(result, builder_.Settings().Layout->ItemCount(), e);
    }
}

TKSrunPlan TKSgenerator::PlanRun() {
    const TKSrunSettings& settings = builder_.Settings();
    StartState();
    const TKSrunState& state = builder_.State();
    builder_.State().CopiesInRunFolder = true;
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
            plan.Outputs.push_back(state.OutputFolder + name);
        if (ListsNewPersons()) plan.Outputs.push_back(state.OutputFolder + kFeedName);
    } catch (...) {
        builder_.CloseRunFolder();
        throw;
    }
    builder_.CloseRunFolder();
    if (state.OutputFolderExists) {
        std::vector<std::string> names;
        for (const std::string& path : plan.Outputs)
            names.push_back(path.substr(state.OutputFolder.size()));
        const std::vector<std::string> masks = OldResultMasks();
        const std::vector<std::string>& keep = state.Inputs;
        // An old result of a run is listed when a mask takes it, not when a
        // new file merely replaces it; every file of the user is listed.
        plan.Deletions = PlanClearing(state.OutputFolder, masks, keep, {}).Delete;
        plan.Trash = PlanClearing(state.OutputFolder, masks, keep, names).Trash;
    }
    return plan;
}

// A split template goes on to a page per index page only when it writes the
// index or the surnames; others write their first page alone.
std::vector<std::string> TKSgenerator::PlannedOutputs(const TKSkslFile& entry) const {
    const TKSrunState& state = builder_.State();
    const std::string& folder = state.OutputFolder;
    if (!IsFile(state.SourcePath(entry))) return {};
    const bool split = state.Splits(entry);
    int pages = 1;
    if (entry.Kind == TKSkslFile::kTemplate && split) {
        TKStemplateParser parser;
        parser.SetVariableNames(VariableNames());
        parser.TemplateFile = state.SourcePath(entry);
        if (PagePerIndexPage(parser.CountVariables())) pages = std::max(1, state.PageCount);
    }
    const TKSnameParts& parts = state.NameParts;
    if (parts.IsParted(entry)) {
        std::vector<std::string> outputs;
        for (int part = 1; part <= parts.Count(); ++part)
            outputs.push_back(folder + state.OutputName(entry, part));
        return outputs;
    }
    std::vector<std::string> outputs;
    for (int page = 1; page <= pages; ++page)
        outputs.push_back(folder + state.OutputName(entry, split ? page : 0));
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
        if (!WritesAlphabeticalNameList(state.SourcePath(entry), *layout)) continue;
        state.NameParts.Cut(entry, EstimateNameItems(builder_.View()), state.Pages, state.PageCount,
                            builder_.Settings().NamePartBudget);
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
        builder_.State().KeyMenuCounter = 0;
        try {
            if (step == -1) {
                builder_.MergeStep(progress_.AddRow(step, LookupText(kMergeCaption, "Text")),
                                   progress_);
            } else if (step == 0) {
                builder_.DuplicatesStep(
                    progress_.AddRow(step, LookupText(kDuplicatesCaption, "Text")), progress_);
                CutNameList();
                ComparePersons();
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

// The persons of this run against those of the previous complete run into
// the same folder; only a run that writes its pages compares.
void TKSgenerator::ComparePersons() {
    TKSrunState& state = builder_.State();
    if (!state.OutputFolderExists) return;
    state.WhatsNew = CompareWithPreviousRun(builder_.View(), FolderOf(state.EntriesPath),
                                            state.OutputFolder, state.RunTime);
}

// Whether a template of the layout writes the list of new persons, and the
// run therefore a feed.
bool TKSgenerator::ListsNewPersons() const {
    const TKSkslData* layout = builder_.Settings().Layout;
    if (layout == nullptr) return false;
    for (int n = 1; n <= layout->ItemCount(); ++n) {
        const TKSkslFile& entry = *layout->Item(n);
        const std::string source = builder_.State().SourcePath(entry);
        if (entry.Kind != TKSkslFile::kTemplate || !IsFile(source)) continue;
        TKStemplateParser parser;
        parser.SetVariableNames(VariableNames());
        parser.TemplateFile = source;
        const TKSvariableCount count = parser.CountVariables();
        if (std::any_of(count.Names.begin(), count.Names.end(),
                        [](const std::string& name) { return AsciiUpper(name) == "NEWLIST"; }))
            return true;
    }
    return false;
}

void TKSgenerator::RunEntry(int step, const TKSkslFile& entry, TKSrunResult& result) {
    TKSrunState& state = builder_.State();
    state.StartEntry(&entry, 1);
    const std::string source = state.SourcePath(entry);
    if (!IsFile(source)) {
        result.MissingFiles.push_back(source);
        state.MissingWarnings.push_back(MissingLayoutFileWarning(source));
        progress_.AddRow(step, entry.Caption);
        progress_.MissingFile(
            step, IsOtherThanFile(source) ? NotAFileText() : LookupText(kNotFound, "Text"), source);
        return;
    }
    TKSprogressBar& bar = progress_.AddRow(step, entry.Caption);
    bar.SetRange(0, 100);
    bar.SetPosition(0);
    progress_.Breathe();
    if (!state.OutputFolderExists) return;
    if (entry.Kind == TKSkslFile::kTemplate)
        ExpandTemplate(entry, bar, result);
    else
        CopyPlainFile(step, entry, bar, result);
}

void TKSgenerator::ExpandTemplate(const TKSkslFile& entry, TKSprogressBar& bar,
                                  TKSrunResult& result) {
    TKSrunState& state = builder_.State();
    const std::string& folder = state.OutputFolder;
    const std::string& root = state.WriteFolder;
    const std::string source = state.SourcePath(entry);
    const std::string output = state.CurrentOutputName();
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
    state.IndexPages = state.Splits(entry) && PagePerIndexPage(count);
    bar.SetRange(0, EstimateProgress(count, state.Splits(entry)));
    const std::size_t first = result.FilesWritten.size();
    result.FilesWritten.push_back(folder + output);
    RemoveLink(root + output);
    try {
        parser.Execute();
        state.IndexPages = false;
    } catch (const EKSError& e) {
        state.IndexPages = false;
        if (!e.Path().empty()) throw; // names its own file (an output that cannot be written)
        throw EKSError(source + ":" + std::to_string(parser.LinesRead()), e.what());
    }
    // The range was an estimate: a finished entry shows a full bar.
    bar.SetPosition(bar.Maximum());
    state.PagesWritten.insert(state.PagesWritten.end(),
                              result.FilesWritten.begin() + static_cast<std::ptrdiff_t>(first),
                              result.FilesWritten.end());
    result.Summary.Outputs.push_back(
        {entry.Caption, static_cast<int32_t>(result.FilesWritten.size() - first)});
}

void TKSgenerator::CopyPlainFile(int step, const TKSkslFile& entry, TKSprogressBar& bar,
                                 TKSrunResult& result) {
    const TKSrunState& state = builder_.State();
    const std::string name = state.CurrentOutputName();
    const std::string source = state.SourcePath(entry);
    const std::string target = state.OutputFolder + name;
    std::error_code ec;
    std::error_code statusEc;
    if (fs::is_directory(fs::symlink_status(target, statusEc))) {
        // A folder at the name is never replaced.
        ec = std::make_error_code(std::errc::is_a_directory);
    } else {
        MakeOutputSubfolders(state.WriteFolder, name);
        const std::string written = state.WriteFolder + name;
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
    const TKSrunState& state = builder_.State();
    result.Warnings.insert(result.Warnings.end(), state.Warnings.begin(), state.Warnings.end());
    result.Warnings.insert(result.Warnings.end(), state.MissingWarnings.begin(),
                           state.MissingWarnings.end());
    GatherSummary(result);
    if (!state.WhatsNew.DigestPath.empty() && !settings.DeveloperMode)
        ::unlink(state.WhatsNew.DigestPath.c_str());
    if (!result.Stopped && !result.Failed) {
        std::vector<TKSrunWarning> examples = ExampleAddressWarnings(settings, state);
        result.Warnings.insert(result.Warnings.end(), examples.begin(), examples.end());
        std::vector<TKSrunWarning> pages = PageSizeWarnings(settings, state);
        result.Warnings.insert(result.Warnings.end(), pages.begin(), pages.end());
    }
    if (!result.Stopped && !result.Failed && settings.Layout != nullptr) {
        // The first entry opens at the last page written of it; an index in
        // parts at its first part, which has the name of the single file.
        const TKSkslFile* first = settings.Layout->Item(1);
        if (first != nullptr) {
            const int32_t page = first->InParts ? 1 : state.PageOf(*first);
            result.ResultPath = state.OutputFolder + state.OutputName(*first, page);
        }
        result.MayOpen =
            first != nullptr && state.OutputFolderExists && result.MissingFiles.empty();
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
    summary.Entries = builder_.State().EntryTotalCount;
    if (result.Failed || result.Stopped) return;
    for (const std::string& page : builder_.State().PagesWritten) {
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
    return ResolveBuilderVariable(builder_.View(), placeholder, parser);
}

// The pages of an entry go on from the page being written.
std::string TKSgenerator::NextPageFileName(TKStemplateParser& parser) {
    TKSrunState& state = builder_.State();
    if (state.CurrentItem == nullptr || !SameTextAscii(state.CurrentItem->Name, parser.EntryName()))
        return "";
    state.SetPage(state.CurrentPage + 1);
    const std::string name = FileNameOf(state.CurrentOutputName());
    RemoveLink(parser.WriteFolder() + name);
    return name;
}

int64_t TKSgenerator::EstimateProgress(const TKSvariableCount& count, bool split) const {
    return ks::EstimateProgress(builder_.Settings(), builder_.State(), count, split);
}

} // namespace ks
