#include "builder/run/KSrunChecks.h"

#include "builder/entries/KSrunSettings.h"
#include "builder/writers/KSsiteExport.h"
#include "common/KSerrors.h"
#include "common/KSfiles.h"
#include "common/KSlocal.h"
#include "common/KSpaths.h"
#include "index/KShtxData.h"
#include "index/KSksl.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>

namespace ks {

namespace fs = std::filesystem;

namespace {

const char* const kNumberMarker = "#NR!";

std::string EntryLabel(const TKSkslFile& entry, int number) {
    return LocalText("#1561.1=onderdeel %1",
                     {entry.Name.empty() ? std::to_string(number) : entry.Name});
}

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The part of the raw output before its last "/", letter case kept.
std::string RawFolderPart(const std::string& output) {
    const std::size_t slash = output.rfind('/');
    return slash == std::string::npos ? "" : output.substr(0, slash);
}

bool ContainsMarker(const std::string& text, const std::string& marker) {
    std::string upper = text;
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return upper.find(marker) != std::string::npos;
}

// The outputs of an entry as a mask: every page of a split output, and
// every part of one that may be cut into parts.
std::string OutputMask(const TKSkslFile& entry, const std::string& baseName) {
    return entry.OutputName(baseName, entry.Split || entry.InParts ? TKSkslFile::kDeletionMask : 1,
                            0);
}

class RunChecker {
public:
    explicit RunChecker(const TKSrunSettings& settings)
        : settings_(settings), layout_(*settings.Layout), inputs_(RunInputs(settings)) {}

    std::vector<TKSproblem> Check() {
        if (const std::string problem = CheckBaseName(settings_.BaseName); !problem.empty())
            Problem(layout_.LayoutFile, problem);
        if (const std::string problem = CheckSiteAddress(settings_.SiteAddress);
            !settings_.SiteAddress.empty() && !problem.empty())
            Problem("", problem);
        if (layout_.ItemCount() == 0)
            Problem(layout_.LayoutFile, LocalText("#1561.2=de stijl heeft geen onderdelen"));
        for (int n = 1; n <= layout_.ItemCount(); ++n)
            CheckEntry(*layout_.Item(n), n);
        return problems_;
    }

private:
    void Problem(const std::string& path, const std::string& reason) {
        problems_.push_back({path, reason});
    }

    void CheckEntry(const TKSkslFile& entry, int number) {
        const std::string label = EntryLabel(entry, number);
        if (entry.Source.empty() || entry.Output.empty()) {
            Problem(layout_.LayoutFile,
                    LocalText("#1561.3=%1 is onvolledig: de regel van een onderdeel bevat een "
                              "naam, een bron, een uitvoer en een bijschrift",
                              {label}));
            return;
        }
        if (const std::string problem = CheckOutputName(entry.Output); !problem.empty()) {
            Problem(layout_.LayoutFile, label + ": " + problem);
            return;
        }
        if (ContainsMarker(RawFolderPart(entry.Output), kNumberMarker) ||
            ContainsMarker(RawFolderPart(entry.Output), "#PART!"))
            Problem(layout_.LayoutFile, LocalText("#1561.4=%1: het paginanummer mag alleen in de "
                                                  "bestandsnaam van de uitvoer %2 staan",
                                                  {label, entry.Output}));
        const std::string source = entry.SourcePath(settings_.BaseName);
        if (!IsInsideFolder(source, FolderOf(layout_.LayoutFile)))
            Problem(layout_.LayoutFile,
                    LocalText("#1561.5=%1: de bron %2 ligt buiten de map van de stijl",
                              {label, source}));
        if (!settings_.OutputFolder.empty()) CheckOutputPlace(entry, label);
    }

