#include <sys/prctl.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

#include "controller/ControllerSession.h"
#include "tests/support/FakeProgress.h"
#include "tests/support/TestMain.h"

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

const QString kVsftpd = u"/usr/sbin/vsftpd"_s;

// A real vsftpd on a free loopback port, serving a temporary folder to anonymous users with
// write access, in active mode only. It runs as the user who starts it (root in CI, anyone
// else on a developer's machine) and needs neither systemd nor any system configuration.
class VsftpdServer {
public:
    VsftpdServer() {
        process_.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
    }
    ~VsftpdServer() {
        process_.kill();  // this process only
        process_.waitForFinished(3000);
    }

    QString Root() const { return folder_.filePath(u"root"_s); }
    quint16 Port() const { return port_; }

    bool Start() {
        QTcpServer probe;  // a free port: taken and released at once
        if (!folder_.isValid() || !probe.listen(QHostAddress::LocalHost)) {
            return false;
        }
        port_ = probe.serverPort();
        probe.close();
        QDir().mkpath(Root() + u"/pub"_s);
        QDir().mkpath(folder_.filePath(u"empty"_s));
        QFile(Root() + u"/pub"_s)
            .setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                            QFileDevice::ExeOwner | QFileDevice::ReadOther |
                            QFileDevice::WriteOther | QFileDevice::ExeOther);
        const QString config =
            u"listen=YES\nlisten_ipv6=NO\nlisten_address=127.0.0.1\n"
            u"listen_port=%1\nbackground=NO\nrun_as_launching_user=YES\n"
            u"anonymous_enable=YES\nlocal_enable=NO\nwrite_enable=YES\n"
            u"anon_root=%2\nanon_upload_enable=YES\n"
            u"anon_mkdir_write_enable=YES\nanon_other_write_enable=YES\n"
            u"anon_world_readable_only=NO\nno_anon_password=YES\n"
            u"pasv_enable=NO\nport_enable=YES\nconnect_from_port_20=NO\n"
            u"seccomp_sandbox=NO\nisolate=NO\nisolate_network=NO\n"
            u"secure_chroot_dir=%3\nxferlog_enable=NO\nsyslog_enable=NO\n"
            u"vsftpd_log_file=%4\n"_s.arg(port_)
                .arg(Root(), folder_.filePath(u"empty"_s), folder_.filePath(u"vsftpd.log"_s));
        QFile file(folder_.filePath(u"vsftpd.conf"_s));
        if (!file.open(QIODevice::WriteOnly) || file.write(config.toUtf8()) < 0) {
            return false;
        }
        file.close();
        process_.start(kVsftpd, {file.fileName()});
        if (!process_.waitForStarted(5000)) {
            return false;
        }
        // It prints nothing when it listens: ready once it greets.
        for (int attempt = 0; attempt < 100 && process_.state() == QProcess::Running; ++attempt) {
            QTcpSocket socket;
            socket.connectToHost(u"127.0.0.1"_s, port_);
            if (socket.waitForConnected(200) && socket.waitForReadyRead(1000) &&
                socket.readLine().startsWith("220")) {
                return true;
            }
            QTest::qWait(50);
        }
        return false;
    }

private:
    QTemporaryDir folder_;
    QProcess process_;
    quint16 port_ = 0;
};

QByteArray Digest(const QString& path) {
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha1);
    return file.open(QIODevice::ReadOnly) && hash.addData(&file) ? hash.result() : QByteArray();
}

}  // namespace

// The session against a stock FTP server, not only against our simulator.
class ControllerVsftpdTest : public QObject {
    Q_OBJECT

private slots:
    void worksWithVsftpd() {
        if (!QFile::exists(kVsftpd)) {
            QSKIP("vsftpd is not installed (scripts/install-deps.sh installs it)");
        }
        VsftpdServer server;
        QVERIFY(server.Start());
        QTemporaryDir local;
        ControllerSession session;
        FakeProgressFactory progress;
        session.SetProgressFactory(&progress);
        session.SetProgressPause(0ms);
        session.SetTimeouts({2000ms, 5s});
        QVERIFY2(session.Connect(u"t"_s, u"127.0.0.1"_s, u"anonymous"_s, u"guest"_s, server.Port()),
                 qPrintable(session.LastError()));
        QCOMPARE(session.GetRemoteDirectory(), server.Root());
        QVERIFY(session.SetRemoteDirectory(u"pub"_s));
        QVERIFY(session.CreateRemoteDirectory(u"sub"_s));
        QVERIFY(QFileInfo(server.Root() + u"/pub/sub"_s).isDir());

        const QString source = local.filePath(u"big.bin"_s);
        {
            QFile file(source);
            QVERIFY(file.open(QIODevice::WriteOnly));
            std::vector<quint32> words(50'000'000 / 4);
            QRandomGenerator(50).fillRange(words.data(), words.size());
            QVERIFY(file.write(reinterpret_cast<const char*>(words.data()), 50'000'000) ==
                    50'000'000);
        }
        QVERIFY2(session.Upload(u"big.bin"_s, source, TransferType::Binary, true),
                 qPrintable(session.LastError()));
        QCOMPARE(Digest(server.Root() + u"/pub/big.bin"_s), Digest(source));
        const QString back = local.filePath(u"back.bin"_s);
        QVERIFY2(session.Download(back, u"big.bin"_s, TransferType::Binary, true),
                 qPrintable(session.LastError()));
        QCOMPARE(Digest(back), Digest(source));
        QCOMPARE(progress.Last().upper, 50'000'000 >> 10);  // the size from the listing

        QList<RemoteEntry> entries;
        QVERIFY(session.ListRemote(QString(), &entries));
        QVERIFY(entries.contains(RemoteEntry{u"big.bin"_s, 50'000'000, false}));
        QVERIFY(std::any_of(entries.cbegin(), entries.cend(), [](const RemoteEntry& entry) {
            return entry.name == u"sub"_s && entry.isDirectory;
        }));

        // vsftpd keeps the CRLF of an ASCII upload, so the size as sent is the one that fits.
        const QString text = local.filePath(u"index.htm"_s);
        {
            QFile file(text);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write("<p>\n</p>\n") == 9);
        }
        QVERIFY2(session.Upload(u"index.htm"_s, text, TransferType::Ascii, false),
                 qPrintable(session.LastError()));
        QFile stored(server.Root() + u"/pub/index.htm"_s);
        QVERIFY(stored.open(QIODevice::ReadOnly));
        QCOMPARE(stored.readAll(), QByteArray("<p>\r\n</p>\r\n"));

        progress.CancelAfter(10);
        QVERIFY(!session.Upload(u"cancel.bin"_s, source, TransferType::Binary, true));
        QCOMPARE(session.LastError(),
                 u"FTP upload cancelled by user. The file on the controller may now be "
                 u"incomplete; upload it again before the controller uses it."_s);
        QVERIFY(!session.Download(back, u"big.bin"_s, TransferType::Binary, true));
        QCOMPARE(session.LastError(), u"FTP download cancelled by user."_s);
        QCOMPARE(Digest(back), Digest(source));  // the local file as it was
        progress.CancelAfter(-1);

        QCOMPARE(session.GetRemoteDirectory(), server.Root() + u"/pub"_s);  // back in step
        QVERIFY(session.DeleteRemoteFile(u"big.bin"_s));
        QVERIFY(!QFile::exists(server.Root() + u"/pub/big.bin"_s));
        QVERIFY(!session.DeleteRemoteFile(u"big.bin"_s));
    }
};

VANTREL_TEST_GUILESS_MAIN(ControllerVsftpdTest)
#include "test_controller_vsftpd.moc"
