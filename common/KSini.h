// Forgiving readers and writers of settings: TKSini for settings files
// (sections, key=value lines; also the headers of index documents, layouts
// and language files) and TKSreg for the per-user store of key paths.
// A failed read gives an empty text; a failed write is skipped.
#pragma once

#include <memory>
#include <string>

namespace ks {

class IniDocument; // the parsed file, kept in memory while open

class TKSini {
public:
    TKSini();
    ~TKSini();
    TKSini(const TKSini&) = delete;
    TKSini& operator=(const TKSini&) = delete;

    // "" = the program's own name with ".INI"; "?" keeps the name set.
    void Open(const std::string& fileName);
    void Close();
    void SetSection(const std::string& name); // "?" keeps the section

    std::string ReadVersion();
    std::string ReadType();
    std::string ReadFormat();
    bool ValueExists(const std::string& key);
    std::string ReadString(const std::string& key, const std::string& def);
    int ReadInteger(const std::string& key, int def); // throws EConvertError
    void WriteString(const std::string& key, const std::string& value);

    const std::string& FileName() const { return fileName_; }
    const std::string& Section() const { return section_; }

private:
    std::string fileName_;
    std::string section_;
    std::unique_ptr<IniDocument> document_;
};

class TKSreg {
public:
    // Opens the absolute key path (beginning with "\"), creating it when missing.
    explicit TKSreg(const std::string& keyPath);
    ~TKSreg();
    TKSreg(const TKSreg&) = delete;
    TKSreg& operator=(const TKSreg&) = delete;

    std::string ReadString(const std::string& name);
    void WriteString(const std::string& name, const std::string& value);
    bool ValueExists(const std::string& name);
    bool CreateKey(const std::string& name);
    bool DeleteKey(const std::string& name);
    bool DeleteValue(const std::string& name);
    void Close();

    const std::string& KeyPath() const { return keyPath_; }

private:
    std::string keyPath_;
    bool open_ = false;
};

} // namespace ks
