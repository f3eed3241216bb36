#include "JournalWriter.h"

#include "BoutJournal.h"
#include "JournalDatabase.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

namespace {

QString logOf(const QString &path)
{
    return path + QStringLiteral("-wal");
}

} // namespace

JournalWriter::JournalWriter(const QString &path, int maxPages, qint64 nowMs)
    : m_path(path), m_connection(JournalDatabase::newConnectionName()), m_maxPages(maxPages),
      m_nowMs(nowMs)
{
}

void JournalWriter::start()
{
    const JournalDatabase::Opened opened = JournalDatabase::open(m_path, m_connection, m_maxPages);
    m_started = opened.problem == JournalDatabase::Problem::None;
    if (!m_started) {
        report(false, opened.reason);
        return;
    }
    noteFile();
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery q(db);
    const qint64 oldest = m_nowMs - BoutJournal::KeepMs;
    db.transaction();
    q.prepare(
        QStringLiteral("DELETE FROM rows WHERE bout IN (SELECT id FROM bouts WHERE last_ms < ?)"));
    q.addBindValue(oldest);
    q.exec();
    q.prepare(QStringLiteral("DELETE FROM bouts WHERE last_ms < ?"));
    q.addBindValue(oldest);
    q.exec();
    db.commit();
}

void JournalWriter::setBout(qint64 bout)
{
    m_bout = bout;
}

void JournalWriter::decline(qint64 bout)
{
    if (!m_started)
        return;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("UPDATE bouts SET declined = 1 WHERE id = ?"));
    q.addBindValue(bout);
    report(q.exec(), q.lastError().text());
}

void JournalWriter::finishBout()
{
    if (m_bout != 0)
        decline(m_bout);
    m_bout = 0;
}

void JournalWriter::append(qint64 wallMs, const QString &description, const QByteArray &state,
                           int undo, const QByteArray &action)
{
    if (!m_started) {
        report(false, QStringLiteral("the journal is not open"));
        return;
    }
    write(wallMs, description, state, undo, action);
}

void JournalWriter::noteFile()
{
    m_identity = JournalDatabase::identityOf(m_path);
    m_logIdentity = JournalDatabase::identityOf(logOf(m_path));
    m_size = std::max(m_size, QFileInfo(m_path).size());
}

bool JournalWriter::fileIsOurs() const
{
    return JournalDatabase::identityOf(m_path) == m_identity && QFileInfo(m_path).size() >= m_size;
}

bool JournalWriter::logIsOurs() const
{
    // A log not there when the file was noted is made by the next write.
    return !m_logIdentity.exists || JournalDatabase::identityOf(logOf(m_path)) == m_logIdentity;
}

bool JournalWriter::keepRowsOfLostLog()
{
    // SQLite goes on writing to the log it has open, removed or not, and
    // only a save (a checkpoint) puts its rows into the journal: a crash
    // would lose them all without a word. Saved now, from the log still
    // open, they are all kept.
    bool saved = false;
    {
        QSqlQuery q(QSqlDatabase::database(m_connection, false));
        saved = q.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)")) && q.next() &&
                q.value(0).toInt() == 0;
    }
    // What stands in the log's place is not ours; closing would remove it.
    if (QFileInfo::exists(logOf(m_path)))
        JournalDatabase::putAside(logOf(m_path));
    JournalDatabase::close(m_connection);
    m_connection = JournalDatabase::newConnectionName();
    QFile note(m_path + BoutJournal::BegunAnewNote);
    if (note.open(QIODevice::Append | QIODevice::Text))
        note.write((saved ? BoutJournal::LogRemovedKept : BoutJournal::LogRemovedLost).toUtf8() +
                   '\n');
    const JournalDatabase::Opened opened = JournalDatabase::open(m_path, m_connection, m_maxPages);
    m_started = opened.problem == JournalDatabase::Problem::None;
    if (!m_started) {
        report(false, opened.reason);
        return false;
    }
    noteFile();
    return true;
}

