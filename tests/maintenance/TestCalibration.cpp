// Line fits, the calibration, PWM and reset frames on the wire, and the coefficients the
// simulated device keeps and gives back.

#include <QtTest>

#include "maintenance/Calibration.h"
#include "maintenance/Coefficients.h"
#include "support/DeviceRig.h"
#include "support/Vectors.h"

Q_DECLARE_METATYPE(mp::SimFaults)

using namespace mp;
using namespace mp::test;
using Bytes = std::vector<uint8_t>;

namespace {

// The three rows of the worked example: 0.9900/3.0000, 0.9950/1.5000, 1.0050/2.0000.
CalibrationGrid ExampleGrid() {
    CalibrationGrid grid;
    grid.Points[kRowA] = {100, 102, 500, 498};
    grid.Points[kRowB] = {100, 101, 500, 499};
    grid.Points[kRowC] = {200, 203, 800, 806};
    return grid;
}

// The fits as the grid gives them, not as round numbers: 1.005 × 10000 falls a hair short of
// 10050 in binary, and is stored as 10050 all the same.
std::array<LineFit, 3> FitsOf(CalibrationGrid grid) {
    std::array<LineFit, 3> fits{};
    if (PrepareCalibration(grid, fits)) {
        qFatal("the grid has a row with X1 == X2");
    }
    return fits;
}

// Texts in the grid's order: PWM a, PWM b, then a and b of rows A, B, C.
QStringList CoefficientTexts(const CalibrationGrid& grid) {
    QStringList texts;
    for (int row : {kRowPwm, kRowA, kRowB, kRowC}) {
        texts << QString::fromStdString(grid.A[row]) << QString::fromStdString(grid.B[row]);
    }
    return texts;
}

}  // namespace

class TestCalibration : public QObject {
    Q_OBJECT
private slots:
    void FitCoefficients_data();
    void FitCoefficients();
    void PrepareShowsStoredValues();
    void PrepareRefusesRowAndChangesNothing_data();
    void PrepareRefusesRowAndChangesNothing();
    void PrepareTakesTheDeviceLimits();
    void Calibrate_data();
    void Calibrate();
    void CalibrationFrameRow_data();
    void CalibrationFrameRow();
    void PwmOutput_data();
    void PwmOutput();
    void PwmCoefficientsChecked_data();
    void PwmCoefficientsChecked();
    void ReadCoefficients_data();
    void ReadCoefficients();
    void ReadAfterCalibrationGivesRawValues();
};

void TestCalibration::FitCoefficients_data() {
    QTest::addColumn<int>("x1");
    QTest::addColumn<int>("y1");
    QTest::addColumn<int>("x2");
    QTest::addColumn<int>("y2");
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
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

// The grid shows what the device will hold: a to four places, b as the whole number stored
// (1.5 is stored as 1, so the grid does not go on showing 1.5).
void TestCalibration::PrepareShowsStoredValues() {
    CalibrationGrid grid = ExampleGrid();
    grid.A[kRowA] = "typed by hand";
    grid.A[kRowPwm] = "1000";
    grid.B[kRowPwm] = "100";
    std::array<LineFit, 3> fits{};
    QCOMPARE(PrepareCalibration(grid, fits), std::nullopt);
    QCOMPARE(CoefficientTexts(grid),
             (QStringList{"1000", "100", "0.9900", "3", "0.9950", "1", "1.0050", "2"}));
    QVERIFY(std::abs(fits[2].A - 1.005) < 1e-12);
    QVERIFY(std::abs(fits[1].B - 1.5) < 1e-12);
}

void TestCalibration::PrepareRefusesRowAndChangesNothing_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<QList<int>>("points");  // X1, Y1, X2, Y2
    QTest::addColumn<QString>("message");
    const QList<int> sameX = {100, 102, 100, 498};
    QTest::newRow("A, X1 == X2") << int(kRowA) << sameX
                                 << QStringLiteral("A/AB相的X1与X2相同，无法计算系数");
    QTest::newRow("B, X1 == X2") << int(kRowB) << sameX
                                 << QStringLiteral("B/BC相的X1与X2相同，无法计算系数");
    QTest::newRow("C, X1 == X2") << int(kRowC) << sameX
                                 << QStringLiteral("C/CA相的X1与X2相同，无法计算系数");
    const QString range = QStringLiteral("超出设备可存的范围（a 0-6.5535，b 0-255）");
    QTest::newRow("slope 7 (was sent as 0.4464)")
        << int(kRowB) << QList<int>{100, 701, 200, 1401}
        << QStringLiteral("B/BC相的系数a=7.0000、b=1.0000") + range;
    QTest::newRow("falling line (was sent as 6.0536)")
        << int(kRowA) << QList<int>{100, 500, 500, 300}
        << QStringLiteral("A/AB相的系数a=-0.5000、b=550.0000") + range;
    QTest::newRow("intercept 300 (was sent as 44)")
        << int(kRowC) << QList<int>{100, 400, 500, 800}
        << QStringLiteral("C/CA相的系数a=1.0000、b=300.0000") + range;
    // The device keeps b in one unsigned byte and gives 0xC8 back as 200: -56 and 200 went
    // out alike.
    QTest::newRow("intercept -56 (was sent as 200)")
        << int(kRowC) << QList<int>{200, 144, 400, 344}
        << QStringLiteral("C/CA相的系数a=1.0000、b=-56.0000") + range;
    QTest::newRow("intercept -1") << int(kRowA) << QList<int>{200, 199, 400, 399}
                                  << QStringLiteral("A/AB相的系数a=1.0000、b=-1.0000") + range;
}

