#include "app/KSprogressPage.h"

#include "app/KScontrolState.h"
#include "app/KSqtText.h"
#include "app/KSuprightScrollArea.h"
#include "builder/run/KSrunWarnings.h"
#include "common/KSlocal.h"

#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace ks::app {

namespace {

constexpr const char* kTag = "tag";
constexpr int kRunRow = -1; // the tag of every control a run makes
constexpr int kLabelWidth = 161;
constexpr int kBreathMs = 30;
constexpr int kBarSteps = 1000;
constexpr int kWarningLines = 4; // shown without scrolling

void MarkAsRunRow(QWidget* widget) {
    widget->setProperty(kTag, kRunRow);
}

} // namespace

// A bar of the run shown by a QProgressBar; any range maps onto its steps.
class TKSprogressPage::WidgetBar : public TKSprogressBar {
public:
    explicit WidgetBar(QProgressBar* bar) : bar_(bar) { bar_->setRange(0, kBarSteps); }

protected:
    void Changed() override {
        if (!bar_) return;
        const int64_t span = Maximum() - Minimum();
        const int64_t done = std::clamp<int64_t>(Position() - Minimum(), 0, span > 0 ? span : 0);
        bar_->setValue(span > 0 ? static_cast<int>(done * kBarSteps / span) : 0);
    }

private:
    QPointer<QProgressBar> bar_;
};

