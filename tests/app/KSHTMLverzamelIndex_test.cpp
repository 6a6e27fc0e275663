// The program's wizard window: its pages and captions, its settings key, and
// what the buttons and the window manager's close do while a run is busy.
#include "WizardTestKit.h"

#include "app/KSHTMLverzamelIndex.h"
#include "app/KSdocumentPage.h"
#include "app/KSfolderBrowser.h"
#include "app/KSmnemonics.h"
#include "app/KSqtText.h"
#include "app/KSstartup.h"
#include "app/KSwizardPage.h"
#include "common/KScommon.h"
#include "common/KSini.h"
#include "common/KSpaths.h"
#include "common/KSregstore.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>
#include <filesystem>
#include <functional>
#include <tuple>

using namespace ks::app;
using ks::test::PrivateStore;

class TestWizardWindow : public ks::test::WizardTestCase {
    Q_OBJECT

private slots:
    void opensOnTheExplanationWithTranslatedCaptions();
    void closingWhileBusyOnlyRequestsAStop();
    void startupSwitchesReachTheEnvironment();
    void qtTextsAndTheFolderChooserFollowTheUser();
    void eachConfigurationKeepsItsOwnSettings();
    void aNewLanguageStartsFromAnothersSettings();
    void f1OpensTheActivePagesHelp();
    void shippedHelpPagesAreComplete();
    void settingsAreSavedOnCloseBesideAnotherWindows();
    void aSaveThatFailsIsToldBeforeTheWindowCloses();
    void damagedStoreLinesAreToldAndKept();
};

void TestWizardWindow::opensOnTheExplanationWithTranslatedCaptions() {
    TwzrdHTMLverzamelIndex wizard;
    wizard.show();
    QVERIFY(QTest::qWaitForWindowExposed(&wizard));
    QCOMPARE(wizard.windowTitle(), QStringLiteral("HTML verzamelindex 1.04"));
    QCOMPARE(wizard.ActivePageIndex(), int(TwzrdHTMLverzamelIndex::kUitleg));
    QCOMPARE(wizard.WizardTitle()->text(), QStringLiteral("Uitleg"));
    const QStringList captions = {"Uitleg", "Documenten kiezen", "Stijl kiezen", "Instellingen",
                                  "Voortgang"};
    for (int i = 0; i < wizard.PageCount(); ++i)
        QCOMPARE(wizard.Page(i)->Caption(), captions[i]);
    QCOMPARE(wizard.findChild<QPushButton*>("btnDirSearch")->text(),
             QStringLiteral("&Map doorzoeken"));
    QCOMPARE(wizard.findChild<QPushButton*>("btnMoveUp")->toolTip(),
             QStringLiteral("Het geselecteerde document een plaats omhoog zetten"));
    // Without documents the document page blocks Volgende and Gereed.
    QVERIFY(wizard.findChild<QPushButton*>("btnVolgende")->isEnabled());
    QVERIFY(wizard.findChild<QPushButton*>("btnFinish")->isEnabled() == false);
    wizard.btnVolgendeClick();
    QVERIFY(!wizard.findChild<QPushButton*>("btnVolgende")->isEnabled());
    wizard.btnCancelClick();
    ks::TKSreg key(TwzrdHTMLverzamelIndex::SettingsKey());
    QVERIFY(!key.ReadString("ExePath").empty());
}

void TestWizardWindow::closingWhileBusyOnlyRequestsAStop() {
    TwzrdHTMLverzamelIndex wizard;
    wizard.show();
    QVERIFY(QTest::qWaitForWindowExposed(&wizard));
    wizard.Busy = true;
    QVERIFY(!wizard.close()); // the window manager's close box
    QVERIFY(wizard.isVisible());
    QCOMPARE(wizard.StopRequest, ks::TKSstopRequest::Cancel);
    wizard.btnFinishClick();
    QCOMPARE(wizard.StopRequest, ks::TKSstopRequest::Finish);
    QTest::keyClick(&wizard, Qt::Key_Escape);
    QCOMPARE(wizard.StopRequest, ks::TKSstopRequest::Cancel);
    wizard.btnVorigeClick();
    QCOMPARE(wizard.StopRequest, ks::TKSstopRequest::Back);
    QVERIFY(wizard.isVisible());

    wizard.Busy = false;
    QVERIFY(wizard.close());
    QCOMPARE(wizard.result(), int(QDialog::Rejected));
}

