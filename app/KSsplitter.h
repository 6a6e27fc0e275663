// The splitter beside the wizard's image panel. It remembers where its handle
// stood while the image panel is hidden (a highlighted page), so that the
// position can be saved and restored at any time, and the panel comes back
// at the width it had. When the window grows or shrinks, the panel's width
// follows the splitter's stretch factors and the remembered position with it.
#pragma once

#include <QSplitter>

namespace ks::app {

class TKSsplitter : public QSplitter {
    Q_OBJECT
    Q_PROPERTY(int leftPosition READ LeftPosition WRITE SetLeftPosition)

public:
    explicit TKSsplitter(QWidget* parent = nullptr);

    // Width of the first widget (the distance of the handle from the left edge).
    int LeftPosition() const { return position_; }
    void SetLeftPosition(int position);
    // Shows or hides the first widget (and with it the handle).
    void SetFirstVisible(bool visible);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Apply();
    int position_ = 0;
};

} // namespace ks::app
