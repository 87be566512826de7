// The simulated controller keeps the device contract: its registers, writes at the read
// address + 0x5300, address and baud changes, coils, inputs, private frames, exceptions,
// live motion, and framing of the bytes it is fed.

#include <QtTest>

#include "modbus/BitwiseCrc.h"
#include "modbus/RequestBuilder.h"
#include "simulator/SimulatedDevice.h"
#include "support/Vectors.h"

namespace mp::test {
namespace {

std::vector<uint8_t> Read(CSimulatedDevice& device, uint8_t address, uint8_t function,
                          uint16_t start, uint16_t quantity) {
    TxBuffer tx{};
    const int16_t length = BuildReadRequest(tx, address, function, start, quantity);
    return device.Handle(std::vector<uint8_t>(tx.begin(), tx.begin() + length));
}

std::vector<uint8_t> WriteRegisters(CSimulatedDevice& device, uint8_t address, uint16_t start,
                                    const std::vector<uint8_t>& data) {
    TxBuffer tx{};
    const int16_t length = BuildWriteRegisters(tx, address, start, data.data(),
                                               static_cast<uint16_t>(data.size() / 2));
    return device.Handle(std::vector<uint8_t>(tx.begin(), tx.begin() + length));
}

std::vector<uint8_t> WriteCoil(CSimulatedDevice& device, uint16_t coil, bool on) {
    TxBuffer tx{};
    const int16_t length = BuildWriteCoil(tx, device.Address(), coil, on);
    return device.Handle(std::vector<uint8_t>(tx.begin(), tx.begin() + length));
}

std::vector<uint8_t> Bytes(const std::vector<uint8_t>& all, size_t from, size_t to) {
    return std::vector<uint8_t>(all.begin() + static_cast<std::ptrdiff_t>(from),
                                all.begin() + static_cast<std::ptrdiff_t>(to));
}

}  // namespace

class TestSimulatedDevice : public QObject {
    Q_OBJECT
private slots:
    // Every register read of the tool gets a normal response of 5 + 2q bytes.
    void answersEveryRegisterRead_data() {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("count");
        QTest::newRow("phase voltages") << 0x0103 << 3;
        QTest::newRow("phase currents") << 0x0106 << 3;
        QTest::newRow("status bits") << 0x011B << 1;
        QTest::newRow("event codes") << 0x0120 << 4;
        QTest::newRow("event count") << 0x0124 << 1;
        QTest::newRow("stored coefficients") << 0x0148 << 7;
        QTest::newRow("device address") << 0x0150 << 1;
        QTest::newRow("baud code") << 0x0151 << 1;
        QTest::newRow("settings block A") << 0x0150 << 16;
        QTest::newRow("settings block B") << 0x0154 << 4;
        QTest::newRow("start mode") << 0x0155 << 1;
        QTest::newRow("settings block C") << 0x0160 << 3;
    }
    void answersEveryRegisterRead() {
        QFETCH(int, start);
        QFETCH(int, count);
        CSimulatedDevice device;
        const std::vector<uint8_t> reply =
            Read(device, 1, 0x03, static_cast<uint16_t>(start), static_cast<uint16_t>(count));
        QCOMPARE(reply.size(), static_cast<size_t>(5 + 2 * count));
        QCOMPARE(reply[0], uint8_t{1});
        QCOMPARE(reply[1], uint8_t{0x03});
        QCOMPARE(reply[2], static_cast<uint8_t>(2 * count));
        QVERIFY(CrcHolds(reply));
        for (int k = 0; k < count; ++k) {
            const uint16_t value = static_cast<uint16_t>(reply[3 + 2 * k] << 8 | reply[4 + 2 * k]);
            QCOMPARE(value, device.Register(static_cast<uint16_t>(start + k)));
        }
    }

