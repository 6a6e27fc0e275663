// Links from a page of the combined index to the pages of the published
// trees, written relative to the page so that the whole set of folders can be
// moved or served as it stands.
#pragma once

#include <string>

namespace ks {

// The path of target relative to the folder of fromFile: common leading
// folders dropped, ".." for every folder of fromFile left over. Both paths
// are taken as absolute (relative ones from the current folder) and "." and
// ".." in them are resolved by name, as a browser does. A "#" part of target
// is kept as it stands; backslashes in target's path read as "/".
std::string RelativeLink(const std::string& fromFile, const std::string& target);
// A link of an index document (relative to the document's folder) as seen
// from fromFile.
std::string DocumentLink(const std::string& fromFile, const std::string& documentFile,
                         const std::string& link);

} // namespace ks
