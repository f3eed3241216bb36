#include "AudienceScreens.h"

#include "AudienceBoard.h"
#include "ScreenChoice.h"
#include "ScreenWatch.h"
#include "frmScoreboard.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWindow>
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
    // The operator may drag the board onto another screen.
    board->winId();
    if (QWindow *window = board->windowHandle())
        connect(window, &QWindow::screenChanged, this, &AudienceScreens::place);
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

QScreen *AudienceScreens::chooseScreen() const
{
    QScreen *boardScreen = m_board->screen();
    // Once on a screen of its own choosing, the audience board keeps to it:
    // the board dragged there closes it until they part, rather than send
    // it to the operator's screen.
    if (m_wanted.isEmpty() && !m_keptScreen.isEmpty()) {
        if (QScreen *kept = ScreenChoice::find(m_keptScreen, nullptr))
            return ScreenChoice::apart(kept, boardScreen) ? kept : nullptr;
    }
    return ScreenChoice::find(m_wanted, boardScreen);
}

void AudienceScreens::place()
{
    if (!m_board)
        return;
    QScreen *target = chooseScreen();
    if (!target) {
        delete m_audience;
        tellOnce(m_board->screen());
        return;
    }
    if (m_wanted.isEmpty())
        m_keptScreen = target->name();
    if (!m_audience) {
        m_audience = new AudienceBoard(m_board);
        m_audience->setWindowFlag(Qt::WindowDoesNotAcceptFocus, true);
    }
    ScreenChoice::fillScreen(m_audience, target, false);
}

void AudienceScreens::tellOnce(QScreen *boardScreen)
{
    if (m_toldNoScreen)
        return;
    m_toldNoScreen = true;
    QString why;
    if (QGuiApplication::screens().size() == 1)
        why = QStringLiteral("there is only one screen");
    else if (m_wanted.isEmpty())
        why = QStringLiteral("there is no screen apart from the board's");
    else if (ScreenChoice::find(m_wanted, nullptr))
        why = QStringLiteral("screen %1 shows the board's screen %2")
                  .arg(m_wanted, boardScreen ? boardScreen->name() : QString());
    else
        why = QStringLiteral("there is no screen %1").arg(m_wanted);
    std::fprintf(stderr,
                 "quelvane: %s; the audience board opens when one apart from the board's "
                 "appears\n",
                 qPrintable(why));
}
