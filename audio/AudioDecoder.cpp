#include "audio/AudioDecoder.h"

#include <sndfile.h>

#include "base/RegularFile.h"

using namespace Qt::StringLiterals;

namespace {

// libsndfile reads and seeks through these, on the decoder's QFile.
QFile& FileOf(void* user) {
    return *static_cast<QFile*>(user);
}
sf_count_t Length(void* user) {
    return FileOf(user).size();
}
sf_count_t Seek(sf_count_t offset, int whence, void* user) {
    QFile& file = FileOf(user);
    const qint64 base = whence == SEEK_CUR ? file.pos() : whence == SEEK_END ? file.size() : 0;
    return file.seek(base + offset) ? file.pos() : -1;
}
sf_count_t Read(void* data, sf_count_t count, void* user) {
    return qMax<qint64>(0, FileOf(user).read(static_cast<char*>(data), count));
}
sf_count_t Write(const void*, sf_count_t, void*) {
    return 0;
}
sf_count_t Tell(void* user) {
    return FileOf(user).pos();
}

}  // namespace

AudioDecoder::AudioDecoder() : sound_(nullptr, &sf_close) {}

AudioDecoder::~AudioDecoder() = default;

bool AudioDecoder::Open(const QString& path) {
    sound_.reset();
    file_.close();
    file_.setFileName(path);
    error_ = regular_file::Refusal(path);
    if (!error_.isEmpty()) {
        return false;
    }
    if (!file_.open(QIODevice::ReadOnly)) {
        error_ = file_.errorString();
        return false;
    }
    static SF_VIRTUAL_IO io{&Length, &Seek, &Read, &Write, &Tell};
    SF_INFO info{};
    sound_.reset(sf_open_virtual(&io, SFM_READ, &info, &file_));
    if (!sound_) {
        error_ = QString::fromUtf8(sf_strerror(nullptr));
        file_.close();
        return false;
    }
    if (info.channels < 1 || info.samplerate < 1) {
        error_ = u"The file states %1 channels at %2 samples per second."_s.arg(info.channels)
                     .arg(info.samplerate);
        sound_.reset();
        file_.close();
        return false;
    }
    sampleRate_ = info.samplerate;
    channels_ = info.channels;
    frames_ = info.frames > 0 && info.frames < SF_COUNT_MAX ? info.frames : 0;
    const int subtype = info.format & SF_FORMAT_SUBMASK;
    atMost16Bits_ =
        subtype == SF_FORMAT_PCM_S8 || subtype == SF_FORMAT_PCM_U8 || subtype == SF_FORMAT_PCM_16;
    return true;
}

qint64 AudioDecoder::ReadMono(float* mono, qint64 maxFrames) {
    if (!sound_) {
        return -1;
    }
    if (channels_ == 1) {
        const sf_count_t read = sf_readf_float(sound_.get(), mono, maxFrames);
        if (read < maxFrames && sf_error(sound_.get()) != SF_ERR_NO_ERROR) {
            error_ = QString::fromUtf8(sf_strerror(sound_.get()));
            return -1;
        }
        return read;
    }
    interleaved_.resize(static_cast<size_t>(maxFrames * channels_));
    const sf_count_t read = sf_readf_float(sound_.get(), interleaved_.data(), maxFrames);
    if (read < maxFrames && sf_error(sound_.get()) != SF_ERR_NO_ERROR) {
        error_ = QString::fromUtf8(sf_strerror(sound_.get()));
        return -1;
    }
    const float scale = 1.0F / static_cast<float>(channels_);
    const float* frame = interleaved_.data();
    for (sf_count_t i = 0; i < read; ++i, frame += channels_) {
        float sum = 0;
        for (int c = 0; c < channels_; ++c) {
            sum += frame[c];
        }
        mono[i] = sum * scale;
    }
    return read;
}
