// The program's wizard window: its pages and captions, its settings key, and
// what the buttons and the window manager's close do while a run is busy.
#include "WizardTestKit.h"

#include "app/KSHTMLverzamelIndex.h"
#include "app/KSstartup.h"
#include "app/KSwizardPage.h"
#include "common/KScommon.h"
#include "common/KSini.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace ks::app;
using ks::test::PrivateStore;

class TestWizardWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { ks::test::StartTestEnvironment(); }
    void cleanupTestCase() { ks::test::StopTestEnvironment(); }
    void init() { store_ = std::make_unique<PrivateStore>(); }
    void cleanup() { store_.reset(); }

    void opensOnTheExplanationWithTranslatedCaptions();
    void closingWhileBusyOnlyRequestsAStop();
    void startupSwitchesReachTheEnvironment();

private:
    std::unique_ptr<PrivateStore> store_;
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

QTEST_MAIN(TestWizardWindow)
#include "KSHTMLverzamelIndex_test.moc"
