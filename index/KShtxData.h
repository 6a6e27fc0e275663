// One index document (.htx) of the document list: its header data, read
// once when the document is added. A run never changes it; what a run
// learns about the document is kept in the run's own state. The index lines
// themselves are read only by the builder.
#pragma once

#include "index/KSdocumentCharset.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace ks {

class TKShtxData {
public:
    // Loads the header of the document at path. A missing or unreadable file
    // gives empty texts, UserNr 0 and FileSize 0. Every text is UTF-8 (a
    // Windows-1252 document's converted), without control characters, but
    // Version, which is kept as it stands.
    explicit TKShtxData(const std::string& path);

    std::string FileName;
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
    int64_t FileSize = 0;
    // What the document's charset key says, and the key as written (for the
    // message that refuses an unknown one).
    TKSdocumentCharset Charset = TKSdocumentCharset::Windows1252;
    std::string CharsetName;

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

    // A text of this document (a header value, an index line) as the run
    // holds it: UTF-8, control characters dropped.
    std::string AsTreeText(std::string_view text) const;

private:
    void Load();
};

// Exact comparison of two decimal texts as VersionNumber reads them; a text
// that is no number counts as 0. Negative, zero or positive.
int CompareVersions(const std::string& a, const std::string& b);

} // namespace ks
