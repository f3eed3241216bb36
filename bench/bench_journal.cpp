// The bout journal's costs, from one run:
//   build/release/bench/bench_journal [folder]
// - what a key press costs the GUI thread to hand its row to the journal
//   (median and 99th percentile), against the row's synchronous write on
//   the journal's thread (each a WAL transaction with synchronous=FULL);
// - opening a journal that holds 100 bouts of 2,000 rows each, as the board
//   does before it opens.
#include "BoutJournal.h"
#include "JournalDatabase.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct Spread {
    double median;
    double p99;
};

Spread spread(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v[std::min(v.size() - 1, v.size() * 99 / 100)]};
}

BoutState aState(int i)
{
    BoutState s;
    s.numbers = {i % 999, (i * 7) % 999, i % 9};
    s.keepers[BoutState::Period] = {5000000 - i * 1000, true};
    s.keepers[BoutState::Jam] = {1200000 - (i % 100) * 1000, true};
    s.penaltyBlank[0] = false;
    s.keepers[BoutState::HomePenalty1] = {900000, true};
    s.wallMs = 1765000000000 + i * 1000;
    return s;
}

// 100 bouts of 2,000 rows, written in bulk.
void fillJournal(const QString &folder)
{
    {
        BoutJournal make(folder);
    }
    const QString connection = QStringLiteral("fill");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(folder + u'/' + BoutJournal::FileName);
        db.open();
        QSqlQuery q(db);
        q.exec(QStringLiteral("PRAGMA synchronous=OFF"));
        db.transaction();
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        for (int bout = 1; bout <= 100; ++bout) {
            q.prepare(QStringLiteral("INSERT INTO bouts(id, started_ms, last_ms, declined) "
                                     "VALUES(?, ?, ?, 1)"));
            q.addBindValue(bout);
            q.addBindValue(now - (100 - bout) * 3600000ll);
            q.addBindValue(now - (100 - bout) * 3600000ll);
            q.exec();
            q.prepare(QStringLiteral(
                "INSERT INTO rows(bout, wall_ms, description, state) VALUES(?, ?, ?, ?)"));
            for (int row = 0; row < 2000; ++row) {
                q.addBindValue(bout);
                q.addBindValue(now - (100 - bout) * 3600000ll + row);
                q.addBindValue(QStringLiteral("Home score %1").arg(row % 999));
                q.addBindValue(QString::fromUtf8(aState(row).toJson()));
                q.exec();
            }
        }
        db.commit();
    }
    QSqlDatabase::removeDatabase(connection);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir temporary;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporary.path();

    // The GUI thread's part of a key press, and the write itself.
    constexpr int Rows = 1000;
    std::vector<double> handOver, written;
    {
        BoutJournal journal(folder + QStringLiteral("/keys"));
        QElapsedTimer t;
        for (int i = 0; i < Rows; ++i) {
            const BoutState s = aState(i);
            t.start();
            journal.append(QStringLiteral("Home score %1").arg(i), s);
            handOver.push_back(double(t.nsecsElapsed()) / 1e6);
            t.start();
            journal.flush();
            written.push_back(double(t.nsecsElapsed()) / 1e6);
        }
    }
    const Spread gui = spread(handOver);
    const Spread disk = spread(written);
    std::printf("key press, GUI thread's share: median %.3f ms, p99 %.3f ms\n", gui.median,
                gui.p99);
    std::printf("row written (journal thread): median %.3f ms, p99 %.3f ms\n", disk.median,
                disk.p99);
    std::printf("ratio, p99 write / p99 GUI share: %.0f\n", disk.p99 / gui.p99);

    // Opening a full journal.
    const QString full = folder + QStringLiteral("/full");
    fillJournal(full);
    std::vector<double> opens;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer t;
        t.start();
        BoutJournal journal(full);
        opens.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::printf("open with 100 bouts x 2,000 rows: median %.1f ms (of 5)\n", spread(opens).median);
    return 0;
}
