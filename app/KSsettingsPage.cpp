#include "app/KSsettingsPage.h"

#include "app/KScontrolState.h"
#include "app/KSfolderBrowser.h"
#include "app/KSmnemonics.h"
#include "app/KSqtText.h"
#include "builder/entries/KSindexType.h"
#include "builder/run/KSrunChecks.h"
#include "builder/run/KSrunSetup.h"
#include "builder/writers/KSsiteExport.h"
#include "common/KSini.h"
#include "common/KSlocal.h"
#include "common/KSpaths.h"
#include "index/KShtxData.h"
#include "index/KSksl.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

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
    // No help keyword: the folder is stored on its own, not as a control value.
    txtOpslagMap_ = new QLineEdit(rows);
    txtOpslagMap_->setObjectName(QStringLiteral("txtOpslagMap"));
    txtOpslagMap_->setToolTip(QStringLiteral(
        "#1574.1=De map waarin de verzamelindex komt; typ of plak een map, of kies er een met de "
        "knop"));
    txtOpslagMap_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    lblOpslagMapNoot_ = MakeNote(rows, "lblOpslagMapNoot");
    auto* choose = new QPushButton(QStringLiteral("\u00B7\u00B7\u00B7"), rows);
    choose->setObjectName(QStringLiteral("btnKiesOpslagmap"));
    choose->setToolTip(QStringLiteral("#1531.hint"));
    choose->setFixedWidth(32);
    // The label's keys reach the typed folder; the chooser has keys of its own.
    choose->setShortcut(QKeySequence(Lookup("#1573.5=Alt+K")));
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(txtOpslagMap_, 1);
    folderRow->addWidget(choose);
    // Each label is the buddy of its field, so that its accelerator reaches the field.
    QLabel* folderLabel = MakeLabel(rows, "lblOpslag", "#1531.text=Op&slagmap:");
    folderLabel->setBuddy(txtOpslagMap_);
    form->addRow(folderLabel, folderRow);
    form->addRow(nullptr, lblOpslagMapNoot_);
    txtBasisnaam_ = MakeEdit(rows, "txtBasisnaam", "OutputFilename");
    txtBasisnaam_->setToolTip(QStringLiteral(
        "#1574.3=Het begin van de naam van elk bestand van de index, zoals KESTRIN-Index.htm"));
    QLabel* baseLabel = MakeLabel(rows, "lblBasisnaam", "#1532.text=&Bestandsnaam:");
    baseLabel->setBuddy(txtBasisnaam_);
    form->addRow(baseLabel, txtBasisnaam_);
    connect(choose, &QPushButton::clicked, this, &TKSsettingsPage::btnKiesOpslagmapClick);
    connect(txtBasisnaam_, &QLineEdit::textChanged, this, &TKSsettingsPage::txtBasisnaamChange);
    connect(txtOpslagMap_, &QLineEdit::textEdited, this, &TKSsettingsPage::txtOpslagMapEdit);
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
    // Ticked on a first start, so that persons of one name tell apart; a
    // stored choice replaces it when the settings are read.
    chkIndexMetJaartallen_->setChecked(true);
    chkIndexMetJaartallen_->setToolTip(
        QStringLiteral("#1574.4=Bezoekers zien bij elke naam de jaartallen, zodat ze personen met "
                       "dezelfde naam uit elkaar houden"));
    lblJaartallenNoot_ = MakeNote(grpIndex_, "lblJaartallenNoot");
    // Right below the box it explains, in line with the box's caption.
    const int indent = style()->pixelMetric(QStyle::PM_IndicatorWidth) +
                       style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing);
    lblJaartallenNoot_->setContentsMargins(indent, 0, 0, 0);
    indexLayout_->addWidget(chkIndexMetJaartallen_);
    indexLayout_->addWidget(chkDubbelZonderJaartallen_);
    indexLayout_->addWidget(lblJaartallenNoot_);
    lblIndexType_ = MakeLabel(grpIndex_, "lblIndexType", "#1533.text=&Index indeling:");
    cboIndextype_ = new QComboBox(grpIndex_);
    cboIndextype_->setObjectName(QStringLiteral("cboIndextype"));
    app::SetHelpKeyword(cboIndextype_, QStringLiteral("IndexType"));
    lblIndexType_->setBuddy(cboIndextype_);
    cboIndextype_->setToolTip(
        QStringLiteral("#1574.8=Hoe de namen over de indexpagina's verdeeld worden: kleinere "
                       "pagina's laden sneller, vooral op een telefoon"));
    lblPaginaGrootte_ = MakeNote(grpIndex_, "lblPaginaGrootte");
    auto* divisionRow = new QHBoxLayout;
    divisionRow->setContentsMargins(0, 8, 0, 0);
    divisionRow->addWidget(lblIndexType_);
    divisionRow->addWidget(cboIndextype_, 1);
    indexLayout_->addLayout(divisionRow);
    indexLayout_->addWidget(lblPaginaGrootte_);
    connect(chkIndexMetJaartallen_, &QCheckBox::toggled, this,
            &TKSsettingsPage::chkIndexMetJaartallenClick);
    connect(cboIndextype_, &QComboBox::activated, this, [this] { userDivision_ = true; });
    connect(cboIndextype_, &QComboBox::currentIndexChanged, this,
            &TKSsettingsPage::ShowLargestPage);
    chkIndexMetJaartallenClick();
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
    txtRapportTitel_->setToolTip(
        QStringLiteral("#1574.10=De titel boven de verzamelindex, zoals bezoekers die zien"));
    txtHomepage_->setToolTip(
        QStringLiteral("#1574.11=Het adres van uw website; de index linkt ernaar terug"));
    txtEmail_->setToolTip(
        QStringLiteral("#1574.12=Uw e-mailadres, zodat bezoekers u kunnen schrijven"));
    form->addRow(lblRapportTitel_, txtRapportTitel_);
    form->addRow(nullptr, notes_[0] = MakeNote(grpExtraGegevens_, "lblRapportTitelNoot"));
    form->addRow(lblHomepage_, txtHomepage_);
    form->addRow(nullptr, notes_[1] = MakeNote(grpExtraGegevens_, "lblHomepageNoot"));
    form->addRow(lblEmail_, txtEmail_);
    form->addRow(nullptr, notes_[2] = MakeNote(grpExtraGegevens_, "lblEmailNoot"));
    BuildExportRow(form);
    for (QLineEdit* edit : {txtRapportTitel_, txtHomepage_, txtEmail_})
        connect(edit, &QLineEdit::textChanged, this, &TKSsettingsPage::ShowTypedTextNotes);
}

