#pragma once

#include <QCommandLineParser>
#include <QStringList>
#include <QTextStream>

#include "site/SiteOperation.h"

// vantrel-site: each command parses its own options (with --help) and returns the exit status
// (0 when every controller succeeded, 1 when any failed, 2 on a usage error).
class SiteTool {
public:
    SiteTool() : out_(stdout), err_(stderr) {}

    int Run(const QStringList& arguments);

private:
    int Usage(const QString& command, const QString& problem);
    int Fail(const QString& text);
    int Init(const QStringList& arguments);
    int Add(const QStringList& arguments);
    int Log(const QStringList& arguments);
    // backup, push, restore and status: the commands that log in.
    int RunOperation(const QString& command, const QStringList& arguments);
    // Passwords by controller: the file's for all, or one question per user name.
    bool Passwords(const QCommandLineParser& parser, const QList<SiteFile::Controller>& targets,
                   QHash<QString, QString>* passwords);
    int Report(const QString& command, const QCommandLineParser& parser, SiteOperation& operation);

    QTextStream out_;
    QTextStream err_;
};
