#pragma once

#include <QString>

#include "transfer/TransferReport.h"

// What the file transfer page does with the outcome of an upload or a download: the message it
// shows and the lists it reads again.
class TransferOutcomes {
public:
    enum class Direction { Upload, Download };

    struct ListsToRefresh {
        bool remote = false;
        bool local = false;
    };

    // The message shown for an outcome; empty for none.
    static QString MessageFor(const TransferReport& report);

    // An upload leaves the remote list out of date unless it stopped before anything was tried on
    // the controller. A download, even a cancelled or failed one (or one whose save dialog was
    // cancelled, given as Cancelled), leaves the local list out of date: a partial file may have
    // come and gone.
    static ListsToRefresh After(Direction direction, TransferReport::Outcome outcome);
};
