#pragma once
// One read command until its stop. The start sequence and every poll tick run under the session
// that was current when they began; once the operator stops it they send no further request,
// nothing they found reaches the window and the poll timer is never started again by them.

#include <atomic>
#include <functional>
#include <memory>

#include "modbus/DeviceContext.h"

namespace mp {

class CIoWorker;

class CPollSession : public std::enable_shared_from_this<CPollSession> {
public:
    // `showFields` shows every bound value on the window thread.
    CPollSession(CIoWorker& worker, std::function<void()> showFields);

    // Window thread: ends the session and stops the poll timer.
    void Stop();
    bool Stopped() const { return Stopped_.load(); }

    // Worker thread: runs `body` with a context that answers to this session.
    void Run(CDeviceContext& ctx, const std::function<void(CDeviceContext&)>& body);

private:
    class CWindow;
    class CTimer;

    CIoWorker& Worker_;
    std::function<void()> ShowFields_;
    std::atomic<bool> Stopped_{false};
};

}  // namespace mp
