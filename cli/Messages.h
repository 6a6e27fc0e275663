// What the tool prints about a problem. Paths are bytes and printed as
// given; texts of the program, of documents, layouts and language files are
// Windows-1252 and converted to UTF-8 here, at the boundary.
#pragma once

#include "common/KSproblem.h"

#include <exception>
#include <string>
#include <string_view>
#include <vector>

namespace ks::cli {

// UTF-8 text (or a path's bytes) made fit for the terminal: every control
// character (bytes 0 to 31 and 127, U+0080 to U+009F) and every byte that is
// no part of UTF-8 is shown as \xNN, so that nothing a document, a layout or
// a file name holds can move the cursor, change colours or ring the bell.
// With lineBreaks, "\n" stays and a "\r" before it is dropped.
std::string TerminalText(std::string_view text, bool lineBreaks = false);

// A text of the language files in the run's language, converted for the
// terminal; values (paths as given, numbers) are put in after the conversion.
std::string Say(const std::string& literal, const std::vector<std::string>& values = {});

// text after line (say an option's name) as lines of at most kLineWidth
// columns, broken between words, each line after the first indented by
// indent blanks; every line ends in "\n".
std::string Wrapped(const std::string& text, std::size_t indent, std::string line = {});
constexpr std::size_t kLineWidth = 79;

// "path: reason", or the reason alone; fit for the terminal. The reason is
// UTF-8 (any Windows-1252 part already converted).
std::string ProblemLine(const TKSproblem& problem);
// An error of the core: its file as given and its reason converted; any
// other exception's message as it is. Fit for the terminal.
std::string ErrorLine(const std::exception& error);

} // namespace ks::cli
