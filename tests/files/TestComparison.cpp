// The comparison with the device: the device's settings read into a set of their own, the
// differing settings marked exactly, a silent device never compared, one side taken into the
// window, and a file written to the device read back equal with its write recorded.

#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include "files/ComparisonDlg.h"
#include "files/DeviceSettingsRead.h"
#include "files/FilesRig.h"
#include "files/SettingsFile.h"
#include "language/Text.h"
#include "support/DeviceRig.h"
#include "support/MarkingTranslator.h"

using namespace mp;
using namespace mp::test;

namespace {

// Captions (without units) of the rows marked as differing.
QStringList Marked(const ComparisonView& view) {
    QStringList marked;
    for (const ComparisonRow& row : view.Rows) {
        if (row.Differs) {
            marked << row.Caption.section(QStringLiteral(" ("), 0, 0);
        }
    }
    return marked;
}

QByteArray FileOf(const SettingsValues& values) {
    CSettingsFile file;
    file.Values = values;
    return file.ToJson();
}

}  // namespace

class TestComparison : public QObject {
    Q_OBJECT
private slots:
    void DeviceReadAnswersOrNothing_data();
    void DeviceReadAnswersOrNothing();
    void MarksExactlyTheDifferingSettings_data();
    void MarksExactlyTheDifferingSettings();
    void SilentDeviceIsNotCompared();
    void TakesOneSideIntoTheWindow();
    void FileWrittenToTheDeviceReadsBackEqual();
    void WindowShowsTheDifferences();
    void LanguageSwitchKeepsRowsAndSelection();
};

void TestComparison::DeviceReadAnswersOrNothing_data() {
    QTest::addColumn<int>("answered");  // requests answered before silence, -1 for all
    QTest::newRow("all") << -1;
    QTest::newRow("none") << 0;
    QTest::newRow("block A only") << 1;
    QTest::newRow("blocks A and B") << 2;
}

void TestComparison::DeviceReadAnswersOrNothing() {
    QFETCH(int, answered);
    CDeviceRig rig;
    if (answered >= 0) {
        rig.Silence(answered);
    }
    std::optional<std::optional<SettingsValues>> result;
    ReadDeviceSettings(rig.Ctx, [&](std::optional<SettingsValues> values) { result = values; });
    QVERIFY(result.has_value());
    QCOMPARE(rig.Window.Shows, 0);  // nothing reaches the window's fields
    QCOMPARE(result->has_value(), answered < 0);
    if (answered < 0) {
        QCOMPARE(ScreenOf(**result), ScreenOf(DeviceStartValues()));
        QCOMPARE(rig.SentFrames(),
                 (std::vector<std::vector<uint8_t>>{
                     ReadFrame(1, 0x0150, 16), ReadFrame(1, 0x0154, 4), ReadFrame(1, 0x0160, 3)}));
    }
}

void TestComparison::MarksExactlyTheDifferingSettings_data() {
    QTest::addColumn<int>("reg");  // 0: the device as it starts
    QTest::addColumn<int>("value");
    QTest::addColumn<QStringList>("marked");
    QTest::addColumn<QString>("windowCt");  // the CT ratio as the window holds it
    auto row = [](const char* name, int reg, int value, const QStringList& marked,
                  const char* windowCt = "50.0") {
        QTest::newRow(name) << reg << value << marked << QString::fromUtf8(windowCt);
    };
    row("same", 0, 0, QStringList());
    row("CT ratio", 0x0153, 51, QStringList{"电流变比"});
    row("start mode", 0x0155, (5 << 8 | 2), QStringList{"起动方式"});
    row("phase-loss time", 0x0155, (6 << 8 | 0), QStringList{"缺相时间"});
    row("PWM phase", 0x0154, 2, QStringList{"PWM选择输出"});
    row("curve", 0x015B, 7, QStringList{"曲线选择"});
    row("curve outside list", 0x015B, 13, QStringList{"曲线选择"});
    row("locked rotor pair", 0x015C, (41 << 8 | 6),
        QStringList{"堵转保护动作倍数", "堵转保护动作时间"});
    row("short circuit off", 0x015A, (0xF6 << 8 | 1), QStringList{"短路保护"});
    row("under-voltage off", 0x015A, (0xF7 << 8 | 0), QStringList{"欠压保护"});
    row("definite time on", 0x015A, (0xFF << 8 | 1), QStringList{"定时限过负荷"});
    row("over-voltage time", 0x0160, (120 << 8 | 6), QStringList{"过压保护动作时间"});
    row("breaking current", 0x0162, 9998, QStringList{"交流接触器允许分断电流"});
    row("rated voltage", 0x0157, 381, QStringList{"额定电压"});
    // What the device holds against what the window means: a write would have sent 12, but
    // the window's 12.7 is not the device's 12 (it was reported the same).
    row("CT 12.7 in the window, 12 in the device", 0x0153, 12, QStringList{"电流变比"}, "12.7");
}