bool JournalWriter::beginAnew()
{
    JournalDatabase::close(m_connection);
    m_connection = JournalDatabase::newConnectionName();
    QString aside;
    if (QFileInfo::exists(m_path)) {
        aside = JournalDatabase::putAside(m_path);
        if (aside.isEmpty()) {
            m_started = false;
            report(false, QStringLiteral("%1 was replaced and cannot be put aside").arg(m_path));
            return false;
        }
    }
    const JournalDatabase::Opened opened = JournalDatabase::open(m_path, m_connection, m_maxPages);
    m_started = opened.problem == JournalDatabase::Problem::None;
    if (!m_started) {
        report(false, opened.reason);
        return false;
    }
    m_size = 0;
    noteFile();
    // The bout goes on in the new journal, from the row being written: each
    // row holds the whole bout.
    m_bout = 0;
    // Told at the next start, whatever happens to this run.
    QFile note(m_path + BoutJournal::BegunAnewNote);
    if (note.open(QIODevice::Append | QIODevice::Text))
        note.write((aside.isEmpty() ? QStringLiteral("-") : aside).toUtf8() + '\n');
    Q_EMIT begunAnew(aside);
    return true;
}

bool JournalWriter::write(qint64 wallMs, const QString &description, const QByteArray &state,
                          int undo, const QByteArray &action)
{
    // A backup or sync tool may have put another file in the journal's
    // place, removed it or cut it short: the rows would go to a file nobody
    // will read, or into a damaged one.
    if (!fileIsOurs() && !beginAnew())
        return false;
    if (!logIsOurs() && !keepRowsOfLostLog())
        return false;
    if (writeRow(wallMs, description, state, undo, action))
        return true;
    // A journal damaged under the writer is put aside and begun anew.
    if (!fileIsOurs() || m_failedByDamage) {
        m_failedByDamage = false;
        return beginAnew() && writeRow(wallMs, description, state, undo, action);
    }
    return false;
}

bool JournalWriter::writeRow(qint64 wallMs, const QString &description, const QByteArray &state,
                             int undo, const QByteArray &action)
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery q(db);
    const auto fail = [&](const QSqlError &error) {
        db.rollback();
        m_failedByDamage = JournalDatabase::isDamage(error);
        report(false, error.text());
        return false;
    };
    if (!db.transaction())
        return fail(db.lastError());
    qint64 bout = m_bout;
    if (bout == 0) {
        q.prepare(QStringLiteral("INSERT INTO bouts(started_ms, last_ms) VALUES(?, ?)"));
        q.addBindValue(wallMs);
        q.addBindValue(wallMs);
        if (!q.exec())
            return fail(q.lastError());
        bout = q.lastInsertId().toLongLong();
    }
    q.prepare(QStringLiteral("INSERT INTO rows(bout, wall_ms, description, state, undo, action) "
                             "VALUES(?, ?, ?, ?, ?, ?)"));
    q.addBindValue(bout);
    q.addBindValue(wallMs);
    q.addBindValue(description);
    q.addBindValue(QString::fromUtf8(state));
    q.addBindValue(undo);
    // Empty, never NULL, for a row that no action made.
    q.addBindValue(action.isEmpty() ? QStringLiteral("") : QString::fromUtf8(action));
    if (!q.exec())
        return fail(q.lastError());
    q.prepare(QStringLiteral(
        "UPDATE bouts SET last_ms = ?, title = COALESCE(?, ''), home = COALESCE(?, ''), "
        "visitor = COALESCE(?, '') WHERE id = ?"));
    q.addBindValue(wallMs);
    q.addBindValue(m_names.title);
    q.addBindValue(m_names.home);
    q.addBindValue(m_names.visitor);
    q.addBindValue(bout);
    if (!q.exec())
        return fail(q.lastError());
    if (!db.commit())
        return fail(db.lastError());
    m_bout = bout;
    m_size = std::max(m_size, QFileInfo(m_path).size());
    report(true, QString());
    return true;
}

void JournalWriter::report(bool ok, const QString &reason)
{
    if (ok && m_failing) {
        m_failing = false;
        Q_EMIT succeeded();
    } else if (!ok) {
        m_failing = true;
        Q_EMIT failed(reason);
    }
}

void JournalWriter::stop()
{
    if (m_started)
        JournalDatabase::close(m_connection);
    m_started = false;
}
