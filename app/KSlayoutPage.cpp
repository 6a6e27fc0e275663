#include "app/KSlayoutPage.h"

#include "app/KScontrolState.h"
#include "app/KSqtText.h"
#include "common/KScommon.h"
#include "index/KSlayoutList.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace ks::app {

TKSlayoutPage::TKSlayoutPage(QWidget* parent)
    : TWizardPage(QStringLiteral("#html.p3=Stijl kiezen"), parent) {
    setObjectName(QStringLiteral("tabStijl"));
    SetHelpContext(1521);
    lstOpmaak_ = new QListWidget(this);
    lstOpmaak_->setObjectName(QStringLiteral("lstOpmaak"));
    app::SetHelpKeyword(lstOpmaak_, QStringLiteral("Layout"));
    lstOpmaak_->setToolTip(QStringLiteral("#1574.14=Hoe de verzamelindex er voor bezoekers "
                                          "uitziet; de afbeelding toont een voorbeeld"));
    lstOpmaak_->setSelectionMode(QAbstractItemView::SingleSelection);
    grpBeschrijving_ = new QGroupBox(this);
    grpBeschrijving_->setObjectName(QStringLiteral("grpBeschrijving"));
    lblBeschrijving_ = new QLabel(grpBeschrijving_);
    lblBeschrijving_->setObjectName(QStringLiteral("lblBeschrijving"));
    lblBeschrijving_->setTextFormat(Qt::PlainText);
    lblBeschrijving_->setWordWrap(true);
    lblBeschrijving_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* groupLayout = new QVBoxLayout(grpBeschrijving_);
    groupLayout->addWidget(lblBeschrijving_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(lstOpmaak_, 3);
    layout->addWidget(grpBeschrijving_, 2);
    connect(lstOpmaak_, &QListWidget::currentRowChanged, this, [this] { emit LayoutClicked(); });
}

TKSlayoutPage::~TKSlayoutPage() = default;

void TKSlayoutPage::VulOpmaakLijst(const std::string& folder) {
    const TKScommon* env = CurrentEnvironment();
    const bool log = env && env->DebugSwitches.IsSet(0);
    if (log) {
        env->WriteLog("Pad = " + folder);
        env->WriteLog("Fmask = " + folder + "*.ksl");
    }
    {
        const QSignalBlocker quiet(lstOpmaak_);
        lstOpmaak_->clear();
        layouts_ = LoadLayouts(folder);
        for (const auto& layout : layouts_) {
            if (log) env->WriteLog("File = " + layout->LayoutFile);
            lstOpmaak_->addItem(FromKS(layout->Title));
        }
        if (!layouts_.empty()) lstOpmaak_->setCurrentRow(0);
    }
    if (log) env->WriteLog(std::to_string(layouts_.size()) + " files in Layout-list");
}

const TKSkslData* TKSlayoutPage::SelectedLayout() const {
    const int row = lstOpmaak_->currentRow();
    if (row < 0 || row >= static_cast<int>(layouts_.size())) return nullptr;
    return layouts_[static_cast<std::size_t>(row)].get();
}

void TKSlayoutPage::ShowDescription() {
    const TKSkslData* layout = SelectedLayout();
    QString comment = layout ? FromKS(layout->Comment) : QString();
    // The comment's lines are one text that the label wraps to its width.
    comment.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    lblBeschrijving_->setText(comment.simplified());
}

} // namespace ks::app
