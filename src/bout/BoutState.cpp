#include "BoutState.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

namespace {

constexpr const char *KeeperNames[] = {
    "period", "jam", "homePenalty1", "homePenalty2", "visitorPenalty1", "visitorPenalty2"};
constexpr const char *NumberNames[] = {"homeScore", "visitorScore", "periodNumber"};
constexpr const char *DisplayNames[] = {
    "nledHomeScore",    "tledPeriod",          "nledVisitorScore", "nledPeriod",         "tledJam",
    "tledHomePenalty1", "tledVisitorPenalty1", "tledHomePenalty2", "tledVisitorPenalty2"};
constexpr int DisplayCount = int(std::size(DisplayNames));
constexpr const char *StatusNames[] = {
    "", "homeTimeout", "visitorTimeout", "officialTimeout", "homeReview", "visitorReview"};

// The longest time a keeper can be given: 99:99.9 typed, or 9:59 of penalty.
constexpr std::int64_t MaxTicks = 6039 * BoutState::TicksPerSecond;

QString key(const char *name)
{
    return QString::fromLatin1(name);
}

std::int64_t clampedTicks(const QJsonValue &v)
{
    return std::clamp<std::int64_t>(v.toInteger(), 0, MaxTicks);
}

} // namespace

const char *BoutState::keeperName(int keeper)
{
    return KeeperNames[keeper];
}

const char *BoutState::displayName(int tabIndex)
{
    return tabIndex >= 0 && tabIndex < DisplayCount ? DisplayNames[tabIndex] : "";
}

void BoutState::moveMoments(std::int64_t byNs)
{
    monotonicNs += byNs;
    if (rules.phase.phase != PhaseState::Off)
        rules.phase.clockAtNs += byNs;
}

std::int64_t BoutState::ticksAt(int keeper, std::int64_t ns) const
{
    const KeeperState &k = keepers[size_t(keeper)];
    if (!k.running)
        return k.ticks;
    return std::max<std::int64_t>(0, k.ticks - (ns - monotonicNs) / 100000);
}

bool BoutState::isFresh() const
{
    const BoutState f = fresh();
    // How often the clocks were started and stopped is no change of the bout.
    for (int k = 0; k < KeeperCount; ++k) {
        const KeeperState &a = keepers[size_t(k)];
        const KeeperState &b = f.keepers[size_t(k)];
        if (a.ticks != b.ticks || a.running != b.running)
            return false;
    }
    Rules unchangedRules = rules;
    unchangedRules.statusChanges = 0;
    // A bout run by the clock starts in a lineup whose clock stands.
    PhaseState begun;
    begun.phase = PhaseState::Lineup;
    begun.clockAtNs = unchangedRules.phase.clockAtNs;
    if (unchangedRules.phase == begun)
        unchangedRules.phase = {};
    return jamResetTicks == f.jamResetTicks && periodResetTicks == f.periodResetTicks &&
           numbers == f.numbers && penaltyBlank == f.penaltyBlank && clockTime == f.clockTime &&
           unchangedRules == f.rules;
}

bool BoutState::sameBout(const BoutState &other) const
{
    // The earlier reading is run on to the later one: a keeper that has
    // reached zero cannot be run back.
    const BoutState &earlier = monotonicNs <= other.monotonicNs ? *this : other;
    const BoutState &later = monotonicNs <= other.monotonicNs ? other : *this;
    for (int k = 0; k < KeeperCount; ++k) {
        const KeeperState &a = earlier.keepers[size_t(k)];
        const KeeperState &b = later.keepers[size_t(k)];
        if (a.running != b.running || a.switches != b.switches)
            return false;
        // Two readings of one running keeper may differ by the rounding of
        // the moment between them.
        const std::int64_t projected = earlier.ticksAt(k, later.monotonicNs);
        if (std::abs(projected - b.ticks) > 1)
            return false;
    }
    return jamResetTicks == other.jamResetTicks && periodResetTicks == other.periodResetTicks &&
           numbers == other.numbers && penaltyBlank == other.penaltyBlank &&
           clockTime == other.clockTime && suppressedPeriodSound == other.suppressedPeriodSound &&
           endSounded == other.endSounded && selected == other.selected && rules == other.rules;
}

QByteArray BoutState::toJson() const
{
    return QJsonDocument(toJsonObject()).toJson(QJsonDocument::Compact);
}

