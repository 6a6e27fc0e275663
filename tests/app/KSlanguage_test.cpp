// One language in the whole window: Qt's own texts in the wizard's language,
// the folder chooser's first folder, the retitle box, and an accelerator of
// its own for every control of every page in both languages.
#include "WizardTestKit.h"

#include "app/KSHTMLverzamelIndex.h"
#include "app/KSdocumentPage.h"
#include "app/KSfolderBrowser.h"
#include "app/KSmnemonics.h"
#include "app/KSqtText.h"
#include "app/KSstartup.h"
#include "app/KSwizardPage.h"
#include "common/KScommon.h"
#include "common/KSpaths.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QInputDialog>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>
#include <algorithm>

using namespace ks::app;

class TestLanguage : public ks::test::WizardTestCase {
    Q_OBJECT

private slots:
    void qtTextsFollowTheLanguage_data();
    void qtTextsFollowTheLanguage();
    void folderChooserNeverStartsInTheWorkingFolder();
    void retitleBoxFitsItsCaptionAndALongTitle();
    void everyControlHasItsOwnAccelerator_data();
    void everyControlHasItsOwnAccelerator();
    void captionsMadeAtRunTimeGetAFreeLetter();
};

void TestLanguage::qtTextsFollowTheLanguage_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<bool>("ownFolder"); // an empty folder instead of Qt's
    QTest::addColumn<bool>("installed");
    QTest::addColumn<QString>("cancel");
    QTest::newRow("NL") << "NL" << false << true << "Annuleren";
    QTest::newRow("D") << "D" << false << true << "Abbrechen";
    QTest::newRow("GB") << "GB" << false << false << "Cancel";
    QTest::newRow("unknown language") << "XX" << false << false << "Cancel";
    QTest::newRow("file missing") << "NL" << true << false << "Cancel";
}

void TestLanguage::qtTextsFollowTheLanguage() {
    QFETCH(QString, language);
    QFETCH(bool, ownFolder);
    QFETCH(bool, installed);
    QFETCH(QString, cancel);
    // A language installed before is replaced, not stacked below the new one.
    QVERIFY(InstallQtTranslations("F"));
    const QString folder = ownFolder ? QString::fromStdString(store_->Path("")) : QString();
    QCOMPARE(InstallQtTranslations(language.toStdString(), folder), installed);
    QDialogButtonBox buttons(QDialogButtonBox::Cancel);
    QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text().remove(QLatin1Char('&')), cancel);
    InstallQtTranslations("GB");
}

void TestLanguage::folderChooserNeverStartsInTheWorkingFolder() {
    const std::string home = ks::WithSlash(ToPath(QDir::homePath()));
    const std::string out = store_->Path("out/");
    const std::string root = store_->Path("");
    QVERIFY(QDir().mkpath(QString::fromStdString(out)));
    const struct {
        std::string folder, root, expected;
    } cases[] = {
        {out, root, out},                    // the current output folder
        {store_->Path("gone/"), root, root}, // a folder since removed
        {"", "", home},
        {"", "/no/such/root/", home},
        {"out/", "", home}, // a relative path would be the working folder's
        {".", ".", home},
    };
    QVERIFY(QDir::setCurrent(QString::fromStdString(root)));
    for (const auto& c : cases)
        QCOMPARE(FolderChooserStart(c.folder, c.root), c.expected);
}

void TestLanguage::retitleBoxFitsItsCaptionAndALongTitle() {
    QVERIFY(InstallQtTranslations("NL"));
    const std::string path = store_->Path("doc.htx");
    ks::test::WriteHtx(path);
    ks::test::ShownWizard wizard;
    QVERIFY(wizard.window.DocumentPage()->AddHTXfile(path));
    wizard.window.ShowPage(TwzrdHTMLverzamelIndex::kDocumenten);
    QStringList buttons;
    ks::test::AnswerModal<QInputDialog>([&buttons](QInputDialog* box) {
        const auto* field = box->findChild<QLineEdit*>();
        const auto* label = box->findChild<QLabel*>();
        QVERIFY(field && label);
        QCOMPARE(label->buddy(), field); // Alt+T reaches the field
        QVERIFY(field->width() >= 50 * field->fontMetrics().averageCharWidth());
        QVERIFY(box->width() > box->fontMetrics().horizontalAdvance(box->windowTitle()) + 100);
        for (const auto* button : box->findChildren<QPushButton*>())
            buttons << button->text().remove(QLatin1Char('&'));
        box->reject();
    });
    wizard.Find<QPushButton>("btnTitelWijzigen")->click();
    InstallQtTranslations("GB");
    buttons.sort();
    QCOMPARE(buttons, (QStringList{"Annuleren", "OK"}));
}

