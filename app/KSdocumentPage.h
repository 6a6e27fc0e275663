// The page "Documenten kiezen": the list of index documents from which the
// combined index is built. The user fills it by searching a folder tree,
// or adds one through a file chooser, ticks the documents to combine, orders
// them (also with Ctrl+Up/Down), retitles one, opens one's HTML output or
// removes the selected lines. The description panel shows the current line,
// and the field below the list the web address its tree is published at. The list with its
// ticks, order and selection is kept in the per-user store between runs. The rows of the list show
// the run set-up's document list, which owns the documents: every change to the rows is made to
// that list as well.
#pragma once

#include "app/KSwizardPage.h"

#include <QElapsedTimer>
#include <QUrl>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace ks {
class FolderBrowser;
class TKSdocumentList;
class TKShtxData;
} // namespace ks

namespace ks::app {

enum class ListIcon;

class TKSdocumentPage : public TWizardPage {
    Q_OBJECT

public:
    // The help keyword of the list; the stored list is the subkey of the
    // wizard's key named after it with "_items".
    static constexpr const char* kListKeyword = "SelectedHTXfile";
    static std::string ListKeyName() { return std::string(kListKeyword) + "_items"; }

    explicit TKSdocumentPage(TKSdocumentList& documents, QWidget* parent = nullptr);
    ~TKSdocumentPage() override;

    // Restores the stored list below the wizard's key stateKey (ending with "\").
    void InitHTXbestanden(const std::string& stateKey);
    // Replaces the stored list by the list as it is now.
    void OpslaanHTXbestanden();
    // Removes every line and frees its document.
    void FreeDocuments();

    // Adds the index document at path as a new ticked, selected line; false
    // when it is no index document or is listed already (that line is selected).
    bool AddHTXfile(const std::string& path);
    // Adds the document chosen in the file chooser as AddHTXfile does, and
    // tells the user why a file is refused; true when a line was added.
    bool AddChosenDocument(const std::string& path);
    // Where the file chooser opens: the folder of the current line's
    // document, else the user's home folder.
    std::string DocumentChooserFolder() const;
    // Adds the index documents of folder and of its subfolders, depth first.
    // The window stays responsive meanwhile: the label shows how many were
    // found and Stoppen (or Esc) ends the search, keeping those added so far.
    void SearchFolder(const std::string& folder);
    // Asks whether to import the name lists found, and for each its start
    // page and living age (and the link pattern of a GEDCOM file); imports
    // each beside itself, shows what each import did, and adds its index
    // document as a ticked line. Refusals are shown with their reasons
    // afterwards. Returns the number imported.
    int ImportNameLists(const std::vector<std::string>& paths);
    // True while SearchFolder runs; the page is then incomplete.
    bool Searching() const { return searching_; }
    // Ends a search under way after the file in hand.
    void StopSearch();
    // How often a search lets the window handle its events (30 ms unless set).
    void SetSearchBreathInterval(int milliseconds) { breathMs_ = milliseconds; }
    // Shows the counts; returns the number of ticked documents.
    int RefreshHTXcount();
    // Enables the list buttons; complete with at least one ticked document.
    bool verifyPage();
    // Removes the selected lines (the document files are not touched).
    void WisHuidigeHTX();
    // Shows the selected document's HTML output with the desktop's viewer.
    void OpenDocumentHTML();

    // The documents in list order with their ticks.
    const TKSdocumentList& Documents() const { return documents_; }
    // The sum of the file sizes of the ticked documents.
    int64_t SelectedSize() const { return selectedSize_; }

    // The folder chooser of btnDirSearch (the Qt dialog unless replaced).
    void SetFolderBrowser(FolderBrowser* browser);
    // How an HTML file is opened (the desktop's default action unless replaced).
    void SetUrlOpener(std::function<bool(const QUrl&)> opener);

signals:
    // Something the page's verdict depends on changed: recompute the buttons.
    void PageChanged();
    // A folder was searched for documents.
    void FolderSearched(const std::string& folder);
    // A search under way has found this many index documents so far.
    void SearchProgress(int found);
    // A search has ended (completed or stopped).
    void SearchEnded();

public slots:
    void HTXbestandenClick();
    void HTXbestandenClickCheck();
    void HTXbestandenDblClick();
    void btnDirSearchClick();
    void btnAddHTXfileClick();
    void btnAdresToevoegenClick();
    void btnTitelWijzigenClick();
    void btnOpenHTMLfileClick();
    void btnWisHTMLfileClick();
    void btnMoveUpClick();
    void btnMoveDownClick();
    // The web address as typed goes to the selected line's document.
    void txtWebadresEdit(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildPage();
    // keys: a localised literal of the button's key sequence ("Alt+B").
    QPushButton* MakeListButton(const char* name, ListIcon icon, const char* hint,
                                const char* keys);
    TKShtxData& DataAt(int row) const;
    // The current row when it is selected, or -1.
    int SelectedRow() const;
    // Makes row the current and only selected row.
    void SelectOnly(int row);
    // Adds path and shows its row as the only selected one; -1 when it is no
    // index document (reason, when given, receives why).
    int AddDocumentRow(const std::string& path, std::string* reason);
    int TickedCount() const;
    // Rows for the documents added since the last row, in one go: the list
    // is laid out once, not once per row.
    void ShowNewRows();
    // During a search: the count, and the window's events now and then.
    void SearchBreathe(int found);
    void SetSearchControls(bool searching);
    void MoveSelected(int step);
    // Lists the index document an import wrote, or reads it again when it
    // was listed already; its row.
    int ShowImported(const std::string& document);
    std::string ListKey() const;

    QListWidget* HTXbestanden_ = nullptr;
    QPushButton* btnOpenHTMLfile_ = nullptr;
    QPushButton* btnWisHTMLfile_ = nullptr;
    QPushButton* btnMoveUp_ = nullptr;
    QPushButton* btnMoveDown_ = nullptr;
    QPushButton* btnDirSearch_ = nullptr;
    QPushButton* btnAddHTXfile_ = nullptr;
    QPushButton* btnAdresToevoegen_ = nullptr;
    QPushButton* btnTitelWijzigen_ = nullptr;
    QPushButton* btnStopZoeken_ = nullptr;
    QLabel* lblAantal_ = nullptr;
    QGroupBox* grpOmschrijving_ = nullptr;
    QLabel* lblOmschrijving_ = nullptr;
    QLineEdit* txtWebadres_ = nullptr;

    TKSdocumentList& documents_;
    std::string stateKey_;
    int64_t selectedSize_ = 0;
    std::unique_ptr<FolderBrowser> ownBrowser_;
    FolderBrowser* browser_ = nullptr;
    std::function<bool(const QUrl&)> opener_;
    std::vector<std::string> nameLists_;
    bool searching_ = false;
    bool stopRequested_ = false;
    int breathMs_ = 30;
    QElapsedTimer lastBreath_;
};

} // namespace ks::app
