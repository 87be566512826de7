// The request/response transaction against the simulated device on a virtual clock: the
// read and write sequences, private frames, the generic register read, and what the line's
// faults do to them.

#include <QtTest>
#include <deque>

#include "modbus/BitwiseCrc.h"
#include "modbus/ModbusTransaction.h"
#include "modbus/RequestBuilder.h"
#include "simulator/SimulatedDevice.h"
#include "simulator/SimulatedPort.h"
#include "simulator/VirtualClock.h"
#include "support/Vectors.h"

namespace mp::test {
namespace {

struct Rig {
    explicit Rig(int baud = 9600) {
        Device.SetLiveMotion(false);
        Device.SetBaudCode(baud == 19200 ? 4 : 3);
        Port.OpenPort({"COM1", baud, kParityNone});
    }
    std::vector<uint8_t> Received() const {
        return std::vector<uint8_t>(Link.Rx().begin(), Link.Rx().begin() + Link.ReceivedCount());
    }

    CSimulatedDevice Device;
    CVirtualClock Clock{1000};
    CSimulatedPort Port{Device, Clock};
    CModbusTransaction Link{Port, Clock};
};

// A port whose count and bytes are scripted, for what the simulated line never does.
class CScriptedPort : public IPort {
public:
    bool OpenPort(const PortSettings&) override { return true; }
    void ClosePort() override {}
    bool IsPortOpen() const override { return true; }
    bool Reconfigure(const PortSettings&) override { return true; }
    std::string LastError() const override { return {}; }
    void DiscardInput() override {}
    void WriteBytes(const std::vector<uint8_t>&) override {}
    int16_t WaitingCount() override { return Count; }
    std::vector<uint8_t> ReadAllWaiting() override { return Bytes; }

    int16_t Count = 0;
    std::vector<uint8_t> Bytes;
};

std::vector<uint8_t> RegisterBytes(std::initializer_list<uint16_t> values) {
    std::vector<uint8_t> bytes;
    for (uint16_t v : values) {
        bytes.push_back(static_cast<uint8_t>(v >> 8));
        bytes.push_back(static_cast<uint8_t>(v & 0xFF));
    }
    return bytes;
}

}  // namespace

class TestModbusTransaction : public QObject {
    Q_OBJECT
private slots:
    void readUnderLineFaults_data() {
        QTest::addColumn<SimFaults>("faults");
        QTest::addColumn<int>("deviceAddress");
        QTest::addColumn<int>("deviceBaudCode");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("received");

        const SimFaults clean;
        SimFaults stray;
        stray.StrayBytes = {0xFF, 0x00};
        SimFaults silent;
        silent.Silent = true;
        SimFaults corrupt;
        corrupt.CorruptCrc = true;
        SimFaults split;
        split.SplitPieces = 4;
        split.PieceGapMs = 30;
        SimFaults slowButInTime;
        slowButInTime.ReplyDelayMs = 170;  // 9 + 5 + 170 + 12 = 196 ms < 200 ms
        SimFaults late;
        late.ReplyDelayMs = 180;  // byte by byte from 195 ms; complete only at 206 ms
        late.SplitPieces = 11;

        QTest::newRow("answers") << clean << 1 << 3 << 0 << 11;
        QTest::newRow("two stray bytes ahead") << stray << 1 << 3 << 2 << 13;
        QTest::newRow("silent device") << silent << 1 << 3 << -1 << 0;
        QTest::newRow("bad CRC") << corrupt << 1 << 3 << -1 << 11;
        QTest::newRow("reply in four pieces within the wait") << split << 1 << 3 << 0 << 11;
        QTest::newRow("slow reply, complete just before the wait ends")
            << slowButInTime << 1 << 3 << 0 << 11;
        QTest::newRow("reply still arriving when the wait ends") << late << 1 << 3 << -1 << 6;
        QTest::newRow("device at another address") << clean << 2 << 3 << -1 << 0;
        QTest::newRow("device at another baud rate") << clean << 1 << 4 << -1 << 0;
    }
    void readUnderLineFaults() {
        QFETCH(SimFaults, faults);
        QFETCH(int, deviceAddress);
        QFETCH(int, deviceBaudCode);
        QFETCH(int, position);
        QFETCH(int, received);
        Rig rig;
        rig.Device.SetAddress(static_cast<uint8_t>(deviceAddress));
        rig.Device.SetBaudCode(deviceBaudCode);
        rig.Device.SetRegister(0x0106, 1234);
        rig.Device.SetRegister(0x0107, 0);
        rig.Device.SetRegister(0x0108, 65535);
        rig.Port.SetFaults(faults);

        const int16_t p = rig.Link.ReadSequence(0x03, 0x0106, 3, 200);

        QCOMPARE(p, static_cast<int16_t>(position));
        QCOMPARE(rig.Link.ReceivedCount(), static_cast<int16_t>(received));
        QCOMPARE(rig.Clock.Sleeps(), std::vector<uint32_t>{200});
        QCOMPARE(rig.Port.Sent().size(), size_t{1});
        QCOMPARE(rig.Port.Sent()[0].Bytes, VectorFrame("request", 1, "phase currents"));
        if (p >= 0) {
            const std::vector<uint8_t> expected =
                VectorFrame("response", 1, "phase currents 1234, 0, 65535");
            QCOMPARE(
                std::vector<uint8_t>(rig.Link.Rx().begin() + p, rig.Link.Rx().begin() + p + 11),
                expected);
            QCOMPARE(rig.Link.Register(p, 0), uint16_t{1234});
            QCOMPARE(rig.Link.Register(p, 2), uint16_t{65535});
        }
    }

