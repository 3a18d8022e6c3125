#pragma once

#include <QList>
#include <QString>

// The machine-readable part of a history commit's message: one line per file (or per controller
// that failed before any file) at the end of the message, which `vantrel-site log` reads back.
// Fields are separated by tabs; a tab or line break inside a field becomes a blank.
//
//     Record: east<TAB>push<TAB>rfa/cfg/system.cfg<TAB><sha256><TAB>done
namespace site_record {

struct Record {
    QString controller;
    QString action;  // backup, push, restore, saved-before-push, removed
    QString file;    // history path below the controller's folder; empty for a whole controller
    QString digest;  // SHA-256, hex; empty when none
    QString result;  // "done", or "failed: <why>"
};

QString Line(const Record& record);
// Every record line of a commit message, in order.
QList<Record> Parse(const QString& message);

}  // namespace site_record
