// Web upload throughput: a tree of 500 web files of 2 to 20 KB in 20 folders, up to three levels
// deep, sent to the controller simulator by the web upload and, in the same run and to the same
// kind of server, by `lftp mirror -R` in active mode. Prints files per second for both and their
// ratio. Not a test: run it by hand (or from CI) and read the figures.
//
//     bench/web_upload_bench [files]

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>

#include "app/ToolApp.h"
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

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const int files = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 500;
    QTemporaryDir temp;
    const QString root = temp.filePath(u"web"_s);
    if (!temp.isValid() || !MakeTree(root, files)) {
        std::fprintf(stderr, "could not make the tree\n");
        return 1;
    }

    // The web upload.
    ControllerSimulator ours(QuietServer());
    if (!ours.Start()) {
        std::fprintf(stderr, "simulator: %s\n", qPrintable(ours.ErrorText()));
        return 1;
    }
    QDir(ours.LocalPath(u"/rfa/web"_s)).removeRecursively();
    ControllerSession session;
    FakeProgressFactory progress;
    session.SetProgressFactory(&progress);
    if (!session.Connect(ToolApp::AppCaption(), ours.Host(), ours.User(), ours.Password(),
                         ours.Port()) ||
        !session.SetRemoteDirectory(u"/rfa"_s)) {
        std::fprintf(stderr, "connect: %s\n", qPrintable(session.LastError()));
        return 1;
    }
    CategorySettings settings;
    QElapsedTimer timer;
    timer.start();
    const TransferReport report = WebUpload(session, settings, progress).Run(root, u"bench"_s);
    const double ourSeconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    session.Disconnect();
    const int ourCount = CountFiles(ours.LocalPath(u"/rfa/web"_s));
    if (report.outcome != TransferReport::Outcome::Done || ourCount != files) {
        std::fprintf(stderr, "web upload failed (%d of %d files): %s\n", ourCount, files,
                     qPrintable(report.reason));
        return 1;
    }

    // lftp, active mode, to a fresh simulator.
    ControllerSimulator theirs(QuietServer());
    if (!theirs.Start()) {
        std::fprintf(stderr, "simulator: %s\n", qPrintable(theirs.ErrorText()));
        return 1;
    }
    QDir(theirs.LocalPath(u"/rfa/web"_s)).removeRecursively();
    const QString script =
        u"set ftp:passive-mode off; set net:max-retries 1; open -u %1,%2 -p %3 %4; "
        u"mirror -R %5 /rfa/web; quit"_s.arg(theirs.User(), theirs.Password())
            .arg(theirs.Port())
            .arg(theirs.Host(), root);
    QProcess lftp;
    timer.restart();
    lftp.start(u"lftp"_s, {u"-c"_s, script});
    const bool finished = lftp.waitForFinished(600000);
    const double theirSeconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    const int theirCount = CountFiles(theirs.LocalPath(u"/rfa/web"_s));
    if (!finished || lftp.exitCode() != 0 || theirCount != files) {
        std::fprintf(stderr, "lftp failed (%d of %d files): %s\n", theirCount, files,
                     lftp.readAllStandardError().constData());
        return 1;
    }

    const double ourRate = files / ourSeconds;
    const double theirRate = files / theirSeconds;
    std::printf("files                 %d in %d folders\n", files, kFolders);
    std::printf("web upload            %.2f s  %.1f files/s\n", ourSeconds, ourRate);
    std::printf("lftp mirror -R        %.2f s  %.1f files/s\n", theirSeconds, theirRate);
    std::printf("ratio (ours / lftp)   %.2f  (target: at least 0.50)\n", ourRate / theirRate);
    return 0;
}
