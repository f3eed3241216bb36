// The windows together: splash, Options and the board; the command line.
#include "CommandLine.h"
#include "Digmar.h"
#include "Label.h"
#include "MemoryStore.h"
#include "PictureBox.h"
#include "Pinlux.h"
#include "Program.h"
#include "Settings.h"
#include "SettingsBackend.h"
#include "Tarrow.h"
#include "frmHelp.h"
#include "frmOptions.h"
#include "frmScoreboard.h"
#include "frmSplash.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

// Runs `edit` on the Options dialog once it is open, then presses OK.
void whenOptionsOpen(std::function<void(frmOptions *)> edit)
{
    QTimer::singleShot(0, [edit] {
        QTRY_VERIFY(qobject_cast<frmOptions *>(QApplication::activeModalWidget()));
        auto *options = qobject_cast<frmOptions *>(QApplication::activeModalWidget());
        edit(options);
        options->cmdOk->click();
    });
}

} // namespace

class tst_Program : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Every option in both forms, "--name value" and "--name=value"; an
    // optional screen takes no value that is another option, and "-" is
    // the export's standard output. Nothing after "--" is an option, a
    // missing value or an option given twice is refused. Rows: arguments ->
    // the export, feed, feed folder, audience and full-screen values read
    // ("-" when absent), or the refusal.
    void commandLineOptions()
    {
        const auto shown = [](const std::optional<QString> &value) {
            return value ? u'[' + *value + u']' : u"-"_s;
        };
        const std::pair<QStringList, QString> rows[] = {
            {{u"--audience"_s, u"2"_s}, u"- - - [2] -"_s},
            {{u"--audience=2"_s}, u"- - - [2] -"_s},
            {{u"--audience"_s, u"--feed=8750"_s}, u"- [8750] - [] -"_s},
            {{u"--fullscreen"_s, u"--"_s, u"2"_s}, u"- - - - []"_s},
            {{u"--export-bout=out.csv"_s}, u"[out.csv] - - - -"_s},
            {{u"--export-bout"_s, u"-"_s}, u"[-] - - - -"_s},
            {{u"--"_s, u"--audience=2"_s, u"--feed"_s, u"1"_s}, u"- - - - -"_s},
            {{u"--export-bout"_s}, u"--export-bout needs a file name, or -"_s},
            {{u"--export-bout"_s, u"--"_s, u"x"_s}, u"--export-bout needs a file name, or -"_s},
            {{u"--feed="_s}, u"--feed needs a port, or an address and a port"_s},
            {{u"--feed-dir"_s, u""_s}, u"--feed-dir needs a folder"_s},
            {{u"--feed=1"_s, u"--feed"_s, u"2"_s}, u"--feed is given more than once"_s},
            {{u"--audience"_s, u"--audience=2"_s}, u"--audience is given more than once"_s},
        };
        for (const auto &[given, read] : rows) {
            QStringList args = QStringList{u"q"_s, u"--help"_s} + given;
            CommandLine::Given options;
            QString result = CommandLine::takeOptions(args, options);
            if (result.isEmpty()) {
                result = QStringList{shown(options.exportBout), shown(options.feed),
                                     shown(options.feedDir), shown(options.audience),
                                     shown(options.fullScreen)}
                             .join(u' ');
                // Only "--" and what follows it are left, beside Qt's own.
                const qsizetype end = given.indexOf(u"--"_s);
                QCOMPARE(args, QStringList({u"q"_s, u"--help"_s}) +
                                   (end < 0 ? QStringList() : given.mid(end)));
            }
            QCOMPARE(result, read);
        }
    }

    void optionsFromTheSplashReachTheBoardAtOnce()
    {
        MemoryStore store;
        Program program(store);
        program.start();
        QVERIFY(QTest::qWaitForWindowExposed(program.splash()));
        whenOptionsOpen([](frmOptions *options) {
            options->txtTitleText->setText(u"Final"_s);
            options->txtVisitorText->setText(u"Rollers"_s);
            options->cmbLedType->setCurrentIndex(1);
            options->picTimeC->setBackColor(0x00FF00);
        });
        program.splash()->cmdOptions->click();
        QCOMPARE(store.values.value(u"TextSettings/TitleText"_s), u"Final"_s);
        QVERIFY(program.splash()->isVisible()); // it waits for a click
        QTest::mouseClick(program.splash()->lblName, Qt::LeftButton);
        frmScoreboard *board = program.board();
        QVERIFY(board);
        QVERIFY(board->isVisible());
        QCOMPARE(board->lblTitle->caption(), u"Final"_s);
        QCOMPARE(board->lblVisitorTeam->caption(), u"Rollers"_s);
        QCOMPARE(board->tledJam->ledType(), 1);
        QCOMPARE(board->tledJam->litColor(), 0x00FF00);
        QTRY_VERIFY(!program.splash());
    }

    void helpOpensOnceAndGoesWithTheBoard()
    {
        MemoryStore store;
        Program program(store);
        program.start();
        program.splash()->cmdHelp->click();
        frmHelp *help = program.help();
        QVERIFY(help);
        QVERIFY(help->isVisible());
        QVERIFY(program.splash()->isVisible());
        // Help opened from the splash stays when the splash gives way.
        QTest::mouseClick(program.splash()->lblName, Qt::LeftButton);
        QVERIFY(program.board());
        QVERIFY(help->isVisible());
        // F1 shows the same window again, without reading the document again.
        program.board()->AllKeyCode(112);
        QCOMPARE(program.help(), help);
        QCOMPARE(help->loads(), 1);
        // Closing the board closes the help window and ends the program.
        program.board()->close();
        QTRY_VERIFY(!program.help());
    }

    // The help window opens centred on the window that asked for it, on that
    // window's screen; later, F1 brings it back from wherever it was left.
    void helpOpensOverItsOpenerAndF1BringsItBack()
    {
        MemoryStore store;
        Program program(store);
        program.start();
        QVERIFY(QTest::qWaitForWindowExposed(program.splash()));
        const QRect screen = program.splash()->screen()->availableGeometry();
        const auto centredOn = [&](QWidget *opener) {
            // Its frame is not known before it first shows: a few pixels.
            const QRect help = program.help()->frameGeometry();
            QVERIFY(screen.contains(help.topLeft()));
            const int wanted = opener->frameGeometry().center().x();
            QVERIFY2(
                qAbs(help.center().x() - wanted) <= 3 || help.left() == screen.left(),
                qPrintable(u"help at %1, opener's centre %2"_s.arg(help.center().x()).arg(wanted)));
        };
        program.splash()->cmdHelp->click();
        centredOn(program.splash());
        program.help()->close();
        QTRY_VERIFY(!program.help());

        QTest::mouseClick(program.splash()->lblName, Qt::LeftButton);
        frmScoreboard *board = program.board();
        board->move(screen.left() + 20, screen.top() + 30);
        QVERIFY(QTest::qWaitForWindowExposed(board));
        board->AllKeyCode(112);
        frmHelp *help = program.help();
        QVERIFY(QTest::qWaitForWindowExposed(help));
        centredOn(board);

        // Moved aside and minimised: F1 shows it again where it was left.
        help->move(screen.left() + 5, screen.top() + 7);
        const QPoint leftAt = help->pos();
        help->showMinimized();
        QTRY_VERIFY(help->isMinimized());
        board->activateWindow();
        board->AllKeyCode(112);
        QVERIFY(!help->isMinimized());
        QVERIFY(help->isVisible());
        QCOMPARE(help->pos(), leftAt);
        QTRY_VERIFY(help->isActiveWindow());
        QCOMPARE(help->loads(), 1);
    }

    void clocksRunAndEndWhileOptionsAreOpen()
    {
        MemoryStore store;
        Program program(store);
        program.start();
        QTest::mouseClick(program.splash()->lblName, Qt::LeftButton);
        frmScoreboard *board = program.board();
        QVERIFY(QTest::qWaitForWindowExposed(board));
        Settings.BuzzerFile = QStringLiteral(QUELVANE_PROGRAM_DIR "/buzzer.wav");
        board->tkJam->setTime(FixedTime::fromDouble(0.5));
        board->AllKeyCode(Settings.StartStopJamClockKey);
        bool endedWhileOpen = false;
        whenOptionsOpen([&](frmOptions *) {
            // Behind the dialog the jam runs out and its end is sounded.
            QTRY_VERIFY_WITH_TIMEOUT(!board->tkJam->running(), 2000);
            endedWhileOpen = board->BuzzerPlaying;
        });
        board->AllKeyCode(113);
        QVERIFY(endedWhileOpen);
        QCOMPARE(board->tledJam->cells().toText(), u"0:00"_s);
        // The buzzer's end comes through: the board is free for the next sound.
        QTRY_VERIFY_WITH_TIMEOUT(!board->BuzzerPlaying, 3000);
    }
};

QTEST_MAIN(tst_Program)
#include "tst_program.moc"
