#include "common/KSlocal.h"

#include "common/KSini.h"

#include <memory>

namespace ks {
namespace {

struct LanguageFiles {
    TKSini ui;
    TKSini lng;
    bool open = false;
};

// Process-wide, like the environment that opens it.
LanguageFiles& Files() {
    static LanguageFiles files;
    return files;
}

std::string ReadFrom(TKSini& ini, const std::string& section, const std::string& key, bool* found) {
    LanguageFiles& files = Files();
    if (!files.open) {
        if (found) *found = false;
        return "";
    }
    ini.SetSection(section);
    if (found) *found = ini.ValueExists(key);
    return ini.ReadString(key, "");
}

} // namespace

void OpenLanguageFiles(const std::string& uiFile, const std::string& lngFile) {
    CloseLanguageFiles();
    LanguageFiles& files = Files();
    files.ui.Open(uiFile);
    files.lng.Open(lngFile);
    files.open = true;
}

void CloseLanguageFiles() {
    LanguageFiles& files = Files();
    if (!files.open) return;
    files.ui.Close();
    files.lng.Close();
    files.open = false;
}

std::string LookupText(const std::string& literal, const std::string& section) {
    if (literal.empty()) return "";
    if (literal[0] != '#') return ReadFrom(Files().ui, section, literal, nullptr);
    const std::string rest = literal.substr(1);
    const std::size_t eq = rest.find('=');
    const std::string key = eq == std::string::npos ? rest : rest.substr(0, eq);
    const std::string def = eq == std::string::npos ? "" : rest.substr(eq + 1);
    bool found = false;
    std::string value = ReadFrom(Files().ui, section, key, &found);
    return found ? value : def;
}

std::string LookupNumbered(int number, const std::string& section) {
    return LookupKey(std::to_string(number), section);
}

std::string LookupKey(const std::string& key, const std::string& section) {
    return ReadFrom(Files().lng, section, key, nullptr);
}

} // namespace ks
