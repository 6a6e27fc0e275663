// Texts of the core written as string literals of JavaScript files that a
// page loads. The literal is pure ASCII (every other character written as
// \uXXXX), so the file reads the same whether the page that loads it is in
// Windows-1252 or in UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace ks {

// The Windows-1252 text as a double-quoted ASCII literal. Quotes, the
// backslash, control characters, "<" (so that no "</script" can appear)
// and every byte above 126 are escaped.
std::string JsString(std::string_view text);

} // namespace ks
