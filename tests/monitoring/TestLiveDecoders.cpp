// Decoding of the phase currents and voltages into their texts. (The lamps are decoded in the
// poll tick's tests, from the device's bytes.)

#include <QtTest>

#include "monitoring/LiveDecoders.h"

namespace mp::test {
namespace {

template <size_t N>
QString Joined(const std::array<std::string, N>& texts) {
    QStringList parts;
    for (const std::string& text : texts) {
        parts << QString::fromStdString(text);
    }
    return parts.join(' ');
}

}  // namespace

class TestLiveDecoders : public QObject {
    Q_OBJECT
private slots:
    // Currents: register × CT ratio × 0.001, the ratio the whole number the text starts with.
    // Voltages: register × 0.1.
    void measurements_data() {
        QTest::addColumn<QString>("ratio");
        QTest::addColumn<QList<int>>("raw");
        QTest::addColumn<QString>("currents");
        QTest::addColumn<QString>("voltages");
        const QList<int> full{1234, 0, 65535};
        const QString fullVoltages = "123.40 0.00 6553.50";
        auto row = [](const char* name, const char* ratio, const QList<int>& raw,
                      const char* currents, const QString& voltages) {
            QTest::newRow(name) << QString(ratio) << raw << QString(currents) << voltages;
        };
        row("ratio 150", "150", full, "185.100 0.000 9830.250", fullVoltages);
        row("ratio text 150abc", "150abc", full, "185.100 0.000 9830.250", fullVoltages);
        row("empty ratio", "", full, "0.000 0.000 0.000", fullVoltages);
        row("non-numeric ratio", "abc", full, "0.000 0.000 0.000", fullVoltages);
        row("ratio 1, small values", "1", {1, 9, 3799}, "0.001 0.009 3.799", "0.10 0.90 379.90");
        row("fraction cut: 10.5 is 10", " 10.5", {1234, 2, 3}, "12.340 0.020 0.030",
            "123.40 0.20 0.30");
        row("large ratio", "60000", {65535, 0, 1}, "3932100.000 0.000 60.000", "6553.50 0.00 0.10");
    }
    void measurements() {
        QFETCH(QString, ratio);
        QFETCH(QList<int>, raw);
        QFETCH(QString, currents);
        QFETCH(QString, voltages);
        const std::array<uint16_t, 3> registers{static_cast<uint16_t>(raw[0]),
                                                static_cast<uint16_t>(raw[1]),
                                                static_cast<uint16_t>(raw[2])};
        LiveValues live;
        DecodePhaseCurrents(live, ratio.toStdString(), registers);
        DecodePhaseVoltages(live, registers);
        QCOMPARE(Joined(live.Currents), currents);
        QCOMPARE(Joined(live.Voltages), voltages);
    }
};

}  // namespace mp::test

QTEST_APPLESS_MAIN(mp::test::TestLiveDecoders)
#include "TestLiveDecoders.moc"
