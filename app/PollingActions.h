#pragma once
// The read command and its stop: the start sequence, then a poll tick every period until the
// operator stops it; and the fast refresh of the trend window.

#include <QObject>
#include <memory>

#include "app/WindowActions.h"
#include "monitoring/PollingCycle.h"

namespace mp {

class CConnectionController;
class CDeviceLine;
class CPollSession;

class CPollingActions : public QObject {
    Q_OBJECT
public:
    CPollingActions(WindowActions actions, CDeviceLine& line, CConnectionController& connection,
                    QObject* parent = nullptr);

    void Read();
    void Stop();
    // Ends the read command's session (the program closes).
    void EndSession();
    // Fast refresh: every read ends its wait once its whole reply is there and the poll ticks
    // run back to back; off: the reads' fixed waits and the timer's period.
    void SetFastRefresh(bool on);

signals:
    // After a poll tick's final show, on the window thread: the live values now hold what the
    // tick found, and `answered` says which of its reads found their response.
    void PollTickShown(const mp::PollTickResult& answered);
    // The read command was given: the ticks that follow are a new run of polling.
    void PollingStarted();

private:
    WindowActions A_;
    CDeviceLine& Line_;
    CConnectionController& Connection_;
    std::shared_ptr<CPollSession> Session_;
};

}  // namespace mp
