// Bounded random streams, seeded: whatever bytes come off the line and whatever count the port
// gives for them, LocateResponse, the read sequence and the register read agree with a plain
// reading of the rules and keep inside RxBuffer; the live reads decode the frame the rules
// locate and nothing else; and the simulated device, fed requests and noise in pieces,
// answers only with well-formed frames.

#include <QtTest>
#include <random>

#include "modbus/LocateResponse.h"
#include "monitoring/LiveDecoders.h"
#include "monitoring/LiveReads.h"
#include "support/FrameTools.h"
#include "support/ScriptedPort.h"

namespace mp::test {
namespace {

constexpr int kRounds = 8000;

// The first position whose bytes start with the address, the function and the byte count
// of a read's reply and end with a CRC that holds over the frame.
int ReferenceLocate(const std::vector<uint8_t>& bytes, int n, uint8_t function, uint8_t address,
                    int length) {
    for (int p = 0; p + length <= n; ++p) {
        if (bytes[p] == address && bytes[p + 1] == function && bytes[p + 2] == length - 5 &&
            CrcHolds(Slice(bytes, p, p + length))) {
            return p;
        }
    }
    return -1;
}

// A read takes no reply among bytes that hold a whole frame of the device answering another
// request: a read's reply of another length or function (by its byte count), a write's echo
// (0x05, 0x06, 0x0F, 0x10: 8 bytes) or an exception to another function, each with a CRC
// that holds. Otherwise the reply is the first one located.
int ReferenceReply(const std::vector<uint8_t>& bytes, int n, uint8_t function, uint8_t address,
                   int length) {
    for (int p = 0; p + 5 <= n; ++p) {
        if (bytes[p] != address) {
            continue;
        }
        const uint8_t f = bytes[p + 1];
        const uint8_t base = f & 0x7F;
        const bool read = base >= 1 && base <= 4;
        const bool write = base == 5 || base == 6 || base == 15 || base == 16;
        int frame = 0;
        if (f & 0x80) {
            frame = (read || write) && base != function ? 5 : 0;
        } else if (read) {
            frame = 5 + bytes[p + 2];
            if (f == function && frame == length) {
                frame = 0;  // the reply's own shape
            }
        } else if (write) {
            frame = 8;
        }
        if (frame > 0 && p + frame <= n && CrcHolds(Slice(bytes, p, p + frame))) {
            return -1;
        }
    }
    return ReferenceLocate(bytes, n, function, address, length);
}

class CStreamMaker {
public:
    explicit CStreamMaker(uint32_t seed) : Random_(seed) {}

    int Between(int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(Random_);
    }
    uint8_t Byte() { return static_cast<uint8_t>(Between(0, 255)); }
    std::vector<uint8_t> Bytes(int count) {
        std::vector<uint8_t> bytes;
        while (static_cast<int>(bytes.size()) < count) {
            bytes.push_back(Byte());
        }
        return bytes;
    }

    // `length` bytes (at least 4) from the address and function, mostly with the byte count
    // of a read's reply, the CRC valid or spoilt.
    std::vector<uint8_t> Frame(uint8_t address, uint8_t function, int length) {
        std::vector<uint8_t> body = Bytes(length - 4);
        if (length > 4 && Between(0, 3) != 0) {
            body[0] = static_cast<uint8_t>(length - 5);
        }
        std::vector<uint8_t> frame = WithCrc(Concat({{address, function}, body}));
        if (Between(0, 4) == 0) {
            frame[static_cast<size_t>(Between(0, length - 1))] ^=
                static_cast<uint8_t>(Between(1, 255));
        }
        return frame;
    }

    // Up to `limit` bytes: frames of the shape looked for, exception and other frames, and
    // noise rich in the address byte.
    std::vector<uint8_t> Stream(int limit, uint8_t address, uint8_t function, int length) {
        std::vector<uint8_t> bytes;
        const auto target = static_cast<size_t>(Between(0, limit));
        while (bytes.size() < target) {
            const int kind = Between(0, 5);
            if (kind == 0) {
                bytes = Concat({bytes, Frame(address, function, length)});
            } else if (kind == 1) {
                const auto other = Between(0, 1) ? static_cast<uint8_t>(function | 0x80) : Byte();
                bytes =
                    Concat({bytes, Frame(Between(0, 1) ? address : Byte(), other, Between(4, 40))});
            } else {
                for (int k = Between(1, 12); k > 0; --k) {
                    bytes.push_back(Between(0, 3) == 0 ? address : Byte());
                }
            }
        }
        bytes.resize(target);
        return bytes;
    }

