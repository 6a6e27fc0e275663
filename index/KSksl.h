// Layouts (".ksl"): settings-style files that name the templates to expand
// and the plain files to copy, the settings the wizard asks for, a preview
// picture, a description and free texts for the templates.
//
//   [KESTRIN]  type=KSL, format=1
//   [General]  title, image, comment1.., askuser, charset
//   [Templates] 1=Name, Source, Output, Caption   (until the first empty number)
//   [Files]     1=...                             (same)
//   [Texts]    any key: texts the templates fetch
//
// "#PREFIX!" in Source and Output stands for the base name of the run; "#NR!"
// in Output for the page number of an output split into pages; "#PART!" for
// nothing on the first page and "_2", "_3", ... on the further parts of an
// output that the automatic division cuts only when it would pass the page
// size limit (its first page keeps the name it has as one file). All are
// the run's: a loaded layout stays the same whatever runs use it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ks {

class TKSini;
class TKSkslData;

// One entry of a layout: a template (Kind 1) or a plain file (Kind 2).
class TKSkslFile {
public:
    static constexpr uint8_t kTemplate = 1;
    static constexpr uint8_t kPlainFile = 2;
    // Page number of OutputName for the mask that matches every page.
    static constexpr int kDeletionMask = -2;

    TKSkslFile(TKSkslData& owner, uint8_t kind);

    // Fills Name, Source, Output, Caption, Numbered and InParts from an entry line of
    // four comma-separated fields; Split becomes false.
    void ParseLine(const std::string& line);
    // Only a numbered entry can be split.
    void SetSplit(bool split);

    // Folder of the layout file + Source, "#PREFIX!" replaced by baseName.
    std::string SourcePath(const std::string& baseName) const;
    // The output file name for page, "#PREFIX!" replaced by baseName; "#NR!"
    // is the page number with as many digits as pageCount has (at least
    // one), empty when not split or for page 0, and "*" for kDeletionMask
    // when numbered.
    std::string OutputName(const std::string& baseName, int page, int32_t pageCount) const;
    // The same for a run that decides itself whether the entry is split
    // (an InParts entry is split only when the automatic division cuts it).
    std::string OutputName(const std::string& baseName, int page, int32_t pageCount,
                           bool split) const;

    TKSkslData& Owner() const { return *owner_; }

    uint8_t Kind;
    std::string Name;
    std::string Source;
    std::string Output;
    std::string Caption;
    bool Numbered = false;
    bool InParts = false; // the output holds "#PART!"
    bool Split = false;

private:
    TKSkslData* owner_;
};

// One loaded layout. It owns its entries, which refer back to it, so it
// neither copies nor moves; keep it behind a pointer.
class TKSkslData {
public:
    TKSkslData();
    ~TKSkslData();
    TKSkslData(const TKSkslData&) = delete;
    TKSkslData& operator=(const TKSkslData&) = delete;

    // False when path is not a layout (type "KSL", format 1); otherwise reads
    // it, keeps it open for LayoutText, and returns true. The preview picture
    // is looked for beside the layout and then in resourceFolder; without
    // resourceFolder, in the resource folder of the environment (if any).
    bool Load(const std::string& path);
    bool Load(const std::string& path, const std::string& resourceFolder);

    // Entry number (from 1: templates first, then files), or nullptr.
    TKSkslFile* Item(int number) const;
    // The first entry whose Name equals name (letter case of A-Z ignored).
    TKSkslFile* FindItem(const std::string& name) const;
    // The value of key in [Texts], "" when absent.
    std::string LayoutText(const std::string& key) const;
    // True when AskUser names word ("INDEXTYPE", "TITLE", "HOMEPAGE", "EMAIL")
    // anywhere, letter case ignored.
    bool AsksFor(const std::string& word) const;
    // True when charset says "utf-8" (or "utf8"; letter case and blanks
    // ignored): the pages are written in UTF-8, every text converted from
    // Windows-1252 as it is written. Anything else keeps Windows-1252.
    bool Utf8Pages() const;

    int32_t ItemCount() const { return static_cast<int32_t>(Items.size()); }

    std::string LayoutFile;
    std::string Title;
    std::string Comment; // every comment line followed by CR LF
    std::string Image;   // full path of the preview picture, or ""
    std::string AskUser;
    std::string Charset; // as read from [General]
    int32_t TemplateCount = 0;
    int32_t FileCount = 0;
    std::vector<std::unique_ptr<TKSkslFile>> Items;

private:
    void Clear();
    std::string FindImage(const std::string& image, const std::string& resourceFolder) const;
    int32_t ReadEntries(const std::string& section, uint8_t kind);

    std::unique_ptr<TKSini> ini_;
};

// Splits an entry line at commas outside double quotes into exactly four
// fields without surrounding blanks; quotes stay in the fields.
std::vector<std::string> SplitEntryLine(const std::string& line);

} // namespace ks
