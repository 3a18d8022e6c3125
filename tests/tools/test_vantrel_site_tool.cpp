// The installation tool as a user runs it: the built vantrel-site against several simulators.

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include "tests/support/SimulatorFleet.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMain.h"
#include "tests/support/ToolRun.h"

using namespace Qt::StringLiterals;

namespace {

ToolRun RunTool(const QStringList& arguments) {
    return RunProgram(QString::fromUtf8(VANTREL_SITE_PATH), arguments, QString(), 120000);
}

}  // namespace

class TestVantrelSiteTool : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void commandsFromInitToLog() {
        ControllerSimulator::Options cut;
        cut.truncateStored = 10;  // keeps only 10 bytes of what it is sent
        SimulatorFleet fleet;
        QVERIFY2(fleet.Start({{}, cut}), qPrintable(fleet.ErrorText()));
        QVERIFY(fleet.PutOnAll(u"/rfa/cfg/system.cfg"_s, "[System]\r\nZones=8\r\n"));
        QTemporaryDir work;
        const QString site = work.filePath(u"airport"_s);
        ToolRun run =
            RunTool({u"init"_s, site, u"--name"_s, u"Airport"_s, u"--engineer"_s, u"Jane Doe"_s});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        for (int i = 0; i < 2; ++i) {
            run = RunTool({u"add"_s, SimulatorFleet::Name(i), u"127.0.0.1"_s, u"--port"_s,
                           QString::number(fleet.At(i).Port()), u"--site"_s, site});
            QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        }
        QFile passwordFile(work.filePath(u"password"_s));
        QVERIFY(passwordFile.open(QIODevice::WriteOnly));
        passwordFile.write(fleet.At(0).Password().toUtf8() + "\n");
        passwordFile.close();
        const QStringList login = {u"--site"_s,          site,
                                   u"--password-file"_s, passwordFile.fileName(),
                                   u"--retry-pause"_s,   u"0.05"_s};

        const QString json = work.filePath(u"backup.json"_s);
        run = RunTool(QStringList{u"backup"_s, u"--json"_s, json} + login);
        QVERIFY2(run.exitCode == 0, qPrintable(run.out + run.err));
        QVERIFY(run.out.startsWith(u"controller  address"_s));
        const QJsonObject table = QJsonDocument::fromJson(test_files::ReadAll(json)).object();
        QCOMPARE(table[u"command"_s].toString(), u"backup"_s);
        const QJsonArray rows = table[u"controllers"_s].toArray();
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[1].toObject()[u"controller"_s].toString(), u"c2"_s);
        QCOMPARE(rows[1].toObject()[u"result"_s].toString(), u"done"_s);
        QCOMPARE(table[u"commits"_s].toArray().size(), 1);

        const QString file = work.filePath(u"system.cfg"_s);
        QFile next(file);
        QVERIFY(next.open(QIODevice::WriteOnly) && next.write("[System]\r\nZones=16\r\n") > 0);
        next.close();
        run = RunTool(QStringList{u"push"_s, u"configuration"_s, file} + login);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(
            run.out.contains(u"rfa/cfg/system.cfg on c2 may be incomplete; put the old one "
                             u"back with: vantrel-site restore c2 rfa/cfg/system.cfg --from "_s),
            qPrintable(run.out));

        run = RunTool({u"log"_s, u"--csv"_s, u"--site"_s, site});
        QCOMPARE(run.exitCode, 0);
        const QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.first(), u"date,engineer,controller,action,file,digest,result,commit"_s);
        QVERIFY(lines.filter(u",c1,push,rfa/cfg/system.cfg,"_s).first().contains(u"Jane Doe"_s));
        const QStringList failed = lines.filter(u",c2,push,rfa/cfg/system.cfg,,"_s);
        QCOMPARE(failed.size(), 1);
        QVERIFY2(failed.first().contains(u",\"failed: "_s), qPrintable(failed.first()));

        run = RunTool(QStringList{u"status"_s} + login);
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.contains(u"c2: changed rfa/cfg/system.cfg (19 -> 10 bytes)"_s),
                 qPrintable(run.out));
        QVERIFY(!run.out.contains(u"c1: "_s));
    }

    void usageErrorsExitWithTwo_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("no command") << QStringList{};
        QTest::newRow("unknown command") << QStringList{u"pull"_s};
        QTest::newRow("push without file") << QStringList{u"push"_s, u"web"_s};
        QTest::newRow("unknown category") << QStringList{u"push"_s, u"sounds"_s, u"a.set"_s};
        QTest::newRow("no parallel") << QStringList{u"backup"_s, u"--parallel"_s, u"0"_s};
        QTest::newRow("unknown option") << QStringList{u"status"_s, u"--to"_s, u"east"_s};
        QTest::newRow("bad name") << QStringList{u"add"_s, u"../up"_s, u"10.0.0.1"_s};
    }

    void usageErrorsExitWithTwo() {
        QFETCH(QStringList, arguments);
        const ToolRun run = RunTool(arguments);
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.err.contains(u"--help' for the usage."_s));
    }

    void everyCommandHasHelp_data() {
        QTest::addColumn<QString>("command");
        for (const char* command : {"init", "add", "backup", "push", "restore", "status", "log"}) {
            QTest::newRow(command) << QString::fromLatin1(command);
        }
    }

    void everyCommandHasHelp() {
        QFETCH(QString, command);
        const ToolRun run = RunTool({command, u"--help"_s});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.startsWith(u"Usage: vantrel-site "_s + command));
        QVERIFY(run.out.contains(u"Exit status: 0"_s));
    }
};

VANTREL_TEST_MAIN(TestVantrelSiteTool)
#include "test_vantrel_site_tool.moc"
