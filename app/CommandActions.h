#pragma once
// The device commands of the main window: the start mode, the contactor outputs A and B and
// the reset, and the read of the stored events.

#include <QObject>

#include "app/WindowActions.h"
#include "events/EventRecordTexts.h"

namespace mp {

struct LiveValues;

class CCommandActions : public QObject {
    Q_OBJECT
public:
    explicit CCommandActions(WindowActions actions, QObject* parent = nullptr);

    void SetStartMode();
    void CloseOutputA();
    void OpenOutputA();
    void CloseOutputB();
    void OpenOutputB();
    void ResetOutputs();
    void ReadEventRecords();

signals:
    void DeviceWritten(const mp::DeviceWrite& write);
    // The event records read from the device, before their window opens.
    void EventRecordsRead(const mp::EventRecordTexts& texts);

private:
    // Queues one of the output commands with the window's lamps; the status bar says when the
    // device did not confirm the outputs' state, and when a later command was confirmed.
    void QueueOutputCommand(bool (*command)(CDeviceContext&, LiveValues*), DeviceWriteKind kind);

    WindowActions A_;
};

}  // namespace mp
