// The document page in the wizard window: the list of index documents, its
// persistence across a restart, folder searches, adding one document,
// removing, moving, retitling and opening a document's HTML output.
#include "WizardTestKit.h"

#include "app/KSHTMLverzamelIndex.h"
#include "app/KSdocumentPage.h"
#include "app/KSimportDialog.h"
#include "common/KScommon.h"
#include "common/KSini.h"
#include "common/KSpaths.h"
#include "index/KShtxData.h"
#include "index/KSretitle.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>
#include <chrono>
#include <filesystem>
#include <sys/stat.h>

using namespace ks::app;
using ks::test::HtxHeader;
using ks::test::PrivateStore;
using ks::test::WriteHtx;

namespace {

// Answers the folder chooser with a fixed folder and notes where it started.
class FakeBrowser : public ks::FolderBrowser {
public:
    bool BrowseForFolder(const std::string&, const std::string&, std::string& folder,
                         bool allowNewFolder) override {
        started.push_back(folder);
        newFolderOffered = allowNewFolder;
        if (answer.empty()) return false;
        folder = answer;
        return true;
    }
    std::string answer;
    std::vector<std::string> started;
    bool newFolderOffered = true;
};

class Wizard : public ks::test::ShownWizard {
public:
    Wizard() {
        window.DocumentPage()->SetFolderBrowser(&browser);
        window.ShowPage(TwzrdHTMLverzamelIndex::kDocumenten);
    }
    QListWidget* List() { return window.findChild<QListWidget*>("HTXbestanden"); }
    QPushButton* Button(const char* name) { return window.findChild<QPushButton*>(name); }
    void Click(const char* name) { QTest::mouseClick(Button(name), Qt::LeftButton); }
    QString Count() { return window.findChild<QLabel*>("lblAantal")->text(); }
    QString Description() { return window.findChild<QLabel*>("lblOmschrijving")->text(); }
    void Select(int row) { List()->setCurrentRow(row, QItemSelectionModel::ClearAndSelect); }
    // Adds documents with these titles, described as "over <title>".
    std::vector<std::string> AddDescribed(const std::string& folder, const QStringList& titles) {
        std::vector<std::string> paths;
        for (const QString& title : titles) {
            paths.push_back(folder + title.toStdString() + ".htx");
            ks::test::WriteHtx(paths.back(), {.title = title.toStdString(),
                                              .description = "over " + title.toStdString()});
            if (!Add(paths.back())) return {};
        }
        return paths;
    }
    void ClickRow(int row, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, modifiers,
                          List()->visualItemRect(List()->item(row)).center());
    }
    QStringList Titles() {
        QStringList titles;
        for (int i = 0; i < List()->count(); ++i)
            titles << List()->item(i)->text();
        return titles;
    }
    std::vector<bool> Ticks() {
        std::vector<bool> ticks;
        for (int i = 0; i < List()->count(); ++i)
            ticks.push_back(List()->item(i)->checkState() == Qt::Checked);
        return ticks;
    }
    // As a search adds a document: the buttons follow.
    bool Add(const std::string& path) {
        const bool added = window.DocumentPage()->AddHTXfile(path);
        window.ShowPage(-1);
        return added;
    }

    FakeBrowser browser;
};

std::string ListValue(const std::string& name) {
    ks::TKSreg reg(TwzrdHTMLverzamelIndex::SettingsKey() + "SelectedHTXfile_items");
    return reg.ReadString(name);
}

// A tree to search: nested folders, hidden ones, a link back up, and files
// that are no index documents of this format.
void MakeSearchTree(const PrivateStore& store) {
    const std::string root = store.Path("tree/");
    WriteHtx(root + "b.htx", {.title = "B"});
    WriteHtx(root + "a.htx", {.title = "A"});
    WriteHtx(root + "sub/deeper/d.htx", {.title = "D"});
    WriteHtx(root + "sub/c.HTX", {.title = "C"});
    WriteHtx(root + ".hidden/h.htx", {.title = "hidden folder"});
    WriteHtx(root + "sub/.x.htx", {.title = "hidden file"});
    WriteHtx(root + "layout.htx", {.title = "other kind", .type = "ksl"});
    WriteHtx(root + "format2.htx", {.title = "format 2", .format = "2"});
    WriteHtx(root + "formatx.htx", {.title = "no number", .format = "x"});
    std::filesystem::create_directory_symlink(root, root + "sub/loop");
}

} // namespace

