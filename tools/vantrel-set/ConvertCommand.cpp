#include "tools/vantrel-set/ConvertCommand.h"

#include <QCommandLineParser>
#include <QTextStream>

#include "audio/AudioConverter.h"
#include "audio/LoudnessTexts.h"
#include "tools/vantrel-set/CommandExit.h"
#include "tools/vantrel-set/TerminalProgress.h"

using namespace Qt::StringLiterals;

namespace {

// The loudest and quietest targets --loudness takes, in LUFS.
constexpr double kLowestTarget = -40.0;
constexpr double kHighestTarget = -5.0;

// ", -29.0 LUFS -> -23.0 LUFS, gain +6.0 dB" for a matched conversion; warns of a gain the peak
// limit stopped short, and of a message converted without a gain.
QString LoudnessNote(const QString& source, const AudioConverter::Result& result,
                     QTextStream& err) {
    if (!result.gain) {
        const bool tooShort = result.measured && result.measured->TooShort();
        err << u"vantrel-set: warning: %1 is %2; converted without a gain."_s.arg(
                   source, tooShort ? u"too short to measure (under 0.4 s)"_s : u"silent"_s)
            << Qt::endl;
        return {};
    }
    const LoudnessGain& gain = *result.gain;
    if (gain.PeakLimited()) {
        err << u"vantrel-set: warning: %1: the true peak limit of -1 dBTP stopped the gain %2 dB "
               "short of the target."_s.arg(source, loudness_texts::Number(gain.shortfallDb))
            << Qt::endl;
    }
    return u", %1 -> %2, gain %3 dB"_s.arg(loudness_texts::Lufs(*result.measured->integrated),
                                           loudness_texts::Lufs(gain.resultLufs),
                                           loudness_texts::Signed(gain.gainDb));
}

}  // namespace

int RunConvertCommand(const QStringList& arguments) {
    QTextStream out(stdout);
    QTextStream err(stderr);
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption outFolder(u"out"_s, QString(), u"FOLDER"_s);
    const QCommandLineOption overwrite(u"overwrite"_s);
    const QCommandLineOption loudness(u"loudness"_s, QString(), u"LUFS"_s);
    parser.addOption(outFolder);
    parser.addOption(overwrite);
    parser.addOption(loudness);
    const bool parsed = parser.parse(QStringList{u"convert"_s} + arguments);
    QString problem = parsed ? QString() : parser.errorText();
    std::optional<double> loudnessTarget;
    if (parsed && parser.isSet(loudness)) {
        bool number = false;
        loudnessTarget = parser.value(loudness).toDouble(&number);
        if (!number || *loudnessTarget < kLowestTarget || *loudnessTarget > kHighestTarget) {
            problem =
                u"--loudness takes a loudness in LUFS from %1 to %2, e.g. -23."_s.arg(kLowestTarget)
                    .arg(kHighestTarget);
        }
    }
    if (parsed && problem.isEmpty() && parser.positionalArguments().isEmpty()) {
        problem = u"convert needs at least one sound file."_s;
    }
    if (!problem.isEmpty()) {
        err << u"vantrel-set: "_s << problem << Qt::endl
            << u"Run 'vantrel-set --help' for the usage."_s << Qt::endl;
        return command_exit::kUsage;
    }
    int failed = 0;
    for (const QString& source : parser.positionalArguments()) {
        const QString target = AudioConverter::TargetFor(source, parser.value(outFolder));
        AudioConverter::Result result;
        {
            // The progress line ends before anything else is printed.
            TerminalProgress progress(err);
            progress.SetText(u"Converting: "_s + source);
            result = AudioConverter(&progress).Convert(source, target, parser.isSet(overwrite),
                                                       loudnessTarget);
        }
        if (!result.Ok()) {
            ++failed;
            QString text = AudioConverter::FailureText(result).replace(u'\n', u' ');
            if (result.outcome == AudioConverter::Outcome::TargetExists) {
                text += u" Not converted (--overwrite replaces it)."_s;
            }
            err << u"vantrel-set: "_s << text << Qt::endl;
            continue;
        }
        if (result.clippedSamples > 0) {
            err << u"vantrel-set: warning: %1 samples of %2 were beyond full scale and clipped."_s
                       .arg(result.clippedSamples)
                       .arg(source)
                << Qt::endl;
        }
        QString loudnessNote;
        if (loudnessTarget) {
            loudnessNote = LoudnessNote(source, result, err);
        }
        out << source << u" -> "_s << result.target << u" ("_s
            << QString::number(result.frames / 44100.0, 'f', 2) << u" s"_s << loudnessNote << u")"_s
            << Qt::endl;
    }
    return failed == 0 ? command_exit::kOk : command_exit::kFailed;
}
