// What the tool prints about a problem. Paths are bytes and printed as
// given; texts of the program, of documents, layouts and language files are
// Windows-1252 and converted to UTF-8 here, at the boundary.
#pragma once

#include <exception>
#include <string>

namespace ks::cli {

// One problem: the file concerned ("" when none) and what is wrong with it,
// ready for the terminal (any Windows-1252 part already converted).
struct Problem {
    std::string path; // bytes
    std::string text; // UTF-8
};

// "path: text", or the text alone.
std::string ProblemLine(const Problem& problem);
// An error of the core: its file as given and its reason converted; any
// other exception's message as it is.
std::string ErrorLine(const std::exception& error);

} // namespace ks::cli
