#pragma once
// The whole window for end-to-end tests: real widgets, the handlers, the I/O worker on its own
// thread, the simulated device behind an in-process port on a clock whose waits the test can
// hold. Message boxes and dialogs are answered by a script.

#include <QAbstractButton>
#include <QAction>
#include <QLineEdit>
#include <QtTest>
#include <atomic>
#include <memory>
#include <vector>

#include "app/MainController.h"
#include "app/MotorProtectorDlg.h"
#include "line/IoWorker.h"
#include "relay/Relay.h"
#include "simulator/SimulatedPort.h"
#include "support/GatedClock.h"
#include "support/ScriptedDialogs.h"
#include "support/Widgets.h"

namespace mp::test {

struct CWindowRig {
    // `failOpen`: the port refuses to open, as a port another program holds would.
    explicit CWindowRig(uint8_t address = 1, bool failOpen = false)
        : Port(Device, Clock), Window(Relay, Dialogs) {
        Device.SetLiveMotion(false);
        Device.SetAddress(address);
        Connection.PortText = QStringLiteral("COM3");
        Connection.PortNumber = 3;
        Connection.SlaveAddress = address;
        if (failOpen) {
            Port.SetOpenFailure("device busy");
        }
        Controller = std::make_unique<CMainController>(Window, Dialogs, Connection, Port, Clock);
        Controller->Start();
    }
    ~CWindowRig() {
        Clock.Release();
        Controller->Shutdown();
    }

    template <typename T>
    T* Find(const char* name) {
        return Child<T>(Window, QString::fromLatin1(name));
    }
    QString Text(const char* name) { return Find<QLineEdit>(name)->text(); }
    void Click(const char* name) { QTest::mouseClick(Find<QAbstractButton>(name), Qt::LeftButton); }
    void Trigger(const char* action) { Find<QAction>(action)->trigger(); }
    bool Enabled(const char* name) { return Find<QWidget>(name)->isEnabled(); }
    QString Status() { return Window.StatusText(); }
    OperationState State() { return Controller->Operation().State(); }

    // Waits until the worker has run everything queued so far and the window has applied
    // everything it was handed before that.
    bool Drain() {
        auto done = std::make_shared<std::atomic<bool>>(false);
        Controller->Worker().Post(
            [done](CDeviceContext& ctx) { ctx.Post([done] { *done = true; }); });
        return QTest::qWaitFor([&] { return done->load(); }, 5000);
    }
    // The worker will stop in a wait, after `pass` other waits, until Clock.Release().
    void HoldInWait(int pass = 0) { Clock.HoldAfter(pass); }
    bool WaitUntilHeld() {
        return QTest::qWaitFor([&] { return Clock.Holding(); }, 5000);
    }

    // Frames sent since the last call.
    std::vector<std::vector<uint8_t>> TakeSent() {
        std::vector<std::vector<uint8_t>> frames;
        for (const auto& sent : Port.Sent()) {
            frames.push_back(sent.Bytes);
        }
        Port.ClearSent();
        return frames;
    }

    CGatedClock Clock{5000};
    CSimulatedDevice Device;
    CSimulatedPort Port;
    CScriptedDialogs Dialogs;
    ConnectionSettings Connection;
    CRelay Relay;
    CMotorProtectorDlg Window;
    std::unique_ptr<CMainController> Controller;
};

}  // namespace mp::test
