// The layout, settings and progress pages and a generation run started from
// the wizard: what a first start shows, the division list by size, the split
// boxes of another layout, a whole run compared with the command-line tool
// (also two runs in a row from one window), and Annuleren during a run.
#include "../support/ScopedEnv.h"
#include "WizardTestKit.h"

#include "app/KSHTMLverzamelIndex.h"
#include "app/KSdocumentPage.h"
#include "app/KSexplanationPage.h"
#include "app/KSlayoutPage.h"
#include "app/KSprogressPage.h"
#include "app/KSpublishDialog.h"
#include "app/KSsettingsPage.h"
#include "builder/run/KSdocumentStore.h"
#include "common/KScommon.h"
#include "common/KSini.h"
#include "index/KSksl.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <regex>
#include <set>
#include <sys/file.h>
#include <unistd.h>

using namespace ks::app;
using ks::test::PrivateStore;

namespace {

namespace fs = std::filesystem;

const std::string kSamples = KS_SOURCE_SAMPLES_DIR;

class Wizard : public ks::test::ShownWizard {
public:
    Wizard() {
        window.ProgressPage()->SetUrlOpener([this](const QUrl& url) {
            opened << url;
            return true;
        });
    }
    QStringList SplitBoxes() {
        QStringList names;
        for (QCheckBox* box : Find<QGroupBox>("grpIndex")->findChildren<QCheckBox*>())
            if (box->objectName().startsWith(QLatin1String("deletable")))
                names << box->objectName() + (box->isChecked() ? "+" : "-");
        names.sort();
        return names;
    }
    void SelectLayout(const QString& title) {
        QListWidget* list = Find<QListWidget>("lstOpmaak");
        list->setCurrentItem(list->findItems(title, Qt::MatchExactly).value(0));
    }
    void AddSamples() {
        for (const char* tree : {"jansen/jansen.htx", "deboer/deboer.htx", "smit/smit.htx"})
            QVERIFY(window.DocumentPage()->AddHTXfile(kSamples + tree));
        window.ShowPage(-1);
    }

    QList<QUrl> opened;
};

// Every file below folder with its contents, by relative path.
std::map<std::string, std::string> Tree(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), folder).string()] =
                ks::test::ReadText(entry.path().string());
    // The digest of the persons names the time of its run: its hashes count.
    if (auto digest = files.find(".kestrin-digest"); digest != files.end())
        digest->second.erase(0, digest->second.find('\n'));
    // Each site's feed has an id of its own, and its runs their times.
    const std::regex own("urn:uuid:[0-9a-f-]{36}|\\d{4}-\\d\\d-\\d\\dT[0-9:]{8}Z|run\\t\\d+\\t");
    for (const char* feed : {".kestrin-feed", "feed.xml"})
        if (auto file = files.find(feed); file != files.end())
            file->second = std::regex_replace(file->second, own, "(own)");
    if (auto record = files.find(".kestrin-written"); record != files.end())
        record->second = std::regex_replace(
            record->second, std::regex("\\d+\\t[0-9a-f]{16}\\tfeed\\.xml"), "(own)\\tfeed.xml");
    return files;
}

} // namespace

class TestWizardRun : public ks::test::WizardTestCase {
    Q_OBJECT

private slots:
    void firstStartShowsTheDefaults();
    void explanationCanBeSkippedAndMayBeMissing();
    void divisionListFollowsTheSizeAndStoredChoices();
    void splitBoxesFollowTheLayout();
    void typedLettersTheOutputLacksAreNoted();
    void everyControlHasKeysOfItsOwnAndAHint();
    void runWritesWhatTheCommandLineToolWrites();
    void twoRunsInARowWriteWhatTwoToolRunsWrite();
    void buttonsDuringARunStopIt_data();
    void buttonsDuringARunStopIt();
    void problemsBeforeTheRunAppearInTheRows();
    void runProblemsSpeakTheWindowsLanguage_data();
    void runProblemsSpeakTheWindowsLanguage();
    void progressRowsShowMissingFilesAndGoAgain();
    void progressPageShowsTheRunsWarnings();
    void theUsersOwnPageGoesToTheTrash();
    void publishSendsWhatChangedAndRemembersWhere();
    void anAddressWithoutACopyStopsTheRunBeforeItWrites();
};

