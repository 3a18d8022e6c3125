#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include "base/ToolState.h"
#include "controller/ControllerSession.h"
#include "tests/support/ControllerSimulator.h"
#include "tests/support/FakeProgress.h"
#include "tests/support/TestMain.h"

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

QByteArray RandomBytes(qsizetype size) {
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(static_cast<quint32>(size) + 7);
    for (char& byte : bytes) {
        byte = static_cast<char>(generator.bounded(256));
    }
    return bytes;
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

const QString kIncomplete =
    u" The file on the controller may now be incomplete; upload it again before the controller "
    u"uses it."_s;

int OpenDescriptors() {
    return static_cast<int>(QDir(u"/proc/self/fd"_s).entryList(QDir::Files | QDir::System).size());
}

}  // namespace

// Upload and Download against the simulator: the bytes on both sides, the progress display, cancel,
// dropped connections, and what is left behind on every path.
class FileCopyTest : public QObject {
    Q_OBJECT

private:
    // A connected session with a fake progress display and no pause.
    bool Open(ControllerSimulator& simulator, ControllerSession& session,
              FakeProgressFactory& progress) {
        if (!simulator.Start()) {
            qWarning("%s", qPrintable(simulator.ErrorText()));
            return false;
        }
        session.SetTimeouts({2000ms, 3s});
        session.SetProgressFactory(&progress);
        session.SetProgressPause(0ms);
        return session.Connect(u"test"_s, simulator.Host(), simulator.User(), simulator.Password(),
                               simulator.Port());
    }

    QTemporaryDir local_;

private slots:
    void roundTripsByteForByte_data() {
        QTest::addColumn<int>("size");
        QTest::newRow("empty") << 0;
        QTest::newRow("one block") << 40960;
        QTest::newRow("100 KiB") << 100 * 1024;
        QTest::newRow("5 MB") << 5 * 1000 * 1000;
    }

    void roundTripsByteForByte() {
        QFETCH(int, size);
        ControllerSimulator simulator;
        ControllerSession session;
        FakeProgressFactory progress;
        QVERIFY(Open(simulator, session, progress));
        const QByteArray bytes = RandomBytes(size);
        const QString source = local_.filePath(u"up %1.bin"_s.arg(size));
        QVERIFY(WriteFile(source, bytes));

        QVERIFY2(session.Upload(u"/mmu\\copy.bin"_s, source, TransferType::Binary, true),
                 qPrintable(session.LastError()));
        QCOMPARE(ReadFile(simulator.LocalPath(u"/mmu/copy.bin"_s)), bytes);
        const FakeProgressLog& up = progress.Last();
        QCOMPARE(up.title, ToolState::AppCaption());
        QVERIFY(up.modal);
        QCOMPARE(up.upper, size >> 10);
        QCOMPARE(up.step, 40);
        QCOMPARE(up.advances, size / 40960 + 1);  // one per block read, the short last one too
        QCOMPARE(up.pumps, up.advances);
        QCOMPARE(up.texts, QStringList{u"Now uploading file : "_s + source + u"\n"_s});
        QVERIFY(up.destroyed);

        const QString destination = local_.filePath(u"down %1.bin"_s.arg(size));
        QVERIFY2(session.Download(destination, u"/mmu/copy.bin"_s, TransferType::Binary, true),
                 qPrintable(session.LastError()));
        QCOMPARE(ReadFile(destination), bytes);
        const FakeProgressLog& down = progress.Last();
        QCOMPARE(down.upper, size >> 10);  // the size comes from the listing
        QCOMPARE(down.advances, size / 40960 + 1);
        QCOMPARE(down.texts, QStringList{u"Now downloading file : /mmu/copy.bin\n"_s});
        QVERIFY(down.destroyed);
        // No temporary file is left beside the destination.
        QCOMPARE(QDir(local_.path()).entryList({u"down %1.bin*"_s.arg(size)}, QDir::Files).size(),
                 1);
        QVERIFY(session.LastError().isEmpty());
    }

