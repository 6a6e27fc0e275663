#include "cli/RunTool.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>

#include <fcntl.h>
#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace ks::test {

namespace {

// Runs in the child between fork and exec: only async-signal-safe calls.
[[noreturn]] void StartChild(std::vector<char*>& argv, const RunOptions& options,
                             const std::string& cwd, const std::string& outPath,
                             const std::string& errPath, const std::string& config,
                             const std::string& tmp) {
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0 || chdir(cwd.c_str()) != 0)
        _exit(127);
    // The stop signals act as in a shell, whatever the test runner ignores.
    for (const int stop : {SIGINT, SIGTERM, SIGHUP})
        signal(stop, SIG_DFL);
    // The per-user store and the temporary files stay inside the test's folder.
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    setenv("TMPDIR", tmp.c_str(), 1);
    for (const std::string& variable : options.environment)
        putenv(const_cast<char*>(variable.c_str()));
    if (options.fileSizeLimit >= 0) {
        const rlimit limit{static_cast<rlim_t>(options.fileSizeLimit),
                           static_cast<rlim_t>(options.fileSizeLimit)};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(127);
    }
    if (options.withoutFileOverride && geteuid() == 0 &&
        (prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0) != 0 ||
         prctl(PR_CAPBSET_DROP, CAP_DAC_READ_SEARCH, 0, 0, 0) != 0))
        _exit(kCannotDropFileOverride);
    execv(argv[0], argv.data());
    _exit(127);
}

} // namespace

ToolRun::ToolRun(const std::vector<std::string>& args, const RunOptions& options)
    : tempFolder_(options.tempFolder) {
    std::filesystem::create_directories(TempFolder());
    const std::string cwd = options.folder.empty() ? temp_.path().string() : options.folder;
    const std::string config =
        options.configFolder.empty() ? temp_.file("config") : options.configFolder;
    std::string program = options.program.empty() ? KS_CLI_PATH : options.program;
    std::vector<std::string> copies = args;
    std::vector<char*> argv = {program.data()};
    for (std::string& a : copies)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_ = fork();
    if (pid_ == 0)
        StartChild(argv, options, cwd, temp_.file("out"), temp_.file("err"), config, TempFolder());
}

ToolRun::~ToolRun() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
}

Outcome ToolRun::Wait() {
    Outcome outcome;
    int status = 0;
    if (pid_ > 0 && waitpid(pid_, &status, 0) == pid_ && WIFEXITED(status))
        outcome.exitCode = WEXITSTATUS(status);
    pid_ = -1;
    outcome.out = ReadFileBytes(temp_.file("out"));
    outcome.err = ReadFileBytes(temp_.file("err"));
    return outcome;
}

Outcome RunTool(const std::vector<std::string>& args, const RunOptions& options) {
    return ToolRun(args, options).Wait();
}

Outcome RunTool(const std::vector<std::string>& args, const std::string& folder) {
    RunOptions options;
    options.folder = folder;
    return RunTool(args, options);
}

} // namespace ks::test
