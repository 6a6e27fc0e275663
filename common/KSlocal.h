// Localised texts. Every user-visible literal is written as "#" key "="
// Dutch default and looked up in the user-interface text file of the chosen
// language; the language file holds the vocabulary of genealogical dates.
// The environment opens both files at start-up; a missing file has no keys.
#pragma once

#include <string>
#include <vector>

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
// The text of a literal in section "Text", the section of every message.
std::string LocalText(const std::string& literal);
// The same with "%1", "%2", ... replaced by values[0], values[1], ...; a
// value is put in as it is (a path that holds "%1" stays as it is), so the
// word order is the translation's. "%1{ person| persons}" puts in the value
// and the first form when the value is "1", else the second.
std::string LocalText(const std::string& literal, const std::vector<std::string>& values);
// text with "%1", "%2", ... replaced as LocalText does, for a text that is
// converted (say to UTF-8) before the values are put in.
std::string WithValues(const std::string& text, const std::vector<std::string>& values);
// The text of a literal, ": " and the system's reason for errno value error,
// as in "kan niet gelezen worden: Permission denied".
std::string LocalReason(const std::string& literal, int error);

// The value of key number (decimal) in section of the language file, or "".
std::string LookupNumbered(int number, const std::string& section);
// The value of key in section of the language file, or "".
std::string LookupKey(const std::string& key, const std::string& section);

} // namespace ks
