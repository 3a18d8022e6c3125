#include "ftp/FtpTranscript.h"

using namespace Qt::StringLiterals;

void FtpTranscript::Clear() {
    exchanges_.clear();
    partial_.clear();
    multiLineCode_.clear();
}

void FtpTranscript::CommandSent(const QByteArray& bytes) {
    for (QByteArray raw : bytes.split('\n')) {
        if (raw.endsWith('\r')) {
            raw.chop(1);  // only the line end: a name may end in a blank of its own
        }
        QString command = QString::fromUtf8(raw);
        if (command.isEmpty()) {
            continue;
        }
        if (command.left(5).compare(u"PASS "_s, Qt::CaseInsensitive) == 0) {
            command = u"PASS ******"_s;
        }
        exchanges_.append({command, 0, {}, {}});
        multiLineCode_.clear();
    }
}

void FtpTranscript::ReplyReceived(const QByteArray& bytes) {
    partial_ += bytes;
    qsizetype end = 0;
    while ((end = partial_.indexOf('\n')) >= 0) {
        QByteArray line = partial_.left(end);
        partial_.remove(0, end + 1);
        if (line.endsWith('\r')) {
            line.chop(1);
        }
        AddLine(QString::fromUtf8(line));
    }
}

void FtpTranscript::Note(const QString& text) {
    if (exchanges_.isEmpty()) {
        exchanges_.append({QString(), 0, {}, {}});
    }
    exchanges_.last().notes.append(text);
}

void FtpTranscript::AddLine(const QString& line) {
    const bool hasCode =
        line.size() >= 3 && line[0].isDigit() && line[1].isDigit() && line[2].isDigit();
    if (!multiLineCode_.isEmpty()) {
        // Inside a multi-line reply only "ddd " with the same code ends it.
        if (!(line.startsWith(multiLineCode_) && (line.size() == 3 || line[3] == u' '))) {
            return;
        }
        multiLineCode_.clear();
    } else if (!hasCode) {
        return;
    } else if (line.size() > 3 && line[3] == u'-') {
        multiLineCode_ = line.left(3);
        return;
    }
    const int code = line.left(3).toInt();
    if (code < 200) {
        return;  // preliminary
    }
    if (exchanges_.isEmpty() || exchanges_.last().code != 0) {
        exchanges_.append(
            {QString(), 0, {}, {}});  // an unsolicited reply, e.g. the greeting or a 421
    }
    exchanges_.last().code = code;
    exchanges_.last().reply = line;
}

const FtpTranscript::Exchange* FtpTranscript::LastFor(const QString& command) const {
    for (qsizetype index = exchanges_.size() - 1; index >= 0; --index) {
        if (exchanges_[index].command.compare(command, Qt::CaseInsensitive) == 0) {
            return &exchanges_[index];
        }
    }
    return nullptr;
}

const FtpTranscript::Exchange* FtpTranscript::LastAnswered() const {
    for (qsizetype index = exchanges_.size() - 1; index >= 0; --index) {
        if (exchanges_[index].code != 0) {
            return &exchanges_[index];
        }
    }
    return nullptr;
}
