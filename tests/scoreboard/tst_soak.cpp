// A whole tournament day on a hand-moved clock: random but repeatable key
// storms, Options round trips, resizes and sounds, with the board's promises
// checked after every step. QUELVANE_SOAK_SEED picks another day;
// QUELVANE_SOAK_HOURS a longer or shorter one.
#include "AudioSoundDevice.h"
#include "Digmar.h"
#include "MemoryStore.h"
#include "MonotonicClock.h"
#include "Pinlux.h"
#include "Settings.h"
#include "SettingsStore.h"
#include "Tarrow.h"
#include "ToneFile.h"
#include "frmOptions.h"
#include "frmScoreboard.h"
#include "modCount.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <random>

using namespace Qt::StringLiterals;

namespace {

const Qt::Key CommandKeys[] = {Qt::Key_J, Qt::Key_R, Qt::Key_S, Qt::Key_T, Qt::Key_C,
                               Qt::Key_B, Qt::Key_P, Qt::Key_A, Qt::Key_I, Qt::Key_Delete};
const Qt::Key EntryKeys[] = {Qt::Key_0,     Qt::Key_1,     Qt::Key_2,      Qt::Key_3,
                             Qt::Key_4,     Qt::Key_5,     Qt::Key_6,      Qt::Key_7,
                             Qt::Key_8,     Qt::Key_9,     Qt::Key_Period, Qt::Key_Plus,
                             Qt::Key_Minus, Qt::Key_Space, Qt::Key_Return, Qt::Key_Tab};

} // namespace

class tst_Soak : public QObject {
    Q_OBJECT

private:
    quint32 m_seed = 20261207;
    std::mt19937 m_random;
    ManualClock m_clock;
    MemoryStore m_store;
    std::unique_ptr<frmScoreboard> m_board;
    QElapsedTimer m_buzzerSince;
    QTemporaryDir m_soundsDir;
    qint64 m_step = 0;
    int m_keys = 0, m_optionsTrips = 0, m_resizes = 0, m_sounds = 0, m_scoreChanges = 0;
    QString m_lastScore;

    int pick(int n) { return int(m_random() % unsigned(n)); }

    QString where() const { return u"seed %1, step %2"_s.arg(m_seed).arg(m_step); }

    QList<LedDisplay *> displays() const
    {
        auto *b = m_board.get();
        return {b->nledHomeScore,       b->tledPeriod,       b->nledVisitorScore,
                b->nledPeriod,          b->tledJam,          b->tledHomePenalty1,
                b->tledVisitorPenalty1, b->tledHomePenalty2, b->tledVisitorPenalty2};
    }

    void pressKey(Qt::Key key, int repeats)
    {
        // The display with the focus takes the key, as in the running program.
        QWidget *target = m_board->focusWidget();
        if (!target)
            target = m_board.get();
        ++m_keys;
        QTest::keyPress(target, key);
        for (int i = 0; i < repeats; ++i)
            QTest::sendKeyEvent(QTest::KeyAction::Press, target, key, QString(), Qt::NoModifier);
        QTest::keyRelease(target, key);
    }

    void optionsRoundTrip()
    {
        ++m_optionsTrips;
        frmOptions options(m_store, m_board.get());
        const bool ok = pick(2) == 0;
        QTimer::singleShot(0, &options, [&] {
            options.txtHomeText->setText(u"Team %1"_s.arg(pick(100)));
            options.vsPenaltyIncrement->setValue(pick(600));
            (ok ? options.cmdOk : options.cmdCancel)->click();
        });
        options.exec();
    }

