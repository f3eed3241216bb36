#include "RtfParser.h"

#include "CodePage.h"

#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextDocument>
#include <cstring>

namespace {

// Deeper groups than this share the innermost state kept.
constexpr size_t MaxDepth = 1000;
// Control words longer than this are not words the reader knows.
constexpr int MaxWord = 32;

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
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

int codePageOfCharset(int charset)
{
    switch (charset) {
    case 128:
        return 932;
    case 129:
        return 949;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 2:
        return CodePage::Symbol;
    default:
        return 0;
    }
}

// Destinations whose text is not part of the document.
bool isSkippedDestination(const QByteArray &word)
{
    static const char *const skipped[] = {"stylesheet", "info",
                                          "pict",       "object",
                                          "header",     "headerl",
                                          "headerr",    "headerf",
                                          "footer",     "footerl",
                                          "footerr",    "footerf",
                                          "footnote",   "fldinst",
                                          "listtable",  "listoverridetable",
                                          "revtbl",     "rsidtbl",
                                          "xmlnstbl",   "pn",
                                          "themedata",  "colorschememapping",
                                          "datastore",  "latentstyles",
                                          "generator",  "mmathPr",
                                          "userprops",  "docvar",
                                          "bkmkstart",  "bkmkend",
                                          "pgdsctbl",   "ftnsep",
                                          "ftnsepc",    "aftnsep",
                                          "aftnsepc",   "shp",
                                          "shpinst",    "nonshppict",
                                          "template",   "filetbl",
                                          "author",     "operator",
                                          "title",      "subject",
                                          "keywords",   "comment",
                                          "doccomm",    "company"};
    for (const char *s : skipped) {
        if (word == s)
            return true;
    }
    return false;
}

} // namespace

RtfParser::RtfParser(const QByteArray &data, QTextDocument &document)
    : m_data(data), m_cursor(&document)
{
}

void RtfParser::parse()
{
    const qsizetype n = m_data.size();
    while (m_pos < n) {
        const char c = m_data[m_pos++];
        if (c == '{') {
            openGroup();
        } else if (c == '}') {
            closeGroup();
        } else if (c == '\\') {
            if (m_pos >= n)
                break;
            const char next = m_data[m_pos];
            if (isLetter(next)) {
                QByteArray word;
                while (m_pos < n && isLetter(m_data[m_pos])) {
                    if (word.size() < MaxWord)
                        word += m_data[m_pos];
                    ++m_pos;
                }
                bool hasParameter = false;
                bool negative = false;
                long long parameter = 0;
                if (m_pos < n && m_data[m_pos] == '-' && m_pos + 1 < n &&
                    isDigit(m_data[m_pos + 1])) {
                    negative = true;
                    ++m_pos;
                }
                while (m_pos < n && isDigit(m_data[m_pos])) {
                    hasParameter = true;
                    if (parameter < 100000000000LL)
                        parameter = parameter * 10 + (m_data[m_pos] - '0');
                    ++m_pos;
                }
                parameter =
                    std::clamp(negative ? -parameter : parameter, -2147483647LL, 2147483647LL);
                if (m_pos < n && m_data[m_pos] == ' ')
                    ++m_pos;
                controlWord(word, hasParameter, int(parameter));
            } else {
                ++m_pos;
                controlSymbol(next);
            }
        } else if (c == '\r' || c == '\n') {
            continue;
        } else {
            textByte(c);
        }
    }
    flushRun();
    applyParagraphFormat();
}

void RtfParser::openGroup()
{
    flushRun();
    m_charsToSkip = 0;
    if (m_stack.size() >= MaxDepth) {
        ++m_unpushedDepth;
        return;
    }
    m_stack.push_back(m_group);
}

void RtfParser::closeGroup()
{
    flushRun();
    m_charsToSkip = 0;
    if (m_unpushedDepth > 0) {
        --m_unpushedDepth;
        return;
    }
    if (m_group.destination == Destination::FontTable && m_fontEntry >= 0 &&
        !m_fontName.trimmed().isEmpty())
        fontTableText(QStringLiteral(";"));
    if (m_stack.empty())
        return; // an unbalanced closing brace
    m_group = m_stack.back();
    m_stack.pop_back();
}

int RtfParser::codePage() const
{
    const auto font = m_fonts.constFind(m_group.chars.font);
    if (font != m_fonts.constEnd() && font->codePage != 0)
        return font->codePage;
    return m_defaultCodePage;
}

bool RtfParser::skippingThisChar()
{
    if (m_charsToSkip > 0) {
        --m_charsToSkip;
        return true;
    }
    return false;
}

