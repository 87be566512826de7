// The feeders' states (answering, stale, not answering, line lost, since when) and a plant's
// lines at run time: two simulated lines on their own workers, one lost or never opened
// while the other goes on polling, said once, back and polling again, and everything closed
// within a second.

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>
#include <map>
#include <memory>

#include "line/DeviceLine.h"
#include "plant/PlantLines.h"
#include "simulator/SimulatedPort.h"
#include "simulator/VirtualClock.h"

namespace mp::test {
namespace {

// One simulated line: its clock, the relays at 1..n and the port they share.
struct CSimLine {
    explicit CSimLine(int relays) : Port(First(relays), Clock) {
        for (size_t i = 1; i < Devices.size(); ++i) {
            Port.AddDevice(*Devices[i]);
        }
    }
    CSimulatedDevice& First(int relays) {
        for (int a = 1; a <= relays; ++a) {
            auto device = std::make_unique<CSimulatedDevice>();
            device->SetAddress(static_cast<uint8_t>(a));
            Devices.push_back(std::move(device));
        }
        return *Devices.front();
    }
    CVirtualClock Clock{1000};
    std::vector<std::unique_ptr<CSimulatedDevice>> Devices;
    CSimulatedPort Port;
};

Plant TwoLines() {
    Plant plant;
    for (const char* id : {"L1", "L2"}) {
        PlantLine line;
        line.Id = QString::fromLatin1(id);
        line.Kind = PlantLineKind::Simulated;
        plant.Lines.push_back(line);
    }
    for (int a = 1; a <= 3; ++a) {
        plant.Feeders.push_back(
            {QStringLiteral("M-10%1").arg(a), {}, "L1", a, {}, {}, {}, {}, {}, {}, {}});
    }
    for (int a = 1; a <= 2; ++a) {
        plant.Feeders.push_back(
            {QStringLiteral("M-20%1").arg(a), {}, "L2", a, {}, {}, {}, {}, {}, {}, {}});
    }
    return plant;
}

bool AllOnLine(const CFeederStates& states, int line, FeederLink link) {
    for (int row = 0; row < states.Count(); ++row) {
        if (states.At(row).Line == line && states.At(row).Link != link) {
            return false;
        }
    }
    return true;
}

FeederSample Sample(int64_t at, bool answered, bool currents = true) {
    FeederSample s;
    s.Line = 0;
    s.Address = 1;
    s.TimeMs = at;
    s.Answered = answered;
    if (answered) {
        s.Voltages = PhaseVoltageReading{{2200, 2210, 2220}};
        if (currents) {
            s.Currents = PhaseCurrentReading{{100, 200, 300}};
        }
    }
    return s;
}

}  // namespace

class TestPlantLines : public QObject {
    Q_OBJECT
private slots:
    // Events in order ("answer@t", "voltages@t": a visit that read the voltages alone, "miss@t",
    // "lost@t", "back@t", "round=ms", "refresh@t") and the link state with its time after them.
    void feederStates_data() {
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<int>("link");
        QTest::addColumn<qint64>("since");
        const int answering = static_cast<int>(FeederLink::Answering);
        const int stale = static_cast<int>(FeederLink::Stale);
        const int silent = static_cast<int>(FeederLink::NotAnswering);
        const int lost = static_cast<int>(FeederLink::LineLost);
        const int unknown = static_cast<int>(FeederLink::Unknown);
        QTest::newRow("never visited") << QStringList{"refresh@9000"} << unknown << qint64{0};
        QTest::newRow("answering")
            << QStringList{"answer@1000", "answer@2000"} << answering << qint64{1000};
        QTest::newRow("5 s old: still answering")
            << QStringList{"answer@1000", "refresh@6000"} << answering << qint64{1000};
        QTest::newRow("older: stale since the last reply")
            << QStringList{"answer@1000", "refresh@6001"} << stale << qint64{1000};
        QTest::newRow("3 rounds of 3 s: 9 s")
            << QStringList{"round=3000", "answer@1000", "refresh@10000"} << answering
            << qint64{1000};
        QTest::newRow("3 rounds of 3 s: stale after")
            << QStringList{"round=3000", "answer@1000", "refresh@10001"} << stale << qint64{1000};
        QTest::newRow("a partial visit is an answer")
            << QStringList{"answer@1000", "voltages@7000", "refresh@8000"} << answering
            << qint64{1000};
        QTest::newRow("not answering since the first miss")
            << QStringList{"answer@1000", "miss@2000", "miss@3000"} << silent << qint64{2000};
        QTest::newRow("line lost")
            << QStringList{"answer@1000", "lost@2000", "miss@2500"} << lost << qint64{2000};
        QTest::newRow("line back: stale since the last reply")
            << QStringList{"answer@1000", "lost@2000", "back@4000"} << stale << qint64{1000};
        QTest::newRow("line back, never answered")
            << QStringList{"lost@2000", "back@4000"} << unknown << qint64{4000};
        QTest::newRow("answers again after the line came back")
            << QStringList{"answer@1000", "lost@2000", "back@4000", "answer@4500"} << answering
            << qint64{4500};
    }
    void feederStates() {
        QFETCH(QStringList, events);
        QFETCH(int, link);
        QFETCH(qint64, since);
        Plant plant = TwoLines();
        CFeederStates states(plant);
        QSignalSpy changed(&states, &CFeederStates::Changed);
        for (const QString& event : events) {
            const QString what = event.section(QRegularExpression("[@=]"), 0, 0);
            const qint64 t = event.section(QRegularExpression("[@=]"), 1).toLongLong();
            if (what == "answer" || what == "miss" || what == "voltages") {
                states.Apply(Sample(t, what != "miss", what == "answer"));
            } else if (what == "lost") {
                states.LineLost(0, QStringLiteral("串口 sim 出错"), t);
            } else if (what == "back") {
                states.LineBack(0, t);
            } else if (what == "round") {
                states.SetRoundTime(0, static_cast<uint32_t>(t));
            } else if (what == "refresh") {
                states.Refresh(t);
            }
        }
        const FeederState& state = states.At(states.Find(0, 1));
        QCOMPARE(static_cast<int>(state.Link), link);
        QCOMPARE(state.LinkSinceMs, since);
        // A group a visit did not read keeps its value and the time it was read.
        if (events.contains("voltages@7000")) {
            QCOMPARE(state.Currents->TimeMs, int64_t{1000});
            QCOMPARE(state.Voltages->TimeMs, int64_t{7000});
        }
        // The other line's feeders are untouched.
        QVERIFY(AllOnLine(states, 1, FeederLink::Unknown));
        QVERIFY(changed.count() >= (events.size() > 1 ? 1 : 0));
    }