    void asciiTravelsAsAscii() {
        ControllerSimulator simulator;
        ControllerSession session;
        FakeProgressFactory progress;
        QVERIFY(Open(simulator, session, progress));
        const QByteArray text = "line one\nline two\n\nend\n";
        const QString source = local_.filePath(u"text.cfg"_s);
        QVERIFY(WriteFile(source, text));
        QVERIFY(session.SetRemoteDirectory(u"/rfa\\cfg"_s));
        QVERIFY2(session.Upload(u"text.cfg"_s, source, TransferType::Ascii, false),
                 qPrintable(session.LastError()));
        const QString log = simulator.CommandLog();
        QVERIFY2(log.indexOf(u"TYPE A"_s) >= 0 &&
                     log.indexOf(u"TYPE A"_s) < log.indexOf(u"STOR text.cfg"_s),
                 qPrintable(log));
        // CRLF on the wire, which the server stores as its own line ends (LF).
        QCOMPARE(ReadFile(simulator.LocalPath(u"/rfa/cfg/text.cfg"_s)), text);

        const QString destination = local_.filePath(u"text back.cfg"_s);
        QVERIFY(session.Download(destination, u"text.cfg"_s, TransferType::Ascii, false));
        QCOMPARE(ReadFile(destination), text);  // CRLF from the server, LF here
        QVERIFY(session.Download(destination, u"text.cfg"_s, TransferType::Binary, false));
        QCOMPARE(ReadFile(destination), text);
        QVERIFY(simulator.CommandLog().contains(u"TYPE I"_s));

        // Not shown: the display exists but is neither modal nor updated.
        QVERIFY(!progress.Last().modal);
        QCOMPARE(progress.Last().advances, 0);
        QVERIFY(progress.Last().texts.isEmpty());
        QVERIFY(progress.Last().destroyed);
    }

    // The listed size of the stored file is checked against what was sent: in ASCII the
    // simulator stores LF line ends, so the size with LF line ends is what fits.
    void uploadIsCheckedAgainstTheListing_data() {
        QTest::addColumn<TransferType>("type");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qint64>("keptBytes");
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("reason");  // empty: the upload succeeds
        const QByteArray binary = RandomBytes(100 * 1024);
        const QByteArray text = "one\ntwo\r\n\nend\n";  // 17 bytes on the wire, 4 line ends
        QTest::newRow("binary, complete")
            << TransferType::Binary << binary << qint64(-1) << binary << QString();
        QTest::newRow("binary, short")
            << TransferType::Binary << binary << qint64(50000) << binary.left(50000)
            << u"the file on the controller has 50000 bytes, but 102400 bytes were sent."_s;
        QTest::newRow("ascii, complete") << TransferType::Ascii << text << qint64(-1)
                                         << QByteArray("one\ntwo\n\nend\n") << QString();
        QTest::newRow("ascii, short")
            << TransferType::Ascii << text << qint64(5) << QByteArray("one\nt")
            << u"the file on the controller has 5 bytes, but 17 bytes were sent (13 with LF line "
               u"ends)."_s;
    }

    void uploadIsCheckedAgainstTheListing() {
        QFETCH(TransferType, type);
        QFETCH(QByteArray, bytes);
        QFETCH(qint64, keptBytes);
        QFETCH(QByteArray, stored);
        QFETCH(QString, reason);
        ControllerSimulator::Options options;
        options.truncateStored = keptBytes;
        ControllerSimulator simulator(options);
        ControllerSession session;
        FakeProgressFactory progress;
        QVERIFY(Open(simulator, session, progress));
        const QString source = local_.filePath(u"checked.cfg"_s);
        QVERIFY(WriteFile(source, bytes));
        QVERIFY(session.SetRemoteDirectory(u"/rfa\\cfg"_s));

        QCOMPARE(session.Upload(u"checked.cfg"_s, source, type, true), reason.isEmpty());
        QCOMPARE(ReadFile(simulator.LocalPath(u"/rfa/cfg/checked.cfg"_s)), stored);
        QCOMPARE(session.LastError(), reason.isEmpty() ? QString()
                                                       : u"Uploading "_s + source +
                                                             u" to the controller failed: "_s +
                                                             reason + kIncomplete);
        QVERIFY(progress.Last().destroyed);
        QCOMPARE(simulator.CommandLog().count(u"LIST checked.cfg"_s), 1);  // one listing only
    }

    void cancelStopsAndCleansUp_data() {
        QTest::addColumn<int>("cancelAfter");
        QTest::newRow("first step") << 1;
        QTest::newRow("middle") << 20;
    }

