#include "transfer/FileTransferPage.h"

using namespace Qt::StringLiterals;

FileTransferPage::FileTransferPage(const PageContext& context, QWidget* parent)
    : PageDialog(context, parent) {
    setObjectName(u"fileTransferPage"_s);
    setAccessibleName(u"File Transfer"_s);
}