void RtfParser::textByte(char byte)
{
    if (skippingThisChar())
        return;
    switch (m_group.destination) {
    case Destination::Skip:
        return;
    case Destination::ColorTable:
        colorTableText(byte);
        return;
    case Destination::FontTable:
        fontTableText(QString(QChar::fromLatin1(byte)));
        return;
    case Destination::Text:
        break;
    }
    const auto b = static_cast<unsigned char>(byte);
    if (b < 0x20 && byte != '\t')
        return;
    if (b < 0x80) {
        textChar(QChar::fromLatin1(byte));
        return;
    }
    m_pendingBytes += byte;
}

void RtfParser::hexByte(int value)
{
    if (skippingThisChar())
        return;
    if (m_group.destination == Destination::FontTable) {
        fontTableText(CodePage::decode(QByteArray(1, char(value)), codePage()));
        return;
    }
    if (m_group.destination != Destination::Text)
        return;
    m_pendingBytes += char(value);
}

void RtfParser::textChar(QChar c)
{
    if (m_group.destination == Destination::FontTable) {
        fontTableText(QString(c));
        return;
    }
    if (m_group.destination != Destination::Text)
        return;
    flushBytes();
    m_run += c;
}

void RtfParser::flushBytes()
{
    if (m_pendingBytes.isEmpty())
        return;
    m_run += CodePage::decode(m_pendingBytes, codePage());
    m_pendingBytes.clear();
}

