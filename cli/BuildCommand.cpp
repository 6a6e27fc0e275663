#include "cli/BuildCommand.h"

#include "builder/KSbuilder.h"
#include "builder/KSdivision.h"
#include "builder/KSgenerate.h"
#include "builder/KSrunChecks.h"
#include "cli/TerminalProgress.h"
#include "common/KScodepage.h"
#include "common/KScommon.h"
#include "common/KSfiles.h"
#include "common/KStextutil.h"
#include "index/KSdocumentCharset.h"
#include "index/KShtxData.h"
#include "index/KSksl.h"
#include "index/KSlayoutList.h"

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <ostream>
#include <system_error>

namespace ks::cli {

namespace fs = std::filesystem;

const std::vector<std::string> kBuildOptionsWithValue = {
    "--unselected", "-l",           "--layout", "-o",         "--output", "-b",         "--base",
    "-i",           "--index-type", "--split",  "--no-split", "--title",  "--homepage", "--email"};

namespace {

constexpr int kUsageError = 2;

const char* const kUsage =
    "usage: kestrin-index build [OPTIONS] DOCUMENT.htx...\n"
    "  --unselected DOCUMENT   a listed but unselected document at this place\n"
    "  -l, --layout FILE|TITLE the layout (default: the first by title)\n"
    "  -o, --output DIR        output folder (created when missing)\n"
    "  -b, --base NAME         base file name (default KESTRIN-Index)\n"
    "  -i, --index-type 1..6   letter, two letters, about 50/100/250/500 parts;\n"
    "                          auto: the fewest pages that stay under 2 MB\n"
    "  --years                 show years in the index\n"
    "  --ignore-years          fold duplicates without comparing years\n"
    "  --split NAME[,NAME]     split these outputs over pages (default: all)\n"
    "  --no-split NAME[,NAME]  write these outputs as one file\n"
    "  --title TEXT, --homepage URL, --email ADDRESS\n"
    "  --open                  open the result in the browser\n"
    "  -q, --quiet             no progress display\n"
    "  --debug[=N] --developer[=N] --temp=DIR --language=X\n";

struct UsageError {
    std::string message;
};

struct BuildOptions {
    struct Document {
        std::string path;
        bool selected = true;
    };
    std::vector<Document> documents;
    std::string layout;
    std::string output;
    std::string base = "KESTRIN-Index";
    int indexType = 0; // 0: not given; or kIndexTypeAuto
    bool years = false;
    bool ignoreYears = false;
    std::vector<std::string> split;
    std::vector<std::string> noSplit;
    std::string title;
    std::string homepage;
    std::string email;
    bool open = false;
    bool quiet = false;
};

void AddNames(std::vector<std::string>& names, std::string list) {
    while (!list.empty()) {
        std::string name;
        CutField(list, ",", '"', name, false);
        name = Trim(name);
        if (!name.empty()) names.push_back(name);
    }
}

BuildOptions ParseOptions(const std::vector<std::string>& args) {
    BuildOptions o;
    bool onlyDocuments = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (onlyDocuments) {
            o.documents.push_back({a, true});
            continue;
        }
        auto value = [&]() -> std::string {
            if (i + 1 >= args.size()) throw UsageError{"missing value after " + a};
            return args[++i];
        };
        if (a == "-h" || a == "--help") throw UsageError{""};
        if (a == "--unselected")
            o.documents.push_back({value(), false});
        else if (a == "-l" || a == "--layout")
            o.layout = value();
        else if (a == "-o" || a == "--output")
            o.output = value();
        else if (a == "-b" || a == "--base")
            o.base = value();
        else if (a == "-i" || a == "--index-type") {
            const std::string v = value();
            const int type = SameTextAscii(v, "auto") ? kIndexTypeAuto : StrToIntDef(v, 0);
            if (type != kIndexTypeAuto && (type < 1 || type > 6))
                throw UsageError{"the index type must be 1 to 6 or auto"};
            o.indexType = type;
        } else if (a == "--years")
            o.years = true;
        else if (a == "--ignore-years")
            o.ignoreYears = true;
        else if (a == "--split")
            AddNames(o.split, value());
        else if (a == "--no-split")
            AddNames(o.noSplit, value());
        else if (a == "--title")
            o.title = Utf8ToWindows1252(value());
        else if (a == "--homepage")
            o.homepage = Utf8ToWindows1252(value());
        else if (a == "--email")
            o.email = Utf8ToWindows1252(value());
        else if (a == "--open")
            o.open = true;
        else if (a == "-q" || a == "--quiet")
            o.quiet = true;
        else if (a == "--")
            onlyDocuments = true;
        else if (a.size() > 1 && a[0] == '-')
            throw UsageError{"unknown option " + a};
        else
            o.documents.push_back({a, true});
    }
    if (o.documents.empty()) throw UsageError{"no index documents given"};
    if (o.output.empty()) throw UsageError{"no output folder given (-o DIR)"};
    if (o.years && o.ignoreYears) throw UsageError{"--years and --ignore-years exclude each other"};
    if (const std::string problem = CheckBaseName(o.base); !problem.empty())
        throw UsageError{problem};
    return o;
}

// Everything that can be checked before the run; all problems at once.
class BuildSetup {
public:
    BuildSetup(const BuildOptions& options, const TKScommon& environment)
        : options_(options), environment_(environment) {}

