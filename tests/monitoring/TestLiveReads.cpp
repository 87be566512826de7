// The five live reads: their requests and waits, decoding of independently computed replies,
// and what a read without a reply leaves.

#include <QtTest>
#include <functional>
#include <map>

#include "SimulatedLink.h"
#include "monitoring/LiveReads.h"
#include "support/Vectors.h"

namespace mp::test {
namespace {

using ReadFn = std::function<bool(CDeviceContext&, const ProtectionSettings*, LiveValues*)>;

const std::map<QString, ReadFn>& LiveReadsByName() {
    static const std::map<QString, ReadFn> reads = {
        {"currents", ReadPhaseCurrents},
        {"voltages", [](CDeviceContext& c, const ProtectionSettings*,
                        LiveValues* l) { return ReadPhaseVoltages(c, l); }},
        {"inputs", [](CDeviceContext& c, const ProtectionSettings*,
                      LiveValues* l) { return ReadDigitalInputs(c, l); }},
        {"outputs", [](CDeviceContext& c, const ProtectionSettings*,
                       LiveValues* l) { return ReadOutputStates(c, l); }},
        {"status", [](CDeviceContext& c, const ProtectionSettings*,
                      LiveValues* l) { return ReadStatusLamps(c, l); }},
    };
    return reads;
}

template <size_t N>
QString LampsText(const std::array<Lamp, N>& lamps) {
    QString text;
    for (Lamp lamp : lamps) {
        text += lamp == Lamp::Red ? 'R' : lamp == Lamp::Green ? 'G' : '?';
    }
    return text;
}

// Everything the live reads write, as one text.
QString Dump(const LiveValues& live) {
    QStringList parts;
    for (const auto& text : live.Currents) {
        parts << Q(text);
    }
    for (const auto& text : live.Voltages) {
        parts << Q(text);
    }
    parts << LampsText(live.Inputs) << LampsText(live.Outputs);
    QString checks;
    for (bool check : live.OutputChecks) {
        checks += check ? '1' : '0';
    }
    parts << checks;
    parts << (live.StatusLamps ? QString::number(*live.StatusLamps, 16) : QString("-"));
    return parts.join(' ');
}

// Dump of a LiveValues that no read has touched (measurement texts "-").
const QString kUntouched = "- - - - - - ???????? ??? 000 -";

// Holds the window side's closures until the test runs them, as the window thread would.
class CDeferredWindow : public IWindowQueue, public IPollTimer {
public:
    void Show(std::function<void()> change) override { Queue.push_back(std::move(change)); }
    void Post(std::function<void()> fn) override { Queue.push_back(std::move(fn)); }
    void StartPollTimer() override {}
    void StopPollTimer() override {}
    void RunAll() {
        for (auto& fn : Queue) {
            if (fn) {
                fn();
            }
        }
        Queue.clear();
    }
    std::vector<std::function<void()>> Queue;
};

}  // namespace

class TestLiveReads : public QObject {
    Q_OBJECT
private slots:
    // Replies taken from the frame vectors, alone or behind stray bytes.
    void decodeReply_data() {
        QTest::addColumn<QString>("read");
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QByteArray>("stray");
        QTest::addColumn<QString>("expected");
        const QByteArray header = QByteArray::fromHex("0103");
        for (const QByteArray& stray : {QByteArray(), header}) {
            const char* tag = stray.isEmpty() ? "" : " after stray bytes";
            QTest::addRow("currents%s", tag) << "currents"
                                             << "phase currents 1234, 0, 65535" << stray
                                             << "185.100 0.000 9830.250 - - - ???????? ??? 000 -";
            QTest::addRow("voltages%s", tag) << "voltages"
                                             << "phase voltages 2200, 3805, 65535" << stray
                                             << "- - - 220.00 380.50 6553.50 ???????? ??? 000 -";
            QTest::addRow("inputs%s", tag)
                << "inputs"
                << "digital inputs 0xA5" << stray << "- - - - - - RGRGGRGR ??? 000 -";
            QTest::addRow("outputs%s", tag)
                << "outputs"
                << "output states 0x05" << stray << "- - - - - - ???????? RGR 101 -";
            QTest::addRow("status%s", tag)
                << "status"
                << "status register 0x0080" << stray << "- - - - - - ???????? ??? 000 80";
        }
        QTest::newRow("exception reply")
            << "currents"
            << "exception: illegal data address on function 03" << QByteArray() << kUntouched;
        QTest::newRow("currents reply to a voltage read")
            << "voltages"
            << "phase currents 1234, 0, 65535" << QByteArray()
            << "- - - 123.40 0.00 6553.50 ???????? ??? 000 -";
        QTest::newRow("register reply to a coil read")
            << "outputs"
            << "status register 0x0080" << QByteArray() << kUntouched;
    }
    void decodeReply() {
        QFETCH(QString, read);
        QFETCH(QString, reply);
        QFETCH(QByteArray, stray);
        QFETCH(QString, expected);
        CScriptedLink rig;
        std::vector<uint8_t> bytes(stray.begin(), stray.end());
        const std::vector<uint8_t> frame = VectorFrame("response", 1, reply);
        bytes.insert(bytes.end(), frame.begin(), frame.end());
        rig.Port.Replies.push_back(bytes);
        ProtectionSettings settings;
        settings.CtRatio = "150";
        LiveValues live;
        live.Currents.fill("-");
        live.Voltages.fill("-");
        const bool found = LiveReadsByName().at(read)(rig.Ctx, &settings, &live);
        QCOMPARE(Dump(live), expected);
        QCOMPARE(found, expected != kUntouched);
        QCOMPARE(rig.Window.Shows, found ? 1 : 0);
    }

