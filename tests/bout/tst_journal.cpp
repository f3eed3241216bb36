// The bout journal on disk: rows kept across runs, what is offered for
// resuming, and every way the file can be unusable.
#include "BoutJournal.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr std::int64_t Now = 1765000000000; // a wall-clock moment, in ms
constexpr std::int64_t Hour = 3600 * 1000;

BoutJournal::Options at(std::int64_t nowMs, int maxPages = 0)
{
    BoutJournal::Options o;
    o.nowMs = nowMs;
    o.maxPages = maxPages;
    return o;
}

BoutState scored(int home, std::int64_t wallMs)
{
    BoutState s;
    s.numbers[BoutState::HomeScore] = home;
    s.wallMs = wallMs;
    return s;
}

QString journalFile(const QTemporaryDir &dir)
{
    return dir.filePath(BoutJournal::FileName);
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class tst_Journal : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void rowsOutliveTheProgramAndAreOfferedOnce()
    {
        QTemporaryDir dir;
        {
            BoutJournal journal(dir.path(), at(Now));
            QVERIFY2(journal.isOpen(), qPrintable(journal.error()));
            QVERIFY(!journal.resumable());
            journal.append(u"Home score 5"_s, scored(5, Now));
            journal.append(u"Home score 7"_s, scored(7, Now + 1000));
        }
        std::optional<std::int64_t> bout;
        {
            BoutJournal journal(dir.path(), at(Now + Hour));
            QVERIFY(journal.resumable());
            QCOMPARE(journal.resumable()->last.description, u"Home score 7"_s);
            QCOMPARE(journal.resumable()->last.state.numbers[0], 7);
            QCOMPARE(journal.resumable()->last.wallMs, Now + 1000);
            journal.decline(journal.resumable()->bout);
        }
        // Declined: never offered again; a day later nothing is offered.
        QVERIFY(!BoutJournal(dir.path(), at(Now + Hour)).resumable());
        QString error;
        const auto rows = BoutJournal::latestBout(dir.path(), &error);
        QVERIFY2(rows, qPrintable(error));
        QCOMPARE(rows->size(), 2);
        QCOMPARE(rows->at(0).description, u"Home score 5"_s);
    }

    void whatIsOffered_data()
    {
        QTest::addColumn<BoutState>("last");
        QTest::addColumn<qint64>("openedAfter");
        QTest::addColumn<bool>("offered");
        QTest::newRow("an hour ago") << scored(3, Now) << qint64(Hour) << true;
        QTest::newRow("a day ago") << scored(3, Now) << qint64(24 * Hour) << false;
        QTest::newRow("back to the fresh board") << scored(0, Now) << qint64(Hour) << false;
        QTest::newRow("wall clock set back") << scored(3, Now) << qint64(-Hour) << true;
    }
    void whatIsOffered()
    {
        QFETCH(BoutState, last);
        QFETCH(qint64, openedAfter);
        QFETCH(bool, offered);
        QTemporaryDir dir;
        BoutJournal(dir.path(), at(Now)).append(u"x"_s, last);
        QCOMPARE(bool(BoutJournal(dir.path(), at(Now + openedAfter)).resumable()), offered);
        // Put off, then a new bout that ends on a fresh-looking board: the
        // bout before is offered still.
        {
            BoutJournal later(dir.path(), at(Now + openedAfter));
            later.append(u"Home score 9"_s, scored(9, Now + 10));
            later.append(u"Undo: Home score 0"_s, scored(0, Now + 20));
        }
        QCOMPARE(bool(BoutJournal(dir.path(), at(Now + openedAfter)).resumable()), offered);
    }

    void boutsOlderThanThirtyDaysGo()
    {
        QTemporaryDir dir;
        BoutJournal(dir.path(), at(Now)).append(u"old"_s, scored(1, Now));
        {
            BoutJournal journal(dir.path(), at(Now + 31 * 24 * Hour));
            journal.append(u"new"_s, scored(2, Now + 31 * 24 * Hour));
        }
        QString error;
        const auto rows = BoutJournal::latestBout(dir.path(), &error);
        QVERIFY(rows);
        QCOMPARE(rows->size(), 1);
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"check"_s);
        db.setDatabaseName(journalFile(dir));
        QVERIFY(db.open());
        QSqlQuery q(u"SELECT COUNT(*) FROM rows"_s, db);
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 1);
    }

    // A journal written by the version before names and undo marks is taken
    // on as it is: its bout offered, its rows kept, new rows marked.
    void aJournalOfTheVersionBeforeIsTakenOn()
    {
        QTemporaryDir dir;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"v1"_s);
            db.setDatabaseName(journalFile(dir));
            QVERIFY(db.open());
            QSqlQuery q(db);
            for (const QString &statement :
                 {u"CREATE TABLE bouts(id INTEGER PRIMARY KEY, started_ms INTEGER NOT NULL, "
                  "last_ms INTEGER NOT NULL, declined INTEGER NOT NULL DEFAULT 0)"_s,
                  u"CREATE TABLE rows(id INTEGER PRIMARY KEY, bout INTEGER NOT NULL, wall_ms "
                  "INTEGER NOT NULL, description TEXT NOT NULL, state TEXT NOT NULL)"_s,
                  u"INSERT INTO bouts VALUES(1, %1, %1, 0)"_s.arg(Now - Hour),
                  u"INSERT INTO rows VALUES(1, 1, %1, 'Home score 5', '%2')"_s.arg(Now - Hour)
                      .arg(QString::fromUtf8(scored(5, Now - Hour).toJson())),
                  u"PRAGMA user_version=1"_s})
                QVERIFY2(q.exec(statement), qPrintable(q.lastError().text()));
            db.close();
        }
        QSqlDatabase::removeDatabase(u"v1"_s);
        BoutJournal journal(dir.path(), at(Now));
        QVERIFY2(journal.isOpen(), qPrintable(journal.error()));
        QVERIFY(journal.resumable());
        QCOMPARE(journal.resumable()->last.state.numbers[BoutState::HomeScore], 5);
        journal.resume(journal.resumable()->bout);
        journal.setNames({u"Final"_s, u"Reds"_s, u"Blues"_s});
        journal.append(u"Home score 6"_s, scored(6, Now), JournalRow::Step);
        journal.flush();
        QString error;
        BoutNames names;
        const auto rows = BoutJournal::latestBout(dir.path(), &error, &names);
        QVERIFY2(rows, qPrintable(error));
        QCOMPARE(rows->size(), 2);
        QCOMPARE(rows->first().undo, JournalRow::NoStep);
        QCOMPARE(rows->last().undo, JournalRow::Step);
        QCOMPARE(names, (BoutNames{u"Final"_s, u"Reds"_s, u"Blues"_s}));
    }

    // Each way the journal can be unusable: the board is told why (or a
    // damaged file is put aside and a new journal begun), nothing is lost.
    void faults_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<QString>("says");
        QTest::newRow("garbage bytes") << u"garbage"_s << true << QString();
        QTest::newRow("truncated") << u"truncated"_s << true << QString();
        QTest::newRow("a folder in its place") << u"folder"_s << false << u"is a folder"_s;
        QTest::newRow("a file where its folder goes")
            << u"no folder"_s << false << u"cannot be made"_s;
        QTest::newRow("newer schema") << u"newer"_s << false << u"newer version"_s;
        QTest::newRow("second program") << u"second"_s << false << u"another Quelvane"_s;
    }
    void faults()
    {
        QFETCH(QString, fault);
        QFETCH(bool, opens);
        QFETCH(QString, says);
        QTemporaryDir dir;
        QString folder = dir.path();
        const QString file = journalFile(dir);
        std::unique_ptr<BoutJournal> first;
        QByteArray damaged;
        if (fault == u"garbage") {
            damaged = QByteArray(5000, '\x5a');
            writeFile(file, damaged);
        } else if (fault == u"truncated") {
            {
                BoutJournal journal(folder, at(Now));
                for (int i = 0; i < 3000; ++i)
                    journal.append(u"Home score %1"_s.arg(i % 999), scored(i % 999 + 1, Now + i));
            }
            QFile f(file);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.size() > 50000);
            QVERIFY(f.resize(f.size() / 3));
            f.seek(0);
            damaged = f.readAll();
        } else if (fault == u"folder") {
            QVERIFY(QDir(folder).mkpath(BoutJournal::FileName));
        } else if (fault == u"no folder") {
            writeFile(dir.filePath(u"blocked"_s), "x");
            folder = dir.filePath(u"blocked/Quelvane"_s);
        } else if (fault == u"newer") {
            QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"newer"_s);
            db.setDatabaseName(file);
            QVERIFY(db.open());
            QSqlQuery(u"PRAGMA user_version=99"_s, db);
            db.close();
        } else if (fault == u"second") {
            first = std::make_unique<BoutJournal>(folder, at(Now));
            QVERIFY(first->isOpen());
        }
        const QByteArray before = QFileInfo(file).isFile() ? [&] {
            QFile f(file);
            f.open(QIODevice::ReadOnly);
            return f.readAll();
        }()
                                                           : QByteArray();

        BoutJournal journal(folder, at(Now));
        QCOMPARE(journal.isOpen(), opens);
        QVERIFY2(journal.error().contains(says), qPrintable(journal.error()));
        if (!damaged.isEmpty()) {
            // Put aside whole, never deleted; a new journal works.
            QVERIFY2(!journal.setAsidePath().isEmpty(), "not put aside");
            QFile aside(journal.setAsidePath());
            QVERIFY(aside.open(QIODevice::ReadOnly));
            QCOMPARE(aside.readAll(), damaged);
            journal.append(u"Home score 1"_s, scored(1, Now));
            journal.flush();
            QString error;
            QCOMPARE(BoutJournal::latestBout(folder, &error)->size(), 1);
        } else if (!opens && QFileInfo(file).isFile()) {
            // Left as it was for the program that wrote it.
            QFile f(file);
            f.open(QIODevice::ReadOnly);
            QCOMPARE(f.readAll(), before);
        }
    }

    // The journal's file removed, replaced (a backup or sync tool writing
    // another file in its place) or cut short while the program runs, or
    // its log removed: the next row notices. What stood in the file's place
    // is put aside and a new journal holds the bout from that row on; a
    // lost log's rows are saved into the journal first. What a crash then
    // leaves holds the bout as it was, and the next start is told, once.
    void aFileChangedInPlay_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("told"); // "aside": where the file was put
        QTest::addColumn<int>("rowsKept");
        QTest::newRow("removed") << u"removed"_s << u"-"_s << 2;
        QTest::newRow("replaced") << u"replaced"_s << u"aside"_s << 2;
        QTest::newRow("cut short") << u"cut short"_s << u"aside"_s << 2;
        QTest::newRow("log removed") << u"log removed"_s << BoutJournal::LogRemovedKept << 402;
    }
    void aFileChangedInPlay()
    {
        QFETCH(QString, fault);
        QFETCH(QString, told);
        QFETCH(int, rowsKept);
        QTemporaryDir dir;
        QTemporaryDir crashed;
        const QString file = journalFile(dir);
        {
            BoutJournal journal(dir.path(), at(Now));
            for (int i = 1; i <= 400; ++i)
                journal.append(u"Home score %1"_s.arg(i), scored(i, Now + i));
            journal.flush();
            if (fault == u"removed") {
                QVERIFY(QFile::remove(file));
            } else if (fault == u"replaced") {
                writeFile(file + u".new"_s, "an older copy, say");
                QVERIFY(QFile::remove(file));
                QVERIFY(QFile::rename(file + u".new"_s, file));
            } else if (fault == u"cut short") {
                QFile f(file);
                QVERIFY(f.open(QIODevice::ReadWrite));
                QVERIFY(f.size() > 8192);
                QVERIFY(f.resize(4096));
            } else {
                QVERIFY(QFile::remove(file + u"-wal"_s));
                QFile::remove(file + u"-shm"_s);
            }
            journal.append(u"Home score 401"_s, scored(401, Now + 401));
            journal.append(u"Home score 402"_s, scored(402, Now + 402));
            journal.flush();
            // What a kill now leaves: the file and its log as they stand.
            for (const QString &suffix : {u""_s, u"-wal"_s}) {
                if (QFile::exists(file + suffix))
                    QVERIFY(QFile::copy(file + suffix,
                                        crashed.filePath(BoutJournal::FileName) + suffix));
            }
        }
        QString error;
        const auto rows = BoutJournal::latestBout(crashed.path(), &error);
        QVERIFY2(rows, qPrintable(error));
        QCOMPARE(rows->size(), rowsKept);
        QCOMPARE(rows->last().state.numbers[BoutState::HomeScore], 402);
        {
            BoutJournal next(dir.path(), at(Now + 1000));
            QVERIFY(next.resumable());
            QCOMPARE(next.resumable()->last.state.numbers[BoutState::HomeScore], 402);
            QCOMPARE(next.setAsideInPlay().size(), 1);
            const QString said = next.setAsideInPlay().first();
            QVERIFY2(told == u"aside" ? said.startsWith(file) : said == told, qPrintable(said));
        }
        BoutJournal again(dir.path(), at(Now + 2000));
        QVERIFY(again.isOpen());
        QVERIFY(again.setAsideInPlay().isEmpty());
    }

    // A crash leaves the journal's lock behind (empty, as on a full disk)
    // and its last rows in the log; then the disk fills up, or comes back
    // read-only (a card after a power cut), or the folder is one the user
    // may not write to. The next start takes the lock over or reads past
    // it, names the real fault and offers the bout without writing
    // anything, the rows in the log included. The disks need a file system
    // of their own (tests/with-small-disk); the folder a user other than
    // root, who writes anywhere (tests/as-unprivileged).
    void aBadFolderAfterACrash_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("said");
        QTest::newRow("full disk") << u"full"_s << u"the disk is full"_s;
        QTest::newRow("read-only disk") << u"read-only disk"_s << u"read-only disk"_s;
        QTest::newRow("read-only folder") << u"read-only folder"_s << u"is read-only"_s;
    }
    void aBadFolderAfterACrash()
    {
        QFETCH(QString, fault);
        QFETCH(QString, said);
        QTemporaryDir dir;
        QString base = dir.path();
        if (fault == u"read-only folder") {
            if (geteuid() == 0)
                QSKIP("root may write anywhere; tests/as-unprivileged runs this as another user");
        } else {
            base = qEnvironmentVariable("QUELVANE_SMALL_DISK");
            if (base.isEmpty())
                QSKIP("needs QUELVANE_SMALL_DISK (tests/with-small-disk)");
            QDir(base).removeRecursively();
            QVERIFY(QDir().mkpath(base));
        }
        const QString running = base + u"/running"_s;
        const QString folder = base + u"/Quelvane"_s;
        QVERIFY(QDir().mkpath(folder));
        {
            BoutJournal journal(running, at(Now));
            QVERIFY2(journal.isOpen(), qPrintable(journal.error()));
            for (int i = 1; i <= 5; ++i)
                journal.append(u"Home score %1"_s.arg(i), scored(i, Now + i));
            journal.flush();
            // What a kill leaves: the file and its log as they stand.
            for (const QString &suffix : {u""_s, u"-wal"_s}) {
                QVERIFY(QFile::copy(running + u"/"_s + BoutJournal::FileName + suffix,
                                    folder + u"/"_s + BoutJournal::FileName + suffix));
            }
        }
        QDir(running).removeRecursively();
        QFile lock(folder + u"/"_s + BoutJournal::FileName + u".lock"_s);
        QVERIFY(lock.open(QIODevice::WriteOnly));
        QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addSecs(-600),
                                 QFileDevice::FileModificationTime));
        lock.close();
        const auto restored = qScopeGuard([&] {
            if (fault == u"read-only disk")
                QProcess::execute(u"mount"_s, {u"-o"_s, u"remount,rw"_s, base});
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        });
        if (fault == u"full") {
            QFile filler(base + u"/filler"_s);
            QVERIFY(filler.open(QIODevice::WriteOnly));
            const QByteArray block(4096, 'x');
            while (filler.write(block) == block.size() && filler.flush()) {
            }
        } else if (fault == u"read-only disk") {
            QCOMPARE(QProcess::execute(u"mount"_s, {u"-o"_s, u"remount,ro"_s, base}), 0);
        } else {
            QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        }

        BoutJournal next(folder, at(Now + 1000));
        QVERIFY(!next.isOpen());
        QVERIFY2(next.error().contains(said), qPrintable(next.error()));
        QVERIFY(next.resumable());
        QCOMPARE(next.resumable()->last.state.numbers[BoutState::HomeScore], 5);
    }

    // A disk that fills up during the bout: the failure is reported once
    // per change, and the rows before it stay.
    void aFullDiskIsReported()
    {
        QTemporaryDir dir;
        BoutJournal journal(dir.path(), at(Now, 8));
        QVERIFY(journal.isOpen());
        QSignalSpy failed(&journal, &BoutJournal::writeFailed);
        const QString longText(3000, u'x');
        for (int i = 0; i < 40 && failed.isEmpty(); ++i) {
            journal.append(longText, scored(i + 1, Now + i));
            journal.flush();
            QCoreApplication::processEvents();
        }
        QVERIFY(!failed.isEmpty());
        QVERIFY2(failed.first().first().toString().contains(u"full"_s),
                 qPrintable(failed.first().first().toString()));
    }
};

QTEST_MAIN(tst_Journal)
#include "tst_journal.moc"
