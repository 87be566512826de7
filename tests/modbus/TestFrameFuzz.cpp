// Bounded random streams, seeded: whatever bytes come off the line, LocateResponse agrees
// with a plain reading of its rules, the read sequence and the register read keep inside
// RxBuffer, and the simulated device answers only with well-formed frames.

#include <QtTest>
#include <random>

#include "modbus/BitwiseCrc.h"
#include "modbus/LocateResponse.h"
#include "modbus/ModbusTransaction.h"
#include "modbus/RequestBuilder.h"
#include "simulator/SimulatedDevice.h"
#include "simulator/SimulatedPort.h"
#include "simulator/VirtualClock.h"

namespace mp::test {
namespace {

constexpr uint32_t kSeed = 0x4D503231;
constexpr int kLocateRounds = 12000;
constexpr int kReadRounds = 4000;
constexpr int kDeviceRounds = 4000;

// The rules read plainly: the first position whose bytes start with the address and
// function and end with a CRC that holds over the frame.
int ReferenceLocate(const std::vector<uint8_t>& bytes, int n, uint8_t function, uint8_t address,
                    int length) {
    for (int p = 0; p + length <= n; ++p) {
        if (bytes[p] == address && bytes[p + 1] == function &&
            CrcHolds(std::vector<uint8_t>(bytes.begin() + p, bytes.begin() + p + length))) {
            return p;
        }
    }
    return -1;
}

class CStreamMaker {
public:
    explicit CStreamMaker(uint32_t seed) : Random_(seed) {}

    int Between(int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(Random_);
    }
    uint8_t Byte() { return static_cast<uint8_t>(Between(0, 255)); }

    // A response-shaped frame: the address and function given or random, `length` bytes,
    // valid CRC, sometimes spoilt.
    std::vector<uint8_t> Frame(uint8_t address, uint8_t function, int length) {
        std::vector<uint8_t> body{address, function};
        while (static_cast<int>(body.size()) < length - 2) {
            body.push_back(Byte());
        }
        std::vector<uint8_t> frame = WithCrc(body);
        if (Between(0, 4) == 0) {
            frame[static_cast<size_t>(Between(0, length - 1))] ^=
                static_cast<uint8_t>(Between(1, 255));
        }
        return frame;
    }

    // Up to `limit` bytes: noise with frames of the given shape (and of other shapes) in it.
    std::vector<uint8_t> Stream(int limit, uint8_t address, uint8_t function, int length) {
        std::vector<uint8_t> bytes;
        const int target = Between(0, limit);
        while (static_cast<int>(bytes.size()) < target) {
            switch (Between(0, 5)) {
                case 0: {
                    const std::vector<uint8_t> f = Frame(address, function, length);
                    bytes.insert(bytes.end(), f.begin(), f.end());
                    break;
                }
                case 1: {
                    const uint8_t other =
                        Between(0, 1) ? static_cast<uint8_t>(function | 0x80) : Byte();
                    const std::vector<uint8_t> f =
                        Frame(Between(0, 1) ? address : Byte(), other, Between(4, 40));
                    bytes.insert(bytes.end(), f.begin(), f.end());
                    break;
                }
                default:
                    for (int k = Between(1, 12); k > 0; --k) {
                        bytes.push_back(Between(0, 3) == 0 ? address : Byte());
                    }
            }
        }
        bytes.resize(static_cast<size_t>(std::min<int>(target, static_cast<int>(bytes.size()))));
        return bytes;
    }

private:
    std::mt19937 Random_;
};

// Puts the next stream into the port's input while the exchange waits.
class CInjectingClock : public IClock {
public:
    uint32_t TickCount() override { return Inner.TickCount(); }
    void Sleep(uint32_t ms) override {
        if (Port != nullptr) {
            Port->InjectInput(Next);
        }
        Inner.Sleep(ms);
    }

    CVirtualClock Inner;
    CSimulatedPort* Port = nullptr;
    std::vector<uint8_t> Next;
};

}  // namespace

class TestFrameFuzz : public QObject {
    Q_OBJECT
private slots:
    void locateAgreesWithItsRules() {
        CStreamMaker maker(kSeed);
        int found = 0;
        for (int round = 0; round < kLocateRounds; ++round) {
            const uint8_t address =
                static_cast<uint8_t>(maker.Between(0, 3) ? 1 : maker.Between(0, 255));
            const uint8_t function = static_cast<uint8_t>(maker.Between(1, 3));
            const int length = maker.Between(4, 40);
            const std::vector<uint8_t> bytes = maker.Stream(300, address, function, length);
            const int size = static_cast<int>(bytes.size());
            const int n = maker.Between(0, 9) == 0 ? maker.Between(-3, size) : size;
            const int16_t p = LocateResponse(bytes.data(), static_cast<int16_t>(n), function,
                                             address, static_cast<int16_t>(length));
            const int expected = ReferenceLocate(bytes, std::max(n, 0), function, address, length);
            if (p != expected) {
                QFAIL(qPrintable(QString("round %1: located %2, rules give %3")
                                     .arg(round)
                                     .arg(p)
                                     .arg(expected)));
            }
            found += p >= 0 ? 1 : 0;
        }
        // The streams must exercise both outcomes.
        QVERIFY(found > kLocateRounds / 10);
        QVERIFY(found < kLocateRounds - kLocateRounds / 10);

        // Lengths no response can have never match and never look outside the bytes.
        const std::vector<uint8_t> frame = FrameOf("01 03 02 00 80");
        for (int length : {-32768, -1, 0, 1, 2, 3}) {
            std::vector<uint8_t> exact(frame.begin(), frame.end());
            QCOMPARE(LocateResponse(exact.data(), static_cast<int16_t>(exact.size()), 0x03, 0x01,
                                    static_cast<int16_t>(length)),
                     int16_t{-1});
        }
    }

