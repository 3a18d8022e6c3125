// Faulty controllers among healthy ones: what is tried again, the hard time limit, and cancel.

#include <QElapsedTimer>
#include <QTemporaryDir>

#include "tests/site/SiteRun.h"
#include "tests/support/HistoryReader.h"
#include "tests/support/TestMain.h"

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(ControllerSimulator::Options)

namespace {

ControllerSimulator::Options With(const std::function<void(ControllerSimulator::Options&)>& set) {
    ControllerSimulator::Options options;
    set(options);
    return options;
}

}  // namespace

class TestSiteFaults : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void transientFailuresAreTriedAgain_data() {
        QTest::addColumn<ControllerSimulator::Options>("fault");
        QTest::addColumn<QString>("result");
        QTest::addColumn<int>("attempts");
        QTest::newRow("421 once, then well")
            << With([](auto& o) { o.close421After = 3; }) << u"done"_s << 2;
        QTest::newRow("421 at every greeting")
            << With([](auto& o) { o.greeting421 = true; }) << u"failed"_s << 3;
        QTest::newRow("data connections reset")
            << With([](auto& o) { o.dropAfter = 0; }) << u"failed"_s << 3;
        QTest::newRow("replies out of step")
            << With([](auto& o) { o.doubleReply = u"TYPE"_s; }) << u"failed"_s << 3;
        QTest::newRow("login refused")
            << With([](auto& o) { o.refuseLogin = true; }) << u"failed"_s << 1;
    }

    void transientFailuresAreTriedAgain() {
        QFETCH(ControllerSimulator::Options, fault);
        QFETCH(QString, result);
        QFETCH(int, attempts);
        SimulatorFleet fleet;
        QVERIFY2(fleet.Start({{}, fault}), qPrintable(fleet.ErrorText()));
        QVERIFY(fleet.PutOnAll(u"/rfa/cfg/system.cfg"_s, "[System]\r\n"));
        QTemporaryDir folder;
        QVERIFY(fleet.WriteSite(folder.path()));
        QString error;
        const auto run = RunSite(folder.path(), SiteRequest(SiteOperation::Command::Backup),
                                 fleet.At(0).Password(), &error);
        QVERIFY2(run, qPrintable(error));
        const ControllerOutcome& faulty = run->Outcomes()[1];
        QCOMPARE(ResultName(run->Outcomes()[0].result), u"done"_s);
        QCOMPARE(run->Outcomes()[0].attempts, 1);
        QVERIFY2(ResultName(faulty.result) == result, qPrintable(faulty.message));
        QCOMPARE(faulty.attempts, attempts);
        // Only what succeeded is in the history.
        const HistoryReader history(folder.filePath(u"history"_s));
        QVERIFY(history.File(u"c1/rfa/cfg/system.cfg"_s));
        QCOMPARE(history.File(u"c2/rfa/cfg/system.cfg"_s).has_value(), result == u"done"_s);
    }

    void timeLimitBoundsAStalledController_data() {
        QTest::addColumn<ControllerSimulator::Options>("fault");
        QTest::newRow("greeting never comes") << With([](auto& o) { o.greetingDelay = 60; });
        QTest::newRow("every reply slow") << With([](auto& o) { o.replyDelay = 1.2; });
        QTest::newRow("data stalls") << With([](auto& o) { o.stallAfter = 20000; });
        QTest::newRow("data trickles") << With([](auto& o) { o.trickle = 4000; });
    }

    void timeLimitBoundsAStalledController() {
        QFETCH(ControllerSimulator::Options, fault);
        SimulatorFleet fleet;
        QVERIFY2(fleet.Start({{}, fault}), qPrintable(fleet.ErrorText()));
        QVERIFY(fleet.PutOnAll(u"/rfa/fw/zone.uim"_s, QByteArray(200000, 'f')));
        QTemporaryDir folder;
        QVERIFY(fleet.WriteSite(folder.path()));
        SiteOperation::Request request = SiteRequest(SiteOperation::Command::Backup);
        const int limit = 3;
        request.run.limits.timeLimit = std::chrono::seconds(limit);
        QElapsedTimer clock;
        clock.start();
        QString error;
        const auto run = RunSite(folder.path(), request, fleet.At(0).Password(), &error);
        QVERIFY2(run, qPrintable(error));
        const ControllerOutcome& healthy = run->Outcomes()[0];
        const ControllerOutcome& stalled = run->Outcomes()[1];
        QVERIFY2(ResultName(healthy.result) == u"done"_s, qPrintable(healthy.message));
        QVERIFY(healthy.seconds < limit);  // never waited for the other
        QCOMPARE(ResultName(stalled.result), u"failed"_s);
        QVERIFY2(stalled.seconds <= limit + 1.0,
                 qPrintable(u"%1 s: "_s.arg(stalled.seconds) + stalled.message));
        QVERIFY(clock.elapsed() < (limit + 2) * 1000);
    }

    void oneCancelStopsEveryController() {
        ControllerSimulator::Options slow;
        slow.trickle = 2000;
        SimulatorFleet fleet;
        QVERIFY2(fleet.Start({slow, slow, slow}), qPrintable(fleet.ErrorText()));
        QVERIFY(fleet.PutOnAll(u"/boot/app.bim"_s, QByteArray(100000, 'a')));
        QTemporaryDir folder;
        QVERIFY(fleet.WriteSite(folder.path()));
        SiteOperation::Request request = SiteRequest(SiteOperation::Command::Backup);
        request.run.parallel = 2;  // the third waits, and is cancelled before it starts
        SiteOperation operation(folder.path());
        QString error;
        QVERIFY2(operation.Prepare(request, &error), qPrintable(error));
        QSignalSpy progress(&operation.Runner(), &SiteRunner::ProgressChanged);
        QSignalSpy finished(&operation, &SiteOperation::Finished);
        operation.Start({{u"c1"_s, fleet.At(0).Password()},
                         {u"c2"_s, fleet.At(0).Password()},
                         {u"c3"_s, fleet.At(0).Password()}});
        QTRY_VERIFY_WITH_TIMEOUT(!progress.isEmpty() && progress.last().at(1).toLongLong() > 0,
                                 20000);
        QElapsedTimer clock;
        clock.start();
        operation.Cancel();
        QVERIFY(finished.wait(5000));
        QVERIFY(clock.elapsed() < 2000);
        for (const ControllerOutcome& outcome : operation.Outcomes()) {
            QCOMPARE(ResultName(outcome.result), u"cancelled"_s);
        }
        QCOMPARE(HistoryReader(folder.filePath(u"history"_s)).Commits(), 0);
    }
};

VANTREL_TEST_MAIN(TestSiteFaults)
#include "test_site_faults.moc"
