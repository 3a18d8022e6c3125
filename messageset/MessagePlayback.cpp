#include "messageset/MessagePlayback.h"

#include <QTemporaryFile>

#include "app/DialogService.h"
#include "messageset/StoredMessageSet.h"
#include "messageset/WaveFormat.h"

MessagePlayback::MessagePlayback(DialogService& dialogs) : dialogs_(dialogs) {}

// The player is a member declared after the copy, so it stops before the copy is removed.
MessagePlayback::~MessagePlayback() = default;

void MessagePlayback::PlayFile(const QString& path) {
    if (CheckWaveFormat(path, dialogs_) && !path.isEmpty()) {
        lastRequest_ = path;
        player_.Play(path);  // playback errors are not reported
    }
}

void MessagePlayback::PlayStored(const StoredMessageSet& set, int row) {
    QString error;
    std::unique_ptr<QTemporaryFile> copy = set.WaveInTemporaryFile(row, &error);
    if (!copy) {
        dialogs_.Inform(error);
        return;
    }
    copy->close();  // kept until it is replaced or stopped; closed, so that any player can open it
    lastRequest_ = copy->fileName();
    player_.Play(lastRequest_);  // playback errors are not reported
    playedCopy_ = std::move(copy);
}

void MessagePlayback::Stop() {
    lastRequest_.clear();
    player_.Stop();
    playedCopy_.reset();
}