    void readsKeepInsideTheBuffer() {
        CStreamMaker maker(kSeed + 1);
        CSimulatedDevice device;
        CInjectingClock clock;
        CSimulatedPort port(device, clock);
        port.OpenPort({"COM1", 9600, kParityNone});
        SimFaults silent;
        silent.Silent = true;
        port.SetFaults(silent);
        clock.Port = &port;
        CModbusTransaction link(port, clock);

        for (int round = 0; round < kReadRounds; ++round) {
            const uint8_t address = static_cast<uint8_t>(maker.Between(1, 247));
            link.SetSlaveAddress(address);
            const int kind = maker.Between(0, 3);
            const uint8_t function = kind == 0 ? 0x01 : kind == 1 ? 0x02 : 0x03;
            const uint16_t quantity =
                function == 0x03 ? static_cast<uint16_t>(maker.Between(1, 20)) : 1;
            const int length = function == 0x03 ? 5 + 2 * quantity : 6;
            clock.Next = maker.Stream(420, address, function, length);
            const int taken = std::min<int>(static_cast<int>(clock.Next.size()), kRxCapacity);
            const int expected = ReferenceLocate(clock.Next, taken, function, address, length);

            if (kind == 3) {
                const bool located = link.ReadHoldingRegisters(0x0100, quantity);
                QCOMPARE(located, expected >= 0);
                if (located) {
                    const std::vector<uint8_t> frame(clock.Next.begin() + expected,
                                                     clock.Next.begin() + expected + length);
                    QCOMPARE(std::vector<uint8_t>(link.Rx().begin(), link.Rx().begin() + length),
                             frame);
                } else {
                    const int zeroed = std::max(taken, length);
                    for (int k = 0; k < zeroed; ++k) {
                        QCOMPARE(link.Rx()[k], uint8_t{0});
                    }
                }
            } else {
                const int16_t p = link.ReadSequence(function, 0x0000, quantity, 300);
                QCOMPARE(static_cast<int>(p), expected);
                QCOMPARE(static_cast<int>(link.ReceivedCount()), taken);
            }
        }
    }

    void deviceAnswersOnlyWellFormedFrames() {
        CStreamMaker maker(kSeed + 2);
        CSimulatedDevice device(7);
        int answered = 0;
        for (int round = 0; round < kDeviceRounds; ++round) {
            // Requests of every kind, for this device and others, in noise and in pieces.
            std::vector<uint8_t> line;
            for (int k = maker.Between(0, 4); k > 0; --k) {
                TxBuffer tx{};
                const uint8_t address = maker.Between(0, 2) ? device.Address() : maker.Byte();
                int16_t length = 0;
                uint8_t data[10];
                for (uint8_t& b : data) {
                    b = maker.Byte();
                }
                switch (maker.Between(0, 5)) {
                    case 0:
                        length =
                            BuildReadRequest(tx, address, static_cast<uint8_t>(maker.Between(0, 8)),
                                             static_cast<uint16_t>(maker.Between(0, 0x0220)),
                                             static_cast<uint16_t>(maker.Between(0, 130)));
                        break;
                    case 1:
                        length =
                            BuildWriteCoil(tx, address, static_cast<uint16_t>(maker.Between(0, 4)),
                                           maker.Between(0, 1) == 1);
                        break;
                    case 2:
                        length = BuildWriteRegisters(
                            tx, address, static_cast<uint16_t>(0x5450 + maker.Between(0, 0x20)),
                            data, static_cast<uint16_t>(maker.Between(1, 5)));
                        break;
                    case 3:
                        length = BuildPrivateShort(tx, address, 0x4E20, data);
                        break;
                    case 4:
                        length = BuildPrivateLong(tx, address,
                                                  maker.Between(0, 1) ? 0x2710 : 0x00DC, data);
                        break;
                    default:
                        for (int j = maker.Between(1, 20); j > 0; --j) {
                            line.push_back(maker.Byte());
                        }
                }
                line.insert(line.end(), tx.begin(), tx.begin() + length);
            }
            // Keep the device reachable: an address or baud change is put back.
            size_t from = 0;
            while (from < line.size()) {
                const size_t to =
                    std::min(line.size(), from + static_cast<size_t>(maker.Between(1, 24)));
                const uint8_t before = device.Address();
                for (const std::vector<uint8_t>& reply :
                     device.Feed(std::vector<uint8_t>(line.begin() + from, line.begin() + to))) {
                    QVERIFY(CrcHolds(reply));
                    // An address change takes effect after its own reply.
                    QVERIFY(reply[0] == before || reply[0] == device.Address());
                    ++answered;
                }
                from = to;
            }
            device.SetAddress(1);
            device.SetBaudCode(3);

            // Single frames straight to the handler, any length, some with a valid CRC.
            std::vector<uint8_t> frame;
            for (int k = maker.Between(0, 30); k > 0; --k) {
                frame.push_back(maker.Byte());
            }
            if (!frame.empty()) {
                frame[0] = device.Address();
            }
            if (frame.size() >= 2 && maker.Between(0, 1) == 1) {
                frame = WithCrc(std::vector<uint8_t>(frame.begin(), frame.end() - 2));
            }
            const std::vector<uint8_t> reply = device.Handle(frame);
            QVERIFY(reply.empty() || CrcHolds(reply));
        }
        QVERIFY(answered > kDeviceRounds / 2);
    }
};

}  // namespace mp::test

QTEST_GUILESS_MAIN(mp::test::TestFrameFuzz)
#include "TestFrameFuzz.moc"
