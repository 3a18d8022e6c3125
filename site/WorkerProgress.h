#pragma once

#include <functional>

#include "base/ProgressSink.h"

// The progress display of a transfer in a worker thread: no widget, no event loop. Each step of
// the bar passes its bytes on (to the worker, which forwards them through queued signals), and
// the cancel flag is the worker's: the run's one cancel, or the controller's time limit.
class WorkerProgress : public ProgressSink {
public:
    WorkerProgress(std::function<void(qint64 bytes)> advanced, std::function<bool()> stopped)
        : advanced_(std::move(advanced)), stopped_(std::move(stopped)) {}

    void MakeModal() override {}
    // The session counts the bar in KiB.
    void SetBarRange(int, int, int step) override { stepBytes_ = qint64(step) * 1024; }
    void SetText(const QString&) override {}
    void Advance() override { advanced_(stepBytes_); }
    void PumpMessages() override {}
    bool IsCancelled() const override { return stopped_(); }
    void HideProgress() override {}
    void RepaintNow() override {}

private:
    std::function<void(qint64)> advanced_;
    std::function<bool()> stopped_;
    qint64 stepBytes_ = 0;
};

// Makes the worker's displays.
class WorkerProgressFactory : public ProgressSinkFactory {
public:
    WorkerProgressFactory(std::function<void(qint64 bytes)> advanced, std::function<bool()> stopped)
        : advanced_(std::move(advanced)), stopped_(std::move(stopped)) {}

    std::unique_ptr<ProgressSink> Create(const QString&) override {
        return std::make_unique<WorkerProgress>(advanced_, stopped_);
    }

private:
    std::function<void(qint64)> advanced_;
    std::function<bool()> stopped_;
};