    std::vector<std::string> Check() {
        CheckDocuments();
        CheckLayout();
        CheckOutputFolder();
        return problems_;
    }

    TKSrunSettings Settings() {
        TKSrunSettings s;
        for (std::size_t i = 0; i < documents_.size(); ++i)
            s.Documents.push_back({documents_[i].get(), options_.documents[i].selected});
        s.Layout = layout_.get();
        s.IndexType = indexType_;
        s.IndexWithYears = options_.years;
        s.DuplicatesIgnoreYears = options_.ignoreYears;
        s.OutputFolder = outputFolder_;
        s.BaseName = options_.base;
        s.Title = options_.title;
        s.Homepage = options_.homepage;
        s.Email = options_.email;
        s.TempFolder = environment_.TempFolder;
        s.TempSwitchFolder = TempSwitchFolder();
        s.DeveloperMode = environment_.DeveloperSwitches.IsNonZero();
        return s;
    }

    std::vector<std::string> MakeOutputFolder() {
        std::error_code ec;
        fs::create_directories(outputFolder_, ec);
        if (!fs::is_directory(outputFolder_, ec))
            return {options_.output + ": the output folder cannot be created"};
        return {};
    }

private:
    void Problem(const std::string& text) { problems_.push_back(text); }

    void CheckDocuments() {
        for (std::size_t i = 0; i < options_.documents.size(); ++i) {
            const std::string& path = options_.documents[i].path;
            std::error_code ec;
            const std::string absolute = fs::absolute(path, ec).lexically_normal().string();
            if (!fs::is_regular_file(path, ec))
                Problem(path + ": no such index document");
            else if (!CheckFileKind(path, "htx", 1, 1))
                Problem(path + ": not an index document (type htx, format 1)");
            auto document = std::make_unique<TKShtxData>(absolute);
            document->ListPosition = static_cast<int32_t>(i + 1);
            documents_.push_back(std::move(document));
        }
    }