class TestDocumentPage : public ks::test::WizardTestCase {
    Q_OBJECT

private slots:
    void listSurvivesARestartWithTicksOrderAndSelection();
    void searchingTwiceAddsNothingTheSecondTime();
    void aSearchStopsOnStopEscOrCancelKeepingWhatItFound_data();
    void aSearchStopsOnStopEscOrCancelKeepingWhatItFound();
    void removingAndTickingDecideTheButtons();
    void retitlingChangesOnlyTheTitleLine();
    void retitlingARefusedDocumentLeavesItAlone();
    void openingShowsOnlyAnExistingHtmlFile();
    void theDescriptionFollowsTheCurrentRow_data();
    void theDescriptionFollowsTheCurrentRow();
    void severalSelectedRowsAreRemovedAtOnce_data();
    void severalSelectedRowsAreRemovedAtOnce();
    void oneDocumentIsAddedThroughTheChooser();
    void nameListsFoundAreImportedWhenTheUserAgrees();
    void theFirstStartsKeysPublishNoExampleLinks();
};

void TestDocumentPage::listSurvivesARestartWithTicksOrderAndSelection() {
    const std::string one = store_->Path("one/een.htx");
    const std::string two = store_->Path("two, with comma/twee.htx");
    const std::string three = store_->Path("three/drie.htx");
    const std::string gone = store_->Path("gone/weg.htx");
    WriteHtx(one, {.title = "Een"});
    WriteHtx(two, {.title = "Twee"});
    WriteHtx(three, {.title = "Drie", .description = "Eerste regel\nTweede regel"});
    WriteHtx(gone, {.title = "Weg"});
    {
        Wizard wizard;
        for (const std::string& path : {one, two, three, gone})
            QVERIFY(wizard.Add(path));
        QVERIFY(!wizard.Add(one)); // listed already: selected, not added
        QCOMPARE(wizard.List()->currentRow(), 0);
        wizard.List()->item(1)->setCheckState(Qt::Unchecked);
        wizard.List()->setCurrentRow(2);
        wizard.Click("btnMoveUp");
        QCOMPARE(wizard.Titles(), (QStringList{"Een", "Drie", "Twee", "Weg"}));
        QCOMPARE(wizard.List()->currentRow(), 1);
        QCOMPARE(wizard.Count(), QStringLiteral("4 documenten, 3 gekozen"));
        // The run set-up's list follows the rows: order and ticks.
        const ks::TKSdocumentList& list = wizard.window.RunSetup().Documents;
        QCOMPARE(list.Document(1).Title, std::string("Drie"));
        QCOMPARE(list.Selected(2), false);
        wizard.List()->item(2)->setCheckState(Qt::Checked);
        QCOMPARE(list.Selected(2), true);
        wizard.List()->item(2)->setCheckState(Qt::Unchecked);
        // The selected line's web address, typed in its field.
        QTest::keyClicks(wizard.window.findChild<QLineEdit*>("txtWebadres"), "https://ex.org/d");
        QCOMPARE(list.WebAddress(1), std::string("https://ex.org/d"));
        wizard.window.btnCancelClick();
    }
    QCOMPARE(ListValue("current"), std::string("1"));
    QCOMPARE(ListValue("2"), "0," + two);
    std::filesystem::remove(gone);

    Wizard wizard;
    QCOMPARE(wizard.Titles(), (QStringList{"Een", "Drie", "Twee"})); // the vanished one dropped
    QCOMPARE(wizard.Ticks(), (std::vector<bool>{true, true, false}));
    QCOMPARE(wizard.List()->currentRow(), 1);
    const ks::TKSdocumentList& documents = wizard.window.RunSetup().Documents;
    QCOMPARE(documents.Count(), std::size_t(3));
    QCOMPARE(documents.Document(2).FileName, two);
    QCOMPARE(documents.Selected(2), false);
    QCOMPARE(documents.Document(1).Title, std::string("Drie"));
    QCOMPARE(wizard.window.findChild<QLineEdit*>("txtWebadres")->text(),
             QStringLiteral("https://ex.org/d"));
    // The description of the selected document, aligned on its colons.
    const QString description = wizard.window.findChild<QLabel*>("lblOmschrijving")->text();
    QVERIFY(description.startsWith(QStringLiteral("  KESTRIN document : ") +
                                   QString::fromStdString(store_->Path("three/index.htm"))));
    QVERIFY(description.contains(QStringLiteral("\n KESTRIN gebruiker : P. Tester (7)\n")));
    QVERIFY(description.endsWith(QStringLiteral("\n      omschrijving : Eerste regel\n") +
                                 QString(21, QLatin1Char(' ')) + QStringLiteral("Tweede regel")));
    wizard.window.btnCancelClick();
    QCOMPARE(ListValue("3"), std::string()); // saved again without it
}

