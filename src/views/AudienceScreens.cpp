#include "AudienceScreens.h"

#include "AudienceBoard.h"
#include "ScreenChoice.h"
#include "ScreenWatch.h"
#include "frmScoreboard.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <cstdio>

AudienceScreens::AudienceScreens(frmScoreboard *board, const QString &wanted)
    : m_board(board), m_wanted(wanted)
{
    // Screens report their arrival before their geometry settles: look a
    // moment later, well within the two seconds a projector may take.
    const auto soon = [this] { QTimer::singleShot(200, this, &AudienceScreens::place); };
    connect(qGuiApp, &QGuiApplication::screenAdded, this, [this, soon](QScreen *s) {
        watch(s);
        soon();
    });
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, [this, soon](QScreen *s) {
        if (m_audience && m_audience->screen() == s)
            delete m_audience;
        soon();
    });
    for (QScreen *s : QGuiApplication::screens())
        watch(s);
    // A new resolution of a screen Qt already knows, told by the server.
    connect(new ScreenWatch(this), &ScreenWatch::screensChanged, this, soon);
    place();
}

AudienceScreens::~AudienceScreens()
{
    delete m_audience;
}

void AudienceScreens::watch(QScreen *screen)
{
    connect(screen, &QScreen::geometryChanged, this, &AudienceScreens::place);
}

void AudienceScreens::place()
{
    if (!m_board)
        return;
    QScreen *target = ScreenChoice::find(m_wanted, m_board->screen());
    if (!target) {
        delete m_audience;
        if (!m_toldOneScreen) {
            m_toldOneScreen = true;
            std::fprintf(stderr, "quelvane: %s; the audience board opens when it appears\n",
                         m_wanted.isEmpty()
                             ? "there is only one screen"
                             : qPrintable(QStringLiteral("there is no screen %1").arg(m_wanted)));
        }
        return;
    }
    if (!m_audience) {
        m_audience = new AudienceBoard(m_board);
        m_audience->setWindowFlag(Qt::WindowDoesNotAcceptFocus, true);
    }
    ScreenChoice::fillScreen(m_audience, target, false);
}
