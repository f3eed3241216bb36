#include "frmScoreboard.h"

#include "AudioSoundDevice.h"
#include "Digmar.h"
#include "Image.h"
#include "Label.h"
#include "MonotonicClock.h"
#include "PictureBox.h"
#include "Pinlux.h"
#include "Settings.h"
#include "Shape.h"
#include "Tarrow.h"
#include "TimeOfDay.h"
#include "Twips.h"

#include <variant>

namespace {

constexpr std::int32_t DesignBack = 0x404040;
constexpr std::int32_t White = 0xFFFFFF;
constexpr std::int32_t Red = 0x0000FF;
constexpr std::int32_t Green = 0x00C000;

struct LedSpacing {
    qint16 size, paddingH, paddingV, paddingI;
};

struct NumberDesign {
    Digmar *frmScoreboard::*member;
    qint16 max;
};
struct ClockDesign {
    Pinlux *frmScoreboard::*member;
    qint16 paddingD;
    const char *lengths;
};
struct DisplayDesign {
    const char *name;
    double left, top;
    LedSpacing spacing;
    std::int32_t lit;
    std::variant<NumberDesign, ClockDesign> kind;
};

constexpr LedSpacing ScoreSpacing{68, 100, 80, 175};
constexpr LedSpacing PenaltySpacing{55, 100, 70, 160};
constexpr std::int32_t ClockLit = 0x0080FF;

// The board's nine displays, in tab order: the one list of them, which the
// keys, the bout state and the board's other views all go by.
const DisplayDesign DisplayDesigns[] = {
    {"nledHomeScore", 604, 1125, ScoreSpacing, Red,
     NumberDesign{&frmScoreboard::nledHomeScore, 999}},
    {"tledPeriod",
     3195,
     1065,
     {65, 80, 65, 175},
     ClockLit,
     ClockDesign{&frmScoreboard::tledPeriod, 125, "2,2"}},
    {"nledVisitorScore", 6612, 1120, ScoreSpacing, Red,
     NumberDesign{&frmScoreboard::nledVisitorScore, 999}},
    {"nledPeriod",
     5145,
     2460,
     {55, 80, 50, 60},
     Green,
     NumberDesign{&frmScoreboard::nledPeriod, 9}},
    {"tledJam",
     3600,
     4000,
     {70, 80, 70, 160},
     ClockLit,
     ClockDesign{&frmScoreboard::tledJam, 125, "1,2"}},
    {"tledHomePenalty1", 673, 4540, PenaltySpacing, Red,
     ClockDesign{&frmScoreboard::tledHomePenalty1, 95, "1,2"}},
    {"tledVisitorPenalty1", 6723, 4540, PenaltySpacing, Red,
     ClockDesign{&frmScoreboard::tledVisitorPenalty1, 95, "1,2"}},
    {"tledHomePenalty2", 673, 5610, PenaltySpacing, Red,
     ClockDesign{&frmScoreboard::tledHomePenalty2, 95, "1,2"}},
    {"tledVisitorPenalty2", 6723, 5610, PenaltySpacing, Red,
     ClockDesign{&frmScoreboard::tledVisitorPenalty2, 95, "1,2"}},
};
static_assert(std::size(DisplayDesigns) == frmScoreboard::DisplayCount);

void setSpacing(LedDisplay *display, const LedSpacing &s)
{
    display->setDigitSize(s.size);
    display->setPaddingH(s.paddingH);
    display->setPaddingV(s.paddingV);
    display->setPaddingI(s.paddingI);
}

} // namespace

frmScoreboard::frmScoreboard(ScoreboardServices services, QWidget *parent)
    : Form(parent), m_services(std::move(services))
{
    if (!m_services.timeOfDay)
        m_services.timeOfDay = systemTimeOfDay;
    if (m_services.timeFormat.isEmpty())
        m_services.timeFormat = systemTimeFormat();
    m_twelveHourClock = usesTwelveHourClock(m_services.timeFormat);
    if (m_services.sound) {
        mmcBuzzer = m_services.sound;
    } else {
        m_ownSound = std::make_unique<AudioSoundDevice>();
        mmcBuzzer = m_ownSound.get();
    }
    mmcBuzzer->setObjectName(QStringLiteral("mmcBuzzer"));
    connect(mmcBuzzer, &SoundDevice::Done, this, &frmScoreboard::mmcBuzzer_Done);

    setWindowTitle(QStringLiteral("Quelvane"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0x40, 0x40, 0x40));
    setPalette(pal);
    resize(Twips::toPixels(DesignWidth), Twips::toPixels(DesignHeight));

    createDisplays();
    createLabels();
    createPictures();
    createShapes();
    m_clock = m_services.clock ? m_services.clock : MonotonicClock::system();
    createKeepers(m_clock);
    connectDisplays();
    // Connected first, so that whoever reads the refreshed board reads the
    // phase's clocks where the bout run by the clock shows them.
    connect(this, &frmScoreboard::refreshed, this, &frmScoreboard::showPhaseClocks);
}

frmScoreboard::~frmScoreboard() = default;

