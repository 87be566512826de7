// The request/response transaction against the simulated device on a virtual clock: the read
// and write sequences, the generic register read, and what the line's faults do to them.

#include <QtTest>

#include "modbus/RequestBuilder.h"
#include "support/DeviceRig.h"
#include "support/FrameTools.h"
#include "support/ScriptedPort.h"

Q_DECLARE_METATYPE(mp::SimFaults)

namespace mp::test {
namespace {

const std::vector<uint8_t> kCurrentsReply =
    VectorFrame("response", 1, "phase currents 1234, 0, 65535");

std::vector<uint8_t> RxBytes(const CModbusTransaction& link, size_t from, size_t to) {
    return std::vector<uint8_t>(link.Rx().begin() + from, link.Rx().begin() + to);
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
        QTest::newRow("answers") << SimFaults{} << 1 << 3 << 0 << 11;
        QTest::newRow("two stray bytes ahead") << Faults({0xFF, 0x00}) << 1 << 3 << 2 << 13;
        QTest::newRow("silent device") << Faults({}, true) << 1 << 3 << -1 << 0;
        QTest::newRow("bad CRC") << Faults({}, false, true) << 1 << 3 << -1 << 11;
        QTest::newRow("reply in four pieces within the wait")
            << Faults({}, false, false, 0, 4, 30) << 1 << 3 << 0 << 11;
        // 9 ms out, 5 ms turnaround, the delay, 12 ms back.
        QTest::newRow("complete at 196 ms of a 200 ms wait")
            << Faults({}, false, false, 170) << 1 << 3 << 0 << 11;
        QTest::newRow("byte by byte from 195 ms: 6 bytes in when the wait ends")
            << Faults({}, false, false, 180, 11) << 1 << 3 << -1 << 6;
        QTest::newRow("device at another address") << SimFaults{} << 2 << 3 << -1 << 0;
        QTest::newRow("device at another baud rate") << SimFaults{} << 1 << 4 << -1 << 0;
    }
    void readUnderLineFaults() {
        QFETCH(SimFaults, faults);
        QFETCH(int, deviceAddress);
        QFETCH(int, deviceBaudCode);
        QFETCH(int, position);
        QFETCH(int, received);
        CDeviceRig rig;
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
        QCOMPARE(rig.SentFrames(),
                 (std::vector<std::vector<uint8_t>>{VectorFrame("request", 1, "phase currents")}));
        if (p >= 0) {
            QCOMPARE(RxBytes(rig.Link, p, p + 11), kCurrentsReply);
            QCOMPARE(rig.Link.Register(p, 0), uint16_t{1234});
            QCOMPARE(rig.Link.Register(p, 2), uint16_t{65535});
        }
    }

    // A reply that completes after the wait is missed, and the discard at the start of the
    // next exchange drops it: the next read finds only its own response.
    void lateReplyDroppedByNextExchange() {
        CDeviceRig rig;
        rig.Device.SetRegister(0x0106, 1234);
        rig.Device.SetRegister(0x0103, 2200);
        rig.Port.SetFaults(Faults({}, false, false, 250));
        QCOMPARE(rig.Link.ReadSequence(0x03, 0x0106, 3, 200), int16_t{-1});

        rig.Port.SetFaults({});
        rig.Clock.Advance(100);  // the late reply lands before the next exchange begins
        const int16_t p = rig.Link.ReadSequence(0x03, 0x0103, 3, 300);
        QCOMPARE(p, int16_t{0});
        QCOMPARE(rig.Link.ReceivedCount(), int16_t{11});
        QCOMPARE(rig.Link.Register(p, 0), uint16_t{2200});
    }

