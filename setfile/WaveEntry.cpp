#include "setfile/WaveEntry.h"

#include <QFile>
#include <QFileInfo>

#include "audio/WaveFormat.h"
#include "base/RegularFile.h"
#include "setfile/MessageNameRule.h"
#include "setfile/MessageSetModel.h"

WaveEntry WaveEntry::FromFile(const QString& wavePath, qsizetype messagesInSet) {
    WaveEntry result;
    auto refuse = [&result](Problem problem) {
        result.problem = problem;
        return result;
    };
    if (messagesInSet >= MessageSetModel::kMaxMessages) {
        return refuse(Problem::SetFull);
    }
    // The rule applies to the label with its extension, so a message name has at most 12
    // characters.
    if (!message_name_rule::IsAcceptableName(QFileInfo(wavePath).fileName().toLower())) {
        return refuse(Problem::NameRule);
    }
    result.formatText = regular_file::Refusal(wavePath);
    if (!result.formatText.isEmpty()) {
        return refuse(Problem::NotAFile);
    }
    switch (WaveFormat::Examine(wavePath, &result.formatText)) {
        case WaveFormat::Verdict::Supported:
            break;
        case WaveFormat::Verdict::Unsupported:
            return refuse(Problem::UnsupportedFormat);
        case WaveFormat::Verdict::Unreadable:
            return refuse(Problem::Unreadable);
    }
    QFile file(wavePath);
    if (!file.open(QIODevice::ReadOnly)) {
        return refuse(Problem::NotOpened);
    }
    // The path keeps its real case; only the message's name is lower case.
    result.entry = {message_name_rule::NameForWaveFile(wavePath),
                    MessageEntry::ClampSize(file.size()), wavePath};
    return result;
}
