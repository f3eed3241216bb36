#include "Program.h"

#include "AudienceScreens.h"
#include "BoardFeed.h"
#include "BoutSafety.h"
#include "ScreenChoice.h"
#include "WindowPlacement.h"
#include "frmHelp.h"
#include "frmOptions.h"
#include "frmScoreboard.h"
#include "frmSplash.h"

#include <QCoreApplication>
#include <QTimer>
#include <cstdio>

Program::Program(SettingsBackend &store, Options options)
    : m_store(store), m_options(std::move(options))
{
}

Program::~Program()
{
    m_audience.reset();
    delete m_help;
    delete m_board;
    delete m_splash;
}

frmSplash *Program::splash() const
{
    return m_splash;
}

frmScoreboard *Program::board() const
{
    return m_board;
}

frmHelp *Program::help() const
{
    return m_help;
}

BoutSafety *Program::boutSafety() const
{
    return m_safety.get();
}

BoardFeed *Program::feed() const
{
    return m_feed.get();
}

AudienceScreens *Program::audience() const
{
    return m_audience.get();
}

void Program::start()
{
    startFeed();
    SplashActions actions;
    actions.openScoreboard = [this] { openScoreboard(); };
    actions.openOptions = [this](QWidget *parent) { openOptions(parent); };
    actions.openHelp = [this] { openHelp(m_splash); };
    m_splash = new frmSplash(m_store, actions);
    m_splash->show();
    // Opened while the splash waits for its click, so that the board does not
    // wait for the disk.
    QTimer::singleShot(0, m_splash, [this] { openJournal(); });
}

void Program::openScoreboard()
{
    if (m_board)
        return;
    // The journal is asked before the board opens, so that a question never
    // comes between the board's first tick and the operator.
    std::optional<JournalRow> resumed;
    openJournal();
    if (m_safety)
        resumed = m_safety->prepare();
    ScoreboardServices services;
    services.showOptions = [this] { openOptions(m_board); };
    services.showHelp = [this] { openHelp(m_board); };
    m_board = new frmScoreboard(services);
    m_board->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(m_board, &frmScoreboard::programEnded, qApp, [this] {
        // The help window goes with the board.
        if (m_help)
            m_help->close();
        QCoreApplication::quit();
    });
    if (m_options.fullScreen) {
        // Borderless from the start, so the window is made once.
        m_board->setWindowFlag(Qt::FramelessWindowHint, true);
    }
    m_board->show();
    if (m_options.fullScreen) {
        QScreen *screen = ScreenChoice::find(*m_options.fullScreen, nullptr);
        if (m_options.fullScreen->isEmpty() || !screen) {
            if (!m_options.fullScreen->isEmpty())
                std::fprintf(stderr, "quelvane: there is no screen %s; full-screen on this one\n",
                             qPrintable(*m_options.fullScreen));
            screen = m_board->screen();
        }
        ScreenChoice::fillScreen(m_board, screen, true);
    }
    if (m_options.audienceScreen)
        m_audience = std::make_unique<AudienceScreens>(m_board, *m_options.audienceScreen);
    if (m_safety)
        m_safety->attach(m_board, resumed);
    if (m_feed)
        m_feed->follow(m_board);
}

void Program::openJournal()
{
    if (!m_safety && !m_options.journalFolder.isEmpty())
        m_safety = std::make_unique<BoutSafety>(m_options.journalFolder);
}

void Program::startFeed()
{
    if (m_options.feedAddress.isEmpty() && m_options.feedFolder.isEmpty())
        return;
    // Whatever cannot be had is said in one line; the board runs without it.
    auto feed = std::make_unique<BoardFeed>();
    QString error;
    bool any = false;
    if (!m_options.feedAddress.isEmpty()) {
        if (feed->serve(m_options.feedAddress, &error))
            any = true;
        else
            std::fprintf(stderr, "quelvane: no live feed: %s\n", qPrintable(error));
    }
    if (!m_options.feedFolder.isEmpty()) {
        if (feed->writeFiles(m_options.feedFolder, &error))
            any = true;
        else
            std::fprintf(stderr, "quelvane: no feed files: %s\n", qPrintable(error));
    }
    if (any)
        m_feed = std::move(feed);
}

void Program::openOptions(QWidget *parent)
{
    frmOptions options(m_store, parent);
    options.exec();
}

void Program::openHelp(QWidget *opener)
{
    // Shown again, not made again, while it is open: where the operator left
    // it, brought back if minimised.
    if (!m_help) {
        m_help = new frmHelp();
        m_help->setAttribute(Qt::WA_DeleteOnClose);
        placeCentredOn(m_help, opener);
    }
    m_help->setWindowState(m_help->windowState() & ~Qt::WindowMinimized);
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
}
