// The page "Voortgang": the rows a generation run shows (merging, duplicates,
// then one per layout entry), the result button and "resultaat automatisch
// openen". It is the run's progress display: rows are made as the run
// reports its steps, and pending events are processed at most every 30 ms
// so that the buttons react without slowing the run.
#pragma once

#include "app/KSwizardPage.h"
#include "builder/combine/KSmerge.h"
#include "builder/run/KSrunProgress.h"
#include "builder/run/KSrunSummary.h"

#include <QElapsedTimer>
#include <QUrl>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace ks::app {

class TKSuprightScrollArea;

class TKSprogressPage : public TWizardPage, public TKSrunProgress {
    Q_OBJECT

public:
    explicit TKSprogressPage(QWidget* parent = nullptr);
    ~TKSprogressPage() override;

    TKSprogressBar& AddRow(int step, const std::string& caption) override;
    void MissingFile(int step, const std::string& text, const std::string& path) override;
    void StepFailed(int step, const std::string& message) override;
    void StepDuration(int step, const std::string& elapsed) override;
    void Result(const std::string& path, bool mayOpen) override;
    void Breathe() override;

    // A row that says why the run could not start or failed (a core text).
    void ShowProblem(const std::string& path, const std::string& reason);
    // The warnings of a run, one line each, in a list below the rows; the
    // list is shown only when there are any.
    void ShowWarnings(const std::vector<TKSrunWarning>& warnings);
    // The lines of that list, as shown.
    QStringList Warnings() const;
    // What the run says about itself when it ends, below the rows; hidden
    // when there are no lines.
    void ShowSummary(const std::vector<TKSsummaryLine>& lines);
    // Those lines, as shown.
    QStringList Summary() const;
    // "Startpagina: " and the start page's path, as beside the result button
    // (shortened there to fit); "" before a complete run.
    QString StartPageText() const;
    // Removes the rows the run made and hides the two fixed rows; the result
    // button is disabled and the warnings go.
    void WisVoortgang();
    // The result file (the button's hint) and whether it may be opened.
    QString ResultPath() const;
    bool ResultEnabled() const;
    bool OpenAutomatically() const;
    // Opens the result file with the desktop's viewer.
    void btnResultaatOpenenClick();
    // How the result is opened (the desktop's default action unless replaced).
    void SetUrlOpener(std::function<bool(const QUrl&)> opener);
    // "Publiceren...", possible after a complete run.
    bool PublishEnabled() const;

signals:
    void PublishClicked();

private:
    class WidgetBar;

    QLabel* RowLabel(const QString& caption);
    void PlaceRow(QLabel* label, QWidget* right);
    void ShowEnd();
    TKSprogressBar& FixedRow(int index);
    void AddProblemRow(const QString& where, const QString& text);
    void ShowStartPage();
    void resizeEvent(QResizeEvent* event) override;

    TKSuprightScrollArea* ScrollBoxVoortgang_ = nullptr;
    QGridLayout* rows_ = nullptr;
    QLabel* fixedLabels_[2] = {nullptr, nullptr};
    QProgressBar* fixedBarWidgets_[2] = {nullptr, nullptr};
    std::unique_ptr<WidgetBar> fixedBars_[2];
    int nextRow_ = 0;                                 // the grid's row of the next row made
    std::vector<std::unique_ptr<WidgetBar>> runBars_; // the bars of the entries' rows
    std::map<int, QLabel*> stepLabels_;
    std::map<int, QWidget*> stepRight_;
    QGroupBox* grpWaarschuwingen_ = nullptr;
    QListWidget* lstWaarschuwingen_ = nullptr;
    QLabel* lblSamenvatting_ = nullptr;
    QLabel* lblStartpagina_ = nullptr;
    QString startPage_; // the path; the label shows its end as far as it fits
    QCheckBox* chkOpenen_ = nullptr;
    QPushButton* btnResultaatOpenen_ = nullptr;
    QPushButton* btnPubliceren_ = nullptr;
    QElapsedTimer lastBreath_;
    std::function<bool(const QUrl&)> opener_;
};

} // namespace ks::app