void TestWizardWindow::startupSwitchesReachTheEnvironment() {
    const QStringList arguments = {"kestrin-wizard", "--language=GB", "/DEBUG", "CONF=familie",
                                   "--"};
    QCOMPARE(StartupSwitches(arguments),
             (std::vector<std::string>{"/language=GB", "/DEBUG", "CONF=familie", "--"}));
}

void TestWizardWindow::qtTextsAndTheFolderChooserFollowTheUser() {
    const QString empty = QString::fromStdString(store_->Path(""));
    // Each language replaces the one before; a missing file leaves Qt's English.
    for (const auto& [language, folder, installed, cancel] :
         {std::tuple{"NL", QString(), true, "Annuleren"},
          {"D", QString(), true, "Abbrechen"},
          {"GB", QString(), false, "Cancel"},
          {"XX", QString(), false, "Cancel"},
          {"NL", empty, false, "Cancel"}}) {
        QCOMPARE(InstallQtTranslations(language, folder), installed);
        QDialogButtonBox box(QDialogButtonBox::Cancel);
        QCOMPARE(box.button(QDialogButtonBox::Cancel)->text().remove('&'), QString(cancel));
    }
    // The folder chooser: the output folder, else the root, else home; never
    // the working folder.
    const std::string home = ks::WithSlash(ToPath(QDir::homePath())), out = store_->Path("");
    QVERIFY(QDir::setCurrent(QString::fromStdString(out)));
    for (const auto& [folder, root, start] : {std::tuple{out, std::string(), out},
                                              {out + "gone/", out, out},
                                              {"", "/no/such/", home},
                                              {".", ".", home}})
        QCOMPARE(FolderChooserStart(folder, root), start);
    // A layout's caption keeps its "&"; a caption made at run time takes a free letter.
    QCOMPARE(WithFreeMnemonic(PlainCaption("A & In"), "ai", 2), QStringLiteral("A && I&n"));
}

// A base name typed under one CONF value is found again under that value only.
void TestWizardWindow::eachConfigurationKeepsItsOwnSettings() {
    const auto startWith = [](std::vector<std::string> switches, const QString& baseName) {
        ks::test::StopTestEnvironment();
        switches.insert(switches.begin(), "/LANGUAGE=NL");
        ks::test::StartTestEnvironment(switches);
        TwzrdHTMLverzamelIndex wizard;
        wizard.show();
        auto* field = wizard.findChild<QLineEdit*>("txtBasisnaam");
        const QString found = field->text();
        if (!baseName.isEmpty()) field->setText(baseName);
        wizard.btnCancelClick(); // saves the window's values
        return found;
    };
    QCOMPARE(startWith({"CONF=familie"}, "familie"), QStringLiteral("KESTRIN-Index"));
    QCOMPARE(startWith({"CONF=vereniging"}, "vereniging"), QStringLiteral("KESTRIN-Index"));
    QCOMPARE(startWith({"CONF=familie"}, {}), QStringLiteral("familie"));
    QCOMPARE(startWith({"CONF=vereniging"}, {}), QStringLiteral("vereniging"));
    QCOMPARE(startWith({}, {}), QStringLiteral("KESTRIN-Index"));
    ks::test::StopTestEnvironment();
    ks::test::StartTestEnvironment();
}

