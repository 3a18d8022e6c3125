#pragma once

#include <QObject>
#include <QString>
#include <memory>

class QSoundEffect;

// Plays the program's wave files in the background, one at a time. Play returns at once; a new
// Play replaces the sound that is playing; Stop ends it. Without an audio output nothing is played
// (and nothing waits for a device); playback errors are not reported. Needs the event loop to run
// for the sound to load and play.
class WavePlayer : public QObject {
    Q_OBJECT

public:
    explicit WavePlayer(QObject* parent = nullptr);
    ~WavePlayer() override;

    // True when the system lists an audio output to play on.
    static bool HasAudioOutput();

    // Starts playing path; false when there is no audio output (nothing is started then).
    bool Play(const QString& path);
    // Stops the program's sound, if any.
    void Stop();

    // The file of the sound last started and not stopped; empty when none.
    QString CurrentSource() const;
    bool IsPlaying() const;

private:
    std::unique_ptr<QSoundEffect> effect_;
};
