// The wizard's image panel: a picture centred in the panel and scaled to fit
// with its proportions kept (never enlarged beyond twice its size, so small
// pictures stay sharp), so that it grows and shrinks with the panel. A click
// shows the picture at its own size in a window of its own; a double click
// is reported to the wizard.
#pragma once

#include <QImage>
#include <QWidget>

class QTimer;

namespace ks::app {

class TKSimagePanel : public QWidget {
    Q_OBJECT

public:
    explicit TKSimagePanel(QWidget* parent = nullptr);

    // False (and an empty panel) when the file is missing or no picture.
    bool LoadPicture(const QString& path);
    void Clear();
    bool HasPicture() const { return !picture_.isNull(); }
    const QImage& Picture() const { return picture_; }
    // Where the picture is drawn in the panel; empty without a picture.
    QRect PictureRect() const;
    // Opens the picture at its own size (scrolled when larger than the
    // screen) in a window that Esc or a click closes; nullptr without one.
    QWidget* ShowFullSize();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QImage picture_;
    // A click waits for the double-click interval, so that a double click
    // does not open the picture as well.
    QTimer* clickTimer_ = nullptr;
    bool doubleClicking_ = false;
};

} // namespace ks::app
