#pragma once

#include "app/PageDialog.h"

// The page where the user connects to the network controller and disconnects from it.
class LoginPage : public PageDialog {
    Q_OBJECT

public:
    LoginPage(const PageContext& context, QWidget* parent);
};
