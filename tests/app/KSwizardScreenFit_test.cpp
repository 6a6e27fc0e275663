// The window on a virtual display set up by tests/app/on-virtual-screen, in
// the language KS_TEST_LANGUAGE: it opens with Volgende and Annuleren on the
// screen, and no caption or entry of a list of choices is cut on any page;
// after a run no progress row is cut either, no page shows more than one
// scroll bar, the notes sit right below what they explain and Openen is in
// view.
#include "WizardTestKit.h"

#include "app/KSdocumentPage.h"
#include "app/KSprogressPage.h"
#include "app/KSwizardPage.h"

#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyleOptionComboBox>
#include <QtTest>

using ks::app::TwzrdHTMLverzamelIndex;

namespace {

const std::string kSamples = KS_SOURCE_SAMPLES_DIR;

// The areas of the window that show a scroll bar, lists of entries aside.
QStringList ScrollingAreas(const QWidget* window) {
    QStringList scrolling;
    for (const QAbstractScrollArea* area : window->findChildren<QAbstractScrollArea*>()) {
        if (!area->isVisible() || qobject_cast<const QListView*>(area)) continue;
        if (area->verticalScrollBar()->isVisible() || area->horizontalScrollBar()->isVisible())
            scrolling << area->objectName();
    }
    return scrolling;
}

// The first area that does not scroll sideways whose content is wider than
// it (the content's right side cut off).
QString WiderThanItsArea(const QWidget* window) {
    for (const QScrollArea* area : window->findChildren<QScrollArea*>())
        if (area->isVisible() && area->widget() &&
            area->horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOff &&
            area->widget()->width() > area->viewport()->width())
            return QStringLiteral("%1: %2 px wide in %3 px")
                .arg(area->objectName())
                .arg(area->widget()->width())
                .arg(area->viewport()->width());
    return QString();
}

// True when the whole control is on the screen and within every area around
// it (nothing scrolled or clipped away).
bool WholeInView(const QWidget* control) {
    const QRect own(control->mapToGlobal(QPoint(0, 0)), control->size());
    if (!control->isVisible() || !control->screen()->availableGeometry().contains(own))
        return false;
    for (const QWidget* around = control->parentWidget(); around; around = around->parentWidget())
        if (!QRect(around->mapToGlobal(QPoint(0, 0)), around->size()).contains(own)) return false;
    return true;
}

// A note and the control it explains, both shown: the note starts right
// below it (less than a line between them) and not to its left.
QString NoteApart(const QWidget* window, const char* noteName, const char* controlName) {
    const auto* note = window->findChild<QLabel*>(noteName);
    const auto* control = window->findChild<QWidget*>(controlName);
    if (!note || !control || !note->isVisible() || !control->isVisible())
        return QStringLiteral("%1 or %2 not shown").arg(noteName, controlName);
    const QPoint noteAt = note->mapTo(window, QPoint(0, 0));
    const QPoint controlAt = control->mapTo(window, QPoint(0, 0));
    const int gap = noteAt.y() - (controlAt.y() + control->height());
    if (gap >= 0 && gap < note->fontMetrics().lineSpacing() && noteAt.x() >= controlAt.x())
        return QString();
    return QStringLiteral("%1 is %2 px below %3").arg(noteName).arg(gap).arg(controlName);
}

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
    // A wrapped note or summary lower than its lines need.
    if (label && label->wordWrap() && !label->text().isEmpty() &&
        label->height() < label->heightForWidth(label->width()))
        return label->text();
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

    void afterARunEveryPageFits_data() {
        QTest::addColumn<int>("page");
        QTest::newRow("explanation") << int(TwzrdHTMLverzamelIndex::kUitleg);
        QTest::newRow("documents") << int(TwzrdHTMLverzamelIndex::kDocumenten);
        QTest::newRow("layout") << int(TwzrdHTMLverzamelIndex::kStijl);
        QTest::newRow("settings") << int(TwzrdHTMLverzamelIndex::kInstellingen);
        QTest::newRow("progress") << int(TwzrdHTMLverzamelIndex::kVoortgang);
    }
    void afterARunEveryPageFits() {
        QFETCH(int, page);
        ks::test::PrivateStore store;
        ks::test::ShownWizard shown;
        ks::app::TwzrdHTMLverzamelIndex& window = shown.window;
        window.ProgressPage()->SetUrlOpener([](const QUrl&) { return true; });
        for (const char* tree : {"jansen/jansen.htx", "deboer/deboer.htx", "smit/smit.htx"})
            QVERIFY(window.DocumentPage()->AddHTXfile(kSamples + tree));
        window.RunSetup().OutputFolder = store.Path("");
        window.ShowPage(TwzrdHTMLverzamelIndex::kStijl);
        window.btnVolgendeClick(); // the settings of the layout
        window.btnVolgendeClick(); // the run
        QCOMPARE(window.ActivePageIndex(), int(TwzrdHTMLverzamelIndex::kVoortgang));
        QVERIFY(window.ProgressPage()->ResultEnabled());

        window.ShowPage(page);
        QTest::qWait(50);
        for (const QWidget* control : window.Page(page)->findChildren<QWidget*>())
            QVERIFY2(FirstCutText(control).isEmpty(), qPrintable(FirstCutText(control)));
        const QStringList scrolling = ScrollingAreas(&window);
        QVERIFY2(scrolling.size() <= 1, qPrintable(scrolling.join(QLatin1Char(' '))));
        // On a busy machine the page may take longer than the wait above to
        // settle its layout.
        QTRY_VERIFY2_WITH_TIMEOUT(WiderThanItsArea(&window).isEmpty(),
                                  qPrintable(WiderThanItsArea(&window)), 3000);
        // The notes a first start shows: years shown, so they cannot be ignored.
        const char* notes[][2] = {{"lblJaartallenNoot", "chkDubbelZonderJaartallen"},
                                  {"lblPaginaGrootte", "lblIndexType"}};
        if (page == TwzrdHTMLverzamelIndex::kInstellingen)
            for (const auto& [note, control] : notes)
                QVERIFY2(NoteApart(&window, note, control).isEmpty(),
                         qPrintable(NoteApart(&window, note, control)));
        if (page == TwzrdHTMLverzamelIndex::kVoortgang)
            QVERIFY(WholeInView(shown.Find<QPushButton>("btnResultaatOpenen")));
    }

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
