// Whether a document's text looks like UTF-8. Index documents are written in
// Windows-1252; one saved as UTF-8 by another program reads without error but
// shows its accented names wrong (two odd characters for one letter), so the
// tools point it out before a combined index is built from it.
#pragma once

#include "common/KSutf8.h"

#include <string>
#include <string_view>

namespace ks {

// Whether a text looks like UTF-8 (TKSutf8Scanner, strictly): at least one
// valid multi-byte sequence and no byte above 127 outside one.
bool LooksLikeUtf8(std::string_view text);

// The whole file read through a strict TKSutf8Scanner; false for a file that cannot
// be read (reading stops early once the answer is no).
bool DocumentLooksLikeUtf8(const std::string& path);

} // namespace ks
