#include "JournalDatabase.h"

#include <QAtomicInt>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#if defined(Q_OS_UNIX)
#include <sys/stat.h>
#endif

namespace {

const char *const Schema[] = {
    "CREATE TABLE IF NOT EXISTS bouts(id INTEGER PRIMARY KEY, started_ms INTEGER NOT NULL, "
    "last_ms INTEGER NOT NULL, declined INTEGER NOT NULL DEFAULT 0, "
    "title TEXT NOT NULL DEFAULT '', home TEXT NOT NULL DEFAULT '', "
    "visitor TEXT NOT NULL DEFAULT '')",
    "CREATE TABLE IF NOT EXISTS rows(id INTEGER PRIMARY KEY, bout INTEGER NOT NULL, "
    "wall_ms INTEGER NOT NULL, description TEXT NOT NULL, state TEXT NOT NULL, "
    "undo INTEGER NOT NULL DEFAULT 0, action TEXT NOT NULL DEFAULT '')",
    "CREATE INDEX IF NOT EXISTS rows_by_bout ON rows(bout, id)",
    "CREATE INDEX IF NOT EXISTS bouts_by_last ON bouts(last_ms)",
};

// From version 1: the names and the undo marks, empty for what was written.
const char *const FromVersion1[] = {
    "ALTER TABLE bouts ADD COLUMN title TEXT NOT NULL DEFAULT ''",
    "ALTER TABLE bouts ADD COLUMN home TEXT NOT NULL DEFAULT ''",
    "ALTER TABLE bouts ADD COLUMN visitor TEXT NOT NULL DEFAULT ''",
    "ALTER TABLE rows ADD COLUMN undo INTEGER NOT NULL DEFAULT 0",
};

// From version 2: each row's action, empty for what was written.
const char *const FromVersion2[] = {
    "ALTER TABLE rows ADD COLUMN action TEXT NOT NULL DEFAULT ''",
};

JournalDatabase::Opened failure(const QSqlError &error)
{
    using JournalDatabase::Problem;
    const Problem problem = JournalDatabase::isDamage(error) ? Problem::Damaged : Problem::Unusable;
    return {problem, error.text()};
}

} // namespace

namespace JournalDatabase {

bool isDamage(const QSqlError &error)
{
    // SQLITE_CORRUPT and SQLITE_NOTADB.
    const QString code = error.nativeErrorCode();
    return code == u"11" || code == u"26";
}

QString newConnectionName()
{
    static QAtomicInt next;
    return QStringLiteral("quelvane-journal-%1").arg(next.fetchAndAddRelaxed(1));
}

Opened open(const QString &path, const QString &connection, int maxPages)
{
    if (QFileInfo(path).isDir())
        return {Problem::Unusable, QStringLiteral("%1 is a folder, not a file").arg(path)};
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
    if (!db.isValid())
        return {Problem::Unusable, QStringLiteral("the SQLite driver for Qt is not installed")};
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000"));
    if (!db.open())
        return failure(db.lastError());
    QSqlQuery q(db);
    // The version first: it reads the file's header, so a file that is no
    // database says so here.
    if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next())
        return failure(q.lastError());
    const int version = q.value(0).toInt();
    if (version > SchemaVersion) {
        return {Problem::Newer,
                QStringLiteral("%1 was written by a newer version of Quelvane").arg(path)};
    }
    if (!q.exec(QStringLiteral("PRAGMA journal_mode=WAL")) || !q.next())
        return failure(q.lastError());
    if (q.value(0).toString().compare(u"wal", Qt::CaseInsensitive) != 0)
        return {Problem::Unusable, QStringLiteral("%1 cannot use a write-ahead log").arg(path)};
    if (!q.exec(QStringLiteral("PRAGMA synchronous=FULL")))
        return failure(q.lastError());
    if (maxPages > 0 && !q.exec(QStringLiteral("PRAGMA max_page_count=%1").arg(maxPages)))
        return failure(q.lastError());
    if (version < SchemaVersion) {
        db.transaction();
        const auto run = [&q](const auto &statements) {
            for (const char *statement : statements) {
                if (!q.exec(QString::fromLatin1(statement)))
                    return false;
            }
            return true;
        };
        const bool made = version == 0   ? run(Schema)
                          : version == 1 ? run(FromVersion1) && run(FromVersion2)
                                         : run(FromVersion2);
        if (!made || !q.exec(QStringLiteral("PRAGMA user_version=%1").arg(SchemaVersion))) {
            const QSqlError error = q.lastError();
            db.rollback();
            return failure(error);
        }
        if (!db.commit())
            return failure(db.lastError());
    }
    return {};
}

QString putAside(const QString &path)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = path + QStringLiteral(".damaged-") + stamp;
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = path + QStringLiteral(".damaged-") + stamp + u'-' + QString::number(n);
    if (!QFile::rename(path, aside))
        return QString();
    for (const char *suffix : {"-wal", "-shm"}) {
        const QString side = path + QLatin1String(suffix);
        if (QFileInfo::exists(side))
            QFile::rename(side, aside + QLatin1String(suffix));
    }
    return aside;
}

FileIdentity identityOf(const QString &path)
{
    FileIdentity id;
#if defined(Q_OS_UNIX)
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) == 0)
        id = {true, quint64(st.st_dev), quint64(st.st_ino)};
#else
    const QFileInfo info(path);
    if (info.isFile())
        id = {true, 0, quint64(info.birthTime().toMSecsSinceEpoch())};
#endif
    return id;
}

void close(const QString &connection)
{
    {
        QSqlDatabase db = QSqlDatabase::database(connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
}

} // namespace JournalDatabase
