// Line fits, the calibration and PWM frames on the wire, and what the simulated device keeps.

#include <QtTest>

#include "maintenance/Calibration.h"
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
    Rig() { port.OpenPort({"SIM", 9600, kParityNone}); }
    CVirtualClock clock;
    CSimulatedDevice device;
    CSimulatedPort port{device, clock};
    CModbusTransaction link{port, clock};
    test::CImmediateWindow window;
    CDeviceContext ctx{link, window, window};
};

Bytes Frame(const TxBuffer& tx, int16_t length) {
    return Bytes(tx.begin(), tx.begin() + length);
}

// The three rows of the worked example: 0.9900/3.0000, 0.9950/1.5000, 1.0050/2.0000.
CalibrationGrid ExampleGrid() {
    CalibrationGrid grid;
    grid.Points[kRowA] = {100, 102, 500, 498};
    grid.Points[kRowB] = {100, 101, 500, 499};
    grid.Points[kRowC] = {200, 203, 800, 806};
    return grid;
}

std::array<LineFit, 3> ExampleFits() {
    return {LineFit{0.99, 3.0}, LineFit{0.995, 1.5}, LineFit{1.005, 2.0}};
}

}  // namespace

class TestCalibration : public QObject {
    Q_OBJECT
private slots:
    void FitCoefficients_data();
    void FitCoefficients();
    void FitRefusesEqualX_data();
    void FitRefusesEqualX();
    void InterceptInteger_data();
    void InterceptInteger();
    void PrepareShowsFourDecimals();
    void PrepareRefusesRowAndChangesNothing_data();
    void PrepareRefusesRowAndChangesNothing();
    void CalibrationFrames_data();
    void CalibrationFrames();
    void CalibrationFrameLowBits_data();
    void CalibrationFrameLowBits();
    void PwmFrame_data();
    void PwmFrame();
    void CalibrateCurrentSendsWithoutWaiting();
    void CalibrateVoltageReachesDevice();
    void SendPwmOutputReachesDevice();
    void ClosedPortSendsNothingButReports();
};

void TestCalibration::FitCoefficients_data() {
    QTest::addColumn<int>("x1");
    QTest::addColumn<int>("y1");
    QTest::addColumn<int>("x2");
    QTest::addColumn<int>("y2");
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::newRow("A/AB") << 100 << 102 << 500 << 498 << 0.99 << 3.0;
    QTest::newRow("B/BC") << 100 << 101 << 500 << 499 << 0.995 << 1.5;
    QTest::newRow("C/CA") << 200 << 203 << 800 << 806 << 1.005 << 2.0;
    QTest::newRow("points swapped") << 800 << 806 << 200 << 203 << 1.005 << 2.0;
    QTest::newRow("falling line") << 0 << 10 << 10 << 0 << -1.0 << 10.0;
    QTest::newRow("negative intercept") << 10 << 7 << 20 << 17 << 1.0 << -3.0;
    // The numerator X1·Y2 − X2·Y1 is 10^10: in 32 bits it would wrap.
    QTest::newRow("large points") << 100000 << 0 << 0 << 100000 << -1.0 << 100000.0;
    QTest::newRow("large products")
        << 2000000000 << 2000000000 << 1000000000 << 1000000001 << 0.999999999 << 2.0;
    // X1 − X2 itself leaves the 32-bit range.
    QTest::newRow("extreme x") << 2147483647 << 1 << -2147483647 - 1 << 0 << 1.0 / 4294967295.0
                               << 0.5 + 0.5 / 4294967295.0;
}

void TestCalibration::FitCoefficients() {
    QFETCH(int, x1);
    QFETCH(int, y1);
    QFETCH(int, x2);
    QFETCH(int, y2);
    QFETCH(double, a);
    QFETCH(double, b);
    const std::optional<LineFit> fit = mp::FitCoefficients(x1, y1, x2, y2);
    QVERIFY(fit.has_value());
    QVERIFY2(std::abs(fit->A - a) < 1e-9, qPrintable(QString::number(fit->A, 'g', 17)));
    QVERIFY2(std::abs(fit->B - b) < 1e-6, qPrintable(QString::number(fit->B, 'g', 17)));
}

