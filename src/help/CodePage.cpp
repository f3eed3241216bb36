#include "CodePage.h"

#include <QStringDecoder>

namespace {

// Windows-1252 differs from Latin-1 only in 0x80 to 0x9F.
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178,
};

QString decode1252(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        text += (b >= 0x80 && b < 0xA0) ? QChar(Cp1252High[b - 0x80]) : QChar(char16_t(b));
    }
    return text;
}

} // namespace

namespace CodePage {

QString decode(const QByteArray &bytes, int codePage)
{
    if (codePage == Symbol) {
        // The symbol font's bullet is the one character documents use it for.
        QString text = QString::fromLatin1(bytes);
        text.replace(QChar(0xB7), QChar(0x2022));
        return text;
    }
    if (codePage == 1252 || codePage <= 0)
        return decode1252(bytes);
    if (codePage == 65001)
        return QString::fromUtf8(bytes);
    QStringDecoder decoder(QByteArray("windows-" + QByteArray::number(codePage)).constData());
    if (!decoder.isValid())
        decoder = QStringDecoder(QByteArray("cp" + QByteArray::number(codePage)).constData());
    if (!decoder.isValid())
        return decode1252(bytes);
    return decoder.decode(bytes);
}

} // namespace CodePage
