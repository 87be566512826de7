// The I/O worker: one exchange at a time, operations whole, the poll timer's ticks back to
// back without piling up, and the window kept from drowning in results. A line made from its
// endpoint: simulated devices at several addresses, and a gateway whose connection is lost and
// comes back (real time, kept short).

#include <QSignalSpy>
#include <QtTest>
#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "line/DeviceLine.h"
#include "line/IoWorker.h"
#include "modbus/FrameBuffers.h"
#include "modbus/RequestBuilder.h"
#include "monitoring/LiveReads.h"
#include "simulator/SimulatedPort.h"
#include "simulator/VirtualClock.h"
#include "support/ImmediateWindow.h"
#ifdef Q_OS_UNIX
#include "simulator/TcpServer.h"
#endif

using namespace mp;

namespace {

// Keeps the closures until the test lets the window run them.
class CDeferredWindow : public IWindowQueue {
public:
    void Show(std::function<void()> change) override { Post(std::move(change)); }
    void Post(std::function<void()> fn) override {
        std::lock_guard<std::mutex> guard(Mutex);
        Pending.push_back(std::move(fn));
    }
    int RunAll() {
        std::vector<std::function<void()>> run;
        {
            std::lock_guard<std::mutex> guard(Mutex);
            run.swap(Pending);
        }
        for (auto& fn : run) {
            fn();
        }
        return static_cast<int>(run.size());
    }
    std::mutex Mutex;
    std::vector<std::function<void()>> Pending;
};

struct Rig {
    Rig() : Port(Device, Clock), Link(Port, Clock), Worker(Link, Window) {
        Port.OpenPort({"sim", 9600, kParityNone});
    }
    CVirtualClock Clock{1000};
    CSimulatedDevice Device;
    CSimulatedPort Port;
    CModbusTransaction Link;
    test::CImmediateWindow Window;
    CIoWorker Worker;
};

}  // namespace

class TestIoWorker : public QObject {
    Q_OBJECT

private slots:
    void ticksRunBackToBackWithoutPilingUp_data() {
        QTest::addColumn<QList<int>>("durations");
        QTest::addColumn<QList<bool>>("immediate");
        // A tick longer than the period is followed at once by the next one.
        QTest::newRow("1400 ms ticks")
            << QList<int>{1400, 1400, 1400} << QList<bool>{true, true, true};
        // After a long tick only one tick is still due: a short one runs at once, then the
        // period resumes instead of catching up the missed expiries.
        QTest::newRow("one long tick")
            << QList<int>{5000, 10, 10} << QList<bool>{true, false, false};
        QTest::newRow("short ticks") << QList<int>{10, 10, 10} << QList<bool>{false, false, false};
    }
    void ticksRunBackToBackWithoutPilingUp() {
        QFETCH(QList<int>, durations);
        QFETCH(QList<bool>, immediate);
        Rig rig;
        int index = 0;
        std::vector<uint64_t> starts;
        rig.Worker.SetTick([&](CDeviceContext& ctx) {
            starts.push_back(rig.Clock.Elapsed());
            ctx.Sleep(static_cast<uint32_t>(durations.value(index++, 10)));
        });
        rig.Worker.StartPollTimer();
        QVERIFY(!rig.Worker.RunOnce());  // not due yet
        rig.Clock.Advance(1000);
        QVERIFY(rig.Worker.RunOnce());
        for (int k = 0; k < durations.size(); ++k) {
            const bool ranAtOnce = rig.Worker.RunOnce();
            QCOMPARE(ranAtOnce, immediate[k]);
            if (!ranAtOnce) {
                rig.Clock.Advance(1000);
                QVERIFY(rig.Worker.RunOnce());
            }
        }
        // Never two ticks at the same moment.
        for (size_t k = 1; k < starts.size(); ++k) {
            QVERIFY(starts[k] > starts[k - 1]);
        }
    }

    void startingTheTimerAgainRestartsItsPeriod() {
        Rig rig;
        int ticks = 0;
        rig.Worker.SetTick([&](CDeviceContext&) { ++ticks; });
        rig.Worker.StartPollTimer();
        rig.Clock.Advance(900);
        rig.Worker.StartPollTimer();  // a second read command while polling
        rig.Clock.Advance(100);
        QVERIFY(!rig.Worker.RunOnce());
        rig.Clock.Advance(900);
        QVERIFY(rig.Worker.RunOnce());
        QCOMPARE(ticks, 1);
        rig.Worker.StopPollTimer();
        rig.Clock.Advance(5000);
        QVERIFY(!rig.Worker.RunOnce());
        QCOMPARE(ticks, 1);
    }

