// File names as they stand in the pages' links.
#pragma once

#include <string>
#include <string_view>

namespace ks {

// A relative path of the output folder ("/" between folders, its bytes as
// they are on disk) as the path of a URL: every byte but letters, digits,
// "/" and "-._~!$&()*+,;=@" becomes %XX, so that a browser asks for exactly
// those bytes. A file name may hold "#", "%", "?", quotes, blanks or letters
// outside ASCII (a base name as the user typed it, in UTF-8); escaped, it
// is ASCII, ends at no "#" or "?" and starts with no scheme (":" is escaped
// too). In an attribute it needs HrefText still, for "&". A plain name
// ("index_06.htm") stays as it is.
std::string UrlPath(std::string_view path);
// UrlPath(path) appended to out.
void AppendUrlPath(std::string& out, std::string_view path);

} // namespace ks
