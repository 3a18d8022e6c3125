#include "setfile/MessageNameRule.h"

#include <QDir>

#include "base/TextEncoding.h"

namespace message_name_rule {

bool IsAcceptableName(const QString& name) {
    return text_encoding::ToFileBytes(name).size() <= kMaxNameLength && !name.contains(u'~');
}

QString NameForWaveFile(const QString& wavePath) {
    const QString path = QDir::fromNativeSeparators(wavePath).toLower();
    QString name = path.mid(path.lastIndexOf(u'/') + 1);
    name.chop(4);
    return name;
}

}  // namespace message_name_rule
