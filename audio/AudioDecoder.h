#pragma once

#include <QFile>
#include <QString>
#include <memory>
#include <vector>

struct sf_private_tag;

// Decodes a sound file with libsndfile (WAV of any PCM or float format, AIFF, FLAC, Ogg Vorbis,
// Opus, MP3, as far as the library reads them) and gives its sound mixed down to one channel, as
// floats where full scale is 1.0. The file is read through a QFile the decoder owns, so any path
// Qt can open works; both are closed when the decoder goes.
class AudioDecoder {
public:
    AudioDecoder();
    ~AudioDecoder();
    AudioDecoder(const AudioDecoder&) = delete;
    AudioDecoder& operator=(const AudioDecoder&) = delete;

    // False with the reason in ErrorText() when path cannot be opened or is no sound file the
    // library reads.
    [[nodiscard]] bool Open(const QString& path);

    int SampleRate() const { return sampleRate_; }
    int Channels() const { return channels_; }
    // The frames the file says it holds; 0 when it does not say.
    qint64 Frames() const { return frames_; }
    // True when the samples are integers of at most 16 bits: every value read is then a whole
    // number of 16-bit steps.
    bool HoldsAtMost16Bits() const { return atMost16Bits_; }

    // Reads up to maxFrames frames, each the mean of its channels, into mono. Returns the frames
    // read: 0 at the end, -1 on a decoding error (ErrorText() says which).
    qint64 ReadMono(float* mono, qint64 maxFrames);

    const QString& ErrorText() const { return error_; }

private:
    QFile file_;
    std::unique_ptr<sf_private_tag, int (*)(sf_private_tag*)> sound_;
    std::vector<float> interleaved_;
    int sampleRate_ = 0;
    int channels_ = 0;
    qint64 frames_ = 0;
    bool atMost16Bits_ = false;
    QString error_;
};
