// Times a push of one message set to many controller simulators on loopback, 8 at a time, against
// the same upload by `xargs -P 8 curl -T FILE --ftp-port -` to the same simulators in the same
// run, and a backup of controllers unchanged since the last one against listing their folders
// with curl, 8 at a time. Prints the ratios (ours / the baseline; lower is better). Targets: the
// push without read-back at most 1.0x the curl fan-out, with read-back at most 2.0x; the
// unchanged backup (which makes no commit) at most 1.2x the listing.
//
//     build/bench/fleet_bench [controllers=20] [megabytes=1] [rounds=3]
//
// Each figure is the median of the rounds; before each push round the file is removed from every
// simulator, so that each push finds the same state.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

#include "bench/Median.h"
#include "site/SiteOperation.h"
#include "tests/support/HistoryReader.h"
#include "tests/support/SimulatorFleet.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kParallel = 8;

double Seconds(const std::function<bool()>& run) {
    QElapsedTimer timer;
    timer.start();
    return run() ? static_cast<double>(timer.nsecsElapsed()) / 1e9 : -1;
}

// xargs -P 8 over one curl command line per controller (the URLs are given one a line).
bool CurlFanOut(const QStringList& curlArguments, const QStringList& urls) {
    QProcess xargs;
    xargs.start(u"xargs"_s, QStringList{u"-P"_s, QString::number(kParallel), u"-n"_s, u"1"_s,
                                        u"curl"_s, u"-sS"_s, u"--ftp-port"_s, u"-"_s} +
                                curlArguments);
    xargs.write(urls.join(u'\n').toUtf8() + '\n');
    xargs.closeWriteChannel();
    if (!xargs.waitForFinished(600000) || xargs.exitCode() != 0) {
        std::fprintf(stderr, "curl fan-out failed: %s\n", xargs.readAllStandardError().constData());
        return false;
    }
    return true;
}

