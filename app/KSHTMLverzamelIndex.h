// The wizard window of the program: five pages (explanation, documents,
// layout, settings, progress) on the wizard framework, the settings key in
// the per-user store, and the state of a generation run (busy, stop request).
#pragma once

#include "app/KSwizardDLG.h"

#include <cstdint>
#include <memory>
#include <string>

namespace ks {
class TKSreg;
}

namespace ks::app {

class TKSdocumentPage;

class TwzrdHTMLverzamelIndex : public TWizardDlg {
    Q_OBJECT

public:
    enum PageNumber { kUitleg = 0, kDocumenten = 1, kStijl = 2, kInstellingen = 3, kVoortgang = 4 };
    // Requests made by the buttons while a run is busy.
    enum StopRequests { kStopNone = 0, kStopCancel = 1, kStopBack = 2, kStopFinish = 4 };

    explicit TwzrdHTMLverzamelIndex(QWidget* parent = nullptr);
    ~TwzrdHTMLverzamelIndex() override;

    // The per-language key of the environment + "HTMLwiz\", and the CONF
    // parameter's value + "\" when one is given: each named configuration
    // keeps its own settings.
    static std::string SettingsKey();

    bool verifyPage(int page) override;
    TKSdocumentPage* DocumentPage() const { return documentPage_; }

    int32_t StopRequest = kStopNone;
    bool Busy = false;
    // The output folder (the settings page shows and changes it).
    std::string OutputFolder;
    int64_t SelectedSize() const;

public slots:
    void btnCancelClick() override;
    void btnVorigeClick() override;
    void btnFinishClick() override;

protected:
    void FormShow() override;
    void FormClose() override;

private:
    void AddEmptyPage(const char* caption, bool highlighted, int helpContext);

    TKSdocumentPage* documentPage_ = nullptr;
    std::unique_ptr<TKSreg> registry_; // the wizard's key, open while the window is shown
};

} // namespace ks::app
