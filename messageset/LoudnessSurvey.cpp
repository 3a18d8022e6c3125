#include "messageset/LoudnessSurvey.h"

#include <QFileInfo>
#include <QThread>

#include "audio/LoudnessMeter.h"
#include "setfile/StoredMessageSet.h"

LoudnessSurvey::LoudnessSurvey(QObject* parent)
    : QObject(parent), stop_(std::make_shared<std::atomic<bool>>(false)) {
    pool_.setMaxThreadCount(qMax(1, QThread::idealThreadCount()));
}

LoudnessSurvey::~LoudnessSurvey() {
    stop_->store(true);
    pool_.clear();
    pool_.waitForDone();
}

LoudnessSurvey::Stamp LoudnessSurvey::StampOf(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) {
        return {};
    }
    return {info.size(), info.lastModified()};
}

std::optional<LoudnessResult> LoudnessSurvey::Cached(const LoudnessKey& key) const {
    const auto found = cache_.constFind(key);
    if (found == cache_.cend() || !(found->stamp == StampOf(key.path))) {
        return std::nullopt;
    }
    return found->result;
}

void LoudnessSurvey::Store(const LoudnessKey& key, const LoudnessResult& result) {
    cache_.insert(key, {StampOf(key.path), result});
}

void LoudnessSurvey::DropQueuedJobs() {
    pool_.clear();
    // A job taken by a thread just now may be counted as dropped and asked for again: measured
    // twice, it does no harm.
    for (auto job = inFlight_.begin(); job != inFlight_.end();) {
        job = job->started->load() ? std::next(job) : inFlight_.erase(job);
    }
}

LoudnessSurvey::Results LoudnessSurvey::Request(const QList<LoudnessKey>& keys,
                                                const StoredMessageSet* stored) {
    DropQueuedJobs();
    Results known;
    std::shared_ptr<const StoredMessageSet> set;
    for (const LoudnessKey& key : keys) {
        const Stamp stamp = StampOf(key.path);
        const auto cached = cache_.constFind(key);
        if (cached != cache_.cend() && cached->stamp == stamp) {
            known.append({key, cached->result});
            continue;
        }
        const auto job = inFlight_.constFind(key);
        if (job != inFlight_.cend() && job->stamp == stamp) {
            continue;
        }
        if (key.index >= 0 && stored == nullptr) {
            continue;
        }
        if (key.index >= 0 && !set) {
            set = std::make_shared<const StoredMessageSet>(*stored);
        }
        auto started = std::make_shared<std::atomic<bool>>(false);
        inFlight_.insert(key, {stamp, started});
        pool_.start([this, key, stamp, started, set, stop = stop_] {
            started->store(true);
            if (stop->load()) {
                return;
            }
            const auto keepGoing = [&stop] { return !stop->load(); };
            LoudnessResult result;
            result.measured = key.index < 0
                                  ? LoudnessMeter::MeasureFile(key.path, &result.error, keepGoing)
                                  : set->MeasureLoudness(key.index, &result.error, keepGoing);
            if (stop->load()) {
                return;
            }
            // The survey waits for this job before it goes, so it is still there to be called.
            QMetaObject::invokeMethod(
                this, [this, key, stamp, result] { Finish(key, stamp, result); },
                Qt::QueuedConnection);
        });
    }
    return known;
}

void LoudnessSurvey::Finish(const LoudnessKey& key, const Stamp& stamp,
                            const LoudnessResult& result) {
    cache_.insert(key, {stamp, result});
    const auto job = inFlight_.constFind(key);
    if (job != inFlight_.cend()) {
        if (!(job->stamp == stamp)) {
            return;  // the file changed meanwhile: its new measurement is on its way
        }
        inFlight_.erase(job);
    }
    emit Measured(key, result);
}
