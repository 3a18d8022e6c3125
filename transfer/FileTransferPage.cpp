#include "transfer/FileTransferPage.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QFileIconProvider>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QShowEvent>
#include <QVBoxLayout>
#include <array>

#include "base/DialogService.h"
#include "base/DriveRoots.h"
#include "base/ToolState.h"
#include "controller/ControllerSession.h"
#include "transfer/RemoteCategoryDirectory.h"
#include "transfer/TransferCommands.h"
#include "transfer/TransferFileList.h"
#include "transfer/TransferListing.h"
#include "transfer/TransferNameRules.h"
#include "transfer/TransferOutcomes.h"

using namespace Qt::StringLiterals;
using Outcome = TransferReport::Outcome;
using Direction = TransferOutcomes::Direction;

namespace {

// The drive combo keeps room for this many characters, whatever the length of its paths.
constexpr int kDriveComboChars = 24;

QString RadioName(FileCategory category) {
    static const std::array<QString, kFileCategoryCount> kNames = {
        u"messageSetRadio"_s,  u"configurationRadio"_s, u"firmwareRadio"_s,
        u"applicationRadio"_s, u"driverRadio"_s,        u"defaultConfigurationRadio"_s,
        u"webRadio"_s};
    return kNames[CategoryIndex(category)];
}

}  // namespace

FileTransferPage::FileTransferPage(const PageContext& context, QWidget* parent)
    : PageDialog(context, parent),
      folderIcon_(u":/icons/folder.png"_s),
      documentIcon_(u":/icons/document.png"_s),
      iconProvider_(std::make_unique<QFileIconProvider>()) {
    setObjectName(u"fileTransferPage"_s);
    setAccessibleName(u"File Transfer"_s);
    BuildLayout();
}

FileTransferPage::~FileTransferPage() = default;

QString FileTransferPage::SaveSettings() {
    if (selectedCategory_ < 0) {
        return {};  // never initialised: nothing was read, so nothing is written
    }
    const QString file = context_.app.SettingsFilePath();
    QString reason;
    if (!settings_.Save(file, &reason)) {
        return u"The file transfer settings could not be saved in %1: %2"_s.arg(
            QDir::toNativeSeparators(file), reason.simplified());
    }
    return {};
}

void FileTransferPage::BuildLayout() {
    auto* localLabel = new QLabel(u"Local PC"_s, this);
    localLabel->setObjectName(u"localLabel"_s);
    auto* remoteLabel = new QLabel(u"Network Controller"_s, this);
    remoteLabel->setObjectName(u"remoteLabel"_s);

    driveCombo_ = new QComboBox(this);
    driveCombo_->setObjectName(u"driveCombo"_s);
    driveCombo_->setAccessibleName(u"Drive"_s);
    driveCombo_->setEditable(true);
    driveCombo_->setInsertPolicy(QComboBox::NoInsert);
    // A long path scrolls in the field rather than widening the page.
    driveCombo_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    driveCombo_->setMinimumContentsLength(kDriveComboChars);
    connect(driveCombo_, &QComboBox::activated, this, [this] { OnDriveSelected(); });

    localList_ = new TransferFileList(u"localList"_s, u"Local PC files"_s, this);
    remoteList_ = new TransferFileList(u"remoteList"_s, u"Network Controller files"_s, this);
    connect(localList_, &QTreeWidget::itemDoubleClicked, this, [this] { OnLocalDoubleClick(); });

    auto makeButton = [this](const QString& text, const QString& name, const QString& accessible) {
        auto* button = new QPushButton(text, this);
        button->setObjectName(name);
        button->setAccessibleName(accessible);
        button->setEnabled(false);
        return button;
    };
    uploadButton_ = makeButton(u">"_s, u"uploadButton"_s, u"Upload"_s);
    downloadButton_ = makeButton(u"<"_s, u"downloadButton"_s, u"Download"_s);
    deleteButton_ = makeButton(u"&Delete"_s, u"deleteButton"_s, u"Delete"_s);
    connect(uploadButton_, &QPushButton::clicked, this, [this] { UploadSelected(); });
    connect(downloadButton_, &QPushButton::clicked, this, [this] { DownloadSelected(); });
    connect(deleteButton_, &QPushButton::clicked, this, [this] { DeleteSelected(); });

    auto* filesBox = new QGroupBox(u"Files"_s, this);
    filesBox->setObjectName(u"filesGroup"_s);
    auto* filesGrid = new QGridLayout(filesBox);
    categoryGroup_ = new QButtonGroup(this);
    categoryGroup_->setObjectName(u"categoryGroup"_s);
    for (FileCategory category : kAllFileCategories) {
        const int index = CategoryIndex(category);
        auto* radio = new QRadioButton(CategoryLabel(category), filesBox);
        radio->setObjectName(RadioName(category));
        radio->setAccessibleName(CategoryLabel(category));
        categoryGroup_->addButton(radio, index);
        // Four in the first column, three in the second.
        filesGrid->addWidget(radio, index < 4 ? index : index - 4, index < 4 ? 0 : 1);
    }
    connect(categoryGroup_, &QButtonGroup::idClicked, this,
            [this](int id) { EnterCategory(static_cast<FileCategory>(id)); });

    auto* buttonColumn = new QVBoxLayout;
    buttonColumn->addStretch();
    buttonColumn->addWidget(uploadButton_);
    buttonColumn->addWidget(downloadButton_);
    buttonColumn->addWidget(deleteButton_);

    localLabel->setBuddy(localList_);
    remoteLabel->setBuddy(remoteList_);

    auto* grid = new QGridLayout(this);
    grid->addWidget(localLabel, 0, 0);
    grid->addWidget(remoteLabel, 0, 2);
    grid->addWidget(driveCombo_, 1, 0);
    grid->addWidget(localList_, 2, 0);
    grid->addLayout(buttonColumn, 2, 1);
    grid->addWidget(remoteList_, 2, 2);
    grid->addWidget(filesBox, 3, 2);
    grid->setRowStretch(2, 1);
    // The two sides share the extra width equally.
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(2, 1);
}