    // Subfolders of the output that exist are real folders, and no output
    // lands on an input.
    void CheckOutputPlace(const TKSkslFile& entry, const std::string& label) {
        const std::string folder = WithSlash(settings_.OutputFolder);
        const std::string mask = OutputMask(entry, settings_.BaseName);
        std::string walked = folder;
        const std::string subfolders = RawFolderPart(mask);
        for (std::size_t from = 0; !subfolders.empty() && from <= subfolders.size();) {
            std::size_t to = subfolders.find('/', from);
            if (to == std::string::npos) to = subfolders.size();
            walked += subfolders.substr(from, to - from);
            if (IsLink(walked) || (fs::exists(walked) && !IsFolder(walked))) {
                Problem(walked, LocalText("#1561.6=%1: de map van de uitvoer is een symbolische "
                                          "koppeling of geen map",
                                          {label}));
                return;
            }
            walked += "/";
            from = to + 1;
        }
        const std::string maskFolder = ResolvedPath(FolderOf(folder + mask));
        const std::string maskName = FileNameOf(mask);
        for (const std::string& input : inputs_) {
            const bool named = ResolvedPath(FolderOf(AbsolutePath(input))) == maskFolder &&
                               MatchFileMask(FileNameOf(input), maskName, false);
            if (named || LinksTo(folder, mask, input))
                Problem(input,
                        LocalText("#1561.7=%1: de uitvoer %2 zou dit invoerbestand overschrijven",
                                  {label, folder + mask}));
        }
    }

    // An existing output that is the input under another name (a hard link).
    static bool LinksTo(const std::string& folder, const std::string& mask,
                        const std::string& input) {
        for (const std::string& existing : FindDeletable(folder, mask))
            if (!IsLink(existing) && SameFile(existing, input)) return true;
        return false;
    }

    const TKSrunSettings& settings_;
    const TKSkslData& layout_;
    std::vector<std::string> inputs_;
    std::vector<TKSproblem> problems_;
};

} // namespace

std::vector<std::string> RunInputs(const TKSrunSettings& settings) {
    std::vector<std::string> inputs;
    for (const TKSrunDocument& document : settings.Documents) {
        if (document.Data == nullptr || !document.Selected) continue;
        inputs.push_back(document.Data->FileName);
        if (document.Data->NeedsSorting())
            inputs.push_back(
                fs::path(document.Data->FileName).replace_extension(".new-htx").string());
    }
    if (settings.Layout == nullptr) return inputs;
    inputs.push_back(settings.Layout->LayoutFile);
    for (int n = 1; n <= settings.Layout->ItemCount(); ++n)
        inputs.push_back(settings.Layout->Item(n)->SourcePath(settings.BaseName));
    return inputs;
}

std::vector<TKSproblem> CheckRun(const TKSrunSettings& settings) {
    if (settings.Layout == nullptr) return {{"", LocalText("#1560.1=Er is geen stijl gekozen")}};
    return RunChecker(settings).Check();
}

std::string CheckOutputName(const std::string& name) {
    if (name.find_first_of("*?[") != std::string::npos)
        return LocalText("#1561.8=de uitvoernaam %1 bevat een jokerteken (*, ? of [)", {name});
    if (!name.empty() && (name[0] == '/' || name[0] == '\\'))
        return LocalText("#1561.9=de uitvoernaam %1 is een absoluut pad", {name});
    if (!IsPlainRelativePath(name))
        return LocalText("#1561.10=de uitvoernaam %1 wijst buiten de opslagmap", {name});
    return "";
}

std::string CheckBaseName(const std::string& baseName) {
    for (const char* bad : {"/", "\\", "*", "?", ".."})
        if (baseName.find(bad) != std::string::npos)
            return LocalText("#1561.11=de bestandsnaam %1 mag geen \"%2\" bevatten",
                             {baseName, bad});
    return "";
}

void MakeOutputSubfolders(const std::string& outputFolder, const std::string& name) {
    std::string path = WithSlash(outputFolder);
    for (std::size_t from = 0, to = name.find('/'); to != std::string::npos;
         from = to + 1, to = name.find('/', from)) {
        path += name.substr(from, to - from);
        if (::mkdir(path.c_str(), 0777) != 0 && errno != EEXIST)
            throw EWriteError(path, LocalReason("#1561.12=de map kan niet gemaakt worden", errno));
        // Made by us or already there: either way it must be a real folder.
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
            throw EWriteError(path, LocalText("#1561.13=is een symbolische koppeling of geen map"));
        path += "/";
    }
}

} // namespace ks
