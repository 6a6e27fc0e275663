// Tree texts (names, years, links, titles; UTF-8) put into a line of a
// page. The line is Windows-1252 like every program text of a page; a letter
// that code page lacks is marked in it (common/KSmarkedText), and the page's
// stream writes it as written in a UTF-8 page, as a character reference in
// a Windows-1252 page.
#pragma once

#include <string>
#include <string_view>

namespace ks {

// How a tree text is made fit for the place it goes to.
enum class TKStreeEscape {
    // Element text or an attribute value: characters with a named entity
    // as that entity (& < > " and every letter above 127 Windows-1252 holds).
    Html,
    // The same for element text only: a text holding a letter written
    // from right to left goes inside <bdi>, so that it does not turn the
    // order of what stands around it.
    HtmlIsolated,
    // A link in an href or value attribute: only & " < > are escaped, and a
    // letter Windows-1252 lacks is percent-encoded as UTF-8 (%C5%81), which
    // a browser reads alike in any page.
    Href,
};

// Appends a tree text (UTF-8; a byte that is no UTF-8 is read as
// Windows-1252) to the line. A character Windows-1252 holds is appended as
// its Windows-1252 byte, escaped as the writers always have, so for such a
// text the line is the one they wrote before. Control characters Windows-1252
// lacks (U+0080 and the like) are left out: a browser would show a
// reference to one as a Windows-1252 sign.
void AppendTreeText(std::string& line, std::string_view utf8,
                    TKStreeEscape escape = TKStreeEscape::Html);
// The same as a text of its own.
std::string TreeText(std::string_view utf8, TKStreeEscape escape = TKStreeEscape::Html);

} // namespace ks
