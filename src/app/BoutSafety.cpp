#include "BoutSafety.h"

#include "BoutChange.h"
#include "BoutClocks.h"
#include "BoutRules.h"
#include "BoutTexts.h"
#include "Dialogs.h"
#include "PhaseAway.h"
#include "Settings.h"
#include "frmScoreboard.h"
#include "modCount.h"
#include "modShowDigits.h"

#include <QDateTime>
#include <QEvent>
#include <QKeySequence>
#include <QShortcut>

namespace {

bool holdPeriodSound()
{
    return Settings.SuppressPeriodSound == 1;
}

QString shown(const QString &text)
{
    return text.isEmpty() ? QStringLiteral("blank") : text;
}

QString resumeQuestion(const JournalRow &row)
{
    const BoutState &s = row.state;
    const QDateTime when = QDateTime::fromMSecsSinceEpoch(row.wallMs);
    return QStringLiteral("A bout was left unfinished at %1 (last change: %2).\n\n"
                          "Home %3, Visitor %4, period %5, period clock %6, jam clock %7.\n\n"
                          "Resume it? Clocks that were running have run on since.")
        .arg(QLocale().toString(when, QLocale::ShortFormat), row.description,
             shown(BoutTexts::number(s, BoutState::HomeScore)),
             shown(BoutTexts::number(s, BoutState::VisitorScore)),
             shown(BoutTexts::number(s, BoutState::PeriodNumber)), BoutTexts::periodClock(s),
             BoutTexts::jamClock(s));
}

// What became of the journal while the program last ran, for the operator.
QString setAsideInPlay(const QStringList &asides)
{
    QStringList kept;
    bool begunAnew = false;
    bool logKept = false;
    bool logLost = false;
    for (const QString &aside : asides) {
        if (aside == BoutJournal::LogRemovedKept) {
            logKept = true;
        } else if (aside == BoutJournal::LogRemovedLost) {
            logLost = true;
        } else {
            begunAnew = true;
            if (aside != u"-")
                kept << aside;
        }
    }
    QStringList texts;
    if (begunAnew) {
        QString text =
            QStringLiteral("While Quelvane last ran, another program removed, replaced or "
                           "cut short its bout journal; the bout went on in a new one.");
        if (!kept.isEmpty())
            text += QStringLiteral(" What stood in its place was kept as %1.")
                        .arg(kept.join(QStringLiteral(", ")));
        texts << text;
    }
    if (logLost)
        texts << QStringLiteral("While Quelvane last ran, another program removed the bout "
                                "journal's log (%1-wal); the changes it held were lost, and the "
                                "bout was kept whole again from the next change on.")
                     .arg(BoutJournal::FileName);
    else if (logKept)
        texts << QStringLiteral("While Quelvane last ran, another program removed the bout "
                                "journal's log (%1-wal); every change it held was saved into "
                                "the journal first, and nothing was lost.")
                     .arg(BoutJournal::FileName);
    return texts.join(QStringLiteral("\n\n"));
}

} // namespace

BoutSafety::BoutSafety(const QString &folder, BoutJournal::Options options)
    : m_journal(std::make_unique<BoutJournal>(folder, options))
{
}

BoutSafety::~BoutSafety() = default;

std::optional<JournalRow> BoutSafety::prepare()
{
    if (!m_journal->isOpen()) {
        Dialogs::current().warn(nullptr, QStringLiteral("Quelvane"),
                                QStringLiteral("Quelvane cannot keep this bout safe: %1. "
                                               "The board works as usual, without saving.")
                                    .arg(m_journal->error()));
    }
    const QString setAside = setAsideInPlay(m_journal->setAsideInPlay());
    const std::optional<BoutJournal::Resumable> found = m_journal->resumable();
    if (!found) {
        if (!setAside.isEmpty())
            Dialogs::current().warn(nullptr, QStringLiteral("Quelvane"), setAside);
        return std::nullopt;
    }
    const QString question = resumeQuestion(found->last);
    const std::optional<bool> answer = Dialogs::current().askYesNoOrLater(
        nullptr, QStringLiteral("Resume Bout"),
        setAside.isEmpty() ? question : setAside + QStringLiteral("\n\n") + question);
    if (answer == true) {
        m_journal->resume(found->bout);
        m_resumedRows = found->rows;
        return found->last;
    }
    // Only No gives the bout up; put away, the question comes again at the
    // next start while the bout is still the latest.
    if (answer == false)
        m_journal->decline(found->bout);
    return std::nullopt;
}

