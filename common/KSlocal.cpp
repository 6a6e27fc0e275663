#include "common/KSlocal.h"

#include "common/KSini.h"

#include <cstring>
#include <mutex>

namespace ks {
namespace {

// A publish reports from a thread of its own while the window looks up its
// texts: the file's section is chosen and read under one lock.
struct TextFile {
    TKSini ini;
    bool open = false;
    std::mutex lock;

    void Open(const std::string& path) {
        Close();
        const std::lock_guard guard(lock);
        ini.Open(path);
        open = true;
    }
    void Close() {
        const std::lock_guard guard(lock);
        if (!open) return;
        ini.Close();
        open = false;
    }
    // A missing file, section or key gives def; a key with an empty value gives "".
    std::string Read(const std::string& section, const std::string& key, const std::string& def) {
        const std::lock_guard guard(lock);
        if (!open) return def;
        ini.SetSection(section);
        return ini.ReadString(key, def);
    }
};

struct LanguageFiles {
    TextFile ui;
    TextFile lng;
};

// Process-wide, like the environment that opens it.
LanguageFiles& Files() {
    static LanguageFiles files;
    return files;
}

} // namespace

void OpenLanguageFiles(const std::string& uiFile, const std::string& lngFile) {
    OpenUiTextFile(uiFile);
    OpenLanguageFile(lngFile);
}

void OpenUiTextFile(const std::string& uiFile) {
    Files().ui.Open(uiFile);
}

void OpenLanguageFile(const std::string& lngFile) {
    Files().lng.Open(lngFile);
}

void CloseLanguageFiles() {
    Files().ui.Close();
    Files().lng.Close();
}

std::string LookupText(const std::string& literal, const std::string& section) {
    if (literal.empty()) return "";
    if (literal[0] != '#') return Files().ui.Read(section, literal, "");
    const std::string rest = literal.substr(1);
    const std::size_t eq = rest.find('=');
    const std::string key = eq == std::string::npos ? rest : rest.substr(0, eq);
    const std::string def = eq == std::string::npos ? "" : rest.substr(eq + 1);
    return Files().ui.Read(section, key, def);
}

std::string LocalText(const std::string& literal) {
    return LookupText(literal, "Text");
}

std::string LocalText(const std::string& literal, const std::vector<std::string>& values) {
    return WithValues(LocalText(literal), values);
}

namespace {
// "%1{ person| persons}": after a value, the form for one when the value is
// "1", else the other. Returns how many bytes of text the choice took (0
// when text holds none at from).
std::size_t AppendNumberForm(const std::string& text, std::size_t from, const std::string& value,
                             std::string& result) {
    if (from >= text.size() || text[from] != '{') return 0;
    const std::size_t bar = text.find('|', from);
    const std::size_t close = text.find('}', from);
    if (bar == std::string::npos || close == std::string::npos || bar > close) return 0;
    result += value == "1" ? text.substr(from + 1, bar - from - 1)
                           : text.substr(bar + 1, close - bar - 1);
    return close - from + 1;
}
} // namespace

std::string WithValues(const std::string& text, const std::vector<std::string>& values) {
    std::string result;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char next = at + 1 < text.size() ? text[at + 1] : '\0';
        const bool placeholder = text[at] == '%' && next >= '1' && next <= '9' &&
                                 static_cast<std::size_t>(next - '1') < values.size();
        if (placeholder) {
            const std::string& value = values[static_cast<std::size_t>(next - '1')];
            result += value;
            ++at;
            at += AppendNumberForm(text, at + 1, value, result);
        } else {
            result += text[at];
        }
    }
    return result;
}

std::string LocalReason(const std::string& literal, int error) {
    return LocalText(literal) + ": " + std::strerror(error);
}

std::string LookupNumbered(int number, const std::string& section) {
    return LookupKey(std::to_string(number), section);
}

std::string LookupKey(const std::string& key, const std::string& section) {
    return Files().lng.Read(section, key, "");
}

} // namespace ks
