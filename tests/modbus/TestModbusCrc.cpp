// The CRC routine against worked examples. (Every frame of the vector file, whose CRCs an
// independent routine computed, is checked through the request builders and the simulated
// device's replies.)

#include <QtTest>

#include "modbus/ModbusCrc16.h"

namespace mp::test {

class TestModbusCrc : public QObject {
    Q_OBJECT
private slots:
    // The routine's value is stored high byte first: the wire order of the frame.
    void workedExamples_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("crc");
        QTest::newRow("read of register 0x0150") << QByteArray::fromHex("010301500001") << 0x85E7;
        QTest::newRow("check digits 1 to 9") << QByteArray("123456789") << 0x374B;
        QTest::newRow("no bytes") << QByteArray() << 0xFFFF;
    }
    void workedExamples() {
        QFETCH(QByteArray, input);
        QFETCH(int, crc);
        QCOMPARE(ModbusCrc16(reinterpret_cast<const uint8_t*>(input.constData()),
                             static_cast<int16_t>(input.size())),
                 static_cast<uint16_t>(crc));
    }
};

}  // namespace mp::test

QTEST_GUILESS_MAIN(mp::test::TestModbusCrc)
#include "TestModbusCrc.moc"