void TestWizardRun::firstStartShowsTheDefaults() {
    Wizard wizard;
    QCOMPARE(wizard.window.ActivePageIndex(), int(TwzrdHTMLverzamelIndex::kUitleg));
    QCOMPARE(wizard.Find<QLineEdit>("txtBasisnaam")->text(), QStringLiteral("KESTRIN-Index"));
    QCOMPARE(wizard.Find<QLineEdit>("txtOpslagMap")->text(), QString());
    QCOMPARE(wizard.Find<QComboBox>("cboIndextype")->currentIndex(), 0);
    // The layouts by title, the first selected, with its description and picture.
    QListWidget* layouts = wizard.Find<QListWidget>("lstOpmaak");
    QCOMPARE(layouts->count(), 3);
    QCOMPARE(layouts->currentRow(), 0);
    QVERIFY(!wizard.Find<QLabel>("lblBeschrijving")->text().isEmpty());
    QVERIFY(wizard.window.Page(TwzrdHTMLverzamelIndex::kVoortgang)
                ->HelpKeyword()
                .endsWith(QLatin1String("preview.jpg")));
    const QStringList boxes = wizard.SplitBoxes();
    QVERIFY(!boxes.isEmpty());
    for (const QString& box : boxes)
        QVERIFY2(box.endsWith(QLatin1Char('+')), qPrintable(box)); // split unless told not to
    // Without an output folder the settings page blocks Volgende.
    wizard.window.ShowPage(TwzrdHTMLverzamelIndex::kInstellingen);
    QVERIFY(!wizard.Find<QPushButton>("btnVolgende")->isEnabled());
    wizard.window.RunSetup().OutputFolder = store_->Path("");
    wizard.window.ShowPage(-1);
    QVERIFY(wizard.Find<QPushButton>("btnVolgende")->isEnabled());
    for (const char* bad : {"a/b", "a\\b", "x*", "y?", "..z"}) {
        wizard.Find<QLineEdit>("txtBasisnaam")->setText(QString::fromLatin1(bad));
        QVERIFY2(!wizard.Find<QPushButton>("btnVolgende")->isEnabled(), bad);
    }
    wizard.Find<QLineEdit>("txtBasisnaam")->setText(QString());
    QVERIFY(!wizard.Find<QPushButton>("btnVolgende")->isEnabled());
    wizard.Find<QLineEdit>("txtBasisnaam")->setText(QStringLiteral("i"));
    QVERIFY(wizard.Find<QPushButton>("btnVolgende")->isEnabled());
}

void TestWizardRun::explanationCanBeSkippedAndMayBeMissing() {
    {
        Wizard wizard;
        QTextBrowser* text = wizard.Find<QTextBrowser>("RichEdit1");
        QVERIFY(text->toPlainText().contains(QLatin1String("HTML verzamelindex")));
        wizard.Find<QCheckBox>("chkUitlegOverslaan")->setChecked(true);
        wizard.window.btnCancelClick();
    }
    Wizard wizard;
    QCOMPARE(wizard.window.ActivePageIndex(), int(TwzrdHTMLverzamelIndex::kDocumenten));
    auto* page = static_cast<TKSexplanationPage*>(wizard.window.Page(0));
    page->LoadExplanation(store_->Path("missing.rtf"));
    QCOMPARE(wizard.Find<QTextBrowser>("RichEdit1")->toPlainText(), QString());
}

void TestWizardRun::divisionListFollowsTheSizeAndStoredChoices() {
    {
        ks::TKSreg key(TwzrdHTMLverzamelIndex::SettingsKey());
        key.WriteString("IndexType", "5"); // a sixth entry chosen with more documents
    }
    Wizard wizard;
    QComboBox* division = wizard.Find<QComboBox>("cboIndextype");
    QCOMPARE(division->count(), 4);
    QCOMPARE(division->currentIndex(), 0); // the stored sixth falls back to the first
    // The automatic division comes last, so that stored positions keep their meaning.
    const QString automatic = QStringLiteral("automatisch: de minste pagina's onder 2 MB");
    QCOMPARE(division->itemText(3), automatic);

    TKSsettingsPage* page = wizard.window.SettingsPage();
    const ks::TKSkslData* layout = wizard.window.LayoutPage()->SelectedLayout();
    page->MaakInstellingenScherm(layout, 20000000, wizard.window.StateKey);
    QCOMPARE(division->count(), 6);
    QCOMPARE(division->itemText(4), QStringLiteral("in circa 250 delen"));
    division->setCurrentIndex(4);
    page->MaakInstellingenScherm(layout, 50000001, wizard.window.StateKey);
    QCOMPARE(division->count(), 7);
    QCOMPARE(division->currentIndex(), 4); // the choice is kept while it exists
    division->setCurrentIndex(5);
    page->MaakInstellingenScherm(layout, 5000000, wizard.window.StateKey);
    QCOMPARE(division->count(), 4);
    QCOMPARE(division->currentIndex(), 2); // else the largest division into parts
    // The automatic division stays chosen whatever else the size offers, and
    // reaches the run.
    division->setCurrentIndex(3);
    page->MaakInstellingenScherm(layout, 60000000, wizard.window.StateKey);
    QCOMPARE(division->currentText(), automatic);
    page->ApplyTo(wizard.window.RunSetup());
    QCOMPARE(int(wizard.window.RunSetup().IndexType), int(ks::TKSindexType::Auto));
    division->setCurrentIndex(0);
    page->ApplyTo(wizard.window.RunSetup());
    QCOMPARE(int(wizard.window.RunSetup().IndexType), int(ks::TKSindexType::NotChosen));

    // Years in the index exclude ignoring years for duplicates.
    QCheckBox* years = wizard.Find<QCheckBox>("chkIndexMetJaartallen");
    QCheckBox* ignore = wizard.Find<QCheckBox>("chkDubbelZonderJaartallen");
    years->setChecked(false);
    ignore->setChecked(true);
    years->setChecked(true);
    QVERIFY(!ignore->isChecked() && !ignore->isEnabled());
}

