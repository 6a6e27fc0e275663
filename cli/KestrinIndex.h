// kestrin-index as a library: the whole program behind one call, so that the
// program's main is a few lines and tests run the tool in their own process
// with its output captured.
//
// A call reads the switches and the command from args, starts the
// application environment (only one may exist in a process at a time),
// runs the command and saves the per-user store. It takes from the process
// what a program takes from it: the current folder (relative paths are
// taken from it), the per-user store as RegistryStore::Instance() has it,
// TMPDIR, and the stop signals while a build runs (StopSignals.h).
#pragma once

#include "common/KScommon.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace ks::cli {

// What the tool needs to know about the way it was started.
struct Invocation {
    // Where the program's own files (texts, layouts) are: for the program
    // itself, what TKScommon finds beside its program file.
    ProgramFolderSearch programFolders;
    // Whether err goes to a terminal: only then does build draw its progress.
    bool errIsTerminal = false;
};

// Runs kestrin-index with args (the program name left out), printing on out
// and err; returns the exit status: 0 done, 1 failed, 2 a usage error, 128 +
// the signal that stopped a build.
int RunKestrinIndex(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                    const Invocation& invocation);

} // namespace ks::cli