void frmScoreboard::createDisplays()
{
    for (size_t i = 0; i < std::size(DisplayDesigns); ++i) {
        const DisplayDesign &design = DisplayDesigns[i];
        LedDisplay *display = nullptr;
        if (const auto *clock = std::get_if<ClockDesign>(&design.kind)) {
            auto *d = addControl(new Pinlux(this), design.name);
            this->*clock->member = d;
            setSpacing(d, design.spacing);
            d->setPaddingD(clock->paddingD);
            d->setGroupLengths(QString::fromLatin1(clock->lengths));
            d->setValue(3600);
            display = d;
        } else {
            const auto &number = std::get<NumberDesign>(design.kind);
            auto *d = addControl(new Digmar(this), design.name);
            this->*number.member = d;
            setSpacing(d, design.spacing);
            d->setMax(number.max);
            display = d;
        }
        display->setLitColor(design.lit);
        display->setLeft(design.left);
        display->setTop(design.top);
        m_displays[i] = display;
        if (i > 0)
            setTabOrder(m_displays[i - 1], display);
    }
}

void frmScoreboard::createLabels()
{
    auto label = [this](const char *name, double left, double top, double width, double height,
                        double points, const QString &caption) {
        auto *l = addControl(new Label(this), name);
        l->setFontFamily(QStringLiteral("Arial"), true);
        l->setFontSize(points);
        l->setAlignment(Label::Align::Center);
        l->setForeColor(White);
        l->setCaption(caption);
        l->setTwipsGeometry(left, top, width, height);
        return l;
    };
    lblTitle = label("lblTitle", 120, 0, 9255, 855, 36, QString());
    lblHomeTeam = label("lblHomeTeam", 240, 2400, 2895, 495, 20.25, QString());
    lblVisitorTeam = label("lblVisitorTeam", 6360, 2400, 2895, 495, 20.25, QString());
    Label4 = label("Label4", 3705, 2760, 1335, 450, 18, QStringLiteral("Period"));
    Label1 = label("Label1", 3600, 3480, 2355, 450, 18, QStringLiteral("Jam"));
    Label2 = label("Label2", 713, 3990, 1935, 465, 18, QStringLiteral("Penalty"));
    Label3 = label("Label3", 6713, 3990, 2055, 465, 18, QStringLiteral("Penalty"));
    lblCreatedBy = label("lblCreatedBy", 3383, 5280, 2715, 300, 11.25,
                         QStringLiteral("www.brackwell.example"));
}

void frmScoreboard::createPictures()
{
    auto frame = [this](const char *frameName, const char *imageName, double left, double top,
                        double width, double height, Image *&image) {
        auto *f = addControl(new PictureBox(this), frameName);
        f->setBackColor(DesignBack);
        f->setTwipsGeometry(left, top, width, height);
        image = addControl(new Image(f), imageName);
        image->setTwipsGeometry(0, 0, 1215, 855);
        return f;
    };
    picHomePicContainer =
        frame("picHomePicContainer", "imgHomePic", 623, 2940, 2175, 975, imgHomePic);
    picVisitorPicContainer =
        frame("picVisitorPicContainer", "imgVisitorPic", 6743, 2940, 2115, 975, imgVisitorPic);
    picBoardPicContainer =
        frame("picBoardPicContainer", "imgBoardPic", 3533, 5640, 2415, 950, imgBoardPic);
}

void frmScoreboard::createShapes()
{
    auto shape = [this](const char *name, double left, double top, double width, double height) {
        auto *s = addControl(new Shape(this), name);
        s->setBorderColor(White);
        s->setBorderWidth(2);
        s->setTwipsGeometry(left, top, width, height);
        return s;
    };
    Shape1 = shape("Shape1", 3038, 960, 3405, 1350);
    Shape3 = shape("Shape3", 113, 960, 9255, 5775);
    shpObjectSelected = shape("shpObjectSelected", 5280, 2760, 255, 255);
    shpObjectSelected->setBorderWidth(1);
    shpObjectSelected->setFilled(true);
    shpObjectSelected->setFillColor(DesignBack);
    shpObjectSelected->setVisibleFlag(false);
    // Shapes lie beneath everything else on the window.
    shpObjectSelected->lower();
    Shape1->lower();
    Shape3->lower();
}

void frmScoreboard::createKeepers(MonotonicClock *clock)
{
    auto keeper = [this, clock](const char *name) {
        return addControl(new Tarrow(clock, this), name);
    };
    tkPeriod = keeper("tkPeriod");
    tkJam = keeper("tkJam");
    tkHomePenalty1 = keeper("tkHomePenalty1");
    tkHomePenalty2 = keeper("tkHomePenalty2");
    tkVisitorPenalty1 = keeper("tkVisitorPenalty1");
    tkVisitorPenalty2 = keeper("tkVisitorPenalty2");

    tmrClock1.setObjectName(QStringLiteral("tmrClock1"));
    tmrClock1.setInterval(50);
    tmrClock1.setTimerType(Qt::PreciseTimer);
    connect(&tmrClock1, &QTimer::timeout, this, &frmScoreboard::tmrClock1_Timer);
}

std::array<frmScoreboard::PenaltyClock, 4> frmScoreboard::penaltyClocks() const
{
    return {{{tledHomePenalty1, tkHomePenalty1},
             {tledHomePenalty2, tkHomePenalty2},
             {tledVisitorPenalty1, tkVisitorPenalty1},
             {tledVisitorPenalty2, tkVisitorPenalty2}}};
}