void TestWizardWindow::aNewLanguageStartsFromAnothersSettings() {
    const std::string one = store_->Path("een.htx");
    const std::string two = store_->Path("twee.htx");
    ks::test::WriteHtx(one, {.title = "Een"});
    ks::test::WriteHtx(two, {.title = "Twee"});
    // Starts in language, notes the rows (title and tick) and the base name the
    // window shows, then applies change.
    const auto startIn = [](const std::string& language,
                            const std::function<void(TwzrdHTMLverzamelIndex&)>& change) {
        ks::test::StopTestEnvironment();
        ks::test::StartTestEnvironment({"/LANGUAGE=" + language});
        TwzrdHTMLverzamelIndex wizard;
        wizard.show();
        auto* list = wizard.findChild<QListWidget*>("HTXbestanden");
        QStringList seen;
        for (int i = 0; i < list->count(); ++i)
            seen << list->item(i)->text() +
                        (list->item(i)->checkState() == Qt::Checked ? "+" : "-");
        seen << wizard.findChild<QLineEdit*>("txtBasisnaam")->text();
        change(wizard);
        wizard.btnCancelClick(); // saves the window's values
        return seen;
    };
    const auto noChange = [](TwzrdHTMLverzamelIndex&) {};

    startIn("NL", [&](TwzrdHTMLverzamelIndex& wizard) {
        QVERIFY(wizard.DocumentPage()->AddHTXfile(two));
        QVERIFY(wizard.DocumentPage()->AddHTXfile(one));
        wizard.findChild<QListWidget*>("HTXbestanden")->item(0)->setCheckState(Qt::Unchecked);
        wizard.findChild<QLineEdit*>("txtBasisnaam")->setText("familie");
    });
    QCOMPARE(startIn("GB",
                     [](TwzrdHTMLverzamelIndex& wizard) {
                         wizard.findChild<QLineEdit*>("txtBasisnaam")->setText("family");
                     }),
             (QStringList{"Twee-", "Een+", "familie"}));
    // From now on each language keeps its own.
    QCOMPARE(startIn("NL", noChange).last(), QStringLiteral("familie"));
    QCOMPARE(startIn("GB", noChange).last(), QStringLiteral("family"));
    ks::test::StopTestEnvironment();
    ks::test::StartTestEnvironment();
}

void TestWizardWindow::f1OpensTheActivePagesHelp() {
    QList<QUrl> opened;
    TKShelp::SetOpener([&opened](const QUrl& url) {
        opened << url;
        return true;
    });
    TwzrdHTMLverzamelIndex wizard;
    wizard.show();
    QVERIFY(QTest::qWaitForWindowExposed(&wizard));
    const QString folder = FromPath(ks::Environment().LanguageFolder) + QStringLiteral("Help/");
    const int contexts[] = {1501, 1511, 1521, 1531, 1541};
    for (int page = 0; page < wizard.PageCount(); ++page) {
        wizard.ShowPage(page);
        QTest::keyClick(&wizard, Qt::Key_F1);
        QCOMPARE(opened.size(), page + 1);
        QCOMPARE(opened.last().toLocalFile(), folder + QString::number(contexts[page]) + ".html");
    }

    // A page without help of its own gets the window's page; no help at all
    // is told, naming the page that was looked for.
    ks::test::WriteText(store_->Path("help/1500.html"), "<title>help</title>");
    wizard.Help().SetFolder(store_->Path("help/"));
    QTest::keyClick(&wizard, Qt::Key_F1);
    QCOMPARE(opened.last().toLocalFile(), FromPath(store_->Path("help/1500.html")));
    wizard.Help().SetFolder(store_->Path("nohelp/"));
    QString told;
    ks::test::AnswerModal<QMessageBox>([&told](QMessageBox* box) {
        told = box->text();
        box->accept();
    });
    QTest::keyClick(&wizard, Qt::Key_F1);
    QVERIFY2(told.contains(FromPath(store_->Path("nohelp/1541.html"))), qPrintable(told));
    QCOMPARE(opened.size(), wizard.PageCount() + 1);
    TKShelp::SetOpener({});
    wizard.btnCancelClick();
}

// Every context has a page in both languages, with a title, one heading and
// links that reach a file.
void TestWizardWindow::shippedHelpPagesAreComplete() {
    for (const char* language : {"NL", "GB"}) {
        const QDir help(QStringLiteral(KS_TEST_DIST_DIR) + language + "/Help");
        for (const int context : {1500, 1501, 1511, 1521, 1531, 1541}) {
            const QString name = QString::number(context) + ".html";
            const QString page = QString::fromUtf8(ks::test::ReadText(ToPath(help.filePath(name))));
            QVERIFY2(page.contains(QRegularExpression("<title>[^<]+</title>")), qPrintable(name));
            QCOMPARE(page.count(QStringLiteral("<h1>")), 1);
            const QRegularExpression link(QStringLiteral("(?:href)=\"([^\"#]+)\""));
            for (const auto& match : link.globalMatch(page))
                QVERIFY2(help.exists(match.captured(1)),
                         qPrintable(QString(language) + "/" + name + ": " + match.captured(1)));
        }
    }
}

