#include "app/KSuprightScrollArea.h"

#include <QEvent>
#include <QScrollBar>

namespace ks::app {

namespace {
constexpr int kLeastHeight = 48; // room for the scroll bar's arrows
}

TKSuprightScrollArea::TKSuprightScrollArea(QWidget* parent) : QScrollArea(parent) {
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void TKSuprightScrollArea::SetContent(QWidget* content) {
    setWidget(content);
    content->installEventFilter(this);
}

QSize TKSuprightScrollArea::minimumSizeHint() const {
    const int contentWidth = widget() ? widget()->minimumSizeHint().width() : 0;
    return QSize(contentWidth + 2 * frameWidth() + verticalScrollBar()->sizeHint().width(),
                 kLeastHeight);
}

bool TKSuprightScrollArea::eventFilter(QObject* watched, QEvent* event) {
    // Content that needs more room (new rows, longer texts) widens the area.
    if (watched == widget() && event->type() == QEvent::LayoutRequest) updateGeometry();
    return QScrollArea::eventFilter(watched, event);
}

} // namespace ks::app
