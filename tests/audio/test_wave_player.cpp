#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "audio/WavePlayer.h"
#include "tests/support/TestMain.h"
#include "tests/support/WaveFiles.h"

using namespace Qt::StringLiterals;

class WavePlayerTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        if (qEnvironmentVariableIsSet("VANTREL_TEST_AUDIO_DEVICE")) {
            StartSoundServer();
        }
        first_ = dir_.filePath(u"first.wav"_s);
        second_ = dir_.filePath(u"second.wav"_s);
        // Ten seconds each, so that they still play when the test looks.
        QVERIFY(wave_files::Write(first_, wave_files::Make(882000)));
        QVERIFY(wave_files::Write(second_, wave_files::Make(882000)));
    }

    void cleanupTestCase() {
        if (server_.state() != QProcess::NotRunning) {
            server_.terminate();
            if (!server_.waitForFinished(5000)) {
                server_.kill();
                server_.waitForFinished(5000);
            }
        }
    }

    void playReplacesAndStopEnds() {
        if (qEnvironmentVariableIsSet("VANTREL_TEST_AUDIO_DEVICE")) {
            QVERIFY(WavePlayer::HasAudioOutput());
        }
        WavePlayer player;
        QElapsedTimer timer;
        timer.start();
        const bool started = player.Play(first_);
        QCOMPARE(started, WavePlayer::HasAudioOutput());
        if (!started) {
            // No device: nothing plays and nothing waits for one.
            QVERIFY(player.CurrentSource().isEmpty());
            QVERIFY(!player.IsPlaying());
            player.Stop();
            QVERIFY(!player.Play(second_));
            QVERIFY(timer.elapsed() < 5000);
            return;
        }
        QCOMPARE(player.CurrentSource(), first_);
        QTRY_VERIFY(player.IsPlaying());
        QVERIFY(player.Play(second_));
        QCOMPARE(player.CurrentSource(), second_);
        QTRY_VERIFY(player.IsPlaying());
        player.Stop();
        QVERIFY(!player.IsPlaying());
        QVERIFY(player.CurrentSource().isEmpty());
    }

    void badFilesAreNotReported() {
        WavePlayer player;
        const QString garbage = dir_.filePath(u"garbage.wav"_s);
        QVERIFY(wave_files::Write(garbage, QByteArray(1000, 'g')));
        player.Play(garbage);
        player.Play(dir_.filePath(u"missing.wav"_s));
        QVERIFY(!player.Play(QString()));
        QTest::qWait(50);  // let a failed load come back; it must not crash
        player.Stop();
        QVERIFY(!player.IsPlaying());
    }

private:
    // A sound server of our own with a null output, for the run that plays on a device. The
    // multimedia back end connects to it at its first use, which comes after this.
    void StartSoundServer() {
        const QString program = QStandardPaths::findExecutable(u"pulseaudio"_s);
        if (program.isEmpty()) {
            QSKIP("pulseaudio is not installed");
        }
        const QString runtime = dir_.filePath(u"runtime"_s);
        QVERIFY(QDir().mkpath(runtime));
        QVERIFY(
            QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"XDG_RUNTIME_DIR"_s, runtime);
        environment.insert(u"HOME"_s, runtime);
        server_.setProcessEnvironment(environment);
        server_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        server_.start(program, {u"-n"_s, u"--daemonize=no"_s, u"--exit-idle-time=-1"_s,
                                u"--use-pid-file=no"_s, u"--disable-shm=yes"_s,
                                u"--load=module-null-sink sink_name=vantrel_test"_s,
                                u"--load=module-native-protocol-unix"_s});
        QVERIFY(server_.waitForStarted(10000));
        const QString socket = runtime + u"/pulse/native"_s;
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(socket), 10000);
        qputenv("PULSE_SERVER", (u"unix:"_s + socket).toUtf8());
        qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
    }

    QProcess server_;
    QTemporaryDir dir_;
    QString first_;
    QString second_;
};

VANTREL_TEST_MAIN(WavePlayerTest)
#include "test_wave_player.moc"
