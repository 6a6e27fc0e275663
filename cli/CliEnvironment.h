// Start-up of the command-line tool: the program's switches on the command
// line, and the application environment with the product's version, program
// folder, language and language files, as the wizard has it.
//
// The switches DEBUG, DEVELOPER, TEMP, LANGUAGE and the parameter CONF may be
// written as "/DEBUG", "-debug=3", "DEBUG=5" or "--debug[=N]": with "/" or
// "-" in front the name stands alone or is followed by "=" or ":", without
// one it must be followed by "=" or ":". So a document called "debug.htx"
// or "temp" stays a document.
#pragma once

#include "common/KScommon.h"

#include <memory>
#include <string>
#include <vector>

namespace ks::cli {

// Moves the switch arguments out of args (keeping the order of the rest) and
// returns them in the form the environment reads ("/NAME" or "/NAME=value").
// The value after an option of optionsWithValue, and everything after "--",
// is never taken for a switch.
std::vector<std::string> TakeSwitches(std::vector<std::string>& args,
                                      const std::vector<std::string>& optionsWithValue = {});

// switches: the arguments that are start-up switches ("/LANGUAGE=GB", ...).
std::unique_ptr<TKScommon> StartEnvironment(const std::vector<std::string>& switches);

} // namespace ks::cli
