// The audience board on a real X server with screens plugged in and out
// (Xorg with the dummy driver, tests/with-xorg-dummy).
#include "AudienceScreens.h"
#include "BoardHarness.h"
#include "BoutRules.h"
#include "Digmar.h"
#include "KeyTyping.h"
#include "Label.h"
#include "Pinlux.h"
#include "ScreenChoice.h"
#include "TimeoutDots.h"

#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

void xrandr(const QStringList &args)
{
    // A mode made before is refused again; that is fine.
    QProcess p;
    p.setStandardErrorFile(QProcess::nullDevice());
    p.start(u"xrandr"_s, args);
    p.waitForFinished();
}

// A screen plugged in right of the first, as a projector would be, or
// `--same-as` it, as a projector mirroring the laptop's screen.
void plugIn(const QString &mode, const QString &where = u"--right-of"_s)
{
    const QMap<QString, QStringList> lines = {
        {u"1920x1080"_s,
         {u"148.5"_s, u"1920"_s, u"2008"_s, u"2052"_s, u"2200"_s, u"1080"_s, u"1084"_s, u"1089"_s,
          u"1125"_s}},
        {u"1024x768"_s,
         {u"65"_s, u"1024"_s, u"1048"_s, u"1184"_s, u"1344"_s, u"768"_s, u"771"_s, u"777"_s,
          u"806"_s}}};
    xrandr(QStringList{u"--newmode"_s, mode} + lines.value(mode));
    xrandr({u"--addmode"_s, u"DUMMY1"_s, mode});
    xrandr({u"--output"_s, u"DUMMY1"_s, u"--mode"_s, mode, where, u"DUMMY0"_s});
}

void unplug()
{
    xrandr({u"--output"_s, u"DUMMY1"_s, u"--off"_s});
}

QScreen *screenNamed(const QString &name)
{
    for (QScreen *s : QGuiApplication::screens()) {
        if (s->name() == name)
            return s;
    }
    return nullptr;
}

} // namespace

