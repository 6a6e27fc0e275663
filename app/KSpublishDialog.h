// "Publiceren": the output folder of the last run copied to the web server or
// another folder, only what changed since the last publish to the same
// destination. The publish runs beside the window, which shows its progress,
// can stop it (the next publish goes on where it stopped) and tells what was
// sent, removed and left standing, or why it failed.
#pragma once

#include "publish/KSpublish.h"

#include <QDialog>

#include <atomic>
#include <memory>
#include <string>
#include <thread>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace ks {
class FolderBrowser;
}

namespace ks::app {

class TKSpublishDialog : public QDialog {
    Q_OBJECT
public:
    // outputFolder: the site to publish (a path); destination: the one used
    // last time for this configuration, shown to start with.
    TKSpublishDialog(QWidget* parent, const std::string& outputFolder, const QString& destination);
    ~TKSpublishDialog() override;

    QString Destination() const;
    bool Busy() const { return worker_ != nullptr; }
    // The lines shown below the bar: progress, the result or the failure.
    QString Report() const;
    void SetFolderBrowser(FolderBrowser* browser);

    // Starts the publish to the destination typed; the result comes when the
    // publish ends (Finished).
    void btnPublicerenClick();
    void btnStoppenClick();
    void btnBladerenClick();

signals:
    // A publish started to this destination (worth remembering).
    void Started(const QString& destination);
    void Finished();

protected:
    void reject() override;

private:
    enum class Outcome { Published, Stopped, Failed };
    void Progress(const TKSpublishProgress& progress);
    void Done(const QString& report, Outcome outcome);
    void Join();
    void UpdateButtons();

    std::string outputFolder_;
    QLineEdit* destination_ = nullptr;
    QCheckBox* dryRun_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QPlainTextEdit* report_ = nullptr;
    QPushButton* publish_ = nullptr;
    QPushButton* stop_ = nullptr;
    QPushButton* browse_ = nullptr;
    QPushButton* close_ = nullptr;
    std::unique_ptr<FolderBrowser> ownBrowser_;
    FolderBrowser* browser_ = nullptr;
    std::unique_ptr<std::thread> worker_;
    std::shared_ptr<std::atomic<bool>> stop_requested_;
};

} // namespace ks::app
