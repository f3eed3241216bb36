#pragma once

#include <QPointer>
#include <QString>
#include <memory>
#include <optional>

class AudienceScreens;
class BoardFeed;
class BoutSafety;
class SettingsBackend;
class frmScoreboard;
class frmSplash;
class frmHelp;
class QWidget;

// The program's windows and how they open one another: the splash first,
// then the board; Options and help from either.
class Program {
public:
    struct Options {
        // Where the bout journal is kept; none is kept when empty.
        QString journalFolder;
        // Where the live feed listens ("8750", "0.0.0.0:8750"); none when empty.
        QString feedAddress;
        // Where the feed's text files go; none when empty.
        QString feedFolder;
        // The audience board's screen (a number or a name; empty for the
        // first other screen); no audience board when not set.
        std::optional<QString> audienceScreen;
        // The board itself full-screen on a screen (empty: its own).
        std::optional<QString> fullScreen;
    };

    explicit Program(SettingsBackend &store, Options options = {});
    ~Program();

    // Shows the splash; the program runs until the board is closed.
    void start();

    frmSplash *splash() const;
    frmScoreboard *board() const;
    frmHelp *help() const;
    // The journal and undo of the open board; null without a journal.
    BoutSafety *boutSafety() const;
    // The live feed; null without one.
    BoardFeed *feed() const;
    // The audience board's keeper; null without one.
    AudienceScreens *audience() const;

private:
    void openScoreboard();
    void openOptions(QWidget *parent);
    void openHelp(QWidget *opener);
    void startFeed();
    void openJournal();

    SettingsBackend &m_store;
    Options m_options;
    std::unique_ptr<BoutSafety> m_safety;
    std::unique_ptr<BoardFeed> m_feed;
    std::unique_ptr<AudienceScreens> m_audience;
    QPointer<frmSplash> m_splash;
    QPointer<frmScoreboard> m_board;
    QPointer<frmHelp> m_help;
};
