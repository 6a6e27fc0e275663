// kestrin-index: the command-line tool on the core library.
#include "cli/KestrinIndex.h"
#include "cli/StopSignals.h"

#include <unistd.h>

#include <clocale>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    // Numbers become texts with the locale's decimal separator until a
    // number literal is compiled.
    std::setlocale(LC_NUMERIC, "");
    ks::cli::IgnoreFileSizeSignal();
    const ks::cli::Invocation invocation{ks::TKScommon::DefaultProgramFolderSearch(),
                                         isatty(STDERR_FILENO) == 1};
    return ks::cli::RunKestrinIndex(std::vector<std::string>(argv + 1, argv + argc), std::cout,
                                    std::cerr, invocation);
}
