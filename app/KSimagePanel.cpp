#include "app/KSimagePanel.h"

#include "app/KSjpeg.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>

namespace ks::app {

namespace {

constexpr qint64 kLargestPictureFile = 64 * 1024 * 1024;
// Narrower than this the picture is no more than a sliver; the splitter keeps
// the panel at least this wide.
constexpr int kSmallestWidth = 96;

// JPEG through libjpeg, anything else (BMP) through Qt; null when unreadable.
QImage ReadPicture(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kLargestPictureFile) return QImage();
    const QByteArray bytes = file.readAll();
    if (LooksLikeJpeg(bytes)) return DecodeJpeg(bytes);
    return QImage::fromData(bytes);
}

// The picture at its own size; a click anywhere on it closes the window, as Esc does.
class FullSizeView : public QDialog {
public:
    FullSizeView(const QImage& picture, QWidget* parent) : QDialog(parent) {
        setObjectName(QStringLiteral("fullSizePicture"));
        setAttribute(Qt::WA_DeleteOnClose);
        auto* label = new QLabel;
        label->setObjectName(QStringLiteral("fullSizeLabel"));
        label->setPixmap(QPixmap::fromImage(picture));
        auto* area = new QScrollArea(this);
        area->setFrameShape(QFrame::NoFrame);
        area->setAlignment(Qt::AlignCenter);
        area->setWidget(label);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(area);
        label->installEventFilter(this);
        QSize size = picture.size();
        if (const QScreen* screen = parent ? parent->screen() : QApplication::primaryScreen())
            size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
        resize(size);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonRelease) {
            close();
            return true;
        }
        return QDialog::eventFilter(watched, event);
    }
    void mouseReleaseEvent(QMouseEvent*) override { close(); }
};

} // namespace

TKSimagePanel::TKSimagePanel(QWidget* parent) : QWidget(parent), clickTimer_(new QTimer(this)) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    clickTimer_->setSingleShot(true);
    connect(clickTimer_, &QTimer::timeout, this, [this] { ShowFullSize(); });
}

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
    return QSize(kSmallestWidth, 16);
}

QRect TKSimagePanel::PictureRect() const {
    if (picture_.isNull()) return QRect();
    QSize size = picture_.size();
    size.scale(rect().size().boundedTo(picture_.size() * 2), Qt::KeepAspectRatio);
    QRect target(QPoint(0, 0), size);
    target.moveCenter(rect().center());
    return target;
}

QWidget* TKSimagePanel::ShowFullSize() {
    if (picture_.isNull()) return nullptr;
    auto* view = new FullSizeView(picture_, window());
    view->setWindowTitle(window()->windowTitle());
    view->open();
    return view;
}

void TKSimagePanel::paintEvent(QPaintEvent*) {
    if (picture_.isNull()) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(PictureRect(), picture_);
}

void TKSimagePanel::mousePressEvent(QMouseEvent*) {
    doubleClicking_ = false;
}

void TKSimagePanel::mouseReleaseEvent(QMouseEvent* event) {
    // The release that ends a double click opens nothing.
    if (doubleClicking_) return;
    if (event->button() == Qt::LeftButton && PictureRect().contains(event->position().toPoint()))
        clickTimer_->start(QApplication::doubleClickInterval());
}

void TKSimagePanel::mouseDoubleClickEvent(QMouseEvent*) {
    clickTimer_->stop();
    doubleClicking_ = true;
    emit doubleClicked();
}

} // namespace ks::app
