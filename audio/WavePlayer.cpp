#include "audio/WavePlayer.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

WavePlayer::WavePlayer(QObject* parent) : QObject(parent) {}

WavePlayer::~WavePlayer() = default;

bool WavePlayer::HasAudioOutput() {
    return !QMediaDevices::audioOutputs().isEmpty();
}

bool WavePlayer::Play(const QString& path) {
    Stop();
    if (path.isEmpty() || !HasAudioOutput()) {
        return false;
    }
    // A fresh effect per sound: the one that played is stopped and gone, whatever state it was
    // in. The effect plays as soon as it has loaded the file.
    effect_ = std::make_unique<QSoundEffect>();
    effect_->setSource(QUrl::fromLocalFile(path));
    effect_->play();
    return true;
}

void WavePlayer::Stop() {
    if (effect_) {
        effect_->stop();
        effect_.reset();
    }
}

QString WavePlayer::CurrentSource() const {
    return effect_ ? effect_->source().toLocalFile() : QString();
}

bool WavePlayer::IsPlaying() const {
    return effect_ && effect_->isPlaying();
}
