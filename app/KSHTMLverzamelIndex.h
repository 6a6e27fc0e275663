// The wizard window of the program: five pages (explanation, documents,
// layout, settings, progress) on the wizard framework, the settings key in
// the per-user store, the run set-up the pages fill, and the state of a
// generation run (busy, stop request).
#pragma once

#include "app/KSwizardDLG.h"
#include "builder/run/KSbuilder.h"
#include "builder/run/KSrunSetup.h"

#include <cstdint>
#include <memory>
#include <string>

namespace ks {
class TKSreg;
}

namespace ks::app {

class TKSdocumentPage;
class TKSexplanationPage;
class TKSlayoutPage;
class TKSprogressPage;
class TKSsettingsPage;

class TwzrdHTMLverzamelIndex : public TWizardDlg {
    Q_OBJECT

public:
    enum PageNumber { kUitleg = 0, kDocumenten = 1, kStijl = 2, kInstellingen = 3, kVoortgang = 4 };

    explicit TwzrdHTMLverzamelIndex(QWidget* parent = nullptr);
    ~TwzrdHTMLverzamelIndex() override;

    // The per-language key of the environment + "HTMLwiz\", and the CONF
    // parameter's value + "\" when one is given: each named configuration
    // keeps its own settings.
    static std::string SettingsKey();

    bool verifyPage(int page) override;
    TKSdocumentPage* DocumentPage() const { return documentPage_; }
    TKSlayoutPage* LayoutPage() const { return layoutPage_; }
    TKSsettingsPage* SettingsPage() const { return settingsPage_; }
    TKSprogressPage* ProgressPage() const { return progressPage_; }

    // What the pages fill: documents, layout, options, output folder.
    TKSrunSetup& RunSetup() { return setup_; }
    const TKSrunSetup& RunSetup() const { return setup_; }

    // The latest request made by a button while a run is busy; the run's
    // builder hears of it too, so that the run stops before its next step.
    TKSstopRequest StopRequest = TKSstopRequest::None;
    bool Busy = false;
    int64_t SelectedSize() const;

    // Runs the generation with the pages' values, then carries out what a
    // button asked during the run.
    void BeginAanmaken();
    // Rebuilds the settings page for the layout selected now.
    void MaakInstellingenScherm();
    // Opens "Publiceren" for the output folder, at the destination this
    // configuration published to last.
    void btnPublicerenClick();

public slots:
    void btnCancelClick() override;
    void btnVorigeClick() override;
    void btnVolgendeClick() override;
    void btnFinishClick() override;
    void lstOpmaakClick();

protected:
    void FormShow() override;
    void FormClose() override;

private:
    void RequestStop(TKSstopRequest request);
    void RunGeneration();
    void FetchDocuments();
    // Shows what was wrong with the per-user store when it was read.
    void TellStoreWarnings();
    // Saves the per-user store, telling the user when that fails.
    void SaveSettings();

    TKSrunSetup setup_;
    TKSbuilder* runningBuilder_ = nullptr; // the builder of the run under way
    bool cancelAfterSearch_ = false;       // Annuleren came during a folder search
    TKSexplanationPage* explanationPage_ = nullptr;
    TKSdocumentPage* documentPage_ = nullptr;
    TKSlayoutPage* layoutPage_ = nullptr;
    TKSsettingsPage* settingsPage_ = nullptr;
    TKSprogressPage* progressPage_ = nullptr;
    std::unique_ptr<TKSreg> registry_; // the wizard's key, open while the window is shown
};

} // namespace ks::app
