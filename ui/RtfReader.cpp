// A small reader for the rich-text (RTF) files of the about and help texts, filling a QTextDocument.
#include "ui/RtfReader.h"

#include <QFile>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>
#include <array>

namespace darv {

namespace {

// Windows code page 1252, bytes 0x80 to 0x9F; the rest of the page equals Latin-1. The five unassigned
// bytes keep their own value, as Windows converts them.
constexpr std::array<char16_t, 32> kCp1252High = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                                  0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QChar fromCp1252(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F)
        return QChar(kCp1252High[static_cast<size_t>(byte - 0x80)]);
    return QChar(static_cast<char16_t>(byte));
}

QString decodeCp1252(const QByteArray& data)
{
    QString text;
    text.reserve(data.size());
    for (char byte : data)
        text.append(fromCp1252(static_cast<unsigned char>(byte)));
    return text;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool looksLikeRtf(const QByteArray& data)
{
    return data.startsWith("{\\rtf");
}

// Destinations whose content is not text for the reader: skipped with everything inside them.
bool isSkippedDestination(const QByteArray& word)
{
    static const QList<QByteArray> skipped =
        QByteArray("stylesheet info pict object header headerl headerr headerf footer footerl footerr footerf "
                   "footnote fldinst listtable listoverridetable revtbl rsidtbl generator xmlnstbl themedata "
                   "colorschememapping datastore latentstyles pn nonshppict filetbl pgdsctbl bkmkstart bkmkend "
                   "template title author operator keywords comment doccomm subject company")
            .split(' ');
    return skipped.contains(word);
}

// Twips (1/1440 inch) to the document's pixels; one pixel is 15 twips, as in the window layout.
qreal twipsToPixels(int twips)
{
    return std::clamp(twips, -150000, 150000) / 15.0;
}

constexpr int kMaxDepth = 4096;

} // namespace

bool loadRichText(QTextDocument* document, const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    setRichText(document, data);
    return true;
}

void setRichText(QTextDocument* document, const QByteArray& data)
{
    if (looksLikeRtf(data)) {
        RtfReader(document).read(data);
        return;
    }
    // Plain text: UTF-8 when it is valid UTF-8, else the Windows code page the texts were written in.
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(data);
    if (utf8.hasError())
        text = decodeCp1252(data);
    document->setPlainText(text);
}

RtfReader::RtfReader(QTextDocument* document) : m_document(document) {}

void RtfReader::read(const QByteArray& data)
{
    m_document->clear();
    m_cursor = QTextCursor(m_document);
    m_stack.clear();
    m_state = State();
    int overflow = 0; // groups opened beyond kMaxDepth, only counted
    bool started = false;

    const qsizetype size = data.size();
    qsizetype i = 0;
    while (i < size) {
        const char c = data[i];
        if (c == '{') {
            ++i;
            m_skipCount = 0;
            if (!started) {
                started = true; // the document's own group
                continue;
            }
            if (m_stack.size() >= kMaxDepth) {
                ++overflow;
                continue;
            }
            flushText();
            m_stack.append(m_state);
            continue;
        }
        if (c == '}') {
            ++i;
            m_skipCount = 0;
            if (overflow > 0) {
                --overflow;
                continue;
            }
            flushText();
            if (m_state.destination == Destination::FontTable)
                finishFontName();
            if (m_stack.isEmpty())
                break; // the document's group is closed: anything after it is not part of the text
            m_state = m_stack.takeLast();
            continue;
        }
        if (c == '\\') {
            ++i;
            if (i >= size)
                break;
            if (!isLetter(data[i])) {
                const char symbol = data[i++];
                if (symbol == '\'') {
                    const int high = i < size ? hexValue(data[i]) : -1;
                    const int low = i + 1 < size ? hexValue(data[i + 1]) : -1;
                    if (high >= 0 && low >= 0) {
                        i += 2;
                        text(fromCp1252(static_cast<unsigned char>(high * 16 + low)));
                    }
                } else {
                    controlSymbol(symbol);
                }
                continue;
            }
            const qsizetype wordStart = i;
            while (i < size && isLetter(data[i]))
                ++i;
            const QByteArray word = data.mid(wordStart, i - wordStart);
            bool negative = false;
            if (i + 1 < size && data[i] == '-' && isDigit(data[i + 1])) {
                negative = true;
                ++i;
            }
            bool hasParameter = false;
            long long value = 0;
            while (i < size && isDigit(data[i])) {
                hasParameter = true;
                if (value < 100000000000LL) // more digits than any parameter has: keep it bounded
                    value = value * 10 + (data[i] - '0');
                ++i;
            }
            if (i < size && data[i] == ' ')
                ++i; // the delimiter belongs to the control word
            value = std::clamp(negative ? -value : value, -2147483647LL, 2147483647LL);
            const int parameter = static_cast<int>(value);
            if (word == "bin") {
                // Binary data follows: it is never text, and it may hold braces and backslashes.
                i += hasParameter && parameter > 0 ? std::min<qsizetype>(parameter, size - i) : 0;
                continue;
            }
            controlWord(word, hasParameter, parameter);
            continue;
        }
        ++i;
        if (c == '\r' || c == '\n')
            continue; // line ends in the file are not text
        text(fromCp1252(static_cast<unsigned char>(c)));
    }
    flushText();
    m_cursor.setBlockFormat(paragraphFormat());
    // The closing \par of the last paragraph leaves an empty block behind; it is not part of the text.
    if (m_document->blockCount() > 1 && m_cursor.block().text().isEmpty())
        m_cursor.deletePreviousChar();
}

void RtfReader::controlWord(const QByteArray& word, bool hasParameter, int parameter)
{
    if (m_state.destination == Destination::Skip)
        return;
    if (m_skipCount > 0 && word != "u") {
        --m_skipCount; // a control word stands in for one replacement character
        return;
    }
    if (word == "fonttbl") {
        m_state.destination = Destination::FontTable;
        return;
    }
    if (word == "colortbl") {
        m_state.destination = Destination::ColorTable;
        m_colours.clear();
        m_nextColour = QColor();
        m_colourTouched = false;
        return;
    }
    if (isSkippedDestination(word)) {
        m_state.destination = Destination::Skip;
        return;
    }
    if (m_state.destination == Destination::FontTable) {
        if (word == "f") {
            finishFontName();
            m_fontBeingNamed = parameter;
        }
        return;
    }
    if (m_state.destination == Destination::ColorTable) {
        const int component = std::clamp(parameter, 0, 255);
        if (!m_colourTouched)
            m_nextColour = QColor(0, 0, 0);
        m_colourTouched = true;
        if (word == "red")
            m_nextColour.setRed(component);
        else if (word == "green")
            m_nextColour.setGreen(component);
        else if (word == "blue")
            m_nextColour.setBlue(component);
        return;
    }

    const bool on = !hasParameter || parameter != 0;
    if (word == "u") {
        m_skipCount = 0;
        text(QChar(static_cast<char16_t>(parameter < 0 ? parameter + 65536 : parameter)));
        m_skipCount = m_state.unicodeSkip;
        return;
    }
    flushText();
    if (word == "par" || word == "sect" || word == "page") {
        endParagraph();
    } else if (word == "pard") {
        resetParagraph();
    } else if (word == "plain") {
        m_state.bold = m_state.italic = m_state.underline = false;
        m_state.fontSize = 0;
        m_state.colour = 0;
        m_state.font = -1;
    } else if (word == "b") {
        m_state.bold = on;
    } else if (word == "i") {
        m_state.italic = on;
    } else if (word == "ul" || word == "uld" || word == "uldb" || word == "ulw") {
        m_state.underline = on;
    } else if (word == "ulnone") {
        m_state.underline = false;
    } else if (word == "fs") {
        m_state.fontSize = hasParameter && parameter > 0 ? std::min(parameter, 2000) : 24;
    } else if (word == "cf") {
        m_state.colour = std::max(parameter, 0);
    } else if (word == "f") {
        m_state.font = parameter;
    } else if (word == "deff") {
        m_defaultFont = parameter;
    } else if (word == "uc") {
        m_state.unicodeSkip = std::clamp(parameter, 0, 16);
    } else if (word == "ql") {
        m_state.paragraph.setAlignment(Qt::AlignLeft);
    } else if (word == "qc") {
        m_state.paragraph.setAlignment(Qt::AlignHCenter);
    } else if (word == "qr") {
        m_state.paragraph.setAlignment(Qt::AlignRight);
    } else if (word == "qj") {
        m_state.paragraph.setAlignment(Qt::AlignJustify);
    } else if (word == "li") {
        m_state.paragraph.setLeftMargin(twipsToPixels(parameter));
    } else if (word == "ri") {
        m_state.paragraph.setRightMargin(twipsToPixels(parameter));
    } else if (word == "fi") {
        m_state.paragraph.setTextIndent(twipsToPixels(parameter));
    } else if (word == "sb") {
        m_state.paragraph.setTopMargin(twipsToPixels(parameter));
    } else if (word == "sa") {
        m_state.paragraph.setBottomMargin(twipsToPixels(parameter));
    } else if (word == "tx") {
        m_state.tabStops.append(twipsToPixels(parameter));
    } else if (word == "tab") {
        text(QLatin1Char('\t'));
    } else if (word == "line") {
        text(QChar(QChar::LineSeparator));
    } else if (word == "emdash") {
        text(QChar(0x2014));
    } else if (word == "endash") {
        text(QChar(0x2013));
    } else if (word == "bullet") {
        text(QChar(0x2022));
    } else if (word == "lquote") {
        text(QChar(0x2018));
    } else if (word == "rquote") {
        text(QChar(0x2019));
    } else if (word == "ldblquote") {
        text(QChar(0x201C));
    } else if (word == "rdblquote") {
        text(QChar(0x201D));
    } else if (word == "emspace" || word == "enspace") {
        text(QLatin1Char(' '));
    }
    // Every other control word changes nothing that this reader shows.
}

void RtfReader::controlSymbol(char symbol)
{
    switch (symbol) {
    case '\\':
    case '{':
    case '}':
        text(QLatin1Char(symbol));
        break;
    case '~':
        text(QChar(QChar::Nbsp));
        break;
    case '_':
        text(QLatin1Char('-'));
        break;
    case '*':
        // "{\* ...}" marks a destination that a reader may ignore; this reader ignores all of them.
        m_state.destination = Destination::Skip;
        break;
    case '\r':
    case '\n':
        if (m_state.destination == Destination::Text) {
            flushText();
            endParagraph();
        }
        break;
    default:
        break; // optional hyphens, index marks and the like show nothing
    }
}

void RtfReader::text(QChar character)
{
    if (m_skipCount > 0) {
        --m_skipCount;
        return;
    }
    switch (m_state.destination) {
    case Destination::Skip:
        return;
    case Destination::FontTable:
        if (character == QLatin1Char(';'))
            finishFontName();
        else if (m_fontBeingNamed >= 0)
            m_fontName.append(character);
        return;
    case Destination::ColorTable:
        if (character == QLatin1Char(';'))
            finishColour();
        return;
    case Destination::Text:
        if (m_pending.isEmpty())
            m_pendingFormat = characterFormat();
        m_pending.append(character);
        return;
    }
}

void RtfReader::flushText()
{
    if (m_pending.isEmpty())
        return;
    m_cursor.insertText(m_pending, m_pendingFormat);
    m_pending.clear();
}

void RtfReader::endParagraph()
{
    m_cursor.setBlockFormat(paragraphFormat());
    m_cursor.insertBlock(paragraphFormat(), characterFormat());
}

void RtfReader::resetParagraph()
{
    m_state.paragraph = QTextBlockFormat();
    m_state.tabStops.clear();
}

// RTF measures tab stops from the left edge of the text, Qt from where the first line starts. A hanging
// indent (negative first-line indent) also stops a tab at the left indent, as word processors do, so
// that "bullet, tab, text" lines up with the lines that wrap below it.
QTextBlockFormat RtfReader::paragraphFormat() const
{
    QTextBlockFormat format = m_state.paragraph;
    const qreal firstLine = format.leftMargin() + format.textIndent();
    QList<qreal> stops;
    for (qreal stop : m_state.tabStops) {
        if (stop > firstLine)
            stops.append(stop - firstLine);
    }
    if (format.textIndent() < 0)
        stops.append(-format.textIndent());
    std::sort(stops.begin(), stops.end());
    stops.erase(std::unique(stops.begin(), stops.end()), stops.end());
    if (!stops.isEmpty()) {
        QList<QTextOption::Tab> tabs;
        for (qreal stop : stops)
            tabs.append(QTextOption::Tab(stop, QTextOption::LeftTab));
        format.setTabPositions(tabs);
    }
    return format;
}

void RtfReader::finishFontName()
{
    if (m_fontBeingNamed >= 0) {
        const QString name = m_fontName.trimmed();
        if (!name.isEmpty())
            m_fonts.insert(m_fontBeingNamed, name);
    }
    m_fontBeingNamed = -1;
    m_fontName.clear();
}

void RtfReader::finishColour()
{
    m_colours.append(m_colourTouched ? m_nextColour : QColor());
    m_nextColour = QColor();
    m_colourTouched = false;
}

QTextCharFormat RtfReader::characterFormat() const
{
    QTextCharFormat format;
    format.setFontWeight(m_state.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(m_state.italic);
    format.setFontUnderline(m_state.underline);
    if (m_state.fontSize > 0)
        format.setFontPointSize(m_state.fontSize / 2.0);
    if (m_state.colour > 0 && m_state.colour < m_colours.size() && m_colours[m_state.colour].isValid())
        format.setForeground(m_colours[m_state.colour]);
    const int font = m_state.font >= 0 ? m_state.font : m_defaultFont;
    const auto family = m_fonts.constFind(font);
    if (family != m_fonts.constEnd())
        format.setFontFamilies(QStringList{*family});
    return format;
}

} // namespace darv