void TestLanguage::everyControlHasItsOwnAccelerator_data() {
    QTest::addColumn<QString>("language");
    QTest::newRow("NL") << "NL";
    QTest::newRow("GB") << "GB";
}

// Each page as it shows with every layout: the buttons, check boxes and
// fields of the page and the button row each answer to a letter of their own.
void TestLanguage::everyControlHasItsOwnAccelerator() {
    QFETCH(QString, language);
    ks::Environment().SetUiLanguage(language.toStdString());
    struct Restore {
        ~Restore() { ks::Environment().SetUiLanguage("NL"); }
    } restore;
    ks::test::ShownWizard wizard;
    wizard.window.RunSetup().OutputFolder = store_->Path("");
    QListWidget* layouts = wizard.Find<QListWidget>("lstOpmaak");
    QVERIFY(layouts->count() >= 2);
    int checked = 0;
    for (int layout = 0; layout < layouts->count(); ++layout) {
        layouts->setCurrentRow(layout);
        for (int page = 0; page < wizard.window.PageCount(); ++page) {
            wizard.window.ShowPage(page);
            const QWidget* shown = wizard.window.Page(page);
            QMap<QKeySequence, QString> owners;
            for (QWidget* w : wizard.window.findChildren<QWidget*>()) {
                if (!w->isVisibleTo(&wizard.window)) continue;
                const bool labelled =
                    std::ranges::any_of(shown->findChildren<QLabel*>(),
                                        [w](const QLabel* l) { return l->buddy() == w; });
                QKeySequence keys;
                if (auto* label = qobject_cast<QLabel*>(w); label && label->buddy())
                    keys = QKeySequence::mnemonic(label->text());
                else if (auto* button = qobject_cast<QAbstractButton*>(w); button && !labelled)
                    keys = button->shortcut(); // else its label's keys reach it
                else if (qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w))
                    QVERIFY2(labelled, qPrintable(w->objectName())); // reached by its label's
                if (keys.isEmpty() && (labelled || !qobject_cast<QAbstractButton*>(w))) continue;
                const QString where = language + QStringLiteral(" page ") + QString::number(page) +
                                      QStringLiteral(": ") + w->objectName();
                QVERIFY2(!keys.isEmpty(), qPrintable(where));
                QVERIFY2(!owners.contains(keys),
                         qPrintable(where + QStringLiteral(" and ") + owners.value(keys)));
                owners.insert(keys, w->objectName());
                ++checked;
            }
        }
    }
    QVERIFY(checked > 40);
}

void TestLanguage::captionsMadeAtRunTimeGetAFreeLetter() {
    const struct {
        QString caption, used;
        qsizetype from;
        QString expected;
    } cases[] = {
        {"Split \"Index\" into pages", "ist", 7, "Split \"I&ndex\" into pages"},
        {"Ab \"x\"", "x", 4, "&Ab \"x\""}, // any free letter when the part has none
        {"A && B", "a", 0, "A && &B"},     // "&&" shows one ampersand
        {"&Open", "o", 0, "&Open"},        // a mark of its own is kept
        {"ab", "ab", 0, "ab"},             // no letter left
    };
    for (const auto& c : cases)
        QCOMPARE(WithFreeMnemonic(c.caption, c.used, c.from), c.expected);
    QCOMPARE(PlainCaption("Kinderen & ouders"), QStringLiteral("Kinderen && ouders"));
    QCOMPARE(MnemonicOf(QStringLiteral("A && B")), QChar());
}

QTEST_MAIN(TestLanguage)
#include "KSlanguage_test.moc"
