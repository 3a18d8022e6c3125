#pragma once

#include <QList>
#include <QString>

class ControllerSession;

// What the two lists of the file transfer page show: the directories first, in listing order,
// then the files, without ".".
class TransferListing {
public:
    struct Entry {
        QString name;
        bool isDirectory = false;
        bool operator==(const Entry&) const = default;
    };

    // The local directory's entries, hidden and system ones included, sorted by name without
    // regard to case; files only when their names contain filter (with regard to case).
    static QList<Entry> Local(const QString& directory, const QString& filter);

    // The session's current remote directory; empty without a connected session.
    static QList<Entry> Remote(ControllerSession* session);

private:
    static void Insert(QList<Entry>& entries, qsizetype& directories, Entry entry);
};