void RtfParser::flushRun()
{
    flushBytes();
    if (m_run.isEmpty())
        return;
    const CharState &s = m_group.chars;
    QTextCharFormat format;
    format.setFontWeight(s.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(s.italic);
    format.setFontUnderline(s.underline);
    format.setFontStrikeOut(s.strike);
    format.setFontPointSize(std::clamp(s.halfPoints, 2, 3276) / 2.0);
    const auto font = m_fonts.constFind(s.font);
    if (font != m_fonts.constEnd() && !font->name.isEmpty())
        format.setFontFamilies({font->name});
    if (s.color > 0 && s.color < m_colors.size() && m_colors[s.color].isValid())
        format.setForeground(m_colors[s.color]);
    if (s.highlight > 0 && s.highlight < m_colors.size() && m_colors[s.highlight].isValid())
        format.setBackground(m_colors[s.highlight]);
    if (!m_blockHasText) {
        applyParagraphFormat();
        m_blockHasText = true;
    }
    m_cursor.insertText(m_run, format);
    m_run.clear();
}

void RtfParser::applyParagraphFormat()
{
    const ParaState &p = m_group.para;
    QTextBlockFormat format;
    static const Qt::Alignment alignments[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight,
                                               Qt::AlignJustify};
    format.setAlignment(alignments[std::clamp(p.alignment, 0, 3)]);
    format.setLeftMargin(std::max(0, p.leftIndent) / 15.0);
    format.setRightMargin(std::max(0, p.rightIndent) / 15.0);
    format.setTextIndent(p.firstIndent / 15.0);
    format.setTopMargin(std::max(0, p.spaceBefore) / 15.0);
    format.setBottomMargin(std::max(0, p.spaceAfter) / 15.0);
    if (!p.tabStops.isEmpty()) {
        QList<QTextOption::Tab> tabs;
        for (int stop : p.tabStops)
            tabs.append(QTextOption::Tab(stop / 15.0, QTextOption::LeftTab));
        format.setTabPositions(tabs);
    }
    m_cursor.setBlockFormat(format);
}

void RtfParser::endParagraph()
{
    flushRun();
    // The properties in force at the paragraph's end are the paragraph's.
    applyParagraphFormat();
    m_cursor.insertBlock();
    m_blockHasText = false;
}

void RtfParser::fontTableText(const QString &text)
{
    for (QChar c : text) {
        if (c == u';') {
            if (m_fontEntry >= 0) {
                Font &font = m_fonts[m_fontEntry];
                font.name = m_fontName.trimmed();
            }
            m_fontName.clear();
        } else if (m_fontName.size() < 256) {
            m_fontName += c;
        }
    }
}

void RtfParser::colorTableText(char c)
{
    if (c != ';' || m_colors.size() >= 4096)
        return;
    if (m_red < 0 && m_green < 0 && m_blue < 0)
        m_colors.append(QColor()); // automatic
    else
        m_colors.append(QColor(std::clamp(m_red, 0, 255), std::clamp(m_green, 0, 255),
                               std::clamp(m_blue, 0, 255)));
    m_red = m_green = m_blue = -1;
}

void RtfParser::controlSymbol(char symbol)
{
    switch (symbol) {
    case '\\':
    case '{':
    case '}':
        textByte(symbol);
        return;
    case '\'': {
        int value = -1;
        if (m_pos + 1 < m_data.size()) {
            const int high = hexValue(m_data[m_pos]);
            const int low = hexValue(m_data[m_pos + 1]);
            if (high >= 0 && low >= 0) {
                value = high * 16 + low;
                m_pos += 2;
            }
        }
        if (value >= 0)
            hexByte(value);
        return;
    }
    case '*':
        flushRun();
        m_group.destination = Destination::Skip;
        return;
    case '~':
        if (!skippingThisChar())
            textChar(QChar(0x00A0));
        return;
    case '_':
        if (!skippingThisChar())
            textChar(QChar(0x2011));
        return;
    case '\r':
    case '\n':
        endParagraph();
        return;
    default:
        skippingThisChar(); // \- and other symbols show nothing
        return;
    }
}

void RtfParser::controlWord(const QByteArray &word, bool hasParameter, int parameter)
{
    const int value = hasParameter ? parameter : 1;
    CharState &ch = m_group.chars;
    ParaState &para = m_group.para;

    if (word == "u") {
        if (m_group.destination == Destination::Text ||
            m_group.destination == Destination::FontTable)
            textChar(QChar(char16_t(parameter < 0 ? parameter + 65536 : parameter)));
        m_charsToSkip = m_group.unicodeSkip;
        return;
    }
    if (word == "bin") {
        // Binary data of the stated length, never further than the file goes.
        const qsizetype length = hasParameter ? std::max(0, parameter) : 0;
        m_pos = std::min(m_data.size(), m_pos + length);
        return;
    }
    if (skippingThisChar())
        return;

    // Destinations.
    if (word == "fonttbl") {
        flushRun();
        m_group.destination = Destination::FontTable;
        return;
    }
    if (word == "colortbl") {
        flushRun();
        m_group.destination = Destination::ColorTable;
        m_colors.clear();
        m_red = m_green = m_blue = -1;
        return;
    }
    if (isSkippedDestination(word)) {
        flushRun();
        m_group.destination = Destination::Skip;
        return;
    }

    flushRun();
    if (word == "ansicpg") {
        m_defaultCodePage = parameter;
    } else if (word == "deff") {
        m_defaultFont = parameter;
        ch.font = parameter;
    } else if (word == "f") {
        if (m_group.destination == Destination::FontTable) {
            m_fontEntry = parameter;
            m_fontName.clear();
        } else {
            ch.font = parameter;
        }
    } else if (word == "fcharset") {
        if (m_group.destination == Destination::FontTable && m_fontEntry >= 0)
            m_fonts[m_fontEntry].codePage = codePageOfCharset(parameter);
    } else if (word == "cpg") {
        if (m_group.destination == Destination::FontTable && m_fontEntry >= 0)
            m_fonts[m_fontEntry].codePage = parameter;
    } else if (word == "red") {
        m_red = parameter;
    } else if (word == "green") {
        m_green = parameter;
    } else if (word == "blue") {
        m_blue = parameter;
    } else if (word == "uc") {
        m_group.unicodeSkip = std::clamp(parameter, 0, 16);
    } else if (word == "plain") {
        ch = CharState();
        ch.font = m_defaultFont;
    } else if (word == "b") {
        ch.bold = value != 0;
    } else if (word == "i") {
        ch.italic = value != 0;
    } else if (word == "ul") {
        ch.underline = value != 0;
    } else if (word == "ulnone") {
        ch.underline = false;
    } else if (word == "strike") {
        ch.strike = value != 0;
    } else if (word == "fs") {
        ch.halfPoints = hasParameter ? parameter : 24;
    } else if (word == "cf") {
        ch.color = parameter;
    } else if (word == "highlight" || word == "cb" || word == "chcbpat") {
        ch.highlight = parameter;
    } else if (word == "pard") {
        para = ParaState();
    } else if (word == "ql") {
        para.alignment = 0;
    } else if (word == "qc") {
        para.alignment = 1;
    } else if (word == "qr") {
        para.alignment = 2;
    } else if (word == "qj") {
        para.alignment = 3;
    } else if (word == "li") {
        para.leftIndent = parameter;
    } else if (word == "ri") {
        para.rightIndent = parameter;
    } else if (word == "fi") {
        para.firstIndent = parameter;
    } else if (word == "sb") {
        para.spaceBefore = parameter;
    } else if (word == "sa") {
        para.spaceAfter = parameter;
    } else if (word == "tx") {
        if (para.tabStops.size() < 64)
            para.tabStops.append(std::max(0, parameter));
    } else if (word == "par" || word == "page" || word == "row" || word == "sect") {
        if (m_group.destination == Destination::Text)
            endParagraph();
    } else if (word == "line") {
        textChar(QChar::LineSeparator);
    } else if (word == "tab" || word == "cell") {
        textChar(u'\t');
    } else if (word == "emdash") {
        textChar(QChar(0x2014));
    } else if (word == "endash") {
        textChar(QChar(0x2013));
    } else if (word == "bullet") {
        textChar(QChar(0x2022));
    } else if (word == "lquote") {
        textChar(QChar(0x2018));
    } else if (word == "rquote") {
        textChar(QChar(0x2019));
    } else if (word == "ldblquote") {
        textChar(QChar(0x201C));
    } else if (word == "rdblquote") {
        textChar(QChar(0x201D));
    }
}