    // A request of a kind the device knows, random in its fields, or noise.
    std::vector<uint8_t> Request(uint8_t address) {
        switch (Between(0, 4)) {
            case 0:  // reads, coil writes and unknown functions: 8 bytes
                return WithCrc({address, static_cast<uint8_t>(Between(0, 8)),
                                static_cast<uint8_t>(Between(0, 2)), Byte(), 0,
                                static_cast<uint8_t>(Between(0, 130))});
            case 1:
                return WriteFrame(address, static_cast<uint16_t>(0x5450 + Between(0, 0x20)),
                                  Bytes(2 * Between(1, 5)));
            case 2:
                return WithCrc(Concat({{address, 0x12, 0x5A, 0xA5, 0x4E, 0x20, 0x0C}, Bytes(4)}));
            case 3:
                return WithCrc(Concat({{address, 0x12, 0xA5, 0x5A},
                                       Between(0, 1) ? HexBytes("27 10 11") : HexBytes("00 DC 11"),
                                       Bytes(9)}));
            default:
                return Bytes(Between(1, 20));
        }
    }

private:
    std::mt19937 Random_;
};

}  // namespace

class TestFrameFuzz : public QObject {
    Q_OBJECT
private slots:
    void readsAgreeWithTheRules() {
        CStreamMaker maker(0x4D503231);
        CScriptedPort port;
        CVirtualClock clock;
        CModbusTransaction link(port, clock);
        int found = 0;
        for (int round = 0; round < kRounds; ++round) {
            const auto address = static_cast<uint8_t>(maker.Between(0, 3) ? 1 : maker.Byte());
            link.SetSlaveAddress(address);
            const int kind = maker.Between(0, 3);
            const auto function = static_cast<uint8_t>(std::min(kind + 1, 3));
            const auto quantity = static_cast<uint16_t>(function == 3 ? maker.Between(1, 20) : 1);
            const int length = CModbusTransaction::ExpectedLength(function, quantity);
            port.Bytes = maker.Stream(420, address, function, length);
            const int size = static_cast<int>(port.Bytes.size());

            // LocateResponse alone, over all bytes or fewer (the count may be negative).
            const int n = maker.Between(0, 9) == 0 ? maker.Between(-3, size) : size;
            QCOMPARE(
                static_cast<int>(LocateResponse(port.Bytes.data(), static_cast<int16_t>(n),
                                                function, address, static_cast<int16_t>(length))),
                ReferenceLocate(port.Bytes, std::max(n, 0), function, address, length));

            // The port's count may be below, equal to or beyond the bytes it hands over, or
            // negative: only the counted bytes that fit are copied.
            const int pick = maker.Between(0, 5);
            port.Count = static_cast<int16_t>(pick == 0   ? maker.Between(-3, size)
                                              : pick == 1 ? maker.Between(size, 32767)
                                                          : size);
            const int taken = std::clamp<int>(port.Count, 0, std::min(size, kRxCapacity));
            const int expected = ReferenceReply(port.Bytes, taken, function, address, length);
            found += expected >= 0 ? 1 : 0;
            if (kind == 3) {
                const bool located = link.ReadHoldingRegisters(0x0100, quantity);
                QCOMPARE(located, expected >= 0);
                const std::vector<uint8_t> front(link.Rx().begin(),
                                                 link.Rx().begin() + std::max(taken, length));
                QCOMPARE(Slice(front, 0, length),
                         located ? Slice(port.Bytes, expected, expected + length)
                                 : std::vector<uint8_t>(length, 0));
                if (!located) {
                    QCOMPARE(front, std::vector<uint8_t>(front.size(), 0));
                }
            } else {
                QCOMPARE(static_cast<int>(link.ReadSequence(function, 0x0000, quantity, 300)),
                         expected);
                QCOMPARE(static_cast<int>(link.ReceivedCount()), taken);
            }
        }
        // The streams exercise both outcomes.
        QVERIFY(found > kRounds / 10);
        QVERIFY(found < kRounds - kRounds / 10);
    }

