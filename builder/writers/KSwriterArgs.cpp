#include "builder/writers/KSwriterArgs.h"

#include "common/KStextutil.h"

namespace ks {

TKSargumentList::TKSargumentList(std::string text)
    : rest_(std::move(text)), hasNext_(!rest_.empty()) {}

std::string TKSargumentList::Next() {
    if (!hasNext_) return {};
    hasNext_ = FindOutside(rest_, ",", '"', false) != 0;
    std::string field;
    CutField(rest_, ",", '"', field, false);
    return field;
}

std::string TKSargumentList::Rest() {
    hasNext_ = false;
    std::string rest = std::move(rest_);
    rest_.clear();
    return rest;
}

} // namespace ks
