// The RTF reader: character formats, escapes, paragraphs, skipped groups, plain text and the shipped texts.
#include "ui/RtfReader.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

using darv::loadRichText;
using darv::setRichText;

namespace {

// The text of every paragraph, joined by "\n"; unlike toPlainText() it keeps no-break spaces as they are.
QString plain(const QByteArray& rtf)
{
    QTextDocument document;
    setRichText(&document, rtf);
    QStringList blocks;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        blocks.append(block.text());
    return blocks.join(QLatin1Char('\n'));
}

// The character format of the first fragment whose text contains needle; fails the test when absent.
QTextCharFormat formatOf(const QTextDocument& document, const QString& needle)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().text().contains(needle))
                return it.fragment().charFormat();
        }
    }
    qWarning("no fragment holds %s", qPrintable(needle));
    return QTextCharFormat();
}

QTextBlock blockHolding(const QTextDocument& document, const QString& needle)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.text().contains(needle))
            return block;
    }
    return QTextBlock();
}

} // namespace

class RtfReaderTest : public QObject
{
    Q_OBJECT

private slots:
    void boldItalicUnderlineRuns();
    void groupsRestoreFormatting();
    void fontSizeAndFamily();
    void colourTable();
    void characterEscapes();
    void unicodeEscapesSkipTheirReplacement();
    void tabsLinesAndParagraphs();
    void paragraphAlignmentAndIndent();
    void skippedGroups();
    void plainTextFallback();
    void malformedInputNeverFails();
    void truncatedTextNeverFails();
    void missingFileLeavesTheDocument();
    void loadReplacesTheContent();
    void shippedTextsParse_data();
    void shippedTextsParse();
};

void RtfReaderTest::boldItalicUnderlineRuns()
{
    QTextDocument document;
    setRichText(&document, "{\\rtf1\\ansi normal \\b bold\\b0  \\i italic\\i0  \\ul under\\ulnone  "
                           "\\ul again\\ul0  \\b\\i both\\plain  plain}");
    QCOMPARE(document.toPlainText(), QStringLiteral("normal bold italic under again both plain"));
    QCOMPARE(formatOf(document, "normal").fontWeight(), int(QFont::Normal));
    QCOMPARE(formatOf(document, "bold").fontWeight(), int(QFont::Bold));
    QVERIFY(!formatOf(document, "bold").fontItalic());
    QVERIFY(formatOf(document, "italic").fontItalic());
    QCOMPARE(formatOf(document, "italic").fontWeight(), int(QFont::Normal));
    QVERIFY(formatOf(document, "under").fontUnderline());
    QVERIFY(formatOf(document, "again").fontUnderline());
    QVERIFY(!formatOf(document, "both").fontUnderline());
    QCOMPARE(formatOf(document, "both").fontWeight(), int(QFont::Bold));
    QVERIFY(formatOf(document, "both").fontItalic());
    const QTextCharFormat reset = formatOf(document, "plain");
    QCOMPARE(reset.fontWeight(), int(QFont::Normal));
    QVERIFY(!reset.fontItalic());
}

void RtfReaderTest::groupsRestoreFormatting()
{
    QTextDocument document;
    setRichText(&document, "{\\rtf1 before {\\b inside {\\i deeper} back} after}");
    QCOMPARE(document.toPlainText(), QStringLiteral("before inside deeper back after"));
    QCOMPARE(formatOf(document, "inside").fontWeight(), int(QFont::Bold));
    QVERIFY(formatOf(document, "deeper").fontItalic());
    QCOMPARE(formatOf(document, "deeper").fontWeight(), int(QFont::Bold));
    QVERIFY(!formatOf(document, "back").fontItalic());
    QCOMPARE(formatOf(document, "after").fontWeight(), int(QFont::Normal));
}

