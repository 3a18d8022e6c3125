// The application object and the small helpers of the shell.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>

#include "app/ToolApp.h"
#include "base/FileDialogFilter.h"
#include "base/SystemErrorText.h"
#include "base/TextEncoding.h"
#include "tests/support/TestMain.h"

using namespace Qt::StringLiterals;

class TestToolApp : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void captionIsTheSameEverywhere() {
        QCOMPARE(ToolApp::AppCaption(), u"Orvanta File Transfer Application V.0.90.0400"_s);
    }

    void programNameIsTheExecutableBaseName() {
        QCOMPARE(ToolApp::ProgramNameFromExecutable(u"/opt/tools/Vantrel"_s), u"Vantrel"_s);
        QCOMPARE(ToolApp::ProgramNameFromExecutable(u"Vantrel.exe"_s), u"Vantrel"_s);
        QCOMPARE(ToolApp::ProgramNameFromExecutable(u"./bin/my.tool.exe"_s), u"my.tool"_s);
        // A link of another name leads to the real file's name.
        QTemporaryDir folder;
        QVERIFY(QFile(folder.filePath(u"Vantrel"_s)).open(QIODevice::WriteOnly));
        QVERIFY(QFile::link(folder.filePath(u"Vantrel"_s), folder.filePath(u"vantrel"_s)));
        QCOMPARE(ToolApp::ProgramNameFromExecutable(folder.filePath(u"vantrel"_s)), u"Vantrel"_s);
    }

    void settingsFileFollowsTheStartDirectory() {
        QTemporaryDir first;
        QTemporaryDir second;
        const QString original = QDir::currentPath();
        ToolApp app(u"Vantrel"_s);
        QCOMPARE(app.FlashCardSize(), 0u);

        QVERIFY(QDir::setCurrent(first.path()));
        app.CaptureStartDirectory();
        const QString firstSettings = app.SettingsFilePath();
        QVERIFY(QDir::setCurrent(second.path()));
        // Captured once: moving the working directory later changes nothing.
        QCOMPARE(app.SettingsFilePath(), firstSettings);

        ToolApp other(u"Vantrel"_s);
        other.CaptureStartDirectory();
        QVERIFY(QDir::setCurrent(original));
        auto folderOf = [](const QString& file) {
            return QFileInfo(QFileInfo(file).absolutePath()).canonicalFilePath();
        };
        QCOMPARE(folderOf(firstSettings), QFileInfo(first.path()).canonicalFilePath());
        QCOMPARE(QFileInfo(firstSettings).fileName(), u"Vantrel.ini"_s);
        QCOMPARE(folderOf(other.SettingsFilePath()), QFileInfo(second.path()).canonicalFilePath());

        app.SetFlashCardSize(67108864u);
        QCOMPARE(app.FlashCardSize(), 67108864u);
    }

    void systemErrorTextWordsTheSystemsReason() {
        QCOMPARE(SystemErrorText(ENOENT), u"No such file or directory"_s);
        QCOMPARE(SystemErrorText(ENOSPC), u"No space left on device"_s);
        QCOMPARE(SystemErrorText(987654), QString());
    }

    void fileDialogFiltersFromTheOriginalForm() {
        QCOMPARE(NameFiltersFromWindowsFilter(
                     u"message set files (*.set)|*.set|All Files (*.*)|*.*||"_s),
                 QStringList({u"message set files (*.set)"_s, u"All Files (*.*)"_s}));
        QCOMPARE(NameFiltersFromWindowsFilter(u"Pictures|*.gif;*.jpg||"_s),
                 QStringList({u"Pictures (*.gif *.jpg)"_s}));
        QCOMPARE(NameFiltersFromWindowsFilter(QString()), QStringList());
    }

    void cutsTextOnCharacterBoundaries() {
        QCOMPARE(text_encoding::CutToBytes(u"abcdef"_s, 4), u"abcd"_s);
        // "ü" is two bytes: a cut in its middle drops it whole.
        QCOMPARE(text_encoding::CutToBytes(u"abü"_s, 3), u"ab"_s);
        QCOMPARE(text_encoding::CutToBytes(u"abü"_s, 4), u"abü"_s);
        QCOMPARE(text_encoding::CutToBytes(u"abc"_s, 0), QString());
    }
};

VANTREL_TEST_GUILESS_MAIN(TestToolApp)
#include "test_tool_app.moc"
