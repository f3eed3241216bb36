#include "BoutRecord.h"

#include "BoutTexts.h"

#include <QDateTime>
#include <QStringList>

namespace {

QString field(QString text)
{
    if (text.contains(u',') || text.contains(u'"') || text.contains(u'\n') ||
        text.contains(u'\r')) {
        text.replace(u'"', QStringLiteral("\"\""));
        return u'"' + text + u'"';
    }
    return text;
}

} // namespace

QByteArray boutRecordCsv(const QList<JournalRow> &rows)
{
    QString out = QStringLiteral(
        "time,description,home score,visitor score,period,period clock,jam clock\r\n");
    for (const JournalRow &row : rows) {
        const BoutState &s = row.state;
        const QStringList fields = {
            QDateTime::fromMSecsSinceEpoch(row.wallMs).toString(u"yyyy-MM-dd HH:mm:ss.zzz"),
            row.description,
            BoutTexts::number(s, BoutState::HomeScore),
            BoutTexts::number(s, BoutState::VisitorScore),
            BoutTexts::number(s, BoutState::PeriodNumber),
            BoutTexts::periodClock(s),
            BoutTexts::jamClock(s),
        };
        QStringList quoted;
        for (const QString &f : fields)
            quoted << field(f);
        out += quoted.join(u',') + QStringLiteral("\r\n");
    }
    return out.toUtf8();
}
