// Decoding of the live values: current and voltage texts, input and output indicators.

#include <QtTest>

#include "monitoring/LiveDecoders.h"

namespace mp::test {
namespace {

template <size_t N>
QString LampsText(const std::array<Lamp, N>& lamps) {
    QString text;
    for (Lamp lamp : lamps) {
        text += lamp == Lamp::Red ? 'R' : lamp == Lamp::Green ? 'G' : '?';
    }
    return text;
}

}  // namespace

class TestLiveDecoders : public QObject {
    Q_OBJECT
private slots:
    void binaryText_data() {
        QTest::addColumn<QString>("decimal");
        QTest::addColumn<QString>("binary");
        QTest::newRow("0xA5") << "165"
                              << "10100101";
        QTest::newRow("zero") << "0"
                              << "0";
        QTest::newRow("one") << "1"
                             << "1";
        QTest::newRow("0xFF") << "255"
                              << "11111111";
        QTest::newRow("blanks, sign, trailing text") << "  +7x"
                                                     << "111";
        QTest::newRow("no number") << "abc"
                                   << "0";
        QTest::newRow("empty") << ""
                               << "0";
        QTest::newRow("negative: 32-bit digits") << "-1" << QString(32, '1');
    }
    void binaryText() {
        QFETCH(QString, decimal);
        QFETCH(QString, binary);
        QCOMPARE(QString::fromStdString(ToBinaryText(decimal.toStdString())), binary);
    }

    void phaseCurrents_data() {
        QTest::addColumn<QString>("ratio");
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("b");
        QTest::addColumn<int>("c");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("ratio 150")
            << "150" << 1234 << 0 << 65535 << QStringList{"185.100", "0.000", "9830.250"};
        QTest::newRow("ratio text 150abc")
            << "150abc" << 1234 << 0 << 65535 << QStringList{"185.100", "0.000", "9830.250"};
        QTest::newRow("empty ratio")
            << "" << 1234 << 1 << 65535 << QStringList{"0.000", "0.000", "0.000"};
        QTest::newRow("non-numeric ratio")
            << "abc" << 1234 << 1 << 65535 << QStringList{"0.000", "0.000", "0.000"};
        QTest::newRow("ratio 1, full scale")
            << "1" << 65535 << 1 << 0 << QStringList{"65.535", "0.001", "0.000"};
        QTest::newRow("fraction cut: 10.5 is 10")
            << " 10.5" << 1234 << 2 << 3 << QStringList{"12.340", "0.020", "0.030"};
        QTest::newRow("large ratio")
            << "60000" << 65535 << 0 << 1 << QStringList{"3932100.000", "0.000", "60.000"};
    }
    void phaseCurrents() {
        QFETCH(QString, ratio);
        QFETCH(int, a);
        QFETCH(int, b);
        QFETCH(int, c);
        QFETCH(QStringList, expected);
        LiveValues live;
        DecodePhaseCurrents(
            live, ratio.toStdString(),
            {static_cast<uint16_t>(a), static_cast<uint16_t>(b), static_cast<uint16_t>(c)});
        for (int k = 0; k < 3; ++k) {
            QCOMPARE(QString::fromStdString(live.Currents[static_cast<size_t>(k)]), expected[k]);
        }
    }

    void phaseVoltages_data() {
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("b");
        QTest::addColumn<int>("c");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("zeros") << 0 << 0 << 0 << QStringList{"0.00", "0.00", "0.00"};
        QTest::newRow("mains") << 2200 << 3805 << 65535
                               << QStringList{"220.00", "380.50", "6553.50"};
        QTest::newRow("tenths") << 1 << 9 << 3799 << QStringList{"0.10", "0.90", "379.90"};
    }
    void phaseVoltages() {
        QFETCH(int, a);
        QFETCH(int, b);
        QFETCH(int, c);
        QFETCH(QStringList, expected);
        LiveValues live;
        DecodePhaseVoltages(
            live, {static_cast<uint16_t>(a), static_cast<uint16_t>(b), static_cast<uint16_t>(c)});
        for (int k = 0; k < 3; ++k) {
            QCOMPARE(QString::fromStdString(live.Voltages[static_cast<size_t>(k)]), expected[k]);
        }
    }

    void digitalInputs_data() {
        QTest::addColumn<int>("byte");
        QTest::addColumn<QString>("lamps");  // DI1 .. DI8
        QTest::newRow("0xA5") << 0xA5 << "RGRGGRGR";
        QTest::newRow("all open") << 0x00 << "GGGGGGGG";
        QTest::newRow("all closed") << 0xFF << "RRRRRRRR";
        QTest::newRow("only the input asked for") << 0x01 << "RGGGGGGG";
        QTest::newRow("DI8") << 0x80 << "GGGGGGGR";
    }
    void digitalInputs() {
        QFETCH(int, byte);
        QFETCH(QString, lamps);
        LiveValues live;
        DecodeDigitalInputs(live, static_cast<uint8_t>(byte));
        QCOMPARE(LampsText(live.Inputs), lamps);
    }

    void outputStates_data() {
        QTest::addColumn<int>("byte");
        QTest::addColumn<QString>("lamps");  // A, B, reset
        QTest::addColumn<QString>("checks");
        QTest::newRow("A and reset") << 0x05 << "RGR"
                                     << "101";
        QTest::newRow("upper bits ignored") << 0xF8 << "GGG"
                                            << "000";
        QTest::newRow("all on") << 0x07 << "RRR"
                                << "111";
        QTest::newRow("B with upper bits") << 0xFA << "GRG"
                                           << "010";
    }
    void outputStates() {
        QFETCH(int, byte);
        QFETCH(QString, lamps);
        QFETCH(QString, checks);
        LiveValues live;
        live.OutputChecks = {true, true, true};
        DecodeOutputStates(live, static_cast<uint8_t>(byte));
        QCOMPARE(LampsText(live.Outputs), lamps);
        QString checkText;
        for (bool check : live.OutputChecks) {
            checkText += check ? '1' : '0';
        }
        QCOMPARE(checkText, checks);
    }

    void statusLampBits() {
        std::array<Lamp, 8> lamps{};
        for (int k = 0; k < 8; ++k) {
            lamps[static_cast<size_t>(k)] = BitLamp(0x80, k);
        }
        QCOMPARE(LampsText(lamps), QString("GGGGGGGR"));
        QCOMPARE(BitLamp(0xFF, 8), Lamp::Unknown);
    }
};

}  // namespace mp::test

QTEST_APPLESS_MAIN(mp::test::TestLiveDecoders)
#include "TestLiveDecoders.moc"