// The site's address (for sitemap.xml) and gendex.txt, on one row of the
// extra data: whatever the layout asks, a site can offer them.
void TKSsettingsPage::BuildExportRow(QFormLayout* form) {
    QLabel* label = MakeLabel(grpExtraGegevens_, "lblSiteAdres", "#1602.1=Ad&res van de site:");
    txtSiteAdres_ = MakeEdit(grpExtraGegevens_, "txtSiteAdres", "SiteAddress");
    txtSiteAdres_->setPlaceholderText(QStringLiteral("https://"));
    txtSiteAdres_->setToolTip(QStringLiteral(
        "#1602.2=Het http(s)-adres waar u de index publiceert; dan komt er een sitemap.xml bij "
        "en linkt gendex.txt met volledige adressen"));
    label->setBuddy(txtSiteAdres_);
    chkGendex_ =
        MakeCheck(grpExtraGegevens_, "chkGendex", "#1602.3=Ook gendex.t&xt", "WriteGendex");
    chkGendex_->setToolTip(
        QStringLiteral("#1602.4=Een lijst van elke persoon in elke stamboom met een link naar zijn "
                       "pagina, die naamnetwerken verzamelen"));
    lblSiteAdresNoot_ = MakeNote(grpExtraGegevens_, "lblSiteAdresNoot");
    auto* row = new QHBoxLayout;
    row->addWidget(txtSiteAdres_, 1);
    row->addWidget(chkGendex_);
    form->addRow(label, row);
    form->addRow(nullptr, lblSiteAdresNoot_);
    connect(txtSiteAdres_, &QLineEdit::textChanged, this, [this] {
        ShowSiteAddressNote();
        emit PageChanged();
    });
}

