#include "common/KSregstore.h"

#include "common/KSfileio.h"
#include "common/KSnamecase.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace ks {

namespace {

constexpr std::size_t kMaxKeyPartLength = 255;
constexpr char kHeader[] = "; KESTRIN per-user settings\n";

std::string Escape(std::string_view text, std::string_view alsoEscaped) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F || c == '%' || alsoEscaped.find(ch) != std::string_view::npos) {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
        } else {
            out += ch;
        }
    }
    return out;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool Unescape(std::string_view text, std::string& out) {
    out.clear();
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return false;
        int high = HexDigit(text[i + 1]);
        int low = HexDigit(text[i + 2]);
        if (high < 0 || low < 0) return false;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return true;
}

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') return home;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* result = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &result) == 0 &&
        result != nullptr && result->pw_dir != nullptr && result->pw_dir[0] == '/')
        return result->pw_dir;
    return "";
}

std::string StoreFileLocation() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (config != nullptr && config[0] == '/') {
        base = config; // relative values are to be ignored
    } else {
        std::string home = HomeFolder();
        if (!home.empty()) base = home + "/.config";
    }
    return base.empty() ? "" : base + "/kestrin/registry.ini";
}

// Creates the folder and any missing parents, private to the user.
bool MakeFolders(const std::string& folder) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    std::size_t slash = folder.rfind('/');
    if (slash != std::string::npos && slash > 0 && !MakeFolders(folder.substr(0, slash)))
        return false;
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

} // namespace

RegistryStore& RegistryStore::Instance() {
    static RegistryStore store;
    return store;
}

RegistryStore::RegistryStore() {
    LoadFile();
}

void RegistryStore::Reload() {
    LoadFile();
}

void RegistryStore::Clear() {
    keys_.clear();
    keys_.emplace("", Key{"", nextId_++, {}});
}

std::optional<std::string> RegistryStore::NormalizePath(std::string_view path) {
    std::string normalised;
    std::size_t pos = 0;
    while (pos <= path.size()) {
        std::size_t end = path.find('\\', pos);
        if (end == std::string_view::npos) end = path.size();
        std::string_view part = path.substr(pos, end - pos);
        if (part.size() > kMaxKeyPartLength || part.find('\0') != std::string_view::npos)
            return std::nullopt;
        if (!part.empty()) {
            normalised += '\\';
            normalised += part;
        }
        pos = end + 1;
    }
    return normalised;
}

std::optional<std::string> RegistryStore::ChildPath(std::string_view keyPath,
                                                    std::string_view name) {
    if (!name.empty() && name.front() == '\\') return NormalizePath(name);
    return NormalizePath(std::string(keyPath) + "\\" + std::string(name));
}

RegistryStore::Key& RegistryStore::Ensure(const std::string& normalisedPath, bool& created) {
    Key* key = &keys_.at("");
    std::size_t pos = 0;
    while (pos < normalisedPath.size()) {
        std::size_t end = normalisedPath.find('\\', pos + 1);
        if (end == std::string::npos) end = normalisedPath.size();
        std::string prefix = normalisedPath.substr(0, end);
        auto [it, inserted] = keys_.try_emplace(NameCaseKey(prefix), Key{prefix, 0, {}});
        if (inserted) {
            it->second.id = nextId_++;
            created = true;
        }
        key = &it->second;
        pos = end;
    }
    return *key;
}

RegistryKeyHandle RegistryStore::CreateKey(std::string_view path, bool* saved) {
    std::optional<std::string> normalised = NormalizePath(path);
    if (!normalised) return RegistryKeyHandle{};
    bool created = false;
    Key& key = Ensure(*normalised, created);
    const bool stored = Commit(created);
    if (saved != nullptr) *saved = stored;
    return RegistryKeyHandle{*normalised, key.id};
}

bool RegistryStore::KeyExists(std::string_view normalisedPath) const {
    return keys_.count(NameCaseKey(normalisedPath)) != 0;
}

bool RegistryStore::DeleteKey(std::string_view normalisedPath) {
    if (normalisedPath.empty()) return false;
    std::string folded = NameCaseKey(normalisedPath);
    auto it = keys_.find(folded);
    if (it == keys_.end()) return false;
    // Subkeys sort right after the key (their paths begin with its path).
    while (it != keys_.end() && it->first.compare(0, folded.size(), folded) == 0) {
        bool inside = it->first.size() == folded.size() || it->first[folded.size()] == '\\';
        it = inside ? keys_.erase(it) : std::next(it);
    }
    return Commit(true);
}