class tst_AudienceX11 : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QCOMPARE(QGuiApplication::platformName(), u"xcb"_s); }
    void cleanup() { unplug(); }

    void theAudienceBoardFollowsTheBoardAndTheScreens()
    {
        QTRY_COMPARE(QGuiApplication::screens().size(), 1);
        BoardHarness h;
        h.board->tmrClock1.start();
        AudienceScreens screens(h.board.get(), QString());
        QVERIFY(!screens.audience()); // one screen: the board alone

        // The projector comes: the audience board fills it, borderless,
        // and takes nothing from the operator.
        plugIn(u"1920x1080"_s);
        QTRY_VERIFY_WITH_TIMEOUT(screens.audience() && screens.audience()->isVisible(), 2000);
        AudienceBoard *a = screens.audience();
        QScreen *projector = screenNamed(u"DUMMY1"_s);
        QVERIFY(projector);
        QTRY_COMPARE(a->geometry(), projector->geometry());
        QVERIFY(a->windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(!a->control(u"shpObjectSelected"_s));
        auto *title = static_cast<Label *>(a->control(u"lblTitle"_s));
        QVERIFY(title->bold());
        QCOMPARE(title->alignment(), Label::Align::Center);
        QCOMPARE(a->cursor().shape(), Qt::BlankCursor);

        // Keys on the board reach the crowd in the same refresh.
        QApplication::setActiveWindow(h.board.get());
        QTest::mouseClick(h.board->nledHomeScore, Qt::LeftButton);
        typeKeys(h.board->nledHomeScore, u"57E"_s);
        QCOMPARE(static_cast<Digmar *>(a->control(u"nledHomeScore"_s))->caption(), u"57"_s);
        QVERIFY(!a->isActiveWindow());
        typeKeys(h.board->nledHomeScore, u"J"_s);
        h.clock.advanceMilliseconds(12300);
        auto *jam = static_cast<Pinlux *>(a->control(u"tledJam"_s));
        QTRY_COMPARE(jam->cells().toText(), u"1:48"_s);
        QCOMPARE(jam->cells(), h.board->tledJam->cells());

        // Options' Ok: the crowd gets the new look once the board has taken
        // it, even when ticks ran in between (a message box saying the
        // settings could not be saved holds the board's update back).
        h.showOptionsWith = [&h] {
            Settings.ScoreColor = 0x00FF00;
            Settings.LEDType = 1;
            Settings.HomeText = u"Rollers"_s;
            BoutRules.Show = 1; // the board makes its rules items now
            BoutRules.RunByClock = 1; // and the lead marks and jam points
            h.tick(50);
        };
        h.key(113); // F2
        auto *score = static_cast<Digmar *>(a->control(u"nledHomeScore"_s));
        QCOMPARE(score->litColor(), 0x00FF00);
        QCOMPARE(score->ledType(), 1);
        QCOMPARE(static_cast<Label *>(a->control(u"lblHomeTeam"_s))->caption(), u"Rollers"_s);
        // The bout rules come to the crowd too, in the same place, and follow
        // the keys.
        // The home jammer lead, the jam ended: its lineup, counted on the
        // jam display, with the lead mark and the jam's points as the board's.
        typeKeys(h.board->nledHomeScore, u"LJ"_s);
        h.clock.advanceMilliseconds(3000);
        QTRY_COMPARE(jam->cells().toText(), u"0:03"_s);
        for (const QString &name : {u"lblHomeLead"_s, u"lblHomeJamPoints"_s,
                                    u"lblVisitorLead"_s, u"lblVisitorJamPoints"_s}) {
            auto *shown = qobject_cast<Label *>(a->control(name));
            auto *board = h.board->findChild<Label *>(name);
            QVERIFY2(shown && board, qPrintable(name));
            QCOMPARE(shown->isVisibleFlag(), board->isVisibleFlag());
            QCOMPARE(shown->caption(), board->caption());
        }
        QVERIFY(static_cast<Label *>(a->control(u"lblHomeLead"_s))->isVisibleFlag());
        QCOMPARE(static_cast<Label *>(a->control(u"lblHomeJamPoints"_s))->caption(), u"+0"_s);
        typeKeys(h.board->nledHomeScore, u"H"_s); // a timeout between jams
        auto *dots = qobject_cast<TimeoutDots *>(a->control(u"dotsHomeTimeouts"_s));
        QVERIFY(dots && dots->isVisibleFlag());
        QCOMPARE(dots->remaining(), 2);
        QCOMPARE(static_cast<Label *>(a->control(u"lblBoutStatus"_s))->caption(),
                 u"Team Timeout \u2014 Rollers"_s);
        QVERIFY(qAbs(double(dots->y()) / a->height() -
                     double(h.board->dotsHomeTimeouts->y()) / h.board->height()) < 0.01);
        BoutRules = BoutRulesRecord{};

        // Scaled as the board scales, to its own screen.
        const auto heightShare = [](const QWidget *display, const QWidget *window) {
            return double(display->height()) / window->height();
        };
        h.board->resize(632, 453);
        QVERIFY(qAbs(heightShare(score, a) - heightShare(h.board->nledHomeScore, h.board.get())) <
                0.01);

        // A new resolution: it refits.
        plugIn(u"1024x768"_s);
        QTRY_COMPARE(a->size(), QSize(1024, 768));
        QVERIFY(qAbs(heightShare(score, a) - heightShare(h.board->nledHomeScore, h.board.get())) <
                0.01);

        // Unplugged mid-bout: gone quietly, the board goes on; back within
        // two seconds of being plugged in again, showing the bout as it is.
        unplug();
        QTRY_VERIFY(!screens.audience());
        typeKeys(h.board->nledHomeScore, u"+3"_s);
        QCOMPARE(h.board->nledHomeScore->caption(), u"60"_s);
        plugIn(u"1920x1080"_s);
        QTRY_VERIFY_WITH_TIMEOUT(screens.audience() && screens.audience()->isVisible(), 2000);
        QCOMPARE(static_cast<Digmar *>(screens.audience()->control(u"nledHomeScore"_s))->caption(),
                 u"60"_s);
    }

    void screensByNumberOrName_data()
    {
        QTest::addColumn<QString>("wanted");
        QTest::addColumn<QString>("found");
        QTest::newRow("the other one") << QString() << u"DUMMY1"_s;
        QTest::newRow("by number") << u"2"_s << u"DUMMY1"_s;
        QTest::newRow("the board's own") << u"1"_s << QString();
        QTest::newRow("by name") << u"DUMMY1"_s << u"DUMMY1"_s;
        QTest::newRow("no such number") << u"3"_s << QString();
        QTest::newRow("no such name") << u"HDMI-9"_s << QString();
    }
    void screensByNumberOrName()
    {
        QFETCH(QString, wanted);
        QFETCH(QString, found);
        plugIn(u"1920x1080"_s);
        QTRY_COMPARE(QGuiApplication::screens().size(), 2);
        QScreen *s = ScreenChoice::find(wanted, screenNamed(u"DUMMY0"_s));
        QCOMPARE(s ? s->name() : QString(), found);
    }

    // A screen that shows the board's own is no audience screen, and the
    // board dragged onto the projector closes the audience board until they
    // part.
    void theAudienceBoardNeverCoversTheBoard()
    {
        BoardHarness h;
        plugIn(u"1024x768"_s, u"--same-as"_s);
        AudienceScreens screens(h.board.get(), QString());
        QTest::qWait(500); // past the moment a screen's arrival is looked at
        QVERIFY(!screens.audience());
        plugIn(u"1024x768"_s);
        QTRY_VERIFY_WITH_TIMEOUT(screens.audience() && screens.audience()->isVisible(), 2000);
        QScreen *laptop = screenNamed(u"DUMMY0"_s);
        QScreen *projector = screenNamed(u"DUMMY1"_s);
        QTRY_COMPARE(screens.audience()->screen(), projector);
        h.board->move(projector->geometry().topLeft() + QPoint(40, 40));
        QTRY_VERIFY(!screens.audience());
        h.board->move(laptop->geometry().topLeft() + QPoint(40, 40));
        QTRY_VERIFY(screens.audience() && screens.audience()->isVisible());
        QCOMPARE(screens.audience()->screen(), projector);
    }

    // --fullscreen: the board itself fills the chosen screen, borderless.
    void theBoardFullScreen()
    {
        plugIn(u"1920x1080"_s);
        QTRY_COMPARE(QGuiApplication::screens().size(), 2);
        BoardHarness h;
        QScreen *projector = screenNamed(u"DUMMY1"_s);
        ScreenChoice::fillScreen(h.board.get(), projector, true);
        QTRY_COMPARE(h.board->geometry(), projector->geometry());
        QVERIFY(h.board->windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(h.board->isVisible());
        // Scaled to it, keys as ever.
        QVERIFY(h.board->nledHomeScore->height() > 150);
        h.key(Settings.StartStopJamClockKey);
        QVERIFY(h.board->tkJam->running());
    }
};

QTEST_MAIN(tst_AudienceX11)
#include "tst_audience_x11.moc"