void TestDocumentPage::searchingTwiceAddsNothingTheSecondTime() {
    MakeSearchTree(*store_);
    const std::string root = store_->Path("tree/");
    Wizard wizard;
    wizard.browser.answer = root;
    wizard.Click("btnDirSearch");
    // Files of a folder before those of its subfolders; no hidden, looping or foreign ones.
    QCOMPARE(wizard.Titles(), (QStringList{"A", "B", "C", "D"}));
    QCOMPARE(wizard.List()->currentRow(), 0);
    QCOMPARE(wizard.window.RunSetup().OutputFolder, root);
    QVERIFY(!wizard.browser.newFolderOffered);

    wizard.List()->setCurrentRow(3);
    wizard.Click("btnDirSearch");
    QCOMPARE(wizard.Titles(), (QStringList{"A", "B", "C", "D"}));
    QCOMPARE(wizard.List()->currentRow(), 0);
    QCOMPARE(wizard.browser.started, (std::vector<std::string>{"", root}));
    QCOMPARE(wizard.Count(), QStringLiteral("4 documenten, 4 gekozen"));

    wizard.browser.answer.clear(); // a cancelled chooser changes nothing
    wizard.Click("btnDirSearch");
    QCOMPARE(wizard.List()->count(), 4);
}

void TestDocumentPage::aSearchStopsOnStopEscOrCancelKeepingWhatItFound_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Stoppen") << "btnStopZoeken";
    QTest::newRow("Esc") << "Esc";
    QTest::newRow("Annuleren") << "btnCancel"; // stops, then closes the window
}

void TestDocumentPage::aSearchStopsOnStopEscOrCancelKeepingWhatItFound() {
    QFETCH(QString, how);
    const std::string root = store_->Path("many/");
    for (const std::string name : {"1", "2", "3", "4", "5"})
        WriteHtx(root + "d" + name + ".htx", {.title = "D" + name});
    Wizard wizard;
    wizard.browser.answer = root;
    TKSdocumentPage* page = wizard.window.DocumentPage();
    page->SetSearchBreathInterval(0); // the count after every document
    QStringList counts;
    bool nextEnabled = true;
    const auto stopper = QObject::connect(page, &TKSdocumentPage::SearchProgress, [&](int found) {
        counts << wizard.Count();
        nextEnabled = nextEnabled && wizard.Button("btnVolgende")->isEnabled();
        if (found < 2) return;
        if (how == QLatin1String("Esc"))
            QTest::keyClick(&wizard.window, Qt::Key_Escape);
        else
            wizard.Click(how.toLatin1().constData());
    });
    wizard.Click("btnDirSearch");
    QVERIFY(counts.contains(QStringLiteral("1 documenten gevonden")));
    QCOMPARE(counts.last(), QStringLiteral("2 documenten gevonden"));
    QVERIFY(!nextEnabled);
    QCOMPARE(wizard.Titles(), (QStringList{"D1", "D2"}));
    if (how == QLatin1String("btnCancel")) {
        QTRY_VERIFY(!wizard.window.isVisible());
        QCOMPARE(ListValue("1"), "1," + root + "d2.htx");
        QCOMPARE(ListValue("2"), std::string());
        return;
    }
    QVERIFY(wizard.window.isVisible());
    QVERIFY(!wizard.Button("btnStopZoeken")->isVisible());
    QCOMPARE(wizard.Count(), QStringLiteral("2 documenten, 2 gekozen"));
    QVERIFY(wizard.Button("btnVolgende")->isEnabled());
    QObject::disconnect(stopper);
    wizard.Click("btnDirSearch"); // the rest; those listed are not added again
    QCOMPARE(wizard.Titles(), (QStringList{"D1", "D2", "D3", "D4", "D5"}));
}

