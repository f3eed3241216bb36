#include "BoutJournal.h"

#include "JournalDatabase.h"
#include "JournalWriter.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QStorageInfo>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
#if defined(Q_OS_UNIX)
#include <cerrno>
#include <csignal>
#endif

namespace {

// Why a folder's files cannot be written, in the operator's words; empty
// when nothing says they cannot.
QString writeFault(const QString &folder)
{
    const QStorageInfo storage(folder);
    if (storage.isValid() && storage.isReadOnly())
        return QStringLiteral("the folder %1 is on a read-only disk").arg(folder);
    if (!QFileInfo(folder).isWritable())
        return QStringLiteral("the folder %1 is read-only").arg(folder);
    // Less than a few pages of the journal.
    if (storage.isValid() && storage.bytesAvailable() < 64 * 1024)
        return QStringLiteral("the disk is full");
    return QString();
}

// Whether a lock file is held by a program that still runs. One whose owner
// cannot be read (a crash on a full disk can leave it empty) and that is not
// being written this moment is nobody's.
bool heldByARunningProgram(const QLockFile &lock, const QString &lockPath)
{
    qint64 pid = 0;
    QString host;
    QString application;
    if (!lock.getLockInfo(&pid, &host, &application))
        return QFileInfo(lockPath).lastModified().msecsTo(QDateTime::currentDateTime()) < 2000;
    if (!host.isEmpty() && host != QSysInfo::machineHostName())
        return true;
#if defined(Q_OS_UNIX)
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
#else
    return true;
#endif
}

// A row as the queries below select it: wall_ms, description, state, undo,
// action. Nothing for a state that cannot be read.
std::optional<JournalRow> rowOf(const QSqlQuery &q)
{
    const std::optional<BoutState> state = BoutState::fromJson(q.value(2).toString().toUtf8());
    if (!state)
        return std::nullopt;
    const int undo = q.value(3).toInt();
    return JournalRow{q.value(0).toLongLong(), q.value(1).toString(), *state,
                      undo >= JournalRow::NoStep && undo <= JournalRow::Redone
                          ? JournalRow::Undo(undo)
                          : JournalRow::NoStep,
                      OperatorAction::fromJson(q.value(4).toString().toUtf8(), *state)};
}

// The columns rowOf reads, for a journal of that version.
QString rowColumns(int version)
{
    return QStringLiteral("wall_ms, description, state, %1, %2")
        .arg(version >= 2 ? QStringLiteral("undo") : QStringLiteral("0"),
             version >= 3 ? QStringLiteral("action") : QStringLiteral("''"));
}

int versionOf(QSqlDatabase db)
{
    QSqlQuery q(db);
    return q.exec(QStringLiteral("PRAGMA user_version")) && q.next() ? q.value(0).toInt() : 0;
}

// The most recent bout not declined, with its rows. A bout that ended on a
// fresh-looking board (the question put off, then a score typed and taken
// back) hides none before it: the latest that did not is the one.
std::optional<BoutJournal::Resumable> latestRow(QSqlDatabase db, QSqlError *error)
{
    QSqlQuery bouts(db);
    if (!bouts.exec(QStringLiteral("SELECT id FROM bouts WHERE declined = 0 "
                                   "ORDER BY last_ms DESC, id DESC LIMIT 8"))) {
        *error = bouts.lastError();
        return std::nullopt;
    }
    const QString columns = rowColumns(versionOf(db));
    std::optional<BoutJournal::Resumable> latest;
    while (bouts.next()) {
        BoutJournal::Resumable found;
        found.bout = bouts.value(0).toLongLong();
        QSqlQuery q(db);
        q.prepare(QStringLiteral("SELECT %1 FROM rows WHERE bout = ? ORDER BY id").arg(columns));
        q.addBindValue(qint64(found.bout));
        if (!q.exec()) {
            *error = q.lastError();
            return std::nullopt;
        }
        while (q.next()) {
            if (const std::optional<JournalRow> row = rowOf(q))
                found.rows.append(*row);
        }
        if (found.rows.isEmpty())
            continue;
        found.last = found.rows.last();
        if (!latest)
            latest = found;
        if (!found.last.state.isFresh())
            return found;
    }
    return latest;
}

} // namespace

