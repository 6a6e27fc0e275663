// Localised texts. Every user-visible literal is written as "#" key "="
// Dutch default and looked up in the user-interface text file of the chosen
// language; the language file holds the vocabulary of genealogical dates.
// The environment opens both files at start-up; a missing file has no keys.
#pragma once

#include <string>

namespace ks {

// Opens the user-interface text file ("KS-xx.UI") and the language file
// ("KS-xx.LNG"); either may be missing.
void OpenLanguageFiles(const std::string& uiFile, const std::string& lngFile);
// Opens one of the two files, leaving the other as it is.
void OpenUiTextFile(const std::string& uiFile);
void OpenLanguageFile(const std::string& lngFile);
void CloseLanguageFiles();

// "#key=default" / "#key" / plain key, looked up in section of the UI file.
std::string LookupText(const std::string& literal, const std::string& section);
// The value of key number (decimal) in section of the language file, or "".
std::string LookupNumbered(int number, const std::string& section);
// The value of key in section of the language file, or "".
std::string LookupKey(const std::string& key, const std::string& section);

} // namespace ks
