// The simulated controller keeps the device contract: its replies, writes at the read address
// + 0x5300, address and baud changes, coils, inputs, private frames, exceptions, live motion,
// and framing of the bytes it is fed.

#include <QtTest>

#include "support/FrameTools.h"

namespace mp::test {
namespace {

std::vector<uint8_t> Read(CSimulatedDevice& device, uint8_t function, uint16_t start,
                          uint16_t count, uint8_t address = 1) {
    return device.Handle(WithCrc(
        {address, function, static_cast<uint8_t>(start >> 8), static_cast<uint8_t>(start & 0xFF),
         static_cast<uint8_t>(count >> 8), static_cast<uint8_t>(count & 0xFF)}));
}

}  // namespace

class TestSimulatedDevice : public QObject {
    Q_OBJECT
private slots:
    // Replies equal the independently computed frames; inputs and coils come as one byte
    // holding every bit.
    void repliesMatchTheVectors() {
        CSimulatedDevice device;
        device.SetLiveMotion(false);
        for (const auto& [reg, value] :
             std::vector<std::pair<uint16_t, uint16_t>>{{0x0106, 1234},
                                                        {0x0107, 0},
                                                        {0x0108, 65535},
                                                        {0x0103, 2200},
                                                        {0x0104, 3805},
                                                        {0x0105, 65535},
                                                        {0x011B, 0x0080},
                                                        {0x0124, 0x0300}}) {
            device.SetRegister(reg, value);
        }
        device.SetInputs(0xA5);
        device.SetCoils(0x05);
        auto vector = [](const char* what) { return VectorFrame("response", 1, what); };
        QCOMPARE(Read(device, 0x03, 0x0106, 3), vector("phase currents 1234, 0, 65535"));
        QCOMPARE(Read(device, 0x03, 0x0103, 3), vector("phase voltages 2200, 3805, 65535"));
        QCOMPARE(Read(device, 0x02, 0x0000, 1), vector("digital inputs 0xA5"));
        QCOMPARE(Read(device, 0x01, 0x0000, 1), vector("output states 0x05"));
        QCOMPARE(Read(device, 0x03, 0x011B, 1), vector("status register 0x0080"));
        QCOMPARE(Read(device, 0x03, 0x0124, 1), vector("event count 3"));
        QCOMPARE(Read(device, 0x03, 0x01FF, 3),
                 vector("exception: illegal data address on function 03"));
    }

    // A register written at read address + 0x5300 is read back at the read address.
    void writesReadBackAtTheReadAddress_data() {
        QTest::addColumn<int>("writeAddress");
        QTest::addColumn<std::vector<uint8_t>>("data");
        QTest::newRow("CT ratio, one register") << 0x5453 << HexBytes("00 64");
        QTest::newRow("PWM phase and start mode, two") << 0x5454 << HexBytes("00 02 05 01");
        QTest::newRow("protections, five") << 0x545A << HexBytes("F7 01 00 06 28 05 14 00 1E 32");
        QTest::newRow("breaking current") << 0x5462 << HexBytes("12 34");
    }
    void writesReadBackAtTheReadAddress() {
        QFETCH(int, writeAddress);
        QFETCH(std::vector<uint8_t>, data);
        CSimulatedDevice device;
        const auto start = static_cast<uint16_t>(writeAddress);
        QCOMPARE(
            device.Handle(WriteFrame(1, start, data)),
            WithCrc({1, 0x10, static_cast<uint8_t>(start >> 8), static_cast<uint8_t>(start & 0xFF),
                     0, static_cast<uint8_t>(data.size() / 2)}));
        const std::vector<uint8_t> back = Read(device, 0x03, static_cast<uint16_t>(start - 0x5300),
                                               static_cast<uint16_t>(data.size() / 2));
        QCOMPARE(Slice(back, 3, 3 + data.size()), data);
    }

    // After a confirmed change the device answers at the new address at once (its reply to
    // the change still comes from the old one) and keeps the new baud code.
    void addressAndBaudChange() {
        CSimulatedDevice device;
        device.SetAddress(5);
        const std::vector<uint8_t> reply =
            device.Handle(HexBytes("05 10 54 50 00 02 04 00 0C 00 04 EC A0"));
        QCOMPARE(reply, FrameOf("05 10 54 50 00 02"));
        QCOMPARE(device.Address(), uint8_t{12});
        QCOMPARE(device.BaudCode(), 4);
        QCOMPARE(device.BaudRate(), 19200);
        QVERIFY(Read(device, 0x03, 0x0150, 1, 5).empty());
        QCOMPARE(Read(device, 0x03, 0x0150, 2, 12), FrameOf("0C 03 04 00 0C 00 04"));
    }