    // A read that found no reply leaves it owed: the next frame to the same device first
    // waits until it has come and been dropped (then keeps the 3.5-character silence after
    // it, 6 ms at 9600), or until 3000 ms after its request, whatever the next read's shape:
    // a device that queues its requests would otherwise answer ever later. A read of
    // another device cannot mistake it and does not wait.
    void owedReply_data() {
        QTest::addColumn<SimFaults>("firstFaults");
        QTest::addColumn<int>("address");  // of the second read
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("count");
        QTest::addColumn<std::vector<uint32_t>>("owedWait");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("firstRegister");
        QTest::addColumn<int>("stillOwed");  // the first read's reply: neither come nor overdue
        const SimFaults late = Faults({}, false, false, 250);  // complete 276 ms after the request
        const SimFaults silent = Faults({}, true);
        const auto lateWait = JoinSleeps({OwedWait(100), {6}});
        QTest::newRow("same shape, reply 250 ms late: waited for, then the silence")
            << late << 1 << 0x0103 << 3 << lateWait << 0 << 3800 << 0;
        QTest::newRow("same shape, no reply: until 3000 ms after the request")
            << silent << 1 << 0x0103 << 3 << OwedWait(2800) << 0 << 3800 << 0;
        QTest::newRow("other shape, reply late: waited for too")
            << late << 1 << 0x011B << 1 << lateWait << 0 << 1 << 0;
        QTest::newRow("other shape, no reply")
            << silent << 1 << 0x011B << 1 << OwedWait(2800) << 0 << 1 << 0;
        QTest::newRow("other address")
            << silent << 2 << 0x0103 << 3 << std::vector<uint32_t>{} << 0 << 3800 << 1;
    }
    void owedReply() {
        QFETCH(SimFaults, firstFaults);
        QFETCH(int, address);
        QFETCH(int, start);
        QFETCH(int, count);
        QFETCH(std::vector<uint32_t>, owedWait);
        QFETCH(int, position);
        QFETCH(int, firstRegister);
        QFETCH(int, stillOwed);
        CDeviceRig rig;
        rig.Port.SetFaults(firstFaults);
        QCOMPARE(rig.Link.ReadSequence(0x03, 0x0106, 3, 200), int16_t{-1});
        QCOMPARE(rig.Link.OwedReplies(), size_t{1});

        rig.Port.SetFaults({});
        rig.Device.SetAddress(static_cast<uint8_t>(address));
        rig.Link.SetSlaveAddress(static_cast<uint8_t>(address));
        const int16_t p = rig.Link.ReadSequence(0x03, static_cast<uint16_t>(start),
                                                static_cast<uint16_t>(count), 300);
        QCOMPARE(p, static_cast<int16_t>(position));
        QCOMPARE(int(rig.Link.Register(p, 0)), firstRegister);
        QCOMPARE(rig.Clock.Sleeps(), JoinSleeps({{200}, owedWait, {300}}));
        QCOMPARE(rig.Link.OwedReplies(), static_cast<size_t>(stillOwed));
        rig.Clock.Advance(CModbusTransaction::kLateReplyMs);
        QCOMPARE(rig.Link.ReadSequence(0x03, 0x0106, 3, 200), int16_t{0});
        QCOMPARE(rig.Link.OwedReplies(), size_t{0});
    }

