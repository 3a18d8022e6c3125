#pragma once

#include <QByteArray>
#include <QString>

// The one conversion between the bytes of a name on the controller and the text the program
// handles. Valid UTF-8 is decoded as such; every byte that is not part of valid UTF-8 becomes the
// lone surrogate U+DC00 + byte, which no decoded text can hold, so ToBytes gives back exactly the
// bytes the controller listed and a name goes back to it byte for byte. Shown on screen, such a
// character appears as a replacement mark: the decoding is for display only.
namespace remote_name {

QString FromBytes(const QByteArray& bytes);
QByteArray ToBytes(const QString& text);

}  // namespace remote_name
