// One index document (.htx) of the document list: its header data, read
// once when the document is added, and the statistics of the current run.
// The index lines themselves are read only by the builder.
#pragma once

#include <cstdint>
#include <string>

namespace ks {

class TKShtxData {
public:
    // Loads the header of the document at path. A missing or unreadable file
    // gives empty texts, UserNr 0 and FileSize 0. Control bytes are dropped
    // from every text but Version (see DropControlBytes).
    explicit TKShtxData(const std::string& path);

    std::string FileName;
    std::string DataFileName; // where the builder reads the lines (a sorted copy, maybe)
    std::string Version;
    int32_t UserNr = 0;
    std::string UserName;
    std::string Email;
    std::string Homepage;
    std::string DataFile;
    std::string Title;
    std::string Created;
    std::string HtmFile;
    std::string DateFormat;
    std::string Description; // description lines joined by CR LF
    int32_t ListPosition = 0;
    int32_t SeqNr = 0;
    int64_t FileSize = 0;

    // Run statistics, filled by the merge.
    int32_t EntryCount = 0;
    int32_t MinYear = 0;
    int32_t MaxYear = 0;
    std::string FirstPage;

    // No entries, no years seen (32000 / -32000), FirstPage after every file name.
    void ResetStatistics();
    // Version as a decimal number with "." whatever the locale; 0 when it is
    // not one in full. Blanks around the number are allowed.
    double VersionNumber() const;
    // Documents of version 3.22 and up hold their index lines in sort-key
    // order already; older ones (and those without a usable version) are
    // sorted into a copy first. Compared exactly, not in floating point.
    bool NeedsSorting() const;

    // The section line after which the index lines follow, as the builder
    // finds it (blanks around and letter case ignored).
    static bool IsIndexDataLine(const std::string& line);
    // The same line in the exact form the sorting of old documents looks for.
    static constexpr const char* kIndexDataSection = "[indexdata]";

private:
    void Load();
};

// Exact comparison of two decimal texts as VersionNumber reads them; a text
// that is no number counts as 0. Negative, zero or positive.
int CompareVersions(const std::string& a, const std::string& b);

} // namespace ks