BoutJournal::BoutJournal(const QString &folder, Options options)
{
    const std::int64_t nowMs =
        options.nowMs != 0 ? options.nowMs : QDateTime::currentMSecsSinceEpoch();
    if (!QDir().mkpath(folder)) {
        m_error = QStringLiteral("the folder %1 cannot be made").arg(folder);
        return;
    }
    const QString path = QDir(folder).filePath(FileName);
    const QString lockPath = path + QStringLiteral(".lock");
    m_lock = std::make_unique<QLockFile>(lockPath);
    // Held for as long as the program runs, however long the bout.
    m_lock->setStaleLockTime(0);
    bool locked = m_lock->tryLock(0);
    if (!locked && m_lock->error() == QLockFile::LockFailedError &&
        !heldByARunningProgram(*m_lock, lockPath) && m_lock->removeStaleLockFile()) {
        // Left by a program that no longer runs: taken over.
        locked = m_lock->tryLock(0);
    }
    if (!locked) {
        // A lock left by a program that no longer runs, in a folder that no
        // longer lets it go (a card that came back read-only after a power
        // cut), is the folder's fault, not another program's.
        const bool heldElsewhere = m_lock->error() == QLockFile::LockFailedError &&
                                   heldByARunningProgram(*m_lock, lockPath);
        m_lock.reset();
        if (heldElsewhere) {
            m_error = QStringLiteral("another Quelvane is using the journal %1").arg(path);
            return;
        }
        const QString fault = writeFault(folder);
        m_error = fault.isEmpty()
                      ? QStringLiteral("the journal's folder %1 cannot be written").arg(folder)
                      : fault;
        // Nobody else has the journal: its bout can still be offered.
        readOnly(path, nowMs);
        return;
    }
    if (!openOnThisThread(path, nowMs))
        return;

    m_thread = new QThread(this);
    m_thread->setObjectName(QStringLiteral("journal"));
    m_writer = new JournalWriter(path, options.maxPages, nowMs);
    m_writer->moveToThread(m_thread);
    connect(m_thread, &QThread::finished, m_writer, &QObject::deleteLater);
    connect(m_writer, &JournalWriter::failed, this, &BoutJournal::writeFailed);
    connect(m_writer, &JournalWriter::succeeded, this, &BoutJournal::writeSucceeded);
    m_thread->start();
    QMetaObject::invokeMethod(m_writer, &JournalWriter::start);
    m_open = true;
}

bool BoutJournal::openOnThisThread(const QString &path, std::int64_t nowMs)
{
    QFile note(path + BegunAnewNote);
    if (note.open(QIODevice::ReadOnly | QIODevice::Text)) {
        const QString lines = QString::fromUtf8(note.readAll());
        m_setAsideInPlay = lines.split(u'\n', Qt::SkipEmptyParts);
        note.close();
        note.remove();
    }
    for (int attempt = 0; attempt < 2; ++attempt) {
        const QString connection = JournalDatabase::newConnectionName();
        JournalDatabase::Opened opened = JournalDatabase::open(path, connection);
        QSqlError error;
        if (opened.problem == JournalDatabase::Problem::None) {
            m_resumable = latestRow(QSqlDatabase::database(connection, false), &error);
            if (error.isValid())
                opened = {JournalDatabase::isDamage(error) ? JournalDatabase::Problem::Damaged
                                                           : JournalDatabase::Problem::Unusable,
                          error.text()};
        }
        JournalDatabase::close(connection);
        if (opened.problem == JournalDatabase::Problem::None)
            break;
        if (opened.problem != JournalDatabase::Problem::Damaged || attempt > 0) {
            const QString fault = writeFault(QFileInfo(path).absolutePath());
            m_error = opened.problem == JournalDatabase::Problem::Unusable && !fault.isEmpty()
                          ? fault
                          : opened.reason;
            // Reading it for "Resume Bout" needs no free space.
            if (opened.problem == JournalDatabase::Problem::Unusable)
                readOnly(path, nowMs);
            return false;
        }
        // Damaged: kept aside for whoever wants to look, and a new one begun.
        m_setAside = JournalDatabase::putAside(path);
        if (m_setAside.isEmpty()) {
            m_error = QStringLiteral("the damaged journal %1 cannot be put aside").arg(path);
            return false;
        }
        m_resumable.reset();
    }
    keepIfOffered(nowMs);
    return true;
}

void BoutJournal::keepIfOffered(std::int64_t nowMs)
{
    if (m_resumable) {
        const bool recent = nowMs - m_resumable->last.wallMs < ResumeWithinMs;
        if (!recent || m_resumable->last.state.isFresh())
            m_resumable.reset();
    }
}

