// The Debian package as a user's machine sees it: built with CPack from this build folder, checked
// by the Debian tools, unpacked into a temporary root, and its programs started from there.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "tests/support/TestMain.h"

using namespace Qt::StringLiterals;

namespace {

const QString kAppId = u"com.orvanta.Vantrel"_s;

struct Run {
    int exitCode = -1;
    QString output;  // standard output and error together
};

Run RunProgram(const QString& program, const QStringList& arguments,
               const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment(),
               const QString& directory = QString()) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(directory);
    process.start(program, arguments);
    Run run;
    if (!process.waitForStarted()) {
        run.output = program + u": "_s + process.errorString();
        return run;
    }
    const bool finished = process.waitForFinished(300000);
    run.output = QString::fromLocal8Bit(process.readAll());
    if (!finished || process.exitStatus() != QProcess::NormalExit) {
        process.kill();
        process.waitForFinished();
        run.output += u"\n(did not end by itself)"_s;
        return run;
    }
    run.exitCode = process.exitCode();
    return run;
}

}  // namespace

class TestPackage : public QObject {
    Q_OBJECT

private:
    QTemporaryDir work_;
    QString deb_;
    QString root_;  // the package unpacked as if installed

    QString Installed(const QString& path) const { return root_ + path; }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(work_.isValid());
        const QString binaryDir = qEnvironmentVariable("VANTREL_BINARY_DIR");
        const QString output = work_.filePath(u"package"_s);
        const Run cpack = RunProgram(QString::fromUtf8(CPACK_COMMAND),
                                     {u"-G"_s, u"DEB"_s, u"--config"_s,
                                      binaryDir + u"/CPackConfig.cmake"_s, u"-B"_s, output});
        QVERIFY2(cpack.exitCode == 0, qPrintable(cpack.output));
        const QStringList debs = QDir(output).entryList({u"*.deb"_s}, QDir::Files);
        QCOMPARE(debs.size(), 1);
        deb_ = QDir(output).filePath(debs.first());
        root_ = work_.filePath(u"root"_s);
        const Run unpack = RunProgram(u"dpkg"_s, {u"-x"_s, deb_, root_});
        QVERIFY2(unpack.exitCode == 0, qPrintable(unpack.output));
    }

    void checkersFindNoErrors_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("lintian") << u"lintian"_s
                                 << QStringList{u"--fail-on"_s, u"error"_s,
                                                u"--tag-display-limit"_s, u"0"_s};
        QTest::newRow("desktop entry")
            << u"desktop-file-validate"_s
            << QStringList{u"/usr/share/applications/"_s + kAppId + u".desktop"_s};
        QTest::newRow("metainfo") << u"appstreamcli"_s
                                  << QStringList{
                                         u"validate"_s, u"--no-net"_s,
                                         u"/usr/share/metainfo/"_s + kAppId + u".metainfo.xml"_s};
    }

    void checkersFindNoErrors() {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        // lintian reads the package itself; the others read the file as it was installed.
        if (program == u"lintian"_s) {
            arguments.append(deb_);
        } else {
            arguments.last() = Installed(arguments.last());
        }
        const Run check = RunProgram(program, arguments);
        QVERIFY2(check.exitCode == 0, qPrintable(check.output));
    }

    void packageHoldsTheDesktopFiles() {
        QStringList expected = {u"/usr/bin/Vantrel"_s,
                                u"/usr/bin/vantrel-set"_s,
                                u"/usr/bin/vantrel-site"_s,
                                u"/usr/share/man/man1/Vantrel.1.gz"_s,
                                u"/usr/share/man/man1/vantrel-set.1.gz"_s,
                                u"/usr/share/man/man1/vantrel-site.1.gz"_s,
                                u"/usr/share/icons/hicolor/scalable/apps/"_s + kAppId + u".svg"_s};
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
            expected.append(u"/usr/share/icons/hicolor/%1x%1/apps/"_s.arg(size) + kAppId +
                            u".png"_s);
        }
        for (const QString& path : expected) {
            QVERIFY2(QFile::exists(Installed(path)), qPrintable(path));
        }
        const Run depends = RunProgram(u"dpkg-deb"_s, {u"--field"_s, deb_, u"Depends"_s});
        for (const QString& library :
             {u"libqt6widgets6"_s, u"libqt6multimedia6"_s, u"libgit2-"_s}) {
            QVERIFY2(depends.output.contains(library), qPrintable(depends.output));
        }
    }

    void commandLineToolRuns_data() {
        QTest::addColumn<QString>("tool");
        QTest::newRow("vantrel-set") << u"vantrel-set"_s;
        QTest::newRow("vantrel-site") << u"vantrel-site"_s;
    }

    void commandLineToolRuns() {
        QFETCH(QString, tool);
        const Run help = RunProgram(Installed(u"/usr/bin/"_s + tool), {u"--help"_s});
        QCOMPARE(help.exitCode, 0);
        QVERIFY2(help.output.startsWith(u"Usage:"_s), qPrintable(help.output));
    }

    // Started by the menu entry's command in the home folder, the tool makes its work folder and
    // keeps its settings there.
    void menuEntryRunsTheToolInTheWorkFolder() {
        QFile entry(Installed(u"/usr/share/applications/"_s + kAppId + u".desktop"_s));
        QVERIFY(entry.open(QIODevice::ReadOnly | QIODevice::Text));
        QStringList command;
        for (const QString& line : QString::fromUtf8(entry.readAll()).split(u'\n')) {
            if (line.startsWith(u"Exec="_s)) {
                command = line.mid(5).split(u' ', Qt::SkipEmptyParts);
            }
        }
        // Field codes such as %f stand for files the menu passes; the entry passes none.
        command.removeIf([](const QString& word) { return word.startsWith(u'%'); });
        QVERIFY(!command.isEmpty());
        const QString program = command.takeFirst();
        const QString installedProgram =
            Installed(program.startsWith(u'/') ? program : u"/usr/bin/"_s + program);

        const QString home = work_.filePath(u"home"_s);
        const QString runtime = work_.filePath(u"runtime"_s);
        QVERIFY(QDir().mkpath(home) && QDir().mkpath(runtime));
        QVERIFY(
            QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"HOME"_s, home);
        environment.insert(u"XDG_CONFIG_HOME"_s, home + u"/.config"_s);
        environment.insert(u"XDG_RUNTIME_DIR"_s, runtime);
        environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        environment.insert(u"LD_PRELOAD"_s, QString::fromUtf8(EXIT_ON_START_LIBRARY));

        const Run tool = RunProgram(installedProgram, command, environment, home);
        QVERIFY2(tool.exitCode == 0, qPrintable(tool.output));
        QVERIFY(QFile::exists(home + u"/Documents/Vantrel/Vantrel.ini"_s));
        QVERIFY(!QFile::exists(home + u"/Vantrel.ini"_s));
    }
};

VANTREL_TEST_GUILESS_MAIN(TestPackage)
#include "test_package.moc"
