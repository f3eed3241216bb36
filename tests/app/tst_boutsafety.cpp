// The bout kept safe around the board: undo and redo by real key events,
// resuming a bout cut short, and a journal that cannot keep anything.
#include "BoardHarness.h"
#include "BoutSafety.h"
#include "Digmar.h"
#include "KeyTyping.h"
#include "Pinlux.h"
#include "ScriptedDialogs.h"
#include "modCount.h"
#include "modShowDigits.h"

#include <QDir>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A board watched by the journal in `folder`, the journal's questions
// answered by `dialogs`.
struct SafeBoard {
    BoardHarness h;
    BoutSafety safety;
    std::optional<JournalRow> resumed;

    SafeBoard(const QString &folder, BoutJournal::Options options = {}) : safety(folder, options)
    {
        resumed = safety.prepare();
        safety.attach(h.board.get(), resumed);
        QApplication::setActiveWindow(h.board.get());
    }

    void select(QWidget *display)
    {
        QTest::mouseClick(display, Qt::LeftButton);
        QVERIFY(display->hasFocus());
    }
    void type(const QString &keys) { typeKeys(QApplication::focusWidget(), keys); }
    void chord(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    QString shown(LedDisplay *display) const
    {
        if (auto *d = qobject_cast<Digmar *>(display))
            return d->caption();
        return static_cast<Pinlux *>(display)->cells().toText().trimmed();
    }
};

} // namespace

