#pragma once

#include <QString>
#include <cstdint>

class SettingsBackend;

// What today's rule sets add to the board: the jam number, each team's
// timeouts and official reviews, and a caption for what is going on. Off
// unless the operator turns it on; while off, nothing of it shows, no key of
// it acts, and its section of the store is not written.
struct BoutRulesRecord {
    // "BoutRules"
    std::int16_t Show = 0;
    std::int16_t TeamTimeouts = 3;        // a team's, for the bout
    std::int16_t TeamReviews = 1;         // a team's, each period
    std::int16_t HomeTimeoutKey = 72;     // H
    std::int16_t VisitorTimeoutKey = 86;  // V
    std::int16_t OfficialTimeoutKey = 79; // O
    std::int16_t HomeReviewKey = 81;      // Q
    std::int16_t VisitorReviewKey = 87;   // W
    std::int16_t ReviewRetainedKey = 69;  // E
    // The bout run by the clock: lineups, timeouts, halftime and the final
    // score follow the clocks. Acts only with the rules shown.
    std::int16_t HomeLeadKey = 76;    // L
    std::int16_t VisitorLeadKey = 75; // K
    std::int16_t FinalKey = 70;       // F
    std::int16_t RunByClock = 0;
    std::int16_t Periods = 2;
    std::int16_t IntermissionSeconds = 900;

    static constexpr int KeyCount = 6;
    // The six and the three of the bout run by the clock.
    static constexpr int AllKeyCount = 9;
    static constexpr int MaxCount = 9; // timeouts or reviews a team can be given
    static constexpr int MaxPeriods = 9;
    static constexpr int MaxIntermissionSeconds = 5999; // 99:59
    // The keys in the order above.
    std::int16_t key(int index) const;
    std::int16_t &key(int index);

    bool operator==(const BoutRulesRecord &) const = default;
};

// Whether the bout is run by the clock now.
inline bool runsByClock(const BoutRulesRecord &r)
{
    return r.Show != 0 && r.RunByClock != 0;
}

// The program-wide rules: filled at start, replaced when Options is confirmed.
inline BoutRulesRecord BoutRules;

namespace BoutRulesStore {

// Read like the other sections: a missing or unreadable value keeps its
// default; counts outside 0 to 9 are held to them, periods to 1 to 9 and the
// intermission to 0 to 99:59.
BoutRulesRecord load(SettingsBackend &backend);
// Written only once the rules have been used (the section exists, or they
// differ from their defaults), so that a store that never had them stays as
// it was. Does not flush.
void save(SettingsBackend &backend, const BoutRulesRecord &record);

} // namespace BoutRulesStore
