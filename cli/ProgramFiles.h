// Where the command-line tool finds the program's files, and the language
// files it opens at start, in one place.
#pragma once

#include <string>

namespace ks::cli {

// The current folder when it holds the program's files (a "KS-*.UI" file or
// a language folder), else the data folder of the build tree or of the
// installation; ends with "/".
std::string ProgramFolder();

// Opens "KS-" + language + ".UI" and ".LNG" of the program folder; missing
// files simply have no texts.
void OpenProgramLanguageFiles(const std::string& language = "NL");

} // namespace ks::cli
