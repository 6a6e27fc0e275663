// The warnings of a run that are about its inputs and its result rather than
// about a step: selected documents that look like UTF-8 text, and pages
// written over the size limit with the division that would keep them under
// it. The run returns them in its result, beside the names it cut, so that
// both front ends show the same.
#pragma once

#include "builder/KSdivision.h"
#include "builder/KSmerge.h"

#include <string>
#include <vector>

namespace ks {

class TKSbuilder;
struct TKSrunSettings;

// One warning for each selected document that looks like UTF-8, in list
// order, naming it as given.
std::vector<TKSrunWarning> Utf8DocumentWarnings(const TKSrunSettings& settings);

// One warning for each page over limit (in the order of the layout's
// entries), then the division to choose instead when there is one.
std::vector<TKSrunWarning> PageSizeWarnings(const TKSbuilder& builder,
                                            int64_t limit = kPageSizeLimit);

// What goes between a warning's Where and its Text: a page's warning reads
// on from its path ("... is 2.1 MB"); "" when there is no Where.
std::string WarningSeparator(const TKSrunWarning& warning);

} // namespace ks
