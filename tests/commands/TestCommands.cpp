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
Q_DECLARE_METATYPE(std::vector<Bytes>)

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

// The start mode shares its register with the phase-loss time: a typed time is sent with
// it; otherwise the device's own is read first and written back. Confirmed by reading the
// register back.
void TestCommands::StartMode_data() {
    QTest::addColumn<int>("address");
    QTest::addColumn<QString>("typed");  // the phase-loss time typed; "-": none typed
    QTest::addColumn<int>("mode");       // the drop-down's index, -1 when nothing is selected
    QTest::addColumn<QString>("fault");  // "", "silent", "ignores", "silent after the write"
    QTest::addColumn<std::vector<Bytes>>("expected");
    QTest::addColumn<Sleeps>("sleeps");
    QTest::addColumn<int>("outcome");  // StartModeOutcome
    using O = StartModeOutcome;
    auto typed = [](int address, Bytes write) {
        return std::vector<Bytes>{write, ReadFrame(static_cast<uint8_t>(address), 0x0155, 1)};
    };
    const Sleeps sent = {100, 300};
    QTest::newRow("直接起动, 0.5 s")
        << 1 << "0.5" << 0 << ""
        << typed(1, Bytes{0x01, 0x10, 0x54, 0x55, 0x00, 0x01, 0x02, 0x05, 0x00, 0xBC, 0xC0}) << sent
        << int(O::Confirmed);
    QTest::newRow("star-delta, 3.5 s")
        << 5 << "3.5" << 2 << "" << typed(5, WriteFrame(5, 0x5455, {35, 0x02})) << sent
        << int(O::Confirmed);
    QTest::newRow("reversing, address 247")
        << 247 << "1.0" << 1 << "" << typed(247, WriteFrame(247, 0x5455, {0x0A, 0x01})) << sent
        << int(O::Confirmed);
    QTest::newRow("25.5 s is the largest byte")
        << 1 << "25.5" << 0 << "" << typed(1, WriteFrame(1, 0x5455, {0xFF, 0x00})) << sent
        << int(O::Confirmed);
    // The window refuses these before anything is sent; the frame shows what they would be.
    QTest::newRow("25.6 s sends the low byte of 256")
        << 1 << "25.6" << 0 << "" << typed(1, WriteFrame(1, 0x5455, {0x00, 0x00})) << sent
        << int(O::Confirmed);
    QTest::newRow("non-numeric time")
        << 1 << "abc" << 1 << "" << typed(1, WriteFrame(1, 0x5455, {0x00, 0x01})) << sent
        << int(O::Confirmed);
    QTest::newRow("leading number of the text, rounded")
        << 1 << " 1.27s" << 2 << "" << typed(1, WriteFrame(1, 0x5455, {0x0D, 0x02})) << sent
        << int(O::Confirmed);
    QTest::newRow("nothing selected sends 0xFF")
        << 1 << "0.5" << -1 << "" << typed(1, WriteFrame(1, 0x5455, {0x05, 0xFF})) << sent
        << int(O::Confirmed);
    // Nothing typed: the device's 0.3 s goes back with the new mode, not the window's.
    QTest::newRow("nothing typed keeps the device's time")
        << 1 << "-" << 2 << ""
        << std::vector<Bytes>{ReadFrame(1, 0x0155, 1), WriteFrame(1, 0x5455, {0x03, 0x02}),
                              ReadFrame(1, 0x0155, 1)}
        << Sleeps{300, 100, 100, 300} << int(O::Confirmed);
    QTest::newRow("nothing typed, silent device: nothing sent")
        << 1 << "-" << 2 << "silent" << std::vector<Bytes>{ReadFrame(1, 0x0155, 1)} << Sleeps{300}
        << int(O::NotSent);
    QTest::newRow("device keeps its mode")
        << 1 << "0.5" << 2 << "ignores" << typed(1, WriteFrame(1, 0x5455, {0x05, 0x02})) << sent
        << int(O::NotHeld);
    QTest::newRow("no read-back") << 1 << "0.5" << 2 << "silent after the write"
                                  << typed(1, WriteFrame(1, 0x5455, {0x05, 0x02})) << sent
                                  << int(O::Unconfirmed);
}

void TestCommands::StartMode() {
    QFETCH(int, address);
    QFETCH(QString, typed);
    QFETCH(int, mode);
    QFETCH(QString, fault);
    QFETCH(std::vector<Bytes>, expected);
    QFETCH(Sleeps, sleeps);
    QFETCH(int, outcome);

    CDeviceRig rig(static_cast<uint8_t>(address));
    rig.Device.SetRegister(0x0155, 0x0300);  // 0.3 s, "直接起动"
    if (fault == "silent") {
        rig.Silence();
    } else if (fault == "ignores") {
        rig.Device.IgnoreWritesAt(0x5455);
    } else if (fault == "silent after the write") {
        rig.Silence(1);
    }
    std::optional<StartModeResult> result;
    const auto phaseLossTime =
        typed == "-" ? std::nullopt : std::optional<std::string>(typed.toStdString());
    SetStartMode(rig.Ctx, phaseLossTime, mode, [&](StartModeResult r) { result = r; });
    QVERIFY(result.has_value());
    QCOMPARE(int(result->Outcome), outcome);
    QCOMPARE(rig.SentFrames(), expected);
    QCOMPARE(rig.Clock.Sleeps(), sleeps);
    if (outcome == int(StartModeOutcome::Confirmed)) {
        const Bytes& write = expected[expected.size() - 2];
        QCOMPARE(rig.Device.Register(0x0155), uint16_t(write[7] << 8 | write[8]));
        QCOMPARE(result->HeldMode, int(write[8]));
    }
    QCOMPARE(rig.Window.Shows, 0);
}

QTEST_APPLESS_MAIN(TestCommands)
#include "TestCommands.moc"
