// The window on a real (virtual) display of the size and density that
// tests/app/on-virtual-screen sets up: it opens inside the screen with
// Volgende and Annuleren on it, and no caption or list entry on any page is
// cut. The language is KS_TEST_LANGUAGE (NL when unset).
#include "WizardTestKit.h"

#include "app/KSwizardPage.h"
#include "common/KSini.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QtTest>

using namespace ks::app;

namespace {

QRect OnScreen(const QWidget* widget) {
    return QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
}

QString Describe(const QWidget* widget, const QString& text) {
    return QStringLiteral("%1 \"%2\" is %3 px wide of the %4 it needs")
        .arg(widget->objectName(), text)
        .arg(widget->width())
        .arg(widget->sizeHint().width());
}

// What is cut on the visible page: the first control whose caption or
// longest entry does not fit, or an empty text.
QString FirstCutText(const QWidget* page) {
    for (const QWidget* widget : page->findChildren<QWidget*>()) {
        if (!widget->isVisible()) continue;
        if (auto* combo = qobject_cast<const QComboBox*>(widget)) {
            QStyleOptionComboBox option;
            option.initFrom(combo);
            const int room = combo->style()
                                 ->subControlRect(QStyle::CC_ComboBox, &option,
                                                  QStyle::SC_ComboBoxEditField, combo)
                                 .width();
            for (int i = 0; i < combo->count(); ++i)
                if (combo->fontMetrics().horizontalAdvance(combo->itemText(i)) > room)
                    return Describe(combo, combo->itemText(i));
        } else if (auto* button = qobject_cast<const QPushButton*>(widget)) {
            // Picture buttons keep the size they were given; a caption needs
            // its text width and a little room at either side.
            const int text = button->fontMetrics().horizontalAdvance(button->text());
            if (!button->text().isEmpty() && button->width() < text + 8)
                return Describe(button, button->text());
        } else if (auto* box = qobject_cast<const QAbstractButton*>(widget)) {
            if (box->width() < box->sizeHint().width()) return Describe(box, box->text());
        } else if (auto* label = qobject_cast<const QLabel*>(widget)) {
            // Labels that wrap or that show a path in the room there is are meant to.
            if (label->wordWrap() ||
                label->sizePolicy().horizontalPolicy() == QSizePolicy::Ignored ||
                label->text().isEmpty())
                continue;
            if (label->width() < label->sizeHint().width()) return Describe(label, label->text());
        }
    }
    return QString();
}

} // namespace

class TestWizardOnScreen : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        const QByteArray language = qgetenv("KS_TEST_LANGUAGE");
        ks::test::StartTestEnvironment(
            {"/LANGUAGE=" + (language.isEmpty() ? std::string("NL") : language.toStdString())});
        const QScreen* screen = QGuiApplication::primaryScreen();
        qInfo("screen %dx%d (available %dx%d), %.0f dpi, device pixel ratio %.2f",
              screen->size().width(), screen->size().height(), screen->availableSize().width(),
              screen->availableSize().height(), screen->logicalDotsPerInch(),
              screen->devicePixelRatio());
    }
    void cleanupTestCase() { ks::test::StopTestEnvironment(); }
    void init() { store_ = std::make_unique<ks::test::PrivateStore>(); }
    void cleanup() { store_.reset(); }

    void theButtonsAreOnTheScreen();
    void noCaptionOrEntryIsCut();

private:
    std::unique_ptr<ks::test::PrivateStore> store_;
};

void TestWizardOnScreen::theButtonsAreOnTheScreen() {
    // The design size and a size stored on a larger screen.
    for (const QSize stored : {QSize(), QSize(1600, 1200)}) {
        if (stored.isValid()) {
            ks::TKSreg reg(TwzrdHTMLverzamelIndex::SettingsKey());
            reg.WriteString("WindowWidth", std::to_string(stored.width()));
            reg.WriteString("WindowHeight", std::to_string(stored.height()));
        }
        ks::test::ShownWizard shown;
        const QRect screen = shown.window.screen()->availableGeometry();
        qInfo("window %dx%d at %d,%d", shown.window.width(), shown.window.height(),
              shown.window.x(), shown.window.y());
        for (const char* name : {"btnVolgende", "btnCancel"}) {
            auto* button = shown.Find<QPushButton>(name);
            QVERIFY2(screen.contains(OnScreen(button)),
                     qPrintable(QStringLiteral("%1 at %2,%3 is off the %4x%5 screen")
                                    .arg(QLatin1String(name))
                                    .arg(OnScreen(button).x())
                                    .arg(OnScreen(button).y())
                                    .arg(screen.width())
                                    .arg(screen.height())));
            QVERIFY(button->width() >= button->sizeHint().width());
        }
    }
}

void TestWizardOnScreen::noCaptionOrEntryIsCut() {
    ks::test::ShownWizard shown;
    for (int page = 0; page < shown.window.PageCount(); ++page) {
        shown.window.ShowPage(page);
        QTest::qWait(50);
        const QString cut = FirstCutText(shown.window.Page(page));
        QVERIFY2(cut.isEmpty(), qPrintable(QStringLiteral("page %1: ").arg(page) + cut));
    }
}

QTEST_MAIN(TestWizardOnScreen)
#include "KSwizardScreenFit_test.moc"
