// The contactor, reset and start-mode commands against the simulated device: the frames, the
// waits, the lamps shown at once and in which order, and what the device keeps.

#include <QtTest>

#include "commands/OutputCommands.h"
#include "commands/StartModeCommand.h"
#include "support/DeviceRig.h"
#include "support/Vectors.h"

using namespace mp;
using namespace mp::test;

using Bytes = std::vector<uint8_t>;
using Sleeps = std::vector<uint32_t>;
Q_DECLARE_METATYPE(Sleeps)

namespace {

using Command = bool (*)(CDeviceContext&, LiveValues*);

Command CommandNamed(const QString& name) {
    if (name == "close output A") return CloseOutputA;
    if (name == "open output A") return OpenOutputA;
    if (name == "close output B") return CloseOutputB;
    if (name == "open output B") return OpenOutputB;
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

class TestCommands : public QObject {
    Q_OBJECT

private slots:
    void OutputCommand_data();
    void OutputCommand();
    void StartMode_data();
    void StartMode();
};

void TestCommands::OutputCommand_data() {
    QTest::addColumn<QString>("command");  // also the name of its frame in the vectors
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("coilsBefore");
    QTest::addColumn<QString>("line");       // "open", "closed" port, or "silent" device
    QTest::addColumn<QStringList>("shown");  // the lamps at each screen update
    QTest::addColumn<int>("coilsAfter");

    // Every command reads the outputs back, open commands too, and the lamps show only what
    // the device reported; without a reply the command's own lamps show unknown ("?"), from
    // a known state ("RGG" before) as from none.
    QTest::newRow("close A") << "close output A" << 1 << 0x00 << "open" << QStringList{"RGG"}
                             << 0x01;
    QTest::newRow("close A, B already closed, address 247")
        << "close output A" << 247 << 0x02 << "open" << QStringList{"RRG"} << 0x03;
    QTest::newRow("open A leaves B alone")
        << "open output A" << 1 << 0x03 << "open" << QStringList{"GRG"} << 0x02;
    QTest::newRow("close B") << "close output B" << 5 << 0x00 << "open" << QStringList{"GRG"}
                             << 0x02;
    QTest::newRow("open B leaves A alone")
        << "open output B" << 12 << 0x03 << "open" << QStringList{"RGG"} << 0x01;
    QTest::newRow("reset") << "reset output" << 1 << 0x03 << "open" << QStringList{"GGG"} << 0x00;
    QTest::newRow("close A on a closed port: unknown")
        << "close output A" << 1 << 0x00 << "closed" << QStringList{"?GG"} << 0x00;
    QTest::newRow("close B, device silent: unknown, not red")
        << "close output B" << 1 << 0x00 << "silent" << QStringList{"R?G"} << 0x02;
    QTest::newRow("open A, device silent: unknown, not green")
        << "open output A" << 1 << 0x01 << "silent" << QStringList{"?GG"} << 0x00;
    QTest::newRow("reset, device silent: all three unknown")
        << "reset output" << 1 << 0x03 << "silent" << QStringList{"???"} << 0x00;
}

void TestCommands::OutputCommand() {
    QFETCH(QString, command);
    QFETCH(int, address);
    QFETCH(int, coilsBefore);
    QFETCH(QString, line);
    QFETCH(QStringList, shown);
    QFETCH(int, coilsAfter);

    CDeviceRig rig(static_cast<uint8_t>(address));
    rig.Device.SetCoils(static_cast<uint8_t>(coilsBefore));
    if (line == "closed") {
        rig.Port.ClosePort();
    } else if (line == "silent") {
        rig.Silence(1);  // the coil write is taken, its read-back not answered
    }
    LiveValues live;
    live.Outputs = {Lamp::Red, Lamp::Green, Lamp::Green};
    QStringList seen;
    rig.Window.OnShow = [&] { seen << Lamps(live); };

    const bool confirmed = CommandNamed(command)(rig.Ctx, &live);

    // The coil write, then the read-back of the output states, each followed by 300 ms.
    std::vector<Bytes> expected;
    if (line != "closed") {
        expected.push_back(VectorFrame("request", address, command));
        expected.push_back(VectorFrame("request", address, "output states"));
    }
    QCOMPARE(rig.SentFrames(), expected);
    QCOMPARE(rig.Clock.Sleeps(), Sleeps({300, 300}));
    QCOMPARE(seen, shown);
    QCOMPARE(confirmed, line == "open");
    QCOMPARE(int(rig.Device.Coils()), coilsAfter);
}

void TestCommands::StartMode_data() {
    QTest::addColumn<int>("address");
    QTest::addColumn<QString>("phaseLossTime");
    QTest::addColumn<int>("mode");  // the drop-down's index, -1 when nothing is selected
    QTest::addColumn<Bytes>("expected");

    QTest::newRow("直接起动, 0.5 s") << 1 << "0.5" << 0 << Bytes{0x01, 0x10, 0x54, 0x55, 0x00, 0x01,
                                                                 0x02, 0x05, 0x00, 0xBC, 0xC0};
    QTest::newRow("star-delta, 3.5 s") << 5 << "3.5" << 2 << WriteFrame(5, 0x5455, {35, 0x02});
    QTest::newRow("reversing, address 247")
        << 247 << "1.0" << 1 << WriteFrame(247, 0x5455, {0x0A, 0x01});
    QTest::newRow("25.5 s is the largest byte")
        << 1 << "25.5" << 0 << WriteFrame(1, 0x5455, {0xFF, 0x00});
    QTest::newRow("25.6 s sends the low byte of 256")
        << 1 << "25.6" << 0 << WriteFrame(1, 0x5455, {0x00, 0x00});
    QTest::newRow("non-numeric time") << 1 << "abc" << 1 << WriteFrame(1, 0x5455, {0x00, 0x01});
    QTest::newRow("leading number of the text")
        << 1 << " 1.27s" << 2 << WriteFrame(1, 0x5455, {0x0C, 0x02});
    QTest::newRow("nothing selected sends 0xFF")
        << 1 << "0.5" << -1 << WriteFrame(1, 0x5455, {0x05, 0xFF});
}

void TestCommands::StartMode() {
    QFETCH(int, address);
    QFETCH(QString, phaseLossTime);
    QFETCH(int, mode);
    QFETCH(Bytes, expected);

    CDeviceRig rig(static_cast<uint8_t>(address));
    SetStartMode(rig.Ctx, phaseLossTime.toStdString(), mode);
    QCOMPARE(rig.SentFrames(), std::vector<Bytes>{expected});
    QCOMPARE(rig.Clock.Sleeps(), Sleeps{100});
    QCOMPARE(rig.Device.Register(0x0155), uint16_t(expected[7] << 8 | expected[8]));
    QCOMPARE(rig.Window.Shows, 0);
}

QTEST_APPLESS_MAIN(TestCommands)
#include "TestCommands.moc"