bool RunSite(const QString& folder, const SiteOperation::Request& request,
             const QString& password) {
    SiteOperation operation(folder);
    QString error;
    if (!operation.Prepare(request, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return false;
    }
    QHash<QString, QString> passwords;
    for (const SiteFile::Controller& controller : operation.Targets()) {
        passwords.insert(controller.name, password);
    }
    QEventLoop loop;
    QObject::connect(&operation, &SiteOperation::Finished, &loop, &QEventLoop::quit);
    operation.Start(passwords);
    loop.exec();
    if (!operation.Succeeded()) {
        for (const ControllerOutcome& outcome : operation.Outcomes()) {
            if (outcome.result != ControllerOutcome::Result::Done) {
                std::fprintf(stderr, "%s: %s\n", qPrintable(outcome.controller),
                             qPrintable(outcome.message));
            }
        }
        return false;
    }
    return true;
}

void Row(const char* what, double seconds, double baseline, double target) {
    std::printf("%-34s %8.3f s   ratio %5.2f (target <= %.1f)\n", what, seconds, seconds / baseline,
                target);
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const int controllers = argc > 1 ? std::max(1, atoi(argv[1])) : 20;
    const int megabytes = argc > 2 ? std::max(1, atoi(argv[2])) : 1;
    const int rounds = argc > 3 ? std::max(1, atoi(argv[3])) : 3;

    SimulatorFleet fleet;
    if (!fleet.Start(QList<ControllerSimulator::Options>(controllers))) {
        std::fprintf(stderr, "%s\n", qPrintable(fleet.ErrorText()));
        return 1;
    }
    QTemporaryDir work;
    const QString site = work.filePath(u"site"_s);
    if (!fleet.WriteSite(site)) {
        return 1;
    }
    const QString password = fleet.At(0).Password();
    const QString set = work.filePath(u"bench.set"_s);
    {
        QFile file(set);
        QByteArray bytes(megabytes * 1024 * 1024, '\0');
        QRandomGenerator(20).fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            return 1;
        }
    }
    auto clean = [&] {
        for (int i = 0; i < controllers; ++i) {
            QFile::remove(fleet.At(i).LocalPath(u"/mmu/bench.set"_s));
        }
    };
    QStringList uploadUrls;
    QStringList listUrls;
    for (int i = 0; i < controllers; ++i) {
        const QString base = u"ftp://127.0.0.1:%1/"_s.arg(fleet.At(i).Port());
        uploadUrls << base + u"mmu/bench.set"_s;
        // One curl per controller lists the folders a backup lists, over one connection.
        listUrls << QStringList{base + u"mmu/"_s,    base + u"rfa/cfg/"_s, base + u"rfa/fw/"_s,
                                base + u"boot/"_s,   base + u"rfa/drv/"_s, base + u"rfa/cfg/def/"_s,
                                base + u"rfa/web/"_s}
                        .join(u' ');
    }
    const QStringList user = {u"--user"_s, fleet.At(0).User() + u':' + password};

    SiteOperation::Request push;
    push.command = SiteOperation::Command::Push;
    push.category = FileCategory::MessageSet;
    push.localPath = set;
    push.run.parallel = kParallel;
    std::vector<double> curl;
    std::vector<double> plain;
    std::vector<double> proven;
    for (int round = 0; round < rounds; ++round) {
        clean();
        curl.push_back(Seconds([&] {
            return CurlFanOut(user + QStringList{u"-T"_s, set}, uploadUrls);
        }));
        clean();
        push.readBack = false;
        plain.push_back(Seconds([&] { return RunSite(site, push, password); }));
        clean();
        push.readBack = true;
        proven.push_back(Seconds([&] { return RunSite(site, push, password); }));
    }

    SiteOperation::Request backup;
    backup.command = SiteOperation::Command::Backup;
    backup.run.parallel = kParallel;
    if (!RunSite(site, backup, password)) {
        return 1;
    }
    const int commits = HistoryReader(QDir(site).filePath(u"history"_s)).Commits();
    std::vector<double> listing;
    std::vector<double> unchanged;
    for (int round = 0; round < rounds; ++round) {
        // xargs splits a line into its URLs: one curl per controller.
        listing.push_back(Seconds([&] {
            QProcess xargs;
            xargs.start(u"xargs"_s,
                        QStringList{u"-P"_s, QString::number(kParallel), u"-L"_s, u"1"_s, u"curl"_s,
                                    u"-sS"_s, u"-o"_s, u"/dev/null"_s, u"--ftp-port"_s, u"-"_s} +
                            user);
            xargs.write(listUrls.join(u'\n').toUtf8() + '\n');
            xargs.closeWriteChannel();
            return xargs.waitForFinished(600000) && xargs.exitCode() == 0;
        }));
        unchanged.push_back(Seconds([&] { return RunSite(site, backup, password); }));
    }
    const bool noCommit = HistoryReader(QDir(site).filePath(u"history"_s)).Commits() == commits;

    for (const auto* figures : {&curl, &plain, &proven, &listing, &unchanged}) {
        if (std::find(figures->begin(), figures->end(), -1.0) != figures->end()) {
            std::fprintf(stderr, "a run failed\n");
            return 1;
        }
    }
    std::printf("%d controllers, %d MB set, %d at a time, median of %d rounds\n", controllers,
                megabytes, kParallel, rounds);
    std::printf("%-34s %8.3f s\n", "xargs -P 8 curl -T (baseline)", Median(curl));
    Row("push without read-back", Median(plain), Median(curl), 1.0);
    Row("push with read-back", Median(proven), Median(curl), 2.0);
    std::printf("%-34s %8.3f s\n", "xargs -P 8 curl listing (baseline)", Median(listing));
    Row("backup, nothing changed", Median(unchanged), Median(listing), 1.2);
    std::printf("unchanged backup made %s\n", noCommit ? "no commit" : "A COMMIT");
    return noCommit ? 0 : 1;
}
