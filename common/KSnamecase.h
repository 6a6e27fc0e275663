// Letter case of names in settings files and in the per-user store: section,
// key and value names match without regard to the case of the Windows-1252
// letters (a-z, the accented letters, and the pairs š/Š, œ/Œ, ž/Ž, ÿ/Ÿ).
// Texts that are not letters (ß, µ, digits, punctuation) match only themselves.
#pragma once

#include <string>
#include <string_view>

namespace ks {

// True when both names are equal apart from letter case.
bool SameNameNoCase(std::string_view a, std::string_view b);
// The name with every letter capitalised: equal keys for names that match.
std::string NameCaseKey(std::string_view name);

} // namespace ks