void RtfReaderTest::fontSizeAndFamily()
{
    QTextDocument document;
    setRichText(&document, "{\\rtf1\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fmodern\\fcharset0 Courier New;}}"
                           "\\fs28 Heading\\fs17  small \\f1 mono\\f0  back}");
    QCOMPARE(document.toPlainText(), QStringLiteral("Heading small mono back"));
    QCOMPARE(formatOf(document, "Heading").fontPointSize(), 14.0);
    QCOMPARE(formatOf(document, "small").fontPointSize(), 8.5);
    QCOMPARE(formatOf(document, "Heading").fontFamilies().toStringList(), QStringList{"Arial"});
    QCOMPARE(formatOf(document, "mono").fontFamilies().toStringList(), QStringList{"Courier New"});
    QCOMPARE(formatOf(document, "back").fontFamilies().toStringList(), QStringList{"Arial"});
}

void RtfReaderTest::colourTable()
{
    QTextDocument document;
    setRichText(&document, "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue192;}"
                           "auto \\cf1 red\\cf2  blue\\cf0  auto again \\cf9 unknown}");
    QCOMPARE(document.toPlainText(), QStringLiteral("auto red blue auto again unknown"));
    QVERIFY(!formatOf(document, "auto").hasProperty(QTextFormat::ForegroundBrush));
    QCOMPARE(formatOf(document, "red").foreground().color(), QColor(255, 0, 0));
    QCOMPARE(formatOf(document, "blue").foreground().color(), QColor(0, 0, 192));
    QVERIFY(!formatOf(document, "again").hasProperty(QTextFormat::ForegroundBrush));
    QVERIFY(!formatOf(document, "unknown").hasProperty(QTextFormat::ForegroundBrush));
}

void RtfReaderTest::characterEscapes()
{
    QCOMPARE(plain("{\\rtf1 caf\\'e9 \\'80 \\'93q\\'94 \\{braces\\} back\\\\slash}"),
             QStringLiteral("caf\u00e9 \u20ac \u201cq\u201d {braces} back\\slash"));
    QCOMPARE(plain("{\\rtf1 a\\~b\\_c \\emdash \\bullet \\lquote x\\rquote}"),
             QStringLiteral("a\u00a0b-c \u2014\u2022\u2018x\u2019")); // the blank after a word ends the word
    // A raw byte above 127 is read in the same code page as an escape.
    QCOMPARE(plain("{\\rtf1 caf\xe9}"), QStringLiteral("caf\u00e9"));
}

void RtfReaderTest::unicodeEscapesSkipTheirReplacement()
{
    QCOMPARE(plain("{\\rtf1 \\u8364? euro}"), QStringLiteral("\u20ac euro"));
    QCOMPARE(plain("{\\rtf1 \\u-3913?x}"), QString(QChar(char16_t(0xF0B7))) + QStringLiteral("x"));
    // \uc2 skips two replacement characters, and an escape counts as one of them.
    QCOMPARE(plain("{\\rtf1\\uc2 \\u233\\'65\\'3f done}"), QStringLiteral("\u00e9 done"));
    QCOMPARE(plain("{\\rtf1\\uc0 \\u233 e}"), QStringLiteral("\u00e9e"));
    // A group ends the skip; the replacement count is restored with the group.
    QCOMPARE(plain("{\\rtf1 {\\uc3 \\u252}abc}"), QStringLiteral("\u00fcabc"));
    // A surrogate pair written as two escapes makes one character.
    QCOMPARE(plain("{\\rtf1 \\u-10179?\\u-8704?}"), QString::fromUcs4(U"\U0001F600"));
}

void RtfReaderTest::tabsLinesAndParagraphs()
{
    QTextDocument document;
    setRichText(&document, "{\\rtf1 one\\tab two\\line three\\par\r\nsecond\r\n paragraph\\par\\par fourth\\par}");
    QCOMPARE(document.blockCount(), 4);
    QCOMPARE(document.findBlockByNumber(0).text(), QStringLiteral("one\ttwo\u2028three"));
    QCOMPARE(document.findBlockByNumber(1).text(), QStringLiteral("second paragraph"));
    QCOMPARE(document.findBlockByNumber(2).text(), QString());
    QCOMPARE(document.findBlockByNumber(3).text(), QStringLiteral("fourth"));
    // An escaped line end is a paragraph end too.
    QTextDocument escaped;
    setRichText(&escaped, "{\\rtf1 a\\\nb}");
    QCOMPARE(escaped.blockCount(), 2);
}

