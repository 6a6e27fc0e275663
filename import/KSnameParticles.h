// Surname particles ("van den", "de", "von", "d'") split off a surname into
// the index form "Berg, van den", and surnames written in capitals ("JANSEN",
// as many programs write them in their name lists) given their usual case.
#pragma once

#include "import/KSimportPerson.h"

#include <string>
#include <string_view>
#include <vector>

namespace ks {

// The particles of one language ("nl", "de", "fr", "it"), lower-case, longest
// first; empty for a language without a list.
const std::vector<std::string>& SurnameParticles(std::string_view language);

struct TKSsurnameParts {
    std::string Surname; // "Berg"
    std::string Prefix;  // "van den", as written; empty when none
};

// Splits the longest particle of the languages (all lists when empty) off
// the front of surname, letter case aside. A particle ends at a blank, or
// at its own apostrophe ("d'Artois"); nothing is split when no name would be
// left behind it. Blanks around the pieces are removed.
TKSsurnameParts SplitSurnameParticle(std::string_view surname,
                                     const std::vector<std::string>& languages = {});

// "JANSEN" becomes "Jansen", "O'BRIEN-SMIT" "O'Brien-Smit": only a name
// without any lower-case letter changes. Windows-1252 letters.
std::string NameCaseFromCapitals(std::string_view name);

// Puts the surname of a person read from a name list into the form of an
// index line: a prefix the source gave apart stays (and the surname is then
// not split again); otherwise a particle is split off. A surname written in
// capitals gets its usual case, its particle the spelling of the list. The
// names are in charset; in UTF-8 a letter Windows-1252 holds is treated as
// there, any other by its own case ("DVOŘÁK" becomes "Dvořák").
void FinishSurname(TKSimportPerson& person, const std::vector<std::string>& languages = {},
                   TKSimportCharset charset = TKSimportCharset::Windows1252);

} // namespace ks
