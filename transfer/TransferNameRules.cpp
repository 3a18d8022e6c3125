#include "transfer/TransferNameRules.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

bool TransferNameRules::IsTransferableFile(const QFileInfo& entry) {
    // isFile() is false for pipes, sockets and devices, and true for a link to a regular file.
    return entry.isFile();
}

bool TransferNameRules::IsRefusedLocalName(const QString& name) {
    return name.contains(u'\\');
}

QString TransferNameRules::SaveDialogName(const QString& remoteName) {
    QString name = remoteName;
    for (QChar& c : name) {
        if (c == u'/' || c == u'\\' || c == u':' || c.category() == QChar::Other_Control) {
            c = u'_';
        }
    }
    if (name == u"."_s || name == u".."_s) {
        return {};
    }
    return name;
}