RegistryStore::Key* RegistryStore::Find(const RegistryKeyHandle& handle) {
    auto it = keys_.find(NameCaseKey(handle.path));
    return it == keys_.end() || it->second.id != handle.id ? nullptr : &it->second;
}

const RegistryStore::Key* RegistryStore::Find(const RegistryKeyHandle& handle) const {
    auto it = keys_.find(NameCaseKey(handle.path));
    return it == keys_.end() || it->second.id != handle.id ? nullptr : &it->second;
}

const std::string* RegistryStore::FindValue(const RegistryKeyHandle& key,
                                            std::string_view name) const {
    const Key* found = Find(key);
    if (found == nullptr) return nullptr;
    auto it = found->values.find(NameCaseKey(name));
    return it == found->values.end() ? nullptr : &it->second.text;
}

bool RegistryStore::WriteValue(const RegistryKeyHandle& key, std::string_view name,
                               std::string_view text) {
    Key* found = Find(key);
    if (found == nullptr) return false;
    auto [it, inserted] =
        found->values.try_emplace(NameCaseKey(name), Value{std::string(name), std::string()});
    const bool changed = inserted || it->second.text != text;
    it->second.text = std::string(text);
    return Commit(changed);
}

bool RegistryStore::DeleteValue(const RegistryKeyHandle& key, std::string_view name) {
    Key* found = Find(key);
    if (found == nullptr || found->values.erase(NameCaseKey(name)) == 0) return false;
    return Commit(true);
}

std::string RegistryStore::Serialize() const {
    std::string out = kHeader;
    for (const auto& [folded, key] : keys_) {
        out += "\n[";
        out += key.path.empty() ? "\\" : Escape(key.path, "[];");
        out += "]\n";
        for (const auto& [foldedName, value] : key.values) {
            out += Escape(value.name, "=[;");
            out += '=';
            out += Escape(value.text, "");
            out += '\n';
        }
    }
    return out;
}

bool RegistryStore::Parse(std::string_view text) {
    Clear();
    Key* current = nullptr;
    std::string name;
    std::string value;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == ';') continue;
        bool ok = true;
        if (line.front() == '[') {
            std::optional<std::string> path;
            ok = line.size() >= 3 && line.back() == ']' &&
                 Unescape(line.substr(1, line.size() - 2), value) && value.front() == '\\' &&
                 (path = NormalizePath(value));
            bool created = false;
            if (ok) current = &Ensure(*path, created);
        } else {
            std::size_t equals = line.find('=');
            ok = current != nullptr && equals != std::string_view::npos &&
                 Unescape(line.substr(0, equals), name) && Unescape(line.substr(equals + 1), value);
            if (ok) current->values[NameCaseKey(name)] = Value{name, value};
        }
        if (!ok) {
            Clear();
            return false;
        }
    }
    return true;
}

void RegistryStore::LoadFile() {
    Clear();
    filePath_ = StoreFileLocation();
    persistent_ = !filePath_.empty();
    saved_ = false;
    if (!persistent_) return;
    std::string contents;
    FileStamp stamp;
    switch (ReadWholeFile(filePath_, contents, stamp)) {
    case ReadOutcome::Missing:
        saved_ = true; // nothing to keep: an empty store
        return;
    case ReadOutcome::Unreadable:
        persistent_ = false; // never overwrite what could not be read
        return;
    case ReadOutcome::Read:
        break;
    }
    if (Parse(contents)) {
        saved_ = true;
        return;
    }
    // Keep the damaged file for the user; start empty.
    std::string aside = filePath_ + ".bad";
    if (std::rename(filePath_.c_str(), aside.c_str()) != 0) persistent_ = false;
}

bool RegistryStore::Commit(bool changed) {
    if (changed || !saved_) saved_ = Save();
    return saved_;
}

bool RegistryStore::Save() {
    if (!persistent_) return false;
    std::size_t slash = filePath_.rfind('/');
    if (slash == std::string::npos || !MakeFolders(filePath_.substr(0, slash))) return false;
    std::string contents = Serialize();
    return WriteFileAtomically(filePath_, {contents}, S_IRUSR | S_IWUSR);
}

} // namespace ks
