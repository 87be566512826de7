#pragma once
// Stands in for the window thread in device-operation tests: runs every closure at once,
// counts the screen updates and records what the poll timer was told.

#include <functional>
#include <vector>

#include "modbus/DeviceContext.h"

namespace mp::test {

class CImmediateWindow : public IWindowQueue, public IPollTimer {
public:
    void Show(std::function<void()> change) override {
        if (change) {
            change();
        }
        ++Shows;
        if (OnShow) {
            OnShow();
        }
    }
    void Post(std::function<void()> fn) override {
        if (fn) {
            fn();
        }
    }
    void StartPollTimer() override {
        ++TimerStarts;
        Polling = true;
    }
    void StopPollTimer() override { Polling = false; }

    int Shows = 0;
    int TimerStarts = 0;
    bool Polling = false;
    std::function<void()> OnShow;  // called after every screen update
};

}  // namespace mp::test
