// The page "Instellingen": output folder and base name, the index options
// (years, a split check box per output of the layout that can be split, the
// index division) and the extra data the layout asks for. It is rebuilt from
// the selected layout (MaakInstellingenScherm); its values go into the run
// set-up, which keeps the split choices in its copy of the layout.
#pragma once

#include "app/KSwizardPage.h"
#include "builder/run/KSpageEstimate.h"

#include <cstdint>
#include <memory>
#include <string>

class QCheckBox;
class QComboBox;
class QFormLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

namespace ks {
class FolderBrowser;
class TKSkslData;
class TKSrunSetup;
} // namespace ks

namespace ks::app {

class TKSsettingsPage : public TWizardPage {
    Q_OBJECT

public:
    static constexpr const char* kDefaultBaseName = "KESTRIN-Index";

    TKSsettingsPage(TKSrunSetup& setup, QWidget* parent = nullptr);
    ~TKSsettingsPage() override;

    // Rebuilds the page for layout (nullptr: none): the run set-up gets its
    // own copy of it, one split check box per output that can be split
    // (restored from stateKey, split by default), the division list for
    // selectedSize bytes of ticked documents, the extra-data boxes asked for.
    void MaakInstellingenScherm(const TKSkslData* layout, int64_t selectedSize,
                                const std::string& stateKey);
    // Complete with a plain base name and an existing output folder.
    bool verifyPage() const;
    // The page's values into the run set-up.
    void ApplyTo(TKSrunSetup& setup) const;
    // "KESTRIN-Index" when the base name is empty.
    void SetDefaultBaseName();
    // The output folder shown (after it changed in the run set-up).
    void ShowOutputFolder();
    // The group whose values are saved when Vorige leaves the page.
    QGroupBox* IndexGroup() const { return grpIndex_; }

    // The folder chooser of btnKiesOpslagmap (the Qt dialog unless replaced).
    void SetFolderBrowser(FolderBrowser* browser);

signals:
    void PageChanged();

public slots:
    void chkSplitClick(QCheckBox* box);
    void chkIndexMetJaartallenClick();
    void txtBasisnaamChange();
    void btnKiesOpslagmapClick();
    // A folder typed or pasted: the run set-up takes it, a note says when it
    // does not exist.
    void txtOpslagMapEdit(const QString& text);
    // Under each typed field, how it will be written when not every letter fits.
    void ShowTypedTextNotes();

private:
    void BuildPage();
    QWidget* BuildFolderRow();
    void BuildIndexGroup();
    void BuildExtraGroup();
    void BuildExportRow(QFormLayout* form);
    // Under the site's address, what is wrong with it.
    void ShowSiteAddressNote();
    void RemoveSplitBoxes();
    void FillDivisionList(int64_t selectedSize);
    void ShowExtraData();
    void ShowFolderNote();
    // The estimated largest page for the division shown, beside the list.
    void ShowLargestPage();
    int64_t SelectedIndexLines();

    TKSrunSetup& setup_;
    QLineEdit* txtOpslagMap_ = nullptr;
    QLabel* lblOpslagMapNoot_ = nullptr;
    QLabel* lblJaartallenNoot_ = nullptr;
    QLabel* lblPaginaGrootte_ = nullptr;
    QLineEdit* txtBasisnaam_ = nullptr;
    QGroupBox* grpIndex_ = nullptr;
    QVBoxLayout* indexLayout_ = nullptr;
    QCheckBox* chkIndexMetJaartallen_ = nullptr;
    QCheckBox* chkDubbelZonderJaartallen_ = nullptr;
    QLabel* lblIndexType_ = nullptr;
    QComboBox* cboIndextype_ = nullptr;
    QGroupBox* grpExtraGegevens_ = nullptr;
    QLabel* lblRapportTitel_ = nullptr;
    QLineEdit* txtRapportTitel_ = nullptr;
    QLabel* lblHomepage_ = nullptr;
    QLineEdit* txtHomepage_ = nullptr;
    QLabel* lblEmail_ = nullptr;
    QLineEdit* txtEmail_ = nullptr;
    QLabel* notes_[3] = {};          // under title, home page, e-mail
    QGroupBox* grpExport_ = nullptr; // what the site offers name networks and search engines
    QLineEdit* txtSiteAdres_ = nullptr;
    QLabel* lblSiteAdresNoot_ = nullptr;
    QCheckBox* chkGendex_ = nullptr;
    mutable bool wasComplete_ = false; // the verdict last given
    bool userDivision_ = false;        // picked here or stored by an earlier session
    TKSindexLineCounts lineCounts_;
    std::unique_ptr<FolderBrowser> ownBrowser_;
    FolderBrowser* browser_ = nullptr;
};

} // namespace ks::app