    // Each live read over a random stream: when the rules locate its reply, the fields hold
    // that reply's values, decoded, and are fresh; when not, they keep what they held and are
    // marked stale.
    void liveReadsDecodeOnlyTheirReply() {
        CStreamMaker maker(0x4D503235);
        int decoded = 0;
        for (int round = 0; round < kRounds; ++round) {
            CScriptedPort port;
            CVirtualClock clock;
            CModbusTransaction link(port, clock);
            CImmediateWindow window;
            CDeviceContext ctx(link, window, window);
            const int kind = maker.Between(0, 4);  // currents, voltages, inputs, outputs, status
            const uint8_t function = kind == 2 ? 0x02 : kind == 3 ? 0x01 : 0x03;
            const int length = kind < 2 ? 11 : kind == 4 ? 7 : 6;
            port.Bytes = maker.Stream(120, 1, function, length);
            port.Count = static_cast<int16_t>(port.Bytes.size());
            const int p = ReferenceReply(port.Bytes, port.Count, function, 1, length);

            ProtectionSettings settings;
            settings.CtRatio = std::to_string(maker.Between(0, 5000));
            LiveValues live;
            live.Currents.fill("old");
            live.Voltages.fill("old");
            const LiveValues before = live;
            LiveValues expected = live;
            const auto word = [&](int k) {
                return static_cast<uint16_t>(port.Bytes[p + 3 + 2 * k] << 8 |
                                             port.Bytes[p + 4 + 2 * k]);
            };
            LiveGroup group = LiveGroup::Currents;
            switch (kind) {
                case 0:
                    ReadPhaseCurrents(ctx, &settings, &live);
                    if (p >= 0) {
                        DecodePhaseCurrents(expected, settings.CtRatio,
                                            {word(0), word(1), word(2)});
                    }
                    break;
                case 1:
                    group = LiveGroup::Voltages;
                    ReadPhaseVoltages(ctx, &live);
                    if (p >= 0) {
                        DecodePhaseVoltages(expected, {word(0), word(1), word(2)});
                    }
                    break;
                case 2:
                    group = LiveGroup::Inputs;
                    ReadDigitalInputs(ctx, &live);
                    if (p >= 0) {
                        DecodeDigitalInputs(expected, port.Bytes[p + 3]);
                    }
                    break;
                case 3:
                    group = LiveGroup::Outputs;
                    ReadOutputStates(ctx, &live);
                    if (p >= 0) {
                        DecodeOutputStates(expected, port.Bytes[p + 3]);
                    }
                    break;
                default:
                    group = LiveGroup::StatusLamps;
                    ReadStatusLamps(ctx, &live);
                    if (p >= 0) {
                        DecodeStatusLamps(expected, port.Bytes[p + 4]);
                    }
                    break;
            }
            QVERIFY(live.Currents == expected.Currents && live.Voltages == expected.Voltages);
            QVERIFY(live.Inputs == expected.Inputs && live.Outputs == expected.Outputs);
            QVERIFY(live.OutputChecks == expected.OutputChecks &&
                    live.StatusLamps == expected.StatusLamps);
            QCOMPARE(live.Freshness.Of(group).Stale, p < 0);
            QCOMPARE(window.Shows, p < 0 ? 0 : 1);
            decoded += p >= 0 ? 1 : 0;
            if (p < 0) {
                QVERIFY(live.Currents == before.Currents && live.Voltages == before.Voltages);
            }
        }
        QVERIFY(decoded > kRounds / 10);
        QVERIFY(decoded < kRounds - kRounds / 10);
    }

    void deviceAnswersOnlyWellFormedFrames() {
        CStreamMaker maker(0x4D503233);
        CSimulatedDevice device(7);
        int answered = 0;
        for (int round = 0; round < kRounds; ++round) {
            // Requests of every kind, for this device and others, in noise and in pieces.
            std::vector<uint8_t> line;
            for (int k = maker.Between(0, 4); k > 0; --k) {
                line = Concat(
                    {line, maker.Request(maker.Between(0, 2) ? device.Address() : maker.Byte())});
            }
            for (size_t from = 0, to = 0; from < line.size(); from = to) {
                to = std::min(line.size(), from + static_cast<size_t>(maker.Between(1, 24)));
                const uint8_t before = device.Address();
                for (const std::vector<uint8_t>& reply : device.Feed(Slice(line, from, to))) {
                    QVERIFY(CrcHolds(reply));
                    // An address change takes effect after its own reply.
                    QVERIFY(reply[0] == before || reply[0] == device.Address());
                    ++answered;
                }
            }
            // Keep the device reachable: an address or baud change is put back.
            device.SetAddress(1);
            device.SetBaudCode(3);

            // Single frames straight to the handler, any length, some with a valid CRC.
            std::vector<uint8_t> frame = Concat({{1}, maker.Bytes(maker.Between(0, 29))});
            if (frame.size() >= 2 && maker.Between(0, 1) == 1) {
                frame = WithCrc(Slice(frame, 0, frame.size() - 2));
            }
            const std::vector<uint8_t> reply = device.Handle(frame);
            QVERIFY(reply.empty() || CrcHolds(reply));
        }
        QVERIFY(answered > kRounds / 2);
    }
};

}  // namespace mp::test

QTEST_GUILESS_MAIN(mp::test::TestFrameFuzz)
#include "TestFrameFuzz.moc"
