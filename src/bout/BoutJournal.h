#pragma once

#include "BoutChange.h"
#include "BoutState.h"

#include <QList>
#include <QObject>
#include <QString>
#include <memory>
#include <optional>

class QLockFile;
class QThread;
class JournalWriter;

// One row of the journal: the bout after a change, when, and what changed;
// and, for the undo history, whether it was a step that undo can take back,
// or an undo or redo, and the operator's action that made it as it was made.
struct JournalRow {
    enum Undo { NoStep, Step, Undone, Redone };
    std::int64_t wallMs = 0;
    QString description;
    BoutState state;
    Undo undo = NoStep;
    // Rows written before actions were kept have none.
    std::optional<OperatorAction> action;
};

// The names a bout was played under.
struct BoutNames {
    QString title, home, visitor;
    bool operator==(const BoutNames &) const = default;
};

// The bout journal: an SQLite database (WAL, every row its own synchronous
// transaction) that keeps each change of the bout, so that a crash, a power
// cut or a closed window loses nothing. Rows are written in order on a
// worker thread, so the board never waits for the disk. A journal that
// cannot be opened or written never stops the board: it says why and keeps
// nothing.
class BoutJournal : public QObject {
    Q_OBJECT

public:
    static inline const QString FileName = QStringLiteral("journal.sqlite");
    // Beside the journal: a line for every time the journal's file was
    // removed, replaced or cut short in play and a new one begun (where what
    // stood in its place was put, or "-"), until the next start tells it.
    static inline const QString BegunAnewNote = QStringLiteral(".begun-anew");
    // The note's lines for a journal whose log (the "-wal" file) was removed
    // or replaced in play: its rows were all saved into the journal, or
    // those since the journal's last save were lost.
    static inline const QString LogRemovedKept = QStringLiteral("log removed, rows kept");
    static inline const QString LogRemovedLost = QStringLiteral("log removed, rows lost");
    // Bouts untouched for longer are removed when the journal opens.
    static constexpr std::int64_t KeepMs = 30ll * 24 * 3600 * 1000;
    // Only a bout changed more recently than this is offered for resuming.
    static constexpr std::int64_t ResumeWithinMs = 24ll * 3600 * 1000;

    struct Options {
        // The wall clock's "now" when the journal opens; the system's when 0.
        std::int64_t nowMs = 0;
        // A journal capped at this many pages fills up as a full disk
        // would; 0 for no cap.
        int maxPages = 0;
    };

    // Opens (or makes) the journal in `folder`.
    explicit BoutJournal(const QString &folder, Options options);
    explicit BoutJournal(const QString &folder) : BoutJournal(folder, Options()) {}
    ~BoutJournal() override;

    bool isOpen() const { return m_open; }
    // Why the journal keeps nothing, when it does not ("the disk is full",
    // "the folder … is read-only", "another Quelvane is using …"). Its bout
    // may still be offered for resuming then.
    QString error() const { return m_error; }
    // Where a damaged journal was put aside when it opened, if it was.
    QString setAsidePath() const { return m_setAside; }
    // Where journals were put aside while the program last ran, because
    // their file was replaced or cut short ("-" for one that was removed).
    QStringList setAsideInPlay() const { return m_setAsideInPlay; }

    // The most recent bout, when it changed less than a day ago and is not
    // the fresh board's.
    struct Resumable {
        std::int64_t bout = 0;
        JournalRow last;
        // Every row of the bout, in order, the last included.
        QList<JournalRow> rows;
    };
    std::optional<Resumable> resumable() const { return m_resumable; }
    // The rows go on in that bout.
    void resume(std::int64_t bout);
    // A new bout begins; the old one is never offered again.
    void decline(std::int64_t bout);
    // The bout going on is over (a new one is begun on the same board): it
    // is never offered again, and the next row begins another.
    void finishBout();

    // Adds a row in the background, after every row before it.
    void append(const QString &description, const BoutState &state,
                JournalRow::Undo undo = JournalRow::NoStep,
                const std::optional<OperatorAction> &action = std::nullopt);
    // The names the bout's rows are kept under from now on.
    void setNames(const BoutNames &names);
    // Waits until every row appended so far is on the disk (or failed).
    void flush();

    // The rows of the most recent bout, for the bout record, and its names
    // when asked; nothing with a reason when the journal cannot be read.
    static std::optional<QList<JournalRow>> latestBout(const QString &folder, QString *error,
                                                       BoutNames *names = nullptr);

Q_SIGNALS:
    // A row could not be written; the next that is written says so too.
    void writeFailed(const QString &reason);
    void writeSucceeded();

private:
    bool openOnThisThread(const QString &path, std::int64_t nowMs);
    // Finds the bout to offer without writing anything: for a journal that
    // cannot be written (a full disk), whose bout can still be resumed.
    void readOnly(const QString &path, std::int64_t nowMs);
    // Offers the bout found only when it is recent and not a fresh board's.
    void keepIfOffered(std::int64_t nowMs);

    bool m_open = false;
    QString m_error;
    QString m_setAside;
    QStringList m_setAsideInPlay;
    std::optional<Resumable> m_resumable;
    std::unique_ptr<QLockFile> m_lock;
    QThread *m_thread = nullptr;
    JournalWriter *m_writer = nullptr;
};
