// The program's wizard window: its pages and captions, its settings key, and
// what the buttons and the window manager's close do while a run is busy.
#include "WizardTestKit.h"

#include "app/KSHTMLverzamelIndex.h"
#include "app/KSqtText.h"
#include "app/KSstartup.h"
#include "app/KSwizardPage.h"
#include "common/KScommon.h"
#include "common/KSini.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>

using namespace ks::app;
using ks::test::PrivateStore;

class TestWizardWindow : public ks::test::WizardTestCase {
    Q_OBJECT

private slots:
    void opensOnTheExplanationWithTranslatedCaptions();
    void closingWhileBusyOnlyRequestsAStop();
    void startupSwitchesReachTheEnvironment();
    void eachConfigurationKeepsItsOwnSettings();
    void f1OpensTheActivePagesHelp();
    void shippedHelpPagesAreComplete();
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
             QStringLiteral("Map doorzoeken"));
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

QTEST_MAIN(TestWizardWindow)
#include "KSHTMLverzamelIndex_test.moc"