    // An operation queued while a tick is due runs whole before the tick: no poll exchange
    // falls between two of its exchanges.
    void operationsRunWholeBetweenTicks() {
        Rig rig;
        rig.Worker.SetTick([](CDeviceContext& ctx) {
            ctx.Link.ReadSequence(kReadHoldingRegisters, 0x0106, 3, 200);
        });
        rig.Worker.StartPollTimer();
        rig.Clock.Advance(1000);
        rig.Worker.Post([](CDeviceContext& ctx) {
            for (uint16_t coil = 0; coil < 3; ++coil) {
                ctx.Link.WriteSequence(BuildWriteCoil(ctx.Link.Tx(), 1, coil, false), 300);
            }
        });
        QVERIFY(rig.Worker.RunOnce());
        QVERIFY(rig.Worker.RunOnce());
        const auto sent = rig.Port.Sent();
        QCOMPARE(sent.size(), size_t{4});
        for (int k = 0; k < 3; ++k) {
            QCOMPARE(int(sent[k].Bytes[1]), int(kWriteSingleCoil));
        }
        QCOMPARE(int(sent[3].Bytes[1]), int(kReadHoldingRegisters));
    }

    // A tick does not start while the window has not yet taken up what the last one sent.
    void tickWaitsUntilTheWindowTookUpTheLastResults() {
        CVirtualClock clock;
        CSimulatedDevice device;
        CSimulatedPort port(device, clock);
        CModbusTransaction link(port, clock);
        CDeferredWindow window;
        CIoWorker worker(link, window);
        int ticks = 0;
        worker.SetTick([&](CDeviceContext& ctx) {
            ++ticks;
            ctx.Sleep(1400);
            ctx.Show([] {});
        });
        worker.StartPollTimer();
        clock.Advance(1000);
        QVERIFY(worker.RunOnce());
        QVERIFY(!worker.RunOnce());  // due, but the window is behind
        QCOMPARE(window.RunAll(), 1);
        QVERIFY(worker.RunOnce());
        QCOMPARE(ticks, 2);
        // Operations are never held back.
        bool ran = false;
        worker.Post([&](CDeviceContext&) { ran = true; });
        QVERIFY(worker.RunOnce());
        QVERIFY(ran);
    }

    // A delayed job runs once its time has passed on the link's clock, after the operations
    // already waiting and before a tick due at the same time; it does not count as an
    // operation, and shutdown drops it.
    void delayedJobs() {
        Rig rig;
        std::vector<std::string> ran;
        rig.Worker.SetTick([&](CDeviceContext&) { ran.push_back("tick"); });
        rig.Worker.StartPollTimer();
        rig.Worker.PostAfter(1000, [&](CDeviceContext&) { ran.push_back("late"); });
        rig.Worker.PostAfter(500, [&](CDeviceContext&) { ran.push_back("early"); });
        QVERIFY(rig.Worker.IsIdle());
        rig.Clock.Advance(499);
        QVERIFY(!rig.Worker.RunOnce());
        rig.Clock.Advance(1);
        rig.Worker.Post([&](CDeviceContext&) {
            ran.push_back("operation");
            QVERIFY(!rig.Worker.IsIdle());
        });
        QVERIFY(!rig.Worker.IsIdle());
        while (rig.Worker.RunOnce()) {
        }
        QVERIFY(rig.Worker.IsIdle());
        rig.Clock.Advance(500);  // the first tick and the late job both due
        while (rig.Worker.RunOnce()) {
        }
        rig.Clock.Advance(1000);
        while (rig.Worker.RunOnce()) {
        }
        QCOMPARE(ran, (std::vector<std::string>{"operation", "early", "late", "tick", "tick"}));

        rig.Worker.PostAfter(10, [&](CDeviceContext&) { ran.push_back("dropped"); });
        rig.Worker.Shutdown({});
        rig.Clock.Advance(100);
        QVERIFY(!rig.Worker.RunOnce());
        QCOMPARE(ran.back(), std::string("tick"));
    }

    void threadRunsOperationsInOrderAndShutsDownWithTheLastOne() {
        Rig rig;
        std::mutex mutex;
        std::vector<int> order;
        rig.Worker.Start();
        for (int k = 0; k < 20; ++k) {
            rig.Worker.Post([&, k](CDeviceContext& ctx) {
                ctx.Sleep(100);
                std::lock_guard<std::mutex> guard(mutex);
                order.push_back(k);
            });
        }
        QTRY_COMPARE_WITH_TIMEOUT(static_cast<int>(order.size()), 20, 5000);
        rig.Worker.Shutdown([&](CDeviceContext& ctx) {
            ctx.Link.Port().ClosePort();
            std::lock_guard<std::mutex> guard(mutex);
            order.push_back(-1);
        });
        QVERIFY(!rig.Port.IsPortOpen());
        std::vector<int> expected;
        for (int k = 0; k < 20; ++k) {
            expected.push_back(k);
        }
        expected.push_back(-1);
        QCOMPARE(order, expected);
        // Nothing is taken after shutdown.
        rig.Worker.Post([&](CDeviceContext&) { order.push_back(99); });
        QCOMPARE(order.back(), -1);
    }

