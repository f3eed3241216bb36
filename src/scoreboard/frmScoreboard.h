#pragma once

#include "BoutChange.h"
#include "BoutState.h"
#include "Form.h"

#include <QElapsedTimer>
#include <QTime>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>

class Digmar;
class Image;
class Label;
class MonotonicClock;
class PictureBox;
class Pinlux;
class Shape;
class SoundDevice;
class Tarrow;
class TimeoutDots;
class LedDisplay;

// What the board takes from outside; every member may be left empty.
struct ScoreboardServices {
    // Drives the time-keepers; the steady system clock when null.
    MonotonicClock *clock = nullptr;
    // The local time of day; the system's own when empty.
    std::function<QTime()> timeOfDay;
    // The time format whose 12- or 24-hour clock the period display follows;
    // the system's own when empty.
    QString timeFormat;
    // Plays the sounds; the board makes the real device when null.
    SoundDevice *sound = nullptr;
    // F1: shows the help window without waiting.
    std::function<void()> showHelp;
    // F2: shows the Options dialog and returns when it has closed.
    std::function<void()> showOptions;
};

// The board that players and spectators watch. Its member definitions are
// split over files by concern: this one builds the design layout.
class frmScoreboard : public Form {
    Q_OBJECT

public:
    // The design client area, in twips.
    static constexpr double DesignWidth = 9480;
    static constexpr double DesignHeight = 6795;

    explicit frmScoreboard(ScoreboardServices services = {}, QWidget *parent = nullptr);
    ~frmScoreboard() override;

    // Clocks and their refresh.
    void RefreshTime();
    // Keys.
    void AllKeyCode(int KeyCode);
    void AllKeyUp(int KeyCode, int Shift);
    int KeyCodeToAsci(int KeyCode) const;
    // Sounds.
    void Buzzer(const QString &FileName);
    // Selection.
    void ObjectSelected(QObject *SelectedObject);
    // Texts, pictures, digit style and colours.
    void UpdateLabels();
    void UpdateFormColors();
    void UpdateNumLock();

    static constexpr int DisplayCount = 9;
    // The nine displays in tab order, as the bout state numbers them.
    const std::array<LedDisplay *, DisplayCount> &displays() const { return m_displays; }

    // The bout as one value: what the displays, keepers and latches hold now.
    BoutState boutState() const;
    // Makes the board show a bout, through its own procedures: keepers set,
    // displays written and refreshed, the selection moved. Says nothing of
    // it through boutChanged, and sounds nothing.
    void setBoutState(const BoutState &state);

    // True: the period display shows the time of day.
    bool ClockTime = false;
    // True: the period ended while the jam ran; its sound waits for the jam.
    bool SuppressedPeriodSound = false;
    // [0] the jam end has been sounded, [1] the period end has.
    std::array<bool, 2> EndSounded = {false, false};
    // True from the start of a sound until the device reports its end.
    bool BuzzerPlaying = false;

    // Displays, in tab order.
    Digmar *nledHomeScore;
    Pinlux *tledPeriod;
    Digmar *nledVisitorScore;
    Digmar *nledPeriod;
    Pinlux *tledJam;
    Pinlux *tledHomePenalty1;
    Pinlux *tledVisitorPenalty1;
    Pinlux *tledHomePenalty2;
    Pinlux *tledVisitorPenalty2;

    Label *lblTitle;
    Label *lblHomeTeam;
    Label *lblVisitorTeam;
    Label *Label4;
    Label *Label1;
    Label *Label2;
    Label *Label3;
    Label *lblCreatedBy;

    PictureBox *picHomePicContainer;
    Image *imgHomePic;
    PictureBox *picVisitorPicContainer;
    Image *imgVisitorPic;
    PictureBox *picBoardPicContainer;
    Image *imgBoardPic;

    Shape *Shape1;
    Shape *Shape3;
    Shape *shpObjectSelected;

    // What today's rule sets add, shown only while the operator has them on:
    // the jam number, each team's timeouts and review, what is going on.
    // Made the first time they are shown; null until then.
    Digmar *nledJamNumber = nullptr;
    TimeoutDots *dotsHomeTimeouts = nullptr;
    TimeoutDots *dotsVisitorTimeouts = nullptr;
    Label *lblBoutStatus = nullptr;
    // The bout run by the clock: each team's lead mark and jam points.
    Label *lblHomeLead = nullptr;
    Label *lblHomeJamPoints = nullptr;
    Label *lblVisitorLead = nullptr;
    Label *lblVisitorJamPoints = nullptr;

    Tarrow *tkPeriod;
    Tarrow *tkJam;
    Tarrow *tkHomePenalty1;
    Tarrow *tkHomePenalty2;
    Tarrow *tkVisitorPenalty1;
    Tarrow *tkVisitorPenalty2;