// The window saves everything at its close, in one go, into the store as it
// is then: what another window (another CONF) saved meanwhile stays.
void TestWizardWindow::settingsAreSavedOnCloseBesideAnotherWindows() {
    const std::string key = TwzrdHTMLverzamelIndex::SettingsKey();
    const std::string document = store_->Path("een/een.htx");
    const std::string other = store_->Path("twee/twee.htx");
    ks::test::WriteHtx(document, {.title = "Een"});
    const std::string storeFile = ks::RegistryStore::Instance().FilePath();
    {
        TwzrdHTMLverzamelIndex wizard;
        wizard.show();
        QVERIFY(QTest::qWaitForWindowExposed(&wizard));
        QVERIFY(wizard.DocumentPage()->AddHTXfile(document));
        wizard.RunSetup().OutputFolder = store_->Path("uitvoer/");
        // Meanwhile the window of CONF=tweede closes and saves its settings.
        ks::test::WriteText(storeFile, store_->StoreFile() + "\n[" + key + "tweede]\n" +
                                           "Directory=/tweede/\n\n[" + key +
                                           "tweede\\SelectedHTXfile_items]\n0=1," + other + "\n");
        wizard.btnCancelClick();
    }
    ks::RegistryStore::Instance().Reload(); // as at the next start
    ks::TKSreg own(key);
    QCOMPARE(own.ReadString("Directory"), store_->Path("uitvoer/"));
    ks::TKSreg second(key + "tweede");
    QCOMPARE(second.ReadString("Directory"), std::string("/tweede/"));
}

// A store that cannot be saved is told, with its file and the reason, while
// the window is still there; then the window closes.
void TestWizardWindow::aSaveThatFailsIsToldBeforeTheWindowCloses() {
    const std::string document = store_->Path("een/een.htx");
    ks::test::WriteHtx(document, {.title = "Een"});
    TwzrdHTMLverzamelIndex wizard;
    wizard.show();
    QVERIFY(QTest::qWaitForWindowExposed(&wizard));
    QVERIFY(wizard.DocumentPage()->AddHTXfile(document));
    // A file where the store's folder should be: nobody can save there, not even root.
    const std::string folder = store_->Path("config/kestrin");
    std::filesystem::remove_all(folder);
    ks::test::WriteText(folder, "");
    QString told;
    bool shownWhileTold = false;
    ks::test::AnswerModal<QMessageBox>([&](QMessageBox* box) {
        told = box->text();
        shownWhileTold = wizard.isVisible();
        box->accept();
    });
    wizard.btnCancelClick();
    QCOMPARE(told, QStringLiteral("De instellingen konden niet bewaard worden\n\n") +
                       FromPath(folder + "/registry.ini") + QStringLiteral(": Not a directory"));
    QVERIFY(shownWhileTold);
    QVERIFY(!wizard.isVisible());
}

// Damaged lines of the store are told when the window opens; the rest of the
// store is used (that the lines stay in the file is proven by the store's tests).
void TestWizardWindow::damagedStoreLinesAreToldAndKept() {
    const std::string key = TwzrdHTMLverzamelIndex::SettingsKey();
    const std::string storeFile = ks::RegistryStore::Instance().FilePath();
    ks::test::WriteText(storeFile, "[\\Software\\KESTRIN\\4.0]\nLanguage=NL\n[" + key +
                                       "]\nDirectory=" + store_->Path("uitvoer/") +
                                       "\nbroken line\n");
    ks::RegistryStore::Instance().Reload();
    TwzrdHTMLverzamelIndex wizard;
    wizard.show();
    QVERIFY(QTest::qWaitForWindowExposed(&wizard));
    auto* box = wizard.findChild<QMessageBox*>(QStringLiteral("storeWarnings"));
    QVERIFY(box);
    QVERIFY(box->isVisible());
    QCOMPARE(box->text(),
             QStringLiteral("Deze regels van de instellingen zijn overgeslagen; ze blijven in het "
                            "bestand staan\n\n") +
                 FromPath(storeFile) + QStringLiteral(":5: it holds no \"=\""));
    QCOMPARE(wizard.RunSetup().OutputFolder, store_->Path("uitvoer/"));
    box->accept();
}

QTEST_MAIN(TestWizardWindow)
#include "KSHTMLverzamelIndex_test.moc"