    // Values set on the simulated device, through the whole line.
    void deviceBytes_data() {
        QTest::addColumn<int>("inputs");
        QTest::addColumn<int>("coils");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("expected");
        QTest::newRow("status high byte not used") << 0x00 << 0x00 << 0xFF00 << "GGGGGGGG GGG 0";
        QTest::newRow("status lamp 1100") << 0xFF << 0x05 << 0x0080 << "RRRRRRRR RGR 80";
        QTest::newRow("output bits 3 to 7 ignored") << 0xA5 << 0xF8 << 0x00FF << "RGRGGRGR GGG ff";
    }
    void deviceBytes() {
        QFETCH(int, inputs);
        QFETCH(int, coils);
        QFETCH(int, status);
        QFETCH(QString, expected);
        CSimulatedLink rig;
        SimFaults faults;
        faults.StrayBytes = {0x01, 0x02, 0x01};
        rig.SetFaults(faults);
        rig.Device.SetInputs(static_cast<uint8_t>(inputs));
        rig.Device.SetCoils(static_cast<uint8_t>(coils));
        rig.Device.SetRegister(kStatusRegister, static_cast<uint16_t>(status));
        LiveValues live;
        QVERIFY(ReadDigitalInputs(rig.Ctx, &live));
        QVERIFY(ReadOutputStates(rig.Ctx, &live));
        QVERIFY(ReadStatusLamps(rig.Ctx, &live));
        QVERIFY(live.StatusLamps.has_value());
        QCOMPARE(LampsText(live.Inputs) + " " + LampsText(live.Outputs) + " " +
                     QString::number(*live.StatusLamps, 16),
                 expected);
    }

    // A read that finds nothing keeps what the last good read showed and shows nothing.
    void failedReadKeepsLastValues() {
        CSimulatedLink rig;
        rig.Device.SetInputs(0xA5);
        rig.Device.SetCoils(0x05);
        ProtectionSettings settings;
        settings.CtRatio = "150";
        LiveValues live;
        for (const auto& [name, read] : LiveReadsByName()) {
            QVERIFY2(read(rig.Ctx, &settings, &live), qPrintable(name));
        }
        const QString good = Dump(live);
        QCOMPARE(good, QString("45.300 44.700 45.000 380.00 380.50 379.80 RGRGGRGR RGR 101 1"));
        rig.Silence();
        for (const auto& [name, read] : LiveReadsByName()) {
            QVERIFY2(!read(rig.Ctx, &settings, &live), qPrintable(name));
        }
        QCOMPARE(Dump(live), good);
        QCOMPARE(rig.Window.Shows, 5);
    }

    // The currents take the CT ratio as the window holds it when it decodes them, and the
    // worker leaves the window's values alone until then.
    void currentsUseRatioAtDecodeTime() {
        CVirtualClock clock;
        CSimulatedDevice device;
        device.SetLiveMotion(false);
        CSimulatedPort port(device, clock);
        port.OpenPort(PortSettings{"sim", 9600, kParityNone});
        CModbusTransaction link(port, clock);
        CDeferredWindow window;
        CDeviceContext ctx(link, window, window);
        ProtectionSettings settings;
        settings.CtRatio = "1";
        LiveValues live;
        QVERIFY(ReadPhaseCurrents(ctx, &settings, &live));
        QCOMPARE(Q(live.Currents[0]), QString());
        settings.CtRatio = "10";
        window.RunAll();
        QCOMPARE(Q(live.Currents[0]), QString("3.020"));
    }
};

}  // namespace mp::test

QTEST_APPLESS_MAIN(mp::test::TestLiveReads)
#include "TestLiveReads.moc"
