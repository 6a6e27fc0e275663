// The warnings of a run that are about its inputs and its result rather than
// about a step: selected documents that look like UTF-8 text, trees and a
// site address on hosts set aside for examples, and pages
// written over the size limit with the division that would keep them under
// it. The run returns them in its result, beside the names it cut, so that
// both front ends show the same.
#pragma once

#include "builder/combine/KSdivision.h"
#include "builder/combine/KSmerge.h"

#include <string>
#include <vector>

namespace ks {

struct TKSrunState;
struct TKSrunSettings;

// One warning for each selected document that looks like UTF-8, in list
// order, naming it as given.
std::vector<TKSrunWarning> Utf8DocumentWarnings(const TKSrunSettings& settings);

// One warning for each page over limit (in the order of the layout's
// entries), then the division to choose instead when there is one.
std::vector<TKSrunWarning> PageSizeWarnings(const TKSrunSettings& settings,
                                            const TKSrunState& state,
                                            int64_t limit = kPageSizeLimit);

// One warning for each selected document (in list order) whose links lead
// to a host for examples (IsExampleAddress): the address its folder is
// published at, its start page or a person's link, the first of them that
// does; then one when the site's address does. The persons' links are those
// the merge saw.
std::vector<TKSrunWarning> ExampleAddressWarnings(const TKSrunSettings& settings,
                                                  const TKSrunState& state);

// One warning naming a source file of the layout that does not exist.
TKSrunWarning MissingLayoutFileWarning(const std::string& path);

// A size as people read it, in the run's language: "1,4 MB" or "1.4 MB"
// (one decimal, cut, so that a page just over a limit never reads as under
// it), "350 kB", "12 bytes". A megabyte is 1,000,000 bytes, as in the
// warnings about large pages.
std::string SizeText(int64_t bytes);
// A whole number with the run's language's thousands separator: "1.000.000".
std::string CountText(int64_t number);

// What goes between a warning's Where and its Text: a page's warning reads
// on from its path ("... is 2.1 MB"); "" when there is no Where.
std::string WarningSeparator(const TKSrunWarning& warning);

} // namespace ks
