// Modbus TCP framing: RTU frames to ADUs and the stream decoder back to RTU frames. Expected
// RTU frames come from the independent vectors or the tests' own bitwise CRC, the ADUs are
// written out by hand.

#include <QList>
#include <QtTest>

#include "modbus/MbapCodec.h"
#include "support/DeviceRig.h"
#include "support/Vectors.h"

using mp::test::VectorFrame;
using mp::test::WithCrc;

namespace {

using Bytes = std::vector<uint8_t>;

QByteArray Q(const Bytes& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<qsizetype>(bytes.size()));
}

Bytes B(const QByteArray& bytes) {
    return Bytes(bytes.begin(), bytes.end());
}

// An ADU of `transaction` around the unit id and PDU given.
QByteArray Adu(uint16_t transaction, const Bytes& unitAndPdu, uint16_t protocol = 0) {
    const size_t length = unitAndPdu.size();
    Bytes adu{static_cast<uint8_t>(transaction >> 8), static_cast<uint8_t>(transaction & 0xFF),
              static_cast<uint8_t>(protocol >> 8),    static_cast<uint8_t>(protocol & 0xFF),
              static_cast<uint8_t>(length >> 8),      static_cast<uint8_t>(length & 0xFF)};
    adu.insert(adu.end(), unitAndPdu.begin(), unitAndPdu.end());
    return Q(adu);
}

const Bytes kCurrentsPdu{0x01, 0x03, 0x06, 0x04, 0xD2, 0x00, 0x00, 0xFF, 0xFF};
const Bytes kStatusPdu{0x01, 0x03, 0x02, 0x00, 0x80};

}  // namespace

class TestMbapCodec : public QObject {
    Q_OBJECT

private slots:
    void encode_data();
    void encode();
    void decode_data();
    void decode();
};

void TestMbapCodec::encode_data() {
    QTest::addColumn<QByteArray>("rtu");
    QTest::addColumn<int>("transaction");
    QTest::addColumn<QByteArray>("adu");

    QTest::newRow("currents read") << Q(VectorFrame("request", 1, "phase currents")) << 0x0001
                                   << Adu(0x0001, {0x01, 0x03, 0x01, 0x06, 0x00, 0x03});
    QTest::newRow("high transaction id") << Q(VectorFrame("request", 1, "close output A")) << 0xFFFE
                                         << Adu(0xFFFE, {0x01, 0x05, 0x00, 0x00, 0xFF, 0x00});
    Bytes spoilt = VectorFrame("request", 1, "phase voltages");
    spoilt.back() ^= 0x01;
    QTest::newRow("wrong CRC refused") << Q(spoilt) << 7 << QByteArray();
    QTest::newRow("too short") << Q({0x01, 0x03, 0x00}) << 7 << QByteArray();
}

void TestMbapCodec::encode() {
    QFETCH(QByteArray, rtu);
    QFETCH(int, transaction);
    QFETCH(QByteArray, adu);
    QCOMPARE(Q(mp::MbapFromRtu(B(rtu), static_cast<uint16_t>(transaction))), adu);
}

void TestMbapCodec::decode_data() {
    QTest::addColumn<int>("expected");  // transaction id of the last request
    QTest::addColumn<QList<QByteArray>>("reads");
    QTest::addColumn<QList<QByteArray>>("frames");
    QTest::addColumn<int>("pending");
    QTest::addColumn<int>("stale");
    QTest::addColumn<int>("garbage");

    const QByteArray currentsRtu = Q(VectorFrame("response", 1, "phase currents 1234, 0, 65535"));
    const QByteArray statusRtu = Q(WithCrc(kStatusPdu));
    const QByteArray currents = Adu(0x0102, kCurrentsPdu);
    const QByteArray status = Adu(0x0102, kStatusPdu);
    const QByteArray stale = Adu(0x0101, kCurrentsPdu);

    QTest::newRow("whole ADU") << 0x0102 << QList<QByteArray>{currents}
                               << QList<QByteArray>{currentsRtu} << 0 << 0 << 0;
    QTest::newRow("in three pieces, header split")
        << 0x0102 << QList<QByteArray>{currents.left(3), currents.mid(3, 6), currents.mid(9)}
        << QList<QByteArray>{currentsRtu} << 0 << 0 << 0;
    QTest::newRow("partial kept") << 0x0102 << QList<QByteArray>{currents.left(10)}
                                  << QList<QByteArray>{} << 10 << 0 << 0;
    QTest::newRow("two ADUs in one read")
        << 0x0102 << QList<QByteArray>{currents + status}
        << QList<QByteArray>{currentsRtu, statusRtu} << 0 << 0 << 0;
    QTest::newRow("stale reply then the right one in one read")
        << 0x0102 << QList<QByteArray>{stale + currents} << QList<QByteArray>{currentsRtu} << 0 << 1
        << 0;
    QTest::newRow("stale reply alone, split")
        << 0x0102 << QList<QByteArray>{stale.left(8), stale.mid(8)} << QList<QByteArray>{} << 0 << 1
        << 0;
    QTest::newRow("stale of the same shape as the newer reply")
        << 0x0102 << QList<QByteArray>{Adu(0x0101, kStatusPdu), status.left(4), status.mid(4)}
        << QList<QByteArray>{statusRtu} << 0 << 1 << 0;
    QTest::newRow("protocol id not 0")
        << 0x0102 << QList<QByteArray>{Adu(0x0102, kCurrentsPdu, 0x0001)} << QList<QByteArray>{}
        << 0 << 0 << 1;
    QTest::newRow("length 0") << 0x0102 << QList<QByteArray>{Adu(0x0102, {})} << QList<QByteArray>{}
                              << 0 << 0 << 1;
    QTest::newRow("length over 254") << 0x0102 << QList<QByteArray>{Adu(0x0102, Bytes(255, 0x01))}
                                     << QList<QByteArray>{} << 0 << 0 << 1;
    QTest::newRow("garbage resets, the next read starts afresh")
        << 0x0102 << QList<QByteArray>{QByteArray("\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 7), currents}
        << QList<QByteArray>{currentsRtu} << 0 << 0 << 1;
    QTest::newRow("unit id without function")
        << 0x0102 << QList<QByteArray>{Adu(0x0102, {0x01}) + status} << QList<QByteArray>{statusRtu}
        << 0 << 0 << 1;
}

void TestMbapCodec::decode() {
    QFETCH(int, expected);
    QFETCH(QList<QByteArray>, reads);
    QFETCH(QList<QByteArray>, frames);
    QFETCH(int, pending);
    QFETCH(int, stale);
    QFETCH(int, garbage);

    mp::CMbapDecoder decoder;
    decoder.Expect(static_cast<uint16_t>(expected));
    QList<QByteArray> got;
    for (const QByteArray& read : reads) {
        for (const Bytes& frame : decoder.Feed(B(read))) {
            got.append(Q(frame));
        }
    }
    QCOMPARE(got, frames);
    QCOMPARE(static_cast<int>(decoder.Pending()), pending);
    QCOMPARE(decoder.StaleDropped(), stale);
    QCOMPARE(decoder.GarbageResets(), garbage);
}

QTEST_GUILESS_MAIN(TestMbapCodec)
#include "TestMbapCodec.moc"
