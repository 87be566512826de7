#pragma once
// What a device operation running on the I/O worker sees: the transaction (buffers, slave
// address, port, clock) and a way to hand decoded results to the window thread.

#include <atomic>
#include <functional>

#include "modbus/ModbusTransaction.h"

namespace mp {

// The window side, as the I/O worker reaches it. Calls come from the worker thread; the
// closures run later on the window thread, in the order they were given.
class IWindowQueue {
public:
    virtual ~IWindowQueue() = default;
    // Runs `change` on the window thread (may be empty), then shows every bound value.
    virtual void Show(std::function<void()> change) = 0;
    // Runs `fn` on the window thread.
    virtual void Post(std::function<void()> fn) = 0;
};

// The one poll timer (period 1000 ms). Starting it while it runs restarts its period.
class IPollTimer {
public:
    virtual ~IPollTimer() = default;
    virtual void StartPollTimer() = 0;
    virtual void StopPollTimer() = 0;
};

class CDeviceContext {
public:
    CDeviceContext(CModbusTransaction& link, IWindowQueue& window, IPollTimer& timer,
                   const std::atomic<bool>* stopped = nullptr,
                   const std::atomic<bool>* closing = nullptr)
        : Link(link), Window(window), Timer(timer), StopFlag_(stopped), CloseFlag_(closing) {}

    // True once the operator stopped what this operation belongs to (a read command's start
    // sequence or poll tick), or once the program closes: it then sends no further request.
    // A long operation looks at it before each exchange.
    bool Stopped() const { return (StopFlag_ != nullptr && StopFlag_->load()) || Closing(); }
    // True once the program closes (every operation ends, whatever it belongs to).
    bool Closing() const { return CloseFlag_ != nullptr && CloseFlag_->load(); }

    // The flags, for a context made inside an operation that answers to the same stops.
    const std::atomic<bool>* StopFlag() const { return StopFlag_; }
    const std::atomic<bool>* CloseFlag() const { return CloseFlag_; }

    void Sleep(uint32_t ms) { Link.Sleep(ms); }
    void Show(std::function<void()> change = {}) { Window.Show(std::move(change)); }
    void Post(std::function<void()> fn) { Window.Post(std::move(fn)); }

    CModbusTransaction& Link;
    IWindowQueue& Window;
    IPollTimer& Timer;

private:
    const std::atomic<bool>* StopFlag_;
    const std::atomic<bool>* CloseFlag_;
};

}  // namespace mp