void TestCalibration::FitRefusesEqualX_data() {
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y1");
    QTest::addColumn<int>("y2");
    QTest::newRow("fresh grid") << 0 << 0 << 0;
    QTest::newRow("vertical") << 300 << 1 << 900;
}

void TestCalibration::FitRefusesEqualX() {
    QFETCH(int, x);
    QFETCH(int, y1);
    QFETCH(int, y2);
    QVERIFY(!mp::FitCoefficients(x, y1, x, y2).has_value());
}

void TestCalibration::InterceptInteger_data() {
    QTest::addColumn<double>("x");
    QTest::addColumn<int>("expected");
    QTest::newRow("zero") << 0.0 << 0;
    QTest::newRow("exact half goes down") << 2.5 << 2;
    QTest::newRow("above half goes up") << 2.6 << 3;
    QTest::newRow("below half goes down") << 2.4 << 2;
    QTest::newRow("1.5") << 1.5 << 1;
    QTest::newRow("whole") << 3.0 << 3;
    QTest::newRow("negative truncates") << -2.7 << -2;
    QTest::newRow("small negative") << -0.4 << 0;
    QTest::newRow("negative half") << -0.5 << 0;
}

void TestCalibration::InterceptInteger() {
    QFETCH(double, x);
    QFETCH(int, expected);
    QCOMPARE(mp::InterceptInteger(x), expected);
}

void TestCalibration::PrepareShowsFourDecimals() {
    CalibrationGrid grid = ExampleGrid();
    grid.A[kRowA] = "typed by hand";
    grid.A[kRowPwm] = "1000";
    grid.B[kRowPwm] = "100";
    std::array<LineFit, 3> fits{};
    QCOMPARE(PrepareCalibration(grid, fits), std::nullopt);
    const std::array<std::string, 3> a{"0.9900", "0.9950", "1.0050"};
    const std::array<std::string, 3> b{"3.0000", "1.5000", "2.0000"};
    for (size_t row = 0; row < 3; ++row) {
        QCOMPARE(grid.A[row], a[row]);
        QCOMPARE(grid.B[row], b[row]);
    }
    QCOMPARE(grid.A[kRowPwm], std::string("1000"));
    QCOMPARE(grid.B[kRowPwm], std::string("100"));
    QVERIFY(std::abs(fits[2].A - 1.005) < 1e-12);
    QVERIFY(std::abs(fits[1].B - 1.5) < 1e-12);
}

void TestCalibration::PrepareRefusesRowAndChangesNothing_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("message");
    QTest::newRow("A") << int(kRowA) << QStringLiteral("A/AB相的X1与X2相同，无法计算系数");
    QTest::newRow("B") << int(kRowB) << QStringLiteral("B/BC相的X1与X2相同，无法计算系数");
    QTest::newRow("C") << int(kRowC) << QStringLiteral("C/CA相的X1与X2相同，无法计算系数");
}

void TestCalibration::PrepareRefusesRowAndChangesNothing() {
    QFETCH(int, row);
    QFETCH(QString, message);
    CalibrationGrid grid = ExampleGrid();
    auto& points = grid.Points[static_cast<size_t>(row)];
    points[kX2] = points[kX1];
    for (size_t k = 0; k < 3; ++k) {
        grid.A[k] = "old a";
        grid.B[k] = "old b";
    }
    const CalibrationGrid before = grid;
    std::array<LineFit, 3> fits{LineFit{7.0, 7.0}, LineFit{7.0, 7.0}, LineFit{7.0, 7.0}};

    const std::optional<std::string> refused = PrepareCalibration(grid, fits);
    QVERIFY(refused.has_value());
    QCOMPARE(QString::fromStdString(*refused), message);
    QCOMPARE(grid.A, before.A);
    QCOMPARE(grid.B, before.B);
    for (const LineFit& fit : fits) {
        QCOMPARE(fit.A, 7.0);
    }
}

