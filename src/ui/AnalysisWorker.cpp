#include "AnalysisWorker.h"

#include <chrono>

namespace {
// Longer than the analysis' own stop bound of 50 ms; a wait never outlasts it by much.
constexpr auto kHaltWait = std::chrono::milliseconds(500);
// How soon a value found reaches the window: well below the 0.3 s its first one may take.
constexpr int kPollMs = 10;
}  // namespace

AnalysisWorker::AnalysisWorker() : thread_([this] { Run(); }) {
    poll_.setInterval(kPollMs);
    QObject::connect(&poll_, &QTimer::timeout, [this] { Drain(); });
}

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
        outbox_.clear();
        if (running_) analysis_.Stop();
    }
    busy_ = true;
    poll_.start();
    wake_.notify_one();
    return latest_;
}

void AnalysisWorker::Cancel() {
    std::lock_guard lock(mutex_);
    ++latest_;
    busy_ = false;
    poll_.stop();
    pending_.reset();
    outbox_.clear();
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
        AnalysisResult result = analysis_.Analyze(job.board.data(), job.color, job.level,
                                                  [this, number](const MoveValue& value) {
                                                      Post({number, value, {}});
                                                  });
        lock.lock();
        outbox_.push_back({number, {}, std::move(result)});
        running_ = false;
        idle_.notify_all();
    }
}

void AnalysisWorker::Post(Delivery delivery) {
    std::lock_guard lock(mutex_);
    outbox_.push_back(std::move(delivery));
}

void AnalysisWorker::Drain() {
    std::vector<Delivery> arrived;
    {
        std::lock_guard lock(mutex_);
        arrived.swap(outbox_);
    }
    // A callback may start the next job, which makes the rest of these stale.
    for (const Delivery& d : arrived) {
        if (d.job != latest_) continue;
        if (d.value) {
            if (OnValue) OnValue(d.job, *d.value);
        } else if (d.result) {
            busy_ = false;
            poll_.stop();
            if (OnDone) OnDone(d.job, *d.result);
        }
    }
}