    // Polling on the thread with a virtual clock: the ticks go on as fast as the window takes
    // them up, and stopping the timer ends them.
    void threadPollsUntilStopped() {
        Rig rig;
        std::atomic<int> ticks{0};
        rig.Worker.SetTick([&](CDeviceContext& ctx) {
            ctx.Link.ReadSequence(kReadHoldingRegisters, 0x0106, 3, 200);
            ++ticks;
        });
        rig.Worker.Start();
        rig.Worker.StartPollTimer();
        QTRY_VERIFY_WITH_TIMEOUT(ticks.load() >= 3, 5000);
        rig.Worker.StopPollTimer();
        // Two operations queued one after the other: at most the tick that was running when
        // the timer stopped ends before the first, and none runs between them.
        std::atomic<int> first{-1};
        std::atomic<int> second{-1};
        rig.Worker.Post([&](CDeviceContext&) { first = ticks.load(); });
        rig.Worker.Post([&](CDeviceContext& ctx) {
            ctx.Sleep(5000);
            second = ticks.load();
        });
        QTRY_VERIFY_WITH_TIMEOUT(second.load() >= 0, 5000);
        QCOMPARE(second.load(), first.load());
        QVERIFY(!rig.Worker.IsPolling());
        rig.Worker.Shutdown({});
    }