void TestWizardRun::splitBoxesFollowTheLayout() {
    Wizard wizard;
    wizard.window.RunSetup().OutputFolder = store_->Path("");
    wizard.SelectLayout(QStringLiteral("Twee vensters (klassiek)"));
    wizard.window.ShowPage(TwzrdHTMLverzamelIndex::kStijl);
    wizard.window.btnVolgendeClick();
    QCOMPARE(wizard.window.ActivePageIndex(), int(TwzrdHTMLverzamelIndex::kInstellingen));
    const QStringList classic = wizard.SplitBoxes();
    QCOMPARE(classic.size(), 2);
    QCheckBox* first = wizard.Find<QCheckBox>(qPrintable(classic[0].chopped(1)));
    QVERIFY(first->text().startsWith(QLatin1String("Scherm \"")));
    first->setChecked(false); // not split: saved by Vorige, restored after the rebuild
    const ks::TKSkslData* own = wizard.window.RunSetup().Layout();
    QCOMPARE(own->Item(first->property("tag").toInt())->Split, false);
    wizard.window.btnVorigeClick();

    // A layout without outputs that can be split: no boxes, no division.
    wizard.SelectLayout(QStringLiteral("Overzicht in \u00E9\u00E9n bestand (compact)"));
    QVERIFY(wizard.window.LayoutPage()->SelectedLayout()->Title.find("compact") !=
            std::string::npos);
    wizard.window.btnVolgendeClick();
    QCOMPARE(wizard.SplitBoxes(), QStringList());
    QVERIFY(!wizard.Find<QComboBox>("cboIndextype")->isVisibleTo(&wizard.window));
    QCOMPARE(wizard.Find<QComboBox>("cboIndextype")->currentIndex(), 0);
    wizard.window.btnVorigeClick();
    wizard.SelectLayout(QStringLiteral("Twee vensters (klassiek)"));
    wizard.window.btnVolgendeClick();
    QStringList expected = classic;
    expected[0] = expected[0].chopped(1) + "-";
    QCOMPARE(wizard.SplitBoxes(), expected);
    QVERIFY(wizard.Find<QComboBox>("cboIndextype")->isEnabled()); // the other is split
}

// Under a field whose letters Windows-1252 lacks, the wizard shows how it will
// be written, unless the layout writes its pages in UTF-8 (which show the text
// as typed); the run set-up gets the nearest letters and the typed text.
void TestWizardRun::typedLettersTheOutputLacksAreNoted() {
    Wizard wizard;
    wizard.SelectLayout(QStringLiteral("Twee vensters (klassiek)"));
    wizard.window.RunSetup().OutputFolder = store_->Path("");
    wizard.window.ShowPage(TwzrdHTMLverzamelIndex::kInstellingen);
    // The shipped layouts write UTF-8; the set-up's copy is made to write
    // Windows-1252 first.
    ks::TKSkslData* layout = wizard.window.RunSetup().Layout();
    QVERIFY(layout != nullptr && layout->Utf8Pages());
    layout->Charset = "windows-1252";
    QLineEdit* title = wizard.Find<QLineEdit>("txtRapportTitel");
    QLabel* note = wizard.Find<QLabel>("lblRapportTitelNoot");
    QVERIFY(title->isVisibleTo(&wizard.window));
    title->setText(QStringLiteral("Caf\u00E9 \u0160ablona")); // the code page has both
    QVERIFY(!note->isVisibleTo(&wizard.window));
    title->setText(QStringLiteral("Drzewa \u0141\u00F3d\u017A"));
    QVERIFY(note->isVisibleTo(&wizard.window));
    QVERIFY2(note->text().endsWith(QStringLiteral("Drzewa L\u00F3dz")), qPrintable(note->text()));
    QVERIFY(!wizard.Find<QLabel>("lblEmailNoot")->isVisibleTo(&wizard.window));
    wizard.window.SettingsPage()->ApplyTo(wizard.window.RunSetup());
    QCOMPARE(wizard.window.RunSetup().Title, std::string("Drzewa L\xF3"
                                                         "dz"));
    QCOMPARE(wizard.window.RunSetup().TypedTitle, std::string("Drzewa \xC5\x81\xC3\xB3"
                                                              "d\xC5\xBA"));
    title->setText(QStringLiteral("Drzewa"));
    QVERIFY(!note->isVisibleTo(&wizard.window));
    wizard.window.SettingsPage()->ApplyTo(wizard.window.RunSetup());
    QCOMPARE(wizard.window.RunSetup().TypedTitle, std::string());

    layout->Charset = "utf-8";
    title->setText(QStringLiteral("Drzewa \u0141\u00F3d\u017A"));
    QVERIFY(!note->isVisibleTo(&wizard.window));
}