void TestComparison::MarksExactlyTheDifferingSettings() {
    QFETCH(int, reg);
    QFETCH(int, value);
    QFETCH(QStringList, marked);
    QFETCH(QString, windowCt);
    CFilesRig rig;
    if (reg != 0) {
        rig.Device.SetRegister(static_cast<uint16_t>(reg), static_cast<uint16_t>(value));
    }
    // The same values in other texts: "50.0" is the CT ratio 50 the device holds.
    SettingsValues window = DeviceStartValues();
    window.Protection.CtRatio = windowCt.toStdString();
    window.Protection.LockedRotorTime = "0.50";
    rig.Show(window);
    rig.Trigger("actionCompareWithDevice");
    QTRY_COMPARE(rig.FileDialogs.Views.size(), size_t{1});
    const ComparisonView& view = rig.FileDialogs.Views.front();
    QCOMPARE(view.Rows.size(), kSettingRowCount + kProtectionCount);
    QCOMPARE(Marked(view), marked);
    QCOMPARE(view.WindowHeader(), QStringLiteral("窗口"));
    QVERIFY(!view.CanTakeFile);
    QVERIFY(view.DeviceHeader().contains(QStringLiteral("地址 1，波特率 9600")));
    // Reading the device's values for the comparison leaves the window's alone.
    QCOMPARE(rig.Screen(), ScreenOf(window));
    QVERIFY(rig.FileDialogs.Messages.isEmpty());
}

void TestComparison::SilentDeviceIsNotCompared() {
    CFilesRig rig;
    SimFaults silent;
    silent.Silent = true;
    rig.Port.SetFaults(silent);
    rig.Show(DeviceStartValues());
    rig.Trigger("actionCompareWithDevice");
    QTRY_COMPARE(rig.FileDialogs.Messages.size(), 1);
    QVERIFY(rig.FileDialogs.Messages.first().contains(QStringLiteral("设备没有应答")));
    QVERIFY(rig.FileDialogs.Views.empty());
    QCOMPARE(rig.Screen(), ScreenOf(DeviceStartValues()));
}

void TestComparison::TakesOneSideIntoTheWindow() {
    CFilesRig rig;
    rig.Device.SetRegister(0x0153, 51);
    rig.Device.SetRegister(0x015B, 13);  // a curve outside the list is not taken
    rig.Device.SetRegister(0x0155, 5 << 8 | 2);
    SettingsValues file = DeviceStartValues();
    file.Protection.CtRatio = "200";
    rig.Write("f.json", FileOf(file));
    QVERIFY(rig.Files->OpenSettingsFile(rig.Path("f.json")));

    rig.FileDialogs.ComparisonAnswer = ComparisonChoice::TakeDevice;
    rig.Trigger("actionCompareWithDevice");
    QTRY_COMPARE(rig.FileDialogs.Views.size(), size_t{1});
    QVERIFY(rig.FileDialogs.Views[0].WindowHeader().startsWith(QStringLiteral("文件 f.json")));
    SettingsValues taken = DeviceStartValues();
    taken.Protection.CtRatio = "51";
    taken.StartMode = "星三角起动";
    QCOMPARE(rig.Screen(), ScreenOf(taken));
    QCOMPARE(Child<QLineEdit>(rig.Window, "startModeDisplay")->text(),
             QStringLiteral("星三角起动"));

    rig.FileDialogs.ComparisonAnswer = ComparisonChoice::TakeFile;
    rig.Trigger("actionCompareWithDevice");
    QTRY_COMPARE(rig.FileDialogs.Views.size(), size_t{2});
    QCOMPARE(rig.FileDialogs.Views[1].WindowHeader(), QStringLiteral("窗口"));
    QVERIFY(rig.FileDialogs.Views[1].CanTakeFile);
    QCOMPARE(rig.Screen(), ScreenOf(file));
}

