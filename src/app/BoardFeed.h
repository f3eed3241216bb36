#pragma once

#include "FeedServer.h"

#include <QObject>
#include <QPointer>
#include <memory>

class FeedFiles;
class QThread;
class frmScoreboard;

// The live feed of the board: what it shows, read after every tick and key,
// to the feed's clients and text files. It only reads the board. The server
// and its clients live on a thread of their own: however many clients there
// are, the board's own thread never looks at their sockets, and it hands
// over only what changed.
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

private:
    void publish();

    QThread *m_thread = nullptr;
    FeedServer *m_server = nullptr; // lives on m_thread
    ShownBoard m_handed;            // what the board showed at its last change
    bool m_handedAny = false;
    std::unique_ptr<FeedFiles> m_files;
    QPointer<frmScoreboard> m_board;
};