void TestCalibration::PrepareRefusesRowAndChangesNothing() {
    QFETCH(int, row);
    QFETCH(QList<int>, points);
    QFETCH(QString, message);
    CalibrationGrid grid = ExampleGrid();
    grid.Points[static_cast<size_t>(row)] = {points[0], points[1], points[2], points[3]};
    grid.A.fill("old a");
    grid.B.fill("old b");
    const CalibrationGrid before = grid;
    std::array<LineFit, 3> fits{LineFit{7.0, 7.0}, LineFit{7.0, 7.0}, LineFit{7.0, 7.0}};

    const std::optional<std::string> refused = PrepareCalibration(grid, fits);
    QCOMPARE(QString::fromStdString(refused.value_or("accepted")), message);
    QCOMPARE(CoefficientTexts(grid), CoefficientTexts(before));
    for (const LineFit& fit : fits) {
        QCOMPARE(fit.A, 7.0);
    }
}

// The largest lines the device stores are taken.
void TestCalibration::PrepareTakesTheDeviceLimits() {
    CalibrationGrid grid = ExampleGrid();
    grid.Points[kRowA] = {0, 0, 10000, 65535};  // a 6.5535, b 0
    grid.Points[kRowB] = {0, 255, 100, 255};    // a 0, b 255
    std::array<LineFit, 3> fits{};
    QCOMPARE(PrepareCalibration(grid, fits), std::nullopt);
    TxBuffer tx{};
    BuildCalibrationFrame(tx, 1, kCurrentCalibrationWord, fits);
    QCOMPARE(Bytes(tx.begin() + 7, tx.begin() + 13), (Bytes{0xFF, 0xFF, 0x00, 0x00, 0x00, 0xFF}));
}

// Each sends its frame without a wait and without discarding what waits on the line; the
// current coefficients are then read back after 300 ms, the voltage ones cannot be.
void TestCalibration::Calibrate_data() {
    QTest::addColumn<bool>("voltage");
    QTest::addColumn<bool>("reset");    // after a calibration with a = 0.5, b = 4
    QTest::addColumn<bool>("ignores");  // the device answers but keeps nothing
    QTest::addColumn<bool>("silent");
    QTest::addColumn<Bytes>("expected");
    QTest::addColumn<int>("check");  // CoefficientCheck
    // 1.005 goes out as 10050 (0x2742), not 10049.
    const Bytes current = WithCrc(HexBytes("01 12 A5 5A 27 10 11 26 AC 03 26 DE 01 27 42 02"));
    const Bytes voltage = WithCrc(HexBytes("01 12 A5 5A 00 DC 11 26 AC 03 26 DE 01 27 42 02"));
    using C = CoefficientCheck;
    QTest::newRow("current") << false << false << false << false << current << int(C::Confirmed);
    QTest::newRow("current, device keeps nothing")
        << false << false << true << false << current << int(C::NotHeld);
    QTest::newRow("current, silent device")
        << false << false << false << true << current << int(C::NoReply);
    QTest::newRow("voltage") << true << false << false << false << voltage << int(C::Unconfirmable);
    QTest::newRow("current reset")
        << false << true << false << false
        << HexBytes("01 12 A5 5A 27 10 11 27 10 00 27 10 00 27 10 00 24 54") << int(C::Confirmed);
    QTest::newRow("current reset, silent device")
        << false << true << false << true
        << HexBytes("01 12 A5 5A 27 10 11 27 10 00 27 10 00 27 10 00 24 54") << int(C::NoReply);
    QTest::newRow("voltage reset")
        << true << true << false << false
        << HexBytes("01 12 A5 5A 00 DC 11 27 10 00 27 10 00 27 10 00 93 73")
        << int(C::Unconfirmable);
}

