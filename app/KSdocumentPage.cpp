#include "app/KSdocumentPage.h"

#include "app/KScontrolState.h"
#include "app/KSfolderBrowser.h"
#include "app/KSimportDialog.h"
#include "app/KSlistIcons.h"
#include "app/KSqtText.h"
#include "builder/run/KSdocumentStore.h"
#include "builder/run/KSrunSetup.h"
#include "common/KScommon.h"
#include "common/KSerrors.h"
#include "common/KSfiles.h"
#include "common/KSini.h"
#include "common/KSlocal.h"
#include "common/KSpaths.h"
#include "common/KStextutil.h"
#include "import/KSimport.h"
#include "index/KSdocumentText.h"
#include "index/KShtxData.h"
#include "index/KSretitle.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollArea>
#include <QShortcut>
#include <QVBoxLayout>
#include <algorithm>

namespace ks::app {

namespace {

constexpr const char* kSearchDirValue = "Searchdir";
// How many average letters the field of the retitle box shows at least.
constexpr int kTitleFieldChars = 60;
// How many of the name lists found the question names.
constexpr std::size_t kNameListsShown = 10;

// Hands what a folder search finds, and its pauses, to the page.
class SearchListener : public TKSdocumentSearchListener {
public:
    SearchListener(std::function<bool(const std::string&)> found,
                   std::function<bool()> keepSearching)
        : found_(std::move(found)), keepSearching_(std::move(keepSearching)) {}
    bool DocumentFound(const std::string& path) override { return found_(path); }
    bool KeepSearching() override { return keepSearching_(); }

private:
    std::function<bool(const std::string&)> found_;
    std::function<bool()> keepSearching_;
};

bool IsHtmlFile(const std::string& path) {
    const std::string lower = AsciiLower(path);
    const auto endsWith = [&lower](const std::string& tail) {
        return lower.size() > tail.size() &&
               lower.compare(lower.size() - tail.size(), tail.size(), tail) == 0;
    };
    return (endsWith(".htm") || endsWith(".html")) && IsFile(path);
}

// The description of a document, its lines aligned on their colons; the
// further lines of a description of several lines go under its first.
QString DescriptionText(const TKShtxData& data) {
    QStringList lines = FromTree(DescribeDocument(data)).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
    const auto further =
        static_cast<qsizetype>(std::count(data.Description.begin(), data.Description.end(), '\n'));
    const QString indent(lines.isEmpty() ? 0 : lines.front().indexOf(QLatin1Char(':')) + 2,
                         QLatin1Char(' '));
    for (qsizetype i = lines.size() - further; i < lines.size(); ++i)
        lines[i].prepend(indent);
    return lines.join(QLatin1Char('\n'));
}

} // namespace

TKSdocumentPage::TKSdocumentPage(TKSdocumentList& documents, QWidget* parent)
    : TWizardPage(QStringLiteral("#html.p2=Documenten kiezen"), parent), documents_(documents),
      ownBrowser_(std::make_unique<TKSfolderBrowser>(this)), browser_(ownBrowser_.get()),
      opener_([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {
    setObjectName(QStringLiteral("tabDocumenten"));
    SetHighlighted(true);
    SetHelpContext(1511);
    BuildPage();
}

TKSdocumentPage::~TKSdocumentPage() = default;

QPushButton* TKSdocumentPage::MakeListButton(const char* name, ListIcon icon, const char* hint,
                                             const char* keys) {
    auto* button = new QPushButton(this);
    // A button with only an icon has no letter to mark; its keys come from
    // the language files as a caption's letter would.
    button->setShortcut(QKeySequence(Lookup(keys), QKeySequence::PortableText));
    button->setObjectName(QString::fromLatin1(name));
    button->setIcon(ListButtonIcon(icon));
    button->setIconSize(QSize(20, 20));
    button->setFixedSize(30, 30);
    button->setToolTip(QString::fromLatin1(hint));
    return button;
}

void TKSdocumentPage::BuildPage() {
    HTXbestanden_ = new QListWidget(this);
    HTXbestanden_->setObjectName(QStringLiteral("HTXbestanden"));
    app::SetHelpKeyword(HTXbestanden_, QString::fromLatin1(kListKeyword));
    HTXbestanden_->setToolTip(
        QStringLiteral("#1574.13=De indexdocumenten van uw stambomen; alleen de aangevinkte komen "
                       "in de verzamelindex, in deze volgorde"));
    // Several lines can be selected to remove them at once.
    HTXbestanden_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    HTXbestanden_->installEventFilter(this);

    btnOpenHTMLfile_ =
        MakeListButton("btnOpenHTMLfile", ListIcon::Spectacles, "#1513.hint", "#1573.1=Alt+B");
    btnWisHTMLfile_ =
        MakeListButton("btnWisHTMLfile", ListIcon::Cross, "#1516.hint", "#1573.2=Alt+W");
    btnMoveUp_ = MakeListButton("btnMoveUp", ListIcon::ArrowUp, "#1514.hint", "#1573.3=Alt+H");
    btnMoveDown_ =
        MakeListButton("btnMoveDown", ListIcon::ArrowDown, "#1515.hint", "#1573.4=Alt+L");
    auto* listButtons = new QVBoxLayout;
    for (QPushButton* button : {btnOpenHTMLfile_, btnWisHTMLfile_, btnMoveUp_, btnMoveDown_})
        listButtons->addWidget(button);
    listButtons->addStretch(1);

    lblAantal_ = new QLabel(this);
    lblAantal_->setObjectName(QStringLiteral("lblAantal"));
    btnDirSearch_ = new QPushButton(QStringLiteral("#1511.text=&Map doorzoeken"), this);
    btnDirSearch_->setObjectName(QStringLiteral("btnDirSearch"));
    btnDirSearch_->setToolTip(QStringLiteral("#1511.hint"));
    btnAddHTXfile_ = new QPushButton(QStringLiteral("#1568.text=&Document toevoegen"), this);
    btnAddHTXfile_->setObjectName(QStringLiteral("btnAddHTXfile"));
    btnAddHTXfile_->setToolTip(QStringLiteral("#1568.hint"));
    btnAdresToevoegen_ = new QPushButton(QStringLiteral("#1612.18=Ad&res toevoegen"), this);
    btnAdresToevoegen_->setObjectName(QStringLiteral("btnAdresToevoegen"));
    btnAdresToevoegen_->setToolTip(
        QStringLiteral("#1612.19=Een stamboom op een andere host toevoegen met het https-adres van "
                       "zijn indexdocument, gendex.txt of GEDCOM-bestand; het wordt bij elke run "
                       "opgehaald"));
    btnTitelWijzigen_ = new QPushButton(QStringLiteral("#1512.text=&Titel wijzigen"), this);
    btnTitelWijzigen_->setObjectName(QStringLiteral("btnTitelWijzigen"));
    btnTitelWijzigen_->setToolTip(QStringLiteral("#1512.hint"));
    btnStopZoeken_ = new QPushButton(QStringLiteral("#1519.text=&Stoppen"), this);
    btnStopZoeken_->setObjectName(QStringLiteral("btnStopZoeken"));
    btnStopZoeken_->setToolTip(QStringLiteral("#1519.hint"));
    btnStopZoeken_->hide();
    // Esc stops a search rather than closing the window; the shortcut works
    // only while the button is shown.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), btnStopZoeken_);
    // The buttons have the row to themselves, so that the four fit beside
    // each other on the smallest screen; the count ends the next row.
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(btnStopZoeken_);
    row->addWidget(btnDirSearch_);
    row->addWidget(btnAddHTXfile_);
    row->addWidget(btnAdresToevoegen_);
    row->addWidget(btnTitelWijzigen_);

    txtWebadres_ = new QLineEdit(this);
    txtWebadres_->setObjectName(QStringLiteral("txtWebadres"));
    txtWebadres_->setEnabled(false); // until a line is selected
    txtWebadres_->setToolTip(
        QStringLiteral("#1582.6=Het adres waarop de map van dit indexdocument op internet staat, "
                       "zoals https://example.org/stamboom/; de index linkt dan daarheen. Leeg: "
                       "links naar de map op deze schijf"));
    auto* webLabel = new QLabel(QStringLiteral("#1582.5=W&ebadres:"), this);
    webLabel->setObjectName(QStringLiteral("lblWebadres"));
    webLabel->setBuddy(txtWebadres_);
    auto* webRow = new QHBoxLayout;
    webRow->addWidget(webLabel);
    webRow->addWidget(txtWebadres_, 1);
    webRow->addSpacing(8);
    webRow->addWidget(lblAantal_);

    grpOmschrijving_ = new QGroupBox(this);
    grpOmschrijving_->setObjectName(QStringLiteral("grpOmschrijving"));
    lblOmschrijving_ = new QLabel;
    lblOmschrijving_->setObjectName(QStringLiteral("lblOmschrijving"));
    lblOmschrijving_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    lblOmschrijving_->setTextFormat(Qt::PlainText);
    lblOmschrijving_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblOmschrijving_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* scroll = new QScrollArea(grpOmschrijving_);
    scroll->setObjectName(QStringLiteral("scrollOmschrijving"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(lblOmschrijving_);
    auto* groupLayout = new QVBoxLayout(grpOmschrijving_);
    groupLayout->setContentsMargins(6, 4, 6, 4);
    groupLayout->addWidget(scroll);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(HTXbestanden_, 0, 0);
    grid->addLayout(listButtons, 0, 1);
    grid->addLayout(row, 1, 0, 1, 2);
    grid->addLayout(webRow, 2, 0, 1, 2);
    grid->addWidget(grpOmschrijving_, 3, 0, 1, 2);
    grid->setRowStretch(0, 3);
    grid->setRowStretch(3, 2);

    // A click makes a row current before it selects it; the description
    // follows both so that it is never left behind.
    connect(HTXbestanden_, &QListWidget::currentRowChanged, this,
            &TKSdocumentPage::HTXbestandenClick);
    connect(HTXbestanden_, &QListWidget::itemSelectionChanged, this,
            &TKSdocumentPage::HTXbestandenClick);
    connect(HTXbestanden_, &QListWidget::itemChanged, this,
            &TKSdocumentPage::HTXbestandenClickCheck);
    connect(HTXbestanden_, &QListWidget::itemDoubleClicked, this,
            &TKSdocumentPage::HTXbestandenDblClick);
    connect(txtWebadres_, &QLineEdit::textEdited, this, &TKSdocumentPage::txtWebadresEdit);
    connect(btnDirSearch_, &QPushButton::clicked, this, &TKSdocumentPage::btnDirSearchClick);
    connect(btnAddHTXfile_, &QPushButton::clicked, this, &TKSdocumentPage::btnAddHTXfileClick);
    connect(btnAdresToevoegen_, &QPushButton::clicked, this,
            &TKSdocumentPage::btnAdresToevoegenClick);
    connect(btnStopZoeken_, &QPushButton::clicked, this, &TKSdocumentPage::StopSearch);
    connect(escape, &QShortcut::activated, this, &TKSdocumentPage::StopSearch);
    connect(btnTitelWijzigen_, &QPushButton::clicked, this,
            &TKSdocumentPage::btnTitelWijzigenClick);
    connect(btnOpenHTMLfile_, &QPushButton::clicked, this, &TKSdocumentPage::btnOpenHTMLfileClick);
    connect(btnWisHTMLfile_, &QPushButton::clicked, this, &TKSdocumentPage::btnWisHTMLfileClick);
    connect(btnMoveUp_, &QPushButton::clicked, this, &TKSdocumentPage::btnMoveUpClick);
    connect(btnMoveDown_, &QPushButton::clicked, this, &TKSdocumentPage::btnMoveDownClick);
}

void TKSdocumentPage::SetFolderBrowser(FolderBrowser* browser) {
    browser_ = browser ? browser : ownBrowser_.get();
}

void TKSdocumentPage::SetUrlOpener(std::function<bool(const QUrl&)> opener) {
    opener_ = std::move(opener);
}

TKShtxData& TKSdocumentPage::DataAt(int row) const {
    return documents_.Document(static_cast<std::size_t>(row));
}

int TKSdocumentPage::SelectedRow() const {
    const QListWidgetItem* item = HTXbestanden_->currentItem();
    return item && item->isSelected() ? HTXbestanden_->row(item) : -1;
}

void TKSdocumentPage::SelectOnly(int row) {
    HTXbestanden_->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
}

int TKSdocumentPage::TickedCount() const {
    int ticked = 0;
    for (std::size_t i = 0; i < documents_.Count(); ++i)
        if (documents_.Selected(i)) ++ticked;
    return ticked;
}

std::string TKSdocumentPage::ListKey() const {
    return stateKey_ + ListKeyName();
}

void TKSdocumentPage::ShowNewRows() {
    const QSignalBlocker quiet(HTXbestanden_); // a line is complete only once added
    for (int row = HTXbestanden_->count(); row < static_cast<int>(documents_.Count()); ++row) {
        // A tree fetched by its address is known by the address until it has a title.
        const std::string& title = DataAt(row).Title;
        auto* item =
            new QListWidgetItem(title.empty() && documents_.IsAddress(static_cast<std::size_t>(row))
                                    ? FromKS(documents_.GivenPath(static_cast<std::size_t>(row)))
                                    : FromTree(title));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(documents_.Selected(static_cast<std::size_t>(row)) ? Qt::Checked
                                                                               : Qt::Unchecked);
        HTXbestanden_->addItem(item);
    }
}

int TKSdocumentPage::AddDocumentRow(const std::string& path, std::string* reason) {
    const int row = AddIndexDocument(documents_, path, reason);
    if (row < 0) return row;
    ShowNewRows();
    SelectOnly(row);
    return row;
}

bool TKSdocumentPage::AddHTXfile(const std::string& path) {
    const std::size_t before = documents_.Count();
    return AddDocumentRow(path, nullptr) >= 0 && documents_.Count() > before;
}

bool TKSdocumentPage::AddChosenDocument(const std::string& path) {
    const std::size_t before = documents_.Count();
    std::string reason;
    int row = -1;
    try {
        row = AddDocumentRow(path, &reason);
    } catch (const EKSError& error) {
        reason = error.Reason();
    }
    if (row < 0) {
        QString message =
            Lookup("#1568.3=Dit is geen indexdocument") + QStringLiteral("\n\n") + FromPath(path);
        if (!reason.empty()) message += QStringLiteral(": ") + FromKS(reason);
        QMessageBox::warning(this, Lookup("#1512.1=KESTRIN HTML-uitvoer"), message);
        return false;
    }
    RefreshHTXcount();
    emit PageChanged();
    return documents_.Count() > before;
}

std::string TKSdocumentPage::DocumentChooserFolder() const {
    const int row = HTXbestanden_->currentRow();
    if (row >= 0) {
        const std::string folder = FolderOf(DataAt(row).FileName);
        if (IsFolder(folder)) return folder;
    }
    return WithSlash(ToPath(QDir::homePath()));
}

void TKSdocumentPage::btnAddHTXfileClick() {
    const QString chosen = QFileDialog::getOpenFileName(
        this, Lookup("#1568.1=kies een indexdocument"), FromPath(DocumentChooserFolder()),
        Lookup("#1568.2=Indexdocumenten") + QStringLiteral(" (*.htx *.HTX)"));
    if (!chosen.isEmpty()) AddChosenDocument(ToPath(chosen));
}

// The address is fetched at once, so that the list shows the tree's title;
// one that cannot be fetched stays listed, and the run names the reason.
void TKSdocumentPage::btnAdresToevoegenClick() {
    bool ok = false;
    const QString typed = QInputDialog::getText(
        this, Lookup("#1612.21=Adres toevoegen"),
        Lookup("#1612.20=Het https-adres van een indexdocument, gendex.txt of GEDCOM-bestand:"),
        QLineEdit::Normal, QString(), &ok);
    if (!ok || typed.trimmed().isEmpty()) return;
    std::string problem;
    const int row =
        AddAddressDocument(documents_, ToTree(typed.trimmed()), Environment().TempFolder, &problem);
    if (row >= 0) {
        ShowNewRows();
        SelectOnly(row);
        RefreshHTXcount();
        emit PageChanged();
        problem = documents_.FetchProblem(static_cast<std::size_t>(row));
    }
    if (!problem.empty())
        QMessageBox::warning(this, Lookup("#1612.21=Adres toevoegen"), FromMessage(problem));
}

// Every document found goes into the document list at once, but its row
// only when the search ends: a row added or selected makes the list lay out
// all its rows again, so rows made one by one would slow a long search down
// more and more. The list is disabled meanwhile.
void TKSdocumentPage::SearchFolder(const std::string& folder) {
    if (searching_) return;
    int found = 0;
    SearchListener listener(
        [&](const std::string&) {
            SearchBreathe(++found);
            return !stopRequested_;
        },
        [&] {
            SearchBreathe(found);
            return !stopRequested_;
        });
    SetSearchControls(true);
    TKSfolderDocuments result;
    try {
        result = AddFolderDocuments(folder, documents_, listener);
    } catch (...) {
        ShowNewRows();
        SetSearchControls(false);
        throw;
    }
    ShowNewRows();
    // As when adding one by one: the document found last is selected.
    if (result.LastFound >= 0) SelectOnly(result.LastFound);
    nameLists_ = std::move(result.NameLists);
    SetSearchControls(false);
}

int TKSdocumentPage::ShowImported(const std::string& document) {
    const std::string absolute = AbsolutePath(document);
    for (std::size_t i = 0; i < documents_.Count(); ++i)
        if (documents_.Document(i).FileName == absolute) {
            // An import replaced it: title, size and description are new.
            const std::string title = (DataAt(static_cast<int>(i)) = TKShtxData(absolute)).Title;
            HTXbestanden_->item(static_cast<int>(i))->setText(FromTree(title));
            SelectOnly(static_cast<int>(i));
            return static_cast<int>(i);
        }
    return AddDocumentRow(document, nullptr);
}

int TKSdocumentPage::ImportNameLists(const std::vector<std::string>& paths) {
    if (paths.empty()) return 0;
    const QString caption = Lookup("#1512.1=KESTRIN HTML-uitvoer");
    QString question = FromKS(LocalText("#1585.2=%1{ naamlijst| naamlijsten} van andere "
                                        "programma's gevonden (GENDEX of GEDCOM): als "
                                        "indexdocument importeren?",
                                        {std::to_string(paths.size())})) +
                       QStringLiteral("\n");
    // A long list would grow the box beyond the screen: its first lines only.
    for (std::size_t i = 0; i < paths.size() && i < kNameListsShown; ++i)
        question += QStringLiteral("\n") + FromPath(paths[i]);
    if (paths.size() > kNameListsShown) question += QStringLiteral("\n...");
    if (QMessageBox::question(this, caption, question) != QMessageBox::Yes) return 0;
    int imported = 0;
    QString reports, refused;
    for (const std::string& path : paths) {
        TKSimportRequest request;
        request.Source = path;
        TKSimportDialog ask(this, path, NeedsLinkPattern(path),
                            KeptImportChoices(ImportDocumentPath(request)));
        if (ask.exec() != QDialog::Accepted) continue;
        static_cast<TKSimportChoices&>(request) = ask.Choices();
        request.TempFolder = Environment().TempFolder;
        try {
            // A large file takes a while: the cursor says so.
            QApplication::setOverrideCursor(Qt::WaitCursor);
            const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
            const TKSimportResult result = ImportNameList(request);
            if (ShowImported(result.Document) >= 0) ++imported;
            reports += QStringLiteral("\n") + FromPath(path);
            for (const std::string& line : ImportReportLines(result.Report))
                reports += QStringLiteral("\n    ") + FromKS(line);
        } catch (const EKSError& error) {
            refused += QStringLiteral("\n") + FromPath(error.Path().empty() ? path : error.Path()) +
                       QStringLiteral(": ") + FromKS(error.Reason());
        }
    }
    // What each import did, and what could not be imported.
    if (!reports.isEmpty())
        reports.prepend(Lookup("#1585.13=Ge\xEFmporteerd:") + QStringLiteral("\n"));
    if (!refused.isEmpty())
        QMessageBox::warning(this, caption,
                             (reports.isEmpty() ? QString() : reports + QStringLiteral("\n\n")) +
                                 Lookup("#1585.3=Niet ge\xEFmporteerd:") + QStringLiteral("\n") +
                                 refused);
    else if (!reports.isEmpty())
        QMessageBox::information(this, caption, reports);
    RefreshHTXcount();
    emit PageChanged();
    return imported;
}

void TKSdocumentPage::StopSearch() {
    if (searching_) stopRequested_ = true;
}

void TKSdocumentPage::SearchBreathe(int found) {
    if (lastBreath_.isValid() && lastBreath_.elapsed() < breathMs_) return;
    lblAantal_->setText(QString::number(found) + QLatin1Char(' ') +
                        Lookup("#1511.2=documenten gevonden"));
    emit SearchProgress(found);
    QApplication::processEvents();
    lastBreath_.start();
}

void TKSdocumentPage::SetSearchControls(bool searching) {
    searching_ = searching;
    stopRequested_ = false;
    lastBreath_.invalidate();
    for (QWidget* control :
         {static_cast<QWidget*>(HTXbestanden_), static_cast<QWidget*>(btnDirSearch_),
          static_cast<QWidget*>(btnAddHTXfile_), static_cast<QWidget*>(btnAdresToevoegen_)})
        control->setEnabled(!searching);
    btnStopZoeken_->setVisible(searching);
    emit PageChanged(); // the list buttons, Volgende and Gereed wait for the search
    if (!searching) emit SearchEnded();
}

int TKSdocumentPage::RefreshHTXcount() {
    const int ticked = TickedCount();
    int64_t size = 0;
    for (std::size_t i = 0; i < documents_.Count(); ++i)
        if (documents_.Selected(i)) size += documents_.Document(i).FileSize;
    selectedSize_ = size;
    lblAantal_->setText(
        FromKS(LocalText("#1510.3=%1{ document| documenten}, %2 gekozen",
                         {std::to_string(HTXbestanden_->count()), std::to_string(ticked)})));
    return ticked;
}

bool TKSdocumentPage::verifyPage() {
    const bool filled = HTXbestanden_->count() > 0;
    for (QPushButton* button :
         {btnMoveDown_, btnMoveUp_, btnOpenHTMLfile_, btnTitelWijzigen_, btnWisHTMLfile_})
        button->setEnabled(filled && !searching_);
    // During a search the label shows how many documents were found.
    if (searching_) return false;
    return RefreshHTXcount() > 0 && filled;
}

void TKSdocumentPage::HTXbestandenClick() {
    const int row = SelectedRow();
    lblOmschrijving_->setText(row >= 0 ? DescriptionText(DataAt(row)) : QString());
    txtWebadres_->setEnabled(row >= 0);
    txtWebadres_->setText(row >= 0 ? FromKS(documents_.WebAddress(static_cast<std::size_t>(row)))
                                   : QString());
}

void TKSdocumentPage::txtWebadresEdit(const QString& text) {
    const int row = SelectedRow();
    if (row >= 0) documents_.SetTypedWebAddress(static_cast<std::size_t>(row), text.toStdString());
}

void TKSdocumentPage::HTXbestandenClickCheck() {
    for (int i = 0; i < HTXbestanden_->count(); ++i)
        documents_.SetSelected(static_cast<std::size_t>(i),
                               HTXbestanden_->item(i)->checkState() == Qt::Checked);
    // Only the steps between none and one ticked document change the verdict.
    if (RefreshHTXcount() <= 1) emit PageChanged();
}

void TKSdocumentPage::HTXbestandenDblClick() {
    OpenDocumentHTML();
}

void TKSdocumentPage::WisHuidigeHTX() {
    std::vector<int> rows;
    for (const QListWidgetItem* item : HTXbestanden_->selectedItems())
        rows.push_back(HTXbestanden_->row(item));
    if (rows.empty()) return;
    // From the bottom up, so that the rows still to go keep their numbers.
    std::sort(rows.begin(), rows.end(), std::greater<>());
    {
        const QSignalBlocker quiet(HTXbestanden_); // rows and documents go together
        for (const int row : rows) {
            delete HTXbestanden_->takeItem(row);
            documents_.Remove(static_cast<std::size_t>(row));
        }
    }
    // The line that took the place of the first one removed.
    if (HTXbestanden_->count() > 0) SelectOnly(std::min(rows.back(), HTXbestanden_->count() - 1));
    HTXbestandenClick();
    // The counts always follow; the buttons only when the verdict may change.
    if (RefreshHTXcount() <= 1) emit PageChanged();
}

void TKSdocumentPage::btnWisHTMLfileClick() {
    WisHuidigeHTX();
}

void TKSdocumentPage::MoveSelected(int step) {
    const int row = SelectedRow();
    const int target = row + step;
    if (row < 0 || target < 0 || target >= HTXbestanden_->count()) return;
    const QSignalBlocker quiet(HTXbestanden_);
    QListWidgetItem* item = HTXbestanden_->takeItem(row);
    HTXbestanden_->insertItem(target, item);
    documents_.Move(static_cast<std::size_t>(row), static_cast<std::size_t>(target));
    SelectOnly(target);
    HTXbestandenClick(); // its signals are blocked meanwhile
}

void TKSdocumentPage::btnMoveUpClick() {
    MoveSelected(-1);
}

void TKSdocumentPage::btnMoveDownClick() {
    MoveSelected(1);
}

void TKSdocumentPage::OpenDocumentHTML() {
    const int row = SelectedRow();
    if (row < 0) return;
    const TKShtxData& data = DataAt(row);
    const std::string path = FolderOf(data.FileName) + data.HtmFile;
    // Only an HTML page is handed to the desktop, never some other file the header names.
    if (!data.HtmFile.empty() && IsHtmlFile(path))
        opener_(QUrl::fromLocalFile(FromPath(AbsolutePath(path))));
}

void TKSdocumentPage::btnOpenHTMLfileClick() {
    OpenDocumentHTML();
}

void TKSdocumentPage::btnTitelWijzigenClick() {
    const int row = SelectedRow();
    if (row < 0) return;
    TKShtxData& data = DataAt(row);
    const QString caption = Lookup("#1512.1=KESTRIN HTML-uitvoer");
    QInputDialog box(this);
    box.setWindowTitle(caption);
    box.setLabelText(Lookup("#1512.2=&Titel van deze uitvoer"));
    box.setTextValue(FromTree(data.Title));
    // Room for a long title, and for the whole caption in the title bar
    // beside the window's own buttons.
    if (auto* field = box.findChild<QLineEdit*>())
        field->setMinimumWidth(field->fontMetrics().averageCharWidth() * kTitleFieldChars);
    box.setMinimumWidth(box.fontMetrics().horizontalAdvance(caption) * 3 / 2 + 160);
    if (box.exec() != QDialog::Accepted) return;
    const QString answer = box.textValue();
    if (TitleAsStored(ToTree(answer)) == data.Title) return;
    const RetitleResult result = RetitleDocument(data.FileName, ToTree(answer));
    if (!result.Changed) {
        QMessageBox::warning(this, caption,
                             Lookup("#1512.3=Dit bestand kan niet aangepast worden") +
                                 QStringLiteral("\n\n") + FromPath(data.FileName) +
                                 QStringLiteral(": ") + FromKS(result.Reason));
        return;
    }
    data.Title = result.Title;
    HTXbestanden_->item(row)->setText(FromTree(result.Title));
}

void TKSdocumentPage::btnDirSearchClick() {
    std::string folder;
    {
        TKSreg wizard(stateKey_);
        folder = wizard.ReadString(kSearchDirValue);
    }
    if (!browser_->BrowseForFolder(ToKS(Lookup("#1511.1=kies een map")), "", folder, false)) return;
    {
        TKSreg wizard(stateKey_);
        wizard.WriteString(kSearchDirValue, folder);
    }
    SearchFolder(folder);
    emit FolderSearched(folder);
    if (HTXbestanden_->count() > 0) SelectOnly(0);
    ImportNameLists(nameLists_);
    HTXbestandenClick();
    RefreshHTXcount();
    emit PageChanged();
}

bool TKSdocumentPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == HTXbestanden_ && event->type() == QEvent::KeyPress) {
        // Ctrl+Up/Down move the current line, in place of the list's own
        // Ctrl+arrow that moves the cursor without selecting.
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool ctrlOnly = (key->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier;
        if (ctrlOnly && (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)) {
            MoveSelected(key->key() == Qt::Key_Up ? -1 : 1);
            return true;
        }
    }
    if (watched == HTXbestanden_ && event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete && !key->isAutoRepeat()) WisHuidigeHTX();
    }
    return TWizardPage::eventFilter(watched, event);
}

void TKSdocumentPage::InitHTXbestanden(const std::string& stateKey) {
    stateKey_ = stateKey;
    // The rows are made once all are read, for the same reason as in a search.
    const int remembered = RestoreDocuments(ListKey(), documents_);
    const int added = static_cast<int>(documents_.Count()) - HTXbestanden_->count();
    ShowNewRows();
    // The remembered line, else the one added last, as when adding one by one.
    if (remembered >= 0)
        SelectOnly(remembered);
    else if (added > 0)
        SelectOnly(HTXbestanden_->count() - 1);
    HTXbestandenClick();
    if (RefreshHTXcount() <= 1) emit PageChanged();
}

void TKSdocumentPage::OpslaanHTXbestanden() {
    StoreDocuments(documents_, SelectedRow(), stateKey_, ListKeyName());
}

void TKSdocumentPage::FreeDocuments() {
    const QSignalBlocker quiet(HTXbestanden_);
    HTXbestanden_->clear();
    documents_.Clear();
    lblOmschrijving_->clear();
}

} // namespace ks::app
