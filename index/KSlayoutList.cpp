#include "index/KSlayoutList.h"

#include "common/KSfiles.h"
#include "common/KStextutil.h"

#include <algorithm>

namespace ks {

std::vector<std::unique_ptr<TKSkslData>> LoadLayouts(const std::string& folder) {
    std::vector<std::unique_ptr<TKSkslData>> layouts;
    for (const std::string& name : FindFiles(folder, "*.ksl")) {
        auto layout = std::make_unique<TKSkslData>();
        if (layout->Load(folder + name)) layouts.push_back(std::move(layout));
    }
    std::stable_sort(layouts.begin(), layouts.end(), [](const auto& a, const auto& b) {
        const std::string ta = AsciiUpper(a->Title);
        const std::string tb = AsciiUpper(b->Title);
        return ta != tb ? ta < tb : a->LayoutFile < b->LayoutFile;
    });
    return layouts;
}

int FindLayoutByTitle(const std::vector<std::unique_ptr<TKSkslData>>& layouts,
                      const std::string& title) {
    for (std::size_t i = 0; i < layouts.size(); ++i)
        if (SameTextAscii(layouts[i]->Title, title)) return static_cast<int>(i);
    return -1;
}

} // namespace ks
