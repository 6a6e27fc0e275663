// Letters a page's program text cannot hold, carried in a line until the
// page's stream writes it. Lines of a page are Windows-1252 (the templates,
// the layout's texts, the writers' HTML); a tree text put into one keeps
// every letter that code page holds as its byte, and a letter it lacks as
// its UTF-8 bytes between kMarkOpen and kMarkClose, control characters that
// no text of a page holds. The stream of the page then writes the marked
// letters as they are (a UTF-8 page) or as character references (&#321;, a
// Windows-1252 page), so nothing is lost in either.
#pragma once

#include <string>
#include <string_view>

namespace ks {

inline constexpr char kMarkOpen = '\x0E';
inline constexpr char kMarkClose = '\x0F';

// Appends the UTF-8 bytes of a letter (or of several) marked.
void AppendMarkedUtf8(std::string& out, std::string_view utf8);

// A line of a UTF-8 page: the line converted from Windows-1252, the marked
// parts copied as they are, the marks left out.
void MarkedLineToUtf8(std::string_view line, std::string& out);
// A line of a Windows-1252 page: the marked parts as decimal character
// references, the rest as it is. Marks that enclose no valid UTF-8 are kept
// as they stand.
void MarkedLineToWindows1252(std::string_view line, std::string& out);

} // namespace ks
