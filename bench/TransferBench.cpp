// Times Upload and Download of a large file through ControllerSession (its own FTP client)
// against the controller simulator on loopback, and the same transfers with the curl command line
// tool in active mode against the same server in the same run, and prints the ratios (ours /
// curl's; lower is better). Targets: at most curl's time without the window, at most 1.1 times
// with it.
//
//     build/bench/transfer_bench [megabytes=256] [rounds=5]
//
// Each figure is the best of the rounds. "shown" runs the copy with a real progress window (on
// the offscreen platform when there is no display) pumping events once per block, without the
// one-second pause.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

#include "controller/ControllerSession.h"
#include "progress/ProgressWindowFactory.h"
#include "tests/support/ControllerSimulator.h"

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

// Seconds one run takes; -1 when it failed.
double Seconds(const std::function<bool()>& run) {
    QElapsedTimer timer;
    timer.start();
    if (!run()) {
        return -1;
    }
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

bool RunCurl(const QStringList& arguments) {
    QProcess curl;
    curl.start(u"curl"_s, QStringList{u"-sS"_s, u"--ftp-port"_s, u"-"_s} + arguments);
    if (!curl.waitForFinished(600000) || curl.exitCode() != 0) {
        std::fprintf(stderr, "curl failed: %s\n", curl.readAllStandardError().constData());
        return false;
    }
    return true;
}

void PrintRow(const char* what, double seconds, double baseline, qint64 bytes) {
    std::printf("%-28s %8.3f s %9.1f MB/s   ratio to curl %5.2f\n", what, seconds,
                static_cast<double>(bytes) / 1e6 / seconds, seconds / baseline);
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    const qint64 megabytes = argc > 1 ? QString::fromLocal8Bit(argv[1]).toLongLong() : 256;
    const int rounds = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 5;
    const qint64 size = megabytes * 1000 * 1000;

    QTemporaryDir folder;
    const QString source = folder.filePath(u"source.bin"_s);
    {
        QFile file(source);
        if (!file.open(QIODevice::WriteOnly)) {
            return 1;
        }
        QByteArray block(1 << 20, Qt::Uninitialized);
        QRandomGenerator generator(42);
        for (char& byte : block) {
            byte = static_cast<char>(generator.bounded(256));
        }
        for (qint64 written = 0; written < size; written += block.size()) {
            file.write(block.constData(), std::min<qint64>(block.size(), size - written));
        }
    }

    ControllerSimulator::Options options;
    options.logCommands = false;
    ControllerSimulator simulator(options);
    if (!simulator.Start()) {
        std::fprintf(stderr, "%s\n", qPrintable(simulator.ErrorText()));
        return 1;
    }
    const QString base = u"ftp://127.0.0.1:%1"_s.arg(simulator.Port());
    const QString credentials = simulator.User() + u':' + simulator.Password();

    ControllerSession session;
    ProgressWindowFactory windows;
    session.SetProgressPause(0ms);
    if (!session.Connect(u"bench"_s, simulator.Host(), simulator.User(), simulator.Password(),
                         simulator.Port())) {
        std::fprintf(stderr, "%s\n", qPrintable(session.LastError()));
        return 1;
    }
    // One copy through the session, with the progress window when shown. Each variant replaces
    // its own files of the round before, as curl does: replacing a file written a moment ago
    // costs the server more than replacing an older one.
    auto transfer = [&](bool upload, bool shown) {
        session.SetProgressFactory(shown ? &windows : nullptr);
        const QString remote = shown ? u"/mmu/session shown.bin"_s : u"/mmu/session.bin"_s;
        const QString local = folder.filePath(shown ? u"shown back.bin"_s : u"session back.bin"_s);
        const bool ok = upload ? session.Upload(remote, source, TransferType::Binary, shown)
                               : session.Download(local, remote, TransferType::Binary, shown);
        if (!ok) {
            std::fprintf(stderr, "%s\n", qPrintable(session.LastError()));
        }
        return ok;
    };

    // The variants take turns within each round, so that a busy machine slows them alike.
    double curlUp = 1e9, ourUp = 1e9, ourUpShown = 1e9;
    double curlDown = 1e9, ourDown = 1e9, ourDownShown = 1e9;
    for (int round = 0; round < rounds; ++round) {
        const double times[] = {
            Seconds([&] {
                return RunCurl({u"-u"_s, credentials, u"-T"_s, source, base + u"/mmu/curl.bin"_s});
            }),
            Seconds([&] { return transfer(true, false); }),
            Seconds([&] { return transfer(true, true); }),
            Seconds([&] {
                return RunCurl({u"-u"_s, credentials, u"-o"_s, folder.filePath(u"curl back.bin"_s),
                                base + u"/mmu/curl.bin"_s});
            }),
            Seconds([&] { return transfer(false, false); }),
            Seconds([&] { return transfer(false, true); }),
        };
        for (double time : times) {
            if (time < 0) {
                return 1;
            }
        }
        curlUp = std::min(curlUp, times[0]);
        ourUp = std::min(ourUp, times[1]);
        ourUpShown = std::min(ourUpShown, times[2]);
        curlDown = std::min(curlDown, times[3]);
        ourDown = std::min(ourDown, times[4]);
        ourDownShown = std::min(ourDownShown, times[5]);
    }
    const bool same = QFile(folder.filePath(u"session back.bin"_s)).size() == size &&
                      QFile(simulator.LocalPath(u"/mmu/session.bin"_s)).size() == size;

    std::printf("%lld MB on loopback in active mode, best of %d (files complete: %s)\n",
                static_cast<long long>(megabytes), rounds, same ? "yes" : "NO");
    PrintRow("upload, curl", curlUp, curlUp, size);
    PrintRow("upload, session", ourUp, curlUp, size);
    PrintRow("upload, session, shown", ourUpShown, curlUp, size);
    PrintRow("download, curl", curlDown, curlDown, size);
    PrintRow("download, session", ourDown, curlDown, size);
    PrintRow("download, session, shown", ourDownShown, curlDown, size);
    // What the display itself costs: one advance and one pump per block, without any transfer.
    {
        QElapsedTimer timer;
        timer.start();
        ProgressWindow window(u"bench"_s, nullptr);
        window.MakeModal();
        window.SetBarRange(0, static_cast<int>(size >> 10), 40);
        window.SetText(u"Now uploading file : x\n"_s);
        window.RepaintNow();
        std::printf("%-28s %8.3f s\n", "progress window set-up",
                    static_cast<double>(timer.nsecsElapsed()) / 1e9);
        timer.start();
        const qint64 blocks = size / 40960 + 1;
        for (qint64 block = 0; block < blocks; ++block) {
            window.Advance();
            window.PumpMessages();
        }
        std::printf("%-28s %8.3f s (%lld blocks, %.1f us each)\n", "progress window alone",
                    static_cast<double>(timer.nsecsElapsed()) / 1e9, static_cast<long long>(blocks),
                    static_cast<double>(timer.nsecsElapsed()) / 1e3 / static_cast<double>(blocks));
    }
    const bool met = ourUp <= curlUp && ourDown <= curlDown;
    const bool metShown = ourUpShown <= 1.1 * curlUp && ourDownShown <= 1.1 * curlDown;
    std::printf("target without the window (at most curl's time): %s\n", met ? "met" : "NOT met");
    std::printf("target with the window (at most 1.1 times curl's time): %s\n",
                metShown ? "met" : "NOT met");
    return same ? 0 : 1;
}
