// Texts of the core written as string literals of JavaScript files that a
// page loads. The literal is pure ASCII (every other character written as
// \uXXXX), so the file reads the same whether the page that loads it is in
// Windows-1252 or in UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace ks {

// A text (UTF-8) as a double-quoted ASCII literal, valid as a JSON string
// too: quotes, the backslash, control characters and "<" (so that no
// "</script" can appear) escaped, every character above 126 as \uXXXX (a
// pair of surrogates above U+FFFF). A byte that is no UTF-8 is read as
// Windows-1252.
std::string JsString(std::string_view utf8);
// JsString(utf8) appended to out.
void AppendJsString(std::string& out, std::string_view utf8);
// ASCII text (JSON) as it stands between single quotes in a JavaScript
// string literal: backslashes doubled, single quotes escaped. A large JSON
// text in a string, given to JSON.parse, is read much faster than the same
// data written as a literal.
std::string JsEmbedded(std::string_view text);
// JsEmbedded(text) appended to out.
void AppendJsEmbedded(std::string& out, std::string_view text);

} // namespace ks
