// The window on a virtual display set up by tests/app/on-virtual-screen, in
// the language KS_TEST_LANGUAGE: it opens with Volgende and Annuleren on the
// screen, and no caption or entry of a list of choices is cut on any page.
#include "WizardTestKit.h"

#include "app/KSwizardPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyleOptionComboBox>
#include <QtTest>

namespace {

// The first text of a visible control that does not fit: an entry of a list
// of choices wider than its field, or a caption of a check box or of a label
// that does not wrap narrower than it needs. Push buttons keep their size.
QString FirstCutText(const QWidget* control) {
    if (!control->isVisible()) return QString();
    if (auto* combo = qobject_cast<const QComboBox*>(control)) {
        QStyleOptionComboBox option;
        option.initFrom(combo);
        const QRect field = combo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                           QStyle::SC_ComboBoxEditField, combo);
        for (int i = 0; i < combo->count(); ++i)
            if (combo->fontMetrics().horizontalAdvance(combo->itemText(i)) > field.width())
                return combo->itemText(i);
    }
    auto* label = qobject_cast<const QLabel*>(control);
    const bool fixed = label && !label->wordWrap() &&
                       label->sizePolicy().horizontalPolicy() != QSizePolicy::Ignored;
    if ((fixed || qobject_cast<const QCheckBox*>(control)) &&
        control->width() < control->sizeHint().width())
        return control->property("text").toString();
    return QString();
}

} // namespace

class TestWizardOnScreen : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        const QString language = qEnvironmentVariable("KS_TEST_LANGUAGE", QStringLiteral("NL"));
        ks::test::StartTestEnvironment({"/LANGUAGE=" + language.toStdString()});
    }
    void cleanupTestCase() { ks::test::StopTestEnvironment(); }

    void theButtonsAreOnTheScreenAndNoCaptionOrEntryIsCut() {
        ks::test::PrivateStore store;
        ks::test::ShownWizard shown;
        const QRect screen = shown.window.screen()->availableGeometry();
        for (const char* name : {"btnVolgende", "btnCancel"}) {
            const auto* button = shown.Find<QPushButton>(name);
            QVERIFY2(screen.contains(QRect(button->mapToGlobal(QPoint(0, 0)), button->size())),
                     name);
        }
        for (int page = 0; page < shown.window.PageCount(); ++page) {
            shown.window.ShowPage(page);
            QTest::qWait(50);
            for (const QWidget* control : shown.window.Page(page)->findChildren<QWidget*>())
                QVERIFY2(FirstCutText(control).isEmpty(), qPrintable(FirstCutText(control)));
        }
    }
};

QTEST_MAIN(TestWizardOnScreen)
#include "KSwizardScreenFit_test.moc"
