#pragma once

#include "FeedServer.h"

#include <QObject>
#include <QPointer>
#include <memory>

class FeedFiles;
class frmScoreboard;

// The live feed of the board: what it shows, read after every tick and key,
// to the feed's clients and text files. It only reads the board.
class BoardFeed : public QObject {
    Q_OBJECT

public:
    BoardFeed();
    ~BoardFeed() override;

    // Serves the feed at an address ("8750", "0.0.0.0:8750"); false with a
    // one-line reason when it cannot.
    bool serve(const QString &address, QString *error);
    // Writes the text files into a folder; false with a reason when it cannot.
    bool writeFiles(const QString &folder, QString *error);

    // Follows a board from now on.
    void follow(frmScoreboard *board);

    FeedServer *server() const { return m_server.get(); }

private:
    void publish();

    std::unique_ptr<FeedServer> m_server;
    std::unique_ptr<FeedFiles> m_files;
    QPointer<frmScoreboard> m_board;
};