void FileTransferPage::InitialisePage() {
    PageDialog::InitialisePage();
    settings_.Load(context_.app.SettingsFilePath(), QDir::currentPath());
    selectedCategory_ = CategoryIndex(FileCategory::MessageSet);
    RefreshLocalList();
    RefreshRemoteList();
    FillDriveCombo();
    MarkSelectedCategory();
}

void FileTransferPage::showEvent(QShowEvent* event) {
    PageDialog::showEvent(event);
    // Spontaneous show events come from the window system (a restored window), not from the
    // page being picked.
    if (!event->spontaneous() && selectedCategory_ >= 0) {
        OnShown();
    }
}

void FileTransferPage::OnShown() {
    RefreshLocalList();
    RefreshRemoteList();
    const int marked = categoryGroup_->checkedId();
    EnterCategory(static_cast<FileCategory>(marked >= 0 ? marked : selectedCategory_));
}

void FileTransferPage::EnterCategory(FileCategory category) {
    selectedCategory_ = CategoryIndex(category);

    uploadButton_->setEnabled(false);
    downloadButton_->setEnabled(false);
    deleteButton_->setEnabled(false);
    ControllerSession* session = Session();
    if (session == nullptr || !session->IsConnected()) {
        RefreshRemoteList();
    } else if (RemoteCategoryDirectory::Enter(*session, settings_.RemoteDirectoryFor(category))) {
        RefreshRemoteList();
        uploadButton_->setEnabled(true);
        downloadButton_->setEnabled(CategoryFetchesAndDeletes(category));
        deleteButton_->setEnabled(CategoryFetchesAndDeletes(category));
    } else {
        context_.dialogs.Inform(u"Could not change remote directory to: "_s +
                                settings_.RemoteDirectoryFor(category));
    }

    EnterLocalDirectory(category);
    MarkSelectedCategory();
}

void FileTransferPage::EnterLocalDirectory(FileCategory category) {
    const QString path = settings_.LocalDirectoryFor(category);
    if (CategoryMakesLocalDirectory(category)) {
        // A failure shows below, when the folder cannot be entered.
        QDir().mkpath(path);
    }
    if (!QDir::setCurrent(path)) {
        context_.dialogs.Inform(u"Could not change local directory to: "_s + path);
        return;
    }
    RefreshLocalList();
    int entry = driveCombo_->findText(path, Qt::MatchFixedString);
    if (entry < 0) {
        driveCombo_->addItem(path);
        entry = driveCombo_->count() - 1;
    }
    driveCombo_->setCurrentIndex(entry);
}

void FileTransferPage::MarkSelectedCategory() {
    if (QAbstractButton* radio = categoryGroup_->button(selectedCategory_)) {
        radio->setChecked(true);
    }
}

QIcon FileTransferPage::IconFor(const QString& path, bool isDirectory) const {
    const QIcon icon = iconProvider_->icon(QFileInfo(path));
    if (!icon.isNull()) {
        return icon;
    }
    return isDirectory ? folderIcon_ : documentIcon_;
}

void FileTransferPage::RefreshLocalList() {
    const QString working = QDir::currentPath();
    localDirectory_ = QDir::toNativeSeparators(working);
    localList_->Fill(TransferListing::Local(working, settings_.LocalListFilter(SelectedCategory())),
                     [&](const QString& name, bool isDirectory) {
                         return IconFor(QDir(working).absoluteFilePath(name), isDirectory);
                     });
}

