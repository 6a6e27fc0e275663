#include "common/KSini.h"

#include "common/KSerrors.h"
#include "common/KSfileio.h"
#include "common/KSinidoc.h"
#include "common/KSreplacingFile.h"

#include <charconv>
#include <filesystem>
#include <string_view>
#include <sys/stat.h>

namespace ks {

namespace {

constexpr char kProductSection[] = "KESTRIN";

// The program's own file name with its extension replaced by ".INI".
std::string OwnIniName() {
    std::error_code error;
    std::string path = std::filesystem::read_symlink("/proc/self/exe", error).string();
    if (error || path.empty()) throw EInOutError("cannot determine the program's file name");
    std::size_t slash = path.rfind('/');
    std::size_t dot = path.rfind('.');
    std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    if (dot != std::string::npos && dot > nameStart) path.erase(dot);
    return path + ".INI";
}

int ToWholeNumber(const std::string& text) {
    std::string_view digits = text;
    if (digits.size() > 1 && digits.front() == '+' && digits[1] != '-') digits.remove_prefix(1);
    int value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size())
        throw EConvertError("'" + text + "' is not a valid integer value");
    return value;
}

// Feeds a document from its file, 64 KB at a time.
class FileSource : public IniSource {
public:
    explicit FileSource(std::unique_ptr<FileReader> reader) : reader_(std::move(reader)) {}
    bool ReadMore(std::string& text) override { return reader_->ReadChunk(text, 64 * 1024); }
    bool Failed() const override { return reader_->Failed(); }

private:
    std::unique_ptr<FileReader> reader_;
};

} // namespace

// The file as opened, with what is needed to notice later changes on disk.
struct TKSini::OpenFile {
    IniDocument document;
    ReadOutcome outcome = ReadOutcome::Missing;
    FileStamp stamp;
};

TKSini::TKSini() = default;
TKSini::~TKSini() = default;

void TKSini::Open(const std::string& fileName) {
    try {
        if (fileName.empty()) {
            fileName_ = OwnIniName();
        } else if (fileName != "?") {
            fileName_ = fileName;
        }
        auto file = std::make_unique<OpenFile>();
        if (!fileName_.empty()) {
            auto reader = std::make_unique<FileReader>(fileName_);
            file->outcome = reader->Outcome();
            file->stamp = reader->Stamp();
            if (file->outcome == ReadOutcome::Read)
                file->document = IniDocument(std::make_unique<FileSource>(std::move(reader)));
        }
        file_ = std::move(file);
    } catch (...) {
        fileName_.clear();
        file_ = std::make_unique<OpenFile>();
    }
}

void TKSini::Close() {
    file_.reset();
}

void TKSini::SetSection(const std::string& name) {
    if (name != "?") section_ = name;
}

std::string TKSini::ReadInSection(const std::string& section, const std::string& key) {
    try {
        if (!file_) return "";
        return file_->document.ReadValue(section, key).value_or("");
    } catch (...) {
        return "";
    }
}

std::string TKSini::ReadVersion() {
    return ReadInSection(kProductSection, "version");
}
std::string TKSini::ReadType() {
    return ReadInSection(kProductSection, "type");
}
std::string TKSini::ReadFormat() {
    return ReadInSection(kProductSection, "format");
}
std::string TKSini::ReadCharset() {
    return ReadInSection(kProductSection, "charset");
}

bool TKSini::ValueExists(const std::string& key) {
    try {
        return file_ && file_->document.KeyListed(section_, key);
    } catch (...) {
        return false;
    }
}

std::string TKSini::ReadString(const std::string& key, const std::string& def) {
    try {
        if (!file_) return def;
        std::optional<std::string> value = file_->document.ReadValue(section_, key);
        return value ? std::move(*value) : def;
    } catch (...) {
        return "";
    }
}

int TKSini::ReadInteger(const std::string& key, int def) {
    return ToWholeNumber(ReadString(key, std::to_string(def)));
}

// Makes the document match the file on disk before it is changed; false when
// the file exists but cannot be read (then it must not be replaced).
bool TKSini::Refresh() {
    if (file_->outcome == ReadOutcome::Read && StampOf(fileName_) == file_->stamp) return true;
    std::string contents;
    FileStamp stamp;
    ReadOutcome outcome = ReadWholeFile(fileName_, contents, stamp);
    if (outcome == ReadOutcome::Unreadable) return false;
    file_->document = IniDocument(std::move(contents));
    file_->outcome = outcome;
    file_->stamp = stamp;
    return true;
}

void TKSini::WriteString(const std::string& key, const std::string& value) {
    try {
        if (!file_ || fileName_.empty() || !Refresh()) return;
        IniDocument::Edit edit;
        if (file_->document.PlanWrite(section_, key, value, edit) !=
            IniDocument::PlanResult::Change)
            return;
        std::string_view text = file_->document.Text();
        const mode_t newFileMode = S_IRUSR | S_IWUSR | S_IRGRP | S_IWGRP | S_IROTH | S_IWOTH;
        if (!WriteFileAtomically(fileName_,
                                 {text.substr(0, edit.position), edit.insert,
                                  text.substr(edit.position + edit.erase)},
                                 newFileMode))
            return;
        file_->document.Apply(edit);
        file_->outcome = ReadOutcome::Read;
        file_->stamp = StampOf(fileName_);
    } catch (...) {
        // A failed write is skipped; callers read the value back when it matters.
    }
}

TKSreg::TKSreg(const std::string& keyPath) {
    try {
        key_ = RegistryStore::Instance().OpenKey(keyPath);
        open_ = key_.id != 0;
    } catch (...) {
        open_ = false;
    }
}

TKSreg::~TKSreg() = default;

bool TKSreg::Usable() const {
    return open_ && RegistryStore::Instance().IsOpen(key_);
}

std::string TKSreg::ReadString(const std::string& name) {
    try {
        if (!open_) return "";
        const std::string* value = RegistryStore::Instance().FindValue(key_, name);
        return value ? *value : std::string();
    } catch (...) {
        return "";
    }
}

bool TKSreg::WriteString(const std::string& name, const std::string& value) {
    try {
        return open_ && RegistryStore::Instance().WriteValue(key_, name, value);
    } catch (...) {
        return false;
    }
}

bool TKSreg::ValueExists(const std::string& name) {
    try {
        return open_ && RegistryStore::Instance().FindValue(key_, name) != nullptr;
    } catch (...) {
        return false;
    }
}

bool TKSreg::CreateKey(const std::string& name) {
    try {
        if (!Usable()) return false;
        std::optional<std::string> path = RegistryStore::ChildPath(key_.path, name);
        return path && RegistryStore::Instance().CreateKey(*path).id != 0;
    } catch (...) {
        return false;
    }
}

bool TKSreg::DeleteKey(const std::string& name) {
    try {
        if (!Usable()) return false;
        std::optional<std::string> path = RegistryStore::ChildPath(key_.path, name);
        // A name that leads back to the open key itself deletes nothing.
        if (!path || RegistryStore::NormalizePath(name).value_or("").empty()) return false;
        return RegistryStore::Instance().DeleteKey(*path);
    } catch (...) {
        return false;
    }
}

bool TKSreg::DeleteValue(const std::string& name) {
    try {
        return open_ && RegistryStore::Instance().DeleteValue(key_, name);
    } catch (...) {
        return false;
    }
}

void TKSreg::Close() {
    open_ = false;
}

} // namespace ks
