#include "sitepage/PushDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/DialogService.h"
#include "base/ToolState.h"
#include "sitepage/ControllerChoiceModel.h"

using namespace Qt::StringLiterals;

PushDialog::PushDialog(const QList<SiteFile::Controller>& controllers, DialogService& dialogs,
                       QWidget* parent)
    : QDialog(parent), dialogs_(dialogs) {
    setObjectName(u"pushDialog"_s);
    setWindowTitle(ToolState::AppCaption());
    categoryCombo_ = new QComboBox(this);
    categoryCombo_->setObjectName(u"pushCategoryCombo"_s);
    categoryCombo_->setAccessibleName(u"Category"_s);
    for (FileCategory category : kAllFileCategories) {
        categoryCombo_->addItem(CategoryLabel(category), CategoryIndex(category));
    }
    categoryCombo_->setCurrentIndex(CategoryIndex(FileCategory::Configuration));
    fileEdit_ = new QLineEdit(this);
    fileEdit_->setObjectName(u"pushFileEdit"_s);
    fileEdit_->setAccessibleName(u"File"_s);
    auto* browse = new QPushButton(u"&Browse..."_s, this);
    browse->setObjectName(u"pushBrowseButton"_s);
    browse->setAutoDefault(false);
    connect(browse, &QPushButton::clicked, this, &PushDialog::Browse);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(fileEdit_, 1);
    fileRow->addWidget(browse);

    choices_ = new ControllerChoiceModel(controllers, this);
    auto* list = new QListView(this);
    list->setObjectName(u"pushControllerList"_s);
    list->setAccessibleName(u"Controllers to push to"_s);
    list->setModel(choices_);

    auto* form = new QFormLayout;
    auto* categoryLabel = new QLabel(u"Category"_s, this);
    categoryLabel->setBuddy(categoryCombo_);
    auto* fileLabel = new QLabel(u"File"_s, this);
    fileLabel->setBuddy(fileEdit_);
    auto* listLabel = new QLabel(u"Controllers"_s, this);
    listLabel->setBuddy(list);
    form->addRow(categoryLabel, categoryCombo_);
    form->addRow(fileLabel, fileRow);
    form->addRow(listLabel, list);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(u"Dry run"_s);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(new QLabel(
        u"A dry run first lists what would change on each controller; nothing is sent before "
        u"you say \"Push\"."_s,
        this));
    layout->addWidget(buttons);
}

PushDialog::Choice PushDialog::Chosen() const {
    return {static_cast<FileCategory>(categoryCombo_->currentData().toInt()),
            fileEdit_->text().trimmed(), choices_->Checked()};
}

void PushDialog::Browse() {
    const Choice choice = Chosen();
    std::optional<QString> path;
    if (choice.category == FileCategory::Web) {
        path = dialogs_.AskFolder(u"The web tree to push"_s, QFileInfo(choice.localPath).path());
    } else {
        path = dialogs_.AskOpenFileName(
            {u"The file to push"_s, QFileInfo(choice.localPath).path(), QString()});
    }
    if (path) {
        fileEdit_->setText(*path);
    }
}

void PushDialog::accept() {
    const Choice choice = Chosen();
    if (choice.localPath.isEmpty() || !QFileInfo::exists(choice.localPath)) {
        dialogs_.Inform(u"Choose the file to push."_s);
        return;
    }
    if (choice.controllers.isEmpty()) {
        dialogs_.Inform(u"Tick at least one controller."_s);
        return;
    }
    QDialog::accept();
}
