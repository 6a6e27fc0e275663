// Settings that one language's start may take over from another's. Each
// language keeps its settings below its own key of the per-user store
// (base + language + "\"); a user who switches language should not have to
// set everything up again, so a language that has none yet starts from a
// copy of another's. After that each language keeps its own.
#pragma once

#include <string>
#include <vector>

namespace ks {

class RegistryStore;

struct LanguageSettingsPlace {
    std::string Base;         // the key above the languages' keys, "\Software\...\"
    std::string SettingsPath; // below a language's key, such as "HTMLwiz\"
    // Subkeys of the settings key that belong to its settings (copied with
    // all their subkeys); other subkeys, such as settings of their own, are
    // neither looked at nor copied.
    std::vector<std::string> Subkeys;
};

// When language's settings key holds no values, neither of its own nor in
// the listed subkeys, copies them from the first of others whose settings key
// holds values of its own (language itself is passed over). Returns the
// language copied from, or "" when nothing was copied. The copies are changes
// of the store like any other: a save writes them.
std::string ShareLanguageSettings(RegistryStore& store, const LanguageSettingsPlace& place,
                                  const std::string& language,
                                  const std::vector<std::string>& others);

} // namespace ks
