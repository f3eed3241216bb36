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
        dialogs.answers << true;
        {
            SafeBoard b(dir.path());
            QCOMPARE(dialogs.asked.size(), 1);
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
        }
        dialogs.answers << false;
        {
            SafeBoard b(dir.path());
            QCOMPARE(dialogs.asked.size(), 2);
            QCOMPARE(b.shown(b.h.board->nledVisitorScore), u"0"_s);
            QVERIFY(!b.h.board->tkPeriod->running());
        }
        SafeBoard again(dir.path());
        QCOMPARE(dialogs.asked.size(), 2);
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
