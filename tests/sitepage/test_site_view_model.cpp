// The Site page's view models against real simulators: the controllers' table through a push to
// three controllers with one failing, the record and the way back, edits of site.ini, cancel.

#include <QAbstractItemModelTester>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "base/PrivateProfile.h"
#include "sitepage/ControllerChoiceModel.h"
#include "sitepage/SiteViewModel.h"
#include "tests/support/SimulatorFleet.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMain.h"

using namespace Qt::StringLiterals;
using test_files::ReadAll;

namespace {

bool WriteFile(const QString& path, const QByteArray& contents) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

QString Cell(const QAbstractItemModel& model, int row, int column, int role = Qt::DisplayRole) {
    return model.data(model.index(row, column), role).toString();
}

// Prepares and runs the request with one password for all, to its end.
bool Run(SiteViewModel& view, const SiteOperation::Request& request, const QString& password,
         QString* errorText) {
    if (!view.Prepare(request, errorText)) {
        return false;
    }
    QHash<QString, QString> passwords;
    for (const SiteFile::Controller& controller : view.Targets()) {
        passwords.insert(controller.name, password);
    }
    QSignalSpy finished(&view, &SiteViewModel::RunFinished);
    view.Start(passwords);
    if (!finished.wait(60000)) {
        *errorText = u"the run did not finish"_s;
        return false;
    }
    return true;
}

SiteRunner::Options ShortOptions() {
    SiteRunner::Options options;
    options.limits.retryPause = std::chrono::milliseconds(50);
    options.limits.timeLimit = std::chrono::seconds(60);
    return options;
}

}  // namespace

class TestSiteViewModel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void pushWithOneFailureShowsInRowsAndRecord() {
        ControllerSimulator::Options full;
        full.storeFullAfter = 100;  // "552": permanent
        SimulatorFleet fleet;
        QVERIFY2(fleet.Start({{}, {}, full}), qPrintable(fleet.ErrorText()));
        const QByteArray old = "[System]\r\nZones=8\r\n";
        QVERIFY(fleet.PutOnAll(u"/rfa/cfg/system.cfg"_s, old));
        QTemporaryDir folder;
        QVERIFY(fleet.WriteSite(folder.path()));
        const QString file = folder.filePath(u"system.cfg"_s);
        QVERIFY(WriteFile(file, QByteArray(5000, 'n')));

        SiteViewModel view;
        QAbstractItemModelTester tableTester(&view.Controllers());
        QAbstractItemModelTester recordTester(&view.Record());
        QAbstractItemModelTester detailTester(&view.RecordDetail());
        view.SetRunOptions(ShortOptions());
        QString error;
        QVERIFY2(view.Open(folder.path(), &error), qPrintable(error));
        const ControllerTableModel& table = view.Controllers();
        QCOMPARE(table.rowCount(), 3);
        QCOMPARE(Cell(table, 1, ControllerTableModel::kName), u"c2"_s);
        QCOMPARE(Cell(table, 1, ControllerTableModel::kAddress),
                 u"127.0.0.1:%1"_s.arg(fleet.At(1).Port()));
        QCOMPARE(Cell(table, 1, ControllerTableModel::kUser), u"service"_s);
        QVERIFY(Cell(table, 1, ControllerTableModel::kLastAction).isEmpty());

        // The dry run names what would change and records nothing.
        QVERIFY2(Run(view, view.PushRequest(FileCategory::Configuration, file, {}, true),
                     fleet.At(0).Password(), &error),
                 qPrintable(error));
        QVERIFY2(view.Report().contains(u"c1: rfa/cfg/system.cfg: "_s), qPrintable(view.Report()));
        QCOMPARE(view.Record().rowCount(), 0);
        QVERIFY(Cell(table, 0, ControllerTableModel::kLastAction).isEmpty());

