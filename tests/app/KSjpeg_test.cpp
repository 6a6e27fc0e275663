// JPEG pictures decoded with libjpeg: a shipped preview whole, and damaged
// data (cut short, or no picture at all) as a null image, never a crash.
#include "app/KSjpeg.h"

#include <QFile>
#include <QtTest>

using namespace ks::app;

class TestJpeg : public QObject {
    Q_OBJECT

private slots:
    void decodesAPreviewAndRefusesDamagedData();
};

void TestJpeg::decodesAPreviewAndRefusesDamagedData() {
    QFile file(QStringLiteral(KS_TEST_DIST_DIR "NL/layout/classic/preview.jpg"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const QImage picture = DecodeJpeg(bytes);
    QCOMPARE(picture.size(), QSize(480, 360));
    // The same picture as Qt's own reader sees it, within JPEG's rounding.
    const QImage reference = QImage::fromData(bytes, "JPG").convertToFormat(QImage::Format_RGB888);
    if (!reference.isNull()) {
        const QColor a = picture.pixelColor(240, 180);
        const QColor b = reference.pixelColor(240, 180);
        QVERIFY(qAbs(a.red() - b.red()) <= 8 && qAbs(a.green() - b.green()) <= 8);
    }

    QVERIFY(DecodeJpeg(bytes.left(bytes.size() / 2)).isNull()); // cut short
    QVERIFY(DecodeJpeg(bytes.left(4)).isNull());                // only the start
    QVERIFY(DecodeJpeg(QByteArray("not a picture at all")).isNull());
    QByteArray garbage = bytes.left(20);
    for (int i = 0; i < 4000; ++i)
        garbage.append(static_cast<char>((i * 7919) & 0xFF));
    QVERIFY(DecodeJpeg(garbage).isNull()); // a JPEG start followed by noise
    QVERIFY(DecodeJpeg(QByteArray()).isNull());
}

QTEST_MAIN(TestJpeg)
#include "KSjpeg_test.moc"
