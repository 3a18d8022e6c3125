#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>

#include "messageset/SetFileBuilder.h"
#include "setfile/SetFileCrc.h"
#include "tests/support/FakeProgress.h"
#include "tests/support/ScriptedDialogService.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMain.h"
#include "tests/support/WaveFiles.h"

using namespace Qt::StringLiterals;
using test_files::ReadAll;

class SetFileBuilderTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        QVERIFY(dir_.isValid());
        dialogs_.Clear();
        factory_ = FakeProgressFactory();
        builder_.SetFinishedBarPause(std::chrono::milliseconds(0));
        target_ = dir_.filePath(u"Lobby.SET"_s);
        QVERIFY(wave_files::Write(target_, "the earlier set"));
    }

    QString Wave(const QString& name, const QByteArray& bytes) {
        const QString path = dir_.filePath(name);
        return wave_files::Write(path, bytes) ? path : QString();
    }

    MessageSetModel Model(const QList<QString>& paths) {
        MessageSetModel model;
        model.setName = u"Lobby.SET"_s;
        for (const QString& path : paths) {
            model.entries.append(
                {QFileInfo(path).baseName(), static_cast<quint32>(QFileInfo(path).size()), path});
        }
        return model;
    }

    // Only the target and the waves in the folder: no temporary file left behind.
    void VerifyNoLeftovers() {
        const QStringList sets = QDir(dir_.path()).entryList({u"Lobby*"_s}, QDir::Files);
        QCOMPARE(sets, QStringList{u"Lobby.SET"_s});
    }

    void buildShowsItsProgress() {
        const QString first = Wave(u"first.wav"_s, wave_files::Make(2 * 81920 + 12));
        const QString second = Wave(u"second.wav"_s, wave_files::Make(5000));
        const MessageSetModel model = Model({first, second});
        QVERIFY(builder_.BuildSetFile(model, target_));
        QVERIFY(dialogs_.Messages().isEmpty());
        QCOMPARE(factory_.Logs().size(), size_t(1));
        const FakeProgressLog& log = factory_.Last();
        QCOMPARE(log.title, u"Creating: "_s + target_);
        QVERIFY(log.modal);
        QCOMPARE(log.lower, 0);
        QCOMPARE(log.upper, int(model.EstimateSetSize() / 1024));
        QCOMPARE(log.step, 80);
        QCOMPARE(log.advances, 2);
        QCOMPARE(log.repaints, 1);
        QCOMPARE(log.texts, (QStringList{u"Adding: "_s + first, u"Adding: "_s + second,
                                         u"Calculating CRC value."_s}));
        QVERIFY(log.destroyed);

        QFile file(target_);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.size(), builder_.LastResult().fileSize);
        const QByteArray head = file.read(2);
        const quint16 stored =
            static_cast<quint16>(static_cast<uchar>(head[0]) | (static_cast<uchar>(head[1]) << 8));
        QCOMPARE(ComputeSetFileCrc(file).value(), stored);
        VerifyNoLeftovers();
    }

    void waitCursorWhileBuilding() {
        // Records whether the wait cursor is up at each pump of the progress display.
        struct CursorProbe : FakeProgressFactory {
            struct Sink : FakeProgress {
                using FakeProgress::FakeProgress;
                QList<bool>* seen = nullptr;
                void PumpMessages() override {
                    FakeProgress::PumpMessages();
                    const QCursor* cursor = QGuiApplication::overrideCursor();
                    seen->append(cursor != nullptr && cursor->shape() == Qt::WaitCursor);
                }
            };
            QList<bool> seen;
            std::unique_ptr<ProgressSink> Create(const QString&) override {
                auto sink = std::make_unique<Sink>(std::make_shared<FakeProgressLog>(), -1);
                sink->seen = &seen;
                return sink;
            }
        } probe;
        SetFileBuilder builder(dialogs_, probe);
        builder.SetFinishedBarPause(std::chrono::milliseconds(0));
        const QString wave = Wave(u"w.wav"_s, wave_files::Make(2 * 81920 + 12));
        QVERIFY(builder.BuildSetFile(Model({wave}), target_));
        QCOMPARE(probe.seen, (QList<bool>{true, true}));
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }

    void pausesWithTheFinishedBar() {
        const QString wave = Wave(u"w.wav"_s, wave_files::Make(100));
        builder_.SetFinishedBarPause(std::chrono::milliseconds(1000));
        QElapsedTimer timer;
        timer.start();
        QVERIFY(builder_.BuildSetFile(Model({wave}), target_));
        QVERIFY(timer.elapsed() >= 1000);
        QCOMPARE(factory_.Last().repaints, 1);
    }

    void cancelKeepsTheEarlierFile() {
        const QString first = Wave(u"first.wav"_s, wave_files::Make(3 * 81920));
        const QString second = Wave(u"second.wav"_s, wave_files::Make(3 * 81920));
        factory_.CancelAfter(1);
        QVERIFY(!builder_.BuildSetFile(Model({first, second}), target_));
        QCOMPARE(dialogs_.Texts(), QStringList{u"Message set creation interrupted by user."_s});
        QCOMPARE(dialogs_.Messages().at(0).buttons, DialogService::Buttons::Ok);
        QCOMPARE(factory_.Last().advances, 1);
        QCOMPARE(factory_.Last().texts, QStringList{u"Adding: "_s + first});
        QVERIFY(factory_.Last().destroyed);
        QCOMPARE(ReadAll(target_), QByteArray("the earlier set"));
        VerifyNoLeftovers();
    }

    void failures_data() {
        QTest::addColumn<QString>("waveName");
        QTest::addColumn<QByteArray>("waveBytes");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing wave")
            << u"missing.wav"_s << QByteArray() << u"Could not open file: %1"_s;
        QTest::newRow("wave under 36 bytes")
            << u"short.wav"_s << wave_files::MakeExact(35)
            << u"The wav file '%1' is shorter than a wave file header (36 bytes)."_s;
    }
    void failures() {
        QFETCH(QString, waveName);
        QFETCH(QByteArray, waveBytes);
        QFETCH(QString, message);
        const QString good = Wave(u"good.wav"_s, wave_files::Make(100));
        const QString bad =
            waveBytes.isNull() ? dir_.filePath(waveName) : Wave(waveName, waveBytes);
        QVERIFY(!builder_.BuildSetFile(Model({good, bad, good}), target_));
        QCOMPARE(dialogs_.Texts(), QStringList{message.arg(bad)});
        QCOMPARE(factory_.Last().texts, (QStringList{u"Adding: "_s + good, u"Adding: "_s + bad}));
        QVERIFY(factory_.Last().destroyed);
        QCOMPARE(ReadAll(target_), QByteArray("the earlier set"));
        VerifyNoLeftovers();
    }

    void targetThatCannotBeCreated() {
        const QString wave = Wave(u"w.wav"_s, wave_files::Make(100));
        const QString nowhere = dir_.filePath(u"no folder/x.SET"_s);
        QVERIFY(!builder_.BuildSetFile(Model({wave}), nowhere));
        QCOMPARE(dialogs_.Texts(), QStringList{u"Could not create file: "_s + nowhere});
        QVERIFY(factory_.Logs().empty());
        // A folder in place of the file.
        QVERIFY(QDir(dir_.path()).mkdir(u"folder.SET"_s));
        dialogs_.Clear();
        QVERIFY(!builder_.BuildSetFile(Model({wave}), dir_.filePath(u"folder.SET"_s)));
        QCOMPARE(dialogs_.Texts(),
                 QStringList{u"Could not create file: "_s + dir_.filePath(u"folder.SET"_s)});
    }

    void refusedBeforeAnythingIsWritten() {
        const QString wave = Wave(u"w.wav"_s, wave_files::Make(100));
        MessageSetModel model = Model({});
        model.entries = QList<MessageEntry>(1024, MessageEntry{u"m"_s, 144, wave});
        const QString fresh = dir_.filePath(u"fresh.SET"_s);
        QVERIFY(!builder_.BuildSetFile(model, fresh));
        QCOMPARE(
            dialogs_.Texts(),
            QStringList{
                u"The message set has 1024 messages; a message set file holds at most 1023."_s});
        QVERIFY(!QFile::exists(fresh));
        QVERIFY(factory_.Logs().empty());

        dialogs_.Clear();
        model.entries.resize(1023);
        model.entries[5].name = QString(256, u'x');
        QVERIFY(!builder_.BuildSetFile(model, fresh));
        QCOMPARE(
            dialogs_.Texts(),
            QStringList{u"The name '"_s + QString(256, u'x') +
                        u"' is longer than 255 bytes and does not fit into a message set file."_s});
        QVERIFY(!QFile::exists(fresh));
    }

#ifdef Q_OS_UNIX
    void writeThatFailsPartWay() {
        const QString wave = Wave(u"w.wav"_s, wave_files::Make(300000));
        bool built = true;
        {
            const test_files::FileSizeLimit limit(100000);
            QVERIFY(limit.IsActive());
            built = builder_.BuildSetFile(Model({wave}), target_);
        }
        QVERIFY(!built);
        QCOMPARE(dialogs_.Texts(), QStringList{u"File too large"_s});
        QVERIFY(factory_.Last().destroyed);
        QCOMPARE(ReadAll(target_), QByteArray("the earlier set"));
        VerifyNoLeftovers();
    }
#endif

private:
    QTemporaryDir dir_;
    ScriptedDialogService dialogs_;
    FakeProgressFactory factory_;
    SetFileBuilder builder_{dialogs_, factory_};
    QString target_;
};

VANTREL_TEST_MAIN(SetFileBuilderTest)
#include "test_set_file_builder.moc"