    void cancelStopsAndCleansUp() {
        QFETCH(int, cancelAfter);
        ControllerSimulator simulator;
        ControllerSession session;
        FakeProgressFactory progress;
        QVERIFY(Open(simulator, session, progress));
        const QByteArray bytes = RandomBytes(3 * 1000 * 1000);
        const QString source = local_.filePath(u"cancel.bin"_s);
        QVERIFY(WriteFile(source, bytes));

        progress.CancelAfter(cancelAfter);
        QVERIFY(!session.Upload(u"/mmu/cancel.bin"_s, source, TransferType::Binary, true));
        QCOMPARE(session.LastError(), u"FTP upload cancelled by user."_s + kIncomplete);
        QCOMPARE(progress.Last().advances, cancelAfter);
        QVERIFY(progress.Last().destroyed);
        const QString remoteFile = simulator.LocalPath(u"/mmu/cancel.bin"_s);
        // The remote file was created; it holds at most the blocks read before the cancel (the
        // library may not have sent all of them).
        QTRY_VERIFY(QFile::exists(remoteFile));
        QVERIFY(QFileInfo(remoteFile).size() <= qint64(cancelAfter - 1) * 40960);
        if (cancelAfter == 1) {
            QCOMPARE(QFileInfo(remoteFile).size(), 0);
        }

        // Download over an existing local file: cancelled, the old file stays as it was.
        progress.CancelAfter(-1);
        QVERIFY(WriteFile(simulator.LocalPath(u"/mmu/full.bin"_s), bytes));
        const QString destination = local_.filePath(u"existing.bin"_s);
        QVERIFY(WriteFile(destination, "old contents"));
        progress.CancelAfter(cancelAfter);
        QVERIFY(!session.Download(destination, u"/mmu/full.bin"_s, TransferType::Binary, true));
        QCOMPARE(session.LastError(), u"FTP download cancelled by user."_s);
        QCOMPARE(ReadFile(destination), QByteArray("old contents"));
        QCOMPARE(QDir(local_.path()).entryList({u"existing.bin*"_s}, QDir::Files).size(), 1);

        // The session goes on.
        progress.CancelAfter(-1);
        QVERIFY2(session.Download(destination, u"/mmu/full.bin"_s, TransferType::Binary, true),
                 qPrintable(session.LastError()));
        QCOMPARE(ReadFile(destination), bytes);
    }

    void droppedDataConnectionFailsCleanly() {
        ControllerSimulator::Options options;
        options.dropAfter = 300000;
        ControllerSimulator simulator(options);
        ControllerSession session;
        FakeProgressFactory progress;
        QVERIFY(Open(simulator, session, progress));
        const QByteArray big = RandomBytes(2 * 1000 * 1000);
        const QByteArray small = RandomBytes(50000);
        QVERIFY(WriteFile(simulator.LocalPath(u"/mmu/big.bin"_s), big));
        QVERIFY(session.SetRemoteDirectory(u"/mmu"_s));

        const QString destination = local_.filePath(u"dropped.bin"_s);
        QVERIFY(WriteFile(destination, "before"));
        QVERIFY(!session.Download(destination, u"big.bin"_s, TransferType::Binary, true));
        QVERIFY2(
            session.LastError().startsWith(u"Downloading big.bin from the controller failed: "_s),
            qPrintable(session.LastError()));
        QCOMPARE(ReadFile(destination), QByteArray("before"));
        QVERIFY(progress.Last().destroyed);

        const QString source = local_.filePath(u"big up.bin"_s);
        QVERIFY(WriteFile(source, big));
        QVERIFY(!session.Upload(u"up.bin"_s, source, TransferType::Binary, true));
        QVERIFY2(session.LastError().startsWith(u"Uploading "_s + source),
                 qPrintable(session.LastError()));

        // Usable afterwards, in the same directory.
        QCOMPARE(session.GetRemoteDirectory(), u"/mmu"_s);
        const QString smallSource = local_.filePath(u"small.bin"_s);
        QVERIFY(WriteFile(smallSource, small));
        QVERIFY2(session.Upload(u"small.bin"_s, smallSource, TransferType::Binary, true),
                 qPrintable(session.LastError()));
        QCOMPARE(ReadFile(simulator.LocalPath(u"/mmu/small.bin"_s)), small);
        QVERIFY(session.Download(destination, u"small.bin"_s, TransferType::Binary, true));
        QCOMPARE(ReadFile(destination), small);
    }

