#include "common/KSregstore.h"

#include "common/KSfileio.h"
#include "common/KSnamecase.h"
#include "common/KSreplacingFile.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace ks {

// The store as the file holds it: keys with their values, and the lines that
// could not be read, each with what it followed so that a save puts it back
// at its place.
struct StoreContents {
    struct Value {
        std::string name;
        std::string text;
    };
    struct Key {
        std::string path;
        std::uint64_t id = 0;
        std::map<std::string, Value> values; // by NameCaseKey of the name
        // Unreadable lines and comments: those right below the key line, and
        // the others by the folded name of the value they follow.
        std::vector<std::string> keptAtTop;
        std::multimap<std::string, std::string> kept;
    };

    StoreContents() { keys.emplace("", Key{}); }

    std::map<std::string, Key> keys; // by NameCaseKey of the normalised path
    // Lines before the first key.
    std::vector<std::string> prelude;
    // Blocks that begin with an unreadable key line, by the folded path of
    // the key they follow.
    std::multimap<std::string, std::vector<std::string>> orphans;
};

namespace {

using Key = StoreContents::Key;

constexpr std::size_t kMaxKeyPartLength = 255;
constexpr std::string_view kHeader = "; KESTRIN per-user settings";

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
    if (::stat(folder.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return true;
        errno = ENOTDIR;
        return false;
    }
    std::size_t slash = folder.rfind('/');
    if (slash != std::string::npos && slash > 0 && !MakeFolders(folder.substr(0, slash)))
        return false;
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

// Holds the store's folder locked from reading the file to renaming the new
// one into place, so that two programs saving at once both keep their
// changes. Where no lock can be had within a few seconds (a file system
// without locks, a program that hangs) the save goes on without it.
class FolderLock {
public:
    explicit FolderLock(const std::string& folder)
        : fd_(File::OpenWith(folder, O_RDONLY | O_DIRECTORY)) {
        if (!fd_.Valid()) return;
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (::flock(fd_.Descriptor(), LOCK_EX | LOCK_NB) != 0) {
            if ((errno != EWOULDBLOCK && errno != EINTR) ||
                std::chrono::steady_clock::now() > giveUp) {
                fd_.Reset();
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

private:
    File fd_; // closing it releases the lock
};

std::string FoldedPath(const std::string& normalisedPath) {
    return NameCaseKey(normalisedPath);
}

// The key at the normalised path, made with its parents when missing. New
// keys get ids from nextId, or 0 without it.
Key& Ensure(StoreContents& contents, const std::string& normalisedPath, std::uint64_t* nextId,
            bool* created = nullptr) {
    Key* key = &contents.keys.at("");
    std::size_t pos = 0;
    while (pos < normalisedPath.size()) {
        std::size_t end = normalisedPath.find('\\', pos + 1);
        if (end == std::string::npos) end = normalisedPath.size();
        std::string prefix = normalisedPath.substr(0, end);
        auto [it, inserted] = contents.keys.try_emplace(FoldedPath(prefix), Key{});
        if (inserted) {
            it->second.path = prefix;
            it->second.id = nextId != nullptr ? (*nextId)++ : 0;
            if (created != nullptr) *created = true;
        }
        key = &it->second;
        pos = end;
    }
    return *key;
}

// Erases the key and its subkeys; false when it did not exist.
bool EraseKey(StoreContents& contents, const std::string& normalisedPath) {
    if (normalisedPath.empty()) return false;
    const std::string folded = FoldedPath(normalisedPath);
    auto it = contents.keys.find(folded);
    if (it == contents.keys.end()) return false;
    // Subkeys sort after the key (their paths begin with its path), perhaps
    // with keys such as "\a b" for "\a" between them.
    while (it != contents.keys.end() && it->first.compare(0, folded.size(), folded) == 0) {
        bool inside = it->first.size() == folded.size() || it->first[folded.size()] == '\\';
        it = inside ? contents.keys.erase(it) : std::next(it);
    }
    return true;
}

Key* FindKey(StoreContents& contents, const std::string& normalisedPath) {
    auto it = contents.keys.find(FoldedPath(normalisedPath));
    return it == contents.keys.end() ? nullptr : &it->second;
}

void Apply(StoreContents& contents, const StoreChange& change, std::uint64_t* nextId) {
    switch (change.kind) {
    case StoreChange::Kind::OpenKey:
    case StoreChange::Kind::CreateKey:
        Ensure(contents, change.path, nextId);
        break;
    case StoreChange::Kind::DeleteKey:
        EraseKey(contents, change.path);
        break;
    case StoreChange::Kind::SetValue: {
        Key& key = Ensure(contents, change.path, nextId);
        auto [it, inserted] =
            key.values.try_emplace(NameCaseKey(change.name), StoreContents::Value{change.name, ""});
        it->second.text = change.text;
        break;
    }
    case StoreChange::Kind::DeleteValue:
        if (Key* key = FindKey(contents, change.path)) key->values.erase(NameCaseKey(change.name));
        break;
    }
}

// The key line "[\path]"; nothing when the line names no key.
std::optional<std::string> ParseKeyLine(std::string_view line) {
    if (line.size() < 3 || line.front() != '[' || line.back() != ']') return std::nullopt;
    std::string path;
    if (!Unescape(line.substr(1, line.size() - 2), path) || path.front() != '\\')
        return std::nullopt;
    return RegistryStore::NormalizePath(path);
}

// Reads text into contents (a fresh StoreContents); skipped lines go to
// problems (when given).
void ParseContents(std::string_view text, StoreContents& contents, std::uint64_t* nextId,
                   const std::string& path, std::vector<StoreProblem>* problems) {
    enum class Place { Top, TopBelowBadKey, InKey, BelowBadKey };
    Place place = Place::Top;
    Key* current = nullptr;
    std::string currentFolded;
    std::optional<std::string> lastValue; // folded name of the last value of the current key
    std::vector<std::string>* block = nullptr;
    const auto skip = [&](int line, const char* reason) {
        if (problems != nullptr)
            problems->push_back(
                StoreProblem{{path, reason}, StoreProblem::Kind::SkippedLine, line});
    };
    std::string name;
    std::string value;
    int lineNumber = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        // CR LF line ends; a line kept as it is could not keep a CR of its own there.
        while (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || (lineNumber == 1 && line == kHeader)) continue;
        if (line.front() == '[') {
            if (std::optional<std::string> keyPath = ParseKeyLine(line)) {
                current = &Ensure(contents, *keyPath, nextId);
                currentFolded = FoldedPath(*keyPath);
                lastValue.reset();
                place = Place::InKey;
                continue;
            }
            skip(lineNumber, "it names no key; the lines below it up to the next key are "
                             "skipped too");
            if (place == Place::Top || place == Place::TopBelowBadKey) {
                contents.prelude.emplace_back(line);
                place = Place::TopBelowBadKey;
            } else {
                block =
                    &contents.orphans.emplace(currentFolded, std::vector<std::string>{})->second;
                block->emplace_back(line);
                place = Place::BelowBadKey;
            }
            continue;
        }
        switch (place) {
        case Place::Top:
            if (line.front() != ';') skip(lineNumber, "a value before the first key");
            [[fallthrough]];
        case Place::TopBelowBadKey:
            contents.prelude.emplace_back(line);
            continue;
        case Place::BelowBadKey:
            block->emplace_back(line);
            continue;
        case Place::InKey:
            break;
        }
        const std::size_t equals = line.find('=');
        const char* problem = nullptr;
        if (line.front() == ';') {
            // a comment: kept without a word
        } else if (equals == std::string_view::npos) {
            problem = "it holds no \"=\"";
        } else if (!Unescape(line.substr(0, equals), name) ||
                   !Unescape(line.substr(equals + 1), value)) {
            problem = "a \"%\" without two hexadecimal digits after it";
        } else {
            std::string folded = NameCaseKey(name);
            current->values[folded] = StoreContents::Value{name, value};
            lastValue = std::move(folded);
            continue;
        }
        if (problem != nullptr) skip(lineNumber, problem);
        if (lastValue) {
            current->kept.emplace(*lastValue, line);
        } else {
            current->keptAtTop.emplace_back(line);
        }
    }
}

void AppendLine(std::string& out, std::string_view line) {
    out += line;
    out += '\n';
}

void AppendKey(std::string& out, const Key& key) {
    out += "\n[";
    out += key.path.empty() ? "\\" : Escape(key.path, "[];");
    out += "]\n";
    for (const std::string& line : key.keptAtTop)
        AppendLine(out, line);
    auto kept = key.kept.begin();
    for (const auto& [folded, value] : key.values) {
        // A line stays below the value it followed, or the one before its place.
        for (; kept != key.kept.end() && kept->first < folded; ++kept)
            AppendLine(out, kept->second);
        out += Escape(value.name, "=[;");
        out += '=';
        out += Escape(value.text, "");
        out += '\n';
    }
    for (; kept != key.kept.end(); ++kept)
        AppendLine(out, kept->second);
}

std::string SerializeContents(const StoreContents& contents) {
    std::string out;
    AppendLine(out, kHeader);
    for (const std::string& line : contents.prelude)
        AppendLine(out, line);
    auto orphan = contents.orphans.begin();
    const auto appendOrphans = [&](const std::string* before) {
        for (; orphan != contents.orphans.end() && (before == nullptr || orphan->first < *before);
             ++orphan) {
            out += '\n';
            for (const std::string& line : orphan->second)
                AppendLine(out, line);
        }
    };
    for (const auto& [folded, key] : contents.keys) {
        appendOrphans(&folded);
        AppendKey(out, key);
    }
    appendOrphans(nullptr);
    return out;
}

// Why the file at path could not be read; error is the errno of the attempt.
std::string UnreadableReason(const std::string& path, int error) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return "no regular file";
    return std::strerror(error);
}

// The file text with the changes made on it.
std::unique_ptr<StoreContents> Merge(std::string_view fileText,
                                     const std::vector<StoreChange>& changes) {
    auto merged = std::make_unique<StoreContents>();
    ParseContents(fileText, *merged, nullptr, "", nullptr);
    for (const StoreChange& change : changes)
        Apply(*merged, change, nullptr);
    return merged;
}

} // namespace

std::string StoreProblem::Message() const {
    std::string text;
    switch (kind) {
    case Kind::SkippedLine:
        text = Path + ":" + std::to_string(line) + ": line skipped: ";
        break;
    case Kind::Unreadable:
        text = Path + ": the settings cannot be read and are not saved: ";
        break;
    case Kind::NotSaved:
        text = (Path.empty() ? "" : Path + ": ") + "the settings could not be saved: ";
        break;
    }
    return text + Reason;
}

RegistryStore& RegistryStore::Instance() {
    static RegistryStore store;
    return store;
}

RegistryStore::RegistryStore() : contents_(std::make_unique<StoreContents>()) {
    followsEnvironment_ = true;
    Load(StoreFileLocation());
}

RegistryStore::RegistryStore(std::string filePath) : contents_(std::make_unique<StoreContents>()) {
    Load(filePath);
}

RegistryStore::~RegistryStore() = default;

void RegistryStore::Reload() {
    Load(followsEnvironment_ ? StoreFileLocation() : filePath_);
}

void RegistryStore::Load(const std::string& filePath) {
    filePath_ = filePath;
    changes_.clear();
    loadWarnings_.clear();
    contents_ = std::make_unique<StoreContents>();
    contents_->keys.at("").id = nextId_++;
    if (filePath_.empty()) return;
    std::string text;
    FileStamp stamp;
    switch (ReadWholeFile(filePath_, text, stamp)) {
    case ReadOutcome::Missing:
        return;
    case ReadOutcome::Unreadable:
        // Saves read the file again first; they fail the same way, so it is
        // never overwritten.
        loadWarnings_.push_back(StoreProblem{
            {filePath_, UnreadableReason(filePath_, errno)}, StoreProblem::Kind::Unreadable, 0});
        return;
    case ReadOutcome::Read:
        break;
    }
    ParseContents(text, *contents_, &nextId_, filePath_, &loadWarnings_);
}

std::vector<StoreProblem> RegistryStore::TakeLoadWarnings() {
    return std::exchange(loadWarnings_, {});
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

void RegistryStore::Record(StoreChange change) {
    Apply(*contents_, change, &nextId_);
    changes_.push_back(std::move(change));
}

RegistryKeyHandle RegistryStore::OpenKey(std::string_view path) {
    std::optional<std::string> normalised = NormalizePath(path);
    if (!normalised) return RegistryKeyHandle{};
    if (!KeyExists(*normalised)) Record({StoreChange::Kind::OpenKey, *normalised, "", ""});
    return RegistryKeyHandle{*normalised, FindKey(*contents_, *normalised)->id};
}

RegistryKeyHandle RegistryStore::CreateKey(std::string_view path) {
    std::optional<std::string> normalised = NormalizePath(path);
    if (!normalised) return RegistryKeyHandle{};
    if (!KeyExists(*normalised)) Record({StoreChange::Kind::CreateKey, *normalised, "", ""});
    return RegistryKeyHandle{*normalised, FindKey(*contents_, *normalised)->id};
}

bool RegistryStore::KeyExists(std::string_view normalisedPath) const {
    return contents_->keys.count(NameCaseKey(normalisedPath)) != 0;
}

bool RegistryStore::IsOpen(const RegistryKeyHandle& key) const {
    auto it = contents_->keys.find(NameCaseKey(key.path));
    return it != contents_->keys.end() && it->second.id == key.id;
}

bool RegistryStore::DeleteKey(std::string_view normalisedPath) {
    if (normalisedPath.empty() || !KeyExists(normalisedPath)) return false;
    Record({StoreChange::Kind::DeleteKey, std::string(normalisedPath), "", ""});
    return true;
}

const std::string* RegistryStore::FindValue(const RegistryKeyHandle& key,
                                            std::string_view name) const {
    if (!IsOpen(key)) return nullptr;
    const Key& found = contents_->keys.at(NameCaseKey(key.path));
    auto it = found.values.find(NameCaseKey(name));
    return it == found.values.end() ? nullptr : &it->second.text;
}

bool RegistryStore::WriteValue(const RegistryKeyHandle& key, std::string_view name,
                               std::string_view text) {
    if (!IsOpen(key)) return false;
    // Writing what is there already changes nothing, so that a save leaves
    // what another program put there since.
    if (const std::string* old = FindValue(key, name); old != nullptr && *old == text) return true;
    Record({StoreChange::Kind::SetValue, key.path, std::string(name), std::string(text)});
    return true;
}

bool RegistryStore::DeleteValue(const RegistryKeyHandle& key, std::string_view name) {
    if (FindValue(key, name) == nullptr) return false;
    Record({StoreChange::Kind::DeleteValue, key.path, std::string(name), ""});
    return true;
}

std::vector<std::pair<std::string, std::string>>
RegistryStore::Values(std::string_view normalisedPath) const {
    std::vector<std::pair<std::string, std::string>> values;
    auto it = contents_->keys.find(NameCaseKey(normalisedPath));
    if (it == contents_->keys.end()) return values;
    for (const auto& [folded, value] : it->second.values)
        values.emplace_back(value.name, value.text);
    return values;
}

std::vector<std::string> RegistryStore::KeysBelow(std::string_view normalisedPath) const {
    // The map is ordered by folded path, so a key's subkeys follow it (a
    // parent's path is a prefix of its subkeys').
    const std::string prefix = NameCaseKey(normalisedPath) + "\\";
    std::vector<std::string> paths;
    for (auto it = contents_->keys.lower_bound(prefix);
         it != contents_->keys.end() && it->first.compare(0, prefix.size(), prefix) == 0; ++it)
        paths.push_back(it->second.path);
    return paths;
}

bool RegistryStore::HasChanges() const {
    for (const StoreChange& change : changes_)
        if (change.kind != StoreChange::Kind::OpenKey) return true;
    return false;
}

std::string RegistryStore::MergeInto(std::string_view fileText) const {
    return SerializeContents(*Merge(fileText, changes_));
}

std::optional<StoreProblem> RegistryStore::Save() {
    if (!HasChanges()) return std::nullopt;
    const auto failure = [this](std::string reason) {
        return StoreProblem{{filePath_, std::move(reason)}, StoreProblem::Kind::NotSaved, 0};
    };
    if (filePath_.empty()) return failure("neither XDG_CONFIG_HOME nor HOME names a folder");
    const std::size_t slash = filePath_.rfind('/');
    const std::string folder = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : filePath_.substr(0, slash);
    if (!MakeFolders(folder)) return failure(std::strerror(errno));
    const FolderLock lock(folder);
    std::string text;
    FileStamp stamp;
    // What other programs saved since is read again; a file that cannot be
    // read is never replaced.
    if (ReadWholeFile(filePath_, text, stamp) == ReadOutcome::Unreadable)
        return failure(UnreadableReason(filePath_, errno));
    std::unique_ptr<StoreContents> merged = Merge(text, changes_);
    if (!WriteFileAtomically(filePath_, {SerializeContents(*merged)}, S_IRUSR | S_IWUSR))
        return failure(std::strerror(errno));
    AdoptIds(*merged);
    contents_ = std::move(merged);
    changes_.clear();
    return std::nullopt;
}

void RegistryStore::AdoptIds(StoreContents& merged) {
    for (auto& [folded, key] : merged.keys) {
        auto old = contents_->keys.find(folded);
        key.id = old != contents_->keys.end() ? old->second.id : nextId_++;
    }
}

std::string RegistryStore::Serialize() const {
    return SerializeContents(*contents_);
}

std::vector<StoreProblem> RegistryStore::Parse(std::string_view text) {
    std::vector<StoreProblem> problems;
    changes_.clear();
    contents_ = std::make_unique<StoreContents>();
    contents_->keys.at("").id = nextId_++;
    ParseContents(text, *contents_, &nextId_, filePath_, &problems);
    return problems;
}

} // namespace ks