void BoutSafety::attach(frmScoreboard *board, const std::optional<JournalRow> &resumed)
{
    m_board = board;
    // A board whose bout cannot be kept says so from the start.
    m_notSaved = !m_journal->isOpen();
    if (m_notSaved)
        board->setWindowTitle(NotSavedTitle);
    connect(board, &frmScoreboard::boutChanged, this, &BoutSafety::clocksChanged);
    connect(board, &frmScoreboard::operatorActed, this, &BoutSafety::operatorActed);
    connect(m_journal.get(), &BoutJournal::writeFailed, board, [this, board] {
        m_notSaved = true;
        board->setWindowTitle(NotSavedTitle);
    });
    connect(m_journal.get(), &BoutJournal::writeSucceeded, board, [this, board] {
        m_notSaved = false;
        board->setWindowTitle(SavedTitle);
    });
    // The board writes its own title whenever it lays out its labels; the
    // warning stays until a write succeeds.
    board->installEventFilter(this);
    // Taken before the board's keys: they never type into a display or
    // reach a command.
    const auto shortcut = [this, board](const QKeySequence &keys, void (BoutSafety::*act)()) {
        auto *s = new QShortcut(keys, board);
        s->setContext(Qt::WindowShortcut);
        s->setAutoRepeat(true);
        connect(s, &QShortcut::activated, this, act);
    };
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Z), &BoutSafety::undo);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Y), &BoutSafety::redo);
    shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), &BoutSafety::redo);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_N), &BoutSafety::newBout);
    m_opened = board->boutState();

    // The rows from here on are kept under the board's names.
    const auto keepNames = [this] {
        m_journal->setNames({Settings.TitleText, Settings.HomeText, Settings.VisitorText});
    };
    keepNames();
    connect(board, &frmScoreboard::appearanceApplied, this, keepNames);

    if (resumed) {
        // The bout went on while the program was away; a wall clock set
        // back counts as no time.
        const std::int64_t awayMs = QDateTime::currentMSecsSinceEpoch() - resumed->wallMs;
        BoutState state = advanced(resumed->state, awayMs * 10, holdPeriodSound());
        if (runsByClock(BoutRules))
            followPhaseAway(resumed->state, state, BoutRules.Periods,
                            std::int64_t(BoutRules.IntermissionSeconds) * BoutState::TicksPerSecond);
        // Of this moment on this process's clock, not the last one's.
        const BoutState now = board->boutState();
        rebuildHistory(now.monotonicNs, now.wallMs);
        state.moveMoments(now.monotonicNs - state.monotonicNs);
        board->setBoutState(state);
        m_journal->append(ResumedRow, board->boutState());
    }
    m_resumedRows.clear();
}

void BoutSafety::rebuildHistory(std::int64_t nowNs, std::int64_t nowWallMs)
{
    // The steps, undos and redos of the bout as it was played. A step's bout
    // before is the row before it. Each run of the program (from the bout's
    // start, or from a resumption) has a steady clock of its own: its rows
    // keep their moments on it, and the run is placed on this one by the
    // wall clock of its first row.
    BoutState previous = BoutState::fresh();
    std::int64_t shiftNs = 0;
    for (qsizetype i = 0; i < m_resumedRows.size(); ++i) {
        const JournalRow &row = m_resumedRows[i];
        if (i == 0 || row.description == ResumedRow || row.state.monotonicNs == 0)
            shiftNs = nowNs - (nowWallMs - row.wallMs) * 1000000 - row.state.monotonicNs;
        BoutState state = row.state;
        state.moveMoments(shiftNs);
        if (i == 0)
            previous.monotonicNs = state.monotonicNs;
        // A step is the action as it was made. Only rows written before
        // actions were kept fall back on the row before them.
        BoutState before = previous;
        if (row.action) {
            before = row.action->before;
            before.moveMoments(shiftNs);
        }
        if (row.undo == JournalRow::Step)
            m_history.record(before, state);
        else if (row.undo == JournalRow::Undone)
            m_history.undo(state);
        else if (row.undo == JournalRow::Redone)
            m_history.redo(state);
        previous = state;
    }
}

