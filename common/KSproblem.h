// A problem with one file: the file concerned and what is wrong with it. The
// checks before a run, the deletion of old results, the settings store, the
// run's result and the command-line tool all report in this form.
#pragma once

#include <string>

namespace ks {

// Path is bytes as the system has it ("" when no file is concerned). Reason
// is a text of the program: Windows-1252 in the core, UTF-8 once a front end
// has converted it for its own use.
struct TKSproblem {
    std::string Path;
    std::string Reason;

    // "Path: Reason", or the reason alone when no file is concerned.
    std::string Text() const;
};

} // namespace ks
