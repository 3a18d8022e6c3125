#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include "messageset/WavePlayer.h"
#include "tests/support/WaveFiles.h"

using namespace Qt::StringLiterals;

class WavePlayerTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        first_ = dir_.filePath(u"first.wav"_s);
        second_ = dir_.filePath(u"second.wav"_s);
        // Ten seconds each, so that they still play when the test looks.
        QVERIFY(wave_files::Write(first_, wave_files::Make(882000)));
        QVERIFY(wave_files::Write(second_, wave_files::Make(882000)));
    }

    void playReplacesAndStopEnds() {
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
    QTemporaryDir dir_;
    QString first_;
    QString second_;
};

QTEST_MAIN(WavePlayerTest)
#include "WavePlayerTest.moc"
