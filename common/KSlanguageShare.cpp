#include "common/KSlanguageShare.h"

#include "common/KSnamecase.h"
#include "common/KSregstore.h"

#include <optional>

namespace ks {

namespace {

std::string SettingsKeyOf(const LanguageSettingsPlace& place, const std::string& language) {
    return place.Base + language + "\\" + place.SettingsPath;
}

// The normalised paths of the settings: the key itself, then every listed
// subkey with the keys below it; only those that exist.
std::vector<std::string> SettingsKeys(const RegistryStore& store, const std::string& keyPath,
                                      const std::vector<std::string>& subkeys) {
    std::vector<std::string> paths;
    std::optional<std::string> key = RegistryStore::NormalizePath(keyPath);
    if (!key) return paths;
    paths.push_back(*key);
    for (const std::string& name : subkeys) {
        const std::optional<std::string> sub = RegistryStore::ChildPath(*key, name);
        if (!sub) continue;
        paths.push_back(*sub);
        for (std::string& below : store.KeysBelow(*sub))
            paths.push_back(std::move(below));
    }
    return paths;
}

bool HoldsValues(const RegistryStore& store, const std::vector<std::string>& paths) {
    for (const std::string& path : paths)
        if (!store.Values(path).empty()) return true;
    return false;
}

} // namespace

std::string ShareLanguageSettings(RegistryStore& store, const LanguageSettingsPlace& place,
                                  const std::string& language,
                                  const std::vector<std::string>& others) {
    const std::optional<std::string> target =
        RegistryStore::NormalizePath(SettingsKeyOf(place, language));
    if (!target) return "";
    if (HoldsValues(store, SettingsKeys(store, *target, place.Subkeys))) return "";
    for (const std::string& other : others) {
        if (SameNameNoCase(other, language)) continue;
        const std::optional<std::string> source =
            RegistryStore::NormalizePath(SettingsKeyOf(place, other));
        // Only a language that was really used counts, not one whose key was
        // merely opened or holds nothing but a document list.
        if (!source || store.Values(*source).empty()) continue;
        for (const std::string& path : SettingsKeys(store, *source, place.Subkeys)) {
            const RegistryKeyHandle copy = store.CreateKey(*target + path.substr(source->size()));
            for (const auto& [name, text] : store.Values(path))
                store.WriteValue(copy, name, text);
        }
        return other;
    }
    return "";
}

} // namespace ks