void TestComparison::FileWrittenToTheDeviceReadsBackEqual() {
    CFilesRig rig;
    const SettingsValues file = DistinctValues();
    rig.Write("f.json", FileOf(file));
    QVERIFY(rig.Files->OpenSettingsFile(rig.Path("f.json")));

    // The settings write leaves the device's start mode as it was: while it differs from the
    // file's, no record says the file was written (one did, though the device stayed
    // "直接起动").
    QVERIFY(file.StartMode != "直接起动");
    QTest::mouseClick(Child<QPushButton>(rig.Window, "writeSettingsButton"), Qt::LeftButton);
    QTRY_COMPARE(rig.FileDialogs.Messages.size(), 1);
    QVERIFY2(rig.FileDialogs.Messages.first().contains(QStringLiteral("因此未记录这次写入")),
             qPrintable(rig.FileDialogs.Messages.first()));
    QVERIFY(rig.FileDialogs.Questions.isEmpty());

    // The start mode by its own command, then the write: the file is on the device whole.
    QTest::mouseClick(Child<QPushButton>(rig.Window, "setStartModeButton"), Qt::LeftButton);
    QTest::mouseClick(Child<QPushButton>(rig.Window, "writeSettingsButton"), Qt::LeftButton);
    QTRY_COMPARE(rig.FileDialogs.Questions.size(), 1);
    QVERIFY(rig.FileDialogs.Questions.first().contains(QStringLiteral("地址 1，波特率 9600")));

    rig.Trigger("actionCompareWithDevice");
    QTRY_COMPARE(rig.FileDialogs.Views.size(), size_t{1});
    const ComparisonView& view = rig.FileDialogs.Views.front();
    QCOMPARE(Marked(view), QStringList());
    QCOMPARE(view.WindowHeader(), QStringLiteral("文件 f.json"));
    QVERIFY2(view.Records().contains(QStringLiteral("写入 串口 COM3，地址 1，波特率 9600")),
             qPrintable(view.Records()));

    const auto onDisk = CSettingsFile::Load(rig.Path("f.json"), nullptr);
    QVERIFY(onDisk);
    QCOMPARE(onDisk->Writes().size(), 1);
    QCOMPARE(onDisk->Writes().first().Line.Address, 1);
    QCOMPARE(onDisk->Writes().first().Line.BaudRate, 9600);
    QVERIFY(qAbs(onDisk->Writes().first().WrittenAt.secsTo(QDateTime::currentDateTime())) < 60);

    // Values edited after opening are not the file's: no record is offered.
    Child<QLineEdit>(rig.Window, "ctRatioEdit")->setText("121");
    QTest::mouseClick(Child<QPushButton>(rig.Window, "writeSettingsButton"), Qt::LeftButton);
    QTRY_COMPARE(rig.Dialogs.Messages.count(QStringLiteral("数据写入成功...")), 2);
    QCOMPARE(rig.FileDialogs.Questions.size(), 1);
}

void TestComparison::WindowShowsTheDifferences() {
    SettingsValues device = DeviceStartValues();
    device.Protection.CtRatio = "51";
    device.Protection.CurveSelection.clear();  // reported outside the list
    ComparisonView view;
    view.Rows = CompareSettings(device, DeviceStartValues());
    view.Line = {QStringLiteral("COM3"), 1, 9600};
    view.FileName = QStringLiteral("a.json");
    view.FilePath = QStringLiteral("/tmp/a.json");
    CComparisonDlg dialog(view);
    auto* table = Child<QTableWidget>(dialog, "comparisonTable");
    QCOMPARE(table->rowCount(), static_cast<int>(kSettingRowCount + kProtectionCount));
    QCOMPARE(table->horizontalHeaderItem(2)->text(), QStringLiteral("文件 a.json"));
    for (int r = 0; r < table->rowCount(); ++r) {
        const bool differs = r == 0 || r == 11;  // CT ratio and curve
        QCOMPARE(table->item(r, 4)->text(), differs ? QStringLiteral("不同") : QString());
        QCOMPARE(table->item(r, 1)->background().color() == CComparisonDlg::DifferenceColour(),
                 differs);
    }
    QCOMPARE(table->item(11, 1)->text(), QStringLiteral("（无效值）"));
    QCOMPARE(table->item(4, 3)->text(), QStringLiteral("—"));  // no factory start mode
    QVERIFY(Child<QLabel>(dialog, "summaryLabel")->text().contains(QStringLiteral("有 2 项")));
    QVERIFY(!Child<QPushButton>(dialog, "takeFileButton")->isEnabled());
    QVERIFY2(AccessibilityProblems(dialog).isEmpty(),
             qPrintable(AccessibilityProblems(dialog).join(", ")));
    QTest::mouseClick(Child<QPushButton>(dialog, "takeDeviceButton"), Qt::LeftButton);
    QCOMPARE(dialog.Choice(), ComparisonChoice::TakeDevice);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
}