bool BoutSafety::eventFilter(QObject *watched, QEvent *event)
{
    if (m_notSaved && watched == m_board && event->type() == QEvent::WindowTitleChange &&
        m_board->windowTitle() != NotSavedTitle)
        m_board->setWindowTitle(NotSavedTitle);
    return QObject::eventFilter(watched, event);
}

void BoutSafety::clocksChanged(const BoutState &before, const BoutState &after)
{
    const QString description = describeChange(before, after, false).description;
    if (!description.isEmpty())
        m_journal->append(description, after);
}

void BoutSafety::operatorActed(const OperatorAction &action)
{
    const bool step = action.undoable();
    if (step)
        m_history.record(action.before, action.after);
    const QString description = action.description();
    if (!description.isEmpty() || step)
        m_journal->append(description, action.after, step ? JournalRow::Step : JournalRow::NoStep,
                          action);
}

void BoutSafety::show(const std::optional<BoutState> &state, const QString &what,
                      JournalRow::Undo undo)
{
    if (!state || !m_board)
        return;
    // Told from the bout the step was taken back on and the bout it gives,
    // both of one moment: a reading after the change could come late on a
    // busy machine and make running clocks look set.
    const QString change = describeChange(m_shownFrom, *state, true).description;
    m_board->setBoutState(*state);
    m_journal->append(change.isEmpty() ? what : what + QStringLiteral(": ") + change,
                      m_board->boutState(), undo);
}

void BoutSafety::dropPendingTyping()
{
    // Digits typed and not yet entered belong to the bout as it was; a later
    // Enter must not enter them into the bout as it is now.
    modShowDigits::TypedNumber.clear();
    modCount::TypedTime.clear();
}

void BoutSafety::newBout()
{
    // A double-header on one board; only with the bout run by the clock,
    // so that a board without it stays as it always was.
    if (!m_board || BoutRules.Show == 0 || BoutRules.RunByClock == 0)
        return;
    if (!Dialogs::current().askYesNo(m_board, QStringLiteral("New Bout"),
                                     QStringLiteral("Start a new bout?")))
        return;
    dropPendingTyping();
    m_history.clear();
    m_journal->finishBout();
    const BoutState last = m_board->boutState();
    BoutState opened = m_opened;
    opened.moveMoments(last.monotonicNs - opened.monotonicNs);
    // The lengths of a jam and a period typed for this league stay.
    opened.jamResetTicks = last.jamResetTicks;
    opened.periodResetTicks = last.periodResetTicks;
    opened.keepers[BoutState::Jam].ticks = last.jamResetTicks;
    opened.keepers[BoutState::Period].ticks = last.periodResetTicks;
    m_board->setBoutState(opened);
    m_journal->append(NewBoutRow, m_board->boutState());
}

void BoutSafety::undo()
{
    if (!m_board)
        return;
    dropPendingTyping();
    m_history.setHoldPeriodSound(holdPeriodSound());
    m_shownFrom = m_board->boutState();
    show(m_history.undo(m_shownFrom), QStringLiteral("Undo"), JournalRow::Undone);
}

void BoutSafety::redo()
{
    if (!m_board)
        return;
    dropPendingTyping();
    m_history.setHoldPeriodSound(holdPeriodSound());
    m_shownFrom = m_board->boutState();
    show(m_history.redo(m_shownFrom), QStringLiteral("Redo"), JournalRow::Redone);
}
