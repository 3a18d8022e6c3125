#include "messageset/MessagePlayback.h"

#include <QTemporaryFile>

#include "audio/WaveFormat.h"
#include "base/DialogService.h"
#include "setfile/StoredMessageSet.h"

namespace {

// True when path has the one wave format of a message. A readable file of another format is
// reported before false is returned; a file that cannot be read gives false without a word.
bool CheckWaveFormat(const QString& path, DialogService& dialogs) {
    QString message;
    switch (WaveFormat::Examine(path, &message)) {
        case WaveFormat::Verdict::Supported:
            return true;
        case WaveFormat::Verdict::Unsupported:
            dialogs.Inform(message);
            return false;
        case WaveFormat::Verdict::Unreadable:
            return false;
    }
    return false;
}

}  // namespace

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