    // Replies equal the independently computed frames.
    void repliesMatchTheVectors() {
        CSimulatedDevice device;
        device.SetLiveMotion(false);
        device.SetRegister(0x0106, 1234);
        device.SetRegister(0x0107, 0);
        device.SetRegister(0x0108, 65535);
        device.SetRegister(0x0103, 2200);
        device.SetRegister(0x0104, 3805);
        device.SetRegister(0x0105, 65535);
        device.SetRegister(0x011B, 0x0080);
        device.SetRegister(0x0124, 0x0300);
        device.SetInputs(0xA5);
        device.SetCoils(0x05);
        QCOMPARE(Read(device, 1, 0x03, 0x0106, 3),
                 VectorFrame("response", 1, "phase currents 1234, 0, 65535"));
        QCOMPARE(Read(device, 1, 0x03, 0x0103, 3),
                 VectorFrame("response", 1, "phase voltages 2200, 3805, 65535"));
        QCOMPARE(Read(device, 1, 0x02, 0x0000, 1),
                 VectorFrame("response", 1, "digital inputs 0xA5"));
        QCOMPARE(Read(device, 1, 0x01, 0x0000, 1),
                 VectorFrame("response", 1, "output states 0x05"));
        QCOMPARE(Read(device, 1, 0x03, 0x011B, 1),
                 VectorFrame("response", 1, "status register 0x0080"));
        QCOMPARE(Read(device, 1, 0x03, 0x0124, 1), VectorFrame("response", 1, "event count 3"));
        QCOMPARE(Read(device, 1, 0x03, 0x01FF, 3),
                 VectorFrame("response", 1, "exception: illegal data address on function 03"));
    }

    // A register written at read address + 0x5300 is read back at the read address.
    void writesReadBackAtTheReadAddress_data() {
        QTest::addColumn<int>("writeAddress");
        QTest::addColumn<std::vector<uint8_t>>("data");
        QTest::newRow("CT ratio, one register") << 0x5453 << HexBytes("00 64");
        QTest::newRow("PWM phase and start mode, two") << 0x5454 << HexBytes("00 02 05 01");
        QTest::newRow("rated values, three") << 0x5457 << HexBytes("01 7C 00 96 00 0A");
        QTest::newRow("protections, five") << 0x545A << HexBytes("F7 01 00 06 28 05 14 00 1E 32");
        QTest::newRow("voltage protections, three") << 0x5460 << HexBytes("78 05 50 05 27 0F");
        QTest::newRow("breaking current") << 0x5462 << HexBytes("12 34");
    }
    void writesReadBackAtTheReadAddress() {
        QFETCH(int, writeAddress);
        QFETCH(std::vector<uint8_t>, data);
        CSimulatedDevice device;
        const std::vector<uint8_t> reply =
            WriteRegisters(device, 1, static_cast<uint16_t>(writeAddress), data);
        QCOMPARE(reply.size(), size_t{8});
        QVERIFY(CrcHolds(reply));
        const auto count = static_cast<uint16_t>(data.size() / 2);
        const std::vector<uint8_t> back =
            Read(device, 1, 0x03, static_cast<uint16_t>(writeAddress - 0x5300), count);
        QCOMPARE(Bytes(back, 3, 3 + data.size()), data);
    }

    // After a confirmed change the device answers at the new address at once (its reply to
    // the change still comes from the old one) and keeps the new baud code.
    void addressAndBaudChange() {
        CSimulatedDevice device;
        device.SetAddress(5);
        const std::vector<uint8_t> change = HexBytes("05 10 54 50 00 02 04 00 0C 00 04 EC A0");
        const std::vector<uint8_t> reply = device.Handle(change);
        QCOMPARE(reply[0], uint8_t{5});
        QVERIFY(CrcHolds(reply));
        QCOMPARE(device.Address(), uint8_t{12});
        QCOMPARE(device.BaudCode(), 4);
        QCOMPARE(device.BaudRate(), 19200);
        QVERIFY(Read(device, 5, 0x03, 0x0150, 1).empty());
        const std::vector<uint8_t> back = Read(device, 12, 0x03, 0x0150, 2);
        QCOMPARE(Bytes(back, 0, 7), HexBytes("0C 03 04 00 0C 00 04"));
    }

