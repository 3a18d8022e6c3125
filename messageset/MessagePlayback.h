#pragma once

#include <QString>
#include <memory>

#include "audio/WavePlayer.h"

class DialogService;
class QTemporaryFile;
class StoredMessageSet;

// Plays the page's messages: a wave file once its format is checked, or a message of a set shown
// from its set file through a temporary wave file that is kept until the next Play or Stop.
// Playback errors are not reported; a refused format or a message that cannot be copied out is.
class MessagePlayback {
public:
    // dialogs outlives the playback.
    explicit MessagePlayback(DialogService& dialogs);
    ~MessagePlayback();

    void PlayFile(const QString& path);
    void PlayStored(const StoredMessageSet& set, int row);
    void Stop();

    // The wave file last given to the player (whether or not a sound device took it); empty once
    // stopped.
    const QString& LastRequest() const { return lastRequest_; }

private:
    DialogService& dialogs_;
    // The temporary wave of a stored message last played; goes after the player has stopped.
    std::unique_ptr<QTemporaryFile> playedCopy_;
    WavePlayer player_;
    QString lastRequest_;
};