void TestDocumentPage::removingAndTickingDecideTheButtons() {
    const std::string only = store_->Path("only.htx");
    WriteHtx(only, {.title = "Enige"});
    Wizard wizard;
    wizard.window.FinishOnLastPageOnly = false;
    wizard.window.RunSetup().OutputFolder = store_->Path(""); // the later pages complete
    QVERIFY(!wizard.Button("btnVolgende")->isEnabled());      // empty list
    QVERIFY(wizard.Add(only));
    wizard.window.ShowPage(-1);
    QVERIFY(wizard.Button("btnVolgende")->isEnabled());
    QVERIFY(wizard.Button("btnFinish")->isEnabled());

    wizard.List()->item(0)->setCheckState(Qt::Unchecked);
    QVERIFY(!wizard.Button("btnVolgende")->isEnabled());
    QVERIFY(!wizard.Button("btnFinish")->isEnabled());
    QCOMPARE(wizard.Count(), QStringLiteral("1 document, 0 gekozen"));
    wizard.List()->item(0)->setCheckState(Qt::Checked);
    QVERIFY(wizard.Button("btnVolgende")->isEnabled());

    // The Delete key in the list removes the selected line, not the file.
    wizard.List()->setFocus();
    QTest::keyClick(wizard.List(), Qt::Key_Delete);
    QCOMPARE(wizard.List()->count(), 0);
    QCOMPARE(wizard.window.RunSetup().Documents.Count(), std::size_t(0));
    QVERIFY(std::filesystem::exists(only));
    for (const char* name :
         {"btnMoveDown", "btnMoveUp", "btnOpenHTMLfile", "btnTitelWijzigen", "btnWisHTMLfile"})
        QVERIFY2(!wizard.Button(name)->isEnabled(), name);
    QVERIFY(!wizard.Button("btnVolgende")->isEnabled());
    QCOMPARE(wizard.Count(), QStringLiteral("0 documenten, 0 gekozen"));
    wizard.Click("btnWisHTMLfile"); // nothing left to remove
    QCOMPARE(wizard.List()->count(), 0);
}

void TestDocumentPage::retitlingChangesOnlyTheTitleLine() {
    const std::string path = store_->Path("doc.htx");
    const std::string bare = store_->Path("bare.htx");
    WriteHtx(path, {.title = "Oud"});
    WriteHtx(bare, {.withMetadata = false});
    const std::string before = ks::test::ReadText(path);
    Wizard wizard;
    QVERIFY(wizard.Add(path));
    ks::test::AnswerModal<QInputDialog>([](QInputDialog* box) {
        QCOMPARE(box->labelText(), QStringLiteral("&Titel van deze uitvoer"));
        QCOMPARE(box->textValue(), QStringLiteral("Oud"));
        box->setTextValue(QStringLiteral("  Nieuwe titel é  ")); // outer blanks are no failure
        box->accept();
    });
    wizard.Click("btnTitelWijzigen");
    QCOMPARE(wizard.Titles(), QStringList{QStringLiteral("Nieuwe titel é")});
    std::string expected = before;
    expected.replace(expected.find("title=Oud"), 9, "title=  Nieuwe titel \xE9  ");
    QCOMPARE(ks::test::ReadText(path), expected);
    QCOMPARE(ks::TKShtxData(path).Title, std::string("Nieuwe titel \xC3\xA9")); // read as UTF-8

    // Without a [metadata] section one is made before the index lines.
    QVERIFY(wizard.Add(bare));
    ks::test::AnswerModal<QInputDialog>([](QInputDialog* box) {
        box->setTextValue(QStringLiteral("Kaal"));
        box->accept();
    });
    wizard.Click("btnTitelWijzigen");
    const std::string text = ks::test::ReadText(bare);
    QVERIFY(text.find("[metadata]\r\ntitle=Kaal\r\n") < text.find("[indexdata]"));
    QCOMPARE(wizard.List()->item(1)->text(), QStringLiteral("Kaal"));
}

void TestDocumentPage::retitlingARefusedDocumentLeavesItAlone() {
    const std::string path = store_->Path("readonly.htx");
    WriteHtx(path, {.title = "Vast"});
    QCOMPARE(::chmod(path.c_str(), 0444), 0);
    const std::string before = ks::test::ReadText(path);
    Wizard wizard;
    QVERIFY(wizard.Add(path));
    QString message;
    ks::test::AnswerModal<QInputDialog>([&message](QInputDialog* box) {
        box->setTextValue(QStringLiteral("Anders"));
        ks::test::AnswerModal<QMessageBox>([&message](QMessageBox* warning) {
            message = warning->text();
            warning->accept();
        });
        box->accept();
    });
    wizard.Click("btnTitelWijzigen");
    QVERIFY(message.startsWith(QStringLiteral("Dit bestand kan niet aangepast worden")));
    QVERIFY(message.contains(QStringLiteral("read-only")));
    QCOMPARE(wizard.Titles(), QStringList{QStringLiteral("Vast")});
    QCOMPARE(ks::test::ReadText(path), before);

    // A cancelled box changes nothing and asks nothing more. It has room for a
    // long title and for its caption.
    ks::test::AnswerModal<QInputDialog>([](QInputDialog* box) {
        const auto* field = box->findChild<QLineEdit*>();
        QCOMPARE(box->findChild<QLabel*>()->buddy(), field);
        QVERIFY(field->width() >= 50 * field->fontMetrics().averageCharWidth());
        QVERIFY(box->width() > box->fontMetrics().horizontalAdvance(box->windowTitle()) + 100);
        box->reject();
    });
    wizard.Click("btnTitelWijzigen");
    QCOMPARE(wizard.Titles(), QStringList{QStringLiteral("Vast")});
}

