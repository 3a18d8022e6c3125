// vantrel-set: builds message set files from wave files or info files, and checks set files, from
// the command line, with the same code as the program's message set page.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include "base/RegularFile.h"
#include "setfile/FormatKilobytes.h"
#include "setfile/InfoFile.h"
#include "setfile/MessageSetModel.h"
#include "setfile/MessageSetTexts.h"
#include "setfile/SetFileReader.h"
#include "setfile/SetFileWriter.h"
#include "setfile/WaveEntry.h"
#include "tools/vantrel-set/ConsoleDialogService.h"
#include "tools/vantrel-set/ConvertCommand.h"
#include "tools/vantrel-set/ExtractCommand.h"
#include "tools/vantrel-set/LoudnessCommand.h"
#include "tools/vantrel-set/TerminalProgress.h"

using namespace Qt::StringLiterals;

namespace {

// The program name info files carry: the name of the window program's executable.
const QString kInfoProgramName = u"Vantrel"_s;

const QString kUsageText =
    uR"(Usage:
  vantrel-set build [--name SETNAME] OUTPUT WAVE...
      Builds the message set file OUTPUT from the wave files, in the order given. Each
      message is named after its file (file name without extension, in lower case); the
      set name is SETNAME, or OUTPUT's file name with its extension.
  vantrel-set build --info INFO.nfo [--name SETNAME] OUTPUT
      Builds OUTPUT from the set name and messages an info file lists.
  vantrel-set inspect SETFILE
      Prints the set name, each message's name, first sector and length value, the total
      size, whether the stored size and CRC match the file, and what does not fit the layout.
  vantrel-set extract [--info INFO.nfo] [--overwrite] SETFILE FOLDER
      Writes each message as a wave file into FOLDER and an info file naming them (by
      default beside SETFILE), so that the set opens for editing and rebuilds as it was.
  vantrel-set convert [--out FOLDER] [--overwrite] [--loudness LUFS] INPUT...
      Converts sound files (WAV, AIFF, FLAC, Ogg, MP3...) to mono, 16 bit, 44.1kHz wave
      files in FOLDER, or in the subfolder "converted" beside each input. With --loudness,
      each is brought to that integrated loudness (e.g. -23) by one gain that keeps its
      true peak at or below -1 dBTP.
  vantrel-set loudness [--json FILE] FILE...
      Measures the wave files and each message of the set files (EBU R 128): duration,
      integrated loudness, maximum momentary loudness, true peak and the difference from
      the median, one row per message; --json FILE writes them as JSON ("-": standard output).
  vantrel-set --help

Exit status: 0 on success (inspect: size, CRC and layout sound; extract only warns of a
mismatch), 1 on any failure or mismatch, 2 on a usage error.)"_s;

// The name with characters that would upset a terminal replaced by "?".
QString Printable(const QString& name) {
    QString printable = name;
    for (QChar& c : printable) {
        if (!c.isPrint()) {
            c = u'?';
        }
    }
    return printable;
}

enum ExitCode { kOk = 0, kFailed = 1, kUsage = 2 };

class Tool {
public:
    Tool() : out_(stdout), err_(stderr), dialogs_(err_) {}

    int Run(const QStringList& arguments);

private:
    int Usage(const QString& problem) {
        err_ << u"vantrel-set: "_s << problem << Qt::endl
             << u"Run 'vantrel-set --help' for the usage."_s << Qt::endl;
        return kUsage;
    }
    int Fail(const QString& text) {
        dialogs_.Inform(text);
        return kFailed;
    }
    int Build(const QCommandLineParser& parser, const QStringList& positional);
    bool AddWaves(MessageSetModel& model, const QStringList& waves);
    int Inspect(const QString& path);

    QTextStream out_;
    QTextStream err_;
    ConsoleDialogService dialogs_;
};

int Tool::Run(const QStringList& arguments) {
    // Commands that parse their own options.
    if (arguments.size() > 1 && arguments.at(1) == u"extract"_s) {
        return RunExtractCommand(arguments.mid(2), kInfoProgramName);
    }
    if (arguments.size() > 1 && arguments.at(1) == u"convert"_s) {
        return RunConvertCommand(arguments.mid(2));
    }
    if (arguments.size() > 1 && arguments.at(1) == u"loudness"_s) {
        return RunLoudnessCommand(arguments.mid(2));
    }
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{u"h"_s, u"help"_s});
    const QCommandLineOption name(u"name"_s, QString(), u"SETNAME"_s);
    const QCommandLineOption info(u"info"_s, QString(), u"INFO"_s);
    parser.addOption(help);
    parser.addOption(name);
    parser.addOption(info);
    if (!parser.parse(arguments)) {
        return Usage(parser.errorText());
    }
    if (parser.isSet(help)) {
        out_ << kUsageText << Qt::endl;
        return kOk;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) {
        return Usage(u"No command given."_s);
    }
    const QString command = positional.first();
    if (command == u"build"_s) {
        return Build(parser, positional.mid(1));
    }
    if (command == u"inspect"_s) {
        if (parser.isSet(name) || parser.isSet(info)) {
            return Usage(u"inspect takes no options."_s);
        }
        if (positional.size() != 2) {
            return Usage(u"inspect takes one set file."_s);
        }
        return Inspect(positional.at(1));
    }
    return Usage(u"Unknown command '%1'."_s.arg(command));
}

