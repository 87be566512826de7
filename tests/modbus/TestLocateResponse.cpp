// Finding the response among the received bytes: the first frame with the slave address,
// the function code, the expected length and a valid CRC.

#include <QtTest>

#include "modbus/LocateResponse.h"
#include "support/FrameTools.h"

namespace mp::test {
namespace {

const std::vector<uint8_t> kStatus = HexBytes("01 03 02 00 80 B9 E4");  // 7 bytes
const std::vector<uint8_t> kCurrents = VectorFrame("response", 1, "phase currents 1234, 0, 65535");
const std::vector<uint8_t> kException =
    VectorFrame("response", 1, "exception: illegal data address on function 03");

std::vector<uint8_t> Corrupted(std::vector<uint8_t> frame, size_t at) {
    frame[at] ^= 0x10;
    return frame;
}

}  // namespace

class TestLocateResponse : public QObject {
    Q_OBJECT
private slots:
    void rules_data() {
        QTest::addColumn<std::vector<uint8_t>>("buffer");
        QTest::addColumn<int>("count");  // -1: the whole buffer
        QTest::addColumn<int>("function");
        QTest::addColumn<int>("address");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("position");

        QTest::newRow("frame alone, n equal to L") << kStatus << -1 << 3 << 1 << 7 << 0;
        QTest::newRow("n one less than L") << kStatus << 6 << 3 << 1 << 7 << -1;
        QTest::newRow("n equal to L examines position 0 only")
            << Concat({{0x00}, kStatus}) << 7 << 3 << 1 << 7 << -1;
        QTest::newRow("two stray bytes ahead")
            << Concat({{0xFF, 0x01}, kStatus}) << -1 << 3 << 1 << 7 << 2;
        QTest::newRow("frame ends exactly at n")
            << Concat({{0x11, 0x22, 0x33}, kCurrents}) << 14 << 3 << 1 << 11 << 3;
        QTest::newRow("frame beyond n is not seen")
            << Concat({{0x11, 0x22, 0x33}, kCurrents}) << 13 << 3 << 1 << 11 << -1;
        QTest::newRow("corrupted copy, then a good one")
            << Concat({Corrupted(kCurrents, 5), kCurrents}) << -1 << 3 << 1 << 11 << 11;
        QTest::newRow("bad CRC only") << Corrupted(kCurrents, 10) << -1 << 3 << 1 << 11 << -1;
        QTest::newRow("two valid frames: the first wins")
            << Concat({kStatus, {0x00}, kStatus}) << -1 << 3 << 1 << 7 << 0;
        QTest::newRow("another slave address") << kStatus << -1 << 3 << 2 << 7 << -1;
        QTest::newRow("another function code") << kStatus << -1 << 4 << 1 << 7 << -1;
        QTest::newRow("exception response") << kException << -1 << 3 << 1 << 5 << -1;
        QTest::newRow("exception response, then the frame")
            << Concat({kException, kStatus}) << -1 << 3 << 1 << 7 << 5;
        QTest::newRow("other length expected") << kStatus << -1 << 3 << 1 << 11 << -1;
        QTest::newRow("shorter length expected than the frame")
            << kCurrents << -1 << 3 << 1 << 7 << -1;
        // A read's reply carries the byte count its length gives.
        QTest::newRow("byte count other than the length's")
            << FrameOf("01 03 07 00 80") << -1 << 3 << 1 << 7 << -1;
        QTest::newRow("function 01 counting 2 bytes")
            << FrameOf("01 01 02 05") << -1 << 1 << 1 << 6 << -1;
        QTest::newRow("miscounted frame, then the right one")
            << Concat({FrameOf("01 03 04 00 80"), kStatus}) << -1 << 3 << 1 << 7 << 7;
        QTest::newRow("write reply: no byte count to check")
            << FrameOf("01 10 54 53 00 01") << -1 << 0x10 << 1 << 8 << 0;
        QTest::newRow("address 247, function 02")
            << FrameOf("F7 02 01 FF") << -1 << 2 << 247 << 6 << 0;
        QTest::newRow("nothing received") << std::vector<uint8_t>{} << 0 << 3 << 1 << 7 << -1;
        QTest::newRow("negative count") << kStatus << -3 << 3 << 1 << 7 << -1;
        QTest::newRow("length 0: nothing past the bytes read")
            << kStatus << -1 << 3 << 1 << 0 << -1;
        QTest::newRow("negative length") << kStatus << -1 << 3 << 1 << -32768 << -1;
        QTest::newRow("address and function bytes inside the data")
            << Concat({{0x01, 0x03, 0x01, 0x03}, kStatus}) << -1 << 3 << 1 << 7 << 4;
    }
    void rules() {
        QFETCH(std::vector<uint8_t>, buffer);
        QFETCH(int, count);
        QFETCH(int, function);
        QFETCH(int, address);
        QFETCH(int, length);
        QFETCH(int, position);
        // Copied into a buffer exactly as long as the count, so a look past it is caught by
        // the sanitizers.
        const int n = count == -1 ? static_cast<int>(buffer.size()) : count;
        std::vector<uint8_t> received(buffer.begin(),
                                      buffer.begin() + std::clamp<int>(n, 0, buffer.size()));
        QCOMPARE(
            LocateResponse(received.data(), static_cast<int16_t>(n), static_cast<uint8_t>(function),
                           static_cast<uint8_t>(address), static_cast<int16_t>(length)),
            static_cast<int16_t>(position));
    }
};

}  // namespace mp::test

QTEST_GUILESS_MAIN(mp::test::TestLocateResponse)
#include "TestLocateResponse.moc"
