#pragma once

#include <QTimer>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "MorvaneAnalysis.h"
#include "PointData.h"

// Runs MorvaneAnalysis on a thread of its own, one job at a time, and hands its values to the
// window thread. Starting a job ends the one in hand at once; values of an ended job are dropped
// by the job's number, so the callbacks only ever see the latest job. Everything the two threads
// share is guarded by one mutex (Qt's own event queue is not, as ThreadSanitizer sees it): the
// worker puts what it finds into an outbox, which a timer of the window thread empties while a
// job runs. All members are for the window thread.
class AnalysisWorker {
public:
    struct Job {
        BoardArray board{};  // layout of OthelloLogic
        int color = 0;       // the side to move
        int level = 0;       // index into kLevelTable
    };

    AnalysisWorker();
    ~AnalysisWorker();
    AnalysisWorker(const AnalysisWorker&) = delete;
    AnalysisWorker& operator=(const AnalysisWorker&) = delete;

    // Returns the job's number, which the callbacks receive.
    int Start(const Job& job);
    // Ends the job in hand without waiting; nothing more of it arrives.
    void Cancel();
    // As Cancel, and returns once the engine is idle (within its 50 ms stop bound): for the
    // computer's turn, whose search must have the processor to itself.
    void Halt();
    // Whether a job was started and its result has not arrived yet.
    bool Busy() const { return busy_; }

    std::function<void(int job, const MoveValue& value)> OnValue;
    std::function<void(int job, const AnalysisResult& result)> OnDone;

private:
    struct Delivery {
        int job = 0;
        std::optional<MoveValue> value;        // a move's value, or
        std::optional<AnalysisResult> result;  // the end of the job
    };

    void Run();
    void Post(Delivery delivery);
    void Drain();

    MorvaneAnalysis analysis_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::optional<std::pair<int, Job>> pending_;  // guarded by mutex_
    std::vector<Delivery> outbox_;                // guarded by mutex_
    bool running_ = false;                        // guarded by mutex_
    bool quit_ = false;                           // guarded by mutex_
    int latest_ = 0;                              // window thread only
    bool busy_ = false;                           // window thread only
    QTimer poll_;
    std::thread thread_;
};
