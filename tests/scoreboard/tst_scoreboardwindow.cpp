#include "ControlAccess.h"
#include "Digmar.h"
#include "Image.h"
#include "Label.h"
#include "MonotonicClock.h"
#include "PictureBox.h"
#include "Pinlux.h"
#include "Settings.h"
#include "SettingsStore.h"
#include "Shape.h"
#include "Tarrow.h"
#include "frmScoreboard.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_ScoreboardWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { Settings = SettingsStore::defaults(u"/opt/quelvane"_s); }

    void designLayout_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QList<double>>("place"); // left, top[, width, height]
        const auto row = [](const char *name, QList<double> place) {
            QTest::newRow(name) << QString::fromLatin1(name) << place;
        };
        row("nledHomeScore", {604, 1125});
        row("tledPeriod", {3195, 1065});
        row("nledVisitorScore", {6612, 1120});
        row("nledPeriod", {5145, 2460});
        row("tledJam", {3600, 4000});
        row("tledHomePenalty1", {673, 4540});
        row("tledVisitorPenalty1", {6723, 4540});
        row("tledHomePenalty2", {673, 5610});
        row("tledVisitorPenalty2", {6723, 5610});
        row("lblTitle", {120, 0, 9255, 855});
        row("lblHomeTeam", {240, 2400, 2895, 495});
        row("lblVisitorTeam", {6360, 2400, 2895, 495});
        row("Label4", {3705, 2760, 1335, 450});
        row("Label1", {3600, 3480, 2355, 450});
        row("Label2", {713, 3990, 1935, 465});
        row("Label3", {6713, 3990, 2055, 465});
        row("lblCreatedBy", {3383, 5280, 2715, 300});
        row("picHomePicContainer", {623, 2940, 2175, 975});
        row("picVisitorPicContainer", {6743, 2940, 2115, 975});
        row("picBoardPicContainer", {3533, 5640, 2415, 950});
        row("imgHomePic", {0, 0, 1215, 855});
        row("Shape1", {3038, 960, 3405, 1350});
        row("Shape3", {113, 960, 9255, 5775});
        row("shpObjectSelected", {5280, 2760, 255, 255});
    }
    void designLayout()
    {
        QFETCH(QString, name);
        QFETCH(QList<double>, place);
        frmScoreboard board;
        QObject *control = board.findChild<QObject *>(name);
        QVERIFY(control);
        QVERIFY(board.controls().contains(control));
        QCOMPARE(ControlAccess::read(control, "Left").toDouble(), place[0]);
        QCOMPARE(ControlAccess::read(control, "Top").toDouble(), place[1]);
        if (place.size() > 2) {
            QCOMPARE(ControlAccess::read(control, "Width").toDouble(), place[2]);
            QCOMPARE(ControlAccess::read(control, "Height").toDouble(), place[3]);
        }
        auto *widget = qobject_cast<QWidget *>(control);
        QCOMPARE(widget->x(), qRound(place[0] / 15));
        QCOMPARE(widget->y(), qRound(place[1] / 15));
    }

    void windowAndCaptions()
    {
        Settings.TitleText = u"Harbour Bout"_s;
        Settings.HomeText = u"Wreckers"_s;
        Settings.VisitorText = u"Rollers"_s;
        frmScoreboard board;
        board.show();
        QCOMPARE(board.size(), QSize(632, 453));
        QCOMPARE(board.windowTitle(), u"Quelvane"_s);
        QCOMPARE(board.palette().color(QPalette::Window), QColor(0x40, 0x40, 0x40));
        QCOMPARE(board.lblTitle->caption(), u"Harbour Bout"_s);
        QCOMPARE(board.lblHomeTeam->caption(), u"Wreckers"_s);
        QCOMPARE(board.lblVisitorTeam->caption(), u"Rollers"_s);
        QCOMPARE(board.Label4->caption(), u"Period"_s);
        QCOMPARE(board.Label1->caption(), u"Jam"_s);
        QCOMPARE(board.Label2->caption(), u"Penalty"_s);
        QCOMPARE(board.Label3->caption(), u"Penalty"_s);
        QCOMPARE(board.lblCreatedBy->caption(), u"www.brackwell.example"_s);
        const QList<std::pair<Label *, double>> fonts = {
            {board.lblTitle, 36}, {board.lblHomeTeam, 20.25}, {board.lblVisitorTeam, 20.25},
            {board.Label4, 18},   {board.Label1, 18},         {board.Label2, 18},
            {board.Label3, 18},   {board.lblCreatedBy, 11.25}};
        for (const auto &[label, points] : fonts) {
            QCOMPARE(label->fontSize(), points);
            QVERIFY(label->font().bold());
            QCOMPARE(label->foreColor(), 0xFFFFFF);
        }
    }

    void loadSetsTheClocks()
    {
        ManualClock clock;
        ScoreboardServices services;
        services.clock = &clock;
        frmScoreboard board(services);
        board.show();
        QCOMPARE(JamResetTime, FixedTime::fromSeconds(120));
        QCOMPARE(PeriodResetTime, FixedTime::fromSeconds(600));
        QCOMPARE(board.tkJam->time(), FixedTime::fromSeconds(120));
        QCOMPARE(board.tkPeriod->time(), FixedTime::fromSeconds(600));
        QCOMPARE(board.tledJam->cells().toText(), u"2:00"_s);
        QCOMPARE(board.tledPeriod->cells().toText(), u"10:00"_s);
        for (Pinlux *p : {board.tledHomePenalty1, board.tledHomePenalty2, board.tledVisitorPenalty1,
                          board.tledVisitorPenalty2})
            QCOMPARE(p->value(), -1.0f);
        for (Tarrow *t : {board.tkPeriod, board.tkJam, board.tkHomePenalty1, board.tkHomePenalty2,
                          board.tkVisitorPenalty1, board.tkVisitorPenalty2})
            QVERIFY(!t->running());
        QVERIFY(board.tmrClock1.isActive());
        QCOMPARE(board.tmrClock1.interval(), 50);
        QCOMPARE(board.tmrClock1.timerType(), Qt::PreciseTimer);
        // The refresh shows what the keepers hold as they run.
        board.tkJam->setRunning(true);
        clock.advanceMilliseconds(1000);
        board.RefreshTime();
        QCOMPARE(board.tledJam->cells().toText(), u"1:59"_s);
    }

    void tabOrderFollowsTheLayoutTable()
    {
        frmScoreboard board;
        board.show();
        QVERIFY(QTest::qWaitForWindowActive(&board));
        const QList<QWidget *> order = {
            board.nledHomeScore,       board.tledPeriod,       board.nledVisitorScore,
            board.nledPeriod,          board.tledJam,          board.tledHomePenalty1,
            board.tledVisitorPenalty1, board.tledHomePenalty2, board.tledVisitorPenalty2,
            board.nledHomeScore};
        QTRY_COMPARE(QApplication::focusWidget(), order.first());
        for (int i = 1; i < order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), order[i]);
        }
    }

    void shapesLieBeneathAndLetClicksThrough()
    {
        frmScoreboard board;
        board.show();
        QVERIFY(QTest::qWaitForWindowExposed(&board));
        for (Shape *shape : {board.Shape1, board.Shape3, board.shpObjectSelected}) {
            QVERIFY(shape->testAttribute(Qt::WA_TransparentForMouseEvents));
            QVERIFY(board.children().indexOf(shape) < board.children().indexOf(board.tledPeriod));
        }
        // The home score, first in the tab order, has the focus and the mark.
        QTRY_VERIFY(!board.shpObjectSelected->isHidden());
        QCOMPARE(board.shpObjectSelected->left(), board.nledHomeScore->left());
        // A click where Shape1 frames the period clock reaches the clock.
        const QPoint inPeriod = board.tledPeriod->geometry().center();
        QCOMPARE(board.childAt(inPeriod), board.tledPeriod);
    }

    void closingEndsTheProgram()
    {
        auto *board = new frmScoreboard();
        board->setAttribute(Qt::WA_DeleteOnClose);
        board->show();
        QSignalSpy ended(board, &frmScoreboard::programEnded);
        QVERIFY(board->close());
        QCOMPARE(ended.count(), 1);
    }
};

QTEST_MAIN(tst_ScoreboardWindow)
#include "tst_scoreboardwindow.moc"