// Every page as it shows with every layout, in both languages: each button,
// check box and field of the page and of the button row has keys of its own,
// and every control, the split boxes of each layout included, a hint.
void TestWizardRun::everyControlHasKeysOfItsOwnAndAHint() {
    struct Restore {
        ~Restore() { ks::Environment().SetUiLanguage("NL"); }
    } restore;
    for (const char* language : {"NL", "GB"}) {
        ks::Environment().SetUiLanguage(language);
        Wizard wizard;
        wizard.window.RunSetup().OutputFolder = store_->Path("");
        QListWidget* layouts = wizard.Find<QListWidget>("lstOpmaak");
        QVERIFY(layouts->count() >= 2);
        int hinted = 0;
        for (int layout = 0; layout < layouts->count(); ++layout) {
            layouts->setCurrentRow(layout);
            for (int page = 0; page < wizard.window.PageCount(); ++page) {
                wizard.window.ShowPage(page);
                const auto labels = wizard.window.Page(page)->findChildren<QLabel*>();
                QMap<QKeySequence, QString> owners;
                for (QWidget* w : wizard.window.findChildren<QWidget*>()) {
                    const bool labelled = std::ranges::any_of(
                        labels, [w](const QLabel* l) { return l->buddy() == w; });
                    auto* label = qobject_cast<QLabel*>(w);
                    auto* button = qobject_cast<QAbstractButton*>(w);
                    if (!w->isVisibleTo(&wizard.window) || (label && !label->buddy())) continue;
                    if (labelled || (!label && !button)) { // a field: its label's keys reach it
                        QVERIFY2(labelled ||
                                     !(qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w)),
                                 qPrintable(w->objectName()));
                        continue;
                    }
                    const QKeySequence keys =
                        label ? QKeySequence::mnemonic(label->text()) : button->shortcut();
                    const QString where = w->objectName() + ' ' + owners.value(keys);
                    QVERIFY2(!keys.isEmpty() && !owners.contains(keys),
                             qPrintable(language + QString::number(page) + ' ' + where));
                    owners.insert(keys, w->objectName());
                }
            }
            for (QWidget* w : wizard.window.findChildren<QWidget*>()) {
                if (w->objectName().isEmpty() ||
                    !(qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
                      qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractItemView*>(w) ||
                      qobject_cast<QTextEdit*>(w)))
                    continue;
                ++hinted;
                QVERIFY2(!w->toolTip().isEmpty() && !w->toolTip().startsWith('#'),
                         qPrintable(language + (' ' + w->objectName())));
            }
        }
        QVERIFY(hinted > 20);
    }
}

void TestWizardRun::runWritesWhatTheCommandLineToolWrites() {
    const std::string wizardOut = store_->Path("out/wizard/");
    const std::string cliOut = store_->Path("out/cli/");
    fs::create_directories(wizardOut);
    {
        Wizard wizard;
        wizard.AddSamples();
        wizard.window.RunSetup().OutputFolder = wizardOut;
        wizard.SelectLayout(QStringLiteral("Twee vensters (klassiek)"));
        wizard.window.MaakInstellingenScherm();
        wizard.Find<QLineEdit>("txtBasisnaam")->setText(QStringLiteral("index"));
        wizard.Find<QCheckBox>("chkIndexMetJaartallen")->setChecked(true);
        wizard.Find<QLineEdit>("txtRapportTitel")->setText(QStringLiteral("Stambomen"));
        wizard.Find<QLineEdit>("txtEmail")->setText(QStringLiteral("info@example.org"));
        wizard.Find<QComboBox>("cboIndextype")->setCurrentIndex(1);
        wizard.Find<QCheckBox>("chkOpenen")->setChecked(true);
        wizard.window.ShowPage(TwzrdHTMLverzamelIndex::kDocumenten);
        wizard.window.FinishOnLastPageOnly = false;
        wizard.window.ShowPage(-1);
        QVERIFY(wizard.Find<QPushButton>("btnFinish")->isEnabled());
        wizard.window.btnFinishClick(); // runs at once, the window stays open
        QCOMPARE(wizard.window.ActivePageIndex(), int(TwzrdHTMLverzamelIndex::kVoortgang));
        QVERIFY(wizard.window.isVisible());
        QVERIFY(!wizard.window.Busy);
        QVERIFY(wizard.window.ProgressPage()->ResultEnabled());
        QCOMPARE(wizard.opened.size(), 1); // opened by itself
        QCOMPARE(wizard.opened[0].toLocalFile(), wizard.window.ProgressPage()->ResultPath());
        QVERIFY(wizard.window.ProgressPage()->ResultPath().startsWith(
            QString::fromStdString(wizardOut) + "index"));
        QVERIFY(wizard.Find<QProgressBar>("ProgressBarTemp2")->isVisible());
        // A finished run shows every row's bar full, estimated ranges included.
        for (const QProgressBar* bar : wizard.window.ProgressPage()->findChildren<QProgressBar*>())
            QVERIFY2(bar->value() == bar->maximum(), qPrintable(bar->objectName()));
        QVERIFY(!wizard.Find<QGroupBox>("grpWaarschuwingen")->isVisible()); // nothing to say
    }
    QProcess cli;
    cli.start(QStringLiteral(KS_CLI_PATH),
              {"build", "-q", "--language=NL", "-l", "Twee vensters (klassiek)", "-o",
               QString::fromStdString(cliOut), "-b", "index", "-i", "2", "--years", "--title",
               "Stambomen", "--email", "info@example.org",
               QString::fromStdString(kSamples + "jansen/jansen.htx"),
               QString::fromStdString(kSamples + "deboer/deboer.htx"),
               QString::fromStdString(kSamples + "smit/smit.htx")});
    QVERIFY(cli.waitForFinished(60000));
    QVERIFY2(cli.exitCode() == 0, cli.readAllStandardError().constData());
    const auto fromWizard = Tree(wizardOut);
    const auto fromCli = Tree(cliOut);
    QVERIFY(fromWizard.size() > 3);
    QCOMPARE(fromWizard.size(), fromCli.size());
    for (const auto& [name, bytes] : fromCli) {
        QVERIFY2(fromWizard.count(name) == 1, name.c_str());
        QVERIFY2(fromWizard.at(name) == bytes, name.c_str());
    }
}

