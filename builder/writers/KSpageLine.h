// A line of a page as the writers build it, and tree texts (names, years,
// links, titles; UTF-8) put into it. The line is Windows-1252 like every
// program text of a page, and the page's stream converts it when the layout
// is UTF-8; letters Windows-1252 lacks are kept in UTF-8 there, in parts of
// the line marked so that the stream writes them as they are.
#pragma once

#include "LINE_INPUT/KSFileStream.h"

#include <string>
#include <string_view>
#include <vector>

namespace ks {

struct TKSpageLine {
    std::string Text;
    // The parts of Text that are UTF-8 already, in line order; for
    // TKSFileStream::WriteLine(Text, Utf8).
    std::vector<TKSbyteRange> Utf8;
};

// How a tree text is made fit for the place it goes to.
enum class TKStreeEscape {
    // Element text or an attribute value: characters with a named entity
    // as that entity (& < > " and every letter above 127 Windows-1252 holds).
    Html,
    // The same for element text only: a text holding a letter written
    // from right to left goes inside <bdi>, so that it does not turn the
    // order of what stands around it.
    HtmlIsolated,
    // A link in an href or value attribute: only & " < > are escaped.
    Href,
};

// Appends a tree text (UTF-8; a byte that is no UTF-8 is read as
// Windows-1252) to the line. A character Windows-1252 holds is appended as
// its Windows-1252 byte, escaped as the writers always have, so for such a
// text the line is the one they wrote before. Any other character: in a
// UTF-8 layout its UTF-8 bytes, marked in Utf8; in a Windows-1252 layout a
// character reference (&#321;) or, in a link, its UTF-8 bytes
// percent-encoded (%C5%81), which a browser reads alike in any page. Control
// characters Windows-1252 lacks (U+0080 and the like) are left out: a
// browser would show a reference to one as a Windows-1252 sign.
void AppendTreeText(TKSpageLine& line, std::string_view utf8, bool utf8Layout,
                    TKStreeEscape escape);

} // namespace ks
