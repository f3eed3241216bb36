#pragma once

#include "ShownBoard.h"

#include <QElapsedTimer>
#include <QHash>
#include <QString>
#include <array>
#include <mutex>
#include <optional>

class QObject;
class QThread;

// One small UTF-8 text file per value, for streaming software that reads
// text files: each replaced whole (never seen half written) and only when
// its text changes. They are written on a thread of their own, so the board
// never waits for the disk; files (or the folder) that have gone are
// written again, looked for at most once a second.
class FeedFiles {
public:
    explicit FeedFiles(const QString &folder);
    ~FeedFiles();

    // Whether the folder can be written; why not, when it cannot.
    bool usable() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }

    // Hands what the board shows to the writing thread and returns at once.
    // Texts not yet written when newer ones come are never written.
    void write(const ShownBoard &shown);
    // Waits until what was handed over has been written.
    void flush();

private:
    using Texts = std::array<QString, 8>;
    // On the writing thread.
    void writePending();
    void writeFile(const QString &name, const QString &text);
    bool somethingGone() const;

    QString m_folder;
    QString m_error;
    QThread *m_thread = nullptr;
    QObject *m_writer = nullptr; // lives on m_thread
    // Touched by the board's thread only: what was last handed over, when.
    Texts m_handed;
    QElapsedTimer m_sinceHanded;
    std::mutex m_mutex;
    std::optional<Texts> m_pending;
    // Touched by the writing thread only.
    QHash<QString, QString> m_written;
    QElapsedTimer m_sinceLook;
};
