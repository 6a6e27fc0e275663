// Keys of the search across all trees. Names are folded to the letters a to
// z and the digits, so that accents, letter case, blanks and punctuation do
// not matter (M&uuml;ller and muller both give "muller"); a surname's key
// leaves out the prefix words in front of it ("van den Berg" gives "berg",
// as does "Berg" with the prefix "van den"). The script that searches in the
// browser folds what the visitor types in the same way.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ks {

// The folded form of a text (UTF-8): letters lower-case without their
// accents (ligatures and the sharp s spelled out: "ae", "oe", "ss", "th";
// Ł and ł as l, ő as o, ά as α, the final ς as σ), digits kept, a letter or
// digit of another script kept as UTF-8, everything else left out. A byte
// that is no UTF-8 is read as Windows-1252.
std::string SearchFold(std::string_view utf8);
// SearchFold(utf8) appended to out.
void AppendSearchFold(std::string& out, std::string_view utf8);
// The folded words taken as surname prefixes when they stand in front of a
// surname ("van", "den", "de", "t", "von", ...), in a fixed order.
const std::vector<std::string>& SearchPrefixWords();

// The key of a surname (without the part after ", "): its words (separated
// by blanks) folded and joined, after leaving out the prefix words in front
// of the last word. Empty for a surname with nothing to fold ("?").
std::string SurnameSearchKey(std::string_view surnameMain);

// The keys of given names: each word (separated by blanks) folded, once, in
// the order written ("Jan Pieter Jan" gives "jan", "pieter"). A person is
// filed under each, so that any given name finds it, wherever it stands.
std::vector<std::string> GivenSearchKeys(std::string_view givenNames);

// The sound keys of a surname key (as SurnameSearchKey makes it): six
// digits each, so that names spelled differently but said alike share one
// ("jansen" and "janssen", "meijer" and "meyer", "schmidt" and "smit").
// Letters that may sound in two ways ("c" as k or s, "ch", "j") give a key
// for each. The keys follow the coding genealogists use for the names of
// Europe's Germanic, Slavic and Jewish families: letters are coded by
// their sound, longest spelling first, with a code depending on whether
// the letters start the name, come before a vowel or elsewhere; vowels
// count only at the start; a sound repeated without a vowel between is
// coded once. Sorted, without repeats; empty for a key without letters.
std::vector<std::string> SurnameSoundKeys(std::string_view key);

} // namespace ks