    void CheckLayout() {
        layout_ = FindLayout();
        if (!layout_) return;
        layout_->BaseName = options_.base;
        bool anySplit = false;
        for (int n = 1; n <= layout_->ItemCount(); ++n) {
            TKSkslFile& entry = *layout_->Item(n);
            entry.SetSplit(entry.Numbered && !Named(options_.noSplit, entry.Name) &&
                           (options_.split.empty() || Named(options_.split, entry.Name)));
            anySplit = anySplit || entry.Split;
            if (const std::string problem = CheckOutputName(entry.OutputName(1)); !problem.empty())
                Problem(layout_->LayoutFile + ", entry " + entry.Name + ": " + problem);
        }
        for (const auto* names : {&options_.split, &options_.noSplit})
            for (const std::string& name : *names)
                if (layout_->FindItem(name) == nullptr || !layout_->FindItem(name)->Numbered)
                    Problem(layout_->LayoutFile + ": no output named " + name +
                            " that can be split over pages");
        indexType_ = 1;
        const bool divided = options_.indexType > 1 || options_.indexType == kIndexTypeAuto;
        if (divided && !layout_->AsksFor("INDEXTYPE"))
            Problem(layout_->LayoutFile + ": the layout does not ask for an index division");
        else if (divided && !anySplit)
            Problem("the index division needs an output that is split over pages");
        else if (options_.indexType != 0)
            indexType_ = options_.indexType;
    }

    static bool Named(const std::vector<std::string>& names, const std::string& name) {
        for (const std::string& n : names)
            if (SameTextAscii(n, name)) return true;
        return false;
    }

    std::unique_ptr<TKSkslData> FindLayout() {
        const std::string folder = environment_.LanguageFolder + "layout/";
        std::error_code ec;
        if (!options_.layout.empty() && fs::is_regular_file(options_.layout, ec)) {
            auto layout = std::make_unique<TKSkslData>();
            if (layout->Load(fs::absolute(options_.layout).lexically_normal().string(),
                             environment_.ResourceFolder))
                return layout;
            Problem(options_.layout + ": not a layout (type KSL, format 1)");
            return nullptr;
        }
        auto layouts = LoadLayouts(folder);
        if (options_.layout.empty()) {
            if (!layouts.empty()) return std::move(layouts.front());
            Problem(folder + ": no layouts found");
            return nullptr;
        }
        const std::string wanted = Utf8ToWindows1252(options_.layout);
        for (auto& layout : layouts)
            if (SameTextAscii(layout->Title, wanted)) return std::move(layout);
        Problem(options_.layout + ": no such layout file, nor a layout of that title in " + folder);
        return nullptr;
    }

    // A missing output folder is made only once everything else is fine;
    // until then its nearest existing parent must be writable.
    void CheckOutputFolder() {
        std::error_code ec;
        outputFolder_ = fs::absolute(options_.output, ec).lexically_normal().string();
        if (outputFolder_.empty() || outputFolder_.back() != '/') outputFolder_ += '/';
        fs::path existing = fs::path(outputFolder_).parent_path();
        while (!existing.empty() && !fs::exists(existing, ec) && existing != existing.parent_path())
            existing = existing.parent_path();
        if (fs::exists(outputFolder_, ec) && !fs::is_directory(outputFolder_, ec))
            Problem(options_.output + ": not a folder");
        else if (!fs::is_directory(existing, ec) || access(existing.c_str(), W_OK | X_OK) != 0)
            Problem(options_.output + ": the output folder cannot be written");
    }

    std::string TempSwitchFolder() const {
        const std::string value = Trim(environment_.CommandLineSwitch("TEMP"));
        if (value.empty()) return "";
        std::error_code ec;
        std::string folder = fs::absolute(value, ec).lexically_normal().string();
        if (folder.empty() || folder.back() != '/') folder += '/';
        return folder == environment_.TempFolder ? folder : "";
    }

