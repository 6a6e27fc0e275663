// The per-user store that takes the place of the registry: nested keys, named
// by absolute key paths such as "\Software\KESTRIN\4.0\NL\HTMLwiz\", holding
// named text values. Key paths and value names match without regard to letter
// case (KSnamecase.h); a trailing "\" and empty path parts are ignored. Every
// key has its parent keys; the root key "\" always exists.
//
// One store serves the whole process, so every open TKSreg sees the others'
// writes at once. It lives in memory and is saved to its file after every
// change, atomically (KSfileio.h). The changing calls tell whether the store
// is in its file afterwards: a change that could not be saved stays in
// memory for this process, the call returns false, and the next change
// saves it again. The file is
//   $XDG_CONFIG_HOME/kestrin/registry.ini  (default $HOME/.config/kestrin/...)
// A store file that cannot be parsed is renamed to "registry.ini.bad" and an
// empty store is used; a store file that cannot be read at all (nor moved
// aside) is left alone and the store is kept in memory only.
//
// File format (bytes, one entry per line, LF line endings; CR LF accepted):
//   ; comment
//   [\Software\KESTRIN\4.0]        a key, by its absolute path ("[\]" is the root)
//   Language=NL                    a value of the key above: name=text
// Every byte below 0x20, 0x7F and "%" is written as "%" and two hexadecimal
// digits, in key paths, names and texts alike; names also escape "=", "[" and
// ";", key paths "[", "]" and ";". So any byte, line breaks included, survives
// a round trip, and nothing is trimmed.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace ks {

// A key as a TKSreg holds it open. A key that is deleted (and perhaps created
// again) no longer matches its old handles: they read nothing and write nothing.
struct RegistryKeyHandle {
    std::string path;     // normalised: "" for the root, else "\Part\Part"
    std::uint64_t id = 0; // 0: no key
};

class RegistryStore {
public:
    // The process's store; loaded from its file on first use.
    static RegistryStore& Instance();

    // Forgets everything and loads the store again from the location the
    // environment names now (XDG_CONFIG_HOME, HOME). Handles opened before are
    // no longer valid. Tests use it to work on a private store.
    void Reload();
    // The store file in use; empty when no location could be found.
    const std::string& FilePath() const { return filePath_; }

    // The normalised form of an absolute key path; nothing when a part is longer
    // than 255 bytes or holds a NUL byte.
    static std::optional<std::string> NormalizePath(std::string_view path);
    // The absolute path of name below key: a name beginning with "\" is
    // already absolute.
    static std::optional<std::string> ChildPath(std::string_view keyPath, std::string_view name);

    // Opens the key, creating it and its parents when missing. saved (when
    // given) tells whether the store is in its file afterwards.
    RegistryKeyHandle CreateKey(std::string_view path, bool* saved = nullptr);
    bool KeyExists(std::string_view normalisedPath) const;
    // True while the key the handle was opened on has not been deleted.
    bool IsOpen(const RegistryKeyHandle& key) const { return Find(key) != nullptr; }
    // Deletes the key with all its subkeys and values; false when it did not exist
    // (the root cannot be deleted) or the store could not be saved.
    bool DeleteKey(std::string_view normalisedPath);

    const std::string* FindValue(const RegistryKeyHandle& key, std::string_view name) const;
    // False when the key is gone, the value missing (DeleteValue), or the
    // store could not be saved (a store kept in memory only is never saved).
    bool WriteValue(const RegistryKeyHandle& key, std::string_view name, std::string_view text);
    bool DeleteValue(const RegistryKeyHandle& key, std::string_view name);

    // The store in its file format, and the reverse: Parse replaces the store's
    // contents (without saving) and leaves it empty and false on a malformed text.
    std::string Serialize() const;
    bool Parse(std::string_view text);

private:
    struct Value {
        std::string name;
        std::string text;
    };
    struct Key {
        std::string path;
        std::uint64_t id = 0;
        std::map<std::string, Value> values; // by NameCaseKey of the name
    };

    RegistryStore();
    void Clear();
    Key& Ensure(const std::string& normalisedPath, bool& created);
    Key* Find(const RegistryKeyHandle& handle);
    const Key* Find(const RegistryKeyHandle& handle) const;
    void LoadFile();
    // Saves when changed or when an earlier save failed; true when the file
    // holds the store afterwards.
    bool Commit(bool changed);
    bool Save();

    std::map<std::string, Key> keys_; // by NameCaseKey of the normalised path
    std::uint64_t nextId_ = 1;
    std::string filePath_;
    bool persistent_ = false; // false: changes stay in memory
    bool saved_ = false;      // the file holds what memory holds
};

} // namespace ks