    void refusesAnAddressOrBaudCodeItCannotUse_data() {
        QTest::addColumn<std::vector<uint8_t>>("data");
        QTest::newRow("address 0") << HexBytes("00 00 00 03");
        QTest::newRow("address 248") << HexBytes("00 F8 00 03");
        QTest::newRow("baud code 5") << HexBytes("00 07 00 05");
    }
    void refusesAnAddressOrBaudCodeItCannotUse() {
        QFETCH(std::vector<uint8_t>, data);
        CSimulatedDevice device;
        const std::vector<uint8_t> reply = WriteRegisters(device, 1, 0x5450, data);
        QCOMPARE(Bytes(reply, 0, 3), HexBytes("01 90 03"));
        QCOMPARE(device.Address(), uint8_t{1});
        QCOMPARE(device.BaudCode(), 3);
    }

    // Coils 0 to 2 take the written state; bits 0 to 2 of the coil byte show them.
    void coils_data() {
        QTest::addColumn<QString>("writes");  // coil+ (on) or coil- (off), in order
        QTest::addColumn<int>("coilByte");
        QTest::newRow("close A") << "0+" << 0x01;
        QTest::newRow("close A and B") << "0+ 1+" << 0x03;
        QTest::newRow("close both, open A") << "0+ 1+ 0-" << 0x02;
        QTest::newRow("reset returns every output to rest") << "0+ 1+ 2-" << 0x00;
        QTest::newRow("reset output on") << "2+" << 0x04;
        QTest::newRow("close twice") << "1+ 1+" << 0x02;
    }
    void coils() {
        QFETCH(QString, writes);
        QFETCH(int, coilByte);
        CSimulatedDevice device;
        for (const QString& w : writes.split(' ')) {
            const std::vector<uint8_t> reply =
                WriteCoil(device, static_cast<uint16_t>(w.left(1).toInt()), w.endsWith('+'));
            QCOMPARE(reply.size(), size_t{8});
        }
        QCOMPARE(device.Coils(), static_cast<uint8_t>(coilByte));
        QCOMPARE(Read(device, 1, 0x01, 0, 1)[3], static_cast<uint8_t>(coilByte));
    }

    void exceptionsForWhatItDoesNotServe_data() {
        QTest::addColumn<std::vector<uint8_t>>("request");
        QTest::addColumn<std::vector<uint8_t>>("exception");  // without CRC
        QTest::newRow("unknown function 04")
            << FrameOf("01 04 01 06 00 03") << HexBytes("01 84 01");
        QTest::newRow("no registers asked") << FrameOf("01 03 01 06 00 00") << HexBytes("01 83 02");
        QTest::newRow("too many registers") << FrameOf("01 03 01 00 00 7E") << HexBytes("01 83 02");
        QTest::newRow("past the register map")
            << FrameOf("01 03 02 00 00 01") << HexBytes("01 83 02");
        QTest::newRow("coil 3") << FrameOf("01 05 00 03 FF 00") << HexBytes("01 85 02");
        QTest::newRow("coil value 0x1234") << FrameOf("01 05 00 00 12 34") << HexBytes("01 85 03");
        QTest::newRow("inputs beyond eight")
            << FrameOf("01 02 00 07 00 02") << HexBytes("01 82 02");
        QTest::newRow("write outside the settings")
            << FrameOf("01 10 01 50 00 01 02 00 05") << HexBytes("01 90 02");
        QTest::newRow("write with a wrong byte count")
            << FrameOf("01 10 54 53 00 01 04 00 05") << HexBytes("01 90 02");
        QTest::newRow("private frame with unknown marker")
            << FrameOf("01 12 11 22 4E 20 0C 03 E8 00 64") << HexBytes("01 92 03");
        QTest::newRow("long private frame with unknown word")
            << FrameOf("01 12 A5 5A 12 34 11 27 10 00 27 10 00 27 10 00") << HexBytes("01 92 03");
        QTest::newRow("short frame with a valid CRC")
            << FrameOf("01 05 00") << HexBytes("01 85 03");
    }
    void exceptionsForWhatItDoesNotServe() {
        QFETCH(std::vector<uint8_t>, request);
        QFETCH(std::vector<uint8_t>, exception);
        CSimulatedDevice device;
        QCOMPARE(device.Handle(request), WithCrc(exception));
    }