    QTimer tmrClock1;
    SoundDevice *mmcBuzzer;

Q_SIGNALS:
    // The board was closed: the program ends.
    void programEnded();
    // The clocks changed the bout by themselves, other than by running on (a
    // jam or period ran out, a penalty was served). Looked for after every
    // tick, and before every key.
    void boutChanged(const BoutState &before, const BoutState &after);
    // A key of the operator changed the bout: what it was, with the bout
    // read just before and just after it.
    void operatorActed(const OperatorAction &action);
    // The displays were refreshed by a tick or a key: what the board shows
    // may have changed.
    void refreshed();
    // The board has taken new texts, pictures, digit style and colours
    // (Options closed).
    void appearanceApplied();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    // Sees a display's keys before it does, for telling a repeat.
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void createDisplays();
    void createLabels();
    void createPictures();
    void createShapes();
    void createKeepers(MonotonicClock *clock);
    void connectDisplays();
    // A display's keys and selection, to the board's procedures.
    void connectDisplay(LedDisplay *display);

    // Today's rule sets (ScoreboardRules.cpp).
    void createRulesItems();
    int jamNumber() const;
    void setJamNumber(int number);
    // Shown or hidden as the option is, in the board's colours.
    void applyRulesAppearance();
    // The dots, caption and jam number as the rules state is.
    void showRulesState();
    // Which of the rules' keys a key is (the option on, no command's key),
    // or -1.
    int rulesKeyIndex(int KeyCode) const;
    // Whether a key press only repeats a key held down.
    void noteKeyEvent(const QKeyEvent &event);
    // A key of the rules takes its timeout or review; others do nothing.
    void rulesKey(int KeyCode);
    void rulesKeyUp(int KeyCode);
    // After a key: a new jam counted, a new period's reviews given back.
    void followRules(const BoutState &before);
    // After the clocks moved by themselves: a period run out between jams.
    void followRulesClocks(const BoutState &before);
    // The bout run by the clock (ScoreboardPhases.cpp).
    void createPhaseItems();
    BoutPhase::Context phaseContext(std::int64_t nowNs) const;
    // Before a key: the jam key between jams starts a jam from its reset time.
    void phaseKeyComing(int KeyCode);
    bool phaseKeyIgnored(int KeyCode);
    // A lead or final key, or a timeout key that the phase ends early or
    // refuses: true when the rules are not to take it.
    bool phaseRulesKey(int which);
    // After a key or the clocks' own moves: the phase follows what happened.
    void followPhases(const BoutState &before);
    void applyPhaseStep(const BoutPhase::Step &step, const BoutState &before);
    void applyPhaseAppearance();
    // The caption of the phase, or the rules' own where the phase has none.
    QString phaseCaption(const QString &rulesCaption) const;
    // The lineup, timeout or intermission clock, the lead and jam points.
    void showPhase();
    // The lineup or timeout clock on the jam display, the intermission on
    // the period display.
    void showPhaseClocks();
    // Counts a change of the caption made by a key or a clock.
    void countCaptionChange(const BoutState &before, BoutState &after);

    void Form_Load();
    void Form_Unload();
    void Form_Resize();
    void tmrClock1_Timer();
    void mmcBuzzer_Done();
    void NumberDisplay_KeyDown(Digmar *display, int KeyCode);
    void tledJam_KeyDown(int KeyCode);
    void tledPeriod_KeyDown(int KeyCode);

    // One penalty clock with its keeper, for the refresh.
    struct PenaltyClock {
        Pinlux *display;
        Tarrow *keeper;
    };
    std::array<PenaltyClock, 4> penaltyClocks() const;
    void Penalty_KeyDown(const PenaltyClock &penalty, int KeyCode);

    // Routes a display's key to its procedure.
    void Display_KeyDown(LedDisplay *display, int KeyCode);
    // Says so when the clocks changed the bout since it was last seen.
    void noticeBoutChange();
    // Runs an operator's key (on a display, or on the window when `display`
    // is null) and says what it did.
    void operatorKey(LedDisplay *display, int KeyCode);
    // What a key on a display (or none) was, told by the bout after it.
    OperatorAction::Kind actionKind(LedDisplay *display, int KeyCode, const BoutState &after) const;

    std::array<LedDisplay *, DisplayCount> m_displays{};
    ScoreboardServices m_services;
    std::unique_ptr<SoundDevice> m_ownSound;
    bool m_loaded = false;
    // How deep RefreshTime is nested right now.
    int m_refreshDepth = 0;
    bool m_twelveHourClock = false;
    MonotonicClock *m_clock = nullptr;
    BoutState m_lastSeenBout;
    BoutState::Rules m_rules; // the jam number is the display's
    int m_rulesKeyHeld = 0;   // a rules key pressed and not yet released
    QElapsedTimer m_rulesKeySince;
    // The last key let go and its moment: X repeats a held key as a release
    // and a press with one timestamp, and Qt flags the pair as a repeat only
    // when the press has arrived by the time the release is read.
    int m_releasedKey = 0;
    quint64 m_releasedAt = 0;
    bool m_keyRepeats = false; // the press being handled repeats a held key
    // Run by the clock, the jam key starts nothing this soon after a jam or
    // a period ended.
    static constexpr std::int64_t JamKeyQuietNs = 1'500'000'000;
    std::int64_t m_jamKeyQuietUntilNs = 0;
};
