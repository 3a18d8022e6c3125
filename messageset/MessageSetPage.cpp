#include "messageset/MessageSetPage.h"

using namespace Qt::StringLiterals;

MessageSetPage::MessageSetPage(const PageContext& context, QWidget* parent)
    : PageDialog(context, parent) {
    setObjectName(u"messageSetPage"_s);
    setAccessibleName(u"Message Sets"_s);
}
