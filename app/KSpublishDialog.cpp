#include "app/KSpublishDialog.h"

#include "app/KSfolderBrowser.h"
#include "app/KSqtText.h"
#include "common/KSerrors.h"
#include "publish/KSpublishReport.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace ks::app {

namespace {

constexpr int kListedPaths = 200; // of a dry run, before "..."
constexpr qint64 kProgressMs = 50;

struct Stopped {};

QString ResultText(const TKSpublishResult& result, bool dryRun) {
    QStringList lines;
    if (dryRun) {
        const auto list = [&lines](const std::vector<std::string>& paths, const char* literal) {
            for (std::size_t i = 0; i < paths.size(); ++i) {
                if (i == kListedPaths) {
                    lines << QStringLiteral("...");
                    break;
                }
                lines << Lookup(literal).replace(QStringLiteral("%1"), FromPath(paths[i]));
            }
        };
        list(result.Send, "#1614.9=verzenden: %1");
        list(result.Remove, "#1614.10=verwijderen: %1");
    }
    for (const std::string& line : PublishReportLines(result, dryRun))
        lines << FromMessage(line);
    return lines.join(QLatin1Char('\n'));
}

} // namespace

TKSpublishDialog::TKSpublishDialog(QWidget* parent, const std::string& outputFolder,
                                   const QString& destination)
    : QDialog(parent), outputFolder_(outputFolder),
      ownBrowser_(std::make_unique<TKSfolderBrowser>(this)), browser_(ownBrowser_.get()) {
    setObjectName(QStringLiteral("dlgPubliceren"));
    setWindowTitle(Lookup("#1614.1=Publiceren"));
    auto* grid = new QGridLayout;
    auto* folder = new QLabel(Lookup("#1614.2=Uitvoermap:"));
    auto* folderPath = new QLabel(FromPath(outputFolder));
    folderPath->setTextFormat(Qt::PlainText);
    folderPath->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(folder, 0, 0);
    grid->addWidget(folderPath, 0, 1, 1, 2);
    destination_ = new QLineEdit(destination);
    destination_->setObjectName(QStringLiteral("edtBestemming"));
    destination_->setPlaceholderText(Lookup(
        "#1614.3=een map, sftp://gebruiker@server/pad, ftps://server/pad of ftp://server/pad"));
    destination_->setToolTip(Lookup(
        "#1614.4=Alleen wat sinds de vorige publicatie naar deze bestemming veranderde wordt "
        "verzonden. Wachtwoorden komen uit de SSH-agent, de sleutelbestanden of ~/.netrc en "
        "worden nooit bewaard."));
    destination_->setMinimumWidth(destination_->fontMetrics().averageCharWidth() * 50);
    auto* label = new QLabel(Lookup("#1614.5=&Bestemming:"));
    label->setBuddy(destination_);
    browse_ = new QPushButton(Lookup("#1614.6=B&laderen..."));
    browse_->setObjectName(QStringLiteral("btnBladeren"));
    grid->addWidget(label, 1, 0);
    grid->addWidget(destination_, 1, 1);
    grid->addWidget(browse_, 1, 2);
    dryRun_ = new QCheckBox(Lookup("#1614.7=alleen &tonen wat er zou veranderen"));
    dryRun_->setObjectName(QStringLiteral("chkProefrit"));
    bar_ = new QProgressBar;
    bar_->setObjectName(QStringLiteral("ProgressBarPubliceren"));
    bar_->setTextVisible(false);
    report_ = new QPlainTextEdit;
    report_->setObjectName(QStringLiteral("memVerslag"));
    report_->setReadOnly(true);
    report_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    auto* buttons = new QDialogButtonBox;
    publish_ = buttons->addButton(Lookup("#1614.8=&Publiceren"), QDialogButtonBox::ActionRole);
    publish_->setObjectName(QStringLiteral("btnPubliceren"));
    publish_->setDefault(true);
    stop_ = buttons->addButton(Lookup("#1614.11=&Stoppen"), QDialogButtonBox::ActionRole);
    stop_->setObjectName(QStringLiteral("btnStoppen"));
    close_ = buttons->addButton(QDialogButtonBox::Close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(dryRun_);
    layout->addWidget(bar_);
    layout->addWidget(report_, 1);
    layout->addWidget(buttons);
    connect(publish_, &QPushButton::clicked, this, &TKSpublishDialog::btnPublicerenClick);
    connect(stop_, &QPushButton::clicked, this, &TKSpublishDialog::btnStoppenClick);
    connect(browse_, &QPushButton::clicked, this, &TKSpublishDialog::btnBladerenClick);
    connect(close_, &QPushButton::clicked, this, &TKSpublishDialog::reject);
    connect(destination_, &QLineEdit::textChanged, this, &TKSpublishDialog::UpdateButtons);
    UpdateButtons();
}

TKSpublishDialog::~TKSpublishDialog() {
    if (stop_requested_) *stop_requested_ = true;
    Join();
}

QString TKSpublishDialog::Destination() const {
    return destination_->text().trimmed();
}

QString TKSpublishDialog::Report() const {
    return report_->toPlainText();
}

void TKSpublishDialog::SetFolderBrowser(FolderBrowser* browser) {
    browser_ = browser ? browser : ownBrowser_.get();
}

void TKSpublishDialog::UpdateButtons() {
    publish_->setEnabled(!Busy() && !Destination().isEmpty());
    stop_->setEnabled(Busy());
    browse_->setEnabled(!Busy());
    destination_->setEnabled(!Busy());
    dryRun_->setEnabled(!Busy());
}

void TKSpublishDialog::btnBladerenClick() {
    std::string folder = ToPath(Destination());
    if (!browser_->BrowseForFolder(ToKS(Lookup("#1614.12=kies de map om naar te publiceren")), "",
                                   folder, true))
        return;
    destination_->setText(FromPath(folder));
}

void TKSpublishDialog::btnPublicerenClick() {
    if (Busy() || Destination().isEmpty()) return;
    TKSpublishRequest request;
    request.OutputFolder = outputFolder_;
    request.Destination = ToPath(Destination());
    request.DryRun = dryRun_->isChecked();
    report_->clear();
    bar_->setRange(0, 0); // busy until the first file is counted
    emit Started(Destination());
    auto stop = std::make_shared<std::atomic<bool>>(false);
    stop_requested_ = stop;
    // The worker reaches the window only through queued calls, which Qt
    // drops once the window is gone; the window waits for the worker first.
    worker_ = std::make_unique<std::thread>([this, request, stop] {
        QElapsedTimer shown;
        shown.start();
        QString report;
        Outcome outcome = Outcome::Failed;
        try {
            const TKSpublishResult result =
                Publish(request, [this, stop, &shown](const TKSpublishProgress& progress) {
                    if (*stop) throw Stopped{};
                    if (progress.Done < progress.Total && shown.elapsed() < kProgressMs) return;
                    shown.restart();
                    QMetaObject::invokeMethod(
                        this, [this, progress] { Progress(progress); }, Qt::QueuedConnection);
                });
            report = ResultText(result, request.DryRun);
            outcome = Outcome::Published;
        } catch (const Stopped&) {
            outcome = Outcome::Stopped;
            report = Lookup("#1614.13=Gestopt; de volgende publicatie naar deze bestemming gaat "
                            "verder waar deze ophield.");
        } catch (const EKSError& error) {
            report =
                (error.Path().empty() ? QString() : FromPath(error.Path()) + QStringLiteral(": ")) +
                FromMessage(error.Reason());
        } catch (const std::exception& error) {
            report = QString::fromLocal8Bit(error.what());
        }
        QMetaObject::invokeMethod(
            this, [this, report, outcome] { Done(report, outcome); }, Qt::QueuedConnection);
    });
    UpdateButtons();
}

void TKSpublishDialog::Progress(const TKSpublishProgress& progress) {
    bar_->setRange(0, 1000);
    bar_->setValue(progress.Total ? static_cast<int>(progress.Done * 1000 / progress.Total) : 1000);
    report_->setPlainText(FromMessage(PublishProgressText(progress)));
}

void TKSpublishDialog::Done(const QString& report, Outcome outcome) {
    Join();
    bar_->setRange(0, 1000);
    if (outcome == Outcome::Published) bar_->setValue(1000);
    report_->setPlainText(outcome == Outcome::Failed
                              ? Lookup("#1614.14=Publiceren is niet gelukt:") + QLatin1Char('\n') +
                                    report
                              : report);
    UpdateButtons();
    emit Finished();
}

void TKSpublishDialog::btnStoppenClick() {
    if (stop_requested_) *stop_requested_ = true;
    stop_->setEnabled(false);
}

// Closing while a publish runs stops it first; the window stays until it has.
void TKSpublishDialog::reject() {
    if (Busy()) {
        btnStoppenClick();
        return;
    }
    QDialog::reject();
}

void TKSpublishDialog::Join() {
    if (!worker_) return;
    if (worker_->joinable()) worker_->join();
    worker_.reset();
}

} // namespace ks::app
