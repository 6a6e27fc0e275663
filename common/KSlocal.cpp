#include "common/KSlocal.h"

#include "common/KSini.h"

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

// A missing file, section or key gives def; a key with an empty value gives "".
std::string ReadFrom(TKSini& ini, const std::string& section, const std::string& key,
                     const std::string& def) {
    if (!Files().open) return def;
    ini.SetSection(section);
    return ini.ReadString(key, def);
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
    if (literal[0] != '#') return ReadFrom(Files().ui, section, literal, "");
    const std::string rest = literal.substr(1);
    const std::size_t eq = rest.find('=');
    const std::string key = eq == std::string::npos ? rest : rest.substr(0, eq);
    const std::string def = eq == std::string::npos ? "" : rest.substr(eq + 1);
    return ReadFrom(Files().ui, section, key, def);
}

std::string LookupNumbered(int number, const std::string& section) {
    return LookupKey(std::to_string(number), section);
}

std::string LookupKey(const std::string& key, const std::string& section) {
    return ReadFrom(Files().lng, section, key, "");
}

} // namespace ks
