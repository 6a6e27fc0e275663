// The references of a combined index entry as the duplicate step writes
// them: items "position,link" separated by "|", one per tree that holds the
// person, position being the tree's place in the run's document list.
#pragma once

#include "common/KStextutil.h"

#include <cstddef>
#include <string>

namespace ks {

// Calls visit(position, link) for each item, in order. An item without a
// link, or whose position names none of documentCount documents, has
// nothing to point to and is passed over.
template <typename Visit>
void ForEachReference(std::string references, std::size_t documentCount, Visit visit) {
    std::string item;
    std::string position;
    while (!references.empty()) {
        CutField(references, "|", '\0', item, false);
        CutField(item, ",", '\0', position, false);
        const int index = StrToIntDef(position, -1);
        if (item.empty() || index < 0 || static_cast<std::size_t>(index) >= documentCount) continue;
        visit(static_cast<std::size_t>(index), item);
    }
}

} // namespace ks