void BoutJournal::readOnly(const QString &path, std::int64_t nowMs)
{
    if (!QFileInfo(path).isFile())
        return;
    // A copy of the journal and its log where files can be written reads
    // every row, those a crash left in the log too, and changes nothing
    // beside the journal. Then the journal itself read-only, which needs
    // room for the log's index when there is none; then as a file that
    // nothing changes, which needs no room at all but misses the log.
    QTemporaryDir copyFolder;
    const QString copy = copyFolder.filePath(FileName);
    const bool copied = copyFolder.isValid() && QFile::copy(path, copy) &&
                        (!QFileInfo::exists(path + QStringLiteral("-wal")) ||
                         QFile::copy(path + QStringLiteral("-wal"), copy + QStringLiteral("-wal")));
    const QString asUri = QUrl::fromLocalFile(path).toString() + QStringLiteral("?immutable=1");
    QList<std::pair<QString, QString>> ways = {
        {path, QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=2000")},
        {asUri, QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI")}};
    if (copied)
        ways.prepend({copy, QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000")});
    for (const auto &[name, options] : ways) {
        const QString connection = JournalDatabase::newConnectionName();
        QSqlError error;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
            db.setDatabaseName(name);
            db.setConnectOptions(options);
            if (db.open())
                m_resumable = latestRow(db, &error);
            else
                error = db.lastError();
        }
        JournalDatabase::close(connection);
        if (!error.isValid())
            break;
    }
    keepIfOffered(nowMs);
}

BoutJournal::~BoutJournal()
{
    if (m_thread) {
        // Every row sent is written before the thread goes: an event loop
        // told to quit may drop what is still queued.
        QMetaObject::invokeMethod(m_writer, &JournalWriter::stop, Qt::BlockingQueuedConnection);
        m_thread->quit();
        m_thread->wait();
    }
}

void BoutJournal::resume(std::int64_t bout)
{
    if (m_open)
        QMetaObject::invokeMethod(m_writer, [w = m_writer, bout] { w->setBout(bout); });
}

void BoutJournal::decline(std::int64_t bout)
{
    if (m_open)
        QMetaObject::invokeMethod(m_writer, [w = m_writer, bout] { w->decline(bout); });
}

void BoutJournal::finishBout()
{
    if (m_open)
        QMetaObject::invokeMethod(m_writer, [w = m_writer] { w->finishBout(); });
}

void BoutJournal::append(const QString &description, const BoutState &state, JournalRow::Undo undo,
                         const std::optional<OperatorAction> &action)
{
    if (!m_open)
        return;
    QMetaObject::invokeMethod(
        m_writer, [w = m_writer, wall = qint64(state.wallMs), description, json = state.toJson(),
                   actionJson = action ? action->toJson() : QByteArray(),
                   undo] { w->append(wall, description, json, int(undo), actionJson); });
}

void BoutJournal::setNames(const BoutNames &names)
{
    if (m_open)
        QMetaObject::invokeMethod(m_writer, [w = m_writer, names] { w->setNames(names); });
}

void BoutJournal::flush()
{
    if (m_open)
        QMetaObject::invokeMethod(
            m_writer, [] {}, Qt::BlockingQueuedConnection);
}

std::optional<QList<JournalRow>> BoutJournal::latestBout(const QString &folder, QString *error,
                                                         BoutNames *names)
{
    const QString path = QDir(folder).filePath(FileName);
    if (!QFileInfo(path).isFile()) {
        *error = QStringLiteral("there is no journal at %1").arg(path);
        return std::nullopt;
    }
    const QString connection = JournalDatabase::newConnectionName();
    std::optional<QList<JournalRow>> rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=2000"));
        QSqlQuery q(db);
        // A journal of version 1 has neither names nor undo marks, one of
        // version 2 no actions.
        const int version = db.open() ? versionOf(db) : 0;
        const bool marked = version >= 2;
        const QString latest =
            QStringLiteral("(SELECT id FROM bouts ORDER BY last_ms DESC, id DESC LIMIT 1)");
        if (db.isOpen() && q.exec(QStringLiteral("SELECT %1 FROM rows WHERE bout = %2 ORDER BY id")
                                      .arg(rowColumns(version), latest))) {
            rows.emplace();
            while (q.next()) {
                if (const std::optional<JournalRow> row = rowOf(q))
                    rows->append(*row);
            }
            if (names && marked &&
                q.exec(QStringLiteral("SELECT title, home, visitor FROM bouts WHERE id = ") +
                       latest) &&
                q.next())
                *names = {q.value(0).toString(), q.value(1).toString(), q.value(2).toString()};
        } else {
            *error = db.isOpen() ? q.lastError().text() : db.lastError().text();
        }
    }
    JournalDatabase::close(connection);
    return rows;
}
