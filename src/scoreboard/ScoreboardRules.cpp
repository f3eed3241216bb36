// What today's rule sets add to the board: the jam number, each team's
// timeouts and official reviews, and a caption for what is going on. All of
// it is hidden, and none of its keys acts, unless the operator turns it on.
#include "frmScoreboard.h"

#include "BoutRules.h"
#include "Digmar.h"
#include "Label.h"
#include "Settings.h"
#include "Tarrow.h"
#include "TimeoutDots.h"
#include "Twips.h"
#include "VirtualKey.h"
#include "modColor.h"
#include "modStretch.h"

#include <QKeyEvent>
#include <algorithm>
#include <cmath>
#include <utility>

namespace {

using Rules = BoutState::Rules;

// The keys' effects, in the record's key order.
enum RulesKey { HomeTimeout, VisitorTimeout, OfficialTimeout, HomeReview, VisitorReview, Retained };

} // namespace

void frmScoreboard::createRulesItems()
{
    // Made the first time they are to be shown: a board without them has
    // exactly the controls it always had. Placed for the window's present
    // size as the layout would scale them there (places and widths by the
    // width, heights, fonts and digits by the height), then taken into the
    // layout that scales them with it.
    const double x = Twips::fromPixels(width()) / DesignWidth;
    const double y = Twips::fromPixels(height()) / DesignHeight;
    // Beside the word "Jam", its digits as tall as the period number's.
    nledJamNumber = addControl(new Digmar(this), "nledJamNumber");
    nledJamNumber->setMax(99);
    nledJamNumber->setDigitSize(qint16(std::lround(55 * y)));
    for (auto pad : {&LedDisplay::setPaddingH, &LedDisplay::setPaddingV, &LedDisplay::setPaddingI})
        (nledJamNumber->*pad)(qint16(std::lround(40 * y)));
    nledJamNumber->setLeft(2805 * x);
    nledJamNumber->setTop(3075 * y);
    // Mended by a click and typing; Tab goes round the nine as it always has.
    nledJamNumber->setFocusPolicy(Qt::ClickFocus);
    nledJamNumber->setCaption(QString::number(m_rules.jamNumber));
    connectDisplay(nledJamNumber);

    const auto place = [x, y](TwipsWidget *item, double left, double top, double w, double h) {
        item->setTwipsGeometry(left * x, top * y, w * x, h * y);
    };
    // Each team's dots down the outer edge of its own side, under its score.
    dotsHomeTimeouts = addControl(new TimeoutDots(this), "dotsHomeTimeouts");
    place(dotsHomeTimeouts, 150, 2940, 450, 3600);
    dotsVisitorTimeouts = addControl(new TimeoutDots(this), "dotsVisitorTimeouts");
    place(dotsVisitorTimeouts, 8895, 2940, 450, 3600);

    lblBoutStatus = addControl(new Label(this), "lblBoutStatus");
    lblBoutStatus->setFontFamily(QStringLiteral("Arial"), true);
    lblBoutStatus->setFontSize(14 * y);
    lblBoutStatus->setAlignment(Label::Align::Center);
    // Team names are long; the caption stays on its one line.
    lblBoutStatus->setShrinkToFit(true);
    place(lblBoutStatus, 2760, 5215, 3960, 400);
    for (QWidget *item :
         {static_cast<QWidget *>(nledJamNumber), static_cast<QWidget *>(dotsHomeTimeouts),
          static_cast<QWidget *>(dotsVisitorTimeouts), static_cast<QWidget *>(lblBoutStatus)})
        item->show();
    modStretch::RecordLayout(this);
    modStretch::SetLedType(this, Settings.LEDType);
}

int frmScoreboard::jamNumber() const
{
    return nledJamNumber ? nledJamNumber->number() : m_rules.jamNumber;
}

void frmScoreboard::setJamNumber(int number)
{
    m_rules.jamNumber = number;
    if (nledJamNumber)
        nledJamNumber->setCaption(QString::number(number));
}

