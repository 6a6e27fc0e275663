// The window on screens of any size: its size and splitter come back after a
// restart, a stored size larger than the screen is brought back onto it, and
// the picture grows with its panel with its proportions kept; a click shows
// it at its own size.
#include "WizardTestKit.h"

#include "app/KSimagePanel.h"
#include "app/KSsplitter.h"
#include "app/KSwizardPage.h"
#include "common/KSini.h"

#include <QLabel>
#include <QScreen>
#include <QtTest>

using namespace ks::app;

class TestWizardScreen : public ks::test::WizardTestCase {
    Q_OBJECT

private slots:
    void sizeAndSplitterComeBackAfterARestart_data();
    void sizeAndSplitterComeBackAfterARestart();
    void pictureGrowsWithItsPanelAndOpensFullSize();
};

void TestWizardScreen::sizeAndSplitterComeBackAfterARestart_data() {
    QTest::addColumn<QSize>("chosen");
    QTest::addColumn<bool>("fitsTheScreen");
    QTest::newRow("larger than the design size") << QSize(760, 540) << true;
    QTest::newRow("smaller than the design size") << QSize(600, 420) << true;
    QTest::newRow("larger than the screen") << QSize(3000, 2000) << false;
}

void TestWizardScreen::sizeAndSplitterComeBackAfterARestart() {
    QFETCH(QSize, chosen);
    QFETCH(bool, fitsTheScreen);
    const std::string key = TwzrdHTMLverzamelIndex::SettingsKey();
    {
        ks::test::ShownWizard first;
        first.window.resize(chosen);
        first.window.ShowPage(TwzrdHTMLverzamelIndex::kStijl); // a page with the picture
        first.window.Splitter()->SetLeftPosition(170);
        QTRY_COMPARE(first.window.Splitter()->sizes().value(0), 170);
        first.window.btnCancelClick();
    }
    ks::TKSreg reg(key);
    QCOMPARE(reg.ReadString("WindowWidth"), std::to_string(chosen.width()));
    QCOMPARE(reg.ReadString("WindowHeight"), std::to_string(chosen.height()));
    QCOMPARE(reg.ReadString("SplitterPos"), std::string("170"));

    ks::test::ShownWizard again;
    const QRect screen = again.window.screen()->availableGeometry();
    if (fitsTheScreen) {
        QCOMPARE(again.window.size(), chosen);
    } else {
        QVERIFY2(screen.contains(again.window.geometry()),
                 qPrintable(QStringLiteral("window %1x%2 at %3,%4 on a %5x%6 screen")
                                .arg(again.window.width())
                                .arg(again.window.height())
                                .arg(again.window.x())
                                .arg(again.window.y())
                                .arg(screen.width())
                                .arg(screen.height())));
    }
    again.window.ShowPage(TwzrdHTMLverzamelIndex::kStijl);
    QTRY_COMPARE(again.window.Splitter()->sizes().value(0), 170);
    auto* next = again.Find<QWidget>("btnVolgende");
    QVERIFY(again.window.rect().contains(
        QRect(next->mapTo(&again.window, QPoint(0, 0)), next->size())));
}

void TestWizardScreen::pictureGrowsWithItsPanelAndOpensFullSize() {
    ks::test::ShownWizard shown;
    TwzrdHTMLverzamelIndex& wizard = shown.window;
    wizard.ShowPage(TwzrdHTMLverzamelIndex::kStijl);
    TKSimagePanel* image = wizard.Image();
    QVERIFY(image->HasPicture()); // the first layout's preview
    const QSize picture = image->Picture().size();
    const auto ratio = [](const QRect& r) { return double(r.width()) / r.height(); };
    const double pictureRatio = double(picture.width()) / picture.height();

    QList<QRect> drawn;
    for (const QSize& window : {QSize(560, 400), QSize(640, 480), QSize(780, 580)}) {
        wizard.resize(window);
        QTRY_COMPARE(wizard.size(), window);
        drawn << image->PictureRect();
        QVERIFY(image->rect().contains(drawn.last()));
        QVERIFY2(qAbs(ratio(drawn.last()) - pictureRatio) < 0.02,
                 qPrintable(
                     QStringLiteral("%1x%2").arg(drawn.last().width()).arg(drawn.last().height())));
    }
    QVERIFY(drawn[0].width() < drawn[1].width() && drawn[1].width() < drawn[2].width());

    // A click opens the picture at its own size; Esc closes it. A double
    // click opens nothing.
    QTest::mouseDClick(image, Qt::LeftButton, {}, image->PictureRect().center());
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    QVERIFY(!wizard.findChild<QDialog*>("fullSizePicture"));
    QTest::mouseClick(image, Qt::LeftButton, {}, image->PictureRect().center());
    QDialog* view = nullptr;
    QTRY_VERIFY((view = wizard.findChild<QDialog*>("fullSizePicture")) && view->isVisible());
    QCOMPARE(view->findChild<QLabel*>("fullSizeLabel")->pixmap().size(), picture);
    QTest::keyClick(view, Qt::Key_Escape);
    QTRY_VERIFY(!wizard.findChild<QDialog*>("fullSizePicture"));
}

QTEST_MAIN(TestWizardScreen)
#include "KSwizardScreen_test.moc"
