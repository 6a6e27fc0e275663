#include "app/KSsettingsPage.h"

#include "app/KScontrolState.h"
#include "app/KSfolderBrowser.h"
#include "app/KSmnemonics.h"
#include "app/KSqtText.h"
#include "builder/KSindexType.h"
#include "builder/KSrunChecks.h"
#include "builder/KSrunSetup.h"
#include "common/KSlocal.h"
#include "common/KSpaths.h"
#include "index/KSksl.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace ks::app {

namespace {

constexpr const char* kDeletable = "deletable";
constexpr const char* kTag = "tag";

QLabel* MakeLabel(QWidget* parent, const char* name, const char* caption) {
    auto* label = new QLabel(QString::fromLatin1(caption), parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

QLineEdit* MakeEdit(QWidget* parent, const char* name, const char* keyword) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    app::SetHelpKeyword(edit, QString::fromLatin1(keyword));
    return edit;
}

// The note under a typed field, shown while the field holds letters the
// output cannot hold as typed.
QLabel* MakeNote(QWidget* parent, const char* name) {
    auto* note = MakeLabel(parent, name, "");
    note->setTextFormat(Qt::PlainText);
    note->setWordWrap(true);
    note->setStyleSheet(QStringLiteral("color: #8a5a00;"));
    note->setVisible(false);
    return note;
}

QCheckBox* MakeCheck(QWidget* parent, const char* name, const char* caption, const char* keyword) {
    auto* box = new QCheckBox(QString::fromLatin1(caption), parent);
    box->setObjectName(QString::fromLatin1(name));
    app::SetHelpKeyword(box, QString::fromLatin1(keyword));
    return box;
}

} // namespace

TKSsettingsPage::TKSsettingsPage(TKSrunSetup& setup, QWidget* parent)
    : TWizardPage(QStringLiteral("#html.p4=Instellingen"), parent), setup_(setup),
      ownBrowser_(std::make_unique<TKSfolderBrowser>(this)), browser_(ownBrowser_.get()) {
    setObjectName(QStringLiteral("tabInstellingen"));
    SetHelpContext(1531);
    BuildPage();
}

TKSsettingsPage::~TKSsettingsPage() = default;

void TKSsettingsPage::SetFolderBrowser(FolderBrowser* browser) {
    browser_ = browser ? browser : ownBrowser_.get();
}

QWidget* TKSsettingsPage::BuildFolderRow() {
    auto* rows = new QWidget(this);
    auto* form = new QFormLayout(rows);
    form->setContentsMargins(0, 0, 0, 0);
    lblOpslagMap_ = MakeLabel(rows, "lblOpslagMap", "");
    lblOpslagMap_->setAutoFillBackground(true);
    lblOpslagMap_->setStyleSheet(QStringLiteral("background-color: #fffbe6; padding: 2px;"));
    lblOpslagMap_->setTextFormat(Qt::PlainText);
    lblOpslagMap_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto* choose = new QPushButton(QStringLiteral("\u00B7\u00B7\u00B7"), rows);
    choose->setObjectName(QStringLiteral("btnKiesOpslagmap"));
    choose->setToolTip(QStringLiteral("#1531.hint"));
    choose->setFixedWidth(32);
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(lblOpslagMap_, 1);
    folderRow->addWidget(choose);
    // Each label is the buddy of its field, so that its accelerator reaches the field.
    QLabel* folderLabel = MakeLabel(rows, "lblOpslag", "#1531.text=Op&slagmap:");
    folderLabel->setBuddy(choose);
    form->addRow(folderLabel, folderRow);
    txtBasisnaam_ = MakeEdit(rows, "txtBasisnaam", "OutputFilename");
    QLabel* baseLabel = MakeLabel(rows, "lblBasisnaam", "#1532.text=&Bestandsnaam:");
    baseLabel->setBuddy(txtBasisnaam_);
    form->addRow(baseLabel, txtBasisnaam_);
    connect(choose, &QPushButton::clicked, this, &TKSsettingsPage::btnKiesOpslagmapClick);
    connect(txtBasisnaam_, &QLineEdit::textChanged, this, &TKSsettingsPage::txtBasisnaamChange);
    return rows;
}

void TKSsettingsPage::BuildIndexGroup() {
    grpIndex_ = new QGroupBox(QStringLiteral("#1530.text=Index-gegevens"), this);
    grpIndex_->setObjectName(QStringLiteral("grpIndex"));
    indexLayout_ = new QVBoxLayout(grpIndex_);
    indexLayout_->setSpacing(2);
    chkIndexMetJaartallen_ =
        MakeCheck(grpIndex_, "chkIndexMetJaartallen",
                  "#1534.text=&Jaartallen bij namen in de index vermelden?", "AddYears");
    chkDubbelZonderJaartallen_ =
        MakeCheck(grpIndex_, "chkDubbelZonderJaartallen",
                  "#1535.text=Jaartallen &negeren bij bepaling dubbelen?", "IdenticalWithoutYears");
    indexLayout_->addWidget(chkIndexMetJaartallen_);
    indexLayout_->addWidget(chkDubbelZonderJaartallen_);
    lblIndexType_ = MakeLabel(grpIndex_, "lblIndexType", "#1533.text=&Index indeling:");
    cboIndextype_ = new QComboBox(grpIndex_);
    cboIndextype_->setObjectName(QStringLiteral("cboIndextype"));
    app::SetHelpKeyword(cboIndextype_, QStringLiteral("IndexType"));
    lblIndexType_->setBuddy(cboIndextype_);
    auto* divisionRow = new QHBoxLayout;
    divisionRow->setContentsMargins(0, 8, 0, 0);
    divisionRow->addWidget(lblIndexType_);
    divisionRow->addWidget(cboIndextype_, 1);
    indexLayout_->addLayout(divisionRow);
    connect(chkIndexMetJaartallen_, &QCheckBox::toggled, this,
            &TKSsettingsPage::chkIndexMetJaartallenClick);
}

void TKSsettingsPage::BuildExtraGroup() {
    grpExtraGegevens_ = new QGroupBox(this);
    grpExtraGegevens_->setObjectName(QStringLiteral("grpExtraGegevens"));
    auto* form = new QFormLayout(grpExtraGegevens_);
    lblRapportTitel_ = MakeLabel(grpExtraGegevens_, "lblRapportTitel", "#1536.text=&Titel:");
    txtRapportTitel_ = MakeEdit(grpExtraGegevens_, "txtRapportTitel", "ReportTitle");
    lblHomepage_ = MakeLabel(grpExtraGegevens_, "lblHomepage", "#1537.text=&Homepage:");
    txtHomepage_ = MakeEdit(grpExtraGegevens_, "txtHomepage", "Homepage");
    lblEmail_ = MakeLabel(grpExtraGegevens_, "lblEmail", "#1538.text=&Email:");
    txtEmail_ = MakeEdit(grpExtraGegevens_, "txtEmail", "Email");
    lblRapportTitel_->setBuddy(txtRapportTitel_);
    lblHomepage_->setBuddy(txtHomepage_);
    lblEmail_->setBuddy(txtEmail_);
    form->addRow(lblRapportTitel_, txtRapportTitel_);
    form->addRow(nullptr, notes_[0] = MakeNote(grpExtraGegevens_, "lblRapportTitelNoot"));
    form->addRow(lblHomepage_, txtHomepage_);
    form->addRow(nullptr, notes_[1] = MakeNote(grpExtraGegevens_, "lblHomepageNoot"));
    form->addRow(lblEmail_, txtEmail_);
    form->addRow(nullptr, notes_[2] = MakeNote(grpExtraGegevens_, "lblEmailNoot"));
    for (QLineEdit* edit : {txtRapportTitel_, txtHomepage_, txtEmail_})
        connect(edit, &QLineEdit::textChanged, this, &TKSsettingsPage::ShowTypedTextNotes);
}

void TKSsettingsPage::ShowTypedTextNotes() {
    const QLineEdit* edits[3] = {txtRapportTitel_, txtHomepage_, txtEmail_};
    for (int k = 0; k < 3; ++k) {
        bool replaced = false;
        const std::string kept = ToKS(edits[k]->text(), &replaced);
        const bool show = replaced && !edits[k]->isHidden();
        if (show)
            notes_[k]->setText(FromKS(LocalText(
                "#1570.1=niet elke letter past in de tekenset; geschreven als: %1", {kept})));
        notes_[k]->setVisible(show);
    }
}

void TKSsettingsPage::BuildPage() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(BuildFolderRow());
    BuildIndexGroup();
    layout->addWidget(grpIndex_);
    BuildExtraGroup();
    layout->addWidget(grpExtraGegevens_);
    layout->addStretch(1);
}

