#pragma once

#include "BoutPhase.h"

#include <QByteArray>
#include <QJsonObject>
#include <QMetaType>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

// One time-keeper of the bout: the time it has left at the state's moment,
// as a count of 1/10000 s, whether it is counting, and how many times a key
// or its running out has started or stopped it (a stop of a stopped keeper
// counts too). Undo tells by the count whether it was touched since a step.
struct KeeperState {
    std::int64_t ticks = 0;
    bool running = false;
    int switches = 0;

    bool operator==(const KeeperState &) const = default;
};

// Everything the bout is, as one plain value: what a crash must not lose and
// what undo puts back. Running keepers hold their time at `monotonicNs` (this
// process's steady clock) and `wallMs` (the wall clock, for the journal).
struct BoutState {
    enum Keeper { Period, Jam, HomePenalty1, HomePenalty2, VisitorPenalty1, VisitorPenalty2 };
    static constexpr int KeeperCount = 6;
    enum Number { HomeScore, VisitorScore, PeriodNumber };
    static constexpr int NumberCount = 3;
    // The penalty displays, by keeper (HomePenalty1 ... VisitorPenalty2).
    static constexpr int PenaltyCount = 4;
    static constexpr std::int64_t TicksPerSecond = 10000;

    std::array<KeeperState, KeeperCount> keepers = {KeeperState{600 * TicksPerSecond},
                                                    KeeperState{120 * TicksPerSecond}};
    std::int64_t jamResetTicks = 120 * TicksPerSecond;
    std::int64_t periodResetTicks = 600 * TicksPerSecond;
    // The number displays' values; -1 is blank.
    std::array<int, NumberCount> numbers = {0, 0, 0};
    std::array<bool, PenaltyCount> penaltyBlank = {true, true, true, true};
    bool clockTime = false;
    bool suppressedPeriodSound = false;
    std::array<bool, 2> endSounded = {false, false};
    // The selected display's place in the tab order (0 home score ... 8
    // visitor penalty 2), or -1 for none.
    int selected = -1;

    // What today's rule sets add to the board; it moves only while the
    // operator has them shown.
    enum Status {
        NoStatus,
        HomeTimeout,
        VisitorTimeout,
        OfficialTimeout,
        HomeReview,
        VisitorReview
    };
    struct Rules {
        int jamNumber = 0;                         // -1 blank
        std::array<int, 2> timeoutsTaken = {0, 0}; // home, visitor: in this bout
        std::array<int, 2> reviewsTaken = {0, 0};  // in this period
        int lastReview = -1; // the team whose review was taken last (0 home, 1 visitor)
        // Whether each team's review was retained in this period: once only.
        std::array<bool, 2> reviewRetained = {false, false};
        int status = NoStatus;
        // How many times the caption changed other than by undo and redo.
        int statusChanges = 0;
        // The bout run by the clock: off unless the operator has it on.
        PhaseState phase;
        bool operator==(const Rules &) const = default;
    };
    Rules rules;
    // Whether the rules were shown when the state was read: what they hold
    // means something to the bout's record only then. Not part of the bout.
    bool rulesShown = false;

    std::int64_t monotonicNs = 0;
    std::int64_t wallMs = 0;

    // The state of a board just loaded, before anything was pressed.
    static BoutState fresh() { return {}; }

    // Whether nothing of the bout has changed since the board loaded: the
    // clocks, reset times, numbers and penalties are as they were then.
    bool isFresh() const;

    // The same bout, whatever the moment it was taken at: every field but the
    // moment, running keepers compared at their own moments.
    bool sameBout(const BoutState &other) const;

    // Moves every reading of this process's clock the state holds (its
    // moment and the phase clock's): a state read in another run of the
    // program placed on this run's clock.
    void moveMoments(std::int64_t byNs);

    // A running keeper's time at another moment of this process's clock.
    std::int64_t ticksAt(int keeper, std::int64_t ns) const;

    // The JSON form (docs/bout-state.md) and back. A text that is not a bout
    // state gives nothing; out-of-range values are clamped.
    QByteArray toJson() const;
    QJsonObject toJsonObject() const;
    static std::optional<BoutState> fromJson(const QByteArray &json);
    static std::optional<BoutState> fromJsonObject(const QJsonObject &o);

    // Names used in the JSON form and the descriptions.
    static const char *keeperName(int keeper);
    static const char *displayName(int tabIndex);
};

Q_DECLARE_METATYPE(BoutState)