    // Inputs and coils: one data byte, all eight bits as the device gives them.
    void readBitsSequence() {
        Rig rig;
        rig.Device.SetInputs(0xA5);
        rig.Device.SetCoils(0x05);
        int16_t p = rig.Link.ReadSequence(0x02, 0x0000, 1, 300);
        QCOMPARE(p, int16_t{0});
        QCOMPARE(rig.Received(), VectorFrame("response", 1, "digital inputs 0xA5"));
        QCOMPARE(rig.Link.DataByte(p, 0), uint8_t{0xA5});
        p = rig.Link.ReadSequence(0x01, 0x0000, 1, 300);
        QCOMPARE(rig.Received(), VectorFrame("response", 1, "output states 0x05"));
        QCOMPARE(rig.Link.DataByte(p, 0), uint8_t{0x05});
        QCOMPARE(rig.Port.Sent()[0].Bytes, VectorFrame("request", 1, "digital inputs"));
        QCOMPARE(rig.Port.Sent()[1].Bytes, VectorFrame("request", 1, "output states"));
    }

    // A reply that completes after the wait is missed, and the discard at the start of the
    // next exchange drops it: the next read finds only its own response.
    void lateReplyDroppedByNextExchange() {
        Rig rig;
        rig.Device.SetRegister(0x0106, 1234);
        rig.Device.SetRegister(0x0103, 2200);
        SimFaults late;
        late.ReplyDelayMs = 250;
        rig.Port.SetFaults(late);
        QCOMPARE(rig.Link.ReadSequence(0x03, 0x0106, 3, 200), int16_t{-1});

        rig.Port.SetFaults({});
        rig.Clock.Advance(100);  // the late reply lands before the next exchange begins
        const int16_t p = rig.Link.ReadSequence(0x03, 0x0103, 3, 300);
        QCOMPARE(p, int16_t{0});
        QCOMPARE(rig.Link.ReceivedCount(), int16_t{11});
        QCOMPARE(rig.Link.Register(p, 0), uint16_t{2200});
    }

    // The reply of a write is never taken for the response of the read after it: with a
    // wait it is dropped by the read's discard; without one it arrives but does not match.
    void writeReplyNeverTakenForRead_data() {
        QTest::addColumn<uint32_t>("writeWait");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("received");
        QTest::newRow("write with its 300 ms wait") << 300u << 0 << 6;
        QTest::newRow("write without a wait") << 0u << 8 << 14;
    }
    void writeReplyNeverTakenForRead() {
        QFETCH(uint32_t, writeWait);
        QFETCH(int, position);
        QFETCH(int, received);
        Rig rig;
        const int16_t length = BuildWriteCoil(rig.Link.Tx(), 1, 0, true);
        rig.Link.WriteSequence(length, writeWait);
        QCOMPARE(rig.Device.Coils(), uint8_t{0x01});

        const int16_t p = rig.Link.ReadSequence(0x01, 0x0000, 1, 300);
        QCOMPARE(p, static_cast<int16_t>(position));
        QCOMPARE(rig.Link.ReceivedCount(), static_cast<int16_t>(received));
        QCOMPARE(rig.Link.DataByte(p, 0), uint8_t{0x01});
    }

