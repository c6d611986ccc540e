// A small reader for the rich-text (RTF) files of the about and help texts, filling a QTextDocument.
#pragma once

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QMap>
#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>

class QTextDocument;

namespace darv {

// Loads the file at path into document, replacing its content. Returns false, leaving the document as
// it was, when the file cannot be read.
bool loadRichText(QTextDocument* document, const QString& path);

// Replaces the document's content with data: RTF when data begins with "{\rtf", plain text otherwise.
void setRichText(QTextDocument* document, const QByteArray& data);

// Reads the subset of RTF that word processors write for simple formatted text: paragraphs and their
// alignment and indents, bold, italic, underline, font family and size, the colour table, tabs, line
// breaks and the character escapes. Pictures, objects, style sheets and every other destination group
// are skipped. Malformed input never fails: unbalanced braces and cut-off escapes are tolerated.
class RtfReader
{
public:
    explicit RtfReader(QTextDocument* document);
    void read(const QByteArray& data);

private:
    enum class Destination { Text, Skip, FontTable, ColorTable };

    // What a group inherits from its parent and restores on its closing brace.
    struct State
    {
        Destination destination = Destination::Text;
        bool bold = false;
        bool italic = false;
        bool underline = false;
        int fontSize = 0;    // half-points; 0 keeps the document's default size
        int colour = 0;      // colour table index; 0 is the automatic colour
        int font = -1;       // font table index; -1 keeps the document's default family
        int unicodeSkip = 1; // characters that stand in for each \uN for older readers
        QTextBlockFormat paragraph;
        QList<qreal> tabStops; // \txN, in pixels from the left edge of the text
    };

    void controlWord(const QByteArray& word, bool hasParameter, int parameter);
    void controlSymbol(char symbol);
    void text(QChar character);
    void flushText();
    void endParagraph();
    void resetParagraph();
    void finishFontName();
    void finishColour();
    QTextCharFormat characterFormat() const;
    QTextBlockFormat paragraphFormat() const;

    QTextDocument* m_document;
    QTextCursor m_cursor;
    QList<State> m_stack;
    State m_state;
    QString m_pending; // text of the current run, not yet inserted
    QTextCharFormat m_pendingFormat;
    int m_skipCount = 0;     // replacement characters still to skip after a \uN
    QList<QColor> m_colours; // index 0 is the automatic colour (invalid QColor)
    QColor m_nextColour;
    bool m_colourTouched = false;
    QMap<int, QString> m_fonts;
    int m_defaultFont = -1; // \deffN: the family of text without its own \fN
    int m_fontBeingNamed = -1;
    QString m_fontName;
};

} // namespace darv
