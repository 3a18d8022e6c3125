#pragma once

#include <QByteArrayView>

class QIODevice;

// Writes all of bytes to device, writing the rest again after a short write. A short write is how
// a full disk or a file size limit first shows; the next write then fails with the system's reason
// in device.errorString(). Returns false on that failure. Open files unbuffered for this to see
// every failure at once: a buffered QFileDevice reports a short flush without a reason.
[[nodiscard]] bool WriteAll(QIODevice& device, QByteArrayView bytes);
