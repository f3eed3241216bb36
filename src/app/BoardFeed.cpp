#include "BoardFeed.h"

#include "BoardReading.h"
#include "FeedFiles.h"
#include "frmScoreboard.h"

BoardFeed::BoardFeed() = default;
BoardFeed::~BoardFeed() = default;

bool BoardFeed::serve(const QString &address, QString *error)
{
    const std::optional<FeedServer::Address> where = FeedServer::parseAddress(address, error);
    if (!where)
        return false;
    auto server = std::make_unique<FeedServer>();
    if (!server->start(*where, error))
        return false;
    m_server = std::move(server);
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
    if (m_server)
        m_server->publish(now);
    if (m_files)
        m_files->write(now);
}