void TKSsettingsPage::ShowSiteAddressNote() {
    const std::string address = txtSiteAdres_->text().trimmed().toStdString();
    const std::string problem = address.empty() ? std::string() : CheckSiteAddress(address);
    lblSiteAdresNoot_->setText(problem.empty() ? QString() : FromKS(problem));
    lblSiteAdresNoot_->setVisible(!problem.empty());
}

void TKSsettingsPage::ShowTypedTextNotes() {
    const QLineEdit* edits[3] = {txtRapportTitel_, txtHomepage_, txtEmail_};
    const TKSkslData* layout = setup_.Layout();
    const bool utf8Pages = layout != nullptr && layout->Utf8Pages();
    for (int k = 0; k < 3; ++k) {
        bool replaced = false;
        const std::string kept = ToKS(edits[k]->text(), &replaced);
        // Pages in UTF-8 publish the text as typed: nothing to note there.
        const bool show = replaced && !edits[k]->isHidden() && !utf8Pages;
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
    // The boxes go below the note, which stays beside the box it explains.
    int place = indexLayout_->indexOf(lblJaartallenNoot_) + 1;
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
        box->setToolTip(FromKS(LocalText("#1574.9=\"%1\" over pagina's verdelen, zodat elke "
                                         "pagina snel laadt; zonder vinkje wordt het een enkel "
                                         "bestand",
                                         {entry.Caption})));
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
    // A division stored by an earlier session counts as chosen.
    if (!stateKey.empty() && TKSreg(stateKey).ValueExists("IndexType")) userDivision_ = true;
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
    int chosen = !asked ? 0 : again >= 0 ? again : largestInParts;
    // Until a division is chosen, large documents start with the automatic one.
    if (asked && !userDivision_) {
        const TKSindexType preferred =
            DefaultIndexType(layout, PreferAutomaticDivision(SelectedIndexLines()));
        chosen = std::max(0, cboIndextype_->findData(IndexTypeNumber(preferred)));
    }
    cboIndextype_->setCurrentIndex(chosen);
}

int64_t TKSsettingsPage::SelectedIndexLines() {
    int64_t lines = 0;
    for (std::size_t i = 0; i < setup_.Documents.Count(); ++i)
        if (setup_.Documents.Selected(i))
            lines += lineCounts_.Count(setup_.Documents.Document(i).FileName);
    return lines;
}

void TKSsettingsPage::ShowLargestPage() {
    const TKSkslData* layout = setup_.Layout();
    TKSindexProfile profile;
    for (std::size_t i = 0; layout && i < setup_.Documents.Count(); ++i)
        if (setup_.Documents.Selected(i))
            profile.Add(lineCounts_.Profile(setup_.Documents.Document(i).FileName));
    const int64_t lines = profile.Lines;
    bool allSplit = true;
    for (int n = 1; layout && n <= layout->ItemCount(); ++n)
        if (layout->Item(n)->Numbered && !layout->Item(n)->Split) allSplit = false;
    TKSindexType type = TKSindexType::FirstLetter;
    if (cboIndextype_->isEnabled() && cboIndextype_->currentIndex() >= 0)
        type = IndexTypeFromNumber(cboIndextype_->currentData().toInt());
    if (type == TKSindexType::NotChosen) type = TKSindexType::FirstLetter;
    const int64_t bytes = EstimateLargestPage(profile, type, PageFigures(layout), allSplit);
    const bool automaticOffered = allSplit && type != TKSindexType::Auto &&
                                  cboIndextype_->isVisibleTo(this) && cboIndextype_->isEnabled() &&
                                  cboIndextype_->findData(IndexTypeNumber(TKSindexType::Auto)) >= 0;
    lblPaginaGrootte_->setText(FromKS(LargestPageText(bytes, automaticOffered)));
    lblPaginaGrootte_->setStyleSheet(LargePage(bytes) ? QStringLiteral("color: #b00000;")
                                                      : QStringLiteral("color: #505050;"));
    lblPaginaGrootte_->setVisible(lines > 0);
}

void TKSsettingsPage::ShowExtraData() {
    const TKSkslData* layout = setup_.Layout();
    const auto show = [&](const char* word, QLabel* label, QLineEdit* edit) {
        const bool asked = layout && layout->AsksFor(word);
        label->setVisible(asked);
        edit->setVisible(asked);
    };
    show("TITLE", lblRapportTitel_, txtRapportTitel_);
    show("HOMEPAGE", lblHomepage_, txtHomepage_);
    show("EMAIL", lblEmail_, txtEmail_);
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
    ShowLargestPage();
}

void TKSsettingsPage::chkIndexMetJaartallenClick() {
    const bool allowed = MayIgnoreYears(chkIndexMetJaartallen_->isChecked());
    if (!allowed) chkDubbelZonderJaartallen_->setChecked(false);
    chkDubbelZonderJaartallen_->setEnabled(allowed);
    chkDubbelZonderJaartallen_->setToolTip(
        allowed
            ? Lookup("#1574.5=Personen met dezelfde naam in meer stambomen samen vermelden, ook "
                     "als hun jaartallen verschillen of ontbreken")
            : Lookup("#1574.6=Niet te kiezen zolang de index jaartallen toont: een vermelding "
                     "toont de jaartallen van de personen erin, dus personen met andere "
                     "jaartallen blijven apart"));
    lblJaartallenNoot_->setText(Lookup("#1574.7=Uit, omdat de index jaartallen toont"));
    lblJaartallenNoot_->setVisible(!allowed);
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

void TKSsettingsPage::txtOpslagMapEdit(const QString& text) {
    setup_.OutputFolder = ToPath(text);
    ShowFolderNote();
    const bool before = wasComplete_;
    if (verifyPage() != before) emit PageChanged();
}

void TKSsettingsPage::ShowFolderNote() {
    const bool missing = !setup_.OutputFolder.empty() && !IsFolder(setup_.OutputFolder);
    if (missing) lblOpslagMapNoot_->setText(Lookup("#1574.2=Deze map bestaat niet"));
    lblOpslagMapNoot_->setVisible(missing);
}

void TKSsettingsPage::SetDefaultBaseName() {
    if (txtBasisnaam_->text().isEmpty())
        txtBasisnaam_->setText(QString::fromLatin1(kDefaultBaseName));
}

void TKSsettingsPage::ShowOutputFolder() {
    txtOpslagMap_->setText(FromPath(setup_.OutputFolder));
    ShowFolderNote();
}

bool TKSsettingsPage::verifyPage() const {
    const std::string base = ToPath(txtBasisnaam_->text());
    const std::string site = txtSiteAdres_->text().trimmed().toStdString();
    const bool complete = !base.empty() && CheckBaseName(base).empty() &&
                          !setup_.OutputFolder.empty() && IsFolder(setup_.OutputFolder) &&
                          (site.empty() || CheckSiteAddress(site).empty());
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
    setup.SetTypedTexts(txtRapportTitel_->text().toStdString(), txtHomepage_->text().toStdString(),
                        txtEmail_->text().toStdString());
    setup.SiteAddress = txtSiteAdres_->text().trimmed().toStdString();
    setup.WriteGendex = chkGendex_->isChecked();
}

} // namespace ks::app
