#include "tools/vantrel-set/ExtractCommand.h"

#include <QCommandLineParser>
#include <QTextStream>

#include "setfile/InfoFile.h"
#include "setfile/SetFileExtractor.h"
#include "tools/vantrel-set/CommandExit.h"

using namespace Qt::StringLiterals;

int RunExtractCommand(const QStringList& arguments, const QString& infoProgramName) {
    QTextStream out(stdout);
    QTextStream err(stderr);
    auto usage = [&err](const QString& problem) {
        err << u"vantrel-set: "_s << problem << Qt::endl
            << u"Run 'vantrel-set --help' for the usage."_s << Qt::endl;
        return command_exit::kUsage;
    };
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption info(u"info"_s, QString(), u"INFO"_s);
    const QCommandLineOption overwrite(u"overwrite"_s);
    parser.addOption(info);
    parser.addOption(overwrite);
    if (!parser.parse(QStringList{u"extract"_s} + arguments)) {
        return usage(parser.errorText());
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 2) {
        return usage(u"extract takes a set file and a folder."_s);
    }
    const QString setPath = positional.at(0);
    const QString infoPath =
        parser.isSet(info) ? parser.value(info) : InfoFile::PathForSetFile(setPath);

    const SetFileExtractor::Result result =
        SetFileExtractor(infoProgramName)
            .Extract(setPath, positional.at(1), infoPath, parser.isSet(overwrite));
    for (const QString& warning : result.warnings) {
        err << u"vantrel-set: warning: "_s << warning << Qt::endl;
    }
    using Outcome = SetFileExtractor::Outcome;
    switch (result.outcome) {
        case Outcome::Extracted:
            break;
        case Outcome::TargetsExist:
            err << u"vantrel-set: Not extracted: these files exist already (--overwrite replaces "
                   "them):"_s
                << Qt::endl;
            for (const QString& path : result.existing) {
                err << u"  "_s << path << Qt::endl;
            }
            return command_exit::kFailed;
        case Outcome::FolderNotCreated:
            err << u"vantrel-set: Could not create the folder "_s << result.subject << Qt::endl;
            return command_exit::kFailed;
        case Outcome::SetNotReadable:
            err << u"vantrel-set: "_s << QString(result.reason).replace(u'\n', u' ') << Qt::endl;
            return command_exit::kFailed;
        case Outcome::WaveNotWritten:
        case Outcome::InfoFileNotWritten:
            err << u"vantrel-set: "_s << result.subject << u": "_s
                << QString(result.reason).replace(u'\n', u' ') << Qt::endl;
            return command_exit::kFailed;
    }
    for (const QString& wave : result.waveFiles) {
        out << wave << Qt::endl;
    }
    out << u"Info file: "_s << result.infoPath << Qt::endl;
    return command_exit::kOk;
}
