#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <optional>

struct git_repository;

// The installation's history: a git repository (libgit2; the git program is never run) whose
// work tree holds one folder per controller mirroring the controller's files, with slashes for
// the controller's backslashes (east/rfa/cfg/system.cfg). Each change is one commit; a file with
// the same contents on many controllers is one blob.
//
// Owned and used by one thread only (the thread that records the outcome of a run); workers get
// what they need as plain data (Files). Every libgit2 object is released on every path. Failures
// are a false or empty result with the reason in the error text.
class History {
public:
    // What the history holds for one file.
    struct File {
        QByteArray blobId;  // hex
        qint64 size = 0;
        QByteArray sha256;  // hex; empty unless asked for
    };
    // Keyed by the path below the controller's folder ("rfa/cfg/system.cfg").
    using Files = QHash<QString, File>;

    struct Change {
        QString path;        // in the repository: "east/rfa/cfg/system.cfg"
        QString sourceFile;  // the new contents; empty: the file is removed
        // The contents' SHA-256 when known: a change with the contents of an earlier one of the
        // same Record takes that one's blob without hashing and compressing the file again.
        QByteArray sha256{};
    };
    struct Author {
        QString name;   // the engineer
        QString email;  // the operating system's user at this host
    };
    struct Commit {
        QString id;
        QDateTime when;
        QString author;
        QString email;
        QString message;
    };

    History();
    ~History();
    History(const History&) = delete;
    History& operator=(const History&) = delete;

    // Opens the repository in folder, creating it (and the folder) when create is set and there
    // is none.
    [[nodiscard]] bool Open(const QString& folder, bool create, QString* errorText);
    const QString& Folder() const { return folder_; }

    // The full id of a commit named by id, abbreviated id or any revision ("HEAD~1"); empty
    // names HEAD. Empty (with the reason) when there is no such commit.
    QString Resolve(const QString& revision, QString* errorText);
    // The files below the controller's folder in the commit (empty: HEAD; none before the first
    // commit). With digests, each file's SHA-256 is read from its blob.
    [[nodiscard]] bool FilesOf(const QString& controller, const QString& commit, bool digests,
                               Files* files, QString* errorText);
    // The contents of path below the controller's folder in the commit; nullopt when it is not
    // there.
    std::optional<QByteArray> Read(const QString& controller, const QString& path,
                                   const QString& commit, QString* errorText);

    // Puts the changes into the work tree and commits them with the message. A change's source
    // file is moved into the work tree where it can be (it is a staged copy), else copied. Without
    // always, a set of changes that leaves the tree as it was makes no commit (commitId empty). On
    // failure nothing is committed.
    [[nodiscard]] bool Record(const QList<Change>& changes, const Author& author,
                              const QString& message, bool always, QString* commitId,
                              QString* errorText);

    // The commits from HEAD back, newest first.
    [[nodiscard]] bool Log(QList<Commit>* commits, QString* errorText);

private:
    [[nodiscard]] bool Apply(const Change& change, QString* errorText);

    QString folder_;
    git_repository* repository_ = nullptr;
    // What is known of each blob read so far, by its id (hex): its size, and its SHA-256 once
    // read. A blob on many controllers is read once.
    QHash<QByteArray, File> blobs_;
};
