#include "app/KSimagePanel.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>

namespace ks::app {

TKSimagePanel::TKSimagePanel(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
}

bool TKSimagePanel::LoadPicture(const QString& path) {
    picture_ = QImage();
    if (!path.isEmpty() && QFileInfo(path).isFile()) {
        QImageReader reader(path);
        reader.setAutoTransform(true);
        picture_ = reader.read();
    }
    update();
    return !picture_.isNull();
}

void TKSimagePanel::Clear() {
    picture_ = QImage();
    update();
}

QSize TKSimagePanel::sizeHint() const {
    return QSize(240, 340);
}

QSize TKSimagePanel::minimumSizeHint() const {
    return QSize(16, 16);
}

void TKSimagePanel::paintEvent(QPaintEvent*) {
    if (picture_.isNull()) return;
    QSize size = picture_.size();
    const QSize limit = picture_.size() * 2;
    size.scale(rect().size().boundedTo(limit), Qt::KeepAspectRatio);
    QRect target(QPoint(0, 0), size);
    target.moveCenter(rect().center());
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, picture_);
}

void TKSimagePanel::mouseDoubleClickEvent(QMouseEvent*) {
    emit doubleClicked();
}

} // namespace ks::app
