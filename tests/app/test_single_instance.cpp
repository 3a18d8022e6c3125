// One copy at a time, checked with the real executable as the first copy.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

#include "app/SingleInstanceLock.h"
#include "app/ToolApp.h"
#include "app/ToolStartup.h"
#include "tests/support/FakeProgress.h"
#include "tests/support/ScriptedDialogService.h"
#include "tests/support/TestMain.h"

using namespace Qt::StringLiterals;

class TestSingleInstance : public QObject {
    Q_OBJECT

private:
    QTemporaryDir runtimeDir_;
    QString LockPath() const { return SingleInstanceLock(u"Vantrel"_s).LockFilePath(); }

    qint64 LockOwner() const {
        qint64 pid = 0;
        QString host;
        QString application;
        return QLockFile(LockPath()).getLockInfo(&pid, &host, &application) ? pid : 0;
    }

    // Starts the real program (or program, a link to it) in folder; returns once it holds the lock.
    void StartProgram(QProcess& process, const QString& folder, QString program = {}) {
        if (program.isEmpty()) {
            program = qEnvironmentVariable("VANTREL_BINARY_DIR") + u"/Vantrel"_s;
        }
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        environment.insert(u"XDG_RUNTIME_DIR"_s, runtimeDir_.path());
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(folder);
        process.start(program, {});
        QVERIFY(process.waitForStarted());
        QTRY_COMPARE_WITH_TIMEOUT(LockOwner(), process.processId(), 10000);
        QCOMPARE(process.state(), QProcess::Running);
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(QFile::setPermissions(runtimeDir_.path(),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        // This process and the programs it starts share one runtime folder of their own.
        qputenv("XDG_RUNTIME_DIR", runtimeDir_.path().toLocal8Bit());
        QVERIFY(LockPath().startsWith(runtimeDir_.path()));
    }

    void secondCopyIsToldAndWritesNothing() {
        QTemporaryDir firstFolder;
        QTemporaryDir secondFolder;
        QProcess first;
        StartProgram(first, firstFolder.path());

        const QString original = QDir::currentPath();
        QVERIFY(QDir::setCurrent(secondFolder.path()));
        ToolApp tool(u"Vantrel"_s);
        ScriptedDialogService dialogs;
        FakeProgressFactory progress;
        QCOMPARE(RunTool(tool, dialogs, progress), 1);
        QVERIFY(QDir::setCurrent(original));

        QCOMPARE(dialogs.Messages().size(), 1);
        QCOMPARE(dialogs.Messages().first().text, u"Program is already running"_s);
        QCOMPARE(dialogs.Messages().first().icon, DialogService::Icon::Error);
        QCOMPARE(dialogs.Messages().first().buttons, DialogService::Buttons::Ok);
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
        QVERIFY(
            QDir(secondFolder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
        QVERIFY(tool.StartDirectory().isEmpty());
        // The first copy runs on untouched.
        QCOMPARE(first.state(), QProcess::Running);

        first.kill();
        QVERIFY(first.waitForFinished());
    }

    void startedThroughALinkKeepsItsName() {
        QTemporaryDir folder;
        const QString link = folder.filePath(u"vantrel"_s);
        QVERIFY(QFile::link(qEnvironmentVariable("VANTREL_BINARY_DIR") + u"/Vantrel"_s, link));
        QProcess program;
        StartProgram(program, folder.path(), link);
        // The lock names the application: the program name, which also names the settings file.
        QString application;
        qint64 pid = 0;
        QString host;
        QVERIFY(QLockFile(LockPath()).getLockInfo(&pid, &host, &application));
        QCOMPARE(application, u"Vantrel"_s);
        program.kill();
        QVERIFY(program.waitForFinished());
    }

    void killedCopyDoesNotBlockTheNext() {
        QTemporaryDir folder;
        QProcess first;
        StartProgram(first, folder.path());
        ::kill(static_cast<pid_t>(first.processId()), SIGKILL);
        QVERIFY(first.waitForFinished());
        QVERIFY(QFile::exists(LockPath()));  // left behind by the killed copy

        QProcess next;
        StartProgram(next, folder.path());
        QCOMPARE(next.state(), QProcess::Running);
        SingleInstanceLock lock(u"Vantrel"_s);
        QVERIFY(!lock.TryAcquire());
        next.kill();
        QVERIFY(next.waitForFinished());
        QVERIFY(lock.TryAcquire());
    }
};

VANTREL_TEST_MAIN(TestSingleInstance)
#include "test_single_instance.moc"
