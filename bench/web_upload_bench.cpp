// Web upload throughput: a tree of 500 web files of 2 to 20 KB in 20 folders, up to three levels
// deep, sent to the controller simulator by the web upload and, in the same run and to the same
// kind of server, by `lftp mirror -R` in active mode. Prints files per second for both and their
// ratio. Not a test: run it by hand (or from CI) and read the figures.
//
//     bench/web_upload_bench [files] [rounds]

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "base/ToolState.h"
#include "controller/ControllerSession.h"
#include "tests/support/ControllerSimulator.h"
#include "tests/support/FakeProgress.h"
#include "transfer/CategorySettings.h"
#include "transfer/WebUpload.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kFolders = 20;

// The 20 folders below the root: five trees of root/aN, root/aN/bN, root/aN/bN/cN and root/aN/dN.
QStringList FolderNames() {
    QStringList folders;
    for (int i = 0; folders.size() < kFolders; ++i) {
        const QString top = u"a%1"_s.arg(i);
        folders << top << top + u"/b"_s << top + u"/b/c"_s << top + u"/d"_s;
    }
    return folders;
}

bool MakeTree(const QString& root, int files) {
    static const QStringList kExtensions = {u"htm"_s, u"gif"_s, u"js"_s,  u"css"_s,
                                            u"jpg"_s, u"svg"_s, u"asp"_s, u"bmp"_s};
    const QStringList folders = FolderNames();
    QRandomGenerator random(5);
    for (int i = 0; i < files; ++i) {
        const QString folder = root + u'/' + folders[i % folders.size()];
        if (!QDir().mkpath(folder)) {
            return false;
        }
        QFile file(folder + u"/f%1."_s.arg(i) + kExtensions[i % kExtensions.size()]);
        QByteArray bytes(random.bounded(2 * 1024, 20 * 1024 + 1), Qt::Uninitialized);
        for (char& byte : bytes) {
            byte = static_cast<char>(u'a' + random.bounded(26));
            if (random.bounded(60) == 0) {
                byte = '\n';
            }
        }
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            return false;
        }
    }
    return true;
}

int CountFiles(const QString& root) {
    int count = 0;
    QDir dir(root);
    count += static_cast<int>(dir.entryList(QDir::Files).size());
    for (const QString& sub : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        count += CountFiles(dir.filePath(sub));
    }
    return count;
}

ControllerSimulator::Options QuietServer() {
    ControllerSimulator::Options options;
    options.logCommands = false;
    return options;
}

// Starts server with no /rfa/web folder, so that every run makes the whole tree.
bool StartWithoutWebFolder(ControllerSimulator& server) {
    if (!server.Start()) {
        std::fprintf(stderr, "simulator: %s\n", qPrintable(server.ErrorText()));
        return false;
    }
    return QDir(server.LocalPath(u"/rfa/web"_s)).removeRecursively();
}

// Seconds the web upload takes to send the tree below root to a fresh simulator; negative on
// failure.
double TimeWebUpload(const QString& root, int files) {
    ControllerSimulator server(QuietServer());
    if (!StartWithoutWebFolder(server)) {
        return -1;
    }
    ControllerSession session;
    FakeProgressFactory progress;
    session.SetProgressFactory(&progress);
    if (!session.Connect(ToolState::AppCaption(), server.Host(), server.User(), server.Password(),
                         server.Port()) ||
        !session.SetRemoteDirectory(u"/rfa"_s)) {
        std::fprintf(stderr, "connect: %s\n", qPrintable(session.LastError()));
        return -1;
    }
    CategorySettings settings;
    QElapsedTimer timer;
    timer.start();
    const TransferReport report = WebUpload(session, settings, progress).Run(root);
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    session.Disconnect();
    const int sent = CountFiles(server.LocalPath(u"/rfa/web"_s));
    if (report.outcome != TransferReport::Outcome::Done || sent != files) {
        std::fprintf(stderr, "web upload failed (%d of %d files): %s\n", sent, files,
                     qPrintable(report.reason));
        return -1;
    }
    return seconds;
}

// The same with lftp in active mode.
double TimeLftp(const QString& root, int files) {
    ControllerSimulator server(QuietServer());
    if (!StartWithoutWebFolder(server)) {
        return -1;
    }
    const QString script =
        u"set ftp:passive-mode off; set net:max-retries 1; open -u %1,%2 -p %3 %4; "
        u"mirror -R %5 /rfa/web; quit"_s.arg(server.User(), server.Password())
            .arg(server.Port())
            .arg(server.Host(), root);
    QProcess lftp;
    QElapsedTimer timer;
    timer.start();
    lftp.start(u"lftp"_s, {u"-c"_s, script});
    const bool finished = lftp.waitForFinished(600000);
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    const int sent = CountFiles(server.LocalPath(u"/rfa/web"_s));
    if (!finished || lftp.exitCode() != 0 || sent != files) {
        std::fprintf(stderr, "lftp failed (%d of %d files): %s\n", sent, files,
                     lftp.readAllStandardError().constData());
        return -1;
    }
    return seconds;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const int files = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 500;
    const int rounds = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 3;
    QTemporaryDir temp;
    const QString root = temp.filePath(u"web"_s);
    if (!temp.isValid() || files < 1 || rounds < 1 || !MakeTree(root, files)) {
        std::fprintf(stderr, "usage: web_upload_bench [files] [rounds]\n");
        return 1;
    }

    // Rounds alternate between the two so that a busy machine slows both alike; the medians
    // are compared.
    std::vector<double> ours;
    std::vector<double> theirs;
    std::printf("files %d in %d folders, %d rounds\n", files, kFolders, rounds);
    for (int round = 0; round < rounds; ++round) {
        ours.push_back(TimeWebUpload(root, files));
        theirs.push_back(TimeLftp(root, files));
        if (ours.back() < 0 || theirs.back() < 0) {
            return 1;
        }
        std::printf("round %d: web upload %.1f files/s, lftp mirror -R %.1f files/s\n", round + 1,
                    files / ours.back(), files / theirs.back());
    }
    std::sort(ours.begin(), ours.end());
    std::sort(theirs.begin(), theirs.end());
    const double ourRate = files / ours[ours.size() / 2];
    const double theirRate = files / theirs[theirs.size() / 2];
    std::printf("web upload (median)       %.1f files/s\n", ourRate);
    std::printf("lftp mirror -R (median)   %.1f files/s\n", theirRate);
    std::printf("ratio (ours / lftp)       %.2f  (target: at least 1.50)\n", ourRate / theirRate);
    return 0;
}