        QSignalSpy running(&view, &SiteViewModel::RunningChanged);
        QVERIFY2(Run(view, view.PushRequest(FileCategory::Configuration, file, {}, false),
                     fleet.At(0).Password(), &error),
                 qPrintable(error));
        QCOMPARE(running.size(), 2);
        QVERIFY(!view.IsRunning());
        QVERIFY(!view.Succeeded());
        const QStringList states = {u"done"_s, u"done"_s, u"failed"_s};
        for (int row = 0; row < 3; ++row) {
            QCOMPARE(Cell(table, row, ControllerTableModel::kState), states[row]);
            QCOMPARE(Cell(table, row, ControllerTableModel::kLastAction), u"push"_s);
            QCOMPARE(Cell(table, row, ControllerTableModel::kResult), states[row]);
        }
        QCOMPARE(table
                     .data(table.index(0, ControllerTableModel::kState),
                           ControllerTableModel::kProgressRole)
                     .toInt(),
                 100);
        // The one that failed keeps its bar where the upload stopped.
        QVERIFY(table
                    .data(table.index(2, ControllerTableModel::kState),
                          ControllerTableModel::kProgressRole)
                    .toInt() >= 0);
        QVERIFY(Cell(table, 2, ControllerTableModel::kResult, Qt::ToolTipRole)
                    .contains(u"storage is full"_s));
        // The same table as the command-line tool's.
        QVERIFY(view.Report().startsWith(
            u"controller  address          result  attempts  bytes  seconds  message\n"_s));
        QVERIFY(view.Report().contains(u"Recorded in the history as commit "_s));

