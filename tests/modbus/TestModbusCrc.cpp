// The CRC routine: the worked examples, its two tables, and every independently computed
// frame of the vector file.

#include <QFile>
#include <QtTest>

#include "modbus/ModbusCrc16.h"
#include "support/Vectors.h"

namespace mp::test {
namespace {

uint16_t Crc(const std::vector<uint8_t>& bytes) {
    return ModbusCrc16(bytes.data(), static_cast<int16_t>(bytes.size()));
}

}  // namespace

class TestModbusCrc : public QObject {
    Q_OBJECT
private slots:
    void workedExamples_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("crc");
        QTest::newRow("read of register 0x0150") << QByteArray::fromHex("010301500001") << 0x85E7;
        QTest::newRow("check digits 1 to 9") << QByteArray("123456789") << 0x374B;
        QTest::newRow("no bytes") << QByteArray() << 0xFFFF;
        QTest::newRow("single zero byte") << QByteArray(1, '\0') << 0xBF40;
    }
    void workedExamples() {
        QFETCH(QByteArray, input);
        QFETCH(int, crc);
        const std::vector<uint8_t> bytes(input.begin(), input.end());
        QCOMPARE(Crc(bytes), static_cast<uint16_t>(crc));
    }

    void tablesStartAsTheStandardOnes() {
        const std::array<uint8_t, 8> hi{0x00, 0xC1, 0x81, 0x40, 0x01, 0xC0, 0x80, 0x41};
        const std::array<uint8_t, 8> lo{0x00, 0xC0, 0xC1, 0x01, 0xC3, 0x03, 0x02, 0xC2};
        for (size_t i = 0; i < 8; ++i) {
            QCOMPARE(CrcTableHi[i], hi[i]);
            QCOMPARE(CrcTableLo[i], lo[i]);
        }
        // The last entries of the standard tables.
        QCOMPARE(CrcTableHi[255], uint8_t{0x40});
        QCOMPARE(CrcTableLo[255], uint8_t{0x40});
    }

    // Every frame in the vector file and every frame quoted for the device carries, high
    // byte first, the value the routine gives over the bytes before it.
    void framesCarryTheRoutinesValue_data() {
        QTest::addColumn<QString>("frame");
        QFile file(QStringLiteral(MP_VECTORS_FILE));
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        int rows = 0;
        while (!file.atEnd()) {
            const QString line = QString::fromUtf8(file.readLine()).trimmed();
            const QStringList cols = line.split('\t');
            if (line.startsWith('#') || cols.size() != 4) {
                continue;
            }
            const QString name = cols[0] + ' ' + cols[1] + ' ' + cols[2];
            QTest::newRow(name.toUtf8().constData()) << cols[3];
            ++rows;
        }
        QVERIFY(rows > 90);
        QTest::newRow("address change") << "05 10 54 50 00 02 04 00 0C 00 04 EC A0";
        QTest::newRow("start mode") << "01 10 54 55 00 01 02 05 00 BC C0";
        QTest::newRow("current calibration")
            << "01 12 A5 5A 27 10 11 26 AC 03 26 DE 01 27 41 02 C4 49";
        QTest::newRow("voltage calibration")
            << "01 12 A5 5A 00 DC 11 26 AC 03 26 DE 01 27 41 02 73 6E";
        QTest::newRow("PWM output") << "01 12 5A A5 4E 20 0C 03 E8 00 64 D2 5D";
        QTest::newRow("current reset") << "01 12 A5 5A 27 10 11 27 10 00 27 10 00 27 10 00 24 54";
        QTest::newRow("voltage reset") << "01 12 A5 5A 00 DC 11 27 10 00 27 10 00 27 10 00 93 73";
    }
    void framesCarryTheRoutinesValue() {
        QFETCH(QString, frame);
        const std::vector<uint8_t> bytes = HexBytes(frame);
        QVERIFY(bytes.size() >= 4);
        const std::vector<uint8_t> body(bytes.begin(), bytes.end() - 2);
        const uint16_t crc = Crc(body);
        QCOMPARE(bytes[bytes.size() - 2], static_cast<uint8_t>(crc >> 8));
        QCOMPARE(bytes[bytes.size() - 1], static_cast<uint8_t>(crc & 0xFF));
    }
};

}  // namespace mp::test

QTEST_GUILESS_MAIN(mp::test::TestModbusCrc)
#include "TestModbusCrc.moc"
