#include "controller/LoginPage.h"

using namespace Qt::StringLiterals;

LoginPage::LoginPage(const PageContext& context, QWidget* parent) : PageDialog(context, parent) {
    setObjectName(u"loginPage"_s);
    setAccessibleName(u"Login"_s);
}
