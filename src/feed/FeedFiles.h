#pragma once

#include "ShownBoard.h"

#include <QHash>
#include <QString>

// One small UTF-8 text file per value, for streaming software that reads
// text files: each replaced whole (never seen half written) and only when
// its text changes.
class FeedFiles {
public:
    explicit FeedFiles(const QString &folder);

    // Whether the folder can be written; why not, when it cannot.
    bool usable() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }

    void write(const ShownBoard &shown);

private:
    void writeFile(const QString &name, const QString &text);

    QString m_folder;
    QString m_error;
    QHash<QString, QString> m_written;
};