    // The board's promises, whatever happened.
    void checkInvariants()
    {
        auto *b = m_board.get();
        for (Digmar *score : {b->nledHomeScore, b->nledVisitorScore}) {
            const int value = score->caption().toInt();
            QVERIFY2(value >= -1 && value <= 999, qPrintable(where()));
        }
        const int period = b->nledPeriod->caption().toInt();
        QVERIFY2(period >= -1 && period <= 9, qPrintable(where()));
        for (Tarrow *t :
             {b->tkHomePenalty1, b->tkHomePenalty2, b->tkVisitorPenalty1, b->tkVisitorPenalty2}) {
            QVERIFY2(t->time() >= FixedTime() && t->time() <= FixedTime::fromSeconds(599),
                     qPrintable(where()));
        }
        // What the clocks show is what their keepers hold.
        b->RefreshTime();
        const FixedTime jam = b->tkJam->time();
        QCOMPARE(b->tledJam->value(), float(jam.displaySeconds()));
        if (!b->ClockTime) {
            const FixedTime p = b->tkPeriod->time();
            const float shown =
                p > FixedTime::fromTicks(599000) ? float(p.displaySeconds()) : p.toFloat();
            QVERIFY2(b->tledPeriod->value() == shown, qPrintable(where()));
        }
        for (auto [display, keeper] : {std::pair{b->tledHomePenalty1, b->tkHomePenalty1},
                                       std::pair{b->tledVisitorPenalty2, b->tkVisitorPenalty2}}) {
            if (display->value() != -1.0f)
                QVERIFY2(display->value() == float(keeper->time().displaySeconds()),
                         qPrintable(where()));
        }
        // No sound holds the board for longer than it lasts (50 ms at most)
        // and a tenth of a second.
        if (b->nledHomeScore->caption() != m_lastScore) {
            m_lastScore = b->nledHomeScore->caption();
            ++m_scoreChanges;
        }
        if (b->BuzzerPlaying) {
            if (!m_buzzerSince.isValid()) {
                m_buzzerSince.start();
                ++m_sounds;
            }
            QVERIFY2(m_buzzerSince.elapsed() < 50 + 100, qPrintable(where()));
        } else {
            m_buzzerSince.invalidate();
        }
    }

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("PULSE_SERVER", "unix:/nonexistent/quelvane-soak");
        if (qEnvironmentVariableIsSet("QUELVANE_SOAK_SEED"))
            m_seed = qEnvironmentVariable("QUELVANE_SOAK_SEED").toUInt();
        m_random.seed(m_seed);
        Settings = SettingsStore::defaults(m_soundsDir.path());
        // Short sounds, so that many play in the time the day takes to run.
        Settings.BuzzerFile = m_soundsDir.filePath(u"buzzer.wav"_s);
        Settings.PeriodEndSoundFile = m_soundsDir.filePath(u"periodendsound.wav"_s);
        QVERIFY(writeTone(Settings.BuzzerFile, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 44100, 0.03));
        QVERIFY(writeTone(Settings.PeriodEndSoundFile, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 48000,
                          0.05));
        ScoreboardServices services;
        services.clock = &m_clock;
        services.timeOfDay = [] { return QTime(14, 5, 33); };
        services.showOptions = [this] { optionsRoundTrip(); };
        m_board = std::make_unique<frmScoreboard>(services);
        m_board->show();
        m_board->tmrClock1.stop();
        qInfo("soak seed %u", m_seed);
    }

    void aTournamentDay()
    {
        const double hours = qEnvironmentVariableIsSet("QUELVANE_SOAK_HOURS")
                                 ? qEnvironmentVariable("QUELVANE_SOAK_HOURS").toDouble()
                                 : 3.0;
        const qint64 steps = qint64(hours * 3600 * 1000 / 50);
        const QList<LedDisplay *> all = displays();
        QElapsedTimer wall;
        wall.start();
        for (m_step = 0; m_step < steps; ++m_step) {
            // A timer tick, 50 ms give or take.
            m_clock.advanceMilliseconds(35 + pick(31));
            m_board->RefreshTime();
            const int roll = pick(1000);
            if (roll < 40) {
                pressKey(EntryKeys[pick(int(std::size(EntryKeys)))], 0);
            } else if (roll < 60) {
                // Held keys repeat.
                pressKey(CommandKeys[pick(int(std::size(CommandKeys)))],
                         pick(4) == 0 ? pick(8) : 0);
            } else if (roll < 70) {
                all[pick(int(all.size()))]->setFocus();
            } else if (roll == 70 && pick(20) == 0) {
                m_board->resize(300 + pick(1700), 200 + pick(1000));
                ++m_resizes;
            } else if (roll == 71 && pick(20) == 0) {
                pressKey(Qt::Key_F2, 0);
            }
            if (m_step % 20 == 0) {
                QCoreApplication::processEvents();
                checkInvariants();
                if (QTest::currentTestFailed())
                    return;
            }
        }
        qInfo("%lld steps of a %.1f-hour day in %lld ms: %d keys, %d sounds, %d score changes, "
              "%d Options round trips, %d resizes",
              steps, hours, wall.elapsed(), m_keys, m_sounds, m_scoreChanges, m_optionsTrips,
              m_resizes);
        // The storm really reached the board.
        if (hours >= 1) {
            QVERIFY(m_sounds >= 3 && m_scoreChanges > 10 && m_optionsTrips > 0 && m_resizes > 0);
        }
    }
};

QTEST_MAIN(tst_Soak)
#include "tst_soak.moc"
