// The settings page explains itself: every control of every page has a hint
// in both languages, a typed or pasted output folder is taken and a missing
// one is named, "ignore years" says why it is off, and the largest page is
// foreseen, with the automatic division preselected for large documents on
// a first start.
#include "WizardTestKit.h"

#include "app/KSHTMLverzamelIndex.h"
#include "app/KSsettingsPage.h"
#include "common/KScommon.h"
#include "common/KSini.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTextEdit>
#include <QtTest>
#include <filesystem>

using namespace ks::app;
using ks::test::ShownWizard;

namespace {

// An index document of n index lines.
void WriteLargeHtx(const std::string& path, int lines) {
    std::string text = "[KESTRIN]\r\nversion=3.22\r\ntype=htx\r\nformat=1\r\n[metadata]\r\n"
                       "title=Groot\r\nhtmfile=index.htm\r\n[indexdata]\r\n";
    for (int i = 0; i < lines; ++i)
        text += "A\tAbel\tJan\t\t1850\t1900\t1\tindex.htm#p" + std::to_string(i) + "\r\n";
    ks::test::WriteText(path, text);
}

void ToSettings(ShownWizard& wizard) {
    wizard.window.ShowPage(TwzrdHTMLverzamelIndex::kStijl);
    wizard.window.btnVolgendeClick();
    QCOMPARE(wizard.window.ActivePageIndex(), int(TwzrdHTMLverzamelIndex::kInstellingen));
}

} // namespace

class TestSettingsPage : public ks::test::WizardTestCase {
    Q_OBJECT

private slots:
    void everyControlHasAHint_data();
    void everyControlHasAHint();
    void typedFolderIsTakenAndAMissingOneNamed();
    void ignoreYearsSaysWhyItIsOff();
    void largeDocumentsStartWithTheAutomaticDivision_data();
    void largeDocumentsStartWithTheAutomaticDivision();
};

void TestSettingsPage::everyControlHasAHint_data() {
    QTest::addColumn<QString>("language");
    QTest::newRow("NL") << "NL";
    QTest::newRow("GB") << "GB";
}

// Everything a user can click, type in or choose from, on every page and in
// the button row, split boxes of each layout included.
void TestSettingsPage::everyControlHasAHint() {
    QFETCH(QString, language);
    ks::Environment().SetUiLanguage(language.toStdString());
    struct Restore {
        ~Restore() { ks::Environment().SetUiLanguage("NL"); }
    } restore;
    ShownWizard wizard;
    QListWidget* layouts = wizard.Find<QListWidget>("lstOpmaak");
    QVERIFY(layouts->count() >= 2);
    QSet<QString> hints;
    int controls = 0;
    for (int row = 0; row < layouts->count(); ++row) {
        layouts->setCurrentRow(row);
        ToSettings(wizard);
        for (QWidget* widget : wizard.window.findChildren<QWidget*>()) {
            const bool control =
                qobject_cast<QAbstractButton*>(widget) || qobject_cast<QLineEdit*>(widget) ||
                qobject_cast<QComboBox*>(widget) || qobject_cast<QAbstractItemView*>(widget) ||
                qobject_cast<QTextEdit*>(widget);
            // Line edits and views inside another control belong to it.
            if (!control || widget->objectName().isEmpty()) continue;
            ++controls;
            const QString hint = widget->toolTip();
            QVERIFY2(!hint.isEmpty(), qPrintable(widget->objectName()));
            QVERIFY2(!hint.startsWith(QLatin1Char('#')), qPrintable(widget->objectName()));
            hints << hint;
        }
        wizard.window.btnVorigeClick();
    }
    QVERIFY(controls > 20);
    const QString splitHint =
        language == "NL" ? QStringLiteral("over pagina's verdelen") : QStringLiteral("over pages");
    bool splitSeen = false;
    for (const QString& hint : hints)
        splitSeen = splitSeen || hint.contains(splitHint);
    QVERIFY(splitSeen);
}