// The second run of a window starts from its settings, not from what the
// first left in the documents and the layout: it has another base name, a
// division with fewer pages and no years, and writes what the tool writes.
void TestWizardRun::twoRunsInARowWriteWhatTwoToolRunsWrite() {
    struct Run {
        std::string folder, base;
        int division; // the row of the division list; the tool's -i is one more
        bool years;   // the second run has none, as the tool with --no-years
    };
    const std::vector<Run> runs = {{store_->Path("out/first/"), "index", 1, true},
                                   {store_->Path("out/second/"), "tweede", 0, false}};
    Wizard wizard;
    wizard.AddSamples();
    wizard.SelectLayout(QStringLiteral("Twee vensters (klassiek)"));
    wizard.window.RunSetup().OutputFolder = runs[0].folder;
    wizard.window.MaakInstellingenScherm();
    wizard.window.FinishOnLastPageOnly = false;
    for (const Run& run : runs) {
        fs::create_directories(run.folder);
        wizard.window.ShowPage(TwzrdHTMLverzamelIndex::kInstellingen);
        wizard.window.RunSetup().OutputFolder = run.folder;
        wizard.Find<QLineEdit>("txtBasisnaam")->setText(QString::fromStdString(run.base));
        wizard.Find<QCheckBox>("chkIndexMetJaartallen")->setChecked(run.years);
        wizard.Find<QComboBox>("cboIndextype")->setCurrentIndex(run.division);
        wizard.window.ShowPage(-1);
        wizard.window.btnFinishClick();
        QCOMPARE(wizard.window.ActivePageIndex(), int(TwzrdHTMLverzamelIndex::kVoortgang));
        QVERIFY(wizard.window.ProgressPage()->ResultEnabled());
    }
    // The first run matches the tool in runWritesWhatTheCommandLineToolWrites.
    const Run& run = runs.back();
    const std::string cliOut = store_->Path("out/second-cli/");
    QProcess cli;
    cli.start(QStringLiteral(KS_CLI_PATH),
              {"build", "-q", "--language=NL", "-l", "Twee vensters (klassiek)", "-o",
               QString::fromStdString(cliOut), "-b", QString::fromStdString(run.base), "-i",
               QString::number(run.division + 1), "--no-years",
               QString::fromStdString(kSamples + "jansen/jansen.htx"),
               QString::fromStdString(kSamples + "deboer/deboer.htx"),
               QString::fromStdString(kSamples + "smit/smit.htx")});
    QVERIFY(cli.waitForFinished(60000));
    QVERIFY2(cli.exitCode() == 0, cli.readAllStandardError().constData());
    const auto fromWizard = Tree(run.folder);
    QVERIFY(fromWizard.count(run.base + ".htm") == 1); // the start page of this run
    QVERIFY(fromWizard == Tree(cliOut));
}

void TestWizardRun::buttonsDuringARunStopIt_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("stillOpen");
    QTest::addColumn<int>("pageAfter");
    QTest::addColumn<int>("result");
    QTest::newRow("Annuleren") << "btnCancel" << false << -1 << int(QDialog::Rejected);
    QTest::newRow("Vorige") << "btnVorige" << true << int(TwzrdHTMLverzamelIndex::kInstellingen)
                            << -1;
    QTest::newRow("Gereed") << "btnFinish" << false << -1 << int(QDialog::Accepted);
}

