#pragma once

#include <QStringList>
#include <memory>

#include "base/ProgressSink.h"

// What a fake progress display saw, kept after the display itself is gone.
struct FakeProgressLog {
    QString title;
    bool modal = false;
    int lower = 0;
    int upper = 0;
    int step = 0;
    int advances = 0;
    int pumps = 0;
    int repaints = 0;
    bool hidden = false;
    bool destroyed = false;
    QStringList texts;
};

// A progress display for tests that cancels at the pump after the given number of advances, or at
// the given pump however few advances came (never when negative).
class FakeProgress : public ProgressSink {
public:
    FakeProgress(std::shared_ptr<FakeProgressLog> log, int cancelAfterAdvances,
                 int cancelAtPump = -1)
        : log_(std::move(log)), cancelAfter_(cancelAfterAdvances), cancelAtPump_(cancelAtPump) {}
    ~FakeProgress() override { log_->destroyed = true; }

    void MakeModal() override { log_->modal = true; }
    void SetBarRange(int lower, int upper, int step) override {
        log_->lower = lower;
        log_->upper = upper;
        log_->step = step;
    }
    void SetText(const QString& text) override { log_->texts << text; }
    void Advance() override {
        ++log_->advances;
        log_->hidden = false;
    }
    void PumpMessages() override {
        ++log_->pumps;
        if ((cancelAfter_ >= 0 && log_->advances >= cancelAfter_) ||
            (cancelAtPump_ >= 0 && log_->pumps >= cancelAtPump_)) {
            cancelled_ = true;
        }
    }
    bool IsCancelled() const override { return cancelled_; }
    void HideProgress() override { log_->hidden = true; }
    void RepaintNow() override { ++log_->repaints; }

private:
    std::shared_ptr<FakeProgressLog> log_;
    int cancelAfter_;
    int cancelAtPump_;
    bool cancelled_ = false;
};

// Makes fake displays and keeps the log of each one it made.
class FakeProgressFactory : public ProgressSinkFactory {
public:
    // The displays made from now on cancel after this many advances (-1: never).
    void CancelAfter(int advances) { cancelAfter_ = advances; }
    // The displays made from now on cancel at their pump with this number (-1: never).
    void CancelAtPump(int pump) { cancelAtPump_ = pump; }

    std::unique_ptr<ProgressSink> Create(const QString& title) override {
        auto log = std::make_shared<FakeProgressLog>();
        log->title = title;
        logs_.push_back(log);
        return std::make_unique<FakeProgress>(log, cancelAfter_, cancelAtPump_);
    }

    const std::vector<std::shared_ptr<FakeProgressLog>>& Logs() const { return logs_; }
    const FakeProgressLog& Last() const { return *logs_.back(); }

private:
    int cancelAfter_ = -1;
    int cancelAtPump_ = -1;
    std::vector<std::shared_ptr<FakeProgressLog>> logs_;
};