    // How a read judges what came: an exception or a bad CRC is the device's answer and
    // leaves nothing owed; a whole frame of the device answering another request means it
    // has fallen behind: nothing among the bytes is trusted and the read's reply is owed.
    void verdict_data() {
        QTest::addColumn<std::vector<uint8_t>>("input");  // on the line during the read
        QTest::addColumn<int>("verdict");                 // ReplyVerdict
        QTest::addColumn<int>("owed");
        QTest::addColumn<bool>("matched");  // the transport matches replies to requests
        using V = ReplyVerdict;
        const std::vector<uint8_t> currents = kCurrentsReply;
        std::vector<uint8_t> badCrc = currents;
        badCrc.back() ^= 0xFF;
        std::vector<uint8_t> behind = WithCrc({0x01, 0x01, 0x01, 0x05});  // an outputs reply
        behind.insert(behind.end(), currents.begin(), currents.end());
        QTest::newRow("reply") << currents << int(V::Located) << 0 << false;
        QTest::newRow("bad CRC") << badCrc << int(V::BadCrc) << 0 << false;
        QTest::newRow("exception")
            << WithCrc({0x01, 0x83, 0x02}) << int(V::Exception) << 0 << false;
        QTest::newRow("another request's reply ahead") << behind << int(V::Foreign) << 1 << false;
        QTest::newRow("a write's echo")
            << WithCrc({0x01, 0x05, 0x00, 0x00, 0xFF, 0x00}) << int(V::Foreign) << 1 << false;
        QTest::newRow("reply cut off") << std::vector<uint8_t>(currents.begin(), currents.end() - 3)
                                       << int(V::NoReply) << 1 << false;
        QTest::newRow("nothing") << std::vector<uint8_t>{} << int(V::NoReply) << 1 << false;
        QTest::newRow("another device's reply")
            << WithCrc({0x02, 0x01, 0x01, 0x05}) << int(V::NoReply) << 1 << false;
        // Through Modbus TCP the gateway's transaction id matches every reply to its request:
        // a late one is dropped below, never taken for a later read's, so nothing is owed.
        QTest::newRow("nothing, replies matched")
            << std::vector<uint8_t>{} << int(V::NoReply) << 0 << true;
    }
    void verdict() {
        QFETCH(std::vector<uint8_t>, input);
        QFETCH(int, verdict);
        QFETCH(int, owed);
        QFETCH(bool, matched);
        CScriptedPort port;
        port.Count = static_cast<int16_t>(input.size());
        port.Bytes = input;
        CVirtualClock clock;
        CModbusTransaction link(port, clock);
        link.SetRepliesMatched(matched);
        const int16_t p = link.ReadSequence(0x03, 0x0106, 3, 200);
        QCOMPARE(int(link.LastVerdict()), verdict);
        QCOMPARE(p >= 0, verdict == int(ReplyVerdict::Located));
        QCOMPARE(int(link.OwedReplies()), owed);
    }

    // The reply of a write is never taken for the response of the read after it: with a
    // wait it is dropped by the read's discard; without one it arrives in the read's wait,
    // where it shows the device answering another request, so nothing there is trusted.
    void writeReplyNeverTakenForRead_data() {
        QTest::addColumn<uint32_t>("writeWait");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("received");
        QTest::newRow("write with its 300 ms wait") << 300u << 0 << 6;
        QTest::newRow("write without a wait") << 0u << -1 << 14;
    }
    void writeReplyNeverTakenForRead() {
        QFETCH(uint32_t, writeWait);
        QFETCH(int, position);
        QFETCH(int, received);
        CDeviceRig rig;
        rig.Link.WriteSequence(BuildWriteCoil(rig.Link.Tx(), 1, 0, true), writeWait);
        QCOMPARE(rig.Device.Coils(), uint8_t{0x01});

        const int16_t p = rig.Link.ReadSequence(0x01, 0x0000, 1, 300);
        QCOMPARE(p, static_cast<int16_t>(position));
        QCOMPARE(rig.Link.ReceivedCount(), static_cast<int16_t>(received));
        if (p >= 0) {
            QCOMPARE(rig.Link.DataByte(p, 0), uint8_t{0x01});
        }
    }

    // With the port closed nothing is sent and every read fails quietly; the waits are kept.
    void closedPort() {
        CDeviceRig rig;
        rig.Port.ClosePort();
        QCOMPARE(rig.Link.ReadSequence(0x03, 0x0106, 3, 200), int16_t{-1});
        QCOMPARE(rig.Link.ReceivedCount(), int16_t{0});
        QVERIFY(!rig.Link.ReadHoldingRegisters(0x0160, 3));
        QCOMPARE(RxBytes(rig.Link, 0, 11), std::vector<uint8_t>(11, 0));
        rig.Link.WriteSequence(BuildWriteCoil(rig.Link.Tx(), 1, 0, true), 300);
        rig.Link.SendPrivate(13);
        QVERIFY(rig.Port.Sent().empty());
        QVERIFY(rig.Device.Requests().empty());
        QCOMPARE(rig.Link.OwedReplies(), size_t{0});  // nothing sent, nothing owed
        QCOMPARE(rig.Clock.Sleeps(), (std::vector<uint32_t>{200, 300, 300}));
    }