void TestCalibration::Calibrate() {
    QFETCH(bool, voltage);
    QFETCH(bool, reset);
    QFETCH(bool, ignores);
    QFETCH(bool, silent);
    QFETCH(Bytes, expected);
    QFETCH(int, check);
    CDeviceRig rig;
    if (reset) {
        const LineFit half{0.5, 4.0};
        (voltage ? CalibrateVoltage : CalibrateCurrent)(rig.Ctx, {half, half, half}, {});
        rig.Port.ClearSent();
        rig.Clock.ClearSleeps();
    }
    const std::array<uint16_t, 3> before = {
        rig.Device.Register(0x014A), rig.Device.Register(0x014B), rig.Device.Register(0x014C)};
    rig.Device.IgnorePrivateCommands(ignores);
    if (silent) {
        rig.Silence();
    }
    rig.Port.InjectInput({0xAA, 0xBB});
    std::vector<CoefficientCheck> done;
    auto record = [&](CoefficientCheck c) { done.push_back(c); };
    if (reset) {
        (voltage ? ResetVoltageCoefficients : ResetCurrentCoefficients)(rig.Ctx, record);
    } else {
        (voltage ? CalibrateVoltage : CalibrateCurrent)(rig.Ctx, FitsOf(ExampleGrid()), record);
    }

    QCOMPARE(done, std::vector<CoefficientCheck>{static_cast<CoefficientCheck>(check)});
    const bool readBack = !voltage;
    std::vector<Bytes> sent{expected};
    if (readBack) {
        sent.push_back(VectorFrame("request", 1, "stored coefficients"));
    }
    QCOMPARE(rig.SentFrames(), sent);
    QCOMPARE(rig.Clock.Sleeps(),
             (readBack ? std::vector<uint32_t>{300, 300} : std::vector<uint32_t>{}));
    if (!readBack) {
        QVERIFY(rig.Port.WaitingCount() >= 2);  // nothing discarded
    }
    QCOMPARE(rig.Window.Shows, 0);
    if (silent || ignores) {
        return;
    }
    const std::array<uint16_t, 3> current = {
        rig.Device.Register(0x014A), rig.Device.Register(0x014B), rig.Device.Register(0x014C)};
    const std::array<uint16_t, 3> set = reset ? std::array<uint16_t, 3>{10000, 10000, 10000}
                                              : std::array<uint16_t, 3>{9900, 9950, 10050};
    const std::array<uint16_t, 3> untouched{10000, 10000, 10000};
    QCOMPARE(current, voltage ? before : set);
    QCOMPARE(rig.Device.VoltageA(), voltage ? set : untouched);
    if (reset) {
        QCOMPARE(rig.Device.Register(0x014D), uint16_t{0});
        QCOMPARE(rig.Device.VoltageB(), (std::array<uint8_t, 3>{0, 0, 0}));
    }
}

// Phase B's three bytes of a calibration frame for its a and b.
void TestCalibration::CalibrationFrameRow_data() {
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<Bytes>("row");
    QTest::newRow("b -2.7 as 0xFE") << 1.0 << -2.7 << Bytes{0x27, 0x10, 0xFE};
    QTest::newRow("b -0.5 as 0") << 1.0 << -0.5 << Bytes{0x27, 0x10, 0x00};
    QTest::newRow("b 2.5 goes down to 2") << 1.0 << 2.5 << Bytes{0x27, 0x10, 0x02};
    QTest::newRow("b 2.6 goes up to 3") << 1.0 << 2.6 << Bytes{0x27, 0x10, 0x03};
    QTest::newRow("b 300 keeps its low byte") << 1.0 << 300.0 << Bytes{0x27, 0x10, 0x2C};
    QTest::newRow("a 7 keeps its low 16 bits") << 7.0 << 0.0 << Bytes{0x11, 0x70, 0x00};
    QTest::newRow("negative a") << -0.5 << 0.0 << Bytes{0xEC, 0x78, 0x00};
}

