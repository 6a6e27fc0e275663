// The wizard framework: where the buttons lead, when they are enabled, which
// picture is shown, the translation of captions and hints, and the control
// values saved when the window closes and restored when it opens.
#include "WizardTestKit.h"

#include "app/KScontrolState.h"
#include "app/KSimagePanel.h"
#include "app/KSsplitter.h"
#include "app/KSwizardDLG.h"
#include "app/KSwizardPage.h"
#include "common/KScommon.h"
#include "common/KSini.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtTest>
#include <vector>

using namespace ks::app;
using ks::test::PrivateStore;

namespace {

const std::string kKey = "\\Software\\KESTRIN\\4.0\\NL\\TestWiz\\";

// Five pages whose verdicts the test sets; page 1 holds one control of each
// kind the control-state store knows, inside a group box.
class FiveStepWizard : public TWizardDlg {
public:
    FiveStepWizard() {
        for (int i = 0; i < 5; ++i) {
            auto* page = new TWizardPage(QStringLiteral("Stap %1").arg(i + 1));
            page->SetHelpContext(100 + i);
            AddPage(page);
        }
        auto* group = new QGroupBox(QStringLiteral("#1530.text=Index-gegevens"), Page(1));
        auto* layout = new QVBoxLayout(group);
        check = Add<QCheckBox>(group, layout, "chkOptie", "Option");
        edit = Add<QLineEdit>(group, layout, "txtNaam", "Name");
        list = Add<QListWidget>(group, layout, "lstKeuze", "Choice");
        list->addItems({QStringLiteral("een"), QStringLiteral("twee"), QStringLiteral("drie")});
        combo = Add<QComboBox>(group, layout, "cboSoort", "Kind");
        combo->addItems({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
        SetHelpKeyword(Splitter(), QStringLiteral("SplitterPos"));
        // A click that would navigate; while values are restored it must not.
        connect(check, &QCheckBox::toggled, this, [this] { ShowPage(3); });
    }

    bool verifyPage(int page) override {
        asked.push_back(page);
        if (Restoring) askedWhileRestoring = true;
        return complete[page];
    }

    QPushButton* Button(const char* name) { return findChild<QPushButton*>(name); }
    void Click(const char* name) { QTest::mouseClick(Button(name), Qt::LeftButton); }

    bool complete[5] = {true, true, true, true, true};
    std::vector<int> asked;
    bool askedWhileRestoring = false;
    QCheckBox* check;
    QLineEdit* edit;
    QListWidget* list;
    QComboBox* combo;

private:
    template <typename T>
    T* Add(QWidget* parent, QVBoxLayout* layout, const char* name, const char* keyword) {
        auto* control = new T(parent);
        control->setObjectName(QString::fromLatin1(name));
        SetHelpKeyword(control, QString::fromLatin1(keyword));
        layout->addWidget(control);
        return control;
    }
};

void Show(TWizardDlg& wizard) {
    wizard.resize(640, 480);
    wizard.show();
    QVERIFY(QTest::qWaitForWindowExposed(&wizard));
}

std::string Stored(const std::string& name) {
    ks::TKSreg reg(kKey);
    return reg.ReadString(name);
}

} // namespace

class TestWizardDlg : public ks::test::WizardTestCase {
    Q_OBJECT

private slots:
    void navigationSkipsDisabledPagesBothWays();
    void finishNeedsTheActiveAndEveryLaterPage();
    void highlightedPagesHideTheImage();
    void controlValuesSurviveARestart();
    void storedValuesOutOfRangeAndEmptyKey();
    void restoringNeitherNavigatesNorVerifies();
    void captionsAndHintsAreTranslated();
    void escapeCancelsAndEnterGoesOn();
};

void TestWizardDlg::navigationSkipsDisabledPagesBothWays() {
    FiveStepWizard wizard;
    wizard.Page(0)->SetPageEnabled(false);
    wizard.Page(2)->SetPageEnabled(false);
    Show(wizard);
    QCOMPARE(wizard.ActivePageIndex(), 1); // the first enabled page
    QCOMPARE(wizard.WizardTitle()->text(), QStringLiteral("Stap 2"));
    QCOMPARE(wizard.HelpContext(), 101);
    QVERIFY(!wizard.Button("btnVorige")->isEnabled());

    wizard.Click("btnVolgende");
    QCOMPARE(wizard.ActivePageIndex(), 3);
    QVERIFY(wizard.Button("btnVorige")->isEnabled());
    wizard.Click("btnVorige");
    QCOMPARE(wizard.ActivePageIndex(), 1);

    // The last page: Volgende never, Gereed with the page's own verdict.
    wizard.ShowPage(4);
    QVERIFY(!wizard.Button("btnVolgende")->isEnabled());
    QVERIFY(wizard.Button("btnFinish")->isEnabled());
    wizard.complete[4] = false;
    wizard.ShowPage(-1);
    QVERIFY(!wizard.Button("btnFinish")->isEnabled());
    wizard.Click("btnVorige");
    QCOMPARE(wizard.ActivePageIndex(), 3);
}

void TestWizardDlg::finishNeedsTheActiveAndEveryLaterPage() {
    FiveStepWizard wizard;
    Show(wizard);
    wizard.ShowPage(1);
    QVERIFY(!wizard.Button("btnFinish")->isEnabled()); // only on the last page by default

    wizard.FinishOnLastPageOnly = false;
    wizard.ShowPage(-1);
    QVERIFY(wizard.Button("btnFinish")->isEnabled());

    // A disabled later page is asked too, and the first failure ends the asking.
    wizard.Page(3)->SetPageEnabled(false);
    wizard.complete[3] = false;
    wizard.asked.clear();
    wizard.ShowPage(-1);
    QVERIFY(!wizard.Button("btnFinish")->isEnabled());
    QVERIFY(wizard.Button("btnVolgende")->isEnabled());
    QCOMPARE(wizard.asked, (std::vector<int>{1, 2, 3}));

    // An incomplete active page blocks both, whatever the later pages say.
    wizard.complete[3] = true;
    wizard.complete[1] = false;
    wizard.ShowPage(-1);
    QVERIFY(!wizard.Button("btnVolgende")->isEnabled());
    QVERIFY(!wizard.Button("btnFinish")->isEnabled());
}

void TestWizardDlg::highlightedPagesHideTheImage() {
    // A layout's preview picture as shipped (JPEG).
    const std::string picture = std::string(KS_TEST_DIST_DIR) + "NL/layout/modern/preview.jpg";
    FiveStepWizard wizard;
    wizard.Page(0)->SetHighlighted(true);
    wizard.Page(1)->SetHelpKeyword(QString::fromStdString(picture));
    wizard.Page(2)->SetHelpKeyword(QString::fromStdString(store_->Path("missing.png")));
    Show(wizard);
    QVERIFY(wizard.Image()->isHidden());
    wizard.ShowPage(1);
    QVERIFY(!wizard.Image()->isHidden());
    QVERIFY(wizard.Image()->HasPicture());
    QVERIFY(wizard.Image()->width() > 0);
    wizard.ShowPage(2);
    QVERIFY(!wizard.Image()->isHidden());
    QVERIFY(!wizard.Image()->HasPicture());

    // A picture for this page and every later one.
    QVERIFY(wizard.SetPageImage(QString::fromStdString(picture), true, false));
    for (int i = 2; i < 5; ++i)
        QCOMPARE(wizard.Page(i)->HelpKeyword(), QString::fromStdString(picture));
    QCOMPARE(wizard.Page(1)->HelpKeyword(), QString::fromStdString(picture)); // set above
    QVERIFY(wizard.Page(0)->HelpKeyword().isEmpty());
    wizard.ShowPage(4);
    QVERIFY(wizard.Image()->HasPicture());

    // The image width is the height of the panel over the square root of 2.
    wizard.Splitter()->SetLeftPosition(50);
    wizard.ImageDblClick();
    QCOMPARE(wizard.Splitter()->LeftPosition(),
             static_cast<int>(wizard.Splitter()->height() / std::sqrt(2.0)));
}

void TestWizardDlg::controlValuesSurviveARestart() {
    {
        FiveStepWizard wizard;
        wizard.StateKey = kKey;
        wizard.StateOptions = kStateByHelpKeyword;
        Show(wizard);
        wizard.check->setChecked(true);
        wizard.edit->setText(QStringLiteral("Zoë's boom"));
        wizard.list->setCurrentRow(2);
        wizard.combo->setCurrentIndex(1);
        wizard.Splitter()->SetLeftPosition(123);
        wizard.btnFinishClick();
        QCOMPARE(wizard.result(), int(QDialog::Accepted));
    }
    QCOMPARE(Stored("Option"), std::string("-1"));
    QCOMPARE(Stored("Name"), std::string("Zo\xEB's boom")); // Windows-1252 in the store
    QCOMPARE(Stored("Choice"), std::string("drie"));
    QCOMPARE(Stored("Kind"), std::string("1"));
    QCOMPARE(Stored("SplitterPos"), std::string("123"));

    FiveStepWizard again;
    again.StateKey = kKey;
    again.StateOptions = kStateByHelpKeyword;
    Show(again);
    QVERIFY(again.check->isChecked());
    QCOMPARE(again.edit->text(), QStringLiteral("Zoë's boom"));
    QCOMPARE(again.list->currentRow(), 2);
    QCOMPARE(again.combo->currentIndex(), 1);
    QCOMPARE(again.Splitter()->LeftPosition(), 123);
    QCOMPARE(again.ActivePageIndex(), 0);

    // Unticked is "0", and "0" unticks; values by object name without bit 0.
    again.check->setChecked(false);
    again.StateOptions = 0;
    again.btnCancelClick();
    QCOMPARE(Stored("chkOptie"), std::string("0"));
    QCOMPARE(Stored("txtNaam"), std::string("Zo\xEB's boom"));
}

void TestWizardDlg::storedValuesOutOfRangeAndEmptyKey() {
    {
        ks::TKSreg reg(kKey);
        reg.WriteString("Kind", "7");
        reg.WriteString("Choice", "vier");
        reg.WriteString("Option", "0");
    }
    FiveStepWizard wizard;
    wizard.StateKey = kKey;
    wizard.StateOptions = kStateByHelpKeyword;
    wizard.check->setChecked(true);
    wizard.combo->setCurrentIndex(2);
    wizard.list->setCurrentRow(1);
    Show(wizard);
    QCOMPARE(wizard.combo->currentIndex(), 0);
    QCOMPARE(wizard.list->currentRow(), 0);
    QVERIFY(!wizard.check->isChecked());

    // A list without items keeps its (empty) state; no text is made up.
    wizard.list->clear();
    LoadControl(wizard.list, kKey, kStateByHelpKeyword);
    QCOMPARE(wizard.list->count(), 0);
    QCOMPARE(wizard.list->currentRow(), -1);
    wizard.btnCancelClick();

    // Without a key nothing is written at all.
    const std::string before = store_->StoreFile();
    FiveStepWizard keyless;
    Show(keyless);
    keyless.edit->setText(QStringLiteral("niet bewaard"));
    keyless.btnCancelClick();
    QCOMPARE(store_->StoreFile(), before);
}

void TestWizardDlg::restoringNeitherNavigatesNorVerifies() {
    {
        ks::TKSreg reg(kKey);
        reg.WriteString("Option", "-1");
    }
    FiveStepWizard wizard;
    wizard.StateKey = kKey;
    wizard.StateOptions = kStateByHelpKeyword;
    Show(wizard);
    QVERIFY(wizard.check->isChecked());
    QVERIFY(!wizard.askedWhileRestoring);
    QCOMPARE(wizard.ActivePageIndex(), 0);
    wizard.check->setChecked(false); // outside restoring the same click navigates
    QCOMPARE(wizard.ActivePageIndex(), 3);
}

void TestWizardDlg::captionsAndHintsAreTranslated() {
    FiveStepWizard wizard;
    wizard.setWindowTitle(QStringLiteral("#html.form=HTML verzamelindex"));
    wizard.Page(0)->SetCaption(QStringLiteral("#html.p1=ontbreekt"));
    Show(wizard);
    QCOMPARE(wizard.Button("btnCancel")->text(), QStringLiteral("&Annuleren"));
    QCOMPARE(wizard.Button("btnCancel")->toolTip(), QStringLiteral("Stoppen en de wizard sluiten"));
    QCOMPARE(wizard.Button("btnFinish")->text(), QStringLiteral("&Gereed"));
    QCOMPARE(wizard.windowTitle(), QStringLiteral("HTML verzamelindex"));
    QCOMPARE(wizard.WizardTitle()->text(),
             QStringLiteral("Uitleg")); // the file wins over the default
    QCOMPARE(wizard.findChild<QGroupBox*>()->title(), QStringLiteral("Index-gegevens"));
    QCOMPARE(wizard.Page(2)->Caption(), QStringLiteral("Stap 3")); // no "#": unchanged
    wizard.btnCancelClick();

    ks::Environment().SetUiLanguage("GB");
    FiveStepWizard english;
    Show(english);
    ks::Environment().SetUiLanguage("NL");
    QCOMPARE(english.Button("btnCancel")->text(), QStringLiteral("&Cancel"));
    QCOMPARE(english.Button("btnVolgende")->text(), QStringLiteral("&Next"));
    QCOMPARE(english.findChild<QGroupBox*>()->title(), QStringLiteral("Index settings"));
    english.btnCancelClick();
}

void TestWizardDlg::escapeCancelsAndEnterGoesOn() {
    FiveStepWizard wizard;
    Show(wizard);
    QTest::keyClick(&wizard, Qt::Key_Return);
    QCOMPARE(wizard.ActivePageIndex(), 1);
    QTest::keyClick(&wizard, Qt::Key_Escape);
    QVERIFY(!wizard.isVisible());
    QCOMPARE(wizard.result(), int(QDialog::Rejected));
}

QTEST_MAIN(TestWizardDlg)
#include "KSwizardDLG_test.moc"
