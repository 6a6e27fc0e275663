// The explanation page's rich-text reader: styles, colours, escapes and the
// shipped explanation texts; text that is no RTF and damaged RTF.
#include "app/KSrtf.h"

#include <QFile>
#include <QTextBlock>
#include <QTextDocument>
#include <QtTest>

using namespace ks::app;

namespace {

// The document Qt makes of the reader's HTML.
struct Shown {
    explicit Shown(const QByteArray& rtf) { document.setHtml(RtfToHtml(rtf)); }
    QTextCharFormat FormatOf(const QString& text) {
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
            for (auto it = block.begin(); !it.atEnd(); ++it)
                if (it.fragment().text().contains(text)) return it.fragment().charFormat();
        return {};
    }
    QTextDocument document;
};

} // namespace

class TestRtf : public QObject {
    Q_OBJECT

private slots:
    void stylesColoursAndEscapes();
    void shippedTextsAndDamagedInput();
};

void TestRtf::stylesColoursAndEscapes() {
    Shown shown("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255\\green0\\blue0;}"
                "{\\*\\generator hidden}\\pard plain \\b bold\\b0  \\i italic\\i0  "
                "\\ul under\\ulnone  {\\fs40 big} \\cf1 red\\cf0\\par "
                "caf\\'e9 \\u8364?uro \\{x\\} it\\rquote s \\ldblquote q\\rdblquote\\par}");
    const QString text = shown.document.toPlainText();
    QCOMPARE(
        text,
        QStringLiteral(
            "plain bold italic under big red\ncaf\u00E9 \u20ACuro {x} it\u2019s \u201Cq\u201D"));
    QVERIFY(!text.contains(QLatin1String("Arial")) && !text.contains(QLatin1String("hidden")));
    QCOMPARE(shown.FormatOf("bold").fontWeight(), int(QFont::Bold));
    QVERIFY(shown.FormatOf("plain").fontWeight() != int(QFont::Bold));
    QVERIFY(shown.FormatOf("italic").fontItalic());
    QVERIFY(shown.FormatOf("under").fontUnderline());
    QCOMPARE(shown.FormatOf("big").fontPointSize(), 20.0);
    QCOMPARE(shown.FormatOf("red").foreground().color(), QColor(255, 0, 0));
    QCOMPARE(shown.document.blockCount(), 2);
}

void TestRtf::shippedTextsAndDamagedInput() {
    for (const char* language : {"NL", "GB"}) {
        QFile file(QStringLiteral(KS_TEST_DIST_DIR) + language + "/HTMLindexWizard.rtf");
        QVERIFY(file.open(QIODevice::ReadOnly));
        Shown shown(file.readAll());
        const QString text = shown.document.toPlainText();
        QVERIFY2(text.contains(QLatin1String("KESTRIN")), language);
        QVERIFY2(!text.contains(QLatin1Char('\\')) && !text.contains(QLatin1Char('{')), language);
    }
    QCOMPARE(Shown("plain <text>").document.toPlainText(), QStringLiteral("plain <text>"));
    // Cut short, unbalanced, or ending in an escape: no crash, the text read so far.
    QVERIFY(Shown("{\\rtf1 abc\\'4").document.toPlainText().startsWith(QLatin1String("abc")));
    QCOMPARE(Shown("{\\rtf1 a}}}b\\").document.toPlainText(), QStringLiteral("ab"));
    QCOMPARE(Shown("{\\rtf1 \\u-3913?}").document.toPlainText(), QString(QChar(0xF0B7)));
}

QTEST_MAIN(TestRtf)
#include "KSrtf_test.moc"