void TestSettingsPage::typedFolderIsTakenAndAMissingOneNamed() {
    ShownWizard wizard;
    ToSettings(wizard);
    QLineEdit* folder = wizard.Find<QLineEdit>("txtOpslagMap");
    QLabel* note = wizard.Find<QLabel>("lblOpslagMapNoot");
    QPushButton* next = wizard.Find<QPushButton>("btnVolgende");
    const std::string missing = store_->Path("nog-niet");
    QTest::keyClicks(folder, QString::fromStdString(missing));
    QCOMPARE(wizard.window.RunSetup().OutputFolder, missing);
    QVERIFY(note->isVisibleTo(&wizard.window));
    QCOMPARE(note->text(), QStringLiteral("Deze map bestaat niet"));
    QVERIFY(!next->isEnabled());

    // Pasted over the whole field: an existing folder, no note, Volgende allowed.
    const std::string there = store_->Path("uitvoer");
    std::filesystem::create_directories(there);
    QApplication::clipboard()->setText(QString::fromStdString(there));
    folder->selectAll();
    folder->paste();
    QCOMPARE(wizard.window.RunSetup().OutputFolder, there);
    QVERIFY(!note->isVisibleTo(&wizard.window));
    QVERIFY(next->isEnabled());

    // An empty field says nothing but blocks the page.
    folder->selectAll();
    QTest::keyClick(folder, Qt::Key_Delete);
    QCOMPARE(wizard.window.RunSetup().OutputFolder, std::string());
    QVERIFY(!note->isVisibleTo(&wizard.window));
    QVERIFY(!next->isEnabled());
}

void TestSettingsPage::ignoreYearsSaysWhyItIsOff() {
    ShownWizard wizard;
    ToSettings(wizard);
    QCheckBox* years = wizard.Find<QCheckBox>("chkIndexMetJaartallen");
    QCheckBox* ignore = wizard.Find<QCheckBox>("chkDubbelZonderJaartallen");
    QLabel* note = wizard.Find<QLabel>("lblJaartallenNoot");
    years->setChecked(false);
    const QString whenAllowed = ignore->toolTip();
    QVERIFY(ignore->isEnabled());
    QVERIFY(!note->isVisibleTo(&wizard.window));
    years->setChecked(true);
    QVERIFY(!ignore->isEnabled());
    QVERIFY(
        ignore->toolTip().startsWith(QStringLiteral("Niet te kiezen zolang de index jaartallen")));
    QVERIFY(note->isVisibleTo(&wizard.window));
    QCOMPARE(note->text(), QStringLiteral("Uit, omdat de index jaartallen toont"));
    years->setChecked(false);
    QCOMPARE(ignore->toolTip(), whenAllowed);
    QVERIFY(!note->isVisibleTo(&wizard.window));
}

void TestSettingsPage::largeDocumentsStartWithTheAutomaticDivision_data() {
    QTest::addColumn<int>("lines");
    QTest::addColumn<bool>("stored"); // a division saved by an earlier session
    QTest::addColumn<int>("division");
    QTest::addColumn<QString>("size");
    QTest::newRow("small") << 2000 << false << 1 << "Grootste pagina ongeveer 73 kB";
    QTest::newRow("large") << 100000 << false << -1 << "Grootste pagina ongeveer 1,1 MB";
    QTest::newRow("large, stored per letter")
        << 100000 << true << 1 << "Grootste pagina ongeveer 2,6 MB: te groot, kies 'automatisch'";
}

void TestSettingsPage::largeDocumentsStartWithTheAutomaticDivision() {
    QFETCH(int, lines);
    QFETCH(bool, stored);
    QFETCH(int, division);
    QFETCH(QString, size);
    const std::string document = store_->Path("groot/groot.htx");
    WriteLargeHtx(document, lines);
    if (stored) {
        ShownWizard first;
        ToSettings(first);
        first.Find<QComboBox>("cboIndextype")->setCurrentIndex(0); // per letter, kept at the close
    }
    ShownWizard wizard;
    if (!stored) QVERIFY(!ks::TKSreg(wizard.window.StateKey).ValueExists("IndexType"));
    wizard.window.RunSetup().Documents.Add(document, true);
    ToSettings(wizard);
    QComboBox* list = wizard.Find<QComboBox>("cboIndextype");
    QCOMPARE(list->currentData().toInt(), division);
    QLabel* label = wizard.Find<QLabel>("lblPaginaGrootte");
    QVERIFY(label->isVisibleTo(&wizard.window));
    QCOMPARE(label->text(), size);
    // The user's choice holds when the page is built again.
    list->setCurrentIndex(1);
    emit list->activated(1);
    wizard.window.btnVorigeClick();
    wizard.window.btnVolgendeClick();
    QCOMPARE(list->currentIndex(), 1);
}

QTEST_MAIN(TestSettingsPage)
#include "KSsettingsPage_test.moc"
