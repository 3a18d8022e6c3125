#include "tools/vantrel-set/LoudnessCommand.h"

#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QTextStream>
#include <QThreadPool>
#include <cmath>
#include <memory>

#include "audio/LoudnessMeter.h"
#include "audio/LoudnessSpread.h"
#include "audio/LoudnessTexts.h"
#include "setfile/StoredMessageSet.h"
#include "tools/vantrel-set/CommandExit.h"

using namespace Qt::StringLiterals;

namespace {

// One message to measure and what was found.
struct Row {
    QString file;
    int index = -1;  // the message's place in a set file; -1 for a wave file
    QString name;
    std::shared_ptr<const StoredMessageSet> set;
    std::optional<LoudnessMeasurement> measured;
    QString error;
};

bool IsSetFile(const QString& path) {
    return path.endsWith(u".set"_s, Qt::CaseInsensitive);
}

// A value rounded to hundredths, or null.
QJsonValue Json(std::optional<double> value) {
    if (!value || !std::isfinite(*value)) {
        return QJsonValue::Null;
    }
    return std::round(*value * 100) / 100;
}

QString Status(const Row& row) {
    if (!row.measured) {
        return u"unreadable"_s;
    }
    if (row.measured->integrated) {
        return u"measured"_s;
    }
    return row.measured->TooShort() ? loudness_texts::TooShort() : loudness_texts::Silent();
}

QJsonDocument ToJson(const QList<Row>& rows, const LoudnessSpread& spread) {
    QJsonArray messages;
    for (const Row& row : rows) {
        QJsonObject message{
            {u"file"_s, row.file}, {u"name"_s, row.name}, {u"status"_s, Status(row)}};
        if (row.index >= 0) {
            message.insert(u"index"_s, row.index);
        }
        if (row.measured) {
            const LoudnessMeasurement& m = *row.measured;
            message.insert(u"duration"_s, Json(m.Seconds()));
            message.insert(u"integrated"_s, Json(m.integrated));
            message.insert(u"maxMomentary"_s, Json(m.maxMomentary));
            message.insert(u"truePeak"_s, Json(m.truePeak));
            message.insert(u"fromMedian"_s, m.integrated && !spread.IsEmpty()
                                                ? Json(*m.integrated - spread.median)
                                                : QJsonValue::Null);
        } else {
            message.insert(u"error"_s, row.error);
        }
        messages.append(message);
    }
    const bool any = !spread.IsEmpty();
    return QJsonDocument(QJsonObject{{u"messages"_s, messages},
                                     {u"lowest"_s, any ? Json(spread.lowest) : QJsonValue::Null},
                                     {u"highest"_s, any ? Json(spread.highest) : QJsonValue::Null},
                                     {u"median"_s, any ? Json(spread.median) : QJsonValue::Null}});
}

void PrintTable(QTextStream& out, const QList<Row>& rows, const LoudnessSpread& spread) {
    out << u"%1  %2  %3  %4  %5  %6  file"_s.arg(u"name"_s, -16)
               .arg(u"duration"_s, 8)
               .arg(u"integrated"_s, 10)
               .arg(u"max. momentary"_s, 14)
               .arg(u"true peak"_s, 10)
               .arg(u"from median"_s, 11)
        << Qt::endl;
    for (const Row& row : rows) {
        if (!row.measured) {
            continue;
        }
        const LoudnessMeasurement& m = *row.measured;
        const QString file = row.index >= 0 ? u"%1 #%2"_s.arg(row.file).arg(row.index) : row.file;
        out << u"%1  %2  %3  %4  %5  %6  %7"_s.arg(row.name, -16)
                   .arg(QString::number(m.Seconds(), 'f', 2) + u" s"_s, 8)
                   .arg(loudness_texts::Integrated(m), 10)
                   .arg(m.maxMomentary ? loudness_texts::Lufs(*m.maxMomentary) : u"-"_s, 14)
                   .arg(loudness_texts::Dbtp(m.truePeak), 10)
                   .arg(m.integrated && !spread.IsEmpty()
                            ? loudness_texts::SignedLu(*m.integrated - spread.median)
                            : u"-"_s,
                        11)
                   .arg(file)
            << Qt::endl;
    }
    out << (spread.IsEmpty() ? u"Loudness: no message has a value"_s : spread.Text()) << Qt::endl;
}

// Writes the document to standard output ("-") or into a file that takes its name only when
// complete.
bool WriteJson(const QJsonDocument& json, const QString& path, QTextStream& err) {
    const QByteArray document = json.toJson(QJsonDocument::Indented);
    if (path == u"-"_s) {
        QFile out;
        if (out.open(stdout, QIODevice::WriteOnly) && out.write(document) == document.size() &&
            out.flush()) {
            return true;
        }
        err << u"vantrel-set: Could not write the standard output: "_s << out.errorString()
            << Qt::endl;
        return false;
    }
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(document) == document.size() &&
        file.commit()) {
        return true;
    }
    err << u"vantrel-set: Could not write file: "_s << path << u": "_s << file.errorString()
        << Qt::endl;
    return false;
}

}  // namespace

