#pragma once

#include <QDialog>

#include "base/DialogService.h"

class QDoubleSpinBox;
class QRadioButton;

// The question of "Match loudness...": the target (the set's median, or a loudness typed in LUFS)
// and the messages (all of them, or the selected one). A choice that is not available is shown
// disabled with the reason: no median before a message was measured, no selected message when
// none is selected. The dialog service shows it; the layout check renders it.
class LoudnessMatchDialog : public QDialog {
    Q_OBJECT

public:
    // The range and step of a typed target, in LUFS.
    static constexpr double kLowestTarget = -40.0;
    static constexpr double kHighestTarget = -5.0;

    LoudnessMatchDialog(const DialogService::LoudnessMatchRequest& request, QWidget* parent);

    // What the controls say now.
    DialogService::LoudnessMatchChoice Choice() const;

private:
    std::optional<double> median_;
    QRadioButton* medianRadio_ = nullptr;
    QRadioButton* typedRadio_ = nullptr;
    QDoubleSpinBox* targetSpin_ = nullptr;
    QRadioButton* allRadio_ = nullptr;
    QRadioButton* selectedRadio_ = nullptr;
};
