#pragma once

#include <QString>
#include <QtGlobal>

// One entry of a remote directory listing, as the controller lists it.
struct RemoteEntry {
    QString name;
    quint64 size = 0;  // in bytes, as listed (the card pseudo-file lists its capacity)
    bool isDirectory = false;

    friend bool operator==(const RemoteEntry&, const RemoteEntry&) = default;
};
