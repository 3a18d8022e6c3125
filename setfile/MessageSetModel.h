#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

#include "setfile/MessageEntry.h"
#include "setfile/SetFileLayout.h"

// The message set being edited on the message set page: a named, ordered list of messages. A plain
// record; the page decides when it changes and the info file and the set file builder read it.
struct MessageSetModel {
    // The places in the message table of a set file, and so the most messages a set can hold.
    static constexpr int kMaxMessages = set_file_layout::kMaxMessages;

    QString setName;              // written into the set file and the info file ("Name")
    QString setFilePath;          // set file last saved or whose info file was last read
    QList<MessageEntry> entries;  // in play order
    bool changed = false;         // edited since it was last started, loaded or saved

    // True when another message would exceed kMaxMessages.
    bool IsFull() const { return entries.size() >= kMaxMessages; }

    // The size shown as "Total size" and the range of the build's progress bar: 0 for no entries,
    // otherwise the set name's bytes + 4105 plus, per entry, its whole kilobytes * 1024 - 20,
    // rounded up to the next multiple of 4096 (a further 4096 when it is one already). Only an
    // estimate: the size of a built file is known after the build. Never below 0 (a set of many
    // files under 1 KB would otherwise come out negative).
    qint64 EstimateSetSize() const;
};
