#include "tools/vantrel-set/ConvertCommand.h"

#include <QCommandLineParser>
#include <QTextStream>

#include "audio/AudioConverter.h"
#include "tools/vantrel-set/CommandExit.h"
#include "tools/vantrel-set/TerminalProgress.h"

using namespace Qt::StringLiterals;

int RunConvertCommand(const QStringList& arguments) {
    QTextStream out(stdout);
    QTextStream err(stderr);
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption outFolder(u"out"_s, QString(), u"FOLDER"_s);
    const QCommandLineOption overwrite(u"overwrite"_s);
    parser.addOption(outFolder);
    parser.addOption(overwrite);
    const bool parsed = parser.parse(QStringList{u"convert"_s} + arguments);
    if (!parsed || parser.positionalArguments().isEmpty()) {
        err << u"vantrel-set: "_s
            << (parsed ? u"convert needs at least one sound file."_s : parser.errorText())
            << Qt::endl
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
            result = AudioConverter(&progress).Convert(source, target, parser.isSet(overwrite));
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
        out << source << u" -> "_s << result.target << u" ("_s
            << QString::number(result.frames / 44100.0, 'f', 2) << u" s)"_s << Qt::endl;
    }
    return failed == 0 ? command_exit::kOk : command_exit::kFailed;
}