void frmScoreboard::applyRulesAppearance()
{
    const bool shown = BoutRules.Show != 0;
    if (!nledJamNumber) {
        if (!shown)
            return;
        createRulesItems();
    }
    modColor::ColorLedDisplay(nledJamNumber, Settings.PeriodColor);
    lblBoutStatus->setForeColor(Settings.BorderColor);
    const std::pair<TimeoutDots *, std::int32_t> dots[] = {
        {dotsHomeTimeouts, Settings.HomeColor}, {dotsVisitorTimeouts, Settings.VisitorColor}};
    for (const auto &[team, color] : dots) {
        team->setLitColor(color);
        team->setCount(BoutRules.TeamTimeouts);
        team->setVisibleFlag(shown);
    }
    nledJamNumber->setVisibleFlag(shown);
    if (!shown && focusWidget() == nledJamNumber)
        ObjectSelected(nullptr);
    showRulesState();
    applyPhaseAppearance();
}

void frmScoreboard::showRulesState()
{
    if (!nledJamNumber)
        return;
    const bool shown = BoutRules.Show != 0;
    const QString teams[] = {Settings.HomeText, Settings.VisitorText};
    TimeoutDots *dots[] = {dotsHomeTimeouts, dotsVisitorTimeouts};
    for (int t = 0; t < 2; ++t) {
        // Fewer allowed than already taken (changed mid-bout): none left.
        dots[t]->setRemaining(
            std::max(0, BoutRules.TeamTimeouts - m_rules.timeoutsTaken[size_t(t)]));
        dots[t]->setReviewLeft(m_rules.reviewsTaken[size_t(t)] < BoutRules.TeamReviews);
    }
    QString caption;
    switch (m_rules.status) {
    case BoutState::HomeTimeout:
    case BoutState::VisitorTimeout:
        caption = QStringLiteral("Team Timeout \u2014 ") +
                  teams[m_rules.status == BoutState::VisitorTimeout ? 1 : 0];
        break;
    case BoutState::OfficialTimeout:
        caption = QStringLiteral("Official Timeout");
        break;
    case BoutState::HomeReview:
    case BoutState::VisitorReview:
        caption = QStringLiteral("Official Review \u2014 ") +
                  teams[m_rules.status == BoutState::VisitorReview ? 1 : 0];
        break;
    default:
        break;
    }
    caption = phaseCaption(caption);
    lblBoutStatus->setCaption(caption);
    // The caption takes the line under the jam clock while it has something
    // to say.
    const bool saying = shown && !caption.isEmpty();
    lblBoutStatus->setVisibleFlag(saying);
    lblCreatedBy->setVisibleFlag(!saying);
    showPhase();
}

int frmScoreboard::rulesKeyIndex(int KeyCode) const
{
    if (BoutRules.Show == 0 || KeyCode == 0)
        return -1;
    // A store edited by hand may give a rules key to a command as well: the
    // command keeps it (and F1 and F2 are always help and Options).
    const std::int16_t commands[] = {Settings.StartStopJamClockKey,
                                     Settings.ResetJamClockKey,
                                     Settings.StartStopPeriodClockKey,
                                     Settings.ResetPeriodClockKey,
                                     Settings.ClockSwitchKey,
                                     Settings.SepTimeKey,
                                     Settings.ClearKey,
                                     Settings.BuzzerKey,
                                     Settings.PeriodEndSoundKey,
                                     Settings.PenaltyIncrementSecKey,
                                     112,
                                     113};
    if (std::find(std::begin(commands), std::end(commands), KeyCode) != std::end(commands))
        return -1;
    const int keys =
        runsByClock(BoutRules) ? BoutRulesRecord::AllKeyCount : BoutRulesRecord::KeyCount;
    for (int k = 0; k < keys; ++k) {
        if (BoutRules.key(k) == KeyCode)
            return k;
    }
    return -1;
}

void frmScoreboard::noteKeyEvent(const QKeyEvent &event)
{
    const int code = VirtualKey::fromEvent(event);
    if (event.type() == QEvent::KeyRelease) {
        if (!event.isAutoRepeat()) {
            m_releasedKey = code;
            m_releasedAt = event.timestamp();
        }
        return;
    }
    // A release and a press of one key at one moment is X's repeat; no hand
    // lets a key go and presses it again within the same millisecond. An
    // event without a moment (0) tells nothing.
    m_keyRepeats = event.isAutoRepeat() || (code == m_releasedKey && m_releasedAt != 0 &&
                                            event.timestamp() == m_releasedAt);
}

