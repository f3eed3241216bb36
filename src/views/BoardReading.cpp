#include "BoardReading.h"

#include "BoutRules.h"
#include "ColorRef.h"
#include "Digmar.h"
#include "Label.h"
#include "PictureBox.h"
#include "Pinlux.h"
#include "Settings.h"
#include "Shape.h"
#include "Tarrow.h"
#include "TimeoutDots.h"
#include "frmScoreboard.h"

#include <QFileInfo>
#include <algorithm>

namespace {

QString css(std::int32_t bgr)
{
    return toQColor(bgr).name();
}

QString shown(const LedDisplay *display)
{
    return display->cells().toText().trimmed();
}

// Every position of a display, an unlit separator as "|", so a page can draw
// it as the board does.
QString positions(const LedCells &cells)
{
    QString text = cells.toText();
    for (int i = 0; i < cells.count; ++i) {
        if (cells.glyphs[size_t(i)] == Glyph::SeparatorOff)
            text[i] = u'|';
    }
    return text;
}

// A clock between jams as the jam display shows it.
QString minutesSeconds(std::int64_t seconds)
{
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

// The phase, its clocks, the lead and the jam's points, from the bout.
void readPhase(const frmScoreboard &b, ShownBoard &s)
{
    const PhaseState &p = s.bout.rules.phase;
    if (!runsByClock(BoutRules) || p.phase == PhaseState::Off)
        return;
    s.phase = QString::fromLatin1(PhaseState::phaseName(p.phase));
    const QString clock = minutesSeconds(p.shownSeconds(s.bout.monotonicNs));
    if (p.phase == PhaseState::Lineup || p.phase == PhaseState::OvertimeLineup)
        s.lineupClock = p.clockRunning ? clock : QString();
    else if (p.phase == PhaseState::Halftime)
        s.intermissionClock = clock;
    else if (p.phase != PhaseState::Jam && p.phase != PhaseState::Unofficial &&
             p.phase != PhaseState::Final)
        s.timeoutClock = clock;
    const int scores[] = {s.bout.numbers[BoutState::HomeScore],
                          s.bout.numbers[BoutState::VisitorScore]};
    const Label *points[] = {b.lblHomeJamPoints, b.lblVisitorJamPoints};
    for (int t = 0; t < 2; ++t) {
        s.lead[size_t(t)] = p.lead == t;
        // As the board shows them: during a jam and the lineup after it.
        if (points[t] && !points[t]->isHidden())
            s.jamPoints[size_t(t)] = std::max(0, scores[t]) - p.jamStartScore[size_t(t)];
    }
}

QRectF fraction(const QWidget *w, const QSize &board)
{
    const QRect g = w->geometry();
    return {double(g.x()) / board.width(), double(g.y()) / board.height(),
            double(g.width()) / board.width(), double(g.height()) / board.height()};
}

} // namespace

namespace BoardReading {

ShownBoard shownBoard(const frmScoreboard &b)
{
    ShownBoard s;
    s.bout = b.boutState();
    s.title = b.lblTitle->caption();
    s.homeName = b.lblHomeTeam->caption();
    s.visitorName = b.lblVisitorTeam->caption();
    s.homeScore = shown(b.nledHomeScore);
    s.visitorScore = shown(b.nledVisitorScore);
    s.periodNumber = shown(b.nledPeriod);
    s.periodClock = shown(b.tledPeriod);
    s.jamClock = shown(b.tledJam);
    s.penaltiesHome = {shown(b.tledHomePenalty1), shown(b.tledHomePenalty2)};
    s.penaltiesVisitor = {shown(b.tledVisitorPenalty1), shown(b.tledVisitorPenalty2)};
    s.periodRunning = b.tkPeriod->running();
    s.jamRunning = b.tkJam->running();
    s.timeOfDay = b.ClockTime;
    s.colors = {{QStringLiteral("TimeColor"), css(Settings.TimeColor)},
                {QStringLiteral("LEDBack"), css(Settings.LEDBack)},
                {QStringLiteral("ScoreColor"), css(Settings.ScoreColor)},
                {QStringLiteral("PeriodColor"), css(Settings.PeriodColor)},
                {QStringLiteral("FormBack"), css(Settings.FormBack)},
                {QStringLiteral("LEDSelected"), css(Settings.LEDSelected)},
                {QStringLiteral("BorderColor"), css(Settings.BorderColor)},
                {QStringLiteral("HomeColor"), css(Settings.HomeColor)},
                {QStringLiteral("VisitorColor"), css(Settings.VisitorColor)}};
    s.ledType = Settings.LEDType == 1 ? QStringLiteral("Dots") : QStringLiteral("Lines");

    const QSize size = b.size().expandedTo(QSize(1, 1));
    s.aspect = double(size.width()) / size.height();
    QList<const LedDisplay *> displays(b.displays().begin(), b.displays().end());
    QList<const Label *> labels = {b.lblTitle, b.lblHomeTeam, b.lblVisitorTeam, b.Label1,
                                   b.Label2,   b.Label3,      b.Label4,         b.lblCreatedBy};
    if (BoutRules.Show != 0 && b.nledJamNumber) {
        const BoutState::Rules &rules = s.bout.rules;
        s.rulesShown = true;
        s.jamNumber = shown(b.nledJamNumber);
        for (int t = 0; t < 2; ++t) {
            s.timeoutsLeft[size_t(t)] =
                std::max(0, BoutRules.TeamTimeouts - rules.timeoutsTaken[size_t(t)]);
            s.reviewsLeft[size_t(t)] =
                std::max(0, BoutRules.TeamReviews - rules.reviewsTaken[size_t(t)]);
        }
        s.status = b.lblBoutStatus->isHidden() ? QString() : b.lblBoutStatus->caption();
        displays << b.nledJamNumber;
        labels << b.lblBoutStatus;
        for (const auto &[dots, team] :
             {std::pair(b.dotsHomeTimeouts, "home"), std::pair(b.dotsVisitorTimeouts, "visitor")}) {
            s.dots.append({dots->objectName(), QLatin1String(team), dots->count(),
                           css(dots->litColor()), fraction(dots, size)});
        }
    }
    readPhase(b, s);
    if (b.lblHomeLead)
        labels << b.lblHomeLead << b.lblHomeJamPoints << b.lblVisitorLead << b.lblVisitorJamPoints;
    for (const LedDisplay *d : displays) {
        s.displays.append({d->objectName(), positions(d->cells()), css(d->litColor()),
                           qobject_cast<const Pinlux *>(d) != nullptr, fraction(d, size)});
    }
    for (const Label *l : labels) {
        if (l->isHidden())
            continue;
        // Points to pixels at the board's 96 pixels an inch.
        const double pixels = l->fontSize() * 96.0 / 72.0;
        s.labels.append({l->objectName(), l->caption(), css(l->foreColor()), fraction(l, size),
                         pixels / size.height()});
    }
    for (const Shape *frame : {b.Shape3, b.Shape1}) {
        if (frame->isHidden())
            continue;
        s.frames.append({frame->objectName(), css(frame->borderColor()),
                         frame->borderWidth() / size.height(), fraction(frame, size)});
    }
    const std::tuple<const char *, const QString &, const PictureBox *> pictures[] = {
        {"home", Settings.HomePic, b.picHomePicContainer},
        {"visitor", Settings.VisitorPic, b.picVisitorPicContainer},
        {"board", Settings.BoardPic, b.picBoardPicContainer}};
    for (const auto &[which, path, frame] : pictures) {
        const QString file = QFileInfo(path).isFile() ? path : QString();
        s.pictures.append({QString::fromLatin1(which), file, fraction(frame, size)});
    }
    return s;
}

} // namespace BoardReading
