// Start-up of the command-line tool: the application environment with the
// product's version, program folder, language and language files, as the
// wizard has it.
#pragma once

#include "common/KScommon.h"

#include <memory>
#include <string>
#include <vector>

namespace ks::cli {

// switches: the arguments that are start-up switches ("/LANGUAGE=GB", ...).
std::unique_ptr<TKScommon> StartEnvironment(const std::vector<std::string>& switches);

} // namespace ks::cli