QJsonObject BoutState::toJsonObject() const
{
    QJsonObject keeperObjects;
    for (int k = 0; k < KeeperCount; ++k) {
        keeperObjects.insert(
            key(KeeperNames[k]),
            QJsonObject{{QStringLiteral("ticks"), qint64(keepers[size_t(k)].ticks)},
                        {QStringLiteral("running"), keepers[size_t(k)].running},
                        {QStringLiteral("switches"), keepers[size_t(k)].switches}});
    }
    QJsonObject numberValues;
    for (int n = 0; n < NumberCount; ++n)
        numberValues.insert(key(NumberNames[n]), numbers[size_t(n)]);
    QJsonArray blanks;
    for (bool blank : penaltyBlank)
        blanks.append(blank);
    QJsonObject ruleValues{
        {QStringLiteral("jamNumber"), rules.jamNumber},
        {QStringLiteral("timeoutsTaken"),
         QJsonArray{rules.timeoutsTaken[0], rules.timeoutsTaken[1]}},
        {QStringLiteral("reviewsTaken"), QJsonArray{rules.reviewsTaken[0], rules.reviewsTaken[1]}},
        {QStringLiteral("lastReview"), rules.lastReview},
        {QStringLiteral("reviewRetained"),
         QJsonArray{rules.reviewRetained[0], rules.reviewRetained[1]}},
        {QStringLiteral("status"), key(StatusNames[rules.status])},
        {QStringLiteral("statusChanges"), rules.statusChanges},
        {QStringLiteral("shown"), rulesShown},
    };
    if (rules.phase.phase != PhaseState::Off)
        ruleValues.insert(QStringLiteral("phase"), rules.phase.toJsonObject());
    return QJsonObject{
        {QStringLiteral("version"), 1},
        {QStringLiteral("wallMs"), qint64(wallMs)},
        {QStringLiteral("monotonicNs"), qint64(monotonicNs)},
        {QStringLiteral("keepers"), keeperObjects},
        {QStringLiteral("jamResetTicks"), qint64(jamResetTicks)},
        {QStringLiteral("periodResetTicks"), qint64(periodResetTicks)},
        {QStringLiteral("numbers"), numberValues},
        {QStringLiteral("penaltyBlank"), blanks},
        {QStringLiteral("clockTime"), clockTime},
        {QStringLiteral("suppressedPeriodSound"), suppressedPeriodSound},
        {QStringLiteral("endSounded"), QJsonArray{endSounded[0], endSounded[1]}},
        {QStringLiteral("selected"), key(displayName(selected))},
        {QStringLiteral("rules"), ruleValues},
    };
}

std::optional<BoutState> BoutState::fromJson(const QByteArray &json)
{
    const QJsonDocument doc = QJsonDocument::fromJson(json);
    if (!doc.isObject())
        return std::nullopt;
    return fromJsonObject(doc.object());
}

std::optional<BoutState> BoutState::fromJsonObject(const QJsonObject &o)
{
    if (o.value(QStringLiteral("version")).toInt() != 1)
        return std::nullopt;
    BoutState s;
    s.wallMs = o.value(QStringLiteral("wallMs")).toInteger();
    s.monotonicNs = o.value(QStringLiteral("monotonicNs")).toInteger();
    const QJsonObject keeperObjects = o.value(QStringLiteral("keepers")).toObject();
    for (int k = 0; k < KeeperCount; ++k) {
        const QJsonObject ko = keeperObjects.value(key(KeeperNames[k])).toObject();
        if (ko.isEmpty())
            return std::nullopt;
        s.keepers[size_t(k)] = {clampedTicks(ko.value(QStringLiteral("ticks"))),
                                ko.value(QStringLiteral("running")).toBool(),
                                std::max(0, ko.value(QStringLiteral("switches")).toInt())};
    }
    s.jamResetTicks = clampedTicks(o.value(QStringLiteral("jamResetTicks")));
    s.periodResetTicks = clampedTicks(o.value(QStringLiteral("periodResetTicks")));
    const QJsonObject numberValues = o.value(QStringLiteral("numbers")).toObject();
    for (int n = 0; n < NumberCount; ++n) {
        const int max = n == PeriodNumber ? 9 : 999;
        s.numbers[size_t(n)] = std::clamp(numberValues.value(key(NumberNames[n])).toInt(), -1, max);
    }
    const QJsonArray blanks = o.value(QStringLiteral("penaltyBlank")).toArray();
    for (int p = 0; p < PenaltyCount; ++p)
        s.penaltyBlank[size_t(p)] = blanks.at(p).toBool(true);
    s.clockTime = o.value(QStringLiteral("clockTime")).toBool();
    s.suppressedPeriodSound = o.value(QStringLiteral("suppressedPeriodSound")).toBool();
    const QJsonArray ends = o.value(QStringLiteral("endSounded")).toArray();
    s.endSounded = {ends.at(0).toBool(), ends.at(1).toBool()};
    const QString selected = o.value(QStringLiteral("selected")).toString();
    s.selected = -1;
    for (int d = 0; d < DisplayCount; ++d) {
        if (selected == key(DisplayNames[d]))
            s.selected = d;
    }
    // States written before the rules were kept have none taken.
    const QJsonObject rules = o.value(QStringLiteral("rules")).toObject();
    const auto counts = [&rules](const char *name) {
        const QJsonArray a = rules.value(key(name)).toArray();
        return std::array<int, 2>{std::clamp(a.at(0).toInt(), 0, 99),
                                  std::clamp(a.at(1).toInt(), 0, 99)};
    };
    s.rules.jamNumber = std::clamp(rules.value(QStringLiteral("jamNumber")).toInt(0), -1, 99);
    s.rulesShown = rules.value(QStringLiteral("shown")).toBool();
    s.rules.timeoutsTaken = counts("timeoutsTaken");
    s.rules.reviewsTaken = counts("reviewsTaken");
    s.rules.lastReview = std::clamp(rules.value(QStringLiteral("lastReview")).toInt(-1), -1, 1);
    const QJsonArray retained = rules.value(QStringLiteral("reviewRetained")).toArray();
    s.rules.reviewRetained = {retained.at(0).toBool(), retained.at(1).toBool()};
    s.rules.statusChanges = std::max(0, rules.value(QStringLiteral("statusChanges")).toInt());
    s.rules.phase = PhaseState::fromJsonObject(rules.value(QStringLiteral("phase")).toObject());
    const QString status = rules.value(QStringLiteral("status")).toString();
    for (int st = 0; st < int(std::size(StatusNames)); ++st) {
        if (status == key(StatusNames[st]))
            s.rules.status = st;
    }
    return s;
}
