#pragma once
// The one thread that talks to the device. Operations queued by the window run here one at a
// time, in the order they were asked for; the poll timer's ticks run between them. The
// window thread never waits on the line. At the close the running operation sees Stopped()
// and ends before its next exchange, the clock's waits end, and nothing more reaches the window.
//
// A worker can also be a lane of another: it has no thread of its own, and its operations and
// ticks run on the host's thread between the host's own, ahead of the host's tick. So several
// relays' windows on one line each keep their own queue, poll timer and stops, while the line
// still runs strictly one exchange at a time.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include "modbus/DeviceContext.h"

namespace mp {

class CIoWorker : public IPollTimer {
public:
    using Job = std::function<void(CDeviceContext&)>;
    static constexpr uint32_t kPollPeriodMs = 1000;

    CIoWorker(CModbusTransaction& link, IWindowQueue& window);
    ~CIoWorker() override;
    CIoWorker(const CIoWorker&) = delete;
    CIoWorker& operator=(const CIoWorker&) = delete;

    // Starts `body` on a new thread and returns what joins it.
    using Launcher = std::function<std::function<void()>(std::function<void()> body)>;

    // Starts the thread (a std::thread unless `launch` makes another kind). Without it, tests
    // drive the worker step by step with RunOnce.
    void Start(Launcher launch = {});
    // Drops the operations still waiting, tells the running one to stop (its context's
    // Stopped() and Closing() turn true and the link clock's sleeps end), waits for it, runs
    // `last` (for instance closing the port) and ends the thread. From its start nothing the
    // operations hand the window reaches it.
    void Shutdown(Job last);
    // True from the start of Shutdown.
    bool Closing() const { return Closing_.load(); }

    // Queues an operation behind the ones already waiting.
    void Post(Job job);
    // Runs `job` once `delayMs` have passed on the link's clock, between operations and
    // ticks: background work such as trying again to open a lost port. Dropped at shutdown.
    void PostAfter(uint32_t delayMs, Job job);
    // No operation waits or runs (ticks and delayed jobs aside).
    bool IsIdle() const;
    // What one poll tick does.
    void SetTick(Job tick);

    // The poll timer. Starting it while it runs restarts its period; a tick that falls due
    // while another runs is kept once, never queued twice, so ticks run back to back when
    // they take longer than the period.
    void StartPollTimer() override;
    // Starts the timer unless `stopped` is set, decided under the worker's lock: a stop that
    // sets the flag before it stops the timer can never be undone by this start.
    void StartPollTimerUnless(const std::atomic<bool>& stopped);
    void StopPollTimer() override;
    bool IsPolling() const;
    // The poll timer's period from its next start or expiry (0: ticks back to back).
    void SetPollPeriod(uint32_t ms);

    // Runs one waiting operation, or one tick when it is due and the window has taken up
    // everything the previous one sent it. False when there was nothing to run.
    bool RunOnce();

    // Makes this worker a lane of `host` (before anything is queued; the host outlives it).
    // Start does nothing for a lane; its Shutdown waits for an operation of it that runs on
    // the host's thread, drops `last` (a lane never closes the host's port) and leaves the
    // host. `enter` and `leave` run on the host's thread around each of the lane's operations
    // and ticks: what the lane keeps of the shared link (its slave address, say).
    using LinkHook = std::function<void(CModbusTransaction&)>;
    void JoinHost(CIoWorker& host, LinkHook enter = {}, LinkHook leave = {});

private:
    // Hands closures to the window and counts those it has not yet begun to apply.
    class CCountingWindow : public IWindowQueue {
    public:
        CCountingWindow(IWindowQueue& window, CIoWorker& worker)
            : Window_(window), Worker_(worker) {}
        void Show(std::function<void()> change) override;
        void Post(std::function<void()> fn) override;

    private:
        std::function<void()> Counted(std::function<void()> fn);
        IWindowQueue& Window_;
        CIoWorker& Worker_;
    };

    enum class Next { Nothing, Job, Delayed, Tick, Lane };
    struct DelayedJob {
        uint32_t Due;
        Job Run;
    };
    // Decides what runs next; with the lock held.
    Next Choose(Job& job);
    void Loop();
    // Runs what Choose picked; an operation counts as running from its choice to its end.
    void Run(Next next, Job& job);
    // Milliseconds until the next tick or delayed job falls due; false when none is waited for.
    bool NextWait(uint32_t& ms) const;
    // Wakes the thread that runs this worker's operations (the host's, for a lane).
    void Notify();
    // Host, with its lock held: the next lane with something to run, round robin.
    CIoWorker* ChooseLane(Next& next, Job& job);
    void RunLane(CIoWorker& lane, Next next, Job& job);
    void LeaveHost();

    CModbusTransaction& Link_;
    CCountingWindow Window_;
    CDeviceContext Context_;

    mutable std::mutex Mutex_;
    std::condition_variable Wake_;
    std::deque<Job> Jobs_;
    std::deque<DelayedJob> Delayed_;
    bool JobRunning_ = false;
    Job Tick_;
    bool Polling_ = false;
    uint32_t NextDue_ = 0;
    uint32_t PeriodMs_ = kPollPeriodMs;
    int Outstanding_ = 0;  // closures handed to the window and not yet begun there
    bool ShuttingDown_ = false;
    std::atomic<bool> Closing_{false};
    bool Running_ = false;
    std::function<void()> Join_;

    // A lane: its host and the hooks around its operations.
    CIoWorker* Host_ = nullptr;
    LinkHook Enter_;
    LinkHook Leave_;
    // A host: its lanes, the next to be asked, and the one whose operation runs now.
    std::vector<CIoWorker*> Lanes_;
    size_t NextLane_ = 0;
    CIoWorker* LaneRunning_ = nullptr;
    std::condition_variable LaneDone_;
};

}  // namespace mp
