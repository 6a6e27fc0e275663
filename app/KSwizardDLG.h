// A reusable wizard window: a title bar, an image panel at the left beside a
// splitter, a stack of pages without tabs, and a row of buttons: Annuleren
// (Esc), Vorige, Volgende (Enter) and Gereed. A concrete wizard adds its
// pages and overrides verifyPage to say when a page is complete; the
// framework decides which buttons are enabled, where they lead and which
// picture is shown, and it saves and restores the values of all controls
// between runs of the program (KScontrolState.h) with the window's size. The
// window opens no larger than the screen; the pages scroll when it is too
// low for them, so that the buttons are always within reach.
#pragma once

#include "app/KShelp.h"

#include <QDialog>
#include <cstdint>
#include <string>

class QLabel;
class QPushButton;
class QStackedWidget;

namespace ks::app {

class TKSimagePanel;
class TKSsplitter;
class TWizardPage;

class TWizardDlg : public QDialog {
    Q_OBJECT

public:
    explicit TWizardDlg(QWidget* parent = nullptr);
    ~TWizardDlg() override;

    // Appends a page to the stack (the wizard takes ownership); its number is returned.
    int AddPage(TWizardPage* page);
    int PageCount() const;
    TWizardPage* Page(int number) const;
    int ActivePageIndex() const;

    // True when page (0-based) is complete. Called often; a derived wizard
    // may update the page's controls in it.
    virtual bool verifyPage(int page);
    // Makes the page active and recomputes the title, the image and the
    // buttons; a negative number only recomputes. Does nothing while Restoring.
    void ShowPage(int page);
    // Shows the picture (an empty panel when the file is missing) and keeps
    // its name as the picture of the active page, of the pages before it
    // (fromFirst) and of the pages after it (toLast).
    bool SetPageImage(const QString& fileName, bool toLast, bool fromFirst);

    // The active page's help context; F1 shows its help page.
    int HelpContext() const { return helpContext_; }
    void SetHelpContext(int context) { helpContext_ = context; }
    TKShelp& Help() { return help_; }

    // true: Gereed only on the last page.
    bool FinishOnLastPageOnly = true;
    // Key of the saved control values; empty: nothing is saved or restored.
    std::string StateKey;
    // Bit 0: values are named after the controls' help keywords.
    int32_t StateOptions = 0;
    // True while saved values are being restored.
    bool Restoring = false;

    QLabel* WizardTitle() const { return wizardTitle_; }
    TKSimagePanel* Image() const { return image_; }
    TKSsplitter* Splitter() const { return splitter_; }
    QStackedWidget* PageControl() const { return pageControl_; }

public slots:
    virtual void btnCancelClick();
    virtual void btnVorigeClick();
    virtual void btnVolgendeClick();
    virtual void btnFinishClick();
    void ImageDblClick();
    // The help page of the active page, in the browser.
    void ShowHelp();
    // Esc and the window manager's close go through Annuleren.
    void reject() override;
    void done(int result) override;

protected:
    // Translates, restores the saved values and shows the first enabled page.
    virtual void FormShow();
    // Saves the values of all controls.
    virtual void FormClose();
    void showEvent(QShowEvent* event) override;

    QPushButton* btnCancel() const { return btnCancel_; }
    QPushButton* btnVorige() const { return btnVorige_; }
    QPushButton* btnVolgende() const { return btnVolgende_; }
    QPushButton* btnFinish() const { return btnFinish_; }

private:
    void BuildWindow();
    QWidget* BuildButtonRow();
    void SetTitleColours();
    void ResetImageWidth();
    // The screen area the window itself may take (its frame outside it).
    QRect AvailableArea() const;
    // Shrinks the window to the screen (never below its minimum) and moves
    // it back onto the screen when it is partly off it.
    void FitToScreen();
    static int TargetOf(const QPushButton* button);

    QLabel* wizardTitle_ = nullptr;
    TKSimagePanel* image_ = nullptr;
    TKSsplitter* splitter_ = nullptr;
    QStackedWidget* pageControl_ = nullptr;
    QPushButton* btnCancel_ = nullptr;
    QPushButton* btnVorige_ = nullptr;
    QPushButton* btnVolgende_ = nullptr;
    QPushButton* btnFinish_ = nullptr;
    int helpContext_ = 0;
    TKShelp help_;
    bool shown_ = false;
    bool closing_ = false;
};

} // namespace ks::app
