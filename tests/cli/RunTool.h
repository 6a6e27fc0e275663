// Runs the built kestrin-index in a folder of the test's own, with the
// per-user store and the temporary files inside a fresh temporary folder.
#pragma once

#include <string>
#include <vector>

namespace ks::test {

struct Outcome {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// folder: the current folder of the tool ("" = a fresh temporary folder).
Outcome RunTool(const std::vector<std::string>& args, const std::string& folder = "");

} // namespace ks::test
