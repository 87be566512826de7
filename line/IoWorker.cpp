#include "line/IoWorker.h"

#include <algorithm>
#include <memory>
#include <thread>

namespace mp {

CIoWorker::CIoWorker(CModbusTransaction& link, IWindowQueue& window)
    : Link_(link), Window_(window, *this), Context_(link, Window_, *this, nullptr, &Closing_) {}

CIoWorker::~CIoWorker() {
    if (Running_) {
        Shutdown({});
    }
}

std::function<void()> CIoWorker::CCountingWindow::Counted(std::function<void()> fn) {
    {
        std::lock_guard<std::mutex> guard(Worker_.Mutex_);
        ++Worker_.Outstanding_;
    }
    CIoWorker* worker = &Worker_;
    return [worker, fn = std::move(fn)] {
        {
            // Counted down before the closure runs: a closure that opens a modal message box
            // must not hold up the poll while the box is open.
            std::lock_guard<std::mutex> guard(worker->Mutex_);
            --worker->Outstanding_;
        }
        worker->Notify();
        if (fn) {
            fn();
        }
    };
}

void CIoWorker::CCountingWindow::Show(std::function<void()> change) {
    // The window is closing: what an operation ended by the close found is not shown.
    if (!Worker_.Closing()) {
        Window_.Show(Counted(std::move(change)));
    }
}

void CIoWorker::CCountingWindow::Post(std::function<void()> fn) {
    if (!Worker_.Closing()) {
        Window_.Post(Counted(std::move(fn)));
    }
}

void CIoWorker::Start(Launcher launch) {
    if (Host_ != nullptr) {
        return;  // a lane runs on its host's thread
    }
    {
        std::lock_guard<std::mutex> guard(Mutex_);
        if (Running_) {
            return;
        }
        Running_ = true;
        ShuttingDown_ = false;
        Closing_.store(false);
    }
    if (!launch) {
        launch = [](std::function<void()> body) -> std::function<void()> {
            auto thread = std::make_shared<std::thread>(std::move(body));
            return [thread] { thread->join(); };
        };
    }
    Join_ = launch([this] { Loop(); });
}

void CIoWorker::Shutdown(Job last) {
    if (Host_ != nullptr) {
        {
            std::lock_guard<std::mutex> guard(Mutex_);
            Jobs_.clear();
            Delayed_.clear();
            Polling_ = false;
            ShuttingDown_ = true;
        }
        // The running operation of the lane stops before its next exchange; the host's clock
        // is not ended, the host goes on.
        Closing_.store(true);
        LeaveHost();
        return;
    }
    BeginShutdown(std::move(last));
    if (Running_) {
        Join_();
        Join_ = nullptr;
        Running_ = false;
    } else {
        while (RunOnce()) {
        }
    }
}

void CIoWorker::BeginShutdown(Job last) {
    if (Host_ != nullptr) {
        return;  // a lane is shut down whole by Shutdown: it does not wait on the line
    }
    {
        std::lock_guard<std::mutex> guard(Mutex_);
        if (ShuttingDown_) {
            return;
        }
        Jobs_.clear();
        Delayed_.clear();
        if (last) {
            Jobs_.push_back(std::move(last));
        }
        Polling_ = false;
        ShuttingDown_ = true;
    }
    // Then the flag and the clock: the running operation, which holds no lock, notices the
    // close at its next exchange or wait, and nothing queued behind it runs any more.
    Closing_.store(true);
    Link_.Clock().EndSleeps();
    Link_.Port().EndWaits();
    Wake_.notify_all();
}

void CIoWorker::Post(Job job) {
    {
        std::lock_guard<std::mutex> guard(Mutex_);
        if (ShuttingDown_) {
            return;
        }
        Jobs_.push_back(std::move(job));
    }
    Notify();
}

void CIoWorker::PostAfter(uint32_t delayMs, Job job) {
    const uint32_t due = Link_.Clock().TickCount() + delayMs;
    {
        std::lock_guard<std::mutex> guard(Mutex_);
        if (ShuttingDown_) {
            return;
        }
        Delayed_.push_back({due, std::move(job)});
    }
    Notify();
}

bool CIoWorker::IsIdle() const {
    std::lock_guard<std::mutex> guard(Mutex_);
    return Jobs_.empty() && !JobRunning_;
}

void CIoWorker::SetTick(Job tick) {
    std::lock_guard<std::mutex> guard(Mutex_);
    Tick_ = std::move(tick);
}

void CIoWorker::StartPollTimer() {
    static const std::atomic<bool> kNeverStopped{false};
    StartPollTimerUnless(kNeverStopped);
}

void CIoWorker::StartPollTimerUnless(const std::atomic<bool>& stopped) {
    const uint32_t now = Link_.Clock().TickCount();
    {
        std::lock_guard<std::mutex> guard(Mutex_);
        if (ShuttingDown_ || stopped.load()) {
            return;
        }
        Polling_ = true;
        NextDue_ = now + PeriodMs_;
    }
    Notify();
}

void CIoWorker::StopPollTimer() {
    {
        std::lock_guard<std::mutex> guard(Mutex_);
        Polling_ = false;
    }
    Notify();
}

void CIoWorker::SetPollPeriod(uint32_t ms) {
    {
        std::lock_guard<std::mutex> guard(Mutex_);
        PeriodMs_ = ms;
        if (ms == 0) {
            NextDue_ = Link_.Clock().TickCount();
        }
    }
    Notify();
}

bool CIoWorker::IsPolling() const {
    std::lock_guard<std::mutex> guard(Mutex_);
    return Polling_;
}

CIoWorker::Next CIoWorker::Choose(Job& job) {
    if (!Jobs_.empty()) {
        job = std::move(Jobs_.front());
        Jobs_.pop_front();
        JobRunning_ = true;  // until Run has run it
        return Next::Job;
    }
    if (!ShuttingDown_ && !Lanes_.empty()) {
        Next laneNext = Next::Nothing;
        Job laneJob;
        if (CIoWorker* lane = ChooseLane(laneNext, laneJob)) {
            LaneRunning_ = lane;
            // The lane's own choice rides along in the job: RunLane takes it apart again.
            job = [lane, laneNext, laneJob = std::move(laneJob)](CDeviceContext&) mutable {
                lane->Host_->RunLane(*lane, laneNext, laneJob);
            };
            return Next::Lane;
        }
    }
    const uint32_t now = Link_.Clock().TickCount();
    if (!ShuttingDown_) {
        for (auto delayed = Delayed_.begin(); delayed != Delayed_.end(); ++delayed) {
            if (static_cast<int32_t>(delayed->Due - now) <= 0) {
                job = std::move(delayed->Run);
                Delayed_.erase(delayed);
                return Next::Delayed;
            }
        }
    }
    if (!Polling_ || !Tick_ || Outstanding_ > 0 || ShuttingDown_) {
        return Next::Nothing;
    }
    if (static_cast<int32_t>(NextDue_ - now) > 0) {
        return Next::Nothing;
    }
    // One expiry is kept however many periods went by; the next falls in the future.
    // Without a period the next is due at once: ticks back to back.
    while (PeriodMs_ > 0 && static_cast<int32_t>(NextDue_ - now) <= 0) {
        NextDue_ += PeriodMs_;
    }
    job = Tick_;
    return Next::Tick;
}

void CIoWorker::Run(Next next, Job& job) {
    job(Context_);
    if (next == Next::Job) {
        std::lock_guard<std::mutex> guard(Mutex_);
        JobRunning_ = false;
    }
    if (next == Next::Lane) {
        {
            std::lock_guard<std::mutex> guard(Mutex_);
            LaneRunning_ = nullptr;
        }
        LaneDone_.notify_all();
    }
}

void CIoWorker::Notify() {
    if (Host_ == nullptr) {
        Wake_.notify_all();
        return;
    }
    // Through the host's lock: the host either has not yet looked at its lanes (and will see
    // this change) or already waits (and is woken).
    { std::lock_guard<std::mutex> guard(Host_->Mutex_); }
    Host_->Wake_.notify_all();
}

void CIoWorker::JoinHost(CIoWorker& host, LinkHook enter, LinkHook leave) {
    Host_ = &host;
    Enter_ = std::move(enter);
    Leave_ = std::move(leave);
    {
        std::lock_guard<std::mutex> guard(host.Mutex_);
        host.Lanes_.push_back(this);
    }
    Notify();
}

void CIoWorker::LeaveHost() {
    CIoWorker& host = *Host_;
    std::unique_lock<std::mutex> lock(host.Mutex_);
    host.LaneDone_.wait(lock, [&] { return host.LaneRunning_ != this; });
    host.Lanes_.erase(std::remove(host.Lanes_.begin(), host.Lanes_.end(), this), host.Lanes_.end());
}

CIoWorker* CIoWorker::ChooseLane(Next& next, Job& job) {
    for (size_t k = 0; k < Lanes_.size(); ++k) {
        CIoWorker* lane = Lanes_[(NextLane_ + k) % Lanes_.size()];
        std::lock_guard<std::mutex> guard(lane->Mutex_);
        next = lane->Choose(job);
        if (next != Next::Nothing) {
            NextLane_ = (NextLane_ + k + 1) % Lanes_.size();
            return lane;
        }
    }
    return nullptr;
}

void CIoWorker::RunLane(CIoWorker& lane, Next next, Job& job) {
    if (lane.Enter_) {
        lane.Enter_(Link_);
    }
    lane.Run(next, job);
    if (lane.Leave_) {
        lane.Leave_(Link_);
    }
}

bool CIoWorker::RunOnce() {
    Job job;
    Next next = Next::Nothing;
    {
        std::lock_guard<std::mutex> guard(Mutex_);
        next = Choose(job);
    }
    if (next == Next::Nothing) {
        return false;
    }
    Run(next, job);
    return true;
}

bool CIoWorker::NextWait(uint32_t& ms) const {
    const uint32_t now = Link_.Clock().TickCount();
    bool waiting = false;
    auto consider = [&](uint32_t due) {
        const int32_t remaining = std::max<int32_t>(static_cast<int32_t>(due - now), 0);
        ms = waiting ? std::min(ms, static_cast<uint32_t>(remaining))
                     : static_cast<uint32_t>(remaining);
        waiting = true;
    };
    if (Polling_ && Tick_ && Outstanding_ == 0) {
        consider(NextDue_);
    }
    for (const DelayedJob& delayed : Delayed_) {
        consider(delayed.Due);
    }
    for (CIoWorker* lane : Lanes_) {
        std::lock_guard<std::mutex> guard(lane->Mutex_);
        uint32_t laneMs = 0;
        if (lane->NextWait(laneMs)) {
            consider(now + laneMs);
        }
    }
    return waiting;
}

void CIoWorker::Loop() {
    std::unique_lock<std::mutex> lock(Mutex_);
    for (;;) {
        Job job;
        const Next next = Choose(job);
        if (next != Next::Nothing) {
            lock.unlock();
            Run(next, job);
            lock.lock();
            continue;
        }
        if (ShuttingDown_) {
            return;
        }
        uint32_t wait = 0;
        if (NextWait(wait)) {
            if (wait > 0) {
                Link_.Clock().WaitIdle(Wake_, lock, wait);
            }
            continue;
        }
        Wake_.wait(lock);
    }
}

}  // namespace mp
