// The character set of an index document, and its text as the run holds it.
// A document is Windows-1252 unless its [KESTRIN] section says
// "charset=utf-8". One saved as UTF-8 by another program without saying so
// reads without error but shows its accented names wrong (two odd characters
// for one letter), so the tools point it out before a combined index is
// built from it.
#pragma once

#include "common/KSutf8.h"

#include <string>
#include <string_view>

namespace ks {

enum class TKSdocumentCharset { Windows1252, Utf8, Unknown };

// The charset key's value: missing, "windows-1252" or "cp1252" is
// Windows-1252, "utf-8" or "utf8" UTF-8 (any case, blanks around); anything
// else is Unknown, which the run refuses rather than guess.
TKSdocumentCharset DocumentCharsetNamed(std::string_view value);
// Whether a charset value (of a document or a layout) names UTF-8.
bool NamesUtf8(std::string_view value);

// Text of a document (a header value, an index line) as the run holds every
// tree text: valid UTF-8, composed (NFC), written to out. A Windows-1252
// text is converted; in a UTF-8 text a byte that is no UTF-8 is read as
// Windows-1252, so nothing is lost and the run never holds invalid UTF-8.
// Control characters are left as they are (the readers of names drop them).
void DocumentTextToUtf8(std::string_view text, TKSdocumentCharset charset, std::string& out);

// Whether a text looks like UTF-8 (TKSutf8Scanner, strictly): at least one
// valid multi-byte sequence and no byte above 127 outside one.
bool LooksLikeUtf8(std::string_view text);

// The whole file read through a strict TKSutf8Scanner; false for a file that cannot
// be read (reading stops early once the answer is no).
bool DocumentLooksLikeUtf8(const std::string& path);

} // namespace ks