class tst_BoutSafety : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        modCount::TypedTimeOwner.clear();
        modShowDigits::TypedNumberOwner.clear();
    }

    void undoAndRedoByKeys()
    {
        QTemporaryDir dir;
        ScriptedDialogs dialogs;
        SafeBoard b(dir.path());
        auto *board = b.h.board.get();
        // Z as a command key: the chords must still never reach a command.
        Settings.StartStopJamClockKey = 90;

        // A mistaken score, taken back and done again every way.
        b.select(board->nledHomeScore);
        b.type(u"57E12E"_s);
        QCOMPARE(b.shown(board->nledHomeScore), u"12"_s);
        const std::pair<Qt::KeyboardModifiers, QString> steps[] = {
            {Qt::ControlModifier, u"57"_s},
            {Qt::ControlModifier, u"0"_s},
            {Qt::ControlModifier, u"0"_s}, // nothing more to undo
            {Qt::ControlModifier | Qt::ShiftModifier, u"57"_s},
        };
        for (const auto &[modifiers, expected] : steps) {
            b.chord(Qt::Key_Z, modifiers);
            QCOMPARE(b.shown(board->nledHomeScore), expected);
        }
        b.chord(Qt::Key_Y);
        QCOMPARE(b.shown(board->nledHomeScore), u"12"_s);
        QVERIFY(!board->tkJam->running());
        // Digits typed and not entered go with the undo: Enter enters nothing.
        b.type(u"99"_s);
        b.chord(Qt::Key_Z);
        b.type(u"E"_s);
        QCOMPARE(b.shown(board->nledHomeScore), u"57"_s);
        b.chord(Qt::Key_Y);

        // A mistaken clear.
        b.type(u"C"_s);
        QCOMPARE(b.shown(board->nledHomeScore), u"-1"_s);
        b.chord(Qt::Key_Z);
        QCOMPARE(b.shown(board->nledHomeScore), u"12"_s);

        // A mistaken period reset in play: back running, at the right time,
        // its penalty clock with it, and not a sound.
        b.select(board->tledHomePenalty1);
        b.type(u"A"_s);
        b.type(u"S"_s);
        b.h.tick(30000);
        b.type(u"T"_s);
        QCOMPARE(b.shown(board->tledPeriod), u"10:00"_s);
        QVERIFY(!board->tkPeriod->running());
        b.h.tick(5000);
        b.chord(Qt::Key_Z);
        QVERIFY(board->tkPeriod->running());
        QVERIFY(board->tkHomePenalty1->running());
        QCOMPARE(b.shown(board->tledPeriod), u"9:25"_s);
        QCOMPARE(b.shown(board->tledHomePenalty1), u"0:55"_s);
        b.h.tick(1000);
        QCOMPARE(b.shown(board->tledPeriod), u"9:24"_s);
        QVERIFY(b.h.sound.played.isEmpty());

        // A hundred steps back and forward.
        b.select(board->nledVisitorScore);
        for (int i = 1; i <= 100; ++i)
            b.type(QString::number(i) + u'E');
        for (int i = 0; i < 100; ++i)
            b.chord(Qt::Key_Z);
        QCOMPARE(b.shown(board->nledVisitorScore), u"0"_s);
        QCOMPARE(b.shown(board->nledHomeScore), u"12"_s);
        for (int i = 0; i < 100; ++i)
            b.chord(Qt::Key_Y);
        QCOMPARE(b.shown(board->nledVisitorScore), u"100"_s);

        b.safety.journal().flush();
        QString error;
        const auto rows = BoutJournal::latestBout(dir.path(), &error);
        QVERIFY(rows);
        QCOMPARE(rows->first().description, u"Home score 57"_s);
        QCOMPARE(rows->last().description, u"Redo: Visitor score 100"_s);
    }

    // Seeded random operator actions of every kind, clocks started and
    // stopped between them and random undo and redo, on a machine as busy as
    // the row says (every reading of the clock a moment after the last):
    // after every step the board holds what a plain model of the values
    // says. Undo takes back exactly the last value change, never a start or
    // stop, and leaves running what was started since.
    void undoFollowsAModel_data()
    {
        QTest::addColumn<int>("readDelayUs");
        QTest::newRow("idle machine") << 0;
        QTest::newRow("busy machine") << 500;
        QTest::newRow("very busy machine") << 5000;
    }
    void undoFollowsAModel()
    {
        QFETCH(int, readDelayUs);
        const quint32 seed = QRandomGenerator::system()->generate();
        QRandomGenerator random(seed);
        QTemporaryDir dir;
        ScriptedDialogs dialogs;
        SafeBoard b(dir.path());
        frmScoreboard *board = b.h.board.get();
        b.h.clock.setReadDelayNanoseconds(readDelayUs * 1000ll);
        const std::array<LedDisplay *, 4> penalties = {
            board->tledHomePenalty1, board->tledHomePenalty2, board->tledVisitorPenalty1,
            board->tledVisitorPenalty2};
        // The values, and which clocks run (period, jam, the four penalties).
        struct Values {
            std::array<int, 3> numbers{0, 0, 0};
            std::array<bool, 4> blank{true, true, true, true};
            std::array<bool, 6> running{};
            bool operator==(const Values &) const = default;
        };
        Values m;
        std::vector<std::pair<Values, Values>> done, undone;
        const auto takeBack = [&m](const Values &from, const Values &to) {
            m.numbers = to.numbers;
            m.blank = to.blank;
            // A clock started or stopped since stays so.
            for (size_t k = 0; k < m.running.size(); ++k) {
                if (m.running[k] == from.running[k])
                    m.running[k] = to.running[k];
            }
        };
        const LedDisplay *numbers[] = {board->nledHomeScore, board->nledVisitorScore,
                                       board->nledPeriod};
        for (int step = 0; step < 120; ++step) {
            const Values before = m;
            const int n = random.bounded(3);
            const int p = random.bounded(4);
            const int action = random.bounded(10);
            QString what;
            if (action == 0) { // a typed number
                const int value = random.bounded(n == 2 ? 10 : 150);
                b.select(const_cast<LedDisplay *>(numbers[n]));
                b.type(QString::number(value) + (n == 2 ? QString() : u"E"_s));
                m.numbers[size_t(n)] = value;
                what = u"typed %1"_s.arg(value);
            } else if (action == 1 && n < 2) { // + or - and a digit
                const int by = random.bounded(-9, 10);
                b.select(const_cast<LedDisplay *>(numbers[n]));
                b.type((by < 0 ? u"-"_s : u"+"_s) + QString::number(std::abs(by)));
                const int value = std::max(0, m.numbers[size_t(n)]) + by;
                if (value >= -1 && value <= 999)
                    m.numbers[size_t(n)] = value;
                what = u"%1%2"_s.arg(by < 0 ? u"-"_s : u"+"_s).arg(std::abs(by));
            } else if (action == 2) { // cleared
                b.select(const_cast<LedDisplay *>(numbers[n]));
                b.type(u"C"_s);
                m.numbers[size_t(n)] = -1;
                what = u"cleared"_s;
            } else if (action == 3) { // a penalty given or cleared
                b.select(penalties[size_t(p)]);
                const QString keys = !m.blank[size_t(p)] ? u"C"_s
                                     : random.bounded(2) ? u"A"_s
                                                         : u"1.00E"_s;
                b.type(keys);
                m.blank[size_t(p)] = keys == u"C";
                m.running[size_t(2 + p)] = false;
                what = u"penalty %1 %2"_s.arg(p).arg(keys);
            } else if (action <= 5) { // the period (and penalties), or the jam
                const bool period = action == 4;
                b.type(period ? u"S"_s : u"J"_s);
                m.running[period ? 0 : 1] = !m.running[period ? 0 : 1];
                if (period) {
                    for (size_t k = 2; k < 6; ++k)
                        m.running[k] = m.running[0];
                }
                what = period ? u"S"_s : u"J"_s;
            } else if (action <= 7) { // undo
                b.chord(Qt::Key_Z);
                if (!done.empty()) {
                    takeBack(done.back().second, done.back().first);
                    undone.push_back(done.back());
                    done.pop_back();
                }
                what = u"undo"_s;
            } else if (action == 8) { // redo
                b.chord(Qt::Key_Y);
                if (!undone.empty()) {
                    takeBack(undone.back().first, undone.back().second);
                    done.push_back(undone.back());
                    undone.pop_back();
                }
                what = u"redo"_s;
            }
            const bool valueChanged = m.numbers != before.numbers || m.blank != before.blank;
            if (action <= 3 && valueChanged) {
                done.emplace_back(before, m);
                undone.clear();
            }
            b.h.tick(random.bounded(300));
            const BoutState now = board->boutState();
            Values shown;
            shown.numbers = now.numbers;
            shown.blank = now.penaltyBlank;
            for (size_t k = 0; k < shown.running.size(); ++k)
                shown.running[k] = now.keepers[k].running;
            if (!(shown == m)) {
                QFAIL(qPrintable(
                    u"seed %1, step %2 (%3): the board differs from the model"_s.arg(seed)
                        .arg(step)
                        .arg(what)));
            }
        }
        // No clock time was typed: a start or stop read late is no "set to".
        b.safety.journal().flush();
        QString error;
        const auto rows = BoutJournal::latestBout(dir.path(), &error);
        QVERIFY2(rows, qPrintable(error));
        for (const JournalRow &row : *rows) {
            if (row.description.contains(u"set to"))
                QFAIL(qPrintable(u"seed %1: a row reads '%2'"_s.arg(seed).arg(row.description)));
        }
    }

    // A bout cut short is offered at the next start, once: Yes shows it as
    // it would be now; No starts the board as always.
    void aBoutCutShortIsResumed()
    {
        QTemporaryDir dir;
        ScriptedDialogs dialogs;
        {
            SafeBoard b(dir.path());
            QVERIFY(dialogs.asked.isEmpty());
            b.select(b.h.board->nledVisitorScore);
            b.type(u"23E"_s);
            b.select(b.h.board->tledVisitorPenalty2);
            b.type(u"A"_s);
            b.type(u"S"_s);
            b.h.tick(12000);
        }
        // Put away with Escape or the close box: a fresh board for now, and
        // the bout offered again at the next start.
        dialogs.laterAnswers << std::nullopt;
        {
            SafeBoard b(dir.path());
            QCOMPARE(b.shown(b.h.board->nledVisitorScore), u"0"_s);
        }
        dialogs.answers << true;
        {
            SafeBoard b(dir.path());
            QCOMPARE(dialogs.asked.size(), 2);
            QVERIFY(dialogs.asked.first().startsWith(u"Resume Bout: "_s));
            QVERIFY(dialogs.asked.first().contains(u"Visitor 23"_s));
            auto *board = b.h.board.get();
            QCOMPARE(b.shown(board->nledVisitorScore), u"23"_s);
            QVERIFY(board->tkPeriod->running());
            QVERIFY(board->tkVisitorPenalty2->running());
            // The bout ran on while the program was away (a moment here).
            const std::int64_t away = std::int64_t(600 * 10000) - board->tkPeriod->time().ticks();
            QVERIFY2(away >= 0 && away < 5000, qPrintable(QString::number(away)));
            QCOMPARE(board->tkVisitorPenalty2->time().ticks(), 900000 - away);
            QVERIFY(board->tledVisitorPenalty2->hasFocus());
            // Its undo history came with it: the penalty, then the score are
            // taken back; the period started since runs on.
            b.chord(Qt::Key_Z);
            QCOMPARE(b.shown(board->tledVisitorPenalty2), QString());
            QVERIFY(board->tkPeriod->running());
            b.chord(Qt::Key_Z);
            QCOMPARE(b.shown(board->nledVisitorScore), u"0"_s);
            QVERIFY(board->tkPeriod->running());
            b.safety.journal().flush();
            QString error;
            const auto rows = BoutJournal::latestBout(dir.path(), &error);
            QVERIFY2(rows, qPrintable(error));
            QCOMPARE(rows->last().description, u"Undo: Visitor score 0"_s);
        }
        dialogs.answers << false;
        {
            SafeBoard b(dir.path());
            QCOMPARE(dialogs.asked.size(), 3);
            QCOMPARE(b.shown(b.h.board->nledVisitorScore), u"0"_s);
            QVERIFY(!b.h.board->tkPeriod->running());
        }
        SafeBoard again(dir.path());
        QCOMPARE(dialogs.asked.size(), 3);
    }

    // A journal that keeps nothing: said once before the board opens (or,
    // when it starts failing in play, only in the title), and the board
    // goes on taking keys.
    void faultsNeverStopTheBoard_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("said");
        QTest::addColumn<QString>("title");
        QTest::newRow("a folder in its place") << u"folder"_s << u"is a folder"_s << u"Quelvane"_s;
        QTest::newRow("second program") << u"second"_s << u"another Quelvane"_s << u"Quelvane"_s;
        QTest::newRow("newer schema") << u"newer"_s << u"newer version"_s << u"Quelvane"_s;
        QTest::newRow("disk full in play") << u"full"_s << QString() << BoutSafety::NotSavedTitle;
    }
    void faultsNeverStopTheBoard()
    {
        QFETCH(QString, fault);
        QFETCH(QString, said);
        QFETCH(QString, title);
        QTemporaryDir dir;
        ScriptedDialogs dialogs;
        std::unique_ptr<BoutJournal> other;
        BoutJournal::Options options;
        if (fault == u"folder") {
            QVERIFY(QDir(dir.path()).mkpath(BoutJournal::FileName));
        } else if (fault == u"second") {
            other = std::make_unique<BoutJournal>(dir.path());
        } else if (fault == u"newer") {
            QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"newer"_s);
            db.setDatabaseName(dir.filePath(BoutJournal::FileName));
            QVERIFY(db.open());
            QSqlQuery(u"PRAGMA user_version=7"_s, db);
            db.close();
        } else {
            options.maxPages = 6;
        }
        SafeBoard b(dir.path(), options);
        if (said.isEmpty()) {
            QVERIFY(dialogs.asked.isEmpty());
        } else {
            QCOMPARE(dialogs.asked.size(), 1);
            QVERIFY2(dialogs.asked.first().startsWith(
                         u"Quelvane: Quelvane cannot keep this bout safe: "_s),
                     qPrintable(dialogs.asked.first()));
            QVERIFY(dialogs.asked.first().contains(said));
        }
        b.select(b.h.board->nledHomeScore);
        for (int i = 0; i < 60; ++i)
            b.type(QString::number(i * 7 % 999) + u'E');
        b.type(u"+3"_s);
        QCOMPARE(b.shown(b.h.board->nledHomeScore), QString::number(59 * 7 % 999 + 3));
        b.safety.journal().flush();
        QTRY_COMPARE(b.h.board->windowTitle(), title);
        // A resize lays the labels out again, title and all: the warning stays.
        b.h.board->resize(800, 600);
        QCOMPARE(b.h.board->windowTitle(), title);
        QCOMPARE(dialogs.asked.size(), said.isEmpty() ? 0 : 1);
    }
};

QTEST_MAIN(tst_BoutSafety)
#include "tst_boutsafety.moc"
