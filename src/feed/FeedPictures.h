#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class QTcpSocket;

// The board's pictures as the feed serves them: each file read once, on a
// worker thread, when the board shows another, and sent from that one copy
// to every client, a piece at a time as the client's socket drains. A client
// that never reads holds a few hundred KiB of it at most, and the board
// never waits for the disk.
class FeedPictures : public QObject {
    Q_OBJECT

public:
    // What a socket may hold unsent of a picture before it has to drain.
    static constexpr qint64 InFlight = 256 * 1024;

    explicit FeedPictures(QObject *parent = nullptr);
    ~FeedPictures() override;

    // The files the board shows now, by name ("home", "visitor", "board");
    // an empty path for none. A file that changed is read again.
    void show(const QString &which, const QString &path);
    // Answers a request for a picture on this socket: the picture, sent as
    // the socket drains, then the connection closed; 404 when the board
    // shows none or its file is no picture. A request that comes while the
    // file is being read waits for it.
    void serve(const QString &which, QTcpSocket *socket);
    // Whether a picture is being read (for tests).
    bool reading() const;
    // Whether the file shown as which has been read and is a picture: only
    // then does the state give its address.
    bool shows(const QString &which) const;

Q_SIGNALS:
    // A file has been read, a picture or not.
    void read();

private:
    struct Copy {
        QString path;
        bool loading = false;
        QByteArray bytes; // the file as it is, empty for none
        QByteArray type;  // image/...
        QList<QPointer<QTcpSocket>> waiting;
    };
    void loaded(const QString &which, const QString &path, const QByteArray &bytes,
                const QByteArray &type);
    void answer(const Copy &copy, QTcpSocket *socket);
    void sendMore(QTcpSocket *socket);

    QHash<QString, Copy> m_copies;
    // What each socket is being sent, and how far it has got.
    struct Sending {
        QByteArray bytes;
        qint64 at = 0;
    };
    QHash<QTcpSocket *, Sending> m_sending;
};