void TestCalibration::CalibrationFrames_data() {
    QTest::addColumn<int>("word");
    QTest::addColumn<Bytes>("expected");
    QTest::newRow("current") << int(kCurrentCalibrationWord)
                             << Bytes{0x01, 0x12, 0xA5, 0x5A, 0x27, 0x10, 0x11, 0x26, 0xAC,
                                      0x03, 0x26, 0xDE, 0x01, 0x27, 0x41, 0x02, 0xC4, 0x49};
    QTest::newRow("voltage") << int(kVoltageCalibrationWord)
                             << Bytes{0x01, 0x12, 0xA5, 0x5A, 0x00, 0xDC, 0x11, 0x26, 0xAC,
                                      0x03, 0x26, 0xDE, 0x01, 0x27, 0x41, 0x02, 0x73, 0x6E};
}

void TestCalibration::CalibrationFrames() {
    QFETCH(int, word);
    QFETCH(Bytes, expected);
    // The fits as the grid gives them, not as round numbers: 1.005 × 10000 truncates to 10049.
    CalibrationGrid grid = ExampleGrid();
    std::array<LineFit, 3> fits{};
    QVERIFY(!PrepareCalibration(grid, fits));
    TxBuffer tx{};
    const int16_t length = BuildCalibrationFrame(tx, 1, static_cast<uint16_t>(word), fits);
    QCOMPARE(Frame(tx, length), expected);
}

void TestCalibration::CalibrationFrameLowBits_data() {
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<Bytes>("row");
    QTest::newRow("b -2.7 as 0xFE") << 1.0 << -2.7 << Bytes{0x27, 0x10, 0xFE};
    QTest::newRow("b 2.5 as 2") << 1.0 << 2.5 << Bytes{0x27, 0x10, 0x02};
    QTest::newRow("b 300 keeps low byte") << 1.0 << 300.0 << Bytes{0x27, 0x10, 0x2C};
    QTest::newRow("a 7 keeps low 16 bits") << 7.0 << 0.0 << Bytes{0x11, 0x70, 0x00};
    QTest::newRow("negative a") << -0.5 << 0.0 << Bytes{0xEC, 0x78, 0x00};
}

void TestCalibration::CalibrationFrameLowBits() {
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(Bytes, row);
    const std::array<LineFit, 3> fits{LineFit{1.0, 0.0}, LineFit{a, b}, LineFit{1.0, 0.0}};
    TxBuffer tx{};
    QCOMPARE(BuildCalibrationFrame(tx, 1, kCurrentCalibrationWord, fits), int16_t{18});
    QCOMPARE(Bytes(tx.begin() + 10, tx.begin() + 13), row);
    QCOMPARE(Bytes(tx.begin() + 7, tx.begin() + 10), (Bytes{0x27, 0x10, 0x00}));
}

void TestCalibration::PwmFrame_data() {
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<Bytes>("data");  // bytes 7 to 10
    QTest::newRow("1000 and 100") << "1000"
                                  << "100" << Bytes{0x03, 0xE8, 0x00, 0x64};
    QTest::newRow("fraction truncated") << "12.7"
                                        << "100" << Bytes{0x00, 0x0C, 0x00, 0x64};
    QTest::newRow("empty is 0") << ""
                                << "" << Bytes{0x00, 0x00, 0x00, 0x00};
    QTest::newRow("-1") << "-1"
                        << "0" << Bytes{0xFF, 0xFF, 0x00, 0x00};
    QTest::newRow("70000 low 16 bits") << "1"
                                       << "70000" << Bytes{0x00, 0x01, 0x11, 0x70};
    QTest::newRow("leading blanks, trailing text") << "  42abc"
                                                   << "x" << Bytes{0x00, 0x2A, 0x00, 0x00};
}

void TestCalibration::PwmFrame() {
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(Bytes, data);
    TxBuffer tx{};
    const int16_t length = BuildPwmFrame(tx, 1, a.toStdString(), b.toStdString());
    QCOMPARE(length, int16_t{13});
    const Bytes frame = Frame(tx, length);
    QCOMPARE(Bytes(frame.begin(), frame.begin() + 7),
             (Bytes{0x01, 0x12, 0x5A, 0xA5, 0x4E, 0x20, 0x0C}));
    QCOMPARE(Bytes(frame.begin() + 7, frame.begin() + 11), data);
}

