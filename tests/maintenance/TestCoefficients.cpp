// Reading the stored coefficients back into the grid, and the reset frames.

#include <QtTest>

#include "maintenance/Calibration.h"
#include "maintenance/Coefficients.h"
#include "simulator/SimulatedDevice.h"
#include "simulator/SimulatedPort.h"
#include "simulator/VirtualClock.h"
#include "support/ImmediateWindow.h"
#include "support/Vectors.h"

using namespace mp;
using Bytes = std::vector<uint8_t>;

Q_DECLARE_METATYPE(Bytes)

namespace {

struct Rig {
    Rig() {
        port.OpenPort({"SIM", 9600, kParityNone});
        device.SetLiveMotion(false);
    }
    CVirtualClock clock;
    CSimulatedDevice device;
    CSimulatedPort port{device, clock};
    CModbusTransaction link{port, clock};
    test::CImmediateWindow window;
    CDeviceContext ctx{link, window, window};
};

// Texts in the grid's order: PWM a, PWM b, then a and b of rows A, B, C.
std::vector<std::string> CoefficientTexts(const CalibrationGrid& grid) {
    return {grid.A[kRowPwm], grid.B[kRowPwm], grid.A[kRowA], grid.B[kRowA],
            grid.A[kRowB],   grid.B[kRowB],   grid.A[kRowC], grid.B[kRowC]};
}

}  // namespace

class TestCoefficients : public QObject {
    Q_OBJECT
private slots:
    void Decode_data();
    void Decode();
    void ReadShowsDeviceValues();
    void ReadAfterCalibrationGivesRawValues();
    void ReadWithoutResponseShowsZeros_data();
    void ReadWithoutResponseShowsZeros();
    void ResetFrames_data();
    void ResetFrames();
};

void TestCoefficients::Decode_data() {
    QTest::addColumn<Bytes>("data");  // the 14 data bytes of the response
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("defaults") << Bytes{0x03, 0xE8, 0x00, 0x64, 0x27, 0x10, 0x27,
                                       0x10, 0x27, 0x10, 0x00, 0x00, 0x00, 0x00}
                              << QStringList{"1000",  "100", "10000", "0",
                                             "10000", "0",   "10000", "0"};
    QTest::newRow("unsigned, raw")
        << Bytes{0xFF, 0xFF, 0x80, 0x00, 0x26, 0xAC, 0x26, 0xDE, 0x27, 0x41, 0xFE, 0x01, 0x80, 0x99}
        << QStringList{"65535", "32768", "9900", "254", "9950", "1", "10049", "128"};
}

void TestCoefficients::Decode() {
    QFETCH(Bytes, data);
    QFETCH(QStringList, texts);
    Bytes rx{0x01, 0x03, 0x0E};
    rx.insert(rx.end(), data.begin(), data.end());
    rx.insert(rx.end(), {0x00, 0x00});
    CalibrationGrid grid;
    grid.Points[kRowA] = {1, 2, 3, 4};
    DecodeCoefficients(grid, rx.data());
    QStringList shown;
    for (const std::string& text : CoefficientTexts(grid)) {
        shown << QString::fromStdString(text);
    }
    QCOMPARE(shown, texts);
    QCOMPARE(grid.Points[kRowA], (std::array<int32_t, 4>{1, 2, 3, 4}));
}

void TestCoefficients::ReadShowsDeviceValues() {
    Rig rig;
    rig.device.SetRegister(0x014D, 0xFE05);
    CalibrationGrid grid;
    int shownWhenDone = -1;
    ReadCoefficients(rig.ctx, &grid, [&] { shownWhenDone = rig.window.Shows; });

    QCOMPARE(rig.port.Sent().size(), size_t{1});
    QCOMPARE(rig.port.Sent()[0].Bytes, test::VectorFrame("request", 1, "stored coefficients"));
    QCOMPARE(rig.port.Sent()[0].Bytes, (Bytes{0x01, 0x03, 0x01, 0x48, 0x00, 0x07, 0x85, 0xE2}));
    QCOMPARE(shownWhenDone, 1);  // the grid is on screen before the message
    QCOMPARE(grid.A[kRowPwm], std::string("1000"));
    QCOMPARE(grid.B[kRowPwm], std::string("100"));
    QCOMPARE(grid.A[kRowA], std::string("10000"));
    QCOMPARE(grid.B[kRowA], std::string("254"));
    QCOMPARE(grid.B[kRowB], std::string("5"));
}

