#pragma once

#include <QByteArray>
#include <QColor>
#include <QHash>
#include <QString>
#include <QTextCursor>
#include <QVector>
#include <vector>

class QTextDocument;

// Reads RTF into a text document in one pass over the bytes, keeping the
// group states on a stack of its own.
class RtfParser {
public:
    RtfParser(const QByteArray &data, QTextDocument &document);
    void parse();

private:
    // What the text of a group is for.
    enum class Destination { Text, FontTable, ColorTable, Skip };

    struct CharState {
        bool bold = false;
        bool italic = false;
        bool underline = false;
        bool strike = false;
        int halfPoints = 24;
        int color = 0;     // index into the colour table; 0 is automatic
        int highlight = 0; // likewise, 0 is none
        int font = -1;
    };
    struct ParaState {
        int alignment = 0; // 0 left, 1 centre, 2 right, 3 justified
        int leftIndent = 0, rightIndent = 0, firstIndent = 0; // twips
        int spaceBefore = 0, spaceAfter = 0;                  // twips
        QVector<int> tabStops;                                // twips
    };
    struct Group {
        CharState chars;
        ParaState para;
        Destination destination = Destination::Text;
        int unicodeSkip = 1;
    };
    struct Font {
        QString name;
        int codePage = 0;
    };

    void openGroup();
    void closeGroup();
    void controlWord(const QByteArray &word, bool hasParameter, int parameter);
    void controlSymbol(char symbol);
    void textByte(char byte);
    void textChar(QChar c);
    void hexByte(int value);

    bool skippingThisChar();
    void flushBytes();
    void flushRun();
    void endParagraph();
    void applyParagraphFormat();
    int codePage() const;
    void fontTableText(const QString &text);
    void colorTableText(char c);

    const QByteArray &m_data;
    qsizetype m_pos = 0;
    QTextCursor m_cursor;

    std::vector<Group> m_stack;
    Group m_group;
    int m_unpushedDepth = 0; // groups nested beyond what the stack keeps

    int m_defaultCodePage = 1252;
    int m_defaultFont = -1;
    QHash<int, Font> m_fonts;
    int m_fontEntry = -1;
    QString m_fontName;
    QVector<QColor> m_colors;
    int m_red = -1, m_green = -1, m_blue = -1;

    QByteArray m_pendingBytes; // code-page bytes not yet decoded
    QString m_run;             // text in the current character format
    int m_charsToSkip = 0;     // after \uN, the stand-in characters
    bool m_blockHasText = false;
};