        // The record: the files as found, then the push; its lines, and the way back.
        QCOMPARE(view.Record().rowCount(), 2);
        QCOMPARE(Cell(view.Record(), 0, RecordModel::kSummary),
                 u"Push of configuration system.cfg to 3 controller(s): 2 done, 1 not"_s);
        QCOMPARE(Cell(view.Record(), 0, RecordModel::kEngineer), u"Test Engineer"_s);
        view.SelectRecord(0);
        const RecordDetailModel& detail = view.RecordDetail();
        QCOMPARE(detail.rowCount(), 3);
        QCOMPARE(Cell(detail, 2, RecordDetailModel::kController), u"c3"_s);
        QVERIFY(Cell(detail, 2, RecordDetailModel::kResult).startsWith(u"failed: "_s));
        QVERIFY(!detail.CanRestore(0));
        QVERIFY(detail.CanRestore(2));
        SiteOperation::Request restore;
        QVERIFY(!view.RestoreRequest(0, &restore, &error));
        QVERIFY2(view.RestoreRequest(2, &restore, &error), qPrintable(error));
        QVERIFY2(Run(view, restore, fleet.At(0).Password(), &error), qPrintable(error));
        QVERIFY2(view.Succeeded(), qPrintable(view.Report()));
        QCOMPARE(ReadAll(fleet.At(2).LocalPath(u"/rfa/cfg/system.cfg"_s)), old);
        QCOMPARE(Cell(table, 2, ControllerTableModel::kLastAction), u"restore"_s);
        QCOMPARE(Cell(table, 2, ControllerTableModel::kResult), u"done"_s);
    }

    void editsGoToTheSiteFile() {
        QTemporaryDir parent;
        const QString folder = parent.filePath(u"airport"_s);
        SiteViewModel view;
        QAbstractItemModelTester tester(&view.Controllers());
        QString error;
        QVERIFY2(view.Create(folder, u"Airport"_s, u"Jane Doe"_s, &error), qPrintable(error));
        QVERIFY(!view.Create(folder, u"Airport"_s, u"Jane Doe"_s, &error));
        QVERIFY2(error.contains(u"is an installation folder already"_s), qPrintable(error));
        QCOMPARE(view.Site().SiteName(), u"Airport"_s);
        QVERIFY(view.AddController({u"east"_s, u"10.1.0.5"_s, 21, u"service"_s}, &error));
        QVERIFY(view.AddController({u"west"_s, u"10.1.0.6"_s, 2121, u"admin"_s}, &error));
        QVERIFY(!view.AddController({u"East"_s, u"10.1.0.7"_s, 21, u"service"_s}, &error));
        QVERIFY2(error.contains(u"already has a controller named \"east\""_s), qPrintable(error));
        const QString ini = QDir(folder).filePath(u"site.ini"_s);
        QVERIFY(PrivateProfile::WriteString(ini, u"east"_s, u"Note"_s, u"by the stairs"_s));

        // A rename keeps the section's other keys; a removal keeps the other sections.
        QVERIFY2(view.ReplaceController(0, {u"north"_s, u"10.1.0.9"_s, 21, u"service"_s}, &error),
                 qPrintable(error));
        QVERIFY(!view.ReplaceController(0, {u"west"_s, u"10.1.0.9"_s, 21, u"service"_s}, &error));
        QVERIFY(!view.ReplaceController(0, {u"no/slash"_s, u"10.1.0.9"_s, 21, u"s"_s}, &error));
        QCOMPARE(PrivateProfile::ReadString(ini, u"north"_s, u"Note"_s, {}), u"by the stairs"_s);
        QCOMPARE(PrivateProfile::ReadString(ini, u"north"_s, u"Address"_s, {}), u"10.1.0.9"_s);
        QVERIFY(PrivateProfile::ReadKeys(ini, u"east"_s).isEmpty());
        QVERIFY(view.RemoveController(0, &error));
        QCOMPARE(PrivateProfile::ReadSections(ini), (QStringList{u"Site"_s, u"west"_s}));
        QCOMPARE(PrivateProfile::ReadString(ini, u"Site"_s, u"Engineer"_s, {}), u"Jane Doe"_s);
        QCOMPARE(view.Controllers().rowCount(), 1);
        QCOMPARE(Cell(view.Controllers(), 0, ControllerTableModel::kAddress), u"10.1.0.6:2121"_s);

        // The file as another program left it is read again before an edit.
        SiteViewModel other;
        QVERIFY(other.Open(folder, &error));
        QVERIFY(other.AddController({u"south"_s, u"10.1.0.8"_s, 21, u"service"_s}, &error));
        QVERIFY(view.AddController({u"north"_s, u"10.1.0.9"_s, 21, u"service"_s}, &error));
        QCOMPARE(PrivateProfile::ReadSections(ini),
                 (QStringList{u"Site"_s, u"west"_s, u"south"_s, u"north"_s}));
    }

    void pushChoiceStartsWithAllTicked() {
        ControllerChoiceModel choice(
            {{u"east"_s, u"10.1.0.5"_s, 21, u"service"_s}, {u"west"_s, u"10.1.0.6"_s, 21, u"a"_s}});
        QAbstractItemModelTester tester(&choice);
        QCOMPARE(choice.Checked(), (QStringList{u"east"_s, u"west"_s}));
        QCOMPARE(Cell(choice, 1, 0), u"west (10.1.0.6)"_s);
        QVERIFY(choice.setData(choice.index(0), Qt::Unchecked, Qt::CheckStateRole));
        QVERIFY(!choice.setData(choice.index(1), u"x"_s, Qt::DisplayRole));
        QCOMPARE(choice.Checked(), QStringList{u"west"_s});
    }

    void cancelStopsEveryController() {
        ControllerSimulator::Options stalled;
        stalled.stallAfter = 1000;
        SimulatorFleet fleet;
        QVERIFY2(fleet.Start({stalled, stalled}), qPrintable(fleet.ErrorText()));
        QVERIFY(fleet.PutOnAll(u"/rfa/cfg/system.cfg"_s, QByteArray(100000, 'x')));
        QTemporaryDir folder;
        QVERIFY(fleet.WriteSite(folder.path()));
        SiteViewModel view;
        view.SetRunOptions(ShortOptions());
        QString error;
        QVERIFY2(view.Open(folder.path(), &error), qPrintable(error));
        QVERIFY2(view.Prepare(view.BackupRequest(), &error), qPrintable(error));
        QSignalSpy finished(&view, &SiteViewModel::RunFinished);
        view.Start({{u"c1"_s, fleet.At(0).Password()}, {u"c2"_s, fleet.At(1).Password()}});
        QVERIFY(view.IsRunning());
        QTRY_COMPARE_WITH_TIMEOUT(Cell(view.Controllers(), 1, ControllerTableModel::kState),
                                  u"reading"_s, 20000);
        view.Cancel();
        QVERIFY(finished.wait(20000));
        for (int row = 0; row < 2; ++row) {
            QCOMPARE(Cell(view.Controllers(), row, ControllerTableModel::kState), u"cancelled"_s);
        }
    }
};

VANTREL_TEST_MAIN(TestSiteViewModel)
#include "test_site_view_model.moc"
