// The per-user store that takes the place of the registry: nested keys, named
// by absolute key paths such as "\Software\KESTRIN\4.0\NL\HTMLwiz\", holding
// named text values. Key paths and value names match without regard to letter
// case (KSnamecase.h); a trailing "\" and empty path parts are ignored. Every
// key has its parent keys; the root key "\" always exists.
//
// One store serves the whole process, so every open TKSreg sees the others'
// writes at once. It lives in memory; changes are kept as a list (set or
// delete a value, create or delete a key) until Save. Save reads the file
// again, makes this process's changes on what it holds now, replaces the file
// in one atomic step (KSfileio.h) and keeps the result in memory. So several
// programs may share the store: each one's save keeps what the others saved
// in keys it did not change. The file is
//   $XDG_CONFIG_HOME/kestrin/registry.ini  (default $HOME/.config/kestrin/...)
//
// File format (bytes, one entry per line, LF line endings; CR LF accepted):
//   ; comment
//   [\Software\KESTRIN\4.0]        a key, by its absolute path ("[\]" is the root)
//   Language=NL                    a value of the key above: name=text
// Every byte below 0x20, 0x7F and "%" is written as "%" and two hexadecimal
// digits, in key paths, names and texts alike; names also escape "=", "[" and
// ";", key paths "[", "]" and ";". So any byte, line breaks included, survives
// a round trip, and nothing is trimmed.
// A line that cannot be read (a value before the first key, a line without
// "=", a "%" without two hexadecimal digits, a key line that names no key) is
// skipped with a warning and written back unchanged, at its place, by every
// save; so are comments. The lines below an unreadable key line, up to the
// next key, belong to no key: they are skipped and kept the same way.
// Deleting a key deletes the unreadable lines in it too.
#pragma once

#include "common/KSproblem.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ks {

// A key as a TKSreg holds it open. A key that is deleted (and perhaps created
// again) no longer matches its old handles: they read nothing and write nothing.
struct RegistryKeyHandle {
    std::string path;     // normalised: "" for the root, else "\Part\Part"
    std::uint64_t id = 0; // 0: no key
};

// Something wrong with the store file: a line that was skipped, a file that
// cannot be read, or a save that failed. The reason is a text of the program
// (such as "Permission denied"); Path is "" when no place for the file could
// be found.
struct StoreProblem : TKSproblem {
    enum class Kind { SkippedLine, Unreadable, NotSaved };
    Kind kind = Kind::NotSaved;
    int line = 0; // SkippedLine: the line's number, from 1

    // One line: "path:12: line skipped: reason", "path: the settings cannot
    // be read and are not saved: reason", "path: the settings could not be
    // saved: reason".
    std::string Message() const;
};

// One change of this process that a save makes on the file.
struct StoreChange {
    enum class Kind {
        OpenKey,   // a key made because it was opened: saved only along with other changes
        CreateKey, // a key created on purpose
        DeleteKey, // a key with its subkeys and values
        SetValue,
        DeleteValue,
    };
    Kind kind = Kind::OpenKey;
    std::string path; // normalised key path
    std::string name; // the value's name (SetValue, DeleteValue)
    std::string text; // the value's text (SetValue)
};

struct StoreContents;

class RegistryStore {
public:
    // The process's store; loaded from its file on first use.
    static RegistryStore& Instance();
    // A store on the file at filePath ("" = in memory only), loaded at once.
    // The process's store is the one that TKSreg uses; others are for tools
    // and tests that stand for another program sharing the file.
    explicit RegistryStore(std::string filePath);
    ~RegistryStore();
    RegistryStore(const RegistryStore&) = delete;
    RegistryStore& operator=(const RegistryStore&) = delete;

    // Forgets everything, unsaved changes included, and loads the store again:
    // the process's store from the location the environment names now
    // (XDG_CONFIG_HOME, HOME), any other from its file. Handles opened before
    // are no longer valid.
    void Reload();
    // The store file in use; empty when no location could be found.
    const std::string& FilePath() const { return filePath_; }
    // What was wrong with the file when it was loaded (skipped lines, a file
    // that could not be read), handed out once.
    std::vector<StoreProblem> TakeLoadWarnings();

    // The normalised form of an absolute key path; nothing when a part is longer
    // than 255 bytes or holds a NUL byte.
    static std::optional<std::string> NormalizePath(std::string_view path);
    // The absolute path of name below key: a name beginning with "\" is
    // already absolute.
    static std::optional<std::string> ChildPath(std::string_view keyPath, std::string_view name);

    // Opens the key, making it and its parents when missing; a key made this
    // way is saved only when something else changed too.
    RegistryKeyHandle OpenKey(std::string_view path);
    // Opens the key, creating it and its parents when missing.
    RegistryKeyHandle CreateKey(std::string_view path);
    // True while the key the handle was opened on has not been deleted.
    bool IsOpen(const RegistryKeyHandle& key) const;
    // Deletes the key with all its subkeys and values; false when it did not
    // exist (the root cannot be deleted).
    bool DeleteKey(std::string_view normalisedPath);

    const std::string* FindValue(const RegistryKeyHandle& key, std::string_view name) const;
    // False when the key is gone (both) or the value missing (DeleteValue).
    bool WriteValue(const RegistryKeyHandle& key, std::string_view name, std::string_view text);
    bool DeleteValue(const RegistryKeyHandle& key, std::string_view name);
    // The values of the key at a normalised path as (name, text), names
    // spelled as written; none when the key does not exist.
    std::vector<std::pair<std::string, std::string>> Values(std::string_view normalisedPath) const;
    // The normalised paths of the keys below the key at a normalised path,
    // all levels down, parents before their subkeys.
    std::vector<std::string> KeysBelow(std::string_view normalisedPath) const;

    // True while there are changes that no save has written yet.
    bool HasChanges() const;
    // Writes this process's changes into the file as described above; nothing
    // to do without changes. Nothing when saved, else why not; the changes
    // are then kept, in memory and for the next save, and the file is as it was.
    std::optional<StoreProblem> Save();
    // The file text a save would write over a file that holds fileText.
    std::string MergeInto(std::string_view fileText) const;

    // The store in its file format, and the reverse: Parse replaces the
    // store's contents (without saving, forgetting unsaved changes) and tells
    // which lines it skipped.
    std::string Serialize() const;
    std::vector<StoreProblem> Parse(std::string_view text);

private:
    RegistryStore(); // the process's store
    bool KeyExists(std::string_view normalisedPath) const;
    void Load(const std::string& filePath);
    void Record(StoreChange change);
    // Gives the keys of merged the ids they have in memory, so that open
    // handles stay valid, and new ids to the others.
    void AdoptIds(StoreContents& merged);

    std::unique_ptr<StoreContents> contents_;
    std::vector<StoreChange> changes_; // since the last save, in order
    std::vector<StoreProblem> loadWarnings_;
    std::uint64_t nextId_ = 1;
    std::string filePath_;
    bool followsEnvironment_ = false; // the process's store: Reload locates the file again
};

} // namespace ks
