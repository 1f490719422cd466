#pragma once

#include <QObject>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "MorvaneAnalysis.h"
#include "PointData.h"

// Runs MorvaneAnalysis on a thread of its own, one job at a time, and hands its values to the
// window thread through queued calls. Starting a job ends the one in hand at once; values of an
// ended job that are still on their way are dropped by the job's number, so the callbacks only
// ever see the latest job. All members are for the window thread.
class AnalysisWorker : public QObject {
    Q_OBJECT

public:
    struct Job {
        BoardArray board{};  // layout of OthelloLogic
        int color = 0;       // the side to move
        int level = 0;       // index into kLevelTable
    };

    AnalysisWorker();
    ~AnalysisWorker() override;

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
    void Run();
    void Deliver(int job, const std::function<void()>& call);

    MorvaneAnalysis analysis_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::optional<std::pair<int, Job>> pending_;  // guarded by mutex_
    bool running_ = false;                        // guarded by mutex_
    bool quit_ = false;                           // guarded by mutex_
    int latest_ = 0;                              // window thread only
    bool busy_ = false;                           // window thread only
    std::thread thread_;
};
