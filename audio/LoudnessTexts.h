#pragma once

#include <QString>
#include <cmath>

#include "audio/LoudnessMeasurement.h"

// How loudness values are written wherever they are shown: one decimal, LUFS, LU and dBTP.
namespace loudness_texts {

using namespace Qt::StringLiterals;

// One decimal, without a "-0.0".
inline QString Number(double value) {
    const double rounded = std::round(value * 10) / 10;
    return QString::number(rounded == 0 ? 0.0 : rounded, 'f', 1);
}
// "-23.4 LUFS"
inline QString Lufs(double value) {
    return Number(value) + u" LUFS"_s;
}
// "-1.2 dBTP"; "-inf dBTP" for silence.
inline QString Dbtp(double value) {
    return std::isfinite(value) ? Number(value) + u" dBTP"_s : u"-inf dBTP"_s;
}
// A difference with its sign: "+3.4", "-0.5", "0.0".
inline QString Signed(double value) {
    const QString number = Number(value);
    return number.startsWith(u'-') || number == u"0.0"_s ? number : u'+' + number;
}
// "+3.4 LU"
inline QString SignedLu(double value) {
    return Signed(value) + u" LU"_s;
}
inline QString TooShort() {
    return u"too short"_s;
}
inline QString Silent() {
    return u"silent"_s;
}
// The integrated value, or why there is none.
inline QString Integrated(const LoudnessMeasurement& measured) {
    if (measured.integrated) {
        return Lufs(*measured.integrated);
    }
    return measured.TooShort() ? TooShort() : Silent();
}
// "Integrated -23.4 LUFS, max. momentary -20.1 LUFS, true peak -3.2 dBTP, 4.5 s"
inline QString Describe(const LoudnessMeasurement& measured) {
    QString text = u"Integrated "_s + Integrated(measured);
    if (measured.maxMomentary) {
        text += u", max. momentary "_s + Lufs(*measured.maxMomentary);
    }
    return text + u", true peak "_s + Dbtp(measured.truePeak) +
           u", %1 s"_s.arg(QString::number(measured.Seconds(), 'f', 1));
}

}  // namespace loudness_texts
