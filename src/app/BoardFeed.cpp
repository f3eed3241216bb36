#include "BoardFeed.h"

#include "BoardReading.h"
#include "FeedFiles.h"
#include "frmScoreboard.h"

#include <QThread>

BoardFeed::BoardFeed() = default;

BoardFeed::~BoardFeed()
{
    if (!m_thread)
        return;
    // Gone with its sockets on its own thread, then the thread ends.
    QMetaObject::invokeMethod(
        m_server, [server = m_server] { delete server; }, Qt::BlockingQueuedConnection);
    m_thread->quit();
    m_thread->wait();
    delete m_thread;
}

bool BoardFeed::serve(const QString &address, QString *error)
{
    const std::optional<FeedServer::Address> where = FeedServer::parseAddress(address, error);
    if (!where)
        return false;
    // Made on its thread, so that everything it holds belongs there.
    auto thread = std::make_unique<QThread>();
    thread->setObjectName(QStringLiteral("feed"));
    thread->start();
    auto maker = std::make_unique<QObject>();
    maker->moveToThread(thread.get());
    FeedServer *server = nullptr;
    QMetaObject::invokeMethod(
        maker.get(),
        [&] {
            auto made = std::make_unique<FeedServer>();
            if (made->start(*where, error))
                server = made.release();
        },
        Qt::BlockingQueuedConnection);
    maker.release()->deleteLater(); // on its thread, or as the thread ends
    if (!server) {
        thread->quit();
        thread->wait();
        return false;
    }
    m_thread = thread.release();
    m_server = server;
    return true;
}

bool BoardFeed::writeFiles(const QString &folder, QString *error)
{
    auto files = std::make_unique<FeedFiles>(folder);
    if (!files->usable()) {
        *error = files->error();
        return false;
    }
    m_files = std::move(files);
    return true;
}

void BoardFeed::follow(frmScoreboard *board)
{
    m_board = board;
    connect(board, &frmScoreboard::refreshed, this, &BoardFeed::publish);
    publish();
}

void BoardFeed::publish()
{
    if (!m_board || (!m_server && !m_files))
        return;
    const ShownBoard now = BoardReading::shownBoard(*m_board);
    // Every refresh, changed or not: the keep-alive stops when these do,
    // and tells the pages the board's clock.
    if (m_server)
        m_server->boardRefreshedAt(now.bout.monotonicNs);
    // A change (whatever the moment, running clocks at their own) is what
    // /state.json answers; only news wakes the feed's thread, not a running
    // clock's text, which the pages run by themselves.
    if (m_server && !(m_handedAny && now.sameShown(m_handed) && now.bout.sameBout(m_handed.bout))) {
        m_server->showNow(now);
        if (!m_handedAny || !FeedServer::sameNews(now, m_handed))
            QMetaObject::invokeMethod(
                m_server, [server = m_server, now] { server->publish(now); }, Qt::QueuedConnection);
        m_handed = now;
        m_handedAny = true;
    }
    if (m_files)
        m_files->write(now);
}