void RtfReaderTest::paragraphAlignmentAndIndent()
{
    QTextDocument document;
    setRichText(&document, "{\\rtf1\\pard\\qc Centred\\par\\pard\\li300\\fi-150\\sa120 Indented\\par"
                           "\\pard Left\\par\\pard\\li150\\tx600\\tx1500 Stops\\par}");
    const QTextBlockFormat stops = blockHolding(document, "Stops").blockFormat();
    QCOMPARE(stops.tabPositions().size(), 2);
    QCOMPARE(stops.tabPositions().at(0).position, 30.0); // 40 pixels from the text's edge, 10 past the indent
    QCOMPARE(stops.tabPositions().at(1).position, 90.0);
    QCOMPARE(blockHolding(document, "Centred").blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    const QTextBlockFormat indented = blockHolding(document, "Indented").blockFormat();
    QCOMPARE(indented.leftMargin(), 20.0);
    QCOMPARE(indented.textIndent(), -10.0);
    QCOMPARE(indented.bottomMargin(), 8.0);
    // The hanging indent stops the tab at the left indent: 20 - 10 pixels past the first line's start.
    QCOMPARE(indented.tabPositions().size(), 1);
    QCOMPARE(indented.tabPositions().constFirst().position, 10.0);
    const QTextBlockFormat left = blockHolding(document, "Left").blockFormat();
    QVERIFY(left.tabPositions().isEmpty());
    QCOMPARE(left.leftMargin(), 0.0);
    QVERIFY(!(left.alignment() & Qt::AlignHCenter));
}

void RtfReaderTest::skippedGroups()
{
    const QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red1\\green2\\blue3;}"
                           "{\\stylesheet{\\s0 Normal;}}{\\info{\\title Secret title}{\\author Someone}}"
                           "{\\*\\generator Writer 1.0;}{\\*\\unknownthing with {nested} text}"
                           "{\\pict\\pngblip 89504e47}{\\header page header}"
                           "{\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt shown}} visible"
                           "{\\pict\\bin4 }{\\}} text}";
    QCOMPARE(plain(rtf), QStringLiteral("shown visible text"));
}

void RtfReaderTest::plainTextFallback()
{
    QTextDocument document;
    setRichText(&document, "Just a note\r\nwith {braces} and \\b no codes\n");
    QVERIFY(document.toPlainText().startsWith(QStringLiteral("Just a note\nwith {braces} and \\b no codes")));
    QCOMPARE(formatOf(document, "no codes").fontWeight(), int(QFont::Normal));
    QCOMPARE(plain("caf\xc3\xa9 in UTF-8"), QStringLiteral("caf\u00e9 in UTF-8"));
    QCOMPARE(plain("caf\xe9 in Windows text"), QStringLiteral("caf\u00e9 in Windows text"));
    QCOMPARE(plain("{\\rt almost"), QStringLiteral("{\\rt almost"));
    QCOMPARE(plain(""), QString());
}

void RtfReaderTest::malformedInputNeverFails()
{
    // Cut-off escapes, unbalanced braces, absurd parameters: defined results, no crash, no hang.
    QCOMPARE(plain("{\\rtf1 ab\\'4"),
             QStringLiteral("ab4")); // the cut-off escape mark is dropped, its digit stays text
    QCOMPARE(plain("{\\rtf1 ab\\"), QStringLiteral("ab"));
    QCOMPARE(plain("{\\rtf1 ab}}} after the end"), QStringLiteral("ab"));
    QCOMPARE(plain("{\\rtf1 {{{deep"), QStringLiteral("deep"));
    QCOMPARE(plain("{\\rtf1 \\'zz ok"), QStringLiteral("zz ok"));
    QCOMPARE(plain("{\\rtf1 \\fs99999999999999999999 big\\cf-5  x\\bin999999 }"), QStringLiteral("big x"));
    QByteArray deep = "{\\rtf1 ";
    deep += QByteArray(20000, '{') + "x" + QByteArray(20000, '}') + " y}";
    QCOMPARE(plain(deep), QStringLiteral("x y"));
}

