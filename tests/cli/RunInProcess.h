// Runs kestrin-index inside the test's own process, through the same entry
// point as the program, with its output captured: as RunTool does, but
// without starting a process. The current folder, the per-user store and
// TMPDIR are those of a fresh run (RunOptions), and the program folder is
// the one the built tool finds beside itself. What only a process can have
// (another program, a file-size limit, fewer rights) needs RunTool.
#pragma once

#include "cli/RunTool.h"
#include "support/TempDir.h"

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace ks::test {

Outcome RunInProcess(const std::vector<std::string>& args, const RunOptions& options);
// folder: the current folder of the run ("" = a fresh temporary folder).
Outcome RunInProcess(const std::vector<std::string>& args, const std::string& folder = "");
// The same with out as the stream the tool prints its results on.
int RunInProcess(const std::vector<std::string>& args, const RunOptions& options, std::ostream& out,
                 std::string& err);

} // namespace ks::test

// The names the tests of the tool use most.
namespace ks {
namespace fs = std::filesystem;
using test::Outcome;
using test::ReadFileBytes;
using test::RunInProcess;
using test::WriteFileBytes;
} // namespace ks
