// The program's switches on the command line and the environment built from
// them. The switches DEBUG, DEVELOPER, TEMP, LANGUAGE and the parameter CONF
// may be written as "/DEBUG", "-debug=3", "DEBUG=5" or "--debug[=N]"; an
// argument counts as a switch only when the name is followed by nothing, "="
// or ":", so a document called "debug.htx" stays a document.
#pragma once

#include "common/KScommon.h"

#include <memory>
#include <string>
#include <vector>

namespace ks::cli {

// Moves the switch arguments out of args (keeping the order of the rest) and
// returns them in the form the environment reads ("/NAME" or "/NAME=value").
std::vector<std::string> TakeSwitches(std::vector<std::string>& args);

// Creates and initialises the environment of the tool.
std::unique_ptr<TKScommon> MakeEnvironment(const std::vector<std::string>& switches);

} // namespace ks::cli
