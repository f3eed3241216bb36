#pragma once

#include <QSqlDatabase>
#include <QString>

class QSqlError;

// The journal's SQLite file: how it is opened and what it holds.
namespace JournalDatabase {

// 2: the bout's title and team names, and each row's place in the undo
// history. 3: each row's action as it was made.
constexpr int SchemaVersion = 3;

enum class Problem {
    None,
    Damaged,  // not a database, or a damaged one: to be put aside
    Newer,    // written by a newer program: left alone
    Unusable, // cannot be opened or written here
};

struct Opened {
    Problem problem = Problem::None;
    QString reason;
};

// Opens the file on a connection of that name (WAL, synchronous FULL) and
// makes its tables when it is new. `maxPages` caps its size (0: no cap).
Opened open(const QString &path, const QString &connection, int maxPages = 0);
// Puts a damaged journal and its log aside under a new name, never deleting
// it; the new name, or empty when it could not be moved.
QString putAside(const QString &path);

// Which file a path names: the same path names another file once the file
// was replaced, and none once it was removed.
struct FileIdentity {
    bool exists = false;
    quint64 device = 0;
    quint64 node = 0;
    bool operator==(const FileIdentity &) const = default;
};
FileIdentity identityOf(const QString &path);

// Closes and forgets the connection.
void close(const QString &connection);
// Whether an error says the file is not a database or is damaged.
bool isDamage(const QSqlError &error);
// A connection name not used before in this process.
QString newConnectionName();

} // namespace JournalDatabase
