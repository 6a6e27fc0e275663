// The typed output folder, why "ignore years" is off, and the automatic
// division preselected for large documents.
#include "WizardTestKit.h"
#include "app/KSsettingsPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <filesystem>

using ks::app::TwzrdHTMLverzamelIndex;

namespace {
void ToSettings(ks::test::ShownWizard& wizard) {
    wizard.window.ShowPage(TwzrdHTMLverzamelIndex::kStijl);
    wizard.window.btnVolgendeClick();
}
} // namespace

class TestSettingsPage : public ks::test::WizardTestCase {
    Q_OBJECT

private slots:
    void typedFolderIsTakenAndAMissingOneNamed() {
        ks::test::ShownWizard wizard;
        ToSettings(wizard);
        QLineEdit* folder = wizard.Find<QLineEdit>("txtOpslagMap");
        QLabel* note = wizard.Find<QLabel>("lblOpslagMapNoot");
        QPushButton* next = wizard.Find<QPushButton>("btnVolgende");
        const std::string there = store_->Path("uit");
        for (const std::string& typed : {store_->Path("nog-niet"), there, std::string()}) {
            std::filesystem::create_directories(there);
            folder->selectAll();
            QTest::keyClick(folder, Qt::Key_Delete);
            QTest::keyClicks(folder, QString::fromStdString(typed));
            QCOMPARE(wizard.window.RunSetup().OutputFolder, typed);
            QCOMPARE(note->isVisibleTo(&wizard.window), typed != there && !typed.empty());
            QCOMPARE(note->text(), QStringLiteral("Deze map bestaat niet"));
            QCOMPARE(next->isEnabled(), typed == there);
        }
    }

    void ignoreYearsSaysWhyItIsOff() {
        ks::test::ShownWizard wizard;
        ToSettings(wizard);
        QCheckBox* years = wizard.Find<QCheckBox>("chkIndexMetJaartallen");
        QCheckBox* ignore = wizard.Find<QCheckBox>("chkDubbelZonderJaartallen");
        for (bool shown : {true, false}) {
            years->setChecked(shown);
            QCOMPARE(ignore->toolTip().startsWith("Niet te kiezen zolang de index jaartallen"),
                     shown);
            QCOMPARE(wizard.Find<QLabel>("lblJaartallenNoot")->isVisibleTo(&wizard.window), shown);
        }
    }

    // Ticked on a first start; a choice made is the one the next start shows.
    void yearsAreShownOnAFirstStartAndAStoredChoiceKept() {
        for (bool chosen : {false, true}) {
            store_.reset(); // a fresh store: a first start
            store_ = std::make_unique<ks::test::PrivateStore>();
            {
                ks::test::ShownWizard first;
                ToSettings(first);
                QCheckBox* years = first.Find<QCheckBox>("chkIndexMetJaartallen");
                QVERIFY(years->isChecked());
                first.window.SettingsPage()->ApplyTo(first.window.RunSetup());
                QVERIFY(first.window.RunSetup().IndexWithYears);
                years->setChecked(chosen);
            }
            ks::test::ShownWizard next;
            ToSettings(next);
            QCOMPARE(next.Find<QCheckBox>("chkIndexMetJaartallen")->isChecked(), chosen);
        }
    }

    // The exports reach the run set-up, a wrong site address holds the page
    // with a note, and both are there again at the next start.
    void exportsReachTheRunAndAreRemembered() {
        {
            ks::test::ShownWizard first;
            ToSettings(first);
            std::filesystem::create_directories(store_->Path("uit"));
            QLineEdit* folder = first.Find<QLineEdit>("txtOpslagMap");
            folder->clear();
            QTest::keyClicks(folder, QString::fromStdString(store_->Path("uit")));
            auto* site = first.Find<QLineEdit>("txtSiteAdres");
            QLabel* note = first.Find<QLabel>("lblSiteAdresNoot");
            site->setText(QStringLiteral("ftp://x.nl/"));
            QVERIFY(!first.window.SettingsPage()->verifyPage());
            QVERIFY(note->isVisibleTo(first.window.SettingsPage()));
            site->setText(QStringLiteral(" https://stamboom.nl/index "));
            QVERIFY(first.window.SettingsPage()->verifyPage());
            QVERIFY(!note->isVisibleTo(first.window.SettingsPage()));
            first.Find<QCheckBox>("chkGendex")->setChecked(true);
            first.window.SettingsPage()->ApplyTo(first.window.RunSetup());
            QCOMPARE(first.window.RunSetup().SiteAddress, std::string("https://stamboom.nl/index"));
            QVERIFY(first.window.RunSetup().WriteGendex);
        }
        ks::test::ShownWizard next;
        ToSettings(next);
        QCOMPARE(next.Find<QLineEdit>("txtSiteAdres")->text(),
                 QStringLiteral(" https://stamboom.nl/index "));
        QVERIFY(next.Find<QCheckBox>("chkGendex")->isChecked());
    }

    void largeDocumentsStartWithTheAutomaticDivision_data() {
        QTest::addColumn<int>("lines");
        QTest::addColumn<bool>("stored"); // per letter saved by an earlier session
        QTest::addColumn<int>("division");
        QTest::addColumn<QString>("size");
        // One person in every line, one entry that no division cuts: a build
        // writes 185 kB for 2,000 of them, 9.3 MB for 100,000 (automatic too).
        QTest::newRow("small") << 2000 << false << 1 << "Grootste pagina ongeveer 198 kB";
        QTest::newRow("large") << 100000 << false << -1
                               << "Grootste pagina ongeveer 9,8 MB: te groot, laadt langzaam";
        QTest::newRow("stored") << 100000 << true << 1
                                << "Grootste pagina ongeveer 9,8 MB: te groot, kies 'automatisch'";
    }
    void largeDocumentsStartWithTheAutomaticDivision() {
        QFETCH(int, lines);
        QFETCH(bool, stored);
        QFETCH(int, division);
        QFETCH(QString, size);
        std::string text = "[KESTRIN]\r\nversion=3.22\r\ntype=htx\r\nformat=1\r\n[indexdata]\r\n";
        for (int i = 0; i < lines; ++i)
            text += "A\tAbel\tJan\t\t1850\t1900\t1\tindex.htm#p" + std::to_string(i) + "\r\n";
        ks::test::WriteText(store_->Path("groot.htx"), text);
        if (stored) {
            ks::test::ShownWizard first;
            ToSettings(first); // the division is kept at the close
        }
        ks::test::ShownWizard wizard;
        wizard.window.RunSetup().Documents.Add(store_->Path("groot.htx"), true);
        ToSettings(wizard);
        QCOMPARE(wizard.Find<QComboBox>("cboIndextype")->currentData().toInt(), division);
        QCOMPARE(wizard.Find<QLabel>("lblPaginaGrootte")->text(), size);
    }
};

QTEST_MAIN(TestSettingsPage)
#include "KSsettingsPage_test.moc"
