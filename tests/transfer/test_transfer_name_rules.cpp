// What the transfer commands refuse to list, send or suggest, against the controller simulator.

#include <sys/stat.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "base/ToolState.h"
#include "controller/ControllerSession.h"
#include "tests/support/ControllerSimulator.h"
#include "tests/support/FakeProgress.h"
#include "tests/support/TestMain.h"
#include "transfer/CategorySettings.h"
#include "transfer/TransferCommands.h"
#include "transfer/TransferNameRules.h"

using namespace Qt::StringLiterals;
using Outcome = TransferReport::Outcome;

class TestTransferNameRules : public QObject {
    Q_OBJECT

private:
    QTemporaryDir local_;
    FakeProgressFactory progress_;
    std::unique_ptr<ControllerSimulator> simulator_;
    ControllerSession session_;
    CategorySettings settings_;

    bool MakeFile(const QString& below) {
        QDir().mkpath(QFileInfo(local_.filePath(below)).absolutePath());
        QFile file(local_.filePath(below));
        return file.open(QIODevice::WriteOnly) && file.write("x") == 1;
    }
    bool MakePipe(const QString& below) {
        return mkfifo(QFile::encodeName(local_.filePath(below)).constData(), 0600) == 0;
    }
    TransferReport Upload(FileCategory category, const QString& name) {
        return TransferCommands(&session_, settings_, progress_, 1u << 30)
            .Upload(category, local_.filePath(name), name);
    }

private Q_SLOTS:
    void initTestCase() {
        simulator_ = std::make_unique<ControllerSimulator>(ControllerSimulator::Options{});
        QVERIFY2(simulator_->Start(), qPrintable(simulator_->ErrorText()));
        session_.SetProgressFactory(&progress_);
        session_.SetProgressPause(std::chrono::milliseconds(0));
        QVERIFY2(session_.Connect(ToolState::AppCaption(), simulator_->Host(), simulator_->User(),
                                  simulator_->Password(), simulator_->Port()),
                 qPrintable(session_.LastError()));
        QVERIFY(session_.SetRemoteDirectory(u"/rfa\\cfg"_s));
    }

    void onlyRegularFilesAreSent() {
        QVERIFY(MakePipe(u"pipe.cfg"_s));
        QVERIFY(MakePipe(u"pipe.set"_s));
        QCOMPARE(Upload(FileCategory::Configuration, u"pipe.cfg"_s).outcome,
                 Outcome::NotRegularFile);
        QCOMPARE(Upload(FileCategory::MessageSet, u"pipe.set"_s).outcome, Outcome::NotRegularFile);
        QVERIFY(!TransferNameRules::IsTransferableFile(QFileInfo(u"/dev/null"_s)));
        QVERIFY(!simulator_->CommandLog().contains(u"STOR"_s));
    }

    void namesWithABackslashAreRefused() {
        QVERIFY(MakeFile(u"..\\..\\boot\\app.cfg"_s));
        const TransferReport single =
            Upload(FileCategory::Configuration, u"..\\..\\boot\\app.cfg"_s);
        QCOMPARE(single.outcome, Outcome::RefusedName);
        QCOMPARE(single.reason, u"..\\..\\boot\\app.cfg"_s);

        // A web tree with one such name is refused whole, before anything is sent; a pipe in it
        // is not even collected.
        QVERIFY(MakeFile(u"Web/index.htm"_s));
        QVERIFY(MakePipe(u"Web/pipe.htm"_s));
        QCOMPARE(settings_.CollectWebFiles(local_.filePath(u"Web"_s)),
                 QStringList{QDir::toNativeSeparators(local_.filePath(u"Web/index.htm"_s))});
        QVERIFY(MakeFile(u"Web/img/..\\..\\..\\boot\\app.js"_s));
        const TransferReport web = Upload(FileCategory::Web, u"Web"_s);
        QCOMPARE(web.outcome, Outcome::RefusedName);
        QCOMPARE(web.reason, u"img/..\\..\\..\\boot\\app.js"_s);
        QVERIFY(!simulator_->CommandLog().contains(u"STOR"_s));
        QVERIFY(QFile::remove(local_.filePath(u"Web/img/..\\..\\..\\boot\\app.js"_s)));
        QCOMPARE(Upload(FileCategory::Web, u"Web"_s).outcome, Outcome::Done);
    }

    void saveDialogNameNeverChoosesTheFolder_data() {
        QTest::addColumn<QString>("remote");
        QTest::addColumn<QString>("suggested");
        QTest::newRow("plain") << u"Lobby.set"_s << u"Lobby.set"_s;
        QTest::newRow("absolute") << u"/etc/passwd"_s << u"_etc_passwd"_s;
        QTest::newRow("up") << u".."_s << QString();
        QTest::newRow("here") << u"."_s << QString();
        QTest::newRow("up and over") << u"../../.bashrc"_s << u".._.._.bashrc"_s;
        QTest::newRow("backslashes") << u"..\\..\\boot.ini"_s << u".._.._boot.ini"_s;
        QTest::newRow("drive") << u"C:x.cfg"_s << u"C_x.cfg"_s;
        QTest::newRow("control") << u"a\nb\tc\x01.set"_s << u"a_b_c_.set"_s;
    }
    void saveDialogNameNeverChoosesTheFolder() {
        QFETCH(QString, remote);
        QFETCH(QString, suggested);
        QCOMPARE(TransferNameRules::SaveDialogName(remote), suggested);
    }
};

VANTREL_TEST_MAIN(TestTransferNameRules)
#include "test_transfer_name_rules.moc"