int RunLoudnessCommand(const QStringList& arguments) {
    QTextStream out(stdout);
    QTextStream err(stderr);
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption json(u"json"_s, QString(), u"FILE"_s);
    parser.addOption(json);
    const bool parsed = parser.parse(QStringList{u"loudness"_s} + arguments);
    if (!parsed || parser.positionalArguments().isEmpty()) {
        err << u"vantrel-set: "_s
            << (parsed ? u"loudness needs at least one wave or set file."_s : parser.errorText())
            << Qt::endl
            << u"Run 'vantrel-set --help' for the usage."_s << Qt::endl;
        return command_exit::kUsage;
    }

    QList<Row> rows;
    int failed = 0;
    for (const QString& path : parser.positionalArguments()) {
        if (!IsSetFile(path)) {
            rows.append({path, -1, QFileInfo(path).completeBaseName().toLower(), nullptr, {}, {}});
            continue;
        }
        QString error;
        std::optional<StoredMessageSet> stored = StoredMessageSet::Open(path, &error);
        if (!stored) {
            err << u"vantrel-set: "_s << error.replace(u'\n', u' ') << Qt::endl;
            ++failed;
            continue;
        }
        const auto set = std::make_shared<const StoredMessageSet>(std::move(*stored));
        for (int i = 0; i < set->Messages().size(); ++i) {
            rows.append({path, i, set->Messages().at(i).name, set, {}, {}});
        }
    }
    // One message per job, as many at once as there are processors; each job fills its own row.
    QThreadPool pool;
    for (Row& row : rows) {
        pool.start([&row] {
            row.measured = row.set ? row.set->MeasureLoudness(row.index, &row.error)
                                   : LoudnessMeter::MeasureFile(row.file, &row.error);
        });
    }
    pool.waitForDone();

    std::vector<double> values;
    for (const Row& row : rows) {
        if (!row.measured) {
            err << u"vantrel-set: "_s << row.file
                << (row.index >= 0 ? u" message %1"_s.arg(row.index) : QString()) << u": "_s
                << QString(row.error).replace(u'\n', u' ') << Qt::endl;
            ++failed;
        } else if (row.measured->integrated) {
            values.push_back(*row.measured->integrated);
        }
    }
    const LoudnessSpread spread = LoudnessSpread::Of(values);
    const QString jsonPath = parser.value(json);
    if (jsonPath != u"-"_s) {
        PrintTable(out, rows, spread);
    }
    if (parser.isSet(json) && !WriteJson(ToJson(rows, spread), jsonPath, err)) {
        return command_exit::kFailed;
    }
    return failed == 0 ? command_exit::kOk : command_exit::kFailed;
}
