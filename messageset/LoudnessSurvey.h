#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QThreadPool>
#include <atomic>
#include <memory>

#include "messageset/LoudnessResult.h"

class StoredMessageSet;

// Measures the loudness of messages off the GUI thread and keeps what it measured, per file: a
// result holds as long as its file keeps the size and modification time it had when it was
// measured (a message of a set file: the set file's). Jobs run on a pool of its own, one per
// message; each result reaches the GUI thread through a queued call and is announced by Measured.
//
// A request for other messages drops the queued jobs nobody asks for any more (a job that has
// started finishes, and its result is kept). When the survey goes, running jobs are told to stop
// and are waited for; nothing they find is announced any more.
class LoudnessSurvey : public QObject {
    Q_OBJECT

public:
    explicit LoudnessSurvey(QObject* parent = nullptr);
    ~LoudnessSurvey() override;

    using Results = QList<std::pair<LoudnessKey, LoudnessResult>>;

    // The results known for keys whose files did not change; the others are measured (unless a
    // job for the same file is on its way) and announced one by one. stored: the set file whose
    // messages the keys with an index name; null when there are none.
    Results Request(const QList<LoudnessKey>& keys, const StoredMessageSet* stored);
    // The result for key when known for its file as it is now.
    std::optional<LoudnessResult> Cached(const LoudnessKey& key) const;
    // Keeps a result measured elsewhere, for the file as it is now.
    void Store(const LoudnessKey& key, const LoudnessResult& result);
    // Measurements on their way.
    int Pending() const { return static_cast<int>(inFlight_.size()); }

signals:
    void Measured(const LoudnessKey& key, const LoudnessResult& result);

private:
    // What a file was when it was measured: size and modification time (size -1: missing).
    struct Stamp {
        qint64 size = -1;
        QDateTime modified;
        friend bool operator==(const Stamp&, const Stamp&) = default;
    };
    struct Entry {
        Stamp stamp;
        LoudnessResult result;
    };
    struct Job {
        Stamp stamp;
        std::shared_ptr<std::atomic<bool>> started;
    };

    static Stamp StampOf(const QString& path);
    void DropQueuedJobs();
    void Finish(const LoudnessKey& key, const Stamp& stamp, const LoudnessResult& result);

    QHash<LoudnessKey, Entry> cache_;
    QHash<LoudnessKey, Job> inFlight_;
    std::shared_ptr<std::atomic<bool>> stop_;
    QThreadPool pool_;
};
