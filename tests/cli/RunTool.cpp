#include "cli/RunTool.h"

#include "support/TempDir.h"

#include <cstdlib>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace ks::test {

// Runs the built tool with args in folder, capturing both output streams.
Outcome RunTool(const std::vector<std::string>& args, const std::string& folder) {
    TempDir temp;
    const std::string outPath = temp.file("out");
    const std::string errPath = temp.file("err");
    const std::string cwd = folder.empty() ? temp.path().string() : folder;
    std::vector<char*> argv;
    std::string program = KS_CLI_PATH;
    argv.push_back(program.data());
    std::vector<std::string> copies = args;
    for (std::string& a : copies)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0 || chdir(cwd.c_str()) != 0)
            _exit(127);
        // The per-user store and the temporary files stay inside the test's folder.
        setenv("XDG_CONFIG_HOME", temp.file("config").c_str(), 1);
        setenv("TMPDIR", temp.path().c_str(), 1);
        execv(argv[0], argv.data());
        _exit(127);
    }
    Outcome outcome;
    int status = 0;
    if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status))
        outcome.exitCode = WEXITSTATUS(status);
    outcome.out = ReadFileBytes(outPath);
    outcome.err = ReadFileBytes(errPath);
    return outcome;
}

} // namespace ks::test
