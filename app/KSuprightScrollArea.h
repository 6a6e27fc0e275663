// A scroll area that scrolls up and down only: it asks for the minimum width
// of what it shows (and follows it when that changes), so that the layout
// around it leaves every caption inside its room instead of cutting it off
// at the side.
#pragma once

#include <QScrollArea>

namespace ks::app {

class TKSuprightScrollArea : public QScrollArea {
public:
    explicit TKSuprightScrollArea(QWidget* parent = nullptr);

    // Shows content (the area takes ownership) and follows its minimum width.
    void SetContent(QWidget* content);
    QSize minimumSizeHint() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace ks::app
