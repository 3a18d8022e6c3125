// The file transfer page against the controller simulator: entering categories, the two lists,
// the drive combo, and the upload, download and delete commands with their messages.

#include <sys/stat.h>
#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include "app/MainWindow.h"
#include "base/PrivateProfile.h"
#include "base/ToolState.h"
#include "controller/ControllerSession.h"
#include "tests/support/ControllerSimulator.h"
#include "tests/support/FakeProgress.h"
#include "tests/support/ScriptedDialogService.h"
#include "tests/support/TestMain.h"
#include "transfer/FileTransferPage.h"

using namespace Qt::StringLiterals;

namespace {

const QString kDone = u"File transfer completed succesfully"_s;
const QString kPrefix = u"File transfer did not succeed because of the following reason:\n"_s;
const QString kIncomplete =
    u" The file on the controller may now be incomplete; upload it again before the controller "
    u"uses it."_s;

bool WriteFile(const QString& path, const QByteArray& bytes = "content") {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

QStringList Texts(const QTreeWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        texts << list->topLevelItem(i)->text(0);
    }
    return texts;
}

// The TYPE command that was in force when the first command starting with `command` was sent.
// The controller lists in no particular order.
QStringList Sorted(QStringList texts) {
    texts.sort();
    return texts;
}

QString TypeBefore(const QString& log, const QString& command) {
    QString type;
    const QStringList lines = log.split(u'\n');
    for (const QString& line : lines) {
        if (line.startsWith(u"TYPE"_s)) {
            type = line.trimmed();
        } else if (line.startsWith(command)) {
            return type;
        }
    }
    return u"<no "_s + command + u'>';
}

}  // namespace

class TestFileTransferPage : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> temp_;
    QString savedWorkingDirectory_;
    ToolState tool_{u"Vantrel"_s};
    ScriptedDialogService dialogs_;
    std::unique_ptr<FakeProgressFactory> progress_;
    std::unique_ptr<ControllerSimulator> simulator_;
    std::unique_ptr<ControllerSession> session_;
    std::unique_ptr<FileTransferPage> page_;

    QString Target(const QString& below = {}) const {
        return temp_->filePath(u"target"_s) + (below.isEmpty() ? QString() : u'/' + below);
    }
    QString Remote(const QString& remotePath) const { return simulator_->LocalPath(remotePath); }

    template <typename T>
    T* Find(const QString& name) const {
        T* child = page_->findChild<T*>(name);
        if (child == nullptr) {
            qFatal("no child %s", qPrintable(name));
        }
        return child;
    }
    QTreeWidget* LocalList() const { return Find<QTreeWidget>(u"localList"_s); }
    QTreeWidget* RemoteList() const { return Find<QTreeWidget>(u"remoteList"_s); }
    QComboBox* DriveCombo() const { return Find<QComboBox>(u"driveCombo"_s); }
    QPushButton* Button(const QString& name) const { return Find<QPushButton>(name); }

    // Which of ">", "<" and "&Delete" are enabled, as three letters: "udx" all, "u--" upload only.
    QString ButtonStates() const {
        return QString(Button(u"uploadButton"_s)->isEnabled() ? u'u' : u'-') +
               (Button(u"downloadButton"_s)->isEnabled() ? u'd' : u'-') +
               (Button(u"deleteButton"_s)->isEnabled() ? u'x' : u'-');
    }

    void Click(const QString& radioName) { Find<QRadioButton>(radioName)->click(); }

    bool Select(QTreeWidget* list, const QString& text) {
        const QList<QTreeWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
        if (found.isEmpty()) {
            return false;
        }
        list->setCurrentItem(found.front());
        return true;
    }

    void StartController(ControllerSimulator::Options options = {}) {
        simulator_ = std::make_unique<ControllerSimulator>(options);
        QVERIFY2(simulator_->Start(), qPrintable(simulator_->ErrorText()));
        session_ = std::make_unique<ControllerSession>();
        session_->SetProgressFactory(progress_.get());
        session_->SetProgressPause(std::chrono::milliseconds(0));
        QVERIFY2(session_->Connect(ToolState::AppCaption(), simulator_->Host(), simulator_->User(),
                                   simulator_->Password(), simulator_->Port()),
                 qPrintable(session_->LastError()));
    }

    // Makes, initialises and shows the page, which enters "Message Set".
    void ShowPage() {
        page_ =
            std::make_unique<FileTransferPage>(PageContext{tool_, dialogs_, *progress_}, nullptr);
        page_->SetSession(session_.get());
        page_->InitialisePage();
        page_->show();
        QVERIFY(QTest::qWaitForWindowExposed(page_.get()));
    }

    // The local directories of every category but the web one's root.
    void MakeLocalTree() {
        for (const QString& dir :
             {u"mmu"_s, u"rfa/cfg/def"_s, u"rfa/fw"_s, u"rfa/drv"_s, u"boot"_s}) {
            QVERIFY(QDir().mkpath(Target(dir)));
        }
    }

