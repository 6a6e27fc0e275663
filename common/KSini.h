// Forgiving readers and writers of settings: TKSini for settings files
// (sections, key=value lines; also the headers of index documents, layouts
// and language files) and TKSreg for the per-user store of key paths.
// A failed read gives an empty text; a failed write is skipped.
#pragma once

#include "common/KSregstore.h"

#include <memory>
#include <string>

namespace ks {

// A settings file. Each Open reads the file once, only as far as the sections
// asked for reach; reads are answered from memory (reading rules in
// KSinidoc.h) and the object's own writes update it.
// A write changes only the bytes of the one line concerned (or adds lines)
// and replaces the file atomically, keeping its permissions; when the file
// changed on disk since it was read, it is read again first, so nothing
// written by others is lost. A write that fails leaves the file untouched.
class TKSini {
public:
    TKSini();
    ~TKSini();
    TKSini(const TKSini&) = delete;
    TKSini& operator=(const TKSini&) = delete;

    // "" = the program's own name with ".INI"; "?" keeps the name set.
    // A file that is missing or cannot be read reads as empty; the name becomes
    // empty only when no name could be made (then nothing is ever written).
    void Open(const std::string& fileName);
    void Close();
    void SetSection(const std::string& name); // "?" keeps the section

    // Keys "version", "type" and "format" of section "KESTRIN"; "" when missing.
    std::string ReadVersion();
    std::string ReadType();
    std::string ReadFormat();
    std::string ReadCharset();
    bool ValueExists(const std::string& key);
    std::string ReadString(const std::string& key, const std::string& def);
    // Throws EConvertError ("'x' is not a valid integer value") when the value
    // is not a decimal whole number within the range of int.
    int ReadInteger(const std::string& key, int def);
    // Skipped when the file cannot be written, or when the key or the value
    // cannot be one line (a line break in either, "=" in the key, a key
    // beginning with "[" or ";", an empty key or section name).
    void WriteString(const std::string& key, const std::string& value);

    const std::string& FileName() const { return fileName_; }
    const std::string& Section() const { return section_; }

private:
    struct OpenFile;
    std::string ReadInSection(const std::string& section, const std::string& key);
    bool Refresh();

    std::string fileName_;
    std::string section_;
    std::unique_ptr<OpenFile> file_;
};

// A key of the per-user store (KSregstore.h), open from construction to Close.
// When the key cannot be opened, or once it is deleted through any TKSreg,
// reads give empty texts, tests give false and writes do nothing. Changes are
// made in the process's store; RegistryStore::Save writes them into its file.
class TKSreg {
public:
    // Opens the absolute key path (beginning with "\"), creating it when missing.
    explicit TKSreg(const std::string& keyPath);
    ~TKSreg();
    TKSreg(const TKSreg&) = delete;
    TKSreg& operator=(const TKSreg&) = delete;

    std::string ReadString(const std::string& name);
    // False when the key is not open.
    bool WriteString(const std::string& name, const std::string& value);
    bool ValueExists(const std::string& name);
    // Key names are relative to the open key; a name beginning with "\" is an
    // absolute path. CreateKey is true when the key exists afterwards;
    // DeleteKey removes the key with its subkeys and values and is true when
    // it existed.
    bool CreateKey(const std::string& name);
    bool DeleteKey(const std::string& name);
    bool DeleteValue(const std::string& name);
    void Close();

private:
    bool Usable() const;

    bool open_ = false;
    RegistryKeyHandle key_;
};

} // namespace ks