    // Which steps each kind of exchange takes: discard first, send, wait.
    void sequenceSteps_data() {
        QTest::addColumn<int>("kind");  // 0 write with wait, 1 write without, 2 private
        QTest::addColumn<bool>("discards");
        QTest::addColumn<std::vector<uint32_t>>("sleeps");
        QTest::newRow("write with wait") << 0 << true << std::vector<uint32_t>{100};
        QTest::newRow("write without wait") << 1 << true << std::vector<uint32_t>{};
        QTest::newRow("private frame") << 2 << false << std::vector<uint32_t>{};
    }
    void sequenceSteps() {
        QFETCH(int, kind);
        QFETCH(bool, discards);
        QFETCH(std::vector<uint32_t>, sleeps);
        Rig rig;
        rig.Port.InjectInput({0x55, 0x66, 0x77});
        const uint8_t pwm[4] = {0x03, 0xE8, 0x00, 0x64};
        const int16_t length = kind == 2 ? BuildPrivateShort(rig.Link.Tx(), 1, 0x4E20, pwm)
                                         : BuildWriteCoil(rig.Link.Tx(), 1, 1, true);
        if (kind == 2) {
            rig.Link.SendPrivate(length);
        } else {
            rig.Link.WriteSequence(length, kind == 0 ? 100 : 0);
        }
        QCOMPARE(rig.Clock.Sleeps(), sleeps);
        QCOMPARE(rig.Port.Sent().size(), size_t{1});
        QCOMPARE(rig.Port.Sent()[0].Bytes.size(), static_cast<size_t>(length));
        const std::vector<uint8_t> waiting = rig.Port.ReadAllWaiting();
        QCOMPARE(!waiting.empty() && waiting[0] == 0x55, !discards);
    }

    // With the port closed nothing is sent and every read fails quietly; the waits are kept.
    void closedPort() {
        Rig rig;
        rig.Port.ClosePort();
        QCOMPARE(rig.Link.ReadSequence(0x03, 0x0106, 3, 200), int16_t{-1});
        QCOMPARE(rig.Link.ReceivedCount(), int16_t{0});
        QVERIFY(!rig.Link.ReadHoldingRegisters(0x0160, 3));
        for (int k = 0; k < 11; ++k) {
            QCOMPARE(rig.Link.Rx()[k], uint8_t{0});
        }
        rig.Link.WriteSequence(BuildWriteCoil(rig.Link.Tx(), 1, 0, true), 300);
        rig.Link.SendPrivate(13);
        QVERIFY(rig.Port.Sent().empty());
        QVERIFY(rig.Device.Requests().empty());
        QCOMPARE(rig.Clock.Sleeps(), (std::vector<uint32_t>{200, 300, 300}));
    }

    // The copy into the 300-byte buffer stops at its capacity; a frame cut by it is not found.
    void moreInputThanTheBuffer_data() {
        QTest::addColumn<int>("stray");
        QTest::addColumn<int>("position");
        QTest::newRow("frame ends at byte 300") << 289 << 289;
        QTest::newRow("frame's last byte dropped") << 290 << -1;
        QTest::newRow("frame entirely dropped") << 400 << -1;
    }
    void moreInputThanTheBuffer() {
        QFETCH(int, stray);
        QFETCH(int, position);
        Rig rig(19200);
        SimFaults faults;
        faults.StrayBytes.assign(static_cast<size_t>(stray), 0xAA);
        rig.Port.SetFaults(faults);
        const int16_t p = rig.Link.ReadSequence(0x03, 0x0106, 3, 1000);
        QCOMPARE(p, static_cast<int16_t>(position));
        QCOMPARE(rig.Link.ReceivedCount(), int16_t{kRxCapacity});
        // Nothing is left behind for the next exchange either.
        QCOMPARE(rig.Port.WaitingCount(), int16_t{0});
    }

    // The count taken before the bytes decides how many are copied.
    void countAndBytesDisagree_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("bytes");
        QTest::addColumn<int>("copied");
        QTest::newRow("bytes arrived after the count") << 5 << 11 << 5;
        QTest::newRow("fewer bytes than counted") << 11 << 4 << 4;
        QTest::newRow("negative count") << -7 << 11 << 0;
        QTest::newRow("count beyond the buffer") << 32767 << 500 << kRxCapacity;
    }
    void countAndBytesDisagree() {
        QFETCH(int, count);
        QFETCH(int, bytes);
        QFETCH(int, copied);
        CScriptedPort port;
        CVirtualClock clock;
        CModbusTransaction link(port, clock);
        port.Count = static_cast<int16_t>(count);
        const std::vector<uint8_t> frame =
            VectorFrame("response", 1, "phase currents 1234, 0, 65535");
        for (int k = 0; k < bytes; ++k) {
            port.Bytes.push_back(frame[static_cast<size_t>(k) % frame.size()]);
        }
        const int16_t p = link.ReadSequence(0x03, 0x0106, 3, 200);
        QCOMPARE(link.ReceivedCount(), static_cast<int16_t>(copied));
        QCOMPARE(p, static_cast<int16_t>(copied >= 11 ? 0 : -1));
    }