    void relativeNamesSurviveAReconnection() {
        ControllerSimulator::Options options;
        options.closeAfter = 8;  // the first command after SetRemoteDirectory
        ControllerSimulator simulator(options);
        ControllerSession session;
        FakeProgressFactory progress;
        QVERIFY(Open(simulator, session, progress));
        QVERIFY(session.SetRemoteDirectory(u"/rfa\\drv"_s));
        const QString source = local_.filePath(u"drv.bin"_s);
        QVERIFY(WriteFile(source, "driver"));
        QVERIFY(!session.Upload(u"drv.bin"_s, source, TransferType::Binary, false));  // hung up
        QVERIFY2(session.Upload(u"drv.bin"_s, source, TransferType::Binary, false),
                 qPrintable(session.LastError()));
        QCOMPARE(ReadFile(simulator.LocalPath(u"/rfa/drv/drv.bin"_s)), QByteArray("driver"));
    }

    void localFailuresLeaveTheRemoteSideAlone() {
        ControllerSimulator simulator;
        ControllerSession session;
        FakeProgressFactory progress;
        QVERIFY(Open(simulator, session, progress));
        QVERIFY(WriteFile(simulator.LocalPath(u"/mmu/keep.set"_s), "remote contents"));

        const QString missing = local_.filePath(u"missing.set"_s);
        QVERIFY(!session.Upload(u"/mmu/keep.set"_s, missing, TransferType::Binary, true));
        QVERIFY2(session.LastError().startsWith(u"Cannot open the local file "_s + missing),
                 qPrintable(session.LastError()));
        QCOMPARE(ReadFile(simulator.LocalPath(u"/mmu/keep.set"_s)), QByteArray("remote contents"));
        QVERIFY(!simulator.CommandLog().contains(u"STOR"_s));
        QVERIFY(progress.Logs().empty());  // no display for a transfer that never started

        const QString nowhere = local_.filePath(u"no folder/keep.set"_s);
        QVERIFY(!session.Download(nowhere, u"/mmu/keep.set"_s, TransferType::Binary, true));
        QVERIFY2(session.LastError().startsWith(u"Cannot create the local file "_s + nowhere),
                 qPrintable(session.LastError()));

        const QString destination = local_.filePath(u"keep.set"_s);
        QVERIFY(WriteFile(destination, "local contents"));
        QVERIFY(!session.Download(destination, u"/mmu/absent.set"_s, TransferType::Binary, true));
        QVERIFY2(session.LastError().contains(u"550"_s), qPrintable(session.LastError()));
        QCOMPARE(ReadFile(destination), QByteArray("local contents"));
        QCOMPARE(QDir(local_.path()).entryList({u"keep.set*"_s}, QDir::Files).size(), 1);
    }

    // The temporary file beside the destination fits the file system's 255 bytes of a name.
    void aNameNear255BytesDownloads() {
        ControllerSimulator simulator;
        ControllerSession session;
        FakeProgressFactory progress;
        QVERIFY(Open(simulator, session, progress));
        QVERIFY(WriteFile(simulator.LocalPath(u"/mmu/long.set"_s), "long name"));
        const QString name = QString(246, u'n') + u".set"_s;  // 250 bytes
        QVERIFY2(session.Download(local_.filePath(name), u"/mmu/long.set"_s, TransferType::Binary,
                                  false),
                 qPrintable(session.LastError()));
        QCOMPARE(ReadFile(local_.filePath(name)), QByteArray("long name"));
        QCOMPARE(QDir(local_.path()).entryList({u"nnnn*"_s}, QDir::Files), QStringList{name});
    }

    void leaksNoDescriptors() {
        ControllerSimulator::Options options;
        options.logCommands = false;
        ControllerSimulator simulator(options);
        ControllerSession session;
        FakeProgressFactory progress;
        QVERIFY(Open(simulator, session, progress));
        const QString source = local_.filePath(u"leak.bin"_s);
        const QString destination = local_.filePath(u"leak back.bin"_s);
        QVERIFY(WriteFile(source, RandomBytes(60000)));
        QVERIFY(session.Upload(u"/mmu/leak.bin"_s, source, TransferType::Binary, true));
        QVERIFY(session.Download(destination, u"/mmu/leak.bin"_s, TransferType::Binary, true));
        const int before = OpenDescriptors();
        for (int round = 0; round < 25; ++round) {
            QVERIFY(session.Upload(u"/mmu/leak.bin"_s, source, TransferType::Binary, true));
            QVERIFY(session.Download(destination, u"/mmu/leak.bin"_s, TransferType::Binary, true));
        }
        QCOMPARE(OpenDescriptors(), before);
        session.Disconnect();
        QVERIFY(OpenDescriptors() < before);  // the control connection is gone too
    }
};

VANTREL_TEST_GUILESS_MAIN(FileCopyTest)
#include "test_file_copy.moc"