    void silentToOtherAddressesAndBadFrames_data() {
        QTest::addColumn<std::vector<uint8_t>>("request");
        QTest::newRow("another address") << VectorFrame("request", 5, "phase currents");
        QTest::newRow("broadcast address") << FrameOf("00 03 01 06 00 03");
        QTest::newRow("bad CRC") << HexBytes("01 03 01 06 00 03 E4 37");
        QTest::newRow("empty") << std::vector<uint8_t>{};
        QTest::newRow("three bytes") << HexBytes("01 03 01");
    }
    void silentToOtherAddressesAndBadFrames() {
        QFETCH(std::vector<uint8_t>, request);
        CSimulatedDevice device;
        QVERIFY(device.Handle(request).empty());
    }

    // Private frames store the coefficients that the read-back at 0x0148 returns.
    void privateFramesStoreCoefficients_data() {
        QTest::addColumn<std::vector<uint8_t>>("frame");
        QTest::addColumn<std::vector<uint8_t>>("stored");  // registers 0x0148 to 0x014E
        QTest::addColumn<std::vector<uint16_t>>("voltageA");
        QTest::addColumn<std::vector<uint8_t>>("voltageB");
        const std::vector<uint16_t> unitA{10000, 10000, 10000};
        const std::vector<uint8_t> zeroB{0, 0, 0};
        QTest::newRow("PWM output")
            << HexBytes("01 12 5A A5 4E 20 0C 07 D0 00 C8 52 DD")
            << HexBytes("07 D0 00 C8 27 10 27 10 27 10 00 00 00 00") << unitA << zeroB;
        QTest::newRow("current calibration")
            << HexBytes("01 12 A5 5A 27 10 11 26 AC 03 26 DE 01 27 41 02 C4 49")
            << HexBytes("03 E8 00 64 26 AC 26 DE 27 41 03 01 02 00") << unitA << zeroB;
        QTest::newRow("voltage calibration")
            << HexBytes("01 12 A5 5A 00 DC 11 26 AC 03 26 DE 01 27 41 02 73 6E")
            << HexBytes("03 E8 00 64 27 10 27 10 27 10 00 00 00 00")
            << std::vector<uint16_t>{0x26AC, 0x26DE, 0x2741} << std::vector<uint8_t>{3, 1, 2};
    }
    void privateFramesStoreCoefficients() {
        QFETCH(std::vector<uint8_t>, frame);
        QFETCH(std::vector<uint8_t>, stored);
        QFETCH(std::vector<uint16_t>, voltageA);
        QFETCH(std::vector<uint8_t>, voltageB);
        CSimulatedDevice device;
        QVERIFY(CrcHolds(device.Handle(frame)));
        QCOMPARE(Bytes(Read(device, 1, 0x03, 0x0148, 7), 3, 17), stored);
        const std::array<uint16_t, 3> a = device.VoltageA();
        const std::array<uint8_t, 3> b = device.VoltageB();
        QCOMPARE(std::vector<uint16_t>(a.begin(), a.end()), voltageA);
        QCOMPARE(std::vector<uint8_t>(b.begin(), b.end()), voltageB);
    }

