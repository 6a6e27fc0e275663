// The application environment: where the program's files, the language, the
// temporary files and the log live, and how the program was started
// (switches). The file services that go with it are in KSfiles.h.
//
// One TKScommon exists per process, from start-up to the end; it is created
// with an explicit list of switch arguments, an explicit current folder and
// the places where the program's files may be, so that the command-line tool
// and the tests never depend on the real process. The program's files come
// only from where the program was built or installed, never from the current
// folder. Folders always end with "/".
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace ks {

// The bits of a switch set (DEBUG, DEVELOPER).
class TKSbitmap {
public:
    TKSbitmap() = default;
    explicit TKSbitmap(int32_t value) : value_(value) {}

    bool IsSet(int bit) const; // bit taken modulo 32
    bool IsZero() const { return value_ == 0; }
    bool IsNonZero() const { return value_ != 0; }
    int32_t Value() const { return value_; }

private:
    int32_t value_ = 0;
};

// The folder chooser of the user interface. The wizard implements it with its
// toolkit's dialog; the core only declares it. An implementation clears a
// folder that does not exist before preselecting it, uses root (when not
// empty) as the top of the tree, offers a "new folder" button only when
// allowNewFolder, and returns true with the chosen folder when confirmed.
class FolderBrowser {
public:
    virtual ~FolderBrowser() = default;
    virtual bool BrowseForFolder(const std::string& title, const std::string& root,
                                 std::string& folder, bool allowNewFolder) = 0;
};

// Where the program's own files (texts, layouts, help) may be: the folders
// tried in order, and every place looked at, for the message when none of the
// folders holds them (the folders themselves when Places is empty).
struct ProgramFolderSearch {
    std::vector<std::string> Folders;
    std::vector<std::string> Places;
};

// The file beside a program of the build tree that names its program folder:
// the program's path + this suffix. Installations never carry one.
inline constexpr const char* kProgramFolderRecordSuffix = ".program-folder";

class TKScommon {
public:
    // Where the program at path finds its files: the folder named in the
    // file path + kProgramFolderRecordSuffix (a build tree), then
    // share/kestrin/ beside the program's own bin/ folder (an installation,
    // wherever it was installed or unpacked). Never the current folder.
    static ProgramFolderSearch ProgramFolderSearchFor(const std::string& program);
    // The same for this process's own program file.
    static ProgramFolderSearch DefaultProgramFolderSearch();

    // switches: the command-line arguments that may be switches, in order.
    // currentFolder: empty means the process's current folder; relative
    // folders given with switches are taken from it.
    // Only one environment may exist at a time (EAssertionFailed otherwise).
    TKScommon(std::vector<std::string> switches, std::string currentFolder,
              ProgramFolderSearch programFolders = DefaultProgramFolderSearch());
    ~TKScommon();
    TKScommon(const TKScommon&) = delete;
    TKScommon& operator=(const TKScommon&) = delete;

    // Product values set by program start-up before InitEnvironment; also
    // builds RegistryBase ("\Software\" + product + "\" + version + "\").
    void SetProduct(const std::string& productName, const std::string& version,
                    const std::string& release, const std::string& releaseDate);

    // Whether InitEnvironment writes the language it chose back to the store
    // for the next start (the default). A front end whose language switch
    // serves one run only turns it off before InitEnvironment.
    void SetRememberLanguage(bool remember);

    // Folders, switch sets, language and language files. Runs once.
    // Throws EInOutError when no folder of the search holds the program's
    // files (naming every place looked at) or no private temporary folder
    // can be made.
    void InitEnvironment();

    void SetUiLanguage(const std::string& language);
    void SetTextLanguage(const std::string& language);

    // The value of switch name: "" when absent, " " when given without value,
    // else the text after the first "=" or ":". A later argument overrides an
    // earlier one; any argument that begins with the name matches.
    std::string CommandLineSwitch(const std::string& name) const;
    bool HasSwitch(const std::string& name) const;

    // Appends "hh:mm:ss : text" to LogFolder + "yyyy-mm-dd-LOG.TXT" for the
    // local time now; never fails. Callers log only when DebugSwitches bit 0
    // is set.
    void WriteLog(const std::string& text) const;
    void WriteLogAt(const std::string& text, std::time_t when) const;

    std::string ProductName;
    std::string Version;
    std::string Release;
    std::string ReleaseDate;
    std::string ProgramFolder;
    std::string LanguageFolder;
    std::string TempFolder;
    std::string LogFolder;
    std::string ResourceFolder;
    std::string UiLanguage;
    std::string TextLanguage;
    std::string RegistryBase;
    std::string RegistryLanguageKey;
    TKSbitmap DebugSwitches;
    TKSbitmap DeveloperSwitches;

private:
    std::string ChooseProgramFolder() const;
    std::string ChooseTempFolder() const;
    std::string ChooseLanguage() const;
    TKSbitmap SwitchBits(const std::string& name) const;

    std::vector<std::string> switches_;
    std::string currentFolder_;
    ProgramFolderSearch programFolders_;
    bool initialised_ = false;
    bool rememberLanguage_ = true;
};

// The languages the program may run in, by the names of their folders.
std::vector<std::string> KnownLanguages();

// The environment of this process; EAssertionFailed when none exists.
TKScommon& Environment();
// The environment of this process, or nullptr.
TKScommon* CurrentEnvironment();

} // namespace ks
