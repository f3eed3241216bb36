// Reads the bout journal of a crash test from outside the program:
//   journal_check <folder> count
//     prints how many rows the latest bout has;
//   journal_check <folder> last
//     prints the description of its last row;
//   journal_check <folder> resumed <rows before the kill>
//     checks that the row written on resuming shows the bout of the last row
//     before the kill as it must be by then: the same scores, period number,
//     penalties and stopped clocks, and running clocks within 0.2 s.
#include "BoutJournal.h"
#include "BoutTexts.h"

#include <QCoreApplication>
#include <cstdio>

namespace {

constexpr std::int64_t Tolerance = 2000; // 0.2 s in ticks

int fail(const char *what, const QString &detail = QString())
{
    std::printf("MISMATCH: %s %s\n", what, qPrintable(detail));
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3)
        return 2;
    QString error;
    const auto rows = BoutJournal::latestBout(QString::fromLocal8Bit(argv[1]), &error);
    if (!rows) {
        std::printf("0\n");
        return 0;
    }
    if (qstrcmp(argv[2], "count") == 0) {
        std::printf("%lld\n", static_cast<long long>(rows->size()));
        return 0;
    }
    if (qstrcmp(argv[2], "last") == 0) {
        std::printf("%s\n", rows->isEmpty() ? "" : qPrintable(rows->last().description));
        return 0;
    }
    const qsizetype before = QByteArray(argv[3]).toLongLong();
    if (before < 1 || rows->size() != before + 1)
        return fail("rows",
                    QStringLiteral("%1 before the kill, %2 now").arg(before).arg(rows->size()));
    const JournalRow &atKill = rows->at(before - 1);
    const JournalRow &resumed = rows->last();
    if (resumed.description != u"Bout resumed")
        return fail("last row", resumed.description);
    const BoutState &was = atKill.state;
    const BoutState &now = resumed.state;
    if (was.numbers != now.numbers)
        return fail("scores or period number");
    if (was.penaltyBlank != now.penaltyBlank)
        return fail("penalty displays");
    const std::int64_t awayTicks = (now.wallMs - was.wallMs) * 10;
    for (int k = 0; k < BoutState::KeeperCount; ++k) {
        const KeeperState &a = was.keepers[size_t(k)];
        const KeeperState &b = now.keepers[size_t(k)];
        if (a.running != b.running)
            return fail("running", QString::fromLatin1(BoutState::keeperName(k)));
        const std::int64_t expected =
            a.running ? std::max<std::int64_t>(0, a.ticks - awayTicks) : a.ticks;
        const std::int64_t off = std::abs(expected - b.ticks);
        if (off > (a.running ? Tolerance : 0))
            return fail("time", QStringLiteral("%1: %2 ticks off")
                                    .arg(QString::fromLatin1(BoutState::keeperName(k)))
                                    .arg(off));
    }
    std::printf("ok: home %s, visitor %s, period %s, period clock %s, jam clock %s\n",
                qPrintable(BoutTexts::number(now, BoutState::HomeScore)),
                qPrintable(BoutTexts::number(now, BoutState::VisitorScore)),
                qPrintable(BoutTexts::number(now, BoutState::PeriodNumber)),
                qPrintable(BoutTexts::periodClock(now)), qPrintable(BoutTexts::jamClock(now)));
    return 0;
}
