// Changing the title of an index document: the one "title" line of its
// [metadata] section is rewritten and the file replaced atomically; a
// document without that section gets one before its index lines. The title
// is read back afterwards, so a change that did not reach the file is
// reported with its reason. Titles are UTF-8 as typed; a Windows-1252
// document keeps the nearest letters that code page holds. The path is bytes.
#pragma once

#include <string>

namespace ks {

struct RetitleResult {
    bool Changed = false;
    std::string Title;  // the title as the document reads now, UTF-8 (when Changed)
    std::string Reason; // why nothing changed (a short English text)
};

// The title as the document will read back after it was written as
// "title=" + answer: blanks around it and one pair of enclosing quotes removed.
std::string TitleAsStored(const std::string& answer);

// Writes answer as the document's title. A document marked read-only (no
// write permission for anyone) is left alone, also for the superuser.
RetitleResult RetitleDocument(const std::string& path, const std::string& answer);

} // namespace ks
