// One page of the wizard's page stack, with what the framework reads from it
// while the page is active: its caption (shown in the title bar of the
// wizard), whether it can be reached with Vorige and Volgende, whether it is
// highlighted (shown without the image panel), the image that goes with it
// (its help keyword) and its help context.
#pragma once

#include <QString>
#include <QWidget>

namespace ks::app {

class TWizardPage : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString helpKeyword READ HelpKeyword WRITE SetHelpKeyword)

public:
    // caption: a localised literal such as "#html.p2=Documenten kiezen".
    explicit TWizardPage(const QString& caption, QWidget* parent = nullptr);

    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& caption) { caption_ = caption; }
    // Only enabled pages are targets of Vorige and Volgende. Kept apart from
    // QWidget's enabled state, which would grey out the page's controls.
    bool PageEnabled() const { return pageEnabled_; }
    void SetPageEnabled(bool enabled) { pageEnabled_ = enabled; }
    bool Highlighted() const { return highlighted_; }
    void SetHighlighted(bool highlighted) { highlighted_ = highlighted; }
    // The picture shown in the image panel while this page is active.
    const QString& HelpKeyword() const { return helpKeyword_; }
    void SetHelpKeyword(const QString& keyword) { helpKeyword_ = keyword; }
    int HelpContext() const { return helpContext_; }
    void SetHelpContext(int context) { helpContext_ = context; }

private:
    QString caption_;
    bool pageEnabled_ = true;
    bool highlighted_ = false;
    QString helpKeyword_;
    int helpContext_ = 0;
};

} // namespace ks::app