void FileTransferPage::RefreshRemoteList() {
    remoteList_->Fill(TransferListing::Remote(Session()), [this](const QString&, bool isDirectory) {
        return isDirectory ? folderIcon_ : documentIcon_;
    });
}

void FileTransferPage::FillDriveCombo() {
    const QList<DriveRoot> roots = DriveRoots::List();
    for (const DriveRoot& root : roots) {
        driveCombo_->addItem(root.displayName, root.rootPath);  // the entry carries its root
    }
}

void FileTransferPage::OnDriveSelected() {
    const int index = driveCombo_->currentIndex();
    if (index < 0 || driveCombo_->count() < 2) {
        return;
    }
    // Appended entries are absolute paths; a drive's display name is not a path, so it is never
    // tried against the working directory.
    const QString text = driveCombo_->itemText(index);
    if (QDir::isAbsolutePath(text) && QDir::setCurrent(text)) {
        RefreshLocalList();
        return;
    }
    const QString root = driveCombo_->itemData(index).toString();  // empty: not a drive entry
    if (!root.isEmpty() && QDir::setCurrent(root)) {
        RefreshLocalList();
        return;
    }
    driveCombo_->setCurrentIndex(-1);
}

QString FileTransferPage::LocalPathOf(const QString& name) const {
    const bool endsInSeparator = localDirectory_.endsWith(u'\\') || localDirectory_.endsWith(u'/');
    return localDirectory_ + (endsInSeparator ? QString() : QString(QDir::separator())) + name;
}

void FileTransferPage::OnLocalDoubleClick() {
    if (const QString name = localList_->SelectedName(); !name.isEmpty()) {
        if (QDir::setCurrent(LocalPathOf(name))) {
            RefreshLocalList();
        }
    }
    localList_->setFocus();
}

TransferCommands FileTransferPage::Commands() const {
    return TransferCommands(Session(), settings_, context_.progress, context_.app.FlashCardSize());
}

QString FileTransferPage::NameToTransfer(const TransferFileList* list) {
    if (!Commands().IsConnected()) {
        context_.dialogs.Inform(TransferOutcomes::MessageFor({Outcome::NotConnected, {}}));
        return {};
    }
    return list->SelectedName();
}

void FileTransferPage::UploadSelected() {
    if (busy_) {
        return;
    }
    const QScopedValueRollback<bool> running(busy_, true);

    const QString name = NameToTransfer(localList_);
    if (name.isEmpty()) {
        return;
    }
    const TransferReport report = Commands().Upload(SelectedCategory(), LocalPathOf(name), name);
    context_.dialogs.Inform(TransferOutcomes::MessageFor(report));
    if (TransferOutcomes::After(Direction::Upload, report.outcome).remote) {
        RefreshRemoteList();
        localList_->setFocus();
    }
}

void FileTransferPage::DownloadSelected() {
    if (busy_) {
        return;
    }
    const QScopedValueRollback<bool> running(busy_, true);

    const QString name = NameToTransfer(remoteList_);
    if (name.isEmpty()) {
        return;
    }
    DialogService::SaveFileRequest request;
    request.initialName = TransferNameRules::SaveDialogName(name);  // never picks the folder
    request.filter = u"All Files (*.*)|*.*||"_s;
    request.confirmOverwrite = true;
    Outcome outcome = Outcome::Cancelled;  // also when no file was chosen
    if (const std::optional<QString> path = context_.dialogs.AskSaveFileName(request)) {
        const QFileInfo target(*path);
        const TransferReport report = Commands().Download(target.absoluteFilePath(), name);
        // The working directory, and with it the local list, follows the dialog to the folder
        // of the saved file.
        QDir::setCurrent(target.absolutePath());
        context_.dialogs.Inform(TransferOutcomes::MessageFor(report));
        outcome = report.outcome;
    }
    if (TransferOutcomes::After(Direction::Download, outcome).local) {
        RefreshLocalList();
    }
    remoteList_->setFocus();
}

void FileTransferPage::DeleteSelected() {
    if (busy_) {
        return;
    }
    const QScopedValueRollback<bool> running(busy_, true);

    const QString name = remoteList_->SelectedName();
    if (name.isEmpty()) {
        return;
    }
    if (!context_.dialogs.AskYesNo(u"Are you sure of removing "_s + name)) {
        return;
    }
    if (Commands().Delete(name)) {
        RefreshRemoteList();
    } else {
        context_.dialogs.Inform(u"Could not remove file"_s);
    }
}