    // The reset frames put a = 1 (10000) and b = 0 back for current or voltage.
    void resetFrames() {
        CSimulatedDevice device;
        device.Handle(HexBytes("01 12 A5 5A 27 10 11 26 AC 03 26 DE 01 27 41 02 C4 49"));
        device.Handle(HexBytes("01 12 A5 5A 00 DC 11 26 AC 03 26 DE 01 27 41 02 73 6E"));
        device.Handle(HexBytes("01 12 A5 5A 27 10 11 27 10 00 27 10 00 27 10 00 24 54"));
        QCOMPARE(Bytes(Read(device, 1, 0x03, 0x014A, 5), 3, 12),
                 HexBytes("27 10 27 10 27 10 00 00 00"));
        QCOMPARE(device.VoltageA()[2], uint16_t{0x2741});
        device.Handle(HexBytes("01 12 A5 5A 00 DC 11 27 10 00 27 10 00 27 10 00 93 73"));
        QCOMPARE(device.VoltageA(), (std::array<uint16_t, 3>{10000, 10000, 10000}));
        QCOMPARE(device.VoltageB(), (std::array<uint8_t, 3>{0, 0, 0}));
    }

    // Live values move a little around their base, the same way for the same seed.
    void liveMotion() {
        CSimulatedDevice first(42);
        CSimulatedDevice second(42);
        CSimulatedDevice other(43);
        bool moved = false;
        bool differs = false;
        for (int k = 0; k < 20; ++k) {
            const std::vector<uint8_t> a = Read(first, 1, 0x03, 0x0103, 6);
            QCOMPARE(Read(second, 1, 0x03, 0x0103, 6), a);
            differs = differs || Read(other, 1, 0x03, 0x0103, 6) != a;
            const int voltage = a[3] << 8 | a[4];
            const int current = a[9] << 8 | a[10];
            QVERIFY(std::abs(voltage - 3800) <= 3);
            QVERIFY(std::abs(current - 302) <= 3);
            moved = moved || voltage != 3800;
        }
        QVERIFY(moved);
        QVERIFY(differs);

        first.SetLiveMotion(false);
        first.SetRegister(0x0106, 500);
        QCOMPARE(Bytes(Read(first, 1, 0x03, 0x0106, 1), 3, 5), HexBytes("01 F4"));
        QCOMPARE(Bytes(Read(first, 1, 0x03, 0x0106, 1), 3, 5), HexBytes("01 F4"));
        // Reads that do not touch the live block leave it still.
        second.SetRegister(0x0106, 700);
        Read(second, 1, 0x03, 0x0150, 16);
        QCOMPARE(second.Register(0x0106), uint16_t{700});
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
        QTest::newRow("one read, whole") << read << 100 << 1;
        QTest::newRow("one read, byte by byte") << read << 1 << 1;
        QTest::newRow("noise ahead") << Concat({HexBytes("FF 00 01 03"), read}) << 3 << 1;
        QTest::newRow("register write in pieces") << write << 4 << 1;
        QTest::newRow("long private frame byte by byte") << calibration << 1 << 1;
        QTest::newRow("short private frame") << pwm << 5 << 1;
        QTest::newRow("four frames back to back")
            << Concat({read, write, calibration, pwm}) << 7 << 4;
        QTest::newRow("frame for another device, then ours")
            << Concat({VectorFrame("request", 5, "phase currents"), read}) << 6 << 1;
        QTest::newRow("truncated frame, then a whole one")
            << Concat({Bytes(read, 0, 5), read}) << 2 << 1;
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
            for (const std::vector<uint8_t>& reply : device.Feed(Bytes(stream, from, to))) {
                QVERIFY(CrcHolds(reply));
                ++got;
            }
        }
        QCOMPARE(got, replies);
    }
};

}  // namespace mp::test

Q_DECLARE_METATYPE(std::vector<uint8_t>)
Q_DECLARE_METATYPE(std::vector<uint16_t>)

QTEST_GUILESS_MAIN(mp::test::TestSimulatedDevice)
#include "TestSimulatedDevice.moc"
