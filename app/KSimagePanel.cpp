#include "app/KSimagePanel.h"

#include "app/KSjpeg.h"

#include <QFile>
#include <QFileInfo>
#include <QPainter>

namespace ks::app {

TKSimagePanel::TKSimagePanel(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
}

namespace {

constexpr qint64 kLargestPictureFile = 64 * 1024 * 1024;

// JPEG through libjpeg, anything else (BMP) through Qt; null when unreadable.
QImage ReadPicture(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kLargestPictureFile) return QImage();
    const QByteArray bytes = file.readAll();
    if (LooksLikeJpeg(bytes)) return DecodeJpeg(bytes);
    return QImage::fromData(bytes);
}

} // namespace

bool TKSimagePanel::LoadPicture(const QString& path) {
    picture_ = QImage();
    if (!path.isEmpty() && QFileInfo(path).isFile()) picture_ = ReadPicture(path);
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
