#pragma once

#include <QString>
#include <QtGlobal>

// One message of a set: its name, the length of its wave file when it was added or loaded, and
// the wave file's full path.
struct MessageEntry {
    QString name;
    quint32 size = 0;
    QString path;

    // A file length as a message's size holds it: lengths of 4 GB and more become 0xFFFFFFFF.
    static constexpr quint32 ClampSize(qint64 bytes) {
        return bytes >= qint64(0xFFFFFFFF) ? 0xFFFFFFFFu
                                           : static_cast<quint32>(qMax<qint64>(bytes, 0));
    }

    friend bool operator==(const MessageEntry&, const MessageEntry&) = default;
};