    const BuildOptions& options_;
    const TKScommon& environment_;
    std::vector<std::unique_ptr<TKShtxData>> documents_;
    std::unique_ptr<TKSkslData> layout_;
    std::string outputFolder_;
    int indexType_ = 1;
    std::vector<std::string> problems_;
};

void PrintSummary(std::ostream& err, const TKSbuilder& builder, const TKSrunResult& result,
                  double seconds) {
    int64_t lines = 0;
    int selected = 0;
    for (const TKSrunDocument& d : builder.Settings().Documents)
        if (d.Selected) {
            ++selected;
            lines += d.Data->EntryCount;
        }
    err << selected << " documents, " << lines << " index lines, " << builder.EntryTotalCount
        << " merged entries, " << builder.PageCount << " pages, " << result.FilesWritten.size()
        << " files written in " << static_cast<int64_t>(seconds * 1000) / 1000.0 << " s\n";
}

// Documents saved as UTF-8 show their accented names wrong in the index.
void WarnAboutUtf8Documents(const BuildOptions& options, std::ostream& err) {
    for (const BuildOptions::Document& document : options.documents)
        if (document.selected && DocumentLooksLikeUtf8(document.path))
            err << "kestrin-index: warning: " << document.path
                << ": looks like UTF-8 text; index documents are read as Windows-1252, so "
                   "its accented names will show wrong\n";
}

const char* const kDivisionNames[] = {"per letter",      "per two letters", "about 50 parts",
                                      "about 100 parts", "about 250 parts", "about 500 parts"};

void WarnAboutLargePages(const TKSbuilder& builder, std::ostream& err) {
    const TKSpageSizeCheck check = CheckPageSizes(builder);
    for (const TKSlargePage& page : check.LargePages)
        err << "kestrin-index: warning: " << page.Path << " is "
            << static_cast<double>(page.Size / 10000) / 100 << " MB (" << page.Size
            << " bytes); pages over 2 MB load slowly\n";
    const int32_t type = check.SuggestedIndexType;
    if (type == kIndexTypeAuto)
        err << "kestrin-index: warning: -i auto (cutting the largest surnames into parts) would "
               "keep the index pages under 2 MB\n";
    else if (type >= 1 && type <= 6)
        err << "kestrin-index: warning: -i " << type << " (" << kDivisionNames[type - 1]
            << ") would keep the index pages under 2 MB\n";
}

void OpenInBrowser(const std::string& path) {
    if (fork() == 0) {
        execlp("xdg-open", "xdg-open", path.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
}

int Build(BuildOptions& options, std::ostream& out, std::ostream& err) {
    const TKScommon& environment = Environment();
    BuildSetup setup(options, environment);
    std::vector<std::string> problems = setup.Check();
    if (problems.empty()) problems = setup.MakeOutputFolder();
    for (const std::string& problem : problems)
        err << "kestrin-index: " << Windows1252ToUtf8(problem) << '\n';
    if (!problems.empty()) return 1;

    WarnAboutUtf8Documents(options, err);
    TKSbuilder builder(setup.Settings());
    const bool show = !options.quiet && isatty(STDERR_FILENO);
    const auto start = std::chrono::steady_clock::now();
    TKSrunResult result;
    {
        TerminalProgress progress(err, show, builder);
        TKSgenerator generator(builder, progress);
        result = generator.GenerateIndex();
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (result.Stopped) {
        err << "kestrin-index: stopped\n";
        return 130;
    }
    if (result.Failed) {
        err << "kestrin-index: " << Windows1252ToUtf8(result.Error) << '\n';
        return 1;
    }
    WarnAboutLargePages(builder, err);
    for (const std::string& missing : result.MissingFiles)
        err << "kestrin-index: layout file not found or not copied: " << missing << '\n';
    if (show) PrintSummary(err, builder, result, seconds);
    if (!result.ResultPath.empty()) out << result.ResultPath << '\n';
    if (options.open && result.MayOpen) OpenInBrowser(result.ResultPath);
    return result.MissingFiles.empty() ? 0 : 1;
}

} // namespace

int RunBuild(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    BuildOptions options;
    try {
        options = ParseOptions(args);
    } catch (const UsageError& e) {
        if (e.message.empty()) {
            out << kUsage;
            return 0;
        }
        err << "kestrin-index build: " << e.message << '\n' << kUsage;
        return kUsageError;
    }
    return Build(options, out, err);
}

} // namespace ks::cli
