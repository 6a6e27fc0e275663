// The layouts a user can choose: every "*.ksl" of a layout folder that is a
// layout, loaded and ordered by title.
#pragma once

#include "index/KSksl.h"

#include <memory>
#include <string>
#include <vector>

namespace ks {

// Loads the layouts of folder (which ends with "/"), ordered by title
// (letter case of A-Z ignored, then by file name). Files that are no layout
// are left out.
std::vector<std::unique_ptr<TKSkslData>> LoadLayouts(const std::string& folder);

// The place in layouts of the first whose title is title (Windows-1252,
// letter case of A-Z ignored), as a user names a layout; -1 when none is.
int FindLayoutByTitle(const std::vector<std::unique_ptr<TKSkslData>>& layouts,
                      const std::string& title);

} // namespace ks
