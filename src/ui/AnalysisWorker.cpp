#include "AnalysisWorker.h"

#include <chrono>

namespace {
// Longer than the analysis' own stop bound of 50 ms; a wait never outlasts it by much.
constexpr auto kHaltWait = std::chrono::milliseconds(500);
}  // namespace

AnalysisWorker::AnalysisWorker() : thread_([this] { Run(); }) {}

AnalysisWorker::~AnalysisWorker() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
        pending_.reset();
        analysis_.Stop();
    }
    wake_.notify_one();
    thread_.join();
}

int AnalysisWorker::Start(const Job& job) {
    {
        std::lock_guard lock(mutex_);
        pending_.emplace(++latest_, job);
        if (running_) analysis_.Stop();
    }
    busy_ = true;
    wake_.notify_one();
    return latest_;
}

void AnalysisWorker::Cancel() {
    std::lock_guard lock(mutex_);
    ++latest_;
    busy_ = false;
    pending_.reset();
    if (running_) analysis_.Stop();
}

void AnalysisWorker::Halt() {
    Cancel();
    std::unique_lock lock(mutex_);
    idle_.wait_for(lock, kHaltWait, [this] { return !running_; });
}

void AnalysisWorker::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return quit_ || pending_.has_value(); });
        if (quit_) return;
        const auto [number, job] = *pending_;
        pending_.reset();
        // Under the lock: a Stop for this job from now on reaches its Analyze.
        analysis_.Reset();
        running_ = true;
        lock.unlock();
        const AnalysisResult result = analysis_.Analyze(job.board.data(), job.color, job.level,
                                                        [this, number](const MoveValue& value) {
                                                            Deliver(number, [this, number, value] {
                                                                if (OnValue) OnValue(number, value);
                                                            });
                                                        });
        Deliver(number, [this, number, result] {
            busy_ = false;
            if (OnDone) OnDone(number, result);
        });
        lock.lock();
        running_ = false;
        idle_.notify_all();
    }
}

void AnalysisWorker::Deliver(int job, const std::function<void()>& call) {
    // Runs on the window thread; this object as the context drops calls queued before its end.
    QMetaObject::invokeMethod(
        this,
        [this, job, call] {
            if (job == latest_) call();
        },
        Qt::QueuedConnection);
}