    // The copy into the 300-byte buffer stops at its capacity; a frame cut by it is not found,
    // and nothing is left behind for the next exchange.
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
        CDeviceRig rig;
        rig.Port.SetFaults(Faults(std::vector<uint8_t>(static_cast<size_t>(stray), 0xAA)));
        const int16_t p = rig.Link.ReadSequence(0x03, 0x0106, 3, 1000);
        QCOMPARE(p, static_cast<int16_t>(position));
        QCOMPARE(rig.Link.ReceivedCount(), int16_t{kRxCapacity});
        QCOMPARE(rig.Port.WaitingCount(), int16_t{0});
        QCOMPARE(rig.Link.DataByte(290, 10), uint8_t{0});  // past the buffer's end
    }

    // The generic register read: the located frame is moved to position 0; without one the
    // expected frame's bytes and every byte taken in read as 0, and later bytes are kept.
    void readHoldingRegisters_data() {
        QTest::addColumn<SimFaults>("faults");
        QTest::addColumn<bool>("located");
        QTest::addColumn<std::vector<uint8_t>>("front");  // RxBuffer from position 0
        QTest::addColumn<int>("keptFrom");                // first byte of the earlier read kept
        const std::vector<uint8_t> frame = HexBytes("01 03 06 78 05 50 05 27 0F");
        QTest::newRow("at position 0") << SimFaults{} << true << frame << 11;
        QTest::newRow("moved from position 3") << Faults({0x01, 0x03, 0x06}) << true << frame << 14;
        QTest::newRow("silent: the expected frame is zero")
            << Faults({}, true) << false << std::vector<uint8_t>(11, 0) << 11;
        QTest::newRow("bad CRC: every byte taken in is zero")
            << Faults(std::vector<uint8_t>(12, 0x33), false, true) << false
            << std::vector<uint8_t>(23, 0) << 23;
    }
    void readHoldingRegisters() {
        QFETCH(SimFaults, faults);
        QFETCH(bool, located);
        QFETCH(std::vector<uint8_t>, front);
        QFETCH(int, keptFrom);
        CDeviceRig rig;
        rig.Device.SetRegister(0x0160, 120 << 8 | 5);
        rig.Device.SetRegister(0x0161, 80 << 8 | 5);
        rig.Device.SetRegister(0x0162, 9999);
        // An earlier, longer read leaves its bytes in the buffer.
        QVERIFY(rig.Link.ReadHoldingRegisters(0x0150, 16));
        const std::vector<uint8_t> earlier = RxBytes(rig.Link, 0, 37);

        rig.Port.SetFaults(faults);
        QCOMPARE(rig.Link.ReadHoldingRegisters(0x0160, 3), located);
        QCOMPARE(rig.SentFrames().back(), VectorFrame("request", 1, "settings block C"));
        QCOMPARE(rig.Clock.Sleeps().back(), uint32_t{300});
        QCOMPARE(RxBytes(rig.Link, 0, front.size()), front);
        QCOMPARE(RxBytes(rig.Link, keptFrom, 37), Slice(earlier, keptFrom, 37));
    }

    // A request for more registers than the buffer can hold fails without reading past it,
    // even when its length cut to 16 bits would match a short valid response.
    void readHoldingRegistersBeyondTheBuffer_data() {
        QTest::addColumn<int>("count");
        QTest::newRow("148 registers: 301 bytes") << 148;
        QTest::newRow("quantity whose length wraps 16 bits") << 32770;
        QTest::newRow("largest quantity") << 65535;
    }
    void readHoldingRegistersBeyondTheBuffer() {
        QFETCH(int, count);
        CDeviceRig rig;
        rig.Port.SetFaults(
            Faults(Concat({FrameOf("01 03 02 00 80"), FrameOf("01 03 04 00 01 00 02")})));
        QVERIFY(!rig.Link.ReadHoldingRegisters(0x0100, static_cast<uint16_t>(count)));
        QCOMPARE(rig.Link.Rx()[kRxCapacity - 1], uint8_t{0});
    }
};

}  // namespace mp::test

QTEST_GUILESS_MAIN(mp::test::TestModbusTransaction)
#include "TestModbusTransaction.moc"
