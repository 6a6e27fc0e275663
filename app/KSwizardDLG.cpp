#include "app/KSwizardDLG.h"

#include "app/KScontrolState.h"
#include "app/KSimagePanel.h"
#include "app/KSsplitter.h"
#include "app/KStranslate.h"
#include "app/KSwizardPage.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QShowEvent>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <cmath>

namespace ks::app {

namespace {

constexpr const char* kTargetPage = "targetPage";

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption, const char* hint) {
    auto* button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(QString::fromLatin1(hint));
    button->setMinimumSize(75, 25);
    button->setAutoDefault(false);
    return button;
}

} // namespace

TWizardDlg::TWizardDlg(QWidget* parent) : QDialog(parent) {
    BuildWindow();
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    help->setContext(Qt::WindowShortcut);
    connect(help, &QShortcut::activated, this, &TWizardDlg::ShowHelp);
}

TWizardDlg::~TWizardDlg() = default;

void TWizardDlg::BuildWindow() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    wizardTitle_ = new QLabel(this);
    wizardTitle_->setObjectName(QStringLiteral("WizardTitle"));
    wizardTitle_->setAlignment(Qt::AlignCenter);
    wizardTitle_->setFixedHeight(33);
    QFont bold = wizardTitle_->font();
    bold.setBold(true);
    wizardTitle_->setFont(bold);
    layout->addWidget(wizardTitle_);

    splitter_ = new TKSsplitter(this);
    splitter_->setObjectName(QStringLiteral("Splitter"));
    splitter_->setHandleWidth(6);
    image_ = new TKSimagePanel(splitter_);
    image_->setObjectName(QStringLiteral("Image"));
    auto* panel1 = new QWidget(splitter_);
    panel1->setObjectName(QStringLiteral("Panel1"));
    auto* panel1Layout = new QVBoxLayout(panel1);
    panel1Layout->setContentsMargins(8, 8, 8, 8);
    pageControl_ = new QStackedWidget(panel1);
    pageControl_->setObjectName(QStringLiteral("PageControl"));
    panel1Layout->addWidget(pageControl_);
    splitter_->addWidget(image_);
    splitter_->addWidget(panel1);
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    layout->addWidget(splitter_, 1);

    layout->addWidget(BuildButtonRow());
    connect(image_, &TKSimagePanel::doubleClicked, this, &TWizardDlg::ImageDblClick);
}

