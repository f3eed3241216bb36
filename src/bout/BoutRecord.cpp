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

QString line(const QStringList &fields)
{
    QStringList quoted;
    for (const QString &f : fields)
        quoted << field(f);
    return quoted.join(u',') + QStringLiteral("\r\n");
}

} // namespace

QByteArray boutRecordCsv(const QList<JournalRow> &rows, const BoutNames &names)
{
    QString out = line({QStringLiteral("bout"), names.title, names.home, names.visitor});
    out += QStringLiteral("time,description,home score,visitor score,period,period clock,"
                          "jam clock,home penalty 1,home penalty 2,visitor penalty 1,"
                          "visitor penalty 2,jam number,phase\r\n");
    for (const JournalRow &row : rows) {
        const BoutState &s = row.state;
        QStringList fields = {
            QDateTime::fromMSecsSinceEpoch(row.wallMs).toString(u"yyyy-MM-dd HH:mm:ss.zzz"),
            row.description,
            BoutTexts::number(s, BoutState::HomeScore),
            BoutTexts::number(s, BoutState::VisitorScore),
            BoutTexts::number(s, BoutState::PeriodNumber),
            BoutTexts::periodClock(s),
            BoutTexts::jamClock(s),
        };
        for (int k = BoutState::HomePenalty1; k <= BoutState::VisitorPenalty2; ++k)
            fields << BoutTexts::penalty(s, k);
        // Last, so that what read the columns before still finds them.
        // Blank while the jam number was not shown: it was not counted then.
        fields << (!s.rulesShown || s.rules.jamNumber < 0 ? QString()
                                                          : QString::number(s.rules.jamNumber));
        // Blank unless the bout was run by the clock.
        fields << QString::fromLatin1(PhaseState::phaseName(s.rules.phase.phase));
        out += line(fields);
    }
    return out.toUtf8();
}
