#pragma once
// Delivers the I/O worker's closures to the window thread through Qt's event queue. A closure
// still queued when its window is gone is dropped with it.

#include <QObject>
#include <QPointer>
#include <functional>

#include "modbus/DeviceContext.h"

namespace mp {

class CWindowQueue : public IWindowQueue {
public:
    // `showFields` shows every bound value; it runs on the window thread after each change.
    CWindowQueue(QObject* context, std::function<void()> showFields);

    void Show(std::function<void()> change) override;
    void Post(std::function<void()> fn) override;

private:
    QPointer<QObject> Context_;
    std::function<void()> ShowFields_;
};

}  // namespace mp
