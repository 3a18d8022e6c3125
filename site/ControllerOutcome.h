#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// One file a worker took from a controller, kept in the run's staging folder until the history
// takes it.
struct StagedFile {
    QString path;       // below the controller's history folder: "rfa/cfg/system.cfg"
    QString localFile;  // the copy in the staging folder
    QByteArray sha256;  // hex
    qint64 size = 0;
};

// How a run went on one controller: the row of the result table, and what the history is to
// take from it. Made by the controller's worker, read by the thread that records the run.
struct ControllerOutcome {
    enum class Result { Waiting, Done, Failed, Cancelled };

    QString controller;
    QString address;  // host:port
    Result result = Result::Waiting;
    int attempts = 0;
    qint64 bytes = 0;  // moved over the network, all tries
    double seconds = 0;
    QString message;

    // The files as they were on the controller before the run changed anything: a backup's new
    // and changed files, the files a push or a restore replaced.
    QList<StagedFile> found;
    // Backup: the history's files the controller no longer has.
    QStringList removed;
    // Push and restore: the files as the controller has them now, each read back and matching
    // what was sent.
    QList<StagedFile> written;
    // Push and restore: the remote paths that may be incomplete on the controller.
    QStringList mayBeIncomplete;
    // Dry run and status: one line per difference, without the controller's name.
    QStringList details;
};

QString ResultName(ControllerOutcome::Result result);
