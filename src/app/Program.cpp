#include "Program.h"

#include "frmOptions.h"
#include "frmScoreboard.h"
#include "frmSplash.h"

#include <QCoreApplication>

Program::Program(SettingsBackend &store) : m_store(store) {}

Program::~Program()
{
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

void Program::start()
{
    SplashActions actions;
    actions.openScoreboard = [this] { openScoreboard(); };
    actions.openOptions = [this](QWidget *parent) { openOptions(parent); };
    actions.openHelp = [this] { openHelp(); };
    m_splash = new frmSplash(m_store, actions);
    m_splash->show();
}

void Program::openScoreboard()
{
    if (m_board)
        return;
    ScoreboardServices services;
    services.showOptions = [this] { openOptions(m_board); };
    services.showHelp = [this] { openHelp(); };
    m_board = new frmScoreboard(services);
    m_board->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(m_board, &frmScoreboard::programEnded, qApp, &QCoreApplication::quit);
    m_board->show();
}

void Program::openOptions(QWidget *parent)
{
    frmOptions options(m_store, parent);
    options.exec();
}

void Program::openHelp()
{
    // The help window arrives with its own work.
}
