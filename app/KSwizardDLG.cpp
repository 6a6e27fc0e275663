#include "app/KSwizardDLG.h"

#include "app/KScontrolState.h"
#include "app/KSimagePanel.h"
#include "app/KSsplitter.h"
#include "app/KStranslate.h"
#include "app/KSuprightScrollArea.h"
#include "app/KSwizardPage.h"
#include "common/KSini.h"

#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QShowEvent>
#include <QStackedWidget>
#include <QStyle>
#include <QVBoxLayout>
#include <cmath>
#include <string>

namespace ks::app {

namespace {

constexpr const char* kTargetPage = "targetPage";
// The window's size in the per-user store, beside the control values.
constexpr const char* kWindowWidth = "WindowWidth";
constexpr const char* kWindowHeight = "WindowHeight";

// A stack that needs the room of the page it shows, not that of its widest
// page: a page shown without the picture may use the picture's width. For a
// width it asks the least height its page can live with, so that the pages
// scroll only when that does not fit: a page's own list or scroll area then
// shrinks first, and a page never shows two scroll bars one inside the other.
class PageStack : public QStackedWidget {
public:
    using QStackedWidget::QStackedWidget;
    QSize minimumSizeHint() const override {
        const QWidget* page = currentWidget();
        return page ? page->minimumSizeHint() : QSize();
    }
    int heightForWidth(int width) const override {
        const QWidget* page = currentWidget();
        if (!page) return -1;
        const QLayout* layout = page->layout();
        if (layout && layout->hasHeightForWidth()) return layout->totalMinimumHeightForWidth(width);
        return page->minimumSizeHint().height();
    }
};

int StoredNumber(ks::TKSreg& reg, const char* name) {
    try {
        return std::stoi(reg.ReadString(name));
    } catch (const std::exception&) {
        return 0;
    }
}

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
    // The pages scroll up and down when the window is lower than they need,
    // so that the button row below them stays on the screen. Sideways they
    // never scroll: the splitter and the window leave every caption its room.
    auto* scroller = new TKSuprightScrollArea(panel1);
    scroller->setObjectName(QStringLiteral("PageScroller"));
    scroller->setFrameShape(QFrame::NoFrame);
    pageControl_ = new PageStack;
    pageControl_->setObjectName(QStringLiteral("PageControl"));
    scroller->SetContent(pageControl_);
    connect(pageControl_, &QStackedWidget::currentChanged, scroller, &QWidget::updateGeometry);
    panel1Layout->addWidget(scroller);
    splitter_->addWidget(image_);
    splitter_->addWidget(panel1);
    // A larger window gives the picture a third of the extra width.
    splitter_->setStretchFactor(0, 1);
    splitter_->setStretchFactor(1, 2);
    layout->addWidget(splitter_, 1);

    layout->addWidget(BuildButtonRow());
    connect(image_, &TKSimagePanel::doubleClicked, this, &TWizardDlg::ImageDblClick);
}

QRect TWizardDlg::AvailableArea() const {
    const QScreen* shown = screen();
    if (!shown) return QRect();
    QRect area = shown->availableGeometry();
    // The frame the window manager draws; before the window is mapped it is
    // unknown, so room is kept for a title bar.
    const QRect outer = frameGeometry(), inner = geometry();
    QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(),
                   outer.right() - inner.right(), outer.bottom() - inner.bottom());
    if (frame.isNull())
        frame.setTop(style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this));
    return area.marginsRemoved(frame);
}

void TWizardDlg::FitToScreen() {
    const QRect area = AvailableArea();
    if (area.isEmpty()) return;
    const QSize size = this->size().boundedTo(area.size()).expandedTo(minimumSizeHint());
    resize(size);
    // Back on the screen, centred, when any part of the window would be off it.
    if (!area.contains(QRect(pos(), size))) {
        QRect placed(QPoint(0, 0), size);
        placed.moveCenter(area.center());
        move(qMax(area.left(), placed.left()), qMax(area.top(), placed.top()));
    }
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
    for (QPushButton* button : {btnCancel_, btnVorige_, btnVolgende_, btnFinish_}) {
        // As wide as the caption needs in any language and font size.
        button->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
        row->addWidget(button);
    }
    column->addLayout(row);

    connect(btnCancel_, &QPushButton::clicked, this, [this] { btnCancelClick(); });
    connect(btnVorige_, &QPushButton::clicked, this, [this] { btnVorigeClick(); });
    connect(btnVolgende_, &QPushButton::clicked, this, [this] { btnVolgendeClick(); });
    connect(btnFinish_, &QPushButton::clicked, this, [this] { btnFinishClick(); });
    return panel2;
}

int TWizardDlg::AddPage(TWizardPage* page) {
    // A list of choices is never narrower than its longest entry, whatever
    // the entries are later filled with; the page then asks for that room.
    for (QComboBox* combo : page->findChildren<QComboBox*>()) {
        combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        const auto fit = [combo] { combo->setMinimumWidth(combo->sizeHint().width()); };
        QAbstractItemModel* entries = combo->model();
        connect(entries, &QAbstractItemModel::rowsInserted, combo, fit);
        connect(entries, &QAbstractItemModel::rowsRemoved, combo, fit);
        connect(entries, &QAbstractItemModel::dataChanged, combo, fit);
        connect(entries, &QAbstractItemModel::modelReset, combo, fit);
        fit();
    }
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
    if (!StateKey.empty()) {
        TKSreg reg(StateKey);
        const QSize stored(StoredNumber(reg, kWindowWidth), StoredNumber(reg, kWindowHeight));
        if (stored.width() > 0 && stored.height() > 0) resize(stored);
    }
    if (QLayout* main = layout()) main->activate();
    FitToScreen();
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
    if (StateKey.empty()) return;
    SaveControls(this, StateKey, StateOptions);
    // The size the window had before it was maximised, if it was.
    const QSize size = isMaximized() || isFullScreen() ? normalGeometry().size() : this->size();
    if (size.isEmpty()) return;
    TKSreg reg(StateKey);
    reg.WriteString(kWindowWidth, std::to_string(size.width()));
    reg.WriteString(kWindowHeight, std::to_string(size.height()));
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
