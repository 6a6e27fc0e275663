// The contents of one settings file while a TKSini has it open: the file's
// bytes and an index of its sections and keys, built lazily in one pass.
//
// Reading rules:
// - a line whose first non-blank character is "[" and which holds a "]" is a
//   section line; the name lies between the "[" and the last "]", blanks
//   around it removed;
// - a line of a section that holds "=" is a key line: the key is the text
//   before the first "=", the value the text after it, both without leading
//   and trailing blanks; lines without "=", lines beginning with ";" and
//   lines with an empty key are no keys; keys before the first section line
//   belong to no section;
// - section and key names match without regard to letter case (KSnamecase.h);
//   when a section or key occurs twice, the first one counts;
// - a value loses one pair of enclosing quotes ("..." or '...') and is then
//   cut to 2047 bytes;
// - the key names of a section are listed into 16384 bytes, each name followed
//   by a NUL byte and the list closed by one more NUL; a name that does not fit
//   completely is not listed (see KeyListed);
// - a UTF-8 byte order mark at the start of the file is skipped.
//
// The file is read only as far as the sections asked for reach, and only
// those sections are split into keys: reading the header of a large index
// document touches neither its index lines after "[indexdata]" nor, mostly,
// the disk beyond the first chunk. A write reads the rest first.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ks {

// Where the bytes of a document come from when they are read on demand.
class IniSource {
public:
    virtual ~IniSource() = default;
    // Appends at least one more byte to text; false at the end of the file or
    // on a read error (Failed tells which).
    virtual bool ReadMore(std::string& text) = 0;
    virtual bool Failed() const = 0;
};

class IniDocument {
public:
    static constexpr std::size_t kMaxValueLength = 2047;
    static constexpr std::size_t kKeyListBytes = 16384;

    IniDocument() = default;
    explicit IniDocument(std::string text);                  // the whole file
    explicit IniDocument(std::unique_ptr<IniSource> source); // read as needed

    // Reads whatever is left; false when reading failed (the text is then
    // incomplete and the document is never written back).
    bool LoadAll();
    // The bytes read so far: the whole file after LoadAll or a planned write.
    const std::string& Text() const { return text_; }

    // The value of key in section as read (quotes removed, cut), or nothing.
    std::optional<std::string> ReadValue(std::string_view section, std::string_view key);
    // True when key is among the listed key names of section.
    bool KeyListed(std::string_view section, std::string_view key);

    // One change of the file's bytes: erase bytes at position, insert text there.
    struct Edit {
        std::size_t position = 0;
        std::size_t erase = 0;
        std::string insert;
    };
    enum class PlanResult {
        Change,   // edit holds the change
        NoChange, // the file already holds exactly this line
        Refused,  // the names or the value cannot be written as one line
    };
    // Plans writing key=value into section (reading the whole file first;
    // Refused when that fails). An existing key keeps its line's
    // beginning, spacing after "=" and line ending; a new key goes after the last
    // non-blank line of its section; a new section goes at the end of the file,
    // or before the "[indexdata]" section line when the file has one. New lines
    // end like most lines of the file (CR LF when it has none).
    PlanResult PlanWrite(std::string_view section, std::string_view key, std::string_view value,
                         Edit& edit);
    // Applies an edit made by PlanWrite on this document's current text.
    void Apply(const Edit& edit);

private:
    struct Key {
        std::size_t nameBegin;
        std::size_t nameLength;
        std::size_t valueBegin; // after "=" and the blanks that follow it
        std::size_t valueEnd;   // trailing blanks excluded
        std::size_t contentEnd; // before the line ending
    };
    struct Section {
        std::size_t headerStart; // start of the section line
        std::size_t bodyStart;   // after the section line
        std::size_t end;         // start of the next section line, or the end of the file
        std::size_t nameBegin;
        std::size_t nameLength;
        bool keysParsed = false;
        std::vector<Key> keys;
        std::size_t listedKeys = 0; // keys[0 .. listedKeys) fit the name list
    };
    struct Line {
        std::size_t start;
        std::size_t contentEnd;
        std::size_t next;
    };

    bool More();
    Line LineAt(std::size_t pos);
    void ResetIndex();
    bool ScanLine();
    bool SectionClosed(std::size_t index) const;
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::size_t FindSection(std::string_view name); // index into sections_, or kNone
    const Key* FindKey(Section& section, std::string_view key);
    void ParseKeys(Section& section);
    std::string_view NameOf(std::size_t begin, std::size_t length) const;
    std::string LineEnding() const;
    bool LastContentEnd(std::size_t low, std::size_t high, std::size_t& end,
                        bool& needsBreak) const;
    void PlanNewSection(std::string_view section, std::string_view keyLine, Edit& edit);

    std::string text_;
    std::unique_ptr<IniSource> source_; // null once everything is read
    bool readFailed_ = false;
    std::size_t bomLength_ = 0;
    std::vector<Section> sections_;
    std::size_t scanPos_ = 0;
    bool scanDone_ = false;
};

} // namespace ks