void TKSsettingsPage::RemoveSplitBoxes() {
    for (QCheckBox* box : grpIndex_->findChildren<QCheckBox*>())
        if (box->objectName().startsWith(QLatin1String(kDeletable))) delete box;
}

void TKSsettingsPage::MaakInstellingenScherm(const TKSkslData* layout, int64_t selectedSize,
                                             const std::string& stateKey) {
    RemoveSplitBoxes();
    std::unique_ptr<TKSkslData> copy;
    if (layout) {
        copy = std::make_unique<TKSkslData>();
        if (!copy->Load(layout->LayoutFile)) copy.reset();
    }
    setup_.SetLayout(std::move(copy));
    const TKSkslData* own = setup_.Layout();
    int place = indexLayout_->indexOf(chkDubbelZonderJaartallen_) + 1;
    for (int n = 1; own && n <= own->ItemCount(); ++n) {
        const TKSkslFile& entry = *own->Item(n);
        if (!entry.Numbered) continue;
        // The caption's own "&" is shown as written; the box's accelerator is
        // a letter of the caption that no other control of the page has.
        const QString before = Lookup("#1539.1=Scherm \"");
        const QString caption =
            before + PlainCaption(FromKS(entry.Caption)) + Lookup("#1539.2=\" splitsen");
        auto* box = new QCheckBox(grpIndex_);
        box->setText(WithFreeMnemonic(caption, UsedMnemonics(this), before.size()));
        box->setObjectName(QStringLiteral("deletable_") + QString::number(n));
        box->setToolTip(Lookup("#1539.hint"));
        box->setProperty(kTag, n);
        app::SetHelpKeyword(box, QStringLiteral("Split-") + FromKS(entry.Name));
        if (!stateKey.empty())
            LoadControl(box, stateKey, kStateByHelpKeyword, "-1");
        else
            box->setChecked(true);
        indexLayout_->insertWidget(place++, box);
        connect(box, &QCheckBox::toggled, this, [this, box] { chkSplitClick(box); });
        chkSplitClick(box);
    }
    FillDivisionList(selectedSize);
    chkSplitClick(nullptr); // without an output that is split there is no division
    ShowExtraData();
}

