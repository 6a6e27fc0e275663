// The links to the first, previous, next and last page of a split index.
#pragma once

#include <string>

namespace ks {

struct TKSrunView;

// which: "FIRST", "PREV", "NEXT" or "LAST". arguments: the entry whose pages
// are linked (its name, lower-cased, becomes part of the CSS class); the
// target frame (default "VIindex"); the link text, the whole rest (defaults
// " |&lt; ", " &lt; ", " &gt; ", " &gt;| "). Where there is no such page a
// blank placeholder span stands instead; for an entry that is not split, and
// for an unknown entry or kind, the result is empty.
std::string NavigationLink(const TKSrunView& run, const std::string& which,
                           const std::string& arguments);

} // namespace ks
