// The wizard's image panel: a picture centred in the panel and scaled to fit
// with its proportions kept (never enlarged beyond twice its size, so small
// pictures stay sharp). A double click is reported to the wizard.
#pragma once

#include <QImage>
#include <QWidget>

namespace ks::app {

class TKSimagePanel : public QWidget {
    Q_OBJECT

public:
    explicit TKSimagePanel(QWidget* parent = nullptr);

    // False (and an empty panel) when the file is missing or no picture.
    bool LoadPicture(const QString& path);
    void Clear();
    bool HasPicture() const { return !picture_.isNull(); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QImage picture_;
};

} // namespace ks::app