void TestDocumentPage::openingShowsOnlyAnExistingHtmlFile() {
    const std::string good = store_->Path("good/tree.htx");
    const std::string missing = store_->Path("missing/tree.htx");
    const std::string other = store_->Path("other/tree.htx");
    WriteHtx(good);
    ks::test::WriteText(store_->Path("good/index.htm"), "<html></html>");
    WriteHtx(missing);
    WriteHtx(other, {.htmFile = "tree.ksd"});
    ks::test::WriteText(store_->Path("other/tree.ksd"), "data");
    Wizard wizard;
    QList<QUrl> opened;
    wizard.window.DocumentPage()->SetUrlOpener([&opened](const QUrl& url) {
        opened << url;
        return true;
    });
    for (const std::string& path : {good, missing, other})
        QVERIFY(wizard.Add(path));
    for (int row = 0; row < 3; ++row) {
        wizard.List()->setCurrentRow(row);
        wizard.Click("btnOpenHTMLfile");
    }
    QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(
                         QString::fromStdString(store_->Path("good/index.htm")))});
}

void TestDocumentPage::theDescriptionFollowsTheCurrentRow_data() {
    QTest::addColumn<int>("key"); // 0: a click on the last row; -1: the move-down button
    QTest::addColumn<bool>("ctrl");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<int>("current");
    const QStringList unmoved{"A", "B", "C"}, moved{"B", "A", "C"};
    QTest::newRow("click") << 0 << false << unmoved << 2;
    QTest::newRow("Down") << int(Qt::Key_Down) << false << unmoved << 1;
    QTest::newRow("move button") << -1 << false << moved << 1;
    QTest::newRow("Ctrl+Down") << int(Qt::Key_Down) << true << moved << 1;
    QTest::newRow("Ctrl+Up at the top") << int(Qt::Key_Up) << true << unmoved << 0;
}

void TestDocumentPage::theDescriptionFollowsTheCurrentRow() {
    QFETCH(int, key);
    QFETCH(bool, ctrl);
    QFETCH(QStringList, titles);
    QFETCH(int, current);
    Wizard wizard;
    QCOMPARE(wizard.AddDescribed(store_->Path(""), {"A", "B", "C"}).size(), std::size_t(3));
    wizard.Select(0);
    QVERIFY(wizard.Description().endsWith(QStringLiteral("omschrijving : over A")));
    wizard.List()->setFocus();
    if (key == 0)
        wizard.ClickRow(2);
    else if (key < 0)
        wizard.Click("btnMoveDown");
    else
        QTest::keyClick(wizard.List(), Qt::Key(key), ctrl ? Qt::ControlModifier : Qt::NoModifier);
    QCOMPARE(wizard.Titles(), titles);
    QCOMPARE(wizard.List()->currentRow(), current);
    QCOMPARE(wizard.List()->selectedItems().size(), 1);
    QVERIFY2(
        wizard.Description().endsWith(QStringLiteral("omschrijving : over ") + titles[current]),
        qPrintable(wizard.Description()));
    // The run set-up's list follows the rows.
    const ks::TKSdocumentList& documents = wizard.window.RunSetup().Documents;
    QCOMPARE(documents.Count(), static_cast<std::size_t>(titles.size()));
    for (int i = 0; i < titles.size(); ++i)
        QCOMPARE(QString::fromStdString(documents.Document(i).Title), titles[i]);
}

void TestDocumentPage::severalSelectedRowsAreRemovedAtOnce_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Delete") << "Delete";
    QTest::newRow("button") << "btnWisHTMLfile";
}

void TestDocumentPage::severalSelectedRowsAreRemovedAtOnce() {
    QFETCH(QString, how);
    Wizard wizard;
    const auto paths = wizard.AddDescribed(store_->Path(""), {"A", "B", "C", "D", "E"});
    QCOMPARE(paths.size(), std::size_t(5));
    wizard.ClickRow(1);
    wizard.ClickRow(3, Qt::ControlModifier);
    wizard.ClickRow(4, Qt::ControlModifier);
    QCOMPARE(wizard.List()->selectedItems().size(), 3);
    wizard.List()->setFocus();
    if (how == QLatin1String("Delete"))
        QTest::keyClick(wizard.List(), Qt::Key_Delete);
    else
        wizard.Click(how.toLatin1().constData());
    QCOMPARE(wizard.Titles(), (QStringList{"A", "C"}));
    // The line that took the place of the first one removed is current.
    QCOMPARE(wizard.List()->currentRow(), 1);
    QVERIFY(wizard.Description().endsWith(QStringLiteral("omschrijving : over C")));
    QCOMPARE(wizard.Count(), QStringLiteral("2 documenten, 2 gekozen"));
    const ks::TKSdocumentList& documents = wizard.window.RunSetup().Documents;
    QCOMPARE(documents.Count(), std::size_t(2));
    QCOMPARE(documents.Document(1).FileName, paths[2]);
    for (const std::string& path : paths)
        QVERIFY(std::filesystem::exists(path)); // only lines go, never files
}