void TestComparison::LanguageSwitchKeepsRowsAndSelection() {
    SettingsValues device = DeviceStartValues();
    device.Protection.CtRatio = "51";
    device.Protection.CurveSelection.clear();
    device.Protection.PwmPhase = "B相电流";
    ComparisonView view;
    view.Rows = CompareSettings(device, DeviceStartValues());
    view.Line = {QStringLiteral("COM3"), 1, 9600};
    view.FilePath = QStringLiteral("/tmp/a.json");
    CComparisonDlg dialog(view);
    dialog.show();
    auto* table = Child<QTableWidget>(dialog, "comparisonTable");
    table->selectRow(13);
    CFilesRig rig;
    auto* menu = Child<QMenu>(rig.Window, "fileMenu");
    auto* recent = Child<QMenu>(rig.Window, "recentFilesMenu");
    const QString pwmWindow = table->item(13, 2)->text();

    {
        CMarkingTranslator english;
        QCOMPARE(dialog.windowTitle(), CMarkingTranslator::Mark(QStringLiteral("与设备比较")));
        QCOMPARE(menu->title(), CMarkingTranslator::Mark(QStringLiteral("文件")));
        QCOMPARE(recent->actions().value(0)->text(),
                 CMarkingTranslator::Mark(QStringLiteral("（无）")));
        QCOMPARE(table->rowCount(), static_cast<int>(kSettingRowCount + kProtectionCount));
        QCOMPARE(table->currentRow(), 13);
        QVERIFY(table->item(13, 0)->isSelected());
        QCOMPARE(table->accessibleName(), CMarkingTranslator::Mark(QStringLiteral("定值比较")));
        QCOMPARE(table->horizontalHeaderItem(0)->text(),
                 CMarkingTranslator::Mark(QStringLiteral("定值")));
        QCOMPARE(table->horizontalHeaderItem(2)->text(),
                 CMarkingTranslator::Mark(QStringLiteral("窗口")));
        // Caption and unit each translated; numbers stay; list texts and states translated.
        QCOMPARE(table->item(5, 0)->text(),
                 QStringLiteral("%1 (%2)").arg(
                     CMarkingTranslator::Mark(QStringLiteral("堵转保护动作倍数")),
                     CMarkingTranslator::Mark(QStringLiteral("倍额定电流"))));
        QCOMPARE(table->item(0, 1)->text(), QStringLiteral("51"));
        QCOMPARE(table->item(0, 4)->text(), CMarkingTranslator::Mark(QStringLiteral("不同")));
        QCOMPARE(table->item(11, 1)->text(),
                 CMarkingTranslator::Mark(QStringLiteral("（无效值）")));
        QCOMPARE(table->item(13, 1)->text(), CMarkingTranslator::Mark(QStringLiteral("B相电流")));
        QCOMPARE(table->item(19, 2)->text(), CMarkingTranslator::Mark(QStringLiteral("投入")));
        QCOMPARE(Child<QPushButton>(dialog, "closeButton")->text(),
                 CMarkingTranslator::Mark(QStringLiteral("关闭")));
        QVERIFY(Child<QLabel>(dialog, "recordsLabel")
                    ->text()
                    .startsWith(CMarkingTranslator::Mark(QStringLiteral("定值文件：%1"))
                                    .arg(QStringLiteral("/tmp/a.json"))));
    }
    // Back in Chinese: the words are the program's own again, the rows and selection unchanged.
    QCOMPARE(dialog.windowTitle(), QStringLiteral("与设备比较"));
    QCOMPARE(menu->title(), QStringLiteral("文件"));
    QCOMPARE(table->item(13, 2)->text(), pwmWindow);
    QCOMPARE(table->currentRow(), 13);
}

QTEST_MAIN(TestComparison)
#include "TestComparison.moc"