    // Coils 0 to 2 take the written state; bits 0 to 2 of the coil byte show them.
    void coils_data() {
        QTest::addColumn<QString>("writes");  // coil+ (on) or coil- (off), in order
        QTest::addColumn<int>("coilByte");
        QTest::newRow("close A and B") << "0+ 1+" << 0x03;
        QTest::newRow("close both, open A") << "0+ 1+ 0-" << 0x02;
        QTest::newRow("reset returns every output to rest") << "0+ 1+ 2-" << 0x00;
        QTest::newRow("reset output on") << "2+" << 0x04;
    }
    void coils() {
        QFETCH(QString, writes);
        QFETCH(int, coilByte);
        CSimulatedDevice device;
        for (const QString& w : writes.split(' ')) {
            const auto coil = static_cast<uint8_t>(w.left(1).toInt());
            const std::vector<uint8_t> request =
                WithCrc({1, 0x05, 0, coil, static_cast<uint8_t>(w.endsWith('+') ? 0xFF : 0), 0});
            QCOMPARE(device.Handle(request), request);
        }
        QCOMPARE(device.Coils(), static_cast<uint8_t>(coilByte));
        QCOMPARE(Read(device, 0x01, 0, 1)[3], static_cast<uint8_t>(coilByte));
    }

    // What the device does not serve gets an exception (without CRC here), or no reply; the
    // address and baud code stay as they were.
    void exceptionsAndSilence_data() {
        QTest::addColumn<std::vector<uint8_t>>("request");
        QTest::addColumn<std::vector<uint8_t>>("exception");  // empty: no reply
        auto row = [](const char* name, const std::vector<uint8_t>& request, const char* reply) {
            QTest::newRow(name) << request << HexBytes(reply);
        };
        row("unknown function 04", FrameOf("01 04 01 06 00 03"), "01 84 01");
        row("no registers asked", FrameOf("01 03 01 06 00 00"), "01 83 02");
        row("past the register map", FrameOf("01 03 02 00 00 01"), "01 83 02");
        row("coil 3", FrameOf("01 05 00 03 FF 00"), "01 85 02");
        row("coil value 0x1234", FrameOf("01 05 00 00 12 34"), "01 85 03");
        row("inputs beyond eight", FrameOf("01 02 00 07 00 02"), "01 82 02");
        row("write outside the settings", FrameOf("01 10 01 50 00 01 02 00 05"), "01 90 02");
        row("write with a wrong byte count", FrameOf("01 10 54 53 00 01 04 00 05"), "01 90 02");
        row("address 0", WriteFrame(1, 0x5450, HexBytes("00 00 00 03")), "01 90 03");
        row("address 248", WriteFrame(1, 0x5450, HexBytes("00 F8 00 03")), "01 90 03");
        row("baud code 5", WriteFrame(1, 0x5450, HexBytes("00 07 00 05")), "01 90 03");
        row("long private frame with unknown word",
            FrameOf("01 12 A5 5A 12 34 11 27 10 00 27 10 00 27 10 00"), "01 92 03");
        row("short frame with a valid CRC", FrameOf("01 05 00"), "01 85 03");
        row("another address", VectorFrame("request", 5, "phase currents"), "");
        row("bad CRC", HexBytes("01 03 01 06 00 03 E4 37"), "");
    }
    void exceptionsAndSilence() {
        QFETCH(std::vector<uint8_t>, request);
        QFETCH(std::vector<uint8_t>, exception);
        CSimulatedDevice device;
        QCOMPARE(device.Handle(request), exception.empty() ? exception : WithCrc(exception));
        QCOMPARE(device.Address(), uint8_t{1});
        QCOMPARE(device.BaudCode(), 3);
    }