QWidget* TWizardDlg::BuildButtonRow() {
    auto* panel2 = new QWidget(this);
    panel2->setObjectName(QStringLiteral("Panel2"));
    panel2->setMinimumWidth(350);
    auto* column = new QVBoxLayout(panel2);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* line = new QFrame(panel2);
    line->setObjectName(QStringLiteral("shapeLijn"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setFixedHeight(2);
    column->addWidget(line);

    auto* row = new QHBoxLayout;
    row->setContentsMargins(6, 7, 6, 6);
    row->setSpacing(5);
    row->addStretch(1);
    btnCancel_ = MakeButton(panel2, "btnCancel", "#1001=&Annuleren", "#1002");
    btnVorige_ = MakeButton(panel2, "btnVorige", "#1003=V&orige", "#1004");
    btnVolgende_ = MakeButton(panel2, "btnVolgende", "#1005=&Volgende", "#1006");
    btnFinish_ = MakeButton(panel2, "btnFinish", "#1007=&Gereed", "#1008");
    btnVolgende_->setDefault(true);
    for (QPushButton* button : {btnCancel_, btnVorige_, btnVolgende_, btnFinish_})
        row->addWidget(button);
    column->addLayout(row);

    connect(btnCancel_, &QPushButton::clicked, this, [this] { btnCancelClick(); });
    connect(btnVorige_, &QPushButton::clicked, this, [this] { btnVorigeClick(); });
    connect(btnVolgende_, &QPushButton::clicked, this, [this] { btnVolgendeClick(); });
    connect(btnFinish_, &QPushButton::clicked, this, [this] { btnFinishClick(); });
    return panel2;
}

int TWizardDlg::AddPage(TWizardPage* page) {
    return pageControl_->addWidget(page);
}

int TWizardDlg::PageCount() const {
    return pageControl_->count();
}

TWizardPage* TWizardDlg::Page(int number) const {
    return qobject_cast<TWizardPage*>(pageControl_->widget(number));
}

int TWizardDlg::ActivePageIndex() const {
    return pageControl_->currentIndex();
}

bool TWizardDlg::verifyPage(int) {
    return true;
}

void TWizardDlg::ShowPage(int page) {
    if (Restoring || PageCount() == 0 || page >= PageCount()) return;
    if (page < 0)
        page = ActivePageIndex();
    else
        pageControl_->setCurrentIndex(page);
    const TWizardPage* active = Page(page);
    wizardTitle_->setText(active->Caption());
    helpContext_ = active->HelpContext();
    if (active->Highlighted()) {
        splitter_->SetFirstVisible(false);
    } else {
        SetPageImage(active->HelpKeyword(), false, false);
        splitter_->SetFirstVisible(true);
    }

    int previous = -1;
    for (int i = page - 1; i >= 0 && previous < 0; --i)
        if (Page(i)->PageEnabled()) previous = i;
    btnVorige_->setProperty(kTargetPage, previous);
    btnVorige_->setEnabled(previous >= 0);

    int next = -1;
    for (int i = page + 1; i < PageCount() && next < 0; ++i)
        if (Page(i)->PageEnabled()) next = i;
    const bool nextAllowed = next >= 0 && verifyPage(page);
    btnVolgende_->setProperty(kTargetPage, next);
    btnVolgende_->setEnabled(nextAllowed);

    bool finishAllowed = false;
    if (page == PageCount() - 1) {
        finishAllowed = verifyPage(page);
    } else if (!FinishOnLastPageOnly) {
        finishAllowed = nextAllowed;
        for (int i = page + 1; finishAllowed && i < PageCount(); ++i)
            finishAllowed = verifyPage(i);
    }
    btnFinish_->setEnabled(finishAllowed);
}

bool TWizardDlg::SetPageImage(const QString& fileName, bool toLast, bool fromFirst) {
    if (!image_->LoadPicture(fileName)) image_->Clear();
    const int active = qMax(0, ActivePageIndex());
    const int first = fromFirst ? 0 : active;
    const int last = toLast ? PageCount() - 1 : active;
    for (int i = first; i <= last && i < PageCount(); ++i)
        Page(i)->SetHelpKeyword(fileName);
    return true;
}

void TWizardDlg::SetTitleColours() {
    QPalette palette = wizardTitle_->palette();
    palette.setColor(QPalette::Window, QColor(128, 255, 255));
    palette.setColor(QPalette::WindowText, QColor(10, 36, 106));
    wizardTitle_->setPalette(palette);
    wizardTitle_->setAutoFillBackground(true);
}

// A portrait A-paper proportion: the width is the height divided by the square root of 2.
void TWizardDlg::ResetImageWidth() {
    splitter_->SetLeftPosition(static_cast<int>(splitter_->height() / std::sqrt(2.0)));
}

void TWizardDlg::FormShow() {
    TranslateForm(this);
    if (QLayout* main = layout()) main->activate();
    ResetImageWidth();
    SetTitleColours();
    int first = -1;
    for (int i = 0; i < PageCount() && first < 0; ++i)
        if (Page(i)->PageEnabled()) first = i;
    if (!StateKey.empty()) {
        Restoring = true;
        LoadControls(this, StateKey, StateOptions);
        Restoring = false;
    }
    if (first >= 0) ShowPage(first);
}

void TWizardDlg::FormClose() {
    if (!StateKey.empty()) SaveControls(this, StateKey, StateOptions);
}

void TWizardDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (shown_ || event->spontaneous()) return;
    shown_ = true;
    closing_ = false;
    FormShow();
}

void TWizardDlg::done(int result) {
    if (shown_ && !closing_) {
        closing_ = true;
        FormClose();
        shown_ = false;
    }
    QDialog::done(result);
}

int TWizardDlg::TargetOf(const QPushButton* button) {
    bool ok = false;
    const int target = button->property(kTargetPage).toInt(&ok);
    return ok ? target : -1;
}

void TWizardDlg::btnCancelClick() {
    done(QDialog::Rejected);
}

void TWizardDlg::btnVorigeClick() {
    if (const int target = TargetOf(btnVorige_); target >= 0) ShowPage(target);
}

void TWizardDlg::btnVolgendeClick() {
    if (const int target = TargetOf(btnVolgende_); target >= 0) ShowPage(target);
}

void TWizardDlg::btnFinishClick() {
    done(QDialog::Accepted);
}

void TWizardDlg::ShowHelp() {
    help_.Show(helpContext_, this);
}

void TWizardDlg::ImageDblClick() {
    ResetImageWidth();
}

void TWizardDlg::reject() {
    btnCancelClick();
}

} // namespace ks::app