void frmScoreboard::rulesKey(int KeyCode)
{
    const bool repeated = std::exchange(m_keyRepeats, false);
    phaseKeyComing(KeyCode);
    const int which = rulesKeyIndex(KeyCode);
    if (which < 0)
        return;
    // A key held down repeats: one timeout a press. A press that comes while
    // the same key is held (no release seen, the last press under a second
    // ago) is its repeat too, as other systems send it.
    const bool held =
        KeyCode == m_rulesKeyHeld && m_rulesKeySince.isValid() && !m_rulesKeySince.hasExpired(1000);
    m_rulesKeyHeld = KeyCode;
    m_rulesKeySince.start();
    if (repeated || held)
        return;
    if (phaseRulesKey(which)) {
        showRulesState();
        return;
    }
    // Timeouts and reviews are taken between jams.
    if (tkJam->running())
        return;
    const auto stopPeriod = [this] {
        // As the period key would stop it, without a sound.
        if (tkPeriod->running())
            AllKeyCode(Settings.StartStopPeriodClockKey);
    };
    const int team = which == HomeTimeout || which == HomeReview ? 0 : 1;
    switch (which) {
    case HomeTimeout:
    case VisitorTimeout:
        if (m_rules.timeoutsTaken[size_t(team)] >= BoutRules.TeamTimeouts)
            return;
        stopPeriod();
        ++m_rules.timeoutsTaken[size_t(team)];
        m_rules.status = team == 0 ? BoutState::HomeTimeout : BoutState::VisitorTimeout;
        break;
    case OfficialTimeout:
        stopPeriod();
        m_rules.status = BoutState::OfficialTimeout;
        break;
    case HomeReview:
    case VisitorReview:
        if (m_rules.reviewsTaken[size_t(team)] >= BoutRules.TeamReviews)
            return;
        stopPeriod();
        ++m_rules.reviewsTaken[size_t(team)];
        m_rules.lastReview = team;
        m_rules.status = team == 0 ? BoutState::HomeReview : BoutState::VisitorReview;
        break;
    case Retained:
        // A team's review is retained once a period.
        if (m_rules.lastReview < 0 || m_rules.reviewsTaken[size_t(m_rules.lastReview)] == 0 ||
            m_rules.reviewRetained[size_t(m_rules.lastReview)])
            return;
        --m_rules.reviewsTaken[size_t(m_rules.lastReview)];
        m_rules.reviewRetained[size_t(m_rules.lastReview)] = true;
        m_rules.lastReview = -1;
        break;
    }
    showRulesState();
}

void frmScoreboard::rulesKeyUp(int KeyCode)
{
    if (KeyCode == m_rulesKeyHeld)
        m_rulesKeyHeld = 0;
}

void frmScoreboard::followRules(const BoutState &before)
{
    if (BoutRules.Show == 0)
        return;
    const KeeperState &jam = before.keepers[BoutState::Jam];
    if (!jam.running && tkJam->running()) {
        m_rules.status = BoutState::NoStatus;
        // A jam clock started from its reset time is a new jam; one that
        // goes on after a stop is not.
        if (jam.ticks == before.jamResetTicks)
            setJamNumber(std::min(99, std::max(0, jamNumber()) + 1));
    }
    const int was = before.numbers[BoutState::PeriodNumber];
    const int now = nledPeriod->number();
    if (now != was) {
        // The next period only from a period that had jams; any other change
        // of the number (down, blank, a jump, a first period typed over 0 or
        // blank) mends a mistake and keeps the counts.
        if (was >= 1 && now == was + 1 && before.rules.jamNumber >= 1) {
            setJamNumber(0);
            m_rules.reviewsTaken = {0, 0};
            m_rules.lastReview = -1;
            m_rules.reviewRetained = {false, false};
        }
        // What went on in the last period ends with it.
        if (now > was)
            m_rules.status = BoutState::NoStatus;
    }
    followPhases(before);
    showRulesState();
}

void frmScoreboard::followRulesClocks(const BoutState &before)
{
    if (BoutRules.Show == 0)
        return;
    // The period ends when its clock runs out between jams (run out in a
    // jam, it ends with the next period number): the caption ends with it.
    if (before.keepers[BoutState::Period].running && !tkPeriod->running() &&
        tkPeriod->time() <= FixedTime() && !tkJam->running() &&
        m_rules.status != BoutState::NoStatus) {
        m_rules.status = BoutState::NoStatus;
        showRulesState();
    }
    followPhases(before);
}
