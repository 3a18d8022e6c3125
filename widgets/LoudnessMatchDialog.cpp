#include "widgets/LoudnessMatchDialog.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

QString OneDecimal(double value) {
    const double rounded = std::round(value * 10) / 10;
    return QString::number(rounded == 0 ? 0.0 : rounded, 'f', 1);
}

QRadioButton* MakeRadio(const QString& text, const QString& objectName, QWidget* parent) {
    auto* radio = new QRadioButton(text, parent);
    radio->setObjectName(objectName);
    radio->setAccessibleName(QString(text).remove(u'&'));
    return radio;
}

}  // namespace

LoudnessMatchDialog::LoudnessMatchDialog(const DialogService::LoudnessMatchRequest& request,
                                         QWidget* parent)
    : QDialog(parent), median_(request.median) {
    setObjectName(u"loudnessMatchDialog"_s);
    setWindowTitle(u"Match loudness"_s);

    auto* target = new QGroupBox(u"Target loudness"_s, this);
    target->setObjectName(u"targetGroup"_s);
    medianRadio_ = MakeRadio(median_ ? u"The set's &median: %1 LUFS"_s.arg(OneDecimal(*median_))
                                     : u"The set's &median (no message measured)"_s,
                             u"medianTargetRadio"_s, target);
    medianRadio_->setEnabled(median_.has_value());
    typedRadio_ = MakeRadio(u"&Loudness:"_s, u"typedTargetRadio"_s, target);
    targetSpin_ = new QDoubleSpinBox(target);
    targetSpin_->setObjectName(u"targetSpin"_s);
    targetSpin_->setAccessibleName(u"Target loudness in LUFS"_s);
    targetSpin_->setRange(kLowestTarget, kHighestTarget);
    targetSpin_->setDecimals(1);
    targetSpin_->setSingleStep(0.5);
    targetSpin_->setSuffix(u" LUFS"_s);
    targetSpin_->setValue(request.typedTarget);
    auto* targetGrid = new QGridLayout(target);
    targetGrid->addWidget(medianRadio_, 0, 0, 1, 2);
    targetGrid->addWidget(typedRadio_, 1, 0);
    targetGrid->addWidget(targetSpin_, 1, 1);
    targetGrid->setColumnStretch(2, 1);

    auto* messages = new QGroupBox(u"Messages"_s, this);
    messages->setObjectName(u"messagesGroup"_s);
    allRadio_ = MakeRadio(u"&All messages (%1)"_s.arg(request.messageCount), u"allMessagesRadio"_s,
                          messages);
    selectedRadio_ =
        MakeRadio(request.selectedName ? u"The &selected message: %1"_s.arg(*request.selectedName)
                                       : u"The &selected message (none is selected)"_s,
                  u"selectedMessageRadio"_s, messages);
    selectedRadio_->setEnabled(request.selectedName.has_value());
    auto* messagesColumn = new QVBoxLayout(messages);
    messagesColumn->addWidget(allRadio_);
    messagesColumn->addWidget(selectedRadio_);

    // Broken by hand: a word-wrapped label leaves a dialog's height to guesswork.
    auto* note = new QLabel(
        u"Each message gets one gain, without compression or limiting:\n"
        "its true peak stays at or below -1 dBTP, so a message with high\n"
        "peaks may stay below the target. The results are new wave files\n"
        "in the folder \"matched\" beside the originals."_s,
        this);
    note->setObjectName(u"matchNote"_s);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(u"matchButtons"_s);
    buttons->button(QDialogButtonBox::Ok)->setText(u"Match"_s);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* column = new QVBoxLayout(this);
    column->addWidget(target);
    column->addWidget(messages);
    column->addWidget(note);
    column->addWidget(buttons);

    (median_ ? medianRadio_ : typedRadio_)->setChecked(true);
    allRadio_->setChecked(true);
    targetSpin_->setEnabled(typedRadio_->isChecked());
    connect(typedRadio_, &QRadioButton::toggled, targetSpin_, &QWidget::setEnabled);
}

DialogService::LoudnessMatchChoice LoudnessMatchDialog::Choice() const {
    DialogService::LoudnessMatchChoice choice;
    choice.targetLufs = medianRadio_->isChecked() && median_ ? *median_ : targetSpin_->value();
    choice.selectedOnly = selectedRadio_->isChecked();
    return choice;
}