// Each entry holds its division's number; a division chosen before is kept
// while it is offered, else the largest offered division into parts is.
void TKSsettingsPage::FillDivisionList(int64_t selectedSize) {
    const QVariant remembered = cboIndextype_->currentData();
    cboIndextype_->clear();
    const TKSkslData* layout = setup_.Layout();
    const bool asked = layout && layout->AsksFor("INDEXTYPE");
    int largestInParts = 0;
    for (const TKSdivisionOffer& offer : OfferedDivisions(selectedSize, asked)) {
        if (InParts(offer.Type)) largestInParts = cboIndextype_->count();
        cboIndextype_->addItem(FromKS(offer.Caption), IndexTypeNumber(offer.Type));
    }
    lblIndexType_->setVisible(asked);
    cboIndextype_->setVisible(asked);
    const int again = remembered.isValid() ? cboIndextype_->findData(remembered) : 0;
    cboIndextype_->setCurrentIndex(!asked ? 0 : again >= 0 ? again : largestInParts);
}

void TKSsettingsPage::ShowExtraData() {
    const TKSkslData* layout = setup_.Layout();
    bool any = false;
    const auto show = [&](const char* word, QLabel* label, QLineEdit* edit) {
        const bool asked = layout && layout->AsksFor(word);
        label->setVisible(asked);
        edit->setVisible(asked);
        any = any || asked;
    };
    show("TITLE", lblRapportTitel_, txtRapportTitel_);
    show("HOMEPAGE", lblHomepage_, txtHomepage_);
    show("EMAIL", lblEmail_, txtEmail_);
    grpExtraGegevens_->setVisible(any);
    ShowTypedTextNotes();
}