void TestDocumentPage::oneDocumentIsAddedThroughTheChooser() {
    const std::string good = store_->Path("tree one/stamboom.htx");
    const std::string layout = store_->Path("layout.htx");
    WriteHtx(good, {.title = "Een", .description = "gekozen"});
    WriteHtx(layout, {.type = "ksl"});
    Wizard wizard;
    TKSdocumentPage* page = wizard.window.DocumentPage();
    // With no line the chooser opens in the home folder, not where the program runs.
    const std::string home = ks::WithSlash(QDir::homePath().toStdString());
    QCOMPARE(page->DocumentChooserFolder(), home);
    QVERIFY(!wizard.Button("btnVolgende")->isEnabled());

    QVERIFY(page->AddChosenDocument(good));
    QCOMPARE(wizard.Titles(), QStringList{"Een"});
    QCOMPARE(wizard.List()->currentRow(), 0);
    QVERIFY(wizard.Description().endsWith(QStringLiteral("omschrijving : gekozen")));
    QVERIFY(wizard.Button("btnVolgende")->isEnabled());
    QCOMPARE(page->DocumentChooserFolder(), store_->Path("tree one/"));
    QVERIFY(!page->AddChosenDocument(good)); // listed already: no second line, no question
    QCOMPARE(wizard.List()->count(), 1);

    // A file that is no index document is refused with a word why.
    for (const std::string& refused : {layout, store_->Path("missing.htx")}) {
        QString message;
        ks::test::AnswerModal<QMessageBox>([&message](QMessageBox* box) {
            message = box->text();
            box->accept();
        });
        QVERIFY(!page->AddChosenDocument(refused));
        QCOMPARE(message,
                 QStringLiteral("Dit is geen indexdocument\n\n") + QString::fromStdString(refused));
    }
    QCOMPARE(wizard.List()->count(), 1);
    QCOMPARE(wizard.window.RunSetup().Documents.Count(), std::size_t(1));

    // The folder of a document since removed is no place to start.
    std::filesystem::remove_all(store_->Path("tree one"));
    QCOMPARE(page->DocumentChooserFolder(), home);
}

// Answers the import box of each of count name lists in turn, then the box
// that reports what the imports did.
static void AnswerImports(int count, std::function<void(ks::app::TKSimportDialog*)> each,
                          std::function<void(QMessageBox*)> report) {
    if (count == 0) {
        ks::test::AnswerModal<QMessageBox>(report);
        return;
    }
    ks::test::AnswerModal<ks::app::TKSimportDialog>([=](ks::app::TKSimportDialog* box) {
        each(box);
        AnswerImports(count - 1, each, report);
        box->accept();
    });
}