void TestCoefficients::ReadAfterCalibrationGivesRawValues() {
    Rig rig;
    rig.link.SetSlaveAddress(12);
    rig.device.SetAddress(12);
    CalibrationGrid grid;
    grid.Points[kRowA] = {100, 102, 500, 498};
    grid.Points[kRowB] = {10, 7, 20, 17};  // b = -3
    grid.Points[kRowC] = {200, 203, 800, 806};
    std::array<LineFit, 3> fits{};
    QVERIFY(!PrepareCalibration(grid, fits));
    QCOMPARE(grid.B[kRowB], std::string("-3.0000"));
    CalibrateCurrent(rig.ctx, fits);
    SendPwmOutput(rig.ctx, "1234", "-2");
    rig.clock.Advance(50);

    ReadCoefficients(rig.ctx, &grid, {});
    QCOMPARE(rig.port.Sent().back().Bytes, test::VectorFrame("request", 12, "stored coefficients"));
    QCOMPARE(CoefficientTexts(grid), (std::vector<std::string>{"1234", "65534", "9900", "3",
                                                               "10000", "253", "10049", "2"}));
}

void TestCoefficients::ReadWithoutResponseShowsZeros_data() {
    QTest::addColumn<bool>("silent");
    QTest::addColumn<bool>("corrupt");
    QTest::newRow("silent device") << true << false;
    QTest::newRow("bad CRC") << false << true;
}

void TestCoefficients::ReadWithoutResponseShowsZeros() {
    QFETCH(bool, silent);
    QFETCH(bool, corrupt);
    Rig rig;
    SimFaults faults;
    faults.Silent = silent;
    faults.CorruptCrc = corrupt;
    rig.port.SetFaults(faults);
    CalibrationGrid grid;
    grid.A.fill("x");
    grid.B.fill("y");
    bool done = false;
    ReadCoefficients(rig.ctx, &grid, [&] { done = true; });
    QVERIFY(done);
    for (const std::string& text : CoefficientTexts(grid)) {
        QCOMPARE(text, std::string("0"));
    }
}

void TestCoefficients::ResetFrames_data() {
    QTest::addColumn<bool>("voltage");
    QTest::addColumn<Bytes>("expected");
    QTest::newRow("current") << false
                             << Bytes{0x01, 0x12, 0xA5, 0x5A, 0x27, 0x10, 0x11, 0x27, 0x10,
                                      0x00, 0x27, 0x10, 0x00, 0x27, 0x10, 0x00, 0x24, 0x54};
    QTest::newRow("voltage") << true << Bytes{0x01, 0x12, 0xA5, 0x5A, 0x00, 0xDC, 0x11, 0x27, 0x10,
                                              0x00, 0x27, 0x10, 0x00, 0x27, 0x10, 0x00, 0x93, 0x73};
}

void TestCoefficients::ResetFrames() {
    QFETCH(bool, voltage);
    QFETCH(Bytes, expected);
    Rig rig;
    // Calibrate first, so that the reset visibly restores a = 10000, b = 0.
    const std::array<LineFit, 3> fits{LineFit{0.5, 4.0}, LineFit{0.5, 4.0}, LineFit{0.5, 4.0}};
    voltage ? CalibrateVoltage(rig.ctx, fits) : CalibrateCurrent(rig.ctx, fits);
    rig.port.ClearSent();
    rig.port.InjectInput({0x55});

    bool done = false;
    voltage ? ResetVoltageCoefficients(rig.ctx, [&] { done = true; })
            : ResetCurrentCoefficients(rig.ctx, [&] { done = true; });
    QVERIFY(done);
    QCOMPARE(rig.window.Shows, 0);  // the grid is left as it is
    QVERIFY(rig.clock.Sleeps().empty());
    QCOMPARE(rig.port.Sent().size(), size_t{1});
    QCOMPARE(rig.port.Sent()[0].Bytes, expected);
    QVERIFY(rig.port.WaitingCount() >= 1);  // nothing discarded before the send
    if (voltage) {
        QCOMPARE(rig.device.VoltageA(), (std::array<uint16_t, 3>{10000, 10000, 10000}));
        QCOMPARE(rig.device.VoltageB(), (std::array<uint8_t, 3>{0, 0, 0}));
    } else {
        QCOMPARE(rig.device.Register(0x014A), uint16_t{10000});
        QCOMPARE(rig.device.Register(0x014C), uint16_t{10000});
        QCOMPARE(rig.device.Register(0x014D), uint16_t{0});
    }
}

QTEST_GUILESS_MAIN(TestCoefficients)
#include "TestCoefficients.moc"