void TestCalibration::CalibrationFrameRow() {
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(Bytes, row);
    const std::array<LineFit, 3> fits{LineFit{1.0, 0.0}, LineFit{a, b}, LineFit{1.0, 0.0}};
    TxBuffer tx{};
    QCOMPARE(BuildCalibrationFrame(tx, 1, kCurrentCalibrationWord, fits), int16_t{18});
    QCOMPARE(Bytes(tx.begin() + 7, tx.begin() + 16),
             (Bytes{0x27, 0x10, 0x00, row[0], row[1], row[2], 0x27, 0x10, 0x00}));
}

void TestCalibration::PwmOutput_data() {
    QTest::addColumn<QStringList>("ab");  // the texts of a and b
    QTest::addColumn<Bytes>("expected");
    auto frame = [](Bytes data) {
        Bytes bytes{0x01, 0x12, 0x5A, 0xA5, 0x4E, 0x20, 0x0C};
        bytes.insert(bytes.end(), data.begin(), data.end());
        return WithCrc(bytes);
    };
    QTest::newRow("1000 and 100") << QStringList{"1000", "100"}
                                  << HexBytes("01 12 5A A5 4E 20 0C 03 E8 00 64 D2 5D");
    QTest::newRow("fraction truncated")
        << QStringList{"12.7", "100"} << frame({0x00, 0x0C, 0x00, 0x64});
    QTest::newRow("-1") << QStringList{"-1", "0"} << frame({0xFF, 0xFF, 0x00, 0x00});
    QTest::newRow("70000 keeps its low 16 bits")
        << QStringList{"1", "70000"} << frame({0x00, 0x01, 0x11, 0x70});
}

void TestCalibration::PwmOutput() {
    QFETCH(QStringList, ab);
    QFETCH(Bytes, expected);
    CDeviceRig rig;
    std::optional<CoefficientCheck> done;
    SendPwmOutput(rig.Ctx, ab[0].toStdString(), ab[1].toStdString(),
                  [&](CoefficientCheck c) { done = c; });
    // Confirmed by reading PWM a and b back from 0x0148 and 0x0149.
    QCOMPARE(done, std::optional<CoefficientCheck>(CoefficientCheck::Confirmed));
    QCOMPARE(rig.SentFrames(),
             (std::vector<Bytes>{expected, VectorFrame("request", 1, "stored coefficients")}));
    QCOMPARE(rig.Clock.Sleeps(), (std::vector<uint32_t>{300, 300}));
    QCOMPARE(rig.Device.Register(0x0148), uint16_t(expected[7] << 8 | expected[8]));
    QCOMPARE(rig.Device.Register(0x0149), uint16_t(expected[9] << 8 | expected[10]));
}

// PWM a and b are whole numbers that fit their 16 bits, each text as a whole (the window
// tests hold the values that were sent before).
void TestCalibration::PwmCoefficientsChecked_data() {
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<QString>("refusal");  // empty: may be sent
    QTest::newRow("limits") << "0"
                            << " 65535 "
                            << "";
    QTest::newRow("b a fraction") << "1000"
                                  << "12.7"
                                  << "PWM b系数的值“12.7”不是0-65535的整数";
    QTest::newRow("b empty") << "1000"
                             << ""
                             << "PWM b系数的值“”不是0-65535的整数";
}

void TestCalibration::PwmCoefficientsChecked() {
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(QString, refusal);
    const auto result = CheckPwmCoefficients(a.toStdString(), b.toStdString());
    QCOMPARE(result ? QString::fromStdString(*result) : QString(), refusal);
}

