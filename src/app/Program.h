#pragma once

#include <QPointer>
#include <memory>

class SettingsBackend;
class frmScoreboard;
class frmSplash;
class frmHelp;
class QWidget;

// The program's windows and how they open one another: the splash first,
// then the board; Options and help from either.
class Program {
public:
    explicit Program(SettingsBackend &store);
    ~Program();

    // Shows the splash; the program runs until the board is closed.
    void start();

    frmSplash *splash() const;
    frmScoreboard *board() const;
    frmHelp *help() const;

private:
    void openScoreboard();
    void openOptions(QWidget *parent);
    void openHelp(QWidget *opener);

    SettingsBackend &m_store;
    QPointer<frmSplash> m_splash;
    QPointer<frmScoreboard> m_board;
    QPointer<frmHelp> m_help;
};
