#include "RichText.h"

#include "RtfParser.h"

#include <QStringDecoder>
#include <QTextDocument>

namespace RichText {

void load(const QByteArray &data, QTextDocument &document)
{
    document.clear();
    qsizetype start = 0;
    if (data.startsWith("\xEF\xBB\xBF"))
        start = 3;
    while (start < data.size() && (data[start] == ' ' || data[start] == '\r' ||
                                   data[start] == '\n' || data[start] == '\t'))
        ++start;
    if (data.mid(start, 5) == "{\\rtf") {
        RtfParser(data, document).parse();
        return;
    }
    // Not rich text: shown as it is, as UTF-8 where it is that.
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(data);
    if (utf8.hasError())
        text = QString::fromLatin1(data);
    document.setPlainText(text);
}

} // namespace RichText
