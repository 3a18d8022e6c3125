#pragma once

#include <QString>
#include <QtGlobal>

// A search over the session's current remote directory, as the controller lists it.
class RemoteFinder {
public:
    virtual ~RemoteFinder() = default;
    // Starts a search for pattern ("*" or one name); false when nothing matches.
    [[nodiscard]] virtual bool FindFirst(const QString& pattern) = 0;
    // Moves to the next match; false when there is none.
    [[nodiscard]] virtual bool FindNext() = 0;
    virtual QString FileName() const = 0;
    virtual QString FilePath() const = 0;
    // Low 32 bits of the listed size in bytes.
    virtual quint32 Size() const = 0;
    virtual bool IsDirectory() const = 0;
    virtual void Close() = 0;
};
