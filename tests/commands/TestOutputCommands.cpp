// The contactor and reset commands against the simulated device: the coil frame, the lamps
// shown at once and in which order, and the read-back of the real output states.

#include <QtTest>

#include "support/DeviceRig.h"
#include "commands/OutputCommands.h"
#include "support/Vectors.h"

using namespace mp;
using mp::test::CDeviceRig;
using mp::test::VectorFrame;

using Sleeps = std::vector<uint32_t>;
Q_DECLARE_METATYPE(Sleeps)

namespace {

using Command = void (*)(CDeviceContext&, LiveValues*);

Command CommandNamed(const QString& name) {
    if (name == "CloseOutputA") return CloseOutputA;
    if (name == "OpenOutputA") return OpenOutputA;
    if (name == "CloseOutputB") return CloseOutputB;
    if (name == "OpenOutputB") return OpenOutputB;
    return ResetOutputs;
}

// The three output lamps (A, B, reset) as letters: R closed, G open, ? not set yet.
QString Lamps(const LiveValues& live) {
    QString text;
    for (Lamp lamp : live.Outputs) {
        text += lamp == Lamp::Red ? 'R' : lamp == Lamp::Green ? 'G' : '?';
    }
    return text;
}

}  // namespace

class TestOutputCommands : public QObject {
    Q_OBJECT

private slots:
    void Command_data();
    void Command();
    void CloseTwiceSendsAndReadsTwice();
};

void TestOutputCommands::Command_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("coilsBefore");
    QTest::addColumn<QString>("line");        // "open", "closed" port, or "silent" device
    QTest::addColumn<QStringList>("frames");  // names in the frame vectors
    QTest::addColumn<Sleeps>("sleeps");
    QTest::addColumn<QStringList>("shown");  // the lamps at each screen update
    QTest::addColumn<int>("coilsAfter");

    QTest::newRow("close A") << "CloseOutputA" << 1 << 0x00 << "open"
                             << QStringList{"close output A", "output states"} << Sleeps{300, 300}
                             << QStringList{"R??", "RGG", "RGG"} << 0x01;
    QTest::newRow("close A, address 247")
        << "CloseOutputA" << 247 << 0x02 << "open" << QStringList{"close output A", "output states"}
        << Sleeps{300, 300} << QStringList{"R??", "RRG", "RRG"} << 0x03;
    QTest::newRow("open A leaves B alone")
        << "OpenOutputA" << 1 << 0x03 << "open" << QStringList{"open output A"} << Sleeps{}
        << QStringList{"G??"} << 0x02;
    QTest::newRow("close B") << "CloseOutputB" << 5 << 0x00 << "open"
                             << QStringList{"close output B", "output states"} << Sleeps{300, 300}
                             << QStringList{"?R?", "GRG", "GRG"} << 0x02;
    QTest::newRow("open B leaves A alone")
        << "OpenOutputB" << 12 << 0x03 << "open" << QStringList{"open output B"} << Sleeps{}
        << QStringList{"?G?"} << 0x01;
    QTest::newRow("reset") << "ResetOutputs" << 1 << 0x03 << "open"
                           << QStringList{"reset output", "output states"} << Sleeps{300, 300}
                           << QStringList{"??G", "GGG", "GGG"} << 0x00;
    QTest::newRow("reset, address 5")
        << "ResetOutputs" << 5 << 0x07 << "open" << QStringList{"reset output", "output states"}
        << Sleeps{300, 300} << QStringList{"??G", "GGG", "GGG"} << 0x00;
    QTest::newRow("close A on a closed port still shows and waits")
        << "CloseOutputA" << 1 << 0x00 << "closed" << QStringList{} << Sleeps{300, 300}
        << QStringList{"R??", "R??"} << 0x00;
    QTest::newRow("close B, device silent: the commanded lamp stays")
        << "CloseOutputB" << 1 << 0x00 << "silent" << QStringList{"close output B", "output states"}
        << Sleeps{300, 300} << QStringList{"?R?", "?R?"} << 0x02;
    QTest::newRow("reset on a closed port")
        << "ResetOutputs" << 1 << 0x03 << "closed" << QStringList{} << Sleeps{300, 300}
        << QStringList{"??G", "GGG"} << 0x03;
}

void TestOutputCommands::Command() {
    QFETCH(QString, command);
    QFETCH(int, address);
    QFETCH(int, coilsBefore);
    QFETCH(QString, line);
    QFETCH(QStringList, frames);
    QFETCH(Sleeps, sleeps);
    QFETCH(QStringList, shown);
    QFETCH(int, coilsAfter);

    CDeviceRig rig(static_cast<uint8_t>(address));
    rig.Device.SetCoils(static_cast<uint8_t>(coilsBefore));
    if (line == "closed") {
        rig.Port.ClosePort();
    } else if (line == "silent") {
        SimFaults faults;
        faults.Silent = true;
        rig.Port.SetFaults(faults);
    }
    LiveValues live;
    QStringList seen;
    rig.Window.OnShow = [&] { seen << Lamps(live); };

    CommandNamed(command)(rig.Ctx, &live);

    std::vector<std::vector<uint8_t>> expected;
    for (const QString& name : frames) {
        expected.push_back(VectorFrame("request", address, name));
    }
    QCOMPARE(rig.SentFrames(), expected);
    QCOMPARE(rig.Clock.Sleeps(), sleeps);
    QCOMPARE(seen, shown);
    QCOMPARE(int(rig.Device.Coils()), coilsAfter);
}

void TestOutputCommands::CloseTwiceSendsAndReadsTwice() {
    CDeviceRig rig;
    LiveValues live;
    CloseOutputA(rig.Ctx, &live);
    CloseOutputA(rig.Ctx, &live);
    const auto close = VectorFrame("request", 1, "close output A");
    const auto read = VectorFrame("request", 1, "output states");
    QCOMPARE(rig.SentFrames(), (std::vector<std::vector<uint8_t>>{close, read, close, read}));
    QCOMPARE(Lamps(live), QString("RGG"));
    QVERIFY(live.OutputChecks[0]);
}

QTEST_APPLESS_MAIN(TestOutputCommands)
#include "TestOutputCommands.moc"
