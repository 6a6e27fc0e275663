// Start-up of the wizard: the start-up switches among the program's
// arguments, and the application environment made from them.
#pragma once

#include "common/KScommon.h"

#include <QStringList>
#include <memory>
#include <string>
#include <vector>

namespace ks::app {

// The program's arguments (the program name first, Qt's own options already
// taken out) in the form the environment reads switches (KSswitches.h, the
// wizard's forms): "--language=GB" becomes "/language=GB"; "/DEBUG",
// "-debug=3" and "CONF=x" stay as written.
std::vector<std::string> StartupSwitches(const QStringList& arguments);

// The environment with the product's name and version, its folders, the
// language and the language files.
std::unique_ptr<TKScommon> StartEnvironment(const std::vector<std::string>& switches);

} // namespace ks::app
