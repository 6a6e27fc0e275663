// The window's size and splitter come back after a restart (a stored size
// larger than the screen is brought back onto it), and the picture grows
// with its panel with its proportions kept; a click shows it full size.
#include "WizardTestKit.h"

#include "app/KSimagePanel.h"
#include "app/KSsplitter.h"
#include "app/KSwizardPage.h"

#include <QLabel>
#include <QScreen>
#include <QtTest>

using namespace ks::app;

class TestWizardScreen : public ks::test::WizardTestCase {
    Q_OBJECT

private slots:
    void sizeAndSplitterComeBackAfterARestart_data() {
        QTest::addColumn<QSize>("chosen");
        QTest::newRow("larger than the design size") << QSize(760, 540);
        QTest::newRow("smaller than the design size") << QSize(600, 420);
        QTest::newRow("larger than the screen") << QSize(3000, 2000);
    }
    void sizeAndSplitterComeBackAfterARestart() {
        QFETCH(QSize, chosen);
        {
            ks::test::ShownWizard first;
            first.window.resize(chosen);
            first.window.ShowPage(TwzrdHTMLverzamelIndex::kStijl); // a page with the picture
            first.window.Splitter()->SetLeftPosition(170);
            first.window.btnCancelClick();
        }
        ks::test::ShownWizard again;
        const QRect screen = again.window.screen()->availableGeometry();
        if (screen.size().expandedTo(chosen) == screen.size())
            QCOMPARE(again.window.size(), chosen);
        else
            QVERIFY(screen.contains(again.window.geometry()));
        again.window.ShowPage(TwzrdHTMLverzamelIndex::kStijl);
        QTRY_COMPARE(again.window.Splitter()->sizes().value(0), 170);
    }

    void pictureGrowsWithItsPanelAndOpensFullSize() {
        ks::test::ShownWizard shown;
        shown.window.ShowPage(TwzrdHTMLverzamelIndex::kStijl);
        const TKSimagePanel* image = shown.window.Image();
        QVERIFY(image->HasPicture()); // the first layout's preview
        const QSize picture = image->Picture().size();
        int lastWidth = 0;
        for (const QSize& window : {QSize(560, 400), QSize(640, 480), QSize(780, 580)}) {
            shown.window.resize(window);
            QTRY_COMPARE(shown.window.size(), window);
            const QRect drawn = image->PictureRect();
            QVERIFY(image->rect().contains(drawn) && drawn.width() > lastWidth);
            QVERIFY(qAbs(drawn.width() * picture.height() - drawn.height() * picture.width()) <=
                    picture.width() + picture.height()); // within a pixel
            lastWidth = drawn.width();
        }
        // A click shows the picture at its own size; Esc closes it.
        QTest::mouseClick(shown.window.Image(), Qt::LeftButton, {}, image->PictureRect().center());
        QDialog* view = nullptr;
        QTRY_VERIFY((view = shown.window.findChild<QDialog*>("fullSizePicture")));
        QCOMPARE(view->findChild<QLabel*>()->pixmap().size(), picture);
        QTest::keyClick(view, Qt::Key_Escape);
        QTRY_VERIFY(!shown.window.findChild<QDialog*>("fullSizePicture"));
    }
};

QTEST_MAIN(TestWizardScreen)
#include "KSwizardScreen_test.moc"