void TestCalibration::CalibrateCurrentSendsWithoutWaiting() {
    Rig rig;
    // A reply still waiting from an earlier exchange must not be thrown away by this send.
    rig.port.InjectInput({0xAA, 0xBB});
    CalibrationGrid grid = ExampleGrid();
    std::array<LineFit, 3> fits{};
    QVERIFY(!PrepareCalibration(grid, fits));
    int done = 0;
    CalibrateCurrent(rig.ctx, fits, [&] { ++done; });

    QCOMPARE(done, 1);
    QVERIFY(rig.clock.Sleeps().empty());
    QCOMPARE(rig.port.Sent().size(), size_t{1});
    QCOMPARE(rig.port.Sent()[0].Bytes,
             (Bytes{0x01, 0x12, 0xA5, 0x5A, 0x27, 0x10, 0x11, 0x26, 0xAC, 0x03, 0x26, 0xDE, 0x01,
                    0x27, 0x41, 0x02, 0xC4, 0x49}));
    QVERIFY(rig.port.WaitingCount() >= 2);
    QCOMPARE(rig.device.Register(0x014A), uint16_t{9900});
    QCOMPARE(rig.device.Register(0x014B), uint16_t{9950});
    QCOMPARE(rig.device.Register(0x014C), uint16_t{10049});
    QCOMPARE(rig.device.Register(0x014D), uint16_t{0x0301});
    QCOMPARE(rig.device.Register(0x014E) >> 8, 0x02);
}

void TestCalibration::CalibrateVoltageReachesDevice() {
    Rig rig;
    rig.device.SetAddress(7);
    rig.link.SetSlaveAddress(7);
    std::array<LineFit, 3> fits = ExampleFits();
    fits[0].B = -2.7;
    CalibrateVoltage(rig.ctx, fits);

    QCOMPARE(rig.port.Sent().size(), size_t{1});
    QCOMPARE(rig.port.Sent()[0].Bytes[0], uint8_t{7});
    QCOMPARE(rig.device.VoltageA(), (std::array<uint16_t, 3>{9900, 9950, 10049}));
    QCOMPARE(rig.device.VoltageB(), (std::array<uint8_t, 3>{0xFE, 1, 2}));
    // The current coefficients stay as they were.
    QCOMPARE(rig.device.Register(0x014A), uint16_t{10000});
}

void TestCalibration::SendPwmOutputReachesDevice() {
    Rig rig;
    int done = 0;
    SendPwmOutput(rig.ctx, "1000", "100", [&] { ++done; });
    QCOMPARE(done, 1);
    QVERIFY(rig.clock.Sleeps().empty());
    QCOMPARE(rig.port.Sent().size(), size_t{1});
    QCOMPARE(rig.port.Sent()[0].Bytes,
             (Bytes{0x01, 0x12, 0x5A, 0xA5, 0x4E, 0x20, 0x0C, 0x03, 0xE8, 0x00, 0x64, 0xD2, 0x5D}));

    SendPwmOutput(rig.ctx, "-1", "70000");
    QCOMPARE(rig.device.Register(0x0148), uint16_t{0xFFFF});
    QCOMPARE(rig.device.Register(0x0149), uint16_t{0x1170});
}

void TestCalibration::ClosedPortSendsNothingButReports() {
    Rig rig;
    rig.port.ClosePort();
    int done = 0;
    CalibrateCurrent(rig.ctx, ExampleFits(), [&] { ++done; });
    SendPwmOutput(rig.ctx, "1", "2", [&] { ++done; });
    QCOMPARE(done, 2);
    QVERIFY(rig.port.Sent().empty());
    QCOMPARE(rig.device.Register(0x014A), uint16_t{10000});
}

QTEST_GUILESS_MAIN(TestCalibration)
#include "TestCalibration.moc"
