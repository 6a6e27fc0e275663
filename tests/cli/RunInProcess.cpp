#include "cli/RunInProcess.h"

#include "cli/KestrinIndex.h"
#include "common/KSregstore.h"
#include "support/ScopedEnv.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace ks::test {

namespace {

namespace fs = std::filesystem;

// The process's current folder for the life of the object.
class CurrentFolder {
public:
    explicit CurrentFolder(const fs::path& folder) : previous_(fs::current_path()) {
        fs::current_path(folder);
    }
    ~CurrentFolder() {
        std::error_code ec;
        fs::current_path(previous_, ec);
    }
    CurrentFolder(const CurrentFolder&) = delete;
    CurrentFolder& operator=(const CurrentFolder&) = delete;

private:
    fs::path previous_;
};

} // namespace

int RunInProcess(const std::vector<std::string>& args, const RunOptions& options, std::ostream& out,
                 std::string& err) {
    if (!options.program.empty() || options.fileSizeLimit >= 0 || options.withoutFileOverride)
        ADD_FAILURE() << "only a process of its own can have that: use RunTool";
    TempDir temp;
    const std::string tmp = options.tempFolder.empty() ? temp.file("tmp") : options.tempFolder;
    fs::create_directories(tmp);
    const ScopedEnv config("XDG_CONFIG_HOME", options.configFolder.empty() ? temp.file("config")
                                                                           : options.configFolder);
    const ScopedEnv tmpdir("TMPDIR", tmp);
    RegistryStore::Instance().Reload(); // the store as a program started now reads it
    const CurrentFolder here(options.folder.empty() ? temp.path() : fs::path(options.folder));
    std::ostringstream errors;
    const cli::Invocation invocation{TKScommon::ProgramFolderSearchFor(KS_CLI_PATH),
                                     options.errIsTerminal};
    const int status = cli::RunKestrinIndex(args, out, errors, invocation);
    err = errors.str();
    return status;
}

Outcome RunInProcess(const std::vector<std::string>& args, const RunOptions& options) {
    std::ostringstream out;
    Outcome outcome;
    outcome.exitCode = RunInProcess(args, options, out, outcome.err);
    outcome.out = out.str();
    return outcome;
}

Outcome RunInProcess(const std::vector<std::string>& args, const std::string& folder) {
    RunOptions options;
    options.folder = folder;
    return RunInProcess(args, options);
}

} // namespace ks::test