// box nullptr: only the division list's state is recomputed.
void TKSsettingsPage::chkSplitClick(QCheckBox* box) {
    TKSkslData* layout = setup_.Layout();
    if (box && layout) {
        if (TKSkslFile* entry = layout->Item(box->property(kTag).toInt()))
            entry->SetSplit(entry->Numbered && box->isChecked());
    }
    bool anySplit = false;
    for (int n = 1; layout && n <= layout->ItemCount(); ++n)
        anySplit = anySplit || (layout->Item(n)->Numbered && layout->Item(n)->Split);
    lblIndexType_->setEnabled(anySplit);
    cboIndextype_->setEnabled(anySplit);
    if (!anySplit) cboIndextype_->setCurrentIndex(0);
}

void TKSsettingsPage::chkIndexMetJaartallenClick() {
    const bool allowed = MayIgnoreYears(chkIndexMetJaartallen_->isChecked());
    if (!allowed) chkDubbelZonderJaartallen_->setChecked(false);
    chkDubbelZonderJaartallen_->setEnabled(allowed);
}

void TKSsettingsPage::txtBasisnaamChange() {
    const bool before = wasComplete_;
    if (verifyPage() != before) emit PageChanged();
}

void TKSsettingsPage::btnKiesOpslagmapClick() {
    std::string folder = setup_.OutputFolder;
    if (!browser_->BrowseForFolder(ToKS(Lookup("#1531.1=kies een map")), "", folder, true)) return;
    setup_.OutputFolder = folder;
    ShowOutputFolder();
    emit PageChanged();
}

void TKSsettingsPage::SetDefaultBaseName() {
    if (txtBasisnaam_->text().isEmpty())
        txtBasisnaam_->setText(QString::fromLatin1(kDefaultBaseName));
}

void TKSsettingsPage::ShowOutputFolder() {
    lblOpslagMap_->setText(FromPath(setup_.OutputFolder));
}

bool TKSsettingsPage::verifyPage() const {
    const std::string base = ToPath(txtBasisnaam_->text());
    const bool complete = !base.empty() && CheckBaseName(base).empty() &&
                          !setup_.OutputFolder.empty() && IsFolder(setup_.OutputFolder);
    wasComplete_ = complete;
    return complete;
}

void TKSsettingsPage::ApplyTo(TKSrunSetup& setup) const {
    setup.BaseName = ToPath(txtBasisnaam_->text());
    const TKSindexType chosen = IndexTypeFromNumber(cboIndextype_->currentData().toInt());
    setup.IndexType = cboIndextype_->isEnabled() && chosen != TKSindexType::FirstLetter
                          ? chosen
                          : TKSindexType::NotChosen;
    setup.IndexWithYears = chkIndexMetJaartallen_->isChecked();
    setup.DuplicatesIgnoreYears = chkDubbelZonderJaartallen_->isChecked();
    setup.Title = ToKS(txtRapportTitel_->text());
    setup.Homepage = ToKS(txtHomepage_->text());
    setup.Email = ToKS(txtEmail_->text());
}

} // namespace ks::app