TKSprogressPage::TKSprogressPage(QWidget* parent)
    : TWizardPage(QStringLiteral("#html.p5=Voortgang"), parent),
      opener_([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {
    setObjectName(QStringLiteral("tabVoortgang"));
    SetHelpContext(1541);
    // The rows, the summary and the warnings scroll together in one area;
    // only the start page with Openen and the box below stay in view.
    auto* panel = new QWidget;
    panel->setObjectName(QStringLiteral("panelVoortgang"));
    auto* column = new QVBoxLayout(panel);
    rows_ = new QGridLayout;
    rows_->setColumnStretch(1, 1);
    // The captions' column is at least the usual width, so that the bars line
    // up; a longer caption widens it and the page rather than losing its start.
    rows_->setColumnMinimumWidth(0, kLabelWidth);
    rows_->setVerticalSpacing(4);
    column->addLayout(rows_);
    ScrollBoxVoortgang_ = new TKSuprightScrollArea(this);
    ScrollBoxVoortgang_->setObjectName(QStringLiteral("ScrollBoxVoortgang"));
    ScrollBoxVoortgang_->SetContent(panel);
    connect(ScrollBoxVoortgang_->verticalScrollBar(), &QScrollBar::rangeChanged, this,
            &TKSprogressPage::ShowEnd);

    const char* names[2][3] = {
        {"lblVoortgangSamenvoegen", "#1541.text=samenvoegen indexen:", "ProgressBarTemp1"},
        {"lblDubbelenZoeken", "#1542.text=dubbelen zoeken:", "ProgressBarTemp2"}};
    for (int i = 0; i < 2; ++i) {
        fixedLabels_[i] = RowLabel(QString::fromLatin1(names[i][1]));
        fixedLabels_[i]->setObjectName(QString::fromLatin1(names[i][0]));
        auto* bar = new QProgressBar;
        bar->setObjectName(QString::fromLatin1(names[i][2]));
        bar->setTextVisible(false);
        fixedBars_[i] = std::make_unique<WidgetBar>(bar);
        fixedBarWidgets_[i] = bar;
        PlaceRow(fixedLabels_[i], bar);
        fixedLabels_[i]->hide();
        bar->hide();
    }

    grpWaarschuwingen_ = new QGroupBox(QStringLiteral("#1550.text=Waarschuwingen"), panel);
    grpWaarschuwingen_->setObjectName(QStringLiteral("grpWaarschuwingen"));
    lstWaarschuwingen_ = new QListWidget(grpWaarschuwingen_);
    lstWaarschuwingen_->setObjectName(QStringLiteral("lstWaarschuwingen"));
    lstWaarschuwingen_->setToolTip(
        QStringLiteral("#1574.15=Wat bij het aanmaken opviel en hoe u het kunt verhelpen"));
    lstWaarschuwingen_->setWordWrap(true);
    lstWaarschuwingen_->setIconSize(QSize(16, 16));
    lstWaarschuwingen_->setSelectionMode(QAbstractItemView::NoSelection);
    lstWaarschuwingen_->setFocusPolicy(Qt::NoFocus);
    lstWaarschuwingen_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lstWaarschuwingen_->setFixedHeight(lstWaarschuwingen_->fontMetrics().lineSpacing() *
                                           kWarningLines +
                                       2 * lstWaarschuwingen_->frameWidth() + 4);
    auto* warnings = new QVBoxLayout(grpWaarschuwingen_);
    warnings->setContentsMargins(6, 4, 6, 4);
    warnings->addWidget(lstWaarschuwingen_);
    grpWaarschuwingen_->hide();

    lblSamenvatting_ = new QLabel(panel);
    lblSamenvatting_->setObjectName(QStringLiteral("lblSamenvatting"));
    lblSamenvatting_->setTextFormat(Qt::PlainText);
    lblSamenvatting_->setWordWrap(true);
    lblSamenvatting_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblSamenvatting_->setContentsMargins(6, 2, 6, 2);
    // Wrapped to the room there is; a path wraps at its slashes.
    lblSamenvatting_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    lblSamenvatting_->hide();
    column->addWidget(lblSamenvatting_);
    column->addWidget(grpWaarschuwingen_);
    column->addStretch(1);
    lblStartpagina_ = new QLabel(this);
    lblStartpagina_->setObjectName(QStringLiteral("lblStartpagina"));
    lblStartpagina_->setTextFormat(Qt::PlainText);
    lblStartpagina_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // A long path is shortened to the room there is, never widening the page.
    lblStartpagina_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    chkOpenen_ = new QCheckBox(QStringLiteral("#1548.text=&resultaat automatisch openen"), this);
    chkOpenen_->setObjectName(QStringLiteral("chkOpenen"));
    chkOpenen_->setToolTip(QStringLiteral("#1548.hint"));
    app::SetHelpKeyword(chkOpenen_, QStringLiteral("OpenResult"));
    btnResultaatOpenen_ = new QPushButton(QStringLiteral("#1549.text=O&penen"), this);
    btnResultaatOpenen_->setObjectName(QStringLiteral("btnResultaatOpenen"));
    btnResultaatOpenen_->setEnabled(false);
    btnResultaatOpenen_->setToolTip(
        QStringLiteral("#1574.16=De verzamelindex in de webbrowser openen"));
    connect(btnResultaatOpenen_, &QPushButton::clicked, this,
            &TKSprogressPage::btnResultaatOpenenClick);
    btnPubliceren_ = new QPushButton(QStringLiteral("#1614.15=Pu&bliceren..."), this);
    btnPubliceren_->setObjectName(QStringLiteral("btnPubliceren"));
    btnPubliceren_->setEnabled(false);
    btnPubliceren_->setToolTip(QStringLiteral(
        "#1614.16=De verzamelindex naar de webserver of een andere map kopi\xEBren, alleen wat "
        "veranderde"));
    connect(btnPubliceren_, &QPushButton::clicked, this, &TKSprogressPage::PublishClicked);
    // The start page beside the buttons, with the room of the whole row.
    auto* result = new QHBoxLayout;
    result->addWidget(lblStartpagina_, 1);
    result->addWidget(btnResultaatOpenen_);
    result->addWidget(btnPubliceren_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(ScrollBoxVoortgang_, 1);
    layout->addLayout(result);
    layout->addWidget(chkOpenen_);
    lastBreath_.start();
}

TKSprogressPage::~TKSprogressPage() = default;

void TKSprogressPage::SetUrlOpener(std::function<bool(const QUrl&)> opener) {
    opener_ = std::move(opener);
}

QLabel* TKSprogressPage::RowLabel(const QString& caption) {
    auto* label = new QLabel(caption);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

void TKSprogressPage::PlaceRow(QLabel* label, QWidget* right) {
    const int row = nextRow_++;
    rows_->addWidget(label, row, 0);
    rows_->addWidget(right, row, 1);
}

TKSprogressBar& TKSprogressPage::FixedRow(int index) {
    fixedLabels_[index]->show();
    fixedBarWidgets_[index]->show();
    fixedBars_[index]->SetRange(0, 100);
    fixedBars_[index]->SetPosition(0);
    stepLabels_[index - 1] = fixedLabels_[index];
    stepRight_[index - 1] = fixedBarWidgets_[index];
    return *fixedBars_[index];
}

TKSprogressBar& TKSprogressPage::AddRow(int step, const std::string& caption) {
    if (step < 1) return FixedRow(step + 1);
    QLabel* label = RowLabel(FromKS(caption));
    MarkAsRunRow(label);
    auto* bar = new QProgressBar;
    bar->setTextVisible(false);
    MarkAsRunRow(bar);
    PlaceRow(label, bar);
    stepLabels_[step] = label;
    stepRight_[step] = bar;
    runBars_.push_back(std::make_unique<WidgetBar>(bar));
    ShowEnd();
    return *runBars_.back();
}

void TKSprogressPage::MissingFile(int step, const std::string& text, const std::string& path) {
    auto* missing = new QLabel(FromKS(text));
    missing->setObjectName(QStringLiteral("lblNietGevonden"));
    missing->setAlignment(Qt::AlignCenter);
    missing->setAutoFillBackground(true);
    missing->setStyleSheet(QStringLiteral("background-color: rgb(255, 255, 0); color: black;"));
    missing->setToolTip(FromPath(path));
    MarkAsRunRow(missing);
    const auto right = stepRight_.find(step);
    if (right != stepRight_.end() && right->first >= 1) {
        const int index = rows_->indexOf(right->second);
        int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
        rows_->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
        right->second->hide();
        rows_->addWidget(missing, row, 1);
        right->second = missing;
    } else {
        auto* label = RowLabel(QString());
        MarkAsRunRow(label);
        PlaceRow(label, missing);
    }
}

void TKSprogressPage::StepFailed(int step, const std::string& message) {
    const auto label = stepLabels_.find(step);
    AddProblemRow(label != stepLabels_.end() ? label->second->text() : QString(), FromKS(message));
}

void TKSprogressPage::AddProblemRow(const QString& where, const QString& text) {
    auto* failed = new QLabel(text);
    failed->setObjectName(QStringLiteral("lblFout"));
    failed->setWordWrap(true);
    failed->setTextFormat(Qt::PlainText);
    failed->setStyleSheet(QStringLiteral("color: #b00000;"));
    MarkAsRunRow(failed);
    auto* caption = RowLabel(where.isEmpty() ? QStringLiteral("!") : where);
    MarkAsRunRow(caption);
    PlaceRow(caption, failed);
}

void TKSprogressPage::ShowProblem(const std::string& path, const std::string& reason) {
    AddProblemRow(QString(), path.empty() ? FromKS(reason)
                                          : FromPath(path) + QStringLiteral(": ") + FromKS(reason));
}

void TKSprogressPage::StepDuration(int step, const std::string& elapsed) {
    if (const auto label = stepLabels_.find(step); label != stepLabels_.end())
        label->second->setToolTip(QString::fromLatin1(elapsed));
}

void TKSprogressPage::Result(const std::string& path, bool mayOpen) {
    // The path is kept beside the hint, which names it too.
    btnResultaatOpenen_->setProperty("resultPath", FromPath(path));
    btnResultaatOpenen_->setToolTip(
        path.empty() ? Lookup("#1574.16=De verzamelindex in de webbrowser openen")
                     : Lookup("#1574.18=De verzamelindex in de webbrowser openen: %1")
                           .replace(QStringLiteral("%1"), FromPath(path)));
    btnResultaatOpenen_->setEnabled(mayOpen && !path.empty());
    btnPubliceren_->setEnabled(mayOpen && !path.empty());
    startPage_ = path.empty() ? QString() : FromPath(path);
    ShowStartPage();
}

// The caption whole and as much of the path's end (the file's name) as fits.
void TKSprogressPage::ShowStartPage() {
    if (startPage_.isEmpty()) {
        lblStartpagina_->clear();
        lblStartpagina_->setToolTip(QString());
        return;
    }
    const QString caption = FromKS(LocalText("#1571.15=Startpagina:")) + QLatin1Char(' ');
    const QFontMetrics metrics = lblStartpagina_->fontMetrics();
    const int room = std::max(0, lblStartpagina_->width() - metrics.horizontalAdvance(caption) - 4);
    lblStartpagina_->setText(caption + metrics.elidedText(startPage_, Qt::ElideLeft, room));
    lblStartpagina_->setToolTip(caption + startPage_);
}

void TKSprogressPage::resizeEvent(QResizeEvent* event) {
    TWizardPage::resizeEvent(event);
    ShowStartPage();
}

QString TKSprogressPage::StartPageText() const {
    return lblStartpagina_->toolTip();
}

void TKSprogressPage::ShowSummary(const std::vector<TKSsummaryLine>& lines) {
    // A long path wraps after its slashes in a narrow window.
    QStringList shown;
    for (const TKSsummaryLine& line : lines)
        shown << FromPath(line.Where) + QString::fromLatin1(line.Separator) + FromKS(line.Text);
    lblSamenvatting_->setText(shown.join(QLatin1Char('\n')));
    lblSamenvatting_->setVisible(!lines.empty());
    ShowEnd();
}

// The end of the rows, where the summary and the warnings are, comes into
// view, also once the area has laid out what was just added.
void TKSprogressPage::ShowEnd() {
    QScrollBar* bar = ScrollBoxVoortgang_->verticalScrollBar();
    bar->setValue(bar->maximum());
}

QStringList TKSprogressPage::Summary() const {
    const QString text = lblSamenvatting_->text();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

void TKSprogressPage::Breathe() {
    if (lastBreath_.elapsed() < kBreathMs) return;
    QApplication::processEvents();
    lastBreath_.restart();
}

void TKSprogressPage::ShowWarnings(const std::vector<TKSrunWarning>& warnings) {
    lstWaarschuwingen_->clear();
    const QIcon icon = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    for (const TKSrunWarning& warning : warnings) {
        const QString line = FromPath(warning.Where) +
                             QString::fromLatin1(WarningSeparator(warning)) +
                             FromMessage(warning.Text);
        auto* item = new QListWidgetItem(icon, line, lstWaarschuwingen_);
        item->setToolTip(line);
    }
    grpWaarschuwingen_->setVisible(!warnings.empty());
    ShowEnd();
}

QStringList TKSprogressPage::Warnings() const {
    QStringList lines;
    for (int i = 0; i < lstWaarschuwingen_->count(); ++i)
        lines << lstWaarschuwingen_->item(i)->text();
    return lines;
}

void TKSprogressPage::WisVoortgang() {
    QWidget* panel = ScrollBoxVoortgang_->widget();
    const QList<QWidget*> made = panel->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (auto it = made.rbegin(); it != made.rend(); ++it)
        if ((*it)->property(kTag).toInt() == kRunRow) delete *it;
    runBars_.clear();
    stepLabels_.clear();
    stepRight_.clear();
    for (int i = 0; i < 2; ++i) {
        fixedLabels_[i]->hide();
        fixedBarWidgets_[i]->hide();
    }
    nextRow_ = 2;
    btnResultaatOpenen_->setEnabled(false);
    btnPubliceren_->setEnabled(false);
    startPage_.clear();
    ShowStartPage();
    ShowSummary({});
    ShowWarnings({});
}

QString TKSprogressPage::ResultPath() const {
    return btnResultaatOpenen_->property("resultPath").toString();
}

bool TKSprogressPage::ResultEnabled() const {
    return btnResultaatOpenen_->isEnabled();
}

bool TKSprogressPage::PublishEnabled() const {
    return btnPubliceren_->isEnabled();
}

bool TKSprogressPage::OpenAutomatically() const {
    return chkOpenen_->isChecked();
}

void TKSprogressPage::btnResultaatOpenenClick() {
    if (!ResultPath().isEmpty()) opener_(QUrl::fromLocalFile(ResultPath()));
}

} // namespace ks::app
