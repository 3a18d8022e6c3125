// Times the audio conversion against sox on the same input and compares their outputs. The input
// is made here: 60 s of a 48 kHz, stereo, 24-bit sweep (20 Hz to 20 kHz, logarithmic) plus white
// noise. Both convert it to mono, 16 bits, 44.1 kHz with TPDF dither, sox with its very high
// quality rate ("rate -v"). Prints the times, the time ratio and how far below the signal the
// difference of the two outputs lies; exits with 1 when a target is missed (time at most sox's,
// difference at least 60 dB below the signal).
//
//   audio_convert_bench [seconds = 60] [rounds = 5]
//
// The two run in turns; the time ratio is the median of the ratios of each turn.

#include <sndfile.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtEndian>
#include <cmath>
#include <memory>
#include <vector>

#include "audio/AudioConverter.h"
#include "bench/Median.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kInputRate = 48000;

bool WriteInput(const QString& path, double seconds) {
    SF_INFO info{};
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_24;
    info.channels = 2;
    info.samplerate = kInputRate;
    const std::unique_ptr<SNDFILE, int (*)(SNDFILE*)> file(
        sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info), &sf_close);
    if (!file) {
        return false;
    }
    const auto frames = static_cast<sf_count_t>(seconds * kInputRate);
    const double low = 20.0;
    const double ratio = std::log(20000.0 / low);
    QRandomGenerator noise(7);
    std::vector<float> block;
    for (sf_count_t start = 0; start < frames; start += 65536) {
        const sf_count_t count = std::min<sf_count_t>(65536, frames - start);
        block.resize(size_t(count * 2));
        for (sf_count_t i = 0; i < count; ++i) {
            const double t = double(start + i) / kInputRate;
            // Phase of a logarithmic sweep from low to 20 kHz over the whole input.
            const double phase =
                2 * M_PI * low * seconds / ratio * (std::exp(t / seconds * ratio) - 1);
            const double sweep = 0.4 * std::sin(phase);
            block[size_t(2 * i)] = float(sweep + 0.05 * (noise.generateDouble() * 2 - 1));
            block[size_t(2 * i + 1)] = float(sweep + 0.05 * (noise.generateDouble() * 2 - 1));
        }
        if (sf_writef_float(file.get(), block.data(), count) != count) {
            return false;
        }
    }
    return true;
}

std::vector<double> Samples(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray bytes = file.readAll().mid(44);
    std::vector<double> samples(size_t(bytes.size() / 2));
    for (size_t i = 0; i < samples.size(); ++i) {
        samples[i] = qFromLittleEndian<qint16>(bytes.constData() + 2 * i);
    }
    return samples;
}

// The power of a and of a - b (b shifted by lag samples), over the samples both have.
void Powers(const std::vector<double>& a, const std::vector<double>& b, int lag, double* signal,
            double* difference) {
    *signal = 0;
    *difference = 0;
    for (size_t i = 1000; i + 1000 < a.size(); ++i) {
        const qint64 j = qint64(i) + lag;
        if (j < 0 || j >= qint64(b.size())) {
            continue;
        }
        *signal += a[i] * a[i];
        *difference += (a[i] - b[size_t(j)]) * (a[i] - b[size_t(j)]);
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList args = QCoreApplication::arguments();
    const double seconds = args.size() > 1 ? args.at(1).toDouble() : 60;
    const int rounds = args.size() > 2 ? args.at(2).toInt() : 5;

    QTemporaryDir dir;
    const QString input = dir.filePath(u"input.wav"_s);
    const QString ours = dir.filePath(u"ours.wav"_s);
    const QString theirs = dir.filePath(u"sox.wav"_s);
    if (!dir.isValid() || !WriteInput(input, seconds)) {
        out << "cannot write the input" << Qt::endl;
        return 2;
    }
    const QStringList soxArguments{input,  u"-b"_s,   u"16"_s, u"-c"_s,    u"1"_s,
                                   theirs, u"rate"_s, u"-v"_s, u"44100"_s, u"dither"_s};
    auto runOurs = [&] { return AudioConverter().Convert(input, ours, true).Ok(); };
    auto runSox = [&] { return QProcess::execute(u"sox"_s, soxArguments) == 0; };
    out << QString::asprintf(
        "%.0f s of 48 kHz stereo 24-bit sweep and noise to 44.1 kHz mono "
        "16-bit; %d rounds, medians\n",
        seconds, rounds);
    if (!runOurs() || !runSox()) {
        out << "a first run failed (is sox installed?)" << Qt::endl;
        return 2;
    }
    std::vector<double> ourTimes;
    std::vector<double> soxTimes;
    std::vector<double> ratios;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        if (!runOurs()) {
            return 2;
        }
        ourTimes.push_back(timer.nsecsElapsed() / 1e6);
        timer.restart();
        if (!runSox()) {
            return 2;
        }
        soxTimes.push_back(timer.nsecsElapsed() / 1e6);
        ratios.push_back(ourTimes.back() / soxTimes.back());
    }
    const double timeRatio = Median(ratios);
    out << QString::asprintf("sox rate -v dither:          %8.1f ms\n", Median(soxTimes));
    out << QString::asprintf("conversion (core):           %8.1f ms\n", Median(ourTimes));
    out << QString::asprintf("time ours / sox ratio:       %8.2f  (target <= 1.00)\n", timeRatio);

    // The outputs should line up; the best lag of a few samples either way is taken all the same.
    const std::vector<double> a = Samples(ours);
    const std::vector<double> b = Samples(theirs);
    double bestSignal = 0;
    double bestDifference = -1;
    int bestLag = 0;
    for (int lag = -4; lag <= 4; ++lag) {
        double signal = 0;
        double difference = 0;
        Powers(a, b, lag, &signal, &difference);
        if (bestDifference < 0 || difference < bestDifference) {
            bestSignal = signal;
            bestDifference = difference;
            bestLag = lag;
        }
    }
    const double belowDb = 10 * std::log10(bestSignal / std::max(bestDifference, 1e-9));
    out << QString::asprintf("samples: ours %zu, sox %zu; lag %d\n", a.size(), b.size(), bestLag);
    out << QString::asprintf("difference below signal:     %8.1f dB  (target >= 60.0)\n", belowDb);
    const bool met = timeRatio <= 1.0 && belowDb >= 60.0 && bestLag == 0;
    out << (met ? "targets met" : "TARGETS MISSED") << Qt::endl;
    return met ? 0 : 1;
}
