#pragma once

#include "app/PageDialog.h"

// The page that moves files of the seven categories between the PC and the controller.
class FileTransferPage : public PageDialog {
    Q_OBJECT

public:
    FileTransferPage(const PageContext& context, QWidget* parent);
};