bool Tool::AddWaves(MessageSetModel& model, const QStringList& waves) {
    for (const QString& path : waves) {
        WaveEntry wave = WaveEntry::FromFile(path, model.entries.size());
        switch (wave.problem) {
            case WaveEntry::Problem::None:
                model.entries.append(std::move(wave.entry));
                continue;
            case WaveEntry::Problem::SetFull:
                dialogs_.Inform(message_set_texts::TooManyMessages(MessageSetModel::kMaxMessages));
                return false;
            case WaveEntry::Problem::NameRule:
                dialogs_.Inform(path + u": "_s + message_set_texts::NameRule());
                return false;
            case WaveEntry::Problem::Unreadable:
                dialogs_.Inform(u"Could not read a wave file header from: "_s + path);
                return false;
            case WaveEntry::Problem::UnsupportedFormat:
                dialogs_.Inform(path + u":\n"_s + wave.formatText);
                return false;
            case WaveEntry::Problem::NotOpened:
                dialogs_.Inform(message_set_texts::CouldNotOpen(path));
                return false;
            case WaveEntry::Problem::NotAFile:
                dialogs_.Inform(wave.formatText);
                return false;
        }
    }
    return true;
}

int Tool::Build(const QCommandLineParser& parser, const QStringList& positional) {
    const bool fromInfo = parser.isSet(u"info"_s);
    if (positional.isEmpty()) {
        return Usage(u"build needs an output file."_s);
    }
    const QString output = positional.first();
    const QStringList waves = positional.mid(1);
    MessageSetModel model;
    if (fromInfo) {
        if (!waves.isEmpty()) {
            return Usage(u"build --info takes the output file only."_s);
        }
        const QString infoPath = parser.value(u"info"_s);
        InfoFile infoFile(kInfoProgramName);
        const bool own = infoFile.ReadInfoFile(model, infoPath);
        for (const QString& problem : infoFile.Problems()) {
            dialogs_.Inform(problem);
        }
        if (!infoFile.Problems().isEmpty()) {
            return Fail(u"Not built: the info file could not be read completely."_s);
        }
        if (!own) {
            return Fail(u"Not built: %1 was not written by %2."_s.arg(infoPath, kInfoProgramName));
        }
    } else {
        if (waves.isEmpty()) {
            return Usage(u"build needs at least one wave file (or --info)."_s);
        }
        if (!AddWaves(model, waves)) {
            return Fail(u"Not built."_s);
        }
    }
    if (parser.isSet(u"name"_s)) {
        model.setName = parser.value(u"name"_s);
    } else if (model.setName.isEmpty()) {
        model.setName = QFileInfo(output).fileName();
    }

    SetFileWriter::Result result;
    {
        // The progress line ends before anything else is printed.
        TerminalProgress progress(err_);
        progress.SetBarRange(0, static_cast<int>(model.EstimateSetSize() / 1024), 80);
        SetFileWriter writer(&progress);
        result = writer.WriteFile(output, model.setName, model.entries);
    }
    if (!result.Ok()) {
        return Fail(SetFileWriter::FailureText(result, output));
    }
    out_ << u"%1: %2 messages, %3 bytes, CRC 0x%4"_s.arg(output)
                .arg(model.entries.size())
                .arg(result.fileSize)
                .arg(result.crc, 4, 16, QChar(u'0'))
         << Qt::endl;
    return kOk;
}

int Tool::Inspect(const QString& path) {
    if (const QString refusal = regular_file::Refusal(path); !refusal.isEmpty()) {
        return Fail(refusal);
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return Fail(message_set_texts::CouldNotOpen(path));
    }
    QString error;
    const std::optional<SetFileReader::Report> report = SetFileReader::Read(file, &error);
    if (!report) {
        return Fail(path + u": "_s + error);
    }
    out_ << u"Set name: "_s << Printable(report->setName) << Qt::endl;
    out_ << u"Messages: "_s << report->messages.size() << Qt::endl;
    if (!report->messages.isEmpty()) {
        out_ << u"     #  name              first sector  length value"_s << Qt::endl;
    }
    for (int i = 0; i < report->messages.size(); ++i) {
        const SetFileReader::Message& message = report->messages.at(i);
        const QString length = message.lengthValue ? QString::number(*message.lengthValue) : u"-"_s;
        out_ << u"  %1  %2  %3  %4"_s.arg(i, 4)
                    .arg(Printable(message.name), -16)
                    .arg(message.firstSector, 12)
                    .arg(length, 12)
             << Qt::endl;
    }
    out_ << u"Total size: %1 bytes stored, %2 bytes in the file (%3): %4"_s.arg(report->storedSize)
                .arg(report->actualSize)
                .arg(FormatKilobytes(static_cast<quint64>(report->actualSize)).trimmed(),
                     report->SizeMatches() ? u"match"_s : u"MISMATCH"_s)
         << Qt::endl;
    out_ << u"CRC: 0x%1 stored, 0x%2 computed: %3"_s.arg(report->storedCrc, 4, 16, QChar(u'0'))
                .arg(report->computedCrc, 4, 16, QChar(u'0'))
                .arg(report->CrcMatches() ? u"match"_s : u"MISMATCH"_s)
         << Qt::endl;
    out_ << u"Layout: "_s
         << (report->problems.isEmpty() ? u"sound"_s
                                        : u"%1 problem(s)"_s.arg(report->problems.size()))
         << Qt::endl;
    for (const QString& problem : report->problems) {
        out_ << u"Problem: "_s << problem << Qt::endl;
    }
    if (!report->CrcMatches()) {
        err_ << u"vantrel-set: CRC mismatch in "_s << path << Qt::endl;
    }
    if (!report->SizeMatches()) {
        err_ << u"vantrel-set: size mismatch in "_s << path << Qt::endl;
    }
    return report->Sound() ? kOk : kFailed;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    return Tool().Run(QCoreApplication::arguments());
}
