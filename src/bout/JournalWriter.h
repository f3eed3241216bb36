#pragma once

#include "BoutJournal.h"
#include "JournalDatabase.h"

#include <QObject>
#include <QString>

// The journal's writing side, living on its own thread: rows are written in
// the order they were sent, each in its own transaction.
class JournalWriter : public QObject {
    Q_OBJECT

public:
    JournalWriter(const QString &path, int maxPages, qint64 nowMs);

public Q_SLOTS:
    // Opens the connection and removes bouts older than the journal keeps.
    void start();
    // The bout the next rows go to; 0 begins a new one with the next row.
    void setBout(qint64 bout);
    void decline(qint64 bout);
    // The bout going on is over: never offered again, and the next row
    // begins another.
    void finishBout();
    void append(qint64 wallMs, const QString &description, const QByteArray &state, int undo,
                const QByteArray &action);
    void setNames(const BoutNames &names) { m_names = names; }
    void stop();

Q_SIGNALS:
    void failed(const QString &reason);
    void succeeded();
    // The journal's file was removed, replaced or cut short while the
    // program ran; a new one was begun. `aside`: where what stood in its
    // place was put, empty when nothing did.
    void begunAnew(const QString &aside);

private:
    bool write(qint64 wallMs, const QString &description, const QByteArray &state, int undo,
               const QByteArray &action);
    bool writeRow(qint64 wallMs, const QString &description, const QByteArray &state, int undo,
                  const QByteArray &action);
    // Whether the file at the path is still the one this writer opened,
    // whole.
    bool fileIsOurs() const;
    // Whether the journal's log is still the one SQLite writes to.
    bool logIsOurs() const;
    // The log was removed or replaced: what it holds goes into the journal
    // and a new log is begun.
    bool keepRowsOfLostLog();
    // Puts aside what stands at the path and opens a new journal there.
    bool beginAnew();
    void noteFile();
    void report(bool ok, const QString &reason);

    QString m_path;
    QString m_connection;
    int m_maxPages;
    qint64 m_nowMs;
    qint64 m_bout = 0;
    JournalDatabase::FileIdentity m_identity;
    JournalDatabase::FileIdentity m_logIdentity;
    qint64 m_size = 0; // the largest the file has been
    bool m_failedByDamage = false;
    BoutNames m_names;
    bool m_started = false;
    bool m_failing = false;
};
