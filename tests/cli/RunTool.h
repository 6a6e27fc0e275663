// Runs the built kestrin-index in a folder of the test's own, with the
// per-user store and the temporary files inside a fresh temporary folder.
#pragma once

#include "support/TempDir.h"

#include <sys/types.h>

#include <string>
#include <vector>

namespace ks::test {

struct Outcome {
    int exitCode = -1; // -1 when the tool did not exit by itself (a signal ended it)
    std::string out;
    std::string err;
};

struct RunOptions {
    std::string folder;                   // the tool's current folder ("" = a fresh one)
    std::string configFolder;             // XDG_CONFIG_HOME ("" = a fresh one)
    std::string program;                  // the tool to run ("" = the built kestrin-index)
    std::string tempFolder;               // TMPDIR ("" = a fresh one)
    long long fileSizeLimit = -1;         // RLIMIT_FSIZE in bytes; -1 leaves it
    std::vector<std::string> environment; // "NAME=VALUE" set for the run
    // Without the right to read and write any file that root has, so that
    // file modes count for root too.
    bool withoutFileOverride = false;
    // In-process runs only (RunInProcess.h): standard error counts as a
    // terminal, so build draws its progress.
    bool errIsTerminal = false;
};

// The exit code of a run that could not give up the file override.
constexpr int kCannotDropFileOverride = 125;

// One run of the tool, started at construction.
class ToolRun {
public:
    ToolRun(const std::vector<std::string>& args, const RunOptions& options);
    ~ToolRun(); // ends a run that is still going
    ToolRun(const ToolRun&) = delete;
    ToolRun& operator=(const ToolRun&) = delete;

    pid_t Pid() const { return pid_; }
    // The TMPDIR of the run.
    std::string TempFolder() const { return tempFolder_.empty() ? temp_.file("tmp") : tempFolder_; }
    // Waits for the end of the run.
    Outcome Wait();

private:
    TempDir temp_;
    std::string tempFolder_; // given by the test
    pid_t pid_ = -1;
};

Outcome RunTool(const std::vector<std::string>& args, const RunOptions& options);
// folder: the current folder of the tool ("" = a fresh temporary folder).
Outcome RunTool(const std::vector<std::string>& args, const std::string& folder = "");

} // namespace ks::test
