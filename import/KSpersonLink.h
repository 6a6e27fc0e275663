// The one rule for the link of an imported person, whatever gave it: a page
// field of a GENDEX file, or a link pattern filled for a GEDCOM record. A
// link is a path relative to the name list's folder or an http: or https:
// address; anything else (another scheme such as javascript:, a path from
// the root of a host or from another host, "//host/...") is none.
#pragma once

#include <string>
#include <string_view>

namespace ks {

// The page as the index may link it, or "" when it is no such link (also
// when it holds characters that break an HTML attribute).
std::string UsablePersonLink(std::string_view page);

// "" when pattern (the text typed, UTF-8) is a link pattern an import may
// use: its own text fit for an address, only the fields {id}, {surname} and
// {given}, and a relative path or an http(s) address. Else why not, in the
// language of the run, naming the pattern.
std::string LinkPatternProblem(const std::string& pattern);

} // namespace ks