    // The generic register read: the located frame is moved to position 0; without one the
    // expected frame's bytes and every byte taken in read as 0, and later bytes are kept.
    void readHoldingRegisters_data() {
        QTest::addColumn<SimFaults>("faults");
        QTest::addColumn<bool>("located");
        QTest::addColumn<std::vector<uint8_t>>("front");  // RxBuffer from position 0
        QTest::addColumn<int>("keptFrom");                // first byte of the earlier read kept

        SimFaults stray;
        stray.StrayBytes = {0x01, 0x03, 0x06};
        SimFaults silent;
        silent.Silent = true;
        SimFaults corrupt;
        corrupt.CorruptCrc = true;
        corrupt.StrayBytes = std::vector<uint8_t>(12, 0x33);
        const std::vector<uint8_t> frame =
            Concat({{0x01, 0x03, 0x06}, RegisterBytes({120 << 8 | 5, 80 << 8 | 5, 9999})});

        QTest::newRow("at position 0") << SimFaults{} << true << frame << 11;
        QTest::newRow("moved from position 3") << stray << true << frame << 14;
        QTest::newRow("silent: the expected frame is zero")
            << silent << false << std::vector<uint8_t>(11, 0) << 11;
        QTest::newRow("bad CRC: every byte taken in is zero")
            << corrupt << false << std::vector<uint8_t>(23, 0) << 23;
    }
    void readHoldingRegisters() {
        QFETCH(SimFaults, faults);
        QFETCH(bool, located);
        QFETCH(std::vector<uint8_t>, front);
        QFETCH(int, keptFrom);
        Rig rig;
        // An earlier, longer read leaves its bytes in the buffer.
        QVERIFY(rig.Link.ReadHoldingRegisters(0x0150, 16));
        const std::vector<uint8_t> earlier(rig.Link.Rx().begin(), rig.Link.Rx().begin() + 37);

        rig.Port.SetFaults(faults);
        QCOMPARE(rig.Link.ReadHoldingRegisters(0x0160, 3), located);
        QCOMPARE(rig.Port.Sent().back().Bytes, VectorFrame("request", 1, "settings block C"));
        QCOMPARE(rig.Clock.Sleeps().back(), uint32_t{300});
        QCOMPARE(std::vector<uint8_t>(rig.Link.Rx().begin(), rig.Link.Rx().begin() + front.size()),
                 front);
        QCOMPARE(std::vector<uint8_t>(rig.Link.Rx().begin() + keptFrom, rig.Link.Rx().begin() + 37),
                 std::vector<uint8_t>(earlier.begin() + keptFrom, earlier.end()));
    }

    // A request for more registers than the buffer can hold fails without reading past it.
    void readHoldingRegistersBeyondTheBuffer_data() {
        QTest::addColumn<int>("count");
        QTest::newRow("148 registers: 301 bytes") << 148;
        QTest::newRow("quantity whose length wraps 16 bits") << 32770;
        QTest::newRow("largest quantity") << 65535;
    }
    void readHoldingRegistersBeyondTheBuffer() {
        QFETCH(int, count);
        Rig rig;
        // A short valid response that a length cut to 16 bits could match.
        SimFaults faults;
        faults.StrayBytes =
            Concat({HexBytes("01 03 02 00 80 B9 E4"), FrameOf("01 03 04 00 01 00 02")});
        rig.Port.SetFaults(faults);
        QVERIFY(!rig.Link.ReadHoldingRegisters(0x0100, static_cast<uint16_t>(count)));
        QCOMPARE(rig.Link.Rx()[kRxCapacity - 1], uint8_t{0});
    }

    void dataBytesOutsideTheBufferReadAsZero() {
        Rig rig;
        QCOMPARE(rig.Link.DataByte(-1, 0), uint8_t{0});
        QCOMPARE(rig.Link.DataByte(-4, 0), uint8_t{0});
        QCOMPARE(rig.Link.DataByte(290, 10), uint8_t{0});
    }
};

}  // namespace mp::test

Q_DECLARE_METATYPE(mp::SimFaults)
Q_DECLARE_METATYPE(std::vector<uint8_t>)
Q_DECLARE_METATYPE(std::vector<uint32_t>)

QTEST_GUILESS_MAIN(mp::test::TestModbusTransaction)
#include "TestModbusTransaction.moc"
