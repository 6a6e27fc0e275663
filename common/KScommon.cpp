#include "common/KScommon.h"

#include "common/KSerrors.h"
#include "common/KSfileio.h"
#include "common/KSfiles.h"
#include "common/KSini.h"
#include "common/KSlocal.h"
#include "common/KSswitches.h"
#include "common/KStextutil.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace ks {
namespace fs = std::filesystem;

namespace {

TKScommon* currentEnvironment = nullptr;

// Tested in this order; each one found replaces the choice, so the last wins.
constexpr std::array<const char*, 4> kLanguageFolders = {"GB", "F", "D", "NL"};

// A language code names files and folders and a store key, so only letters,
// digits, '-' and '_' are taken; anything else counts as no choice. Codes are
// upper case, as the files of the program folder are named.
std::string NormaliseLanguage(const std::string& text) {
    const std::string code = AsciiUpper(Trim(text));
    if (code.empty() || code.size() > 16) return "";
    for (char c : code) {
        const bool ok = (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
        if (!ok) return "";
    }
    return code;
}

// The program's own files: a user-interface text file or a language folder
// with its layouts. An empty or half-removed folder does not count.
bool HoldsProgramFiles(const std::string& folder) {
    if (!FindFiles(folder, "KS-*.UI").empty()) return true;
    for (const char* language : kLanguageFolders)
        if (IsFolder(folder + language + "/layout")) return true;
    return false;
}

// An unused fresh folder of our own, for when the usual one is not safe.
std::string FreshTempFolder(const std::string& base) {
    std::string pattern = base + "KESTRIN-" + std::to_string(::geteuid()) + "-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) return "";
    return pattern + "/";
}

std::string Digits(int value, int width) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*d", width, value);
    return text;
}

} // namespace

bool TKSbitmap::IsSet(int bit) const {
    const unsigned shift = static_cast<unsigned>(bit) % 32U;
    return ((static_cast<uint32_t>(value_) >> shift) & 1U) != 0;
}

ProgramFolderSearch TKScommon::ProgramFolderSearchFor(const std::string& program) {
    ProgramFolderSearch search;
    const fs::path path = fs::path(program).lexically_normal();
    // A build tree names the program folder beside each program that needs
    // it; a program copied out of the tree leaves that file behind.
    const std::string record = path.string() + kProgramFolderRecordSuffix;
    search.Places.push_back(record);
    if (IsFile(record)) {
        std::string text;
        FileStamp stamp;
        ReadWholeFile(record, text, stamp);
        text.erase(std::min(text.find('\n'), text.size()));
        std::erase(text, '\r');
        const std::string named = TrimRight(text);
        if (!named.empty()) {
            fs::path folder(named);
            if (folder.is_relative()) folder = path.parent_path() / folder;
            const std::string folderText = WithSlash(folder.lexically_normal().string());
            search.Folders.push_back(folderText);
            search.Places.push_back(folderText);
        }
    }
    // An installation keeps its files in share/kestrin/ beside its bin/.
    if (path.has_parent_path()) {
        const std::string installed =
            WithSlash((path.parent_path().parent_path() / "share/kestrin").string());
        search.Folders.push_back(installed);
        search.Places.push_back(installed);
    }
    return search;
}

ProgramFolderSearch TKScommon::DefaultProgramFolderSearch() {
    std::error_code ec;
    const fs::path program = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return {{}, {"/proc/self/exe: " + ec.message()}};
    return ProgramFolderSearchFor(program.string());
}

TKScommon::TKScommon(std::vector<std::string> switches, std::string currentFolder,
                     ProgramFolderSearch programFolders)
    : switches_(std::move(switches)), programFolders_(std::move(programFolders)) {
    if (currentEnvironment != nullptr)
        throw EAssertionFailed("KScommon: the environment exists already");
    std::error_code ec;
    fs::path folder = currentFolder.empty() ? fs::current_path(ec) : fs::path(currentFolder);
    if (folder.is_relative()) folder = fs::absolute(folder, ec);
    currentFolder_ = WithSlash(folder.lexically_normal().string());
    currentEnvironment = this;
}

TKScommon::~TKScommon() {
    CloseLanguageFiles();
    currentEnvironment = nullptr;
}

void TKScommon::SetProduct(const std::string& productName, const std::string& version,
                           const std::string& release, const std::string& releaseDate) {
    ProductName = productName;
    Version = version;
    Release = release;
    ReleaseDate = releaseDate;
    RegistryBase = "\\Software\\" + productName + "\\" + version + "\\";
}

void TKScommon::SetRememberLanguage(bool remember) {
    if (initialised_) throw EAssertionFailed("KScommon: the language is chosen already");
    rememberLanguage_ = remember;
}