// A button pressed during a run only asks it to stop; what the button does
// happens after the run has returned.
void TestWizardRun::buttonsDuringARunStopIt() {
    QFETCH(QString, button);
    QFETCH(bool, stillOpen);
    QFETCH(int, pageAfter);
    QFETCH(int, result);
    const std::string out = store_->Path("out/");
    Wizard wizard;
    wizard.AddSamples();
    wizard.window.RunSetup().OutputFolder = out;
    wizard.window.btnVolgendeClick();
    wizard.window.btnVolgendeClick();
    wizard.window.btnVolgendeClick();
    QCOMPARE(wizard.window.ActivePageIndex(), int(TwzrdHTMLverzamelIndex::kInstellingen));
    QTest::qWait(40); // so that the run's first breath hands the click over
    bool pressedWhileBusy = false;
    bool stillBusyAfterPress = false;
    QTimer::singleShot(0, &wizard.window, [&] {
        pressedWhileBusy = wizard.window.Busy;
        wizard.Find<QPushButton>(qPrintable(button))->click();
        stillBusyAfterPress = wizard.window.Busy && wizard.window.isVisible();
    });
    wizard.window.btnVolgendeClick(); // onto the progress page: the run starts
    QVERIFY(pressedWhileBusy);
    QVERIFY(stillBusyAfterPress);
    QVERIFY(!wizard.window.Busy);
    QCOMPARE(wizard.window.isVisible(), stillOpen);
    if (stillOpen) QCOMPARE(wizard.window.ActivePageIndex(), pageAfter);
    if (!stillOpen) QCOMPARE(wizard.window.result(), result);
    QVERIFY(wizard.opened.isEmpty());
    QCOMPARE(Tree(out).size(), std::size_t(0)); // stopped before its first step
    // The page says what happened (Vorige and Gereed clear it as they leave it).
    const QStringList summary = wizard.window.ProgressPage()->Summary();
    if (button == QLatin1String("btnCancel")) {
        QCOMPARE(summary.size(), 3);
        QCOMPARE(summary[0], QStringLiteral("De index is gestopt voordat hij klaar was."));
        QCOMPARE(summary[1], QStringLiteral("Er is niets half geschreven: de uitvoermap is zoals "
                                            "hij voor de index was."));
    }
    QVERIFY(wizard.window.ProgressPage()->StartPageText().isEmpty());
}

void TestWizardRun::problemsBeforeTheRunAppearInTheRows() {
    const std::string out = store_->Path("locked/");
    fs::create_directories(out);
    Wizard wizard;
    wizard.AddSamples();
    wizard.window.RunSetup().OutputFolder = out;
    ks::test::WriteText(out + "index.txt", "");
    wizard.Find<QLineEdit>("txtBasisnaam")->setText(QStringLiteral("../x"));
    wizard.window.BeginAanmaken(); // as if started with a base name the page refuses
    QVERIFY(!wizard.window.Busy);
    QLabel* problem = wizard.Find<QLabel>("lblFout");
    QVERIFY(problem != nullptr);
    QVERIFY2(problem->text().contains(QLatin1String("..")), qPrintable(problem->text()));
    QVERIFY(!wizard.window.ProgressPage()->ResultEnabled());
    QVERIFY(fs::exists(out + "index.txt"));
}

void TestWizardRun::runProblemsSpeakTheWindowsLanguage_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("cancel");
    QTest::addColumn<QString>("locked");   // %1: the output folder
    QTest::addColumn<QString>("baseName"); // %1: the layout file
    QTest::newRow("NL") << "NL"
                        << "&Annuleren"
                        << "er wordt al een andere verzamelindex in %1 geschreven"
                        << "%1: onderdeel start: de uitvoernaam ../x.htm wijst buiten de opslagmap";
    QTest::newRow("GB") << "GB"
                        << "&Cancel"
                        << "another run is writing into %1"
                        << "%1: entry start: the output name ../x.htm leaves the output folder";
}