    // Private frames, in order, store the coefficients read back at 0x0148 (PWM output,
    // current a × 10000 and b) and the voltage calibration; the reset frames put a = 10000
    // and b = 0 back.
    void privateFramesStoreCoefficients_data() {
        QTest::addColumn<QStringList>("frames");
        QTest::addColumn<std::vector<uint8_t>>("stored");  // registers 0x0148 to 0x014E
        QTest::addColumn<QString>("voltage");              // a and b per phase
        const QString current = "01 12 A5 5A 27 10 11 26 AC 03 26 DE 01 27 41 02 C4 49";
        const QString voltage = "01 12 A5 5A 00 DC 11 26 AC 03 26 DE 01 27 41 02 73 6E";
        const QString currentReset = "01 12 A5 5A 27 10 11 27 10 00 27 10 00 27 10 00 24 54";
        const QString voltageReset = "01 12 A5 5A 00 DC 11 27 10 00 27 10 00 27 10 00 93 73";
        const QString unit = "10000 10000 10000 0 0 0";
        QTest::newRow("PWM output")
            << QStringList{"01 12 5A A5 4E 20 0C 07 D0 00 C8 52 DD"}
            << HexBytes("07 D0 00 C8 27 10 27 10 27 10 00 00 00 00") << unit;
        QTest::newRow("voltage calibration")
            << QStringList{voltage} << HexBytes("03 E8 00 64 27 10 27 10 27 10 00 00 00 00")
            << "9900 9950 10049 3 1 2";
        QTest::newRow("current reset")
            << QStringList{current, voltage, currentReset}
            << HexBytes("03 E8 00 64 27 10 27 10 27 10 00 00 00 00") << "9900 9950 10049 3 1 2";
        QTest::newRow("voltage reset")
            << QStringList{current, voltage, voltageReset}
            << HexBytes("03 E8 00 64 26 AC 26 DE 27 41 03 01 02 00") << unit;
    }
    void privateFramesStoreCoefficients() {
        QFETCH(QStringList, frames);
        QFETCH(std::vector<uint8_t>, stored);
        QFETCH(QString, voltage);
        CSimulatedDevice device;
        for (const QString& frame : frames) {
            QVERIFY(CrcHolds(device.Handle(HexBytes(frame))));
        }
        QCOMPARE(Slice(Read(device, 0x03, 0x0148, 7), 3, 17), stored);
        QStringList coefficients;
        for (uint16_t a : device.VoltageA()) {
            coefficients << QString::number(a);
        }
        for (uint8_t b : device.VoltageB()) {
            coefficients << QString::number(b);
        }
        QCOMPARE(coefficients.join(' '), voltage);
    }

    // Live values move a little around their base, the same way for the same seed.
    void liveMotion() {
        CSimulatedDevice first(42);
        CSimulatedDevice second(42);
        CSimulatedDevice other(43);
        bool moved = false;
        bool differs = false;
        for (int k = 0; k < 20; ++k) {
            const std::vector<uint8_t> a = Read(first, 0x03, 0x0103, 6);
            QCOMPARE(Read(second, 0x03, 0x0103, 6), a);
            differs = differs || Read(other, 0x03, 0x0103, 6) != a;
            const int voltage = a[3] << 8 | a[4];
            const int current = a[9] << 8 | a[10];
            QVERIFY(std::abs(voltage - 3800) <= 3);
            QVERIFY(std::abs(current - 302) <= 3);
            moved = moved || voltage != 3800;
        }
        QVERIFY(moved);
        QVERIFY(differs);
    }

    // Requests are found in the byte stream by their expected length and CRC, however the
    // bytes are cut, whatever lies between them.
    void feedFindsRequests_data() {
        QTest::addColumn<std::vector<uint8_t>>("stream");
        QTest::addColumn<int>("piece");  // bytes per call
        QTest::addColumn<int>("replies");
        const std::vector<uint8_t> read = VectorFrame("request", 1, "phase currents");
        const std::vector<uint8_t> write = HexBytes("01 10 54 55 00 01 02 05 00 BC C0");
        const std::vector<uint8_t> calibration =
            HexBytes("01 12 A5 5A 27 10 11 26 AC 03 26 DE 01 27 41 02 C4 49");
        const std::vector<uint8_t> pwm = HexBytes("01 12 5A A5 4E 20 0C 03 E8 00 64 D2 5D");
        QTest::newRow("one read, byte by byte") << read << 1 << 1;
        QTest::newRow("four frames back to back")
            << Concat({read, write, calibration, pwm}) << 7 << 4;
        QTest::newRow("long private frame byte by byte") << calibration << 1 << 1;
        QTest::newRow("frame for another device, then ours")
            << Concat({VectorFrame("request", 5, "phase currents"), read}) << 6 << 1;
        QTest::newRow("truncated frame, then a whole one")
            << Concat({Slice(read, 0, 5), read}) << 2 << 1;
        QTest::newRow("bad CRC") << HexBytes("01 03 01 06 00 03 E4 37") << 8 << 0;
    }
    void feedFindsRequests() {
        QFETCH(std::vector<uint8_t>, stream);
        QFETCH(int, piece);
        QFETCH(int, replies);
        CSimulatedDevice device;
        int got = 0;
        for (size_t from = 0; from < stream.size(); from += static_cast<size_t>(piece)) {
            const size_t to = std::min(stream.size(), from + static_cast<size_t>(piece));
            for (const std::vector<uint8_t>& reply : device.Feed(Slice(stream, from, to))) {
                QVERIFY(CrcHolds(reply));
                ++got;
            }
        }
        QCOMPARE(got, replies);
    }
};

}  // namespace mp::test

QTEST_GUILESS_MAIN(mp::test::TestSimulatedDevice)
#include "TestSimulatedDevice.moc"