void TestDocumentPage::nameListsFoundAreImportedWhenTheUserAgrees() {
    const std::string root = store_->Path("named/");
    WriteHtx(root + "a.htx", {.title = "A"});
    ks::test::WriteText(root + "site/gendex.txt", "p1.htm|Berg|Jan /van den Berg/|1800||1870||\n");
    ks::test::WriteText(root + "tree/family.ged", "0 HEAD\n1 CHAR UTF-8\n0 @I7@ INDI\n1 NAME Piet "
                                                  "/Smit/\n1 DEAT\n2 DATE 1901\n0 TRLR\n");
    ks::test::WriteText(root + "other/gendex.txt", "no name list here\n");
    Wizard wizard;
    wizard.browser.answer = root;
    QString question, pattern, refusal;
    int patterns = 0, ages = 0, utf8 = 0;
    // Asked once for all; then for each name list its start page and living
    // age, and the link pattern of the GEDCOM file (written in Windows-1252);
    // then what each import did and why one could not be imported.
    const auto answer = [&](ks::app::TKSimportDialog* input) {
        auto* age = input->findChild<QSpinBox*>(QStringLiteral("spnLivingAge"));
        ages += age != nullptr && age->value() == 100;
        auto* old = input->findChild<QCheckBox*>(QStringLiteral("chkWindows1252"));
        utf8 += old != nullptr && !old->isChecked();
        if (auto* link = input->findChild<QLineEdit*>(QStringLiteral("edtLinkPattern"))) {
            ++patterns;
            old->setChecked(true);
            pattern = link->text();
            QVERIFY(link->placeholderText().contains(QStringLiteral("{id}")));
            link->setText(QStringLiteral("https://ex.org/p?id={id}"));
            input->findChild<QLineEdit*>(QStringLiteral("edtStartPage"))
                ->setText(QStringLiteral("start.htm"));
        }
    };
    ks::test::AnswerModal<QMessageBox>([&](QMessageBox* box) {
        question = box->text();
        AnswerImports(3, answer, [&](QMessageBox* warning) {
            refusal = warning->text();
            warning->accept();
        });
        box->button(QMessageBox::Yes)->click();
    });
    wizard.Click("btnDirSearch");
    QVERIFY(question.startsWith(QStringLiteral("3 naamlijsten van andere programma's gevonden")));
    QVERIFY(question.endsWith(QString::fromStdString("\n" + root + "tree/family.ged")));
    QCOMPARE(patterns, 1);
    QCOMPARE(ages, 3);
    QCOMPARE(utf8, 3);
    QVERIFY(ks::test::ReadText(root + "site/gendex.htx").find("\r\ncharset=utf-8\r\n") !=
            std::string::npos);
    QVERIFY(ks::test::ReadText(root + "tree/family.htx").find("\r\ncharset=windows-1252\r\n") !=
            std::string::npos);
    QVERIFY(ks::test::ReadText(root + "tree/family.htx").find("charset=utf-8") ==
            std::string::npos);
    QVERIFY(pattern.isEmpty());
    QVERIFY(refusal.contains(QString::fromStdString(root + "other/gendex.txt: ")));
    // Each import's report, before the refusal.
    QVERIFY(refusal.startsWith(QStringLiteral("Ge\u00EFmporteerd:\n")));
    QVERIFY(refusal.contains(QString::fromStdString(root + "tree/family.ged") +
                             QStringLiteral("\n    1 persoon gelezen, 1 geschreven, 0 "
                                            "weggelaten als mogelijk levend, 0 als priv\u00E9")));
    QVERIFY(ks::test::ReadText(root + "tree/family.htx").find("\r\nhtmfile=start.htm\r\n") !=
            std::string::npos);
    // The imported documents join the list ticked, beside their sources.
    QCOMPARE(wizard.Titles(), (QStringList{"A", "site", "tree"}));
    QCOMPARE(wizard.Ticks(), (std::vector<bool>{true, true, true}));
    const ks::TKSdocumentList& documents = wizard.window.RunSetup().Documents;
    QCOMPARE(documents.Document(1).FileName, root + "site/gendex.htx");
    QVERIFY(ks::test::ReadText(root + "site/gendex.htx").find("\tBerg, van den\tJan\t") !=
            std::string::npos);
    QVERIFY(ks::test::ReadText(root + "tree/family.htx").find("https://ex.org/p?id=I7") !=
            std::string::npos);
    QCOMPARE(wizard.Count(), QStringLiteral("3 documenten, 3 gekozen"));

    // Declined: nothing is imported, nothing more is asked.
    std::filesystem::remove(root + "site/gendex.htx");
    question.clear();
    ks::test::AnswerModal<QMessageBox>([&](QMessageBox* box) {
        question = box->text();
        box->button(QMessageBox::No)->click();
    });
    wizard.Click("btnDirSearch");
    // The GEDCOM file imported since it changed is not offered again.
    QVERIFY(question.startsWith(QStringLiteral("2 naamlijsten")));
    QVERIFY(!std::filesystem::exists(root + "site/gendex.htx"));

    // Imported again, a listed document keeps its line.
    ks::test::AnswerModal<QMessageBox>([&](QMessageBox* box) {
        AnswerImports(2, answer, [](QMessageBox* warning) { warning->accept(); });
        box->button(QMessageBox::Yes)->click();
    });
    wizard.Click("btnDirSearch");
    QVERIFY(std::filesystem::exists(root + "site/gendex.htx"));
    QCOMPARE(wizard.Titles(), (QStringList{"A", "site", "tree"}));
    QCOMPARE(wizard.List()->currentRow(), 1);

    // Retitled, given a web address and changed since: the box offers what
    // was given last time, and the tree keeps its title and address.
    ks::RetitleDocument(root + "tree/family.htx", "Smit");
    wizard.List()->setCurrentRow(2);
    QTest::keyClicks(wizard.window.findChild<QLineEdit*>("txtWebadres"), "https://ex.org/smit");
    std::filesystem::last_write_time(root + "tree/family.ged",
                                     std::filesystem::file_time_type::clock::now() +
                                         std::chrono::seconds(5));
    QStringList offered;
    bool keptOld = false;
    ks::test::AnswerModal<QMessageBox>([&](QMessageBox* box) {
        AnswerImports(
            2, // and the file that is no name list
            [&](TKSimportDialog* input) {
                if (!input->findChild<QLineEdit*>(QStringLiteral("edtLinkPattern"))) return;
                for (const char* name : {"edtTitle", "edtLinkPattern", "edtStartPage"})
                    offered << input->findChild<QLineEdit*>(QString::fromLatin1(name))->text();
                keptOld =
                    input->findChild<QCheckBox*>(QStringLiteral("chkWindows1252"))->isChecked();
            },
            [](QMessageBox* report) { report->accept(); });
        box->button(QMessageBox::Yes)->click();
    });
    wizard.Click("btnDirSearch");
    QCOMPARE(offered, (QStringList{"Smit", "https://ex.org/p?id={id}", "start.htm"}));
    QVERIFY(keptOld);
    QCOMPARE(wizard.Titles(), (QStringList{"A", "site", "Smit"}));
    QCOMPARE(documents.WebAddress(2), std::string("https://ex.org/smit"));
}

