#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// One entry of a remote directory listing, as the controller lists it.
struct RemoteEntry {
    QString name;      // remote_name::FromBytes(rawName): shown, and given back to the session
    quint64 size = 0;  // in bytes, as listed (the card pseudo-file lists its capacity)
    bool isDirectory = false;
    QByteArray rawName{};  // the name's bytes exactly as listed

    // rawName is name's own encoding, so it adds nothing to a comparison.
    friend bool operator==(const RemoteEntry& left, const RemoteEntry& right) {
        return left.name == right.name && left.size == right.size &&
               left.isDirectory == right.isDirectory;
    }
};
