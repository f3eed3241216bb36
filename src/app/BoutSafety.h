#pragma once

#include "BoutChange.h"
#include "BoutJournal.h"
#include "UndoHistory.h"

#include <QObject>
#include <QPointer>
#include <memory>
#include <optional>

class frmScoreboard;
class QWidget;

// Keeps the bout safe: every change goes to the journal, a bout cut short
// is offered again at the next start, and Ctrl+Z / Ctrl+Y (or
// Ctrl+Shift+Z) take back and redo the operator's value changes. It only
// watches the board and gives it states; the board works without it.
class BoutSafety : public QObject {
    Q_OBJECT

public:
    static inline const QString SavedTitle = QStringLiteral("Quelvane");
    // The journal's row for a bout taken up again.
    static inline const QString ResumedRow = QStringLiteral("Bout resumed");
    static inline const QString NotSavedTitle = QStringLiteral("Quelvane \u2014 bout not saved");
    // The journal's first row of a bout begun on the same board.
    static inline const QString NewBoutRow = QStringLiteral("New bout");

    explicit BoutSafety(const QString &folder, BoutJournal::Options options = {});
    ~BoutSafety() override;

    // Before the board opens: says once when the journal cannot keep the
    // bout, and asks whether to resume a bout cut short. The bout's last
    // row when the answer is Yes.
    std::optional<JournalRow> prepare();
    // Watches the opened board; shows the resumed bout as it would be now.
    void attach(frmScoreboard *board, const std::optional<JournalRow> &resumed);

    void undo();
    void redo();
    // Ctrl+N, with the bout run by the clock: after a Yes, the board as it
    // opened, a new bout in the journal, every setting kept.
    void newBout();

    BoutJournal &journal() { return *m_journal; }
    const UndoHistory &history() const { return m_history; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void clocksChanged(const BoutState &before, const BoutState &after);
    void operatorActed(const OperatorAction &action);
    void dropPendingTyping();
    void show(const std::optional<BoutState> &state, const QString &what, JournalRow::Undo undo);
    // The undo history of a resumed bout, from its rows.
    void rebuildHistory(std::int64_t nowNs, std::int64_t nowWallMs);

    std::unique_ptr<BoutJournal> m_journal;
    UndoHistory m_history;
    QPointer<frmScoreboard> m_board;
    // The rows of the bout being resumed, until the board has it.
    QList<JournalRow> m_resumedRows;
    // The bout an undo or redo was worked out from.
    BoutState m_shownFrom;
    // The board as it opened, before any bout was shown on it.
    BoutState m_opened;
    // True from a failed write until one succeeds again.
    bool m_notSaved = false;
};
