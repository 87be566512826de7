#include "line/PollSession.h"

#include "line/IoWorker.h"

namespace mp {

// Hands the session's closures to the window, each dropped whole (screen update included) when
// the session has been stopped by the time it would run.
class CPollSession::CWindow : public IWindowQueue {
public:
    CWindow(IWindowQueue& inner, std::shared_ptr<CPollSession> session)
        : Inner_(inner), Session_(std::move(session)) {}

    void Show(std::function<void()> change) override {
        Inner_.Post([session = Session_, change = std::move(change)] {
            if (session->Stopped()) {
                return;
            }
            if (change) {
                change();
            }
            if (session->ShowFields_) {
                session->ShowFields_();
            }
        });
    }
    void Post(std::function<void()> fn) override {
        Inner_.Post([session = Session_, fn = std::move(fn)] {
            if (!session->Stopped() && fn) {
                fn();
            }
        });
    }

private:
    IWindowQueue& Inner_;
    std::shared_ptr<CPollSession> Session_;
};

// Starts the poll timer only while the session runs, decided under the worker's lock so that a
// stop given at the same moment always wins.
class CPollSession::CTimer : public IPollTimer {
public:
    CTimer(CIoWorker& worker, const std::atomic<bool>& stopped)
        : Worker_(worker), Stopped_(stopped) {}
    void StartPollTimer() override { Worker_.StartPollTimerUnless(Stopped_); }
    void StopPollTimer() override { Worker_.StopPollTimer(); }

private:
    CIoWorker& Worker_;
    const std::atomic<bool>& Stopped_;
};

CPollSession::CPollSession(CIoWorker& worker, std::function<void()> showFields)
    : Worker_(worker), ShowFields_(std::move(showFields)) {}

void CPollSession::Stop() {
    // Set before the worker's lock is taken: a start of the timer decided after this sees it.
    Stopped_.store(true);
    Worker_.StopPollTimer();
}

void CPollSession::Run(CDeviceContext& ctx, const std::function<void(CDeviceContext&)>& body) {
    CWindow window(ctx.Window, shared_from_this());
    CTimer timer(Worker_, Stopped_);
    CDeviceContext session(ctx.Link, window, timer, &Stopped_, ctx.CloseFlag());
    body(session);
}

}  // namespace mp