    // One line fails (pulled out while polling, or never opening); it is said once, the
    // other line polls on, and once it is back its relays answer again.
    void lineLostAndBack_data() {
        QTest::addColumn<bool>("atStart");
        QTest::newRow("lost while polling") << false;
        QTest::newRow("does not open at first") << true;
    }
    void lineLostAndBack() {
        QFETCH(bool, atStart);
        std::map<QString, std::unique_ptr<CSimLine>> sims;
        sims["L1"] = std::make_unique<CSimLine>(3);
        sims["L2"] = std::make_unique<CSimLine>(2);
        if (atStart) {
            sims["L1"]->Port.SetOpenFailure("串口 COM9 打开失败");
        }
        CPlantLines plant(TwoLines(), [&sims](const PlantLine& line) {
            CSimLine& sim = *sims.at(line.Id);
            return std::make_unique<CDeviceLine>(sim.Port, sim.Clock);
        });
        plant.SetWallClock([&sims] { return static_cast<int64_t>(sims["L2"]->Clock.Elapsed()); });
        QSignalSpy down(&plant, &CPlantLines::LineDown);
        QSignalSpy up(&plant, &CPlantLines::LineUp);
        plant.Start();
        CFeederStates& states = plant.States();
        QVERIFY(QTest::qWaitFor([&] { return AllOnLine(states, 1, FeederLink::Answering); }));
        if (!atStart) {
            QVERIFY(QTest::qWaitFor([&] { return AllOnLine(states, 0, FeederLink::Answering); }));
            sims["L1"]->Port.SetUnplugged(true);
        }
        QVERIFY(QTest::qWaitFor([&] { return AllOnLine(states, 0, FeederLink::LineLost); }));
        QCOMPARE(plant.Condition(0), CPlantLines::LineCondition::Failed);
        // Tried again every 2 s meanwhile, said once; the other line polls on.
        const int attempts = sims["L1"]->Port.OpenAttempts();
        QVERIFY(QTest::qWaitFor([&] { return sims["L1"]->Port.OpenAttempts() > attempts + 2; }));
        QCOMPARE(down.count(), 1);
        QCOMPARE(down.at(0).at(0).toInt(), 0);
        QVERIFY(!down.at(0).at(1).toString().isEmpty());
        QVERIFY(AllOnLine(states, 1, FeederLink::Answering));

        sims["L1"]->Port.SetOpenFailure({});
        sims["L1"]->Port.SetUnplugged(false);
        QVERIFY(QTest::qWaitFor([&] { return AllOnLine(states, 0, FeederLink::Answering); }));
        QCOMPARE(plant.Condition(0), CPlantLines::LineCondition::Polling);
        QCOMPARE(down.count(), 1);
        QVERIFY(up.count() >= 2);
        QVERIFY(plant.Line("L1") != nullptr && plant.Line("L1") == plant.Line(0));

        QElapsedTimer closing;
        closing.start();
        plant.Shutdown();
        QVERIFY(closing.elapsed() < 1000);
        QVERIFY(!sims["L1"]->Port.IsPortOpen());
        QVERIFY(!sims["L2"]->Port.IsPortOpen());
    }

    // A plant line as its endpoint: a gateway's host, port and framing, the simulated
    // addresses of the feeders on the line.
    void endpointOfALine() {
        Plant plant = TwoLines();
        const LineEndpoint simulated = LineEndpointOf(plant.Lines[0], plant);
        QCOMPARE(simulated.Type, LineEndpoint::Kind::Simulated);
        QCOMPARE(simulated.SimulatedAddresses, (std::vector<uint8_t>{1, 2, 3}));
        PlantLine gateway;
        gateway.Kind = PlantLineKind::Tcp;
        gateway.Host = "192.168.1.20";
        gateway.TcpPort = 4001;
        gateway.Framing = TcpFraming::Mbap;
        gateway.BaudRate = 19200;
        const LineEndpoint tcp = LineEndpointOf(gateway, plant);
        QCOMPARE(tcp.Type, LineEndpoint::Kind::Tcp);
        QCOMPARE(tcp.Host, std::string("192.168.1.20"));
        QCOMPARE(tcp.TcpPort, uint16_t{4001});
        QCOMPARE(tcp.TcpFraming, LineEndpoint::Framing::Mbap);
        QCOMPARE(tcp.Serial.BaudRate, 19200);
        QVERIFY(tcp.SimulatedAddresses.empty());
    }
};

}  // namespace mp::test

QTEST_GUILESS_MAIN(mp::test::TestPlantLines)
#include "TestPlantLines.moc"
