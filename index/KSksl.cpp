#include "index/KSksl.h"

#include "index/KSdocumentCharset.h"

#include "common/KScommon.h"
#include "common/KSfiles.h"
#include "common/KSini.h"
#include "common/KStextutil.h"

#include <filesystem>
#include <system_error>

namespace ks {
namespace fs = std::filesystem;

namespace {

constexpr int kEntryFields = 4;

// Every occurrence of marker (letter case of A-Z ignored) replaced by value.
std::string ReplaceMarker(const std::string& text, const std::string& marker,
                          const std::string& value) {
    const std::string upperText = AsciiUpper(text);
    const std::string upperMarker = AsciiUpper(marker);
    std::string result;
    std::size_t from = 0;
    for (std::size_t at = upperText.find(upperMarker); at != std::string::npos;
         at = upperText.find(upperMarker, from)) {
        result.append(text, from, at - from);
        result += value;
        from = at + marker.size();
    }
    result.append(text, from, std::string::npos);
    return result;
}

// Digits needed for the highest page number, at least 1.
std::size_t PageDigits(int32_t pageCount) {
    std::size_t digits = 1;
    for (int32_t rest = pageCount; rest >= 10; rest /= 10)
        ++digits;
    return digits;
}

} // namespace

std::vector<std::string> SplitEntryLine(const std::string& line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (char c : line) {
        if (c == '"') quoted = !quoted;
        if (c == ',' && !quoted) {
            if (fields.size() == kEntryFields) break; // further fields are ignored
            fields.emplace_back();
            continue;
        }
        fields.back() += c;
    }
    fields.resize(kEntryFields);
    for (std::string& field : fields)
        field = Trim(field);
    return fields;
}

TKSkslFile::TKSkslFile(TKSkslData& owner, uint8_t kind) : Kind(kind), owner_(&owner) {}

void TKSkslFile::ParseLine(const std::string& line) {
    const std::vector<std::string> fields = SplitEntryLine(line);
    Name = fields[0];
    Source = fields[1];
    Output = fields[2];
    Caption = fields[3];
    Numbered = AsciiUpper(Output).find("#NR!") != std::string::npos;
    InParts = AsciiUpper(Output).find("#PART!") != std::string::npos;
    Split = false;
}

void TKSkslFile::SetSplit(bool split) {
    Split = Numbered && split;
}

std::string TKSkslFile::SourcePath(const std::string& baseName) const {
    const std::string source = ReplaceMarker(Source, "#PREFIX!", baseName);
    return Trim(FolderOf(owner_->LayoutFile) + source);
}

std::string TKSkslFile::OutputName(const std::string& baseName, int page, int32_t pageCount) const {
    return OutputName(baseName, page, pageCount, Split);
}

std::string TKSkslFile::OutputName(const std::string& baseName, int page, int32_t pageCount,
                                   bool split) const {
    const std::string output = ReplaceMarker(Output, "#PREFIX!", baseName);
    std::string pageText;
    if (page > 0 && split) {
        pageText = std::to_string(page);
        const std::size_t digits = PageDigits(pageCount);
        if (pageText.size() < digits) pageText.insert(0, digits - pageText.size(), '0');
    } else if (page == kDeletionMask && (Numbered || InParts)) {
        pageText = "*";
    }
    // The first part keeps the name of the single file, so links to it hold.
    std::string partText;
    if (page == kDeletionMask)
        partText = "*";
    else if (page > 1 && split)
        partText = "_" + pageText;
    return Trim(ReplaceMarker(ReplaceMarker(output, "#NR!", pageText), "#PART!", partText));
}

TKSkslData::TKSkslData() = default;

TKSkslData::~TKSkslData() {
    Clear();
}

void TKSkslData::Clear() {
    if (ini_) ini_->Close();
    ini_.reset();
    LayoutFile.clear();
    Title.clear();
    Comment.clear();
    Image.clear();
    AskUser.clear();
    Charset.clear();
    TemplateCount = 0;
    FileCount = 0;
    Items.clear();
}

bool TKSkslData::Load(const std::string& path) {
    const TKScommon* environment = CurrentEnvironment();
    return Load(path, environment != nullptr ? environment->ResourceFolder : "");
}

bool TKSkslData::Load(const std::string& path, const std::string& resourceFolder) {
    Clear();
    if (!CheckFileKind(path, "KSL", 1, 1)) return false;
    std::error_code ec;
    const fs::path full = fs::absolute(path, ec);
    LayoutFile = ec ? path : full.lexically_normal().string();
    ini_ = std::make_unique<TKSini>();
    ini_->Open(LayoutFile);
    ini_->SetSection("General");
    Title = ini_->ReadString("title", "");
    Image = FindImage(ini_->ReadString("image", ""), resourceFolder);
    for (int n = 1; ini_->ValueExists("comment" + std::to_string(n)); ++n)
        Comment += ini_->ReadString("comment" + std::to_string(n), "") + "\r\n";
    AskUser = ini_->ReadString("askuser", "");
    Charset = ini_->ReadString("charset", "");
    TemplateCount = ReadEntries("Templates", TKSkslFile::kTemplate);
    FileCount = ReadEntries("Files", TKSkslFile::kPlainFile);
    return true;
}

std::string TKSkslData::FindImage(const std::string& image,
                                  const std::string& resourceFolder) const {
    if (!image.empty()) {
        if (IsFile(FolderOf(LayoutFile) + image)) return FolderOf(LayoutFile) + image;
        if (!resourceFolder.empty() && IsFile(resourceFolder + image))
            return resourceFolder + image;
        return "";
    }
    for (const char* extension : {".jpg", ".bmp"}) {
        const std::string picture = fs::path(LayoutFile).replace_extension(extension).string();
        if (IsFile(picture)) return picture;
    }
    return "";
}

int32_t TKSkslData::ReadEntries(const std::string& section, uint8_t kind) {
    ini_->SetSection(section);
    int32_t count = 0;
    for (int n = 1;; ++n) {
        const std::string line = ini_->ReadString(std::to_string(n), "");
        if (line.empty()) break;
        auto entry = std::make_unique<TKSkslFile>(*this, kind);
        entry->ParseLine(line);
        Items.push_back(std::move(entry));
        ++count;
    }
    return count;
}

TKSkslFile* TKSkslData::Item(int number) const {
    if (number < 1 || number > ItemCount()) return nullptr;
    return Items[static_cast<std::size_t>(number - 1)].get();
}

TKSkslFile* TKSkslData::FindItem(const std::string& name) const {
    const std::string wanted = AsciiUpper(name);
    for (const auto& item : Items)
        if (AsciiUpper(item->Name) == wanted) return item.get();
    return nullptr;
}

std::string TKSkslData::LayoutText(const std::string& key) const {
    if (!ini_) return "";
    ini_->SetSection("Texts");
    return ini_->ReadString(key, "");
}

bool TKSkslData::AsksFor(const std::string& word) const {
    return AsciiUpper(AskUser).find(AsciiUpper(word)) != std::string::npos;
}

bool TKSkslData::Utf8Pages() const {
    return NamesUtf8(Charset);
}

} // namespace ks
