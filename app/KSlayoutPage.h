// The page "Stijl kiezen": the layouts of the language folder by title, and
// the description of the one selected. The page keeps the loaded layouts for
// their titles, comments and pictures; the run gets its own copy of the
// selected one (the settings page stores the split choices in it).
#pragma once

#include "app/KSwizardPage.h"

#include <memory>
#include <string>
#include <vector>

class QGroupBox;
class QLabel;
class QListWidget;

namespace ks {
class TKSkslData;
}

namespace ks::app {

class TKSlayoutPage : public TWizardPage {
    Q_OBJECT

public:
    explicit TKSlayoutPage(QWidget* parent = nullptr);
    ~TKSlayoutPage() override;

    // Fills the list from the "*.ksl" files of folder (ending with "/") that
    // are layouts, by title, and selects the first line.
    void VulOpmaakLijst(const std::string& folder);
    // The selected layout, or nullptr.
    const TKSkslData* SelectedLayout() const;
    // Shows the selected layout's comment.
    void ShowDescription();
    // Complete when a layout is selected.
    bool verifyPage() const { return SelectedLayout() != nullptr; }

    QListWidget* List() const { return lstOpmaak_; }

signals:
    // Another layout was selected.
    void LayoutClicked();

private:
    QListWidget* lstOpmaak_ = nullptr;
    QGroupBox* grpBeschrijving_ = nullptr;
    QLabel* lblBeschrijving_ = nullptr;
    std::vector<std::unique_ptr<TKSkslData>> layouts_; // in list order
};

} // namespace ks::app
