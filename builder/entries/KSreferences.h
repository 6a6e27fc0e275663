// The references of a combined index entry as the duplicate step writes
// them: items "position,link" separated by "|", one per tree that holds the
// person, position being the tree's place in the run's document list.
#pragma once

#include "common/KStextutil.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace ks {

namespace detail {

// The list position an item names; -1 when it names none.
inline int ReferencePosition(std::string_view position) {
    return StrToIntDef(std::string(position), -1);
}

// The same walk through the quote-aware field cutter, for a list holding a
// NUL byte (which that cutter reads as a quote).
template <typename Visit>
void ForEachQuotedReference(std::string references, std::size_t documentCount, Visit& visit) {
    std::string item;
    std::string position;
    while (!references.empty()) {
        CutField(references, "|", '\0', item, false);
        CutField(item, ",", '\0', position, false);
        const int index = ReferencePosition(position);
        if (item.empty() || index < 0 || static_cast<std::size_t>(index) >= documentCount) continue;
        visit(static_cast<std::size_t>(index), std::string_view(item));
    }
}

} // namespace detail

// Calls visit(position, link) for each item, in order; link is a view into
// references. An item without a link, or whose position names none of
// documentCount documents, has nothing to point to and is passed over.
// Called for every entry of the index: the plain list is walked in place.
template <typename Visit>
void ForEachReference(std::string_view references, std::size_t documentCount, Visit visit) {
    if (references.find('\0') != std::string_view::npos) {
        detail::ForEachQuotedReference(std::string(references), documentCount, visit);
        return;
    }
    while (!references.empty()) {
        const std::size_t bar = references.find('|');
        std::string_view item = references.substr(0, bar);
        references.remove_prefix(bar == std::string_view::npos ? references.size() : bar + 1);
        const std::size_t comma = item.find(',');
        if (comma == std::string_view::npos) continue;
        const int index = detail::ReferencePosition(item.substr(0, comma));
        item.remove_prefix(comma + 1);
        if (item.empty() || index < 0 || static_cast<std::size_t>(index) >= documentCount) continue;
        visit(static_cast<std::size_t>(index), item);
    }
}

} // namespace ks