private slots:
    void init() {
        temp_ = std::make_unique<QTemporaryDir>();
        QVERIFY(temp_->isValid());
        savedWorkingDirectory_ = QDir::currentPath();
        QVERIFY(QDir::setCurrent(temp_->path()));
        tool_.SetStartDirectory(temp_->path());
        tool_.SetFlashCardSize(64 * 1024 * 1024);
        QVERIFY(
            PrivateProfile::WriteString(tool_.SettingsFilePath(), u"Upload"_s, u"Dir"_s, Target()));
        QVERIFY(QDir().mkpath(Target()));
        dialogs_.Clear();
        progress_ = std::make_unique<FakeProgressFactory>();
    }

    void cleanup() {
        page_.reset();
        session_.reset();
        simulator_.reset();
        QDir::setCurrent(savedWorkingDirectory_);
        temp_.reset();
    }

    void FirstShowingWithoutSession() {
        ShowPage();
        // The message set folder is made below an existing upload directory and entered.
        QCOMPARE(QDir::currentPath(), Target(u"mmu"_s));
        QCOMPARE(page_->LocalDirectory(), Target(u"mmu"_s));
        QCOMPARE(Texts(LocalList()), QStringList{u".."_s});
        QVERIFY(Texts(RemoteList()).isEmpty());
        QCOMPARE(ButtonStates(), u"---"_s);
        QCOMPARE(DriveCombo()->currentText(), Target(u"mmu"_s));
        QVERIFY(Find<QRadioButton>(u"messageSetRadio"_s)->isChecked());
        QCOMPARE(dialogs_.Texts(), QStringList());

        // Commands that need the controller say so.
        QVERIFY(WriteFile(Target(u"mmu/a.set"_s)));
        page_->RefreshLocalList();
        QVERIFY(Select(LocalList(), u"a.set"_s));
        page_->UploadSelected();
        page_->DownloadSelected();
        QCOMPARE(dialogs_.Texts(), QStringList({u"Not connected. Use Login to connect"_s,
                                                u"Not connected. Use Login to connect"_s}));
    }

    void MessageSetFolderIsMadeWithItsParents() {
        // A fresh start folder: the upload directory does not exist yet.
        QVERIFY(QDir(Target()).removeRecursively());
        ShowPage();
        QCOMPARE(dialogs_.Texts(), QStringList());
        QCOMPARE(QDir::currentPath(), Target(u"mmu"_s));
        QCOMPARE(Texts(LocalList()), QStringList{u".."_s});
    }

    void MessageSetFolderThatCannotBeMadeIsReported() {
        QVERIFY(QDir(Target()).removeRecursively());
        QVERIFY(WriteFile(Target()));  // a file where the upload directory should be
        ShowPage();
        QCOMPARE(dialogs_.Texts(),
                 QStringList{u"Could not change local directory to: "_s + Target(u"mmu"_s)});
        QCOMPARE(QDir::currentPath(), temp_->path());
    }

    void ShowingWithSessionEntersTheCategories() {
        StartController();
        MakeLocalTree();
        QVERIFY(QDir().mkpath(Target(u"rfa"_s)));
        ShowPage();
        QCOMPARE(Texts(RemoteList()), QStringList{u"card"_s});
        QCOMPARE(ButtonStates(), u"udx"_s);

        Click(u"webRadio"_s);
        QCOMPARE(page_->SelectedCategory(), FileCategory::Web);
        QCOMPARE(Sorted(Texts(RemoteList())), QStringList({u"cfg"_s, u"drv"_s, u"fw"_s, u"web"_s}));
        QCOMPARE(ButtonStates(), u"u--"_s);
        QCOMPARE(QDir::currentPath(), Target(u"rfa"_s));

        // Entering a category again does not add its folder to the drive combo a second time.
        Click(u"messageSetRadio"_s);
        const int entries = DriveCombo()->count();
        Click(u"webRadio"_s);
        Click(u"messageSetRadio"_s);
        QCOMPARE(DriveCombo()->count(), entries);
        QCOMPARE(dialogs_.Texts(), QStringList());

        // Hidden and shown again: the marked category is entered again.
        page_->hide();
        QVERIFY(QDir::setCurrent(temp_->path()));
        page_->show();
        QCOMPARE(QDir::currentPath(), Target(u"mmu"_s));
    }

    void MissingRemoteDirectories() {
        StartController();
        MakeLocalTree();
        ShowPage();
        // Below /rfa a missing directory is made.
        QVERIFY(QDir(Remote(u"/rfa/cfg"_s)).removeRecursively());
        Click(u"configurationRadio"_s);
        QVERIFY(QFileInfo(Remote(u"/rfa/cfg"_s)).isDir());
        QCOMPARE(ButtonStates(), u"udx"_s);
        QVERIFY(WriteFile(Remote(u"/rfa/cfg/a.cfg"_s)));
        Click(u"configurationRadio"_s);
        QCOMPARE(Texts(RemoteList()), QStringList{u"a.cfg"_s});

        // /boot is not: the page says so, the buttons go off, the remote list stays.
        QVERIFY(QDir(Remote(u"/boot"_s)).removeRecursively());
        Click(u"applicationRadio"_s);
        QCOMPARE(dialogs_.Texts(), QStringList{u"Could not change remote directory to: /boot"_s});
        QVERIFY(!QFileInfo::exists(Remote(u"/boot"_s)));
        QCOMPARE(ButtonStates(), u"---"_s);
        QCOMPARE(Texts(RemoteList()), QStringList{u"a.cfg"_s});
        // The local side still moves.
        QCOMPARE(QDir::currentPath(), Target(u"boot"_s));
    }

    void LocalListFilterAndNavigation() {
        MakeLocalTree();
        for (const QString& name : {u"msg.set"_s, u"MSG.SET"_s, u"msg.settings"_s, u"o.txt"_s}) {
            QVERIFY(WriteFile(Target(u"mmu/"_s + name)));
        }
        QVERIFY(QDir().mkpath(Target(u"mmu/zdir"_s)));
        QVERIFY(QDir().mkpath(Target(u"mmu/sub"_s)));
        // A pipe is not listed: sending it would block in its open.
        QCOMPARE(mkfifo(QFile::encodeName(Target(u"mmu/pipe.set"_s)).constData(), 0600), 0);
        ShowPage();
        QCOMPARE(Texts(LocalList()),
                 QStringList({u".."_s, u"sub"_s, u"zdir"_s, u"msg.set"_s, u"msg.settings"_s}));
        QCOMPARE(LocalList()->topLevelItem(3)->toolTip(0), u"msg.set"_s);  // for a long name

        // A double click on a file changes nothing; on ".." it goes up.
        QVERIFY(Select(LocalList(), u"msg.set"_s));
        page_->OnLocalDoubleClick();
        QCOMPARE(QDir::currentPath(), Target(u"mmu"_s));
        QVERIFY(Select(LocalList(), u".."_s));
        page_->OnLocalDoubleClick();
        QCOMPARE(QDir::currentPath(), Target());
        QCOMPARE(Texts(LocalList()), QStringList({u".."_s, u"boot"_s, u"mmu"_s, u"rfa"_s}));
        // ... and into a directory, here by a real double click (the test library's double click
        // has no press of its own before it).
        QTreeWidgetItem* mmu = LocalList()->findItems(u"mmu"_s, Qt::MatchExactly).front();
        LocalList()->setCurrentItem(mmu);
        const QPoint centre = LocalList()->visualItemRect(mmu).center();
        QTest::mouseClick(LocalList()->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(LocalList()->viewport(), Qt::LeftButton, {}, centre);
        QCOMPARE(QDir::currentPath(), Target(u"mmu"_s));

        // The web category lists every name with a dot.
        QVERIFY(WriteFile(Target(u"rfa/noextension"_s)));
        QVERIFY(WriteFile(Target(u"rfa/Index.HTM"_s)));
        Click(u"webRadio"_s);
        QCOMPARE(Texts(LocalList()),
                 QStringList({u".."_s, u"cfg"_s, u"drv"_s, u"fw"_s, u"Index.HTM"_s}));
    }

    void DriveComboMovesTheLocalSide() {
        MakeLocalTree();
        page_ =
            std::make_unique<FileTransferPage>(PageContext{tool_, dialogs_, *progress_}, nullptr);
        page_->InitialisePage();
        QComboBox* combo = DriveCombo();
        const int drives = combo->count();
        QVERIFY(drives >= 1);
        QCOMPARE(combo->itemText(0), QStorageInfo::root().displayName());
        if (drives == 1) {
            // With one entry, picking it does nothing.
            combo->setCurrentIndex(0);
            emit combo->activated(0);
            QCOMPARE(QDir::currentPath(), temp_->path());
        }

        page_->show();  // enters "Message Set", appending its folder
        QCOMPARE(combo->count(), drives + 1);
        combo->setCurrentIndex(0);
        emit combo->activated(0);
        QCOMPARE(QDir::currentPath(), u"/"_s);
        QCOMPARE(page_->LocalDirectory(), u"/"_s);
        combo->setCurrentIndex(drives);
        emit combo->activated(drives);
        QCOMPARE(QDir::currentPath(), Target(u"mmu"_s));

        // An appended folder that has gone away clears the selection.
        QVERIFY(QDir(Target(u"mmu"_s)).removeRecursively());
        QVERIFY(QDir::setCurrent(Target()));
        combo->setCurrentIndex(drives);
        emit combo->activated(drives);
        QCOMPARE(combo->currentIndex(), -1);
        QCOMPARE(QDir::currentPath(), Target());
    }

    void MessageSetAgainstTheFlashCard() {
        StartController();
        MakeLocalTree();
        QVERIFY(WriteFile(Target(u"mmu/equal.set"_s), QByteArray(100, 'e')));
        QVERIFY(WriteFile(Target(u"mmu/over.set"_s), QByteArray(101, 'o')));
        QVERIFY(WriteFile(Target(u"mmu/empty.set"_s), QByteArray()));
        QVERIFY(QDir().mkpath(Target(u"mmu/folder"_s)));
        tool_.SetFlashCardSize(100);
        ShowPage();

        // With nothing selected the buttons do nothing and say nothing.
        LocalList()->clearSelection();
        RemoteList()->clearSelection();
        Button(u"uploadButton"_s)->click();
        Button(u"downloadButton"_s)->click();
        Button(u"deleteButton"_s)->click();
        QCOMPARE(dialogs_.Messages().size(), 0);
        QCOMPARE(dialogs_.SaveRequests().size(), 0);

        QVERIFY(Select(LocalList(), u"equal.set"_s));
        Button(u"uploadButton"_s)->click();
        QCOMPARE(dialogs_.Texts(), QStringList{kDone});
        QCOMPARE(ReadFile(Remote(u"/mmu/equal.set"_s)), QByteArray(100, 'e'));
        QVERIFY(Texts(RemoteList()).contains(u"equal.set"_s));

        dialogs_.Clear();
        QVERIFY(Select(LocalList(), u"over.set"_s));
        Button(u"uploadButton"_s)->click();
        QCOMPARE(dialogs_.Texts(), QStringList{u"Message set is larger than the flash card"_s});
        QVERIFY(!QFileInfo::exists(Remote(u"/mmu/over.set"_s)));

        // With no card size read, only an empty message set goes through.
        tool_.SetFlashCardSize(0);
        dialogs_.Clear();
        QVERIFY(Select(LocalList(), u"equal.set"_s));
        Button(u"uploadButton"_s)->click();
        QVERIFY(Select(LocalList(), u"empty.set"_s));
        Button(u"uploadButton"_s)->click();
        QCOMPARE(dialogs_.Texts(),
                 QStringList({u"Message set is larger than the flash card"_s, kDone}));
        QVERIFY(QFileInfo::exists(Remote(u"/mmu/empty.set"_s)));

        // A directory is not sent; a file gone since the listing is reported.
        dialogs_.Clear();
        QVERIFY(Select(LocalList(), u"folder"_s));
        Button(u"uploadButton"_s)->click();
        QVERIFY(QFile::remove(Target(u"mmu/over.set"_s)));
        QVERIFY(Select(LocalList(), u"over.set"_s));
        Button(u"uploadButton"_s)->click();
        QCOMPARE(dialogs_.Texts(), QStringList({kPrefix + u"Selected file is a directory"_s,
                                                kPrefix + u"Selected file could not be found"_s}));

        // A message set that cannot be read.
        QFile locked(Target(u"mmu/equal.set"_s));
        QVERIFY(locked.setPermissions(QFileDevice::WriteOwner));
        if (!locked.open(QIODevice::ReadOnly)) {
            dialogs_.Clear();
            QVERIFY(Select(LocalList(), u"equal.set"_s));
            Button(u"uploadButton"_s)->click();
            QCOMPARE(dialogs_.Texts(), QStringList{u"Could create file on Zentor"_s});
        }
    }

    void TransferTypesOnTheWire() {
        StartController();
        MakeLocalTree();
        QVERIFY(WriteFile(Target(u"mmu/msg.set"_s)));
        QVERIFY(WriteFile(Remote(u"/mmu/index.htm"_s), "<html>\r\n"));
        QVERIFY(WriteFile(Remote(u"/mmu/INDEX.HTM"_s), "<HTML>\r\n"));
        ShowPage();

        QVERIFY(Select(LocalList(), u"msg.set"_s));
        Button(u"uploadButton"_s)->click();
        QCOMPARE(TypeBefore(simulator_->CommandLog(), u"STOR"_s), u"TYPE I"_s);

        QVERIFY(Select(RemoteList(), u"index.htm"_s));
        dialogs_.QueueSaveFileName(temp_->filePath(u"lower.htm"_s));
        Button(u"downloadButton"_s)->click();
        QCOMPARE(TypeBefore(simulator_->CommandLog(), u"RETR"_s), u"TYPE A"_s);

        QVERIFY(Select(RemoteList(), u"INDEX.HTM"_s));
        dialogs_.QueueSaveFileName(temp_->filePath(u"upper.htm"_s));
        Button(u"downloadButton"_s)->click();
        const QString log = simulator_->CommandLog();
        QCOMPARE(TypeBefore(log.mid(log.indexOf(u"RETR index.htm"_s) + 1), u"RETR"_s), u"TYPE I"_s);
        QCOMPARE(ReadFile(temp_->filePath(u"upper.htm"_s)), QByteArray("<HTML>\r\n"));
        QCOMPARE(dialogs_.Texts(), QStringList({kDone, kDone, kDone}));
    }

    void WebUploadOfATree() {
        StartController();
        MakeLocalTree();
        const QString root = Target(u"rfa/WEB"_s);
        QVERIFY(WriteFile(root + u"/index.htm"_s));
        QVERIFY(WriteFile(root + u"/logo.gif"_s, QByteArray(5000, '\x01')));
        QVERIFY(WriteFile(root + u"/notes.txt"_s));
        QVERIFY(WriteFile(root + u"/img/a.gif"_s));
        QVERIFY(WriteFile(root + u"/IMG/Deep/B.CSS"_s));
        QVERIFY(QDir(Remote(u"/rfa/web"_s)).removeRecursively());
        ShowPage();
        Click(u"webRadio"_s);

        // Anything but the web root is refused.
        QVERIFY(Select(LocalList(), u"cfg"_s));
        Button(u"uploadButton"_s)->click();
        QCOMPARE(dialogs_.Texts(),
                 QStringList{kPrefix + u"Selected file is not a valid directory"_s});

        dialogs_.Clear();
        const std::size_t displays = progress_->Logs().size();
        QVERIFY(Select(LocalList(), u"WEB"_s));  // the root name is matched without regard to case
        Button(u"uploadButton"_s)->click();
        QCOMPARE(dialogs_.Texts(), QStringList{kDone});
        QCOMPARE(ReadFile(Remote(u"/rfa/web/logo.gif"_s)), QByteArray(5000, '\x01'));
        for (const QString& path :
             {u"/rfa/web/index.htm"_s, u"/rfa/web/img/a.gif"_s, u"/rfa/web/img/deep/b.css"_s}) {
            QVERIFY2(QFileInfo::exists(Remote(path)), qPrintable(path));
        }
        QVERIFY(!QFileInfo::exists(Remote(u"/rfa/web/notes.txt"_s)));
        QCOMPARE(TypeBefore(simulator_->CommandLog(), u"STOR /rfa\\web\\index.htm"_s), u"TYPE A"_s);

        QCOMPARE(progress_->Logs().size(), displays + 1);  // it serves each file too
        const FakeProgressLog& web = *progress_->Logs().at(displays);
        QCOMPARE(web.title, ToolState::AppCaption());
        QVERIFY(web.modal);
        QCOMPARE(web.upper, 4);
        QCOMPARE(web.step, 1);
        QCOMPARE(web.advances, 4);
        QVERIFY(web.hidden);
        QVERIFY(web.destroyed);
        QCOMPARE(web.texts.front(), u"Now uploading file : /rfa\\web\\index.htm\n"_s);
        QCOMPARE(web.texts.back(), u"Now uploading file : /rfa\\web\\img\\deep\\b.css\n"_s);

        QCOMPARE(QDir::currentPath(), Target(u"rfa"_s));
        QVERIFY(Texts(RemoteList()).contains(u"web"_s));
        // The stored sizes are checked with one listing of each folder, after its files.
        const QStringList log = simulator_->CommandLog().split(u'\n');
        QCOMPARE(log.filter(QRegularExpression(u"^LIST /rfa\\\\web"_s)),
                 QStringList({u"LIST /rfa\\web"_s, u"LIST /rfa\\web\\img"_s,
                              u"LIST /rfa\\web\\img\\deep"_s}));
    }

    void WebUploadStopsAtTheFirstFailure() {
        StartController();
        MakeLocalTree();
        const QString root = Target(u"rfa/web"_s);
        QVERIFY(WriteFile(root + u"/index.htm"_s));
        QVERIFY(WriteFile(root + u"/logo.gif"_s));
        QVERIFY(WriteFile(root + u"/img/a.gif"_s));
        // The second file cannot be stored: a directory holds its name.
        QVERIFY(QDir().mkpath(Remote(u"/rfa/web/logo.gif"_s)));
        ShowPage();
        Click(u"webRadio"_s);
        QVERIFY(Select(LocalList(), u"web"_s));
        Button(u"uploadButton"_s)->click();

        QCOMPARE(dialogs_.Texts().size(), 1);
        const QString message = dialogs_.Texts().front();
        QVERIFY2(message.startsWith(kPrefix) && message.size() > kPrefix.size(),
                 qPrintable(message));
        QVERIFY(QFileInfo::exists(Remote(u"/rfa/web/index.htm"_s)));
        QVERIFY(!QFileInfo::exists(Remote(u"/rfa/web/img/a.gif"_s)));
        QVERIFY(!simulator_->CommandLog().contains(u"a.gif"_s));
    }

    void WebUploadStopsAtAFileStoredShort() {
        ControllerSimulator::Options options;
        options.truncateStored = 4;  // the controller answers 226 but keeps 4 bytes of each file
        StartController(options);
        MakeLocalTree();
        const QString root = Target(u"rfa/web"_s);
        QVERIFY(WriteFile(root + u"/index.htm"_s, "<p>\n"));  // 5 bytes in ASCII, 4 stored
        QVERIFY(WriteFile(root + u"/logo.gif"_s, QByteArray(5000, '\x01')));
        QVERIFY(WriteFile(root + u"/img/a.gif"_s));
        ShowPage();
        Click(u"webRadio"_s);
        QVERIFY(Select(LocalList(), u"web"_s));
        Button(u"uploadButton"_s)->click();

        QCOMPARE(dialogs_.Texts().size(), 1);
        const QString message = dialogs_.Texts().front();
        QVERIFY2(message.startsWith(kPrefix + u"Uploading "_s) &&
                     message.endsWith(u"logo.gif to the controller failed: the file on the "
                                      u"controller has 4 bytes, but 5000 bytes were sent."_s +
                                      kIncomplete),
                 qPrintable(message));
        QCOMPARE(ReadFile(Remote(u"/rfa/web/index.htm"_s)), QByteArray("<p>\n"));
        QVERIFY(!simulator_->CommandLog().contains(u"a.gif"_s));
    }

    void WebUploadReportsADirectoryItCannotMake() {
        ControllerSimulator::Options options;
        options.refuseMkd = true;
        StartController(options);
        MakeLocalTree();
        QVERIFY(WriteFile(Target(u"rfa/web/img/a.gif"_s)));
        ShowPage();
        Click(u"webRadio"_s);
        QVERIFY(Select(LocalList(), u"web"_s));
        Button(u"uploadButton"_s)->click();
        QCOMPARE(dialogs_.Texts(),
                 QStringList{kPrefix + u"Could not create remote directory /rfa\\web\\img"_s});
        QVERIFY(!simulator_->CommandLog().contains(u"STOR"_s));
    }

    void WebUploadOfATreeWithoutWebFiles() {
        StartController();
        MakeLocalTree();
        QVERIFY(WriteFile(Target(u"rfa/web/notes.txt"_s)));
        ShowPage();
        Click(u"webRadio"_s);
        QVERIFY(Select(LocalList(), u"web"_s));
        Button(u"uploadButton"_s)->click();
        QCOMPARE(dialogs_.Texts(), QStringList{kDone});
        QCOMPARE(progress_->Last().upper, 0);
        QCOMPARE(progress_->Last().advances, 0);
        QVERIFY(!simulator_->CommandLog().contains(u"STOR"_s));
    }

    void WebUploadCancelledAtTheFirstFile() {
        StartController();
        MakeLocalTree();
        QVERIFY(WriteFile(Target(u"rfa/web/index.htm"_s)));
        QVERIFY(WriteFile(Target(u"rfa/web/img/a.gif"_s)));
        ShowPage();
        Click(u"webRadio"_s);
        QVERIFY(WriteFile(Remote(u"/rfa/later.txt"_s)));
        progress_->CancelAfter(1);
        QVERIFY(Select(LocalList(), u"web"_s));
        Button(u"uploadButton"_s)->click();

        QCOMPARE(dialogs_.Texts(), QStringList{u"FTP send cancelled by user."_s});
        QVERIFY(!simulator_->CommandLog().contains(u"STOR"_s));
        QVERIFY(!QFileInfo::exists(Remote(u"/rfa/web/index.htm"_s)));
        QCOMPARE(QDir::currentPath(), Target(u"rfa"_s));
        QVERIFY(Texts(RemoteList()).contains(u"later.txt"_s));  // refreshed
        QVERIFY(progress_->Last().destroyed);
    }

    // The window reads Cancel inside a file too: a controller that reads slowly does not keep
    // the upload going.
    void WebUploadCancelledInsideAFile() {
        ControllerSimulator::Options options;
        options.slowStor = 100000;
        StartController(options);
        MakeLocalTree();
        QVERIFY(WriteFile(Target(u"rfa/web/big.gif"_s), QByteArray(1000000, 'b')));
        QVERIFY(WriteFile(Target(u"rfa/web/later.gif"_s)));
        ShowPage();
        Click(u"webRadio"_s);
        QVERIFY(Select(LocalList(), u"web"_s));
        progress_->CancelAtPump(10);  // inside the file: its blocks' pumps and the timer's
        QElapsedTimer timer;
        timer.start();
        Button(u"uploadButton"_s)->click();

        QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(dialogs_.Texts(), QStringList{u"FTP send cancelled by user."_s + kIncomplete});
        QVERIFY(QFileInfo(Remote(u"/rfa/web/big.gif"_s)).size() < 1000000);
        QVERIFY(!simulator_->CommandLog().contains(u"later.gif"_s));
        QVERIFY(progress_->Last().destroyed);
    }

    void DownloadAsksWhereToSave() {
        StartController();
        MakeLocalTree();
        QVERIFY(WriteFile(Remote(u"/mmu/remote.set"_s), "remote bytes"));
        ShowPage();
        QVERIFY(Select(RemoteList(), u"remote.set"_s));

        // Cancelled: nothing is fetched, the local list is read again all the same.
        QVERIFY(WriteFile(Target(u"mmu/new.set"_s)));
        dialogs_.QueueSaveFileName(std::nullopt);
        Button(u"downloadButton"_s)->click();
        QCOMPARE(dialogs_.SaveRequests().size(), 1);
        const DialogService::SaveFileRequest request = dialogs_.SaveRequests().front();
        QCOMPARE(request.initialName, u"remote.set"_s);
        QCOMPARE(request.filter, u"All Files (*.*)|*.*||"_s);
        QVERIFY(request.defaultExtension.isEmpty());
        QVERIFY(request.confirmOverwrite);
        QCOMPARE(dialogs_.Texts(), QStringList());
        QVERIFY(!simulator_->CommandLog().contains(u"RETR"_s));
        QVERIFY(Texts(LocalList()).contains(u"new.set"_s));
        // A remote name never chooses the local folder (TransferNameRules has the whole table).
        QVERIFY(
            WriteFile(Remote(u"/mmu/c:\x01"
                             u"evil.set"_s)));
        page_->RefreshRemoteList();
        QVERIFY(Select(RemoteList(),
                       u"c:\x01"
                       u"evil.set"_s));
        dialogs_.QueueSaveFileName(std::nullopt);
        Button(u"downloadButton"_s)->click();
        QCOMPARE(dialogs_.SaveRequests().back().initialName, u"c__evil.set"_s);
        QVERIFY(Select(RemoteList(), u"remote.set"_s));

        // Confirmed.
        const QString saved = temp_->filePath(u"saved/copy.set"_s);
        QVERIFY(QDir().mkpath(QFileInfo(saved).absolutePath()));
        dialogs_.QueueSaveFileName(saved);
        Button(u"downloadButton"_s)->click();
        QCOMPARE(dialogs_.Texts(), QStringList{kDone});
        QCOMPARE(ReadFile(saved), QByteArray("remote bytes"));
        // The local side has followed the dialog to the folder of the saved file.
        QCOMPARE(QDir::currentPath(), temp_->filePath(u"saved"_s));
        QCOMPARE(page_->LocalDirectory(), QDir::toNativeSeparators(temp_->filePath(u"saved"_s)));
        QCOMPARE(Texts(LocalList()), QStringList({u".."_s, u"copy.set"_s}));

        // A remote file gone since the listing: the session's reason is shown.
        dialogs_.Clear();
        QVERIFY(QFile::remove(Remote(u"/mmu/remote.set"_s)));
        dialogs_.QueueSaveFileName(temp_->filePath(u"saved/gone.set"_s));
        Button(u"downloadButton"_s)->click();
        QCOMPARE(dialogs_.Texts().size(), 1);
        QVERIFY(dialogs_.Texts().front().startsWith(kPrefix));
        QVERIFY(dialogs_.Texts().front().size() > kPrefix.size());
    }

    void DeleteAsksFirst() {
        StartController();
        MakeLocalTree();
        QVERIFY(WriteFile(Remote(u"/mmu/old.set"_s)));
        ShowPage();

        QVERIFY(Select(RemoteList(), u"old.set"_s));
        dialogs_.QueueAnswer(DialogService::Answer::No);
        Button(u"deleteButton"_s)->click();
        QCOMPARE(dialogs_.Messages().size(), 1);
        QCOMPARE(dialogs_.Messages().front().text, u"Are you sure of removing old.set"_s);
        QCOMPARE(dialogs_.Messages().front().buttons, DialogService::Buttons::YesNo);
        QCOMPARE(dialogs_.Messages().front().icon, DialogService::Icon::None);
        QVERIFY(QFileInfo::exists(Remote(u"/mmu/old.set"_s)));
        QCOMPARE(Sorted(Texts(RemoteList())), QStringList({u"card"_s, u"old.set"_s}));

        dialogs_.QueueAnswer(DialogService::Answer::Yes);
        Button(u"deleteButton"_s)->click();
        QVERIFY(!QFileInfo::exists(Remote(u"/mmu/old.set"_s)));
        QCOMPARE(Texts(RemoteList()), QStringList{u"card"_s});
        QCOMPARE(dialogs_.Texts().size(), 2);  // the two questions, nothing else
    }

    void RefusedDeleteIsReported() {
        ControllerSimulator::Options options;
        options.refuseDele = true;
        StartController(options);
        MakeLocalTree();
        QVERIFY(WriteFile(Remote(u"/mmu/kept.set"_s)));
        ShowPage();
        QVERIFY(Select(RemoteList(), u"kept.set"_s));
        dialogs_.QueueAnswer(DialogService::Answer::Yes);
        Button(u"deleteButton"_s)->click();
        QCOMPARE(dialogs_.Texts().back(), u"Could not remove file"_s);
        QVERIFY(QFileInfo::exists(Remote(u"/mmu/kept.set"_s)));
        QCOMPARE(Sorted(Texts(RemoteList())), QStringList({u"card"_s, u"kept.set"_s}));
    }

    void SettingsAreWrittenBackWhenThePageGoes() {
        QVERIFY(PrivateProfile::WriteString(tool_.SettingsFilePath(), u"Driver"_s, u"Dir"_s,
                                            u"RFA\\DRIVERS"_s));
        ShowPage();
        QCOMPARE(page_->SaveSettings(), QString());
        page_.reset();
        const QString file = tool_.SettingsFilePath();
        QCOMPARE(PrivateProfile::ReadString(file, u"Driver"_s, u"Dir"_s, {}), u"rfa\\drivers"_s);
        QCOMPARE(PrivateProfile::ReadString(file, u"Web"_s, u"Root Direotory"_s, {}), u"web"_s);
        QCOMPARE(PrivateProfile::ReadString(file, u"Upload"_s, u"Dir"_s, {}), Target());
        QCOMPARE(PrivateProfile::ReadString(file, u"Ftp"_s, u"Ascii"_s, {}),
                 u"asp;js;htm;css;svg;vbs"_s);
    }

    void RoundTripThroughTheMainWindow() {
        // What a user does: log in, open the file transfer page, send a message set, fetch it
        // back and delete it.
        ControllerSimulator simulator;
        QVERIFY2(simulator.Start(), qPrintable(simulator.ErrorText()));
        const QString ini = tool_.SettingsFilePath();
        for (int i = 0; i < 4; ++i) {
            QVERIFY(PrivateProfile::WriteString(ini, u"Login"_s, u"IP%1"_s.arg(i),
                                                QString::number(i == 0   ? 127
                                                                : i == 3 ? 1
                                                                         : 0)));
        }
        QVERIFY(PrivateProfile::WriteString(ini, u"Login"_s, u"User Name"_s, simulator.User()));
        QVERIFY(PrivateProfile::WriteString(ini, u"Login"_s, u"Port"_s,
                                            QString::number(simulator.Port())));
        QVERIFY(WriteFile(Target(u"mmu/tour.set"_s), QByteArray(3000, 's')));

        MainWindow window(PageContext{tool_, dialogs_, *progress_});
        window.Session().SetProgressPause(std::chrono::milliseconds(0));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // The indicator under the page buttons, read as a screen reader reads it.
        const auto* indicator = window.findChild<QLabel*>(u"connectionIndicator"_s);
        const auto indicated = [indicator] {
            return indicator->text() == indicator->accessibleName() && indicator->isVisible()
                       ? indicator->text()
                       : u"<not shown as its accessible name>"_s;
        };
        QCOMPARE(indicated(), u"Not connected"_s);
        window.findChild<QLineEdit*>(u"passwordEdit"_s)->setText(simulator.Password());
        window.findChild<QPushButton*>(u"connectButton"_s)->click();
        QVERIFY2(window.Session().IsConnected(), qPrintable(dialogs_.Texts().join(u'|')));
        QCOMPARE(indicated(), u"Connected to 127.0.0.1 as service"_s);
        dialogs_.Clear();

        window.findChild<QPushButton*>(u"fileTransferButton"_s)->click();
        FileTransferPage* page = window.GetFileTransferPage();
        auto* local = page->findChild<QTreeWidget*>(u"localList"_s);
        auto* remote = page->findChild<QTreeWidget*>(u"remoteList"_s);
        QCOMPARE(Texts(remote), QStringList{u"card"_s});
        QCOMPARE(Texts(local), QStringList({u".."_s, u"tour.set"_s}));

        local->setCurrentItem(local->findItems(u"tour.set"_s, Qt::MatchExactly).front());
        page->findChild<QPushButton*>(u"uploadButton"_s)->click();
        QCOMPARE(ReadFile(simulator.LocalPath(u"/mmu/tour.set"_s)), QByteArray(3000, 's'));

        remote->setCurrentItem(remote->findItems(u"tour.set"_s, Qt::MatchExactly).front());
        dialogs_.QueueSaveFileName(temp_->filePath(u"back.set"_s));
        page->findChild<QPushButton*>(u"downloadButton"_s)->click();
        QCOMPARE(ReadFile(temp_->filePath(u"back.set"_s)), QByteArray(3000, 's'));

        remote->setCurrentItem(remote->findItems(u"tour.set"_s, Qt::MatchExactly).front());
        dialogs_.QueueAnswer(DialogService::Answer::Yes);
        page->findChild<QPushButton*>(u"deleteButton"_s)->click();
        QVERIFY(!QFileInfo::exists(simulator.LocalPath(u"/mmu/tour.set"_s)));
        QCOMPARE(Texts(remote), QStringList{u"card"_s});
        QCOMPARE(dialogs_.Texts(),
                 QStringList({kDone, kDone, u"Are you sure of removing tour.set"_s}));

        // Still shown on every page; gone with the connection.
        QCOMPARE(indicated(), u"Connected to 127.0.0.1 as service"_s);
        window.findChild<QPushButton*>(u"loginButton"_s)->click();
        window.findChild<QPushButton*>(u"disconnectButton"_s)->click();
        QCOMPARE(indicated(), u"Not connected"_s);
        // Every wait cursor put up over a blocking step was taken down again.
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }
};

VANTREL_TEST_MAIN(TestFileTransferPage)
#include "test_file_transfer_page.moc"
