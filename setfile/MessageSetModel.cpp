#include "setfile/MessageSetModel.h"

#include "base/TextEncoding.h"

qint64 MessageSetModel::EstimateSetSize() const {
    if (entries.isEmpty()) {
        return 0;
    }
    qint64 estimate = text_encoding::ToFileBytes(setName).size() + 4105;
    for (const MessageEntry& entry : entries) {
        estimate += static_cast<qint64>(entry.size / 1024) * 1024 - 20;
    }
    // Integer division truncating toward zero, as the size has always been computed.
    const qint64 rounded = (estimate / 4096 + 1) * 4096;
    return rounded < 0 ? 0 : rounded;
}
