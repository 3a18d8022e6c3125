#pragma once

#include <QList>

#include "controller/RemoteFinder.h"
#include "ftp/RemoteEntry.h"

class ControllerSession;

// The session's remote finder. FindFirst lists the directory part of the pattern (the current
// directory when it has none) and matches the last part on this side, with "*" and "?" and letter
// case ignored, so that it works whether or not the server expands wildcards itself. Uses the
// session, which must outlive it.
class ListingFinder : public RemoteFinder {
public:
    explicit ListingFinder(ControllerSession& session) : session_(session) {}

    [[nodiscard]] bool FindFirst(const QString& pattern) override;
    [[nodiscard]] bool FindNext() override;
    QString FileName() const override;
    // The entry's path in the form of the pattern: its directory part and the name, or the
    // session's current directory and the name for a pattern without one.
    QString FilePath() const override;
    quint32 Size() const override;
    bool IsDirectory() const override;
    void Close() override;
    // The entries FindFirst matched, in the listing's order.
    const QList<RemoteEntry>& Matches() const { return matches_; }

private:
    const RemoteEntry* Current() const;

    ControllerSession& session_;
    QList<RemoteEntry> matches_;
    qsizetype index_ = 0;
    QString directoryPrefix_;  // prepended to names for FilePath
};