// Every prefix of a real text, cut anywhere (inside a control word, an escape, a group), still reads.
void RtfReaderTest::truncatedTextNeverFails()
{
    QFile file(QStringLiteral(DARV_TEXT_DIR "/about.rtf"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray data = file.readAll();
    const QString whole = plain(data);
    for (qsizetype length = 0; length <= data.size(); ++length) {
        const QString text = plain(data.left(length));
        QVERIFY2(text.size() <= whole.size() + 5, qPrintable(QString::number(length))); // "{\rtf" itself
    }
}

void RtfReaderTest::missingFileLeavesTheDocument()
{
    QTextDocument document;
    document.setPlainText(QStringLiteral("kept"));
    QTemporaryDir dir;
    QVERIFY(!loadRichText(&document, dir.filePath(QStringLiteral("absent.rtf"))));
    QVERIFY(!loadRichText(&document, dir.path())); // a folder is no text file
    QCOMPARE(document.toPlainText(), QStringLiteral("kept"));
}

void RtfReaderTest::loadReplacesTheContent()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("text.rtf"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("{\\rtf1 {\\b Loaded} text\\par}");
    file.close();
    QTextDocument document;
    document.setPlainText(QStringLiteral("old content"));
    QVERIFY(loadRichText(&document, path));
    QCOMPARE(document.toPlainText(), QStringLiteral("Loaded text"));
    QCOMPARE(formatOf(document, "Loaded").fontWeight(), int(QFont::Bold));
}

void RtfReaderTest::shippedTextsParse_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("headings");
    QTest::newRow("about") << QStringLiteral("about.rtf") << QStringList{QStringLiteral("DARV 2007")};
    QTest::newRow("help") << QStringLiteral("Darv2007.rtf")
                          << QStringList{QStringLiteral("DARV 2007 Help"),     QStringLiteral("Projects"),
                                         QStringLiteral("Locations"),          QStringLiteral("Reports"),
                                         QStringLiteral("Report Options"),     QStringLiteral("Creation-time check"),
                                         QStringLiteral("Handle match check"), QStringLiteral("Drawing age check")};
    QTest::newRow("what next") << QStringLiteral("whatnext.rtf") << QStringList{QStringLiteral("What Next?")};
}

// The texts that the installer puts into the data folder read as formatted text with their headings.
void RtfReaderTest::shippedTextsParse()
{
    QFETCH(QString, name);
    QFETCH(QStringList, headings);
    QFile file(QStringLiteral(DARV_TEXT_DIR "/") + name);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    const QByteArray data = file.readAll();
    QVERIFY(data.startsWith("{\\rtf1"));
    QCOMPARE(data.count('{'), data.count('}') - data.count("\\}") + data.count("\\{"));
    QTextDocument document;
    setRichText(&document, data);
    const QString text = document.toPlainText();
    QVERIFY(text.size() > 200);
    QVERIFY2(!text.contains(QLatin1Char('\\')), "a control word leaked into the text");
    for (const QString& heading : headings) {
        // A heading is a paragraph of its own, in bold.
        QTextBlock block = document.begin();
        while (block.isValid() && block.text() != heading)
            block = block.next();
        QVERIFY2(block.isValid(), qPrintable(heading));
        QCOMPARE(block.begin().fragment().charFormat().fontWeight(), int(QFont::Bold));
    }
}

QTEST_MAIN(RtfReaderTest)
#include "RtfReaderTest.moc"
