// The pictures of the small buttons beside the document list: spectacles
// (open the HTML output), a cross (remove), arrows up and down (move). Drawn
// here so that they look the same on every desktop.
#pragma once

#include <QIcon>

namespace ks::app {

enum class ListIcon { Spectacles, Cross, ArrowUp, ArrowDown };

QIcon ListButtonIcon(ListIcon kind);

} // namespace ks::app