void TestCalibration::ReadCoefficients_data() {
    QTest::addColumn<QList<int>>("registers");  // 0x0148 to 0x014E, when set
    QTest::addColumn<bool>("silent");
    QTest::addColumn<SimFaults>("faults");
    QTest::addColumn<QStringList>("texts");
    // The phase a in the scale the calibration shows it, b raw and unsigned.
    QTest::newRow("unsigned, one scale")
        << QList<int>{0xFFFF, 0x8000, 0x26AC, 0x26DE, 0x2741, 0xFE01, 0x8099} << false
        << SimFaults{}
        << QStringList{"65535", "32768", "0.9900", "254", "0.9950", "1", "1.0049", "128"};
    // Without a reply the grid keeps what it held: no zeros shown as the device's values.
    const QStringList unchanged{"x", "", "x", "", "x", "", "x", ""};
    QTest::newRow("silent device changes nothing")
        << QList<int>{} << true << SimFaults{} << unchanged;
    QTest::newRow("bad CRC changes nothing")
        << QList<int>{1, 2, 3, 4, 5, 6, 7} << false << Faults({}, false, true) << unchanged;
    QTest::newRow("a write's echo ahead changes nothing")
        << QList<int>{1, 2, 3, 4, 5, 6, 7} << false
        << Faults(WithCrc({0x01, 0x05, 0x00, 0x00, 0xFF, 0x00})) << unchanged;
}

void TestCalibration::ReadCoefficients() {
    QFETCH(QList<int>, registers);
    QFETCH(bool, silent);
    QFETCH(SimFaults, faults);
    QFETCH(QStringList, texts);
    const bool answering = !silent && !faults.CorruptCrc && faults.StrayBytes.empty();
    CDeviceRig rig;
    rig.Port.SetFaults(faults);
    for (int k = 0; k < registers.size(); ++k) {
        rig.Device.SetRegister(static_cast<uint16_t>(0x0148 + k),
                               static_cast<uint16_t>(registers[k]));
    }
    if (silent) {
        rig.Silence();
    }
    CalibrationGrid grid;
    grid.A.fill("x");
    grid.Points[kRowA] = {1, 2, 3, 4};
    int shownWhenDone = -1;
    std::optional<bool> answered;
    mp::ReadCoefficients(rig.Ctx, &grid, [&](bool a) {
        answered = a;
        shownWhenDone = rig.Window.Shows;
    });

    QCOMPARE(rig.SentFrames(),
             std::vector<Bytes>{VectorFrame("request", 1, "stored coefficients")});
    QCOMPARE(answered, std::optional<bool>(answering));
    QCOMPARE(shownWhenDone, answering ? 1 : 0);  // the grid is on screen before the message
    QCOMPARE(CoefficientTexts(grid), texts);
    QCOMPARE(grid.Points[kRowA], (std::array<int32_t, 4>{1, 2, 3, 4}));

    // The value read gives the same values, or nothing.
    const std::optional<CoefficientValues> values = FetchCoefficients(rig.Ctx);
    QCOMPARE(values.has_value(), answering);
    if (values) {
        CalibrationGrid fetched;
        ApplyCoefficients(fetched, *values);
        QCOMPARE(CoefficientTexts(fetched), texts);
    }
}

// What a calibration shows is what reading the coefficients back shows.
void TestCalibration::ReadAfterCalibrationGivesRawValues() {
    CDeviceRig rig(12);
    CalibrationGrid grid = ExampleGrid();
    grid.Points[kRowB] = {10, 13, 20, 23};  // b = 3
    std::array<LineFit, 3> fits{};
    QCOMPARE(PrepareCalibration(grid, fits), std::nullopt);
    const QStringList calibrated = CoefficientTexts(grid);
    CalibrateCurrent(rig.Ctx, fits);
    SendPwmOutput(rig.Ctx, "1234", "-2");
    rig.Clock.Advance(50);

    mp::ReadCoefficients(rig.Ctx, &grid, {});
    QCOMPARE(rig.SentFrames().back(), VectorFrame("request", 12, "stored coefficients"));
    QCOMPARE(CoefficientTexts(grid),
             (QStringList{"1234", "65534", "0.9900", "3", "1.0000", "3", "1.0050", "2"}));
    QCOMPARE(CoefficientTexts(grid).mid(2), calibrated.mid(2));
}

QTEST_GUILESS_MAIN(TestCalibration)
#include "TestCalibration.moc"
