// Start-up of the command-line tool: the program's switches on the command
// line, and the application environment with the product's version, program
// folder, language and language files, as the wizard has it.
//
// The switches DEBUG, DEVELOPER, TEMP, LANGUAGE and the parameter CONF are
// written "-debug=3", "--language=GB", "--developer" or "-temp:DIR": a "-" or
// "--", the name, then nothing or "=" or ":" and the value. So a document
// called "debug.htx", "temp=1.htx" or "/temp" stays a document. The wizard's
// command line also knows "/DEBUG" and "DEBUG=5" (SwitchForms::Wizard).
#pragma once

#include "common/KScommon.h"

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

namespace ks::cli {

enum class SwitchForms {
    Dashed, // "-NAME..." and "--NAME..." only: the command-line tool
    Wizard, // also "/NAME..." and "NAME=value", "NAME:value"
};

// Moves the switch arguments out of args (keeping the order of the rest) and
// returns them in the form the environment reads ("/NAME" or "/NAME=value").
// The value after an option of optionsWithValue, and everything after "--",
// is never taken for a switch.
std::vector<std::string> TakeSwitches(std::vector<std::string>& args,
                                      const std::vector<std::string>& optionsWithValue = {},
                                      SwitchForms forms = SwitchForms::Dashed);

// Moves the switches that stand before the command out of args, up to the
// first argument that is no switch, and returns them as TakeSwitches does.
std::vector<std::string> TakeLeadingSwitches(std::vector<std::string>& args);

// switches: the arguments that are start-up switches ("/LANGUAGE=GB", ...).
// A language given with them serves this run only: it is never stored.
std::unique_ptr<TKScommon> StartEnvironment(const std::vector<std::string>& switches);

// What was wrong with the per-user store when it was read (lines skipped, a
// file that cannot be read): one line each on err.
void ReportStoreWarnings(std::ostream& err);
// Saves the per-user store when the run changed it; a failure is one line on
// err and does not change the outcome of the run.
void SaveStore(std::ostream& err);

} // namespace ks::cli