void TKScommon::InitEnvironment() {
    if (initialised_) throw EAssertionFailed("KScommon: InitEnvironment runs once");
    initialised_ = true;
    ProgramFolder = ChooseProgramFolder();
    DebugSwitches = SwitchBits("DEBUG");
    DeveloperSwitches = SwitchBits("DEVELOPER");
    TempFolder = ChooseTempFolder();
    LogFolder = TempFolder;
    const std::string language = ChooseLanguage();
    RegistryLanguageKey = RegistryBase + language + "\\";
    LanguageFolder = ProgramFolder + language + "/";
    ResourceFolder = ProgramFolder + "Resource/";
    SetUiLanguage(language);
    SetTextLanguage(language);
}

void TKScommon::SetUiLanguage(const std::string& language) {
    UiLanguage = language;
    OpenUiTextFile(ProgramFolder + "KS-" + language + ".UI");
}

void TKScommon::SetTextLanguage(const std::string& language) {
    TextLanguage = language;
    OpenLanguageFile(ProgramFolder + "KS-" + language + ".LNG");
}

std::string TKScommon::CommandLineSwitch(const std::string& name) const {
    return SwitchValue(switches_, name);
}

bool TKScommon::HasSwitch(const std::string& name) const {
    return !CommandLineSwitch(name).empty();
}

void TKScommon::WriteLog(const std::string& text) const {
    WriteLogAt(text, std::time(nullptr));
}

void TKScommon::WriteLogAt(const std::string& text, std::time_t when) const {
    if (LogFolder.empty()) return;
    std::tm local{};
    if (::localtime_r(&when, &local) == nullptr) return;
    const std::string file = LogFolder + Digits(local.tm_year + 1900, 4) + "-" +
                             Digits(local.tm_mon + 1, 2) + "-" + Digits(local.tm_mday, 2) +
                             "-LOG.TXT";
    const std::string line = Digits(local.tm_hour, 2) + ":" + Digits(local.tm_min, 2) + ":" +
                             Digits(local.tm_sec, 2) + " : " + text;
    try {
        // Written through at once: the log is for finding out what happened
        // before a crash.
        File log = File::Open(file, File::OpenMode::Append);
        if (log.Valid()) {
            log.Write(line + "\r\n");
            log.Close();
        }
    } catch (const std::exception&) {
        // The log never stops the program.
    }
}

std::string TKScommon::ChooseProgramFolder() const {
    // Only where the program was built or installed: a folder the user merely
    // works in never supplies texts, layouts or scripts.
    for (const std::string& folder : programFolders_.Folders)
        if (!folder.empty() && HoldsProgramFiles(WithSlash(folder))) return WithSlash(folder);
    const std::vector<std::string>& places =
        programFolders_.Places.empty() ? programFolders_.Folders : programFolders_.Places;
    std::string looked;
    for (const std::string& place : places)
        looked += (looked.empty() ? "" : ", ") + place;
    throw EInOutError(looked, "no program folder with the program's texts and layouts found "
                              "(share/kestrin/ beside the program's bin/ folder, or the folder "
                              "named in the program's .program-folder file)");
}

std::string TKScommon::ChooseTempFolder() const {
    const std::string chosen = Trim(CommandLineSwitch("TEMP"));
    if (!chosen.empty()) {
        const std::string folder = WithSlash(chosen[0] == '/' ? chosen : currentFolder_ + chosen);
        if (IsFolder(folder)) return folder;
    }
    std::vector<std::string> bases = {GetTempPath()};
    if (bases.front() != "/tmp/") bases.push_back("/tmp/");
    for (const std::string& base : bases)
        if (std::string folder = PrivateTempFolder(base); !folder.empty()) return folder;
    for (const std::string& base : bases)
        if (std::string folder = FreshTempFolder(base); !folder.empty()) return folder;
    throw EInOutError("Cannot create a private temporary folder in " + bases.front());
}

std::string TKScommon::ChooseLanguage() const {
    std::string language = NormaliseLanguage(CommandLineSwitch("LANGUAGE"));
    // Without a product there is no store key: nothing to read or remember.
    if (language.empty() && !RegistryBase.empty()) {
        TKSreg store(RegistryBase);
        language = NormaliseLanguage(store.ReadString("Language"));
        store.Close();
    }
    if (language.empty())
        for (const char* folder : kLanguageFolders)
            if (IsFolder(ProgramFolder + folder)) language = folder;
    if (language.empty()) language = "NL";
    if (rememberLanguage_ && !RegistryBase.empty()) {
        TKSreg store(RegistryBase);
        store.WriteString("Language", language);
        store.Close();
    }
    return language;
}

TKSbitmap TKScommon::SwitchBits(const std::string& name) const {
    const std::string value = CommandLineSwitch(name);
    if (value.empty()) return TKSbitmap(0);
    if (Trim(value).empty()) return TKSbitmap(-1);
    int32_t bits = 0;
    return TKSbitmap(ParseWholeNumber(value, bits) ? bits : 0);
}

std::vector<std::string> KnownLanguages() {
    return {kLanguageFolders.begin(), kLanguageFolders.end()};
}

TKScommon& Environment() {
    if (currentEnvironment == nullptr) throw EAssertionFailed("KScommon: no environment");
    return *currentEnvironment;
}

TKScommon* CurrentEnvironment() {
    return currentEnvironment;
}

} // namespace ks