    // Simulated devices at the endpoint's addresses share one line, each with currents of its
    // own (302 + 20 x address, +-3); an address where none is stays silent.
    void lineOfSimulatedDevices() {
        LineEndpoint endpoint;
        endpoint.Type = LineEndpoint::Kind::Simulated;
        endpoint.Serial = {"sim", 19200, kParityNone};
        endpoint.SimulatedAddresses = {3, 7};
        CDeviceLine line(endpoint);
        line.Start();
        std::mutex mutex;
        std::map<int, std::optional<PhaseCurrentReading>> got;
        std::atomic<bool> done{false};
        line.Worker().Post([&](CDeviceContext& ctx) {
            line.Open(ctx, endpoint.Serial, 3);
            ctx.Link.SetFastReplyEnd(true, endpoint.Serial.BaudRate);
            for (int address : {3, 7, 5}) {
                ctx.Link.SetSlaveAddress(static_cast<uint8_t>(address));
                const std::optional<PhaseCurrentReading> reading = FetchPhaseCurrents(ctx);
                std::lock_guard<std::mutex> guard(mutex);
                got[address] = reading;
            }
            done = true;
        });
        QTRY_VERIFY_WITH_TIMEOUT(done.load(), 5000);
        line.Shutdown();
        QVERIFY(got[3].has_value());
        QVERIFY(got[7].has_value());
        QVERIFY(!got[5].has_value());
        QVERIFY(std::abs(got[3]->Counts[0] - (302 + 60)) <= 3);
        QVERIFY(std::abs(got[7]->Counts[0] - (302 + 140)) <= 3);
    }

#ifdef Q_OS_UNIX
    // A gateway that closes the connection is said lost once, like an unplugged adapter; the
    // line tries again every 2 s and says it is back once the gateway listens again.
    void gatewayLostAndBack() {
        CSimulatedDevice device;
        CTcpServer server(device, CTcpServer::Framing::Rtu, 9600);
        QVERIFY2(server.Listen(0), server.LastError().c_str());
        const uint16_t tcpPort = server.Port();
        std::atomic<bool> stop{false};
        std::thread serving([&] { server.Run(stop); });

        LineEndpoint endpoint;
        endpoint.Type = LineEndpoint::Kind::Tcp;
        endpoint.Host = "127.0.0.1";
        endpoint.TcpPort = tcpPort;
        endpoint.Serial = {"gateway", 9600, kParityNone};
        CDeviceLine line(endpoint);
        QSignalSpy lost(&line, &CDeviceLine::PortLost);
        QSignalSpy back(&line, &CDeviceLine::PortBack);
        line.Start();
        std::atomic<int> answered{0};
        auto read = [&](CDeviceContext& ctx) { answered += FetchPhaseCurrents(ctx).has_value(); };
        line.Worker().Post([&](CDeviceContext& ctx) {
            line.Open(ctx, endpoint.Serial, 1);
            read(ctx);
        });
        QTRY_COMPARE_WITH_TIMEOUT(answered.load(), 1, 5000);

        stop = true;
        serving.join();
        server.Close();  // the gateway goes away with its connections
        line.Worker().Post(read);
        line.Worker().Post(read);
        QTRY_COMPARE_WITH_TIMEOUT(lost.count(), 1, 5000);
        QVERIFY2(lost.at(0).at(0).toString().contains(QStringLiteral("127.0.0.1:%1").arg(tcpPort)),
                 qPrintable(lost.at(0).at(0).toString()));
        line.Recover(endpoint.Serial);

        QVERIFY2(server.Listen(tcpPort), server.LastError().c_str());
        stop = false;
        serving = std::thread([&] { server.Run(stop); });
        QTRY_COMPARE_WITH_TIMEOUT(back.count(), 1, 6000);
        line.Worker().Post(read);
        QTRY_COMPARE_WITH_TIMEOUT(answered.load(), 2, 5000);
        QCOMPARE(lost.count(), 1);
        line.Shutdown();
        stop = true;
        serving.join();
    }
#endif
    // Two relays' windows share a line as lanes of its worker: their operations and ticks run
    // on the line's worker ahead of its own tick (the plant's round), each with its own slave
    // address, and a lane that leaves stops running while the line goes on.
    void lanesShareTheLineAheadOfItsTick() {
        Rig rig;
        test::CImmediateWindow laneWindow;
        CIoWorker a(rig.Link, laneWindow);
        CIoWorker b(rig.Link, laneWindow);
        std::vector<std::string> ran;
        auto keep = [](uint8_t address) {
            return [address](CModbusTransaction& link) { link.SetSlaveAddress(address); };
        };
        a.JoinHost(rig.Worker, keep(7));
        b.JoinHost(rig.Worker, keep(12));
        auto note = [&](const char* who) {
            return [&ran, who](CDeviceContext& ctx) {
                ran.push_back(std::string(who) + std::to_string(ctx.Link.SlaveAddress()));
            };
        };
        rig.Worker.SetTick([&](CDeviceContext& ctx) {
            ctx.Link.SetSlaveAddress(1);
            note("round")(ctx);
        });
        rig.Worker.SetPollPeriod(0);
        rig.Worker.StartPollTimer();
        a.SetTick(note("tickA"));
        a.StartPollTimer();
        a.Post(note("jobA"));
        b.Post(note("jobB"));
        a.Post(note("jobA"));
        while (ran.size() < 5 && rig.Worker.RunOnce()) {
        }
        // Lanes in turn, each lane's own work in order, the round after them.
        QCOMPARE(ran, (std::vector<std::string>{"jobA7", "jobB12", "jobA7", "round1", "round1"}));
        rig.Clock.Advance(1000);
        QVERIFY(rig.Worker.RunOnce());
        QCOMPARE(ran.back(), std::string("tickA7"));
        a.Shutdown([&](CDeviceContext&) { ran.push_back("closed the port"); });
        a.Post(note("jobA"));
        b.Post(note("jobB"));
        QVERIFY(rig.Worker.RunOnce());
        QCOMPARE(ran.back(), std::string("jobB12"));
        rig.Clock.Advance(5000);
        QVERIFY(rig.Worker.RunOnce());
        QCOMPARE(ran.back(), std::string("round1"));
        QVERIFY(std::find(ran.begin(), ran.end(), "closed the port") == ran.end());
        b.Shutdown({});
    }

    // A lane leaving while one of its operations runs on the line's thread waits for it; the
    // operation sees the stop before its next exchange.
    void laneLeavesAfterItsRunningOperation() {
        Rig rig;
        test::CImmediateWindow laneWindow;
        CIoWorker lane(rig.Link, laneWindow);
        lane.JoinHost(rig.Worker);
        rig.Worker.Start();
        std::atomic<bool> started{false};
        std::atomic<int> exchanges{0};
        lane.Post([&](CDeviceContext& ctx) {
            started = true;
            while (!ctx.Stopped()) {
                ctx.Link.ReadSequence(kReadHoldingRegisters, 0x0106, 3, 200);
                ++exchanges;
            }
        });
        QTRY_VERIFY_WITH_TIMEOUT(started.load(), 5000);
        lane.Shutdown({});
        const int after = exchanges.load();
        std::atomic<bool> lineGoesOn{false};
        rig.Worker.Post([&](CDeviceContext&) { lineGoesOn = true; });
        QTRY_VERIFY_WITH_TIMEOUT(lineGoesOn.load(), 5000);
        QCOMPARE(exchanges.load(), after);
        rig.Worker.Shutdown({});
    }
};

QTEST_GUILESS_MAIN(TestIoWorker)
#include "TestIoWorker.moc"
