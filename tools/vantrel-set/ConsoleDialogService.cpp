#include "tools/vantrel-set/ConsoleDialogService.h"

using namespace Qt::StringLiterals;

DialogService::Answer ConsoleDialogService::ShowMessage(const QString& text, Buttons buttons,
                                                        Icon) {
    ++messages_;
    const QStringList lines = text.split(u'\n');
    for (const QString& line : lines) {
        err_ << u"vantrel-set: "_s << line.trimmed() << Qt::endl;
    }
    return buttons == Buttons::Ok ? Answer::Ok
                                  : (buttons == Buttons::YesNo ? Answer::No : Answer::Cancel);
}