// A new user's keys on the first start: Alt+V to the documents, Alt+M to
// search a folder with a GEDCOM file, Enter to import it and Enter in the
// import box. The box holds no pattern, only its example as a hint, so Enter
// imports nothing: OK stays off until the pattern names a field of the person.
void TestDocumentPage::theFirstStartsKeysPublishNoExampleLinks() {
    const std::string root = store_->Path("trees/");
    ks::test::WriteText(root + "tree/family.ged", "0 HEAD\n1 CHAR UTF-8\n0 @I7@ INDI\n1 NAME Piet "
                                                  "/Smit/\n1 DEAT\n2 DATE 1901\n0 TRLR\n");
    ks::test::ShownWizard wizard;
    FakeBrowser browser;
    browser.answer = root;
    wizard.window.DocumentPage()->SetFolderBrowser(&browser);
    wizard.window.activateWindow(); // the keys reach the mnemonics of the active window only
    QVERIFY(QTest::qWaitForWindowActive(&wizard.window));
    QString hint, typed;
    bool stayed = false, asked = false;
    QList<bool> okFor;
    const auto answerBox = [&](TKSimportDialog* box) {
        auto* link = box->findChild<QLineEdit*>(QStringLiteral("edtLinkPattern"));
        hint = link->placeholderText();
        typed = link->text();
        asked = true;
        QTest::keyClick(box->focusWidget() ? box->focusWidget() : box, Qt::Key_Return);
        stayed = box->isVisible();
        if (!stayed) { // imported: its report follows
            ks::test::AnswerModal<QMessageBox>([](QMessageBox* report) { report->accept(); });
            return;
        }
        QPushButton* ok = box->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
        for (const char* pattern : {"https://ex.org/p.htm", "p{ID}.htm", "{id", "p.htm?id={id}",
                                    "{surname}.htm", "t/{given}", ""}) {
            link->setText(QString::fromLatin1(pattern));
            okFor << ok->isEnabled();
        }
        QTest::keyClick(box, Qt::Key_Escape);
    };
    ks::test::AnswerModal<QMessageBox>([&](QMessageBox* question) {
        ks::test::AnswerModal<TKSimportDialog>(answerBox);
        QTest::keyClick(question, Qt::Key_Return);
    });
    QTest::keyClick(&wizard.window, Qt::Key_V, Qt::AltModifier);
    // A mnemonic clicks its button a moment later.
    QTRY_COMPARE(wizard.window.ActivePageIndex(), int(TwzrdHTMLverzamelIndex::kDocumenten));
    QTest::keyClick(&wizard.window, Qt::Key_M, Qt::AltModifier);
    QTRY_VERIFY(asked);
    // No document was made, so none links to the example.
    QVERIFY(!std::filesystem::exists(root + "tree/family.htx"));
    QCOMPARE(wizard.window.findChild<QListWidget*>("HTXbestanden")->count(), 0);
    QCOMPARE(typed, QString());
    QCOMPARE(hint, QStringLiteral("https://example.org/tree/individual.php?pid={id}"));
    QVERIFY(stayed);
    QCOMPARE(okFor, (QList<bool>{false, false, false, true, true, true, false}));
}

QTEST_MAIN(TestDocumentPage)
#include "KSdocumentPage_test.moc"
