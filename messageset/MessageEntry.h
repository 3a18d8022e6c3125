#pragma once

#include <QString>
#include <QtGlobal>

// One message of a set: its name, the length of its wave file when it was added or loaded, and
// the wave file's full path.
struct MessageEntry {
    QString name;
    quint32 size = 0;
    QString path;

    friend bool operator==(const MessageEntry&, const MessageEntry&) = default;
};
