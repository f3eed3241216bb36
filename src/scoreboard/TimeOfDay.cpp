#include "TimeOfDay.h"

#include <QLocale>
#include <QRegularExpression>
#include <QTime>

namespace {

// The number a text starts with, after leading blanks; 0 when none.
int leadingNumber(QStringView text)
{
    text = text.trimmed();
    qsizetype n = 0;
    while (n < text.size() && n < 9 && text[n].isDigit())
        ++n;
    return n == 0 ? 0 : text.left(n).toInt();
}

} // namespace

QString systemTimeText()
{
    return QLocale::system().toString(QTime::currentTime(), QLocale::LongFormat);
}

HoursMinutes splitTimeText(const QString &text)
{
    const QList<QStringView> parts = QStringView(text).split(u':');
    if (parts.size() >= 2)
        return {leadingNumber(parts[0]), leadingNumber(parts[1])};
    static const QRegularExpression digits(QStringLiteral("\\d{1,9}"));
    auto match = digits.globalMatch(text);
    HoursMinutes hm;
    if (match.hasNext())
        hm.hours = match.next().captured().toInt();
    if (match.hasNext())
        hm.minutes = match.next().captured().toInt();
    return hm;
}