// What goes wrong in a run is told in the words of the window, also when
// another run holds the output folder.
void TestWizardRun::runProblemsSpeakTheWindowsLanguage() {
    QFETCH(QString, language);
    QFETCH(QString, cancel);
    QFETCH(QString, locked);
    QFETCH(QString, baseName);
    ks::Environment().SetUiLanguage(language.toStdString());
    struct Restore {
        ~Restore() { ks::Environment().SetUiLanguage("NL"); }
    } restore;
    const std::string out = store_->Path("busy/");
    fs::create_directories(out);
    Wizard wizard;
    QCOMPARE(wizard.Find<QPushButton>("btnCancel")->text(), cancel);
    wizard.AddSamples();
    wizard.window.RunSetup().OutputFolder = out;
    {
        const int fd = ::open(out.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        QVERIFY(fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0);
        wizard.window.BeginAanmaken();
        ::close(fd);
    }
    QLabel* problem = wizard.Find<QLabel>("lblFout");
    QVERIFY(problem != nullptr);
    QCOMPARE(problem->text(), locked.arg(QString::fromStdString(out)));
    QVERIFY(!wizard.window.ProgressPage()->ResultEnabled());

    wizard.Find<QLineEdit>("txtBasisnaam")->setText(QStringLiteral("../x"));
    wizard.window.BeginAanmaken();
    problem = wizard.Find<QLabel>("lblFout");
    QVERIFY(problem != nullptr);
    QCOMPARE(problem->text(),
             baseName.arg(QString::fromStdString(wizard.window.RunSetup().Layout()->LayoutFile)));
}

void TestWizardRun::progressRowsShowMissingFilesAndGoAgain() {
    TKSprogressPage page;
    page.AddRow(-1, "samenvoegen indexen:").SetPosition(50);
    page.AddRow(0, "dubbelen zoeken:");
    page.AddRow(1, "Startpagina");
    page.AddRow(2, "Stijlblad");
    page.MissingFile(2, "bestand niet gevonden", "/layouts/gone.css");
    page.StepDuration(1, "00:00:01.250");
    page.Result("/out/index.htm", false);
    QLabel* missing = page.findChild<QLabel*>("lblNietGevonden");
    QVERIFY(missing != nullptr);
    QCOMPARE(missing->text(), QStringLiteral("bestand niet gevonden"));
    QCOMPARE(missing->toolTip(), QStringLiteral("/layouts/gone.css"));
    QVERIFY(missing->styleSheet().contains(QLatin1String("255, 255, 0")));
    QCOMPARE(page.findChild<QProgressBar*>("ProgressBarTemp1")->value(), 500);
    QVERIFY(!page.ResultEnabled());
    QCOMPARE(page.ResultPath(), QStringLiteral("/out/index.htm"));
    bool durationShown = false;
    for (QLabel* label : page.findChildren<QLabel*>())
        durationShown = durationShown || (label->text() == QLatin1String("Startpagina") &&
                                          label->toolTip() == QLatin1String("00:00:01.250"));
    QVERIFY(durationShown);

    page.WisVoortgang(); // the run's own rows go, the fixed ones hide
    QVERIFY(page.findChild<QLabel*>("lblNietGevonden") == nullptr);
    QCOMPARE(page.findChildren<QProgressBar*>().size(), 2);
    QVERIFY(page.findChild<QLabel*>("lblDubbelenZoeken")->isHidden());
    page.AddRow(1, "Startpagina"); // a second run builds its rows again
    QCOMPARE(page.findChildren<QProgressBar*>().size(), 3);
}

// A document saved as UTF-8: the run says so below its rows, in the
// window's language, and the list goes with the rows.
void TestWizardRun::progressPageShowsTheRunsWarnings() {
    const std::string utf8 = store_->Path("utf8/utf8.htx");
    fs::create_directories(store_->Path("utf8"));
    ks::test::WriteText(utf8, "[KESTRIN]\r\nversion=3.22\r\ntype=htx\r\nformat=1\r\n"
                              "[metadata]\r\ntitle=M\xC3\xBCller\r\n[indexdata]\r\n"
                              "M\tM\xC3\xBCller\tJan\t\t\t\t1\tq.htm#1\r\n");
    fs::create_directories(store_->Path("out"));
    Wizard wizard;
    wizard.AddSamples();
    QVERIFY(wizard.window.DocumentPage()->AddHTXfile(utf8));
    wizard.window.RunSetup().OutputFolder = store_->Path("out/");
    wizard.window.FinishOnLastPageOnly = false;
    wizard.window.ShowPage(TwzrdHTMLverzamelIndex::kDocumenten);
    wizard.window.btnFinishClick(); // runs at once
    QVERIFY(wizard.window.ProgressPage()->ResultEnabled());
    QGroupBox* group = wizard.Find<QGroupBox>("grpWaarschuwingen");
    QVERIFY(group->isVisible());
    QCOMPARE(group->title(), QStringLiteral("Waarschuwingen"));
    QCOMPARE(wizard.window.ProgressPage()->Warnings(),
             QStringList{QString::fromStdString(utf8) +
                         QStringLiteral(": lijkt UTF-8-tekst te zijn; indexdocumenten worden als "
                                        "Windows-1252 gelezen, dus de namen met accenten worden "
                                        "verkeerd getoond; charset=utf-8 in de sectie [KESTRIN] "
                                        "laat het als UTF-8 lezen")});
    // Above the warnings the run's figures, beside Openen the start page.
    const QString summary = wizard.window.ProgressPage()->Summary().join('|');
    QVERIFY2(QRegularExpression(QStringLiteral("^Indexregels gelezen: [1-9][0-9.]*\\|Namen na .+"
                                               "\\|Pagina's: .+ is de grootste pagina .+\\|Tijd: "))
                 .match(summary)
                 .hasMatch(),
             qPrintable(summary));
    QCOMPARE(wizard.window.ProgressPage()->StartPageText(),
             QStringLiteral("Startpagina: ") + wizard.window.ProgressPage()->ResultPath());
    wizard.window.btnVorigeClick();
    QVERIFY(wizard.window.ProgressPage()->Warnings().isEmpty());
    QVERIFY(wizard.window.ProgressPage()->Summary().isEmpty());
    QVERIFY(wizard.window.ProgressPage()->StartPageText().isEmpty());
    QVERIFY(!group->isVisibleTo(&wizard.window));
}

// The user's own index.htm where the index goes is moved to the trash and
// named with the warnings; a trash that cannot take it stops the run first.
void TestWizardRun::theUsersOwnPageGoesToTheTrash() {
    const std::string out = store_->Path("own/"), data = store_->Path("data/");
    fs::create_directories(out);
    fs::create_directories(data);
    ks::test::WriteText(out + "index.htm", "<p>mine</p>\r\n");
    ks::test::WriteText(data + "Trash", "a file where the trash should be");
    const ks::test::ScopedEnv trash("XDG_DATA_HOME", data);
    Wizard wizard;
    wizard.AddSamples();
    wizard.window.RunSetup().OutputFolder = out;
    wizard.window.MaakInstellingenScherm();
    wizard.Find<QLineEdit>("txtBasisnaam")->setText(QStringLiteral("index"));
    wizard.window.BeginAanmaken();
    QVERIFY(!wizard.window.ProgressPage()->ResultEnabled());
    QCOMPARE(wizard.Find<QLabel>("lblFout")->text(),
             QString::fromStdString(out + "index.htm: kan niet naar de prullenbak " + data +
                                    "Trash verplaatst worden: Not a directory"));
    QCOMPARE(ks::test::ReadText(out + "index.htm"), std::string("<p>mine</p>\r\n"));
    fs::remove(data + "Trash");
    wizard.window.BeginAanmaken();
    QVERIFY(wizard.window.ProgressPage()->ResultEnabled());
    QCOMPARE(ks::test::ReadText(data + "Trash/files/index.htm"), std::string("<p>mine</p>\r\n"));
    QVERIFY(ks::test::ReadText(data + "Trash/info/index.htm.trashinfo")
                .starts_with("[Trash Info]\nPath=" + out + "index.htm\nDeletionDate=20"));
    QCOMPARE(wizard.window.ProgressPage()->Warnings(),
             QStringList{QString::fromStdString(out + "index.htm: naar de prullenbak verplaatst")});
}

// Publiceren after a run copies the site to the destination typed, which the
// next opening offers again; a second publish sends nothing, a destination
// that cannot be one is told in the window.
void TestWizardRun::publishSendsWhatChangedAndRemembersWhere() {
    const std::string out = store_->Path("site/"), host = store_->Path("host");
    fs::create_directories(out);
    Wizard wizard;
    QVERIFY(!wizard.Find<QPushButton>("btnPubliceren")->isEnabled());
    wizard.AddSamples();
    wizard.window.RunSetup().OutputFolder = out;
    wizard.window.BeginAanmaken();
    QVERIFY(wizard.window.ProgressPage()->PublishEnabled());
    const auto publish = [&wizard](const QString& destination) {
        wizard.Find<QPushButton>("btnPubliceren")->click();
        auto* dialog = wizard.window.findChild<TKSpublishDialog*>();
        if (!dialog) return QStringList{QStringLiteral("no dialog")};
        const QString offered = dialog->Destination();
        if (!destination.isEmpty())
            dialog->findChild<QLineEdit*>("edtBestemming")->setText(destination);
        QSignalSpy finished(dialog, &TKSpublishDialog::Finished);
        dialog->btnPublicerenClick();
        if (!finished.wait(30000)) return QStringList{QStringLiteral("not finished")};
        const QStringList shown{offered, dialog->Report()};
        dialog->close();
        delete dialog;
        return shown;
    };
    QStringList first = publish(QString::fromStdString(host));
    QCOMPARE(first[0], QString());
    QVERIFY2(first[1].startsWith(QStringLiteral("verzonden: ")), qPrintable(first[1]));
    const auto sent = Tree(host), site = Tree(out);
    QVERIFY(sent.size() > 3);
    for (const auto& [name, bytes] : sent)
        QVERIFY2(site.count(name) == 1 && site.at(name) == bytes, name.c_str());
    const QStringList again = publish(QString());
    QCOMPARE(again[0], QString::fromStdString(host));
    QVERIFY2(again[1].startsWith(QStringLiteral("verzonden: 0 bestanden (0 bytes)")),
             qPrintable(again[1]));
    ks::test::WriteText(store_->Path("a-file"), "");
    const QStringList refused = publish(QString::fromStdString(store_->Path("a-file")));
    QVERIFY2(refused[1].startsWith(QStringLiteral("Publiceren is niet gelukt:\n") +
                                   QString::fromStdString(store_->Path("a-file"))),
             qPrintable(refused[1]));
}

// The trees given by address are fetched beside the window before the run:
// a host that cannot be reached, with no copy fetched before, is named in the
// rows and nothing is written.
void TestWizardRun::anAddressWithoutACopyStopsTheRunBeforeItWrites() {
    const std::string out = store_->Path("fetched/");
    const ks::test::ScopedEnv cache("XDG_CACHE_HOME", store_->Path("cache"));
    Wizard wizard;
    wizard.AddSamples();
    const std::string address = "https://127.0.0.1:1/tree.htx"; // nothing listens there
    QVERIFY(ks::AddAddressDocument(wizard.window.RunSetup().Documents, address,
                                   store_->Path("tmp")) >= 0);
    wizard.window.RunSetup().OutputFolder = out;
    wizard.window.BeginAanmaken();
    QVERIFY(!wizard.window.ProgressPage()->ResultEnabled());
    const QString problem = wizard.Find<QLabel>("lblFout")->text();
    QVERIFY2(problem.startsWith(QString::fromStdString(address + ": ")), qPrintable(problem));
    QVERIFY(!fs::exists(out));
}

QTEST_MAIN(TestWizardRun)
#include "KSwizardRun_test.moc"
