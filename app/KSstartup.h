// Start-up of the wizard: the start-up switches among the program's
// arguments, and the application environment made from them.
#pragma once

#include "common/KScommon.h"

#include <QString>
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
// language and the language files; Qt's own texts (standard buttons, the
// folder chooser) follow its language.
std::unique_ptr<TKScommon> StartEnvironment(const std::vector<std::string>& switches);

// The name of Qt's translations for a language of the program ("NL" gives
// "nl"), or "" when Qt's own English texts serve it.
QString QtTranslationName(const std::string& language);

// Puts Qt's translations for language (from folder, else where Qt keeps
// them) in place of those installed before. False, with Qt's English texts,
// when language needs none or its file is missing or unreadable.
bool InstallQtTranslations(const std::string& language, const QString& folder = QString());

} // namespace ks::app
