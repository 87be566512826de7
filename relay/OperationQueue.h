#pragma once
// How the handlers of a relay's window ask for work on the line: the operation state judges
// an action, and an allowed one is queued on the line's worker as one pending operation.

#include <functional>

#include "modbus/DeviceContext.h"
#include "relay/OperationState.h"

namespace mp {

using DeviceJob = std::function<void(CDeviceContext&)>;

class IOperationQueue {
public:
    virtual ~IOperationQueue() = default;
    // True when the operation state allows the action now; otherwise tells the operator why.
    virtual bool Allowed(OperatorAction action) = 0;
    // True when the line is open; otherwise tells the operator that nothing can reach the
    // device.
    virtual bool RequireLine() = 0;
    // Queues `job` on the worker as one pending operation; it ends after every closure the
    // job handed the window.
    virtual void Queue(OperatorAction action, DeviceJob job) = 0;
    // An operation that spans more than one job (an answer of the operator between them):
    // Begin before the first, Finish after the last.
    virtual int Begin(OperatorAction action) = 0;
    virtual void Finish(int token) = 0;
    // Queues `job` on the worker inside an operation begun with Begin.
    virtual void Post(DeviceJob job) = 0;
};

}  // namespace mp
