// Request layouts, one builder per function code, against independently computed frames.

#include <QtTest>
#include <functional>

#include "modbus/RequestBuilder.h"
#include "support/FrameTools.h"

namespace mp::test {
// Builds one request into the buffer and returns its length.
using Builder = std::function<int16_t(TxBuffer&)>;
}  // namespace mp::test

// Declared before the first use in a data table (std::vector<uint8_t> is known to Qt already).
Q_DECLARE_METATYPE(mp::test::Builder)

namespace mp::test {
namespace {

struct ReadKind {
    const char* What;
    uint8_t Function;
    uint16_t Start;
    uint16_t Quantity;
};

constexpr ReadKind kReads[] = {
    {"phase currents", 0x03, 0x0106, 3},       {"phase voltages", 0x03, 0x0103, 3},
    {"digital inputs", 0x02, 0x0000, 1},       {"output states", 0x01, 0x0000, 1},
    {"status register", 0x03, 0x011B, 1},      {"settings block A", 0x03, 0x0150, 16},
    {"settings block B", 0x03, 0x0154, 4},     {"settings block C", 0x03, 0x0160, 3},
    {"start mode read-back", 0x03, 0x0155, 1}, {"event count", 0x03, 0x0124, 1},
    {"event codes 1-2", 0x03, 0x0120, 1},      {"event codes 1-8", 0x03, 0x0120, 4},
    {"stored coefficients", 0x03, 0x0148, 7},  {"device address", 0x03, 0x0150, 1},
    {"device baud code", 0x03, 0x0151, 1},
};

struct CoilKind {
    const char* What;
    uint16_t Coil;
    bool On;
};

constexpr CoilKind kCoils[] = {
    {"close output A", 0, true}, {"open output A", 0, false}, {"close output B", 1, true},
    {"open output B", 1, false}, {"reset output", 2, false},
};

constexpr uint8_t kCalibrationData[9] = {0x26, 0xAC, 0x03, 0x26, 0xDE, 0x01, 0x27, 0x41, 0x02};
constexpr uint8_t kResetData[9] = {0x27, 0x10, 0x00, 0x27, 0x10, 0x00, 0x27, 0x10, 0x00};

}  // namespace

class TestRequestBuilder : public QObject {
    Q_OBJECT
private slots:
    void layouts_data() {
        QTest::addColumn<Builder>("build");
        QTest::addColumn<std::vector<uint8_t>>("expected");

        for (int address : {1, 5, 12, 247}) {
            const auto a = static_cast<uint8_t>(address);
            for (const ReadKind& r : kReads) {
                QTest::addRow("%s at %d", r.What, address) << Builder([a, r](TxBuffer& tx) {
                    return BuildReadRequest(tx, a, r.Function, r.Start, r.Quantity);
                }) << VectorFrame("request", address, r.What);
            }
            for (const CoilKind& c : kCoils) {
                QTest::addRow("%s at %d", c.What, address)
                    << Builder([a, c](TxBuffer& tx) { return BuildWriteCoil(tx, a, c.Coil, c.On); })
                    << VectorFrame("request", address, c.What);
            }
        }

        QTest::newRow("address and baud code, two registers") << Builder([](TxBuffer& tx) {
            const uint8_t data[] = {0x00, 0x0C, 0x00, 0x04};
            return BuildWriteRegisters(tx, 5, 0x5450, data, 2);
        }) << HexBytes("05 10 54 50 00 02 04 00 0C 00 04 EC A0");
        QTest::newRow("start mode, one register") << Builder([](TxBuffer& tx) {
            const uint8_t data[] = {0x05, 0x00};
            return BuildWriteRegisters(tx, 1, 0x5455, data, 1);
        }) << HexBytes("01 10 54 55 00 01 02 05 00 BC C0");
        QTest::newRow("five registers: the longest request, 19 bytes") << Builder([](TxBuffer& tx) {
            const uint8_t data[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
            return BuildWriteRegisters(tx, 247, 0x545A, data, 5);
        }) << FrameOf("F7 10 54 5A 00 05 0A 01 02 03 04 05 06 07 08 09 0A");

        QTest::newRow("PWM output, short private frame") << Builder([](TxBuffer& tx) {
            const uint8_t data[] = {0x03, 0xE8, 0x00, 0x64};
            return BuildPrivateShort(tx, 1, 0x4E20, data);
        }) << HexBytes("01 12 5A A5 4E 20 0C 03 E8 00 64 D2 5D");
        QTest::newRow("current calibration, long private frame") << Builder([](TxBuffer& tx) {
            return BuildPrivateLong(tx, 1, 0x2710, kCalibrationData);
        }) << HexBytes("01 12 A5 5A 27 10 11 26 AC 03 26 DE 01 27 41 02 C4 49");
        QTest::newRow("voltage reset")
            << Builder([](TxBuffer& tx) { return BuildPrivateLong(tx, 1, 0x00DC, kResetData); })
            << HexBytes("01 12 A5 5A 00 DC 11 27 10 00 27 10 00 27 10 00 93 73");
    }
    // The frame is built from byte 0 and its length returned; the bytes after it keep what
    // an earlier, longer request left there.
    void layouts() {
        QFETCH(Builder, build);
        QFETCH(std::vector<uint8_t>, expected);
        TxBuffer tx;
        tx.fill(0xEE);
        const int16_t length = build(tx);
        QCOMPARE(static_cast<size_t>(length), expected.size());
        QCOMPARE(std::vector<uint8_t>(tx.begin(), tx.begin() + length), expected);
        for (size_t k = expected.size(); k < tx.size(); ++k) {
            QCOMPARE(tx[k], uint8_t{0xEE});
        }
    }

    void appendCrcStaysInsideTheBuffer() {
        TxBuffer tx{};
        QCOMPARE(AppendCrc(tx, 6), int16_t{8});
        QCOMPARE(AppendCrc(tx, kTxCapacity), static_cast<int16_t>(kTxCapacity));
        QCOMPARE(AppendCrc(tx, -4), int16_t{2});
    }
};

}  // namespace mp::test

QTEST_GUILESS_MAIN(mp::test::TestRequestBuilder)
#include "TestRequestBuilder.moc"
