#include "app/KSsplitter.h"

#include <QResizeEvent>

namespace ks::app {

TKSsplitter::TKSsplitter(QWidget* parent) : QSplitter(Qt::Horizontal, parent) {
    setChildrenCollapsible(false);
    connect(this, &QSplitter::splitterMoved, this, [this](int pos, int index) {
        if (index == 1) position_ = pos;
    });
}

void TKSsplitter::SetLeftPosition(int position) {
    position_ = qMax(0, position);
    Apply();
}

void TKSsplitter::SetFirstVisible(bool visible) {
    if (count() < 1 || widget(0)->isHidden() == !visible) return;
    widget(0)->setHidden(!visible);
    if (visible) Apply();
}

void TKSsplitter::resizeEvent(QResizeEvent* event) {
    QSplitter::resizeEvent(event);
    // Only a resize of a laid-out splitter moves the handle; the first
    // layout of a new window keeps the position it was given.
    if (count() < 2 || widget(0)->isHidden() || !isVisible() || event->oldSize().width() <= 0)
        return;
    position_ = sizes().value(0);
}

void TKSsplitter::Apply() {
    if (count() < 2 || widget(0)->isHidden()) return;
    const int total = qMax(width(), position_ + handleWidth() + 1);
    setSizes({position_, total - position_ - handleWidth()});
}

} // namespace ks::app
