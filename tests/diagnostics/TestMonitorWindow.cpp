// The communication monitor over a faulty line, the "通讯诊断" menu in the main window, the
// scan through the main window's operation state, and pictures of both windows.

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "app/DiagnosticsWiring.h"
#include "app/MainController.h"
#include "app/TrendWiring.h"
#include "diagnostics/Diagnostics.h"
#include "diagnostics/ExchangeRecorder.h"
#include "diagnostics/MonitorModel.h"
#include "diagnostics/MonitorWindow.h"
#include "modbus/RequestBuilder.h"
#include "support/DeviceRig.h"
#include "support/FileSizeLimit.h"
#include "support/MarkingTranslator.h"
#include "support/ScriptedDialogs.h"
#include "support/WindowRig.h"
#include "trend/TrendController.h"
#include "trend/TrendWindow.h"

using namespace mp;
using namespace mp::test;

namespace {

// A run of the live reads over a line that goes silent, spoils CRCs, puts stray bytes ahead
// of replies, answers late and answers with an exception.
void FaultyRun(CDeviceRig& rig) {
    SimFaults faults;
    auto reads = [&rig] {
        rig.Link.ReadSequence(0x03, 0x0106, 3, 200);
        rig.Link.ReadSequence(0x01, 0x0000, 1, 200);
        rig.Link.ReadSequence(0x03, 0x0103, 3, 200);
    };
    reads();
    faults.Silent = true;
    rig.Port.SetFaults(faults);
    reads();
    faults = {};
    faults.CorruptCrc = true;
    rig.Port.SetFaults(faults);
    reads();
    faults = {};
    faults.StrayBytes = {0x00, 0xFF, 0x13};
    rig.Port.SetFaults(faults);
    reads();
    faults = {};
    faults.ReplyDelayMs = 400;
    rig.Port.SetFaults(faults);
    rig.Link.ReadSequence(0x03, 0x0124, 1, 200);
    rig.Port.SetFaults({});
    rig.Link.ReadSequence(0x03, 0x0124, 1, 200);
    rig.Link.ReadSequence(0x03, 0x0300, 1, 200);
    const uint8_t data[] = {0x00, 0x32};
    rig.Link.WriteSequence(BuildWriteRegisters(rig.Link.Tx(), 1, 0x5453, data, 1), 100);
    reads();
}

QString Column(CMonitorModel& model, int column) {
    QStringList cells;
    for (int r = 0; r < model.rowCount(); ++r) {
        cells << model.Cell(r, column);
    }
    return cells.join('|');
}

}  // namespace

class TestMonitorWindow : public QObject {
    Q_OBJECT
private slots:
    void showsAFaultyRun();
    void filterPauseClearAndSave();
    void followsLanguageSwitch();
    void menuOpensMonitorAndScan();
    void scanRunsOnlyWhenIdleAndConnects();
    void closingDuringASearchEndsIt_data();
    void closingDuringASearchEndsIt();
    void closingTakesTheOtherWindowsAlong();
    void failedSaveKeepsTheOldFile();
};

void TestMonitorWindow::showsAFaultyRun() {
    CDeviceRig rig;
    rig.Device.SetRegister(0x0106, 299);
    rig.Device.SetRegister(0x0107, 297);
    rig.Device.SetRegister(0x0108, 302);
    rig.Device.SetRegister(0x0124, 3 << 8);
    CExchangeLog log;
    CExchangeRecorder recorder(log);
    rig.Link.SetObserver(&recorder);
    FaultyRun(rig);
    rig.Link.SetObserver(nullptr);

    CScriptedDialogs files;
    CMonitorWindow monitor(log, files);
    monitor.SetCtRatioSource([] { return 50; });
    monitor.OpenMonitor();
    CMonitorModel& model = monitor.Model();
    QCOMPARE(model.rowCount(), 21);
    QCOMPARE(model.Cell(0, CMonitorModel::Summary),
             QStringLiteral("读A/B/C相电流: 14.95 / 14.85 / 15.10 A"));
    QCOMPARE(model.Cell(0, CMonitorModel::Range), QStringLiteral("0x0106-0x0108"));
    QCOMPARE(model.Cell(0, CMonitorModel::Length), QStringLiteral("8/11"));
    QCOMPARE(model.Cell(0, CMonitorModel::ReplyTime), QStringLiteral("200"));
    QCOMPARE(model.Cell(3, CMonitorModel::Summary), QStringLiteral("读A/B/C相电流: 无应答"));
    QCOMPARE(model.Cell(6, CMonitorModel::Summary), QStringLiteral("读A/B/C相电流: CRC错误"));
    QCOMPARE(model.Cell(6, CMonitorModel::Crc), QStringLiteral("错误"));
    QCOMPARE(model.Cell(9, CMonitorModel::Summary),
             QStringLiteral("读A/B/C相电流: 14.95 / 14.85 / 15.10 A (应答前有 3 个多余字节)"));
    QCOMPARE(model.Cell(12, CMonitorModel::Summary), QStringLiteral("读事件条数: 无应答"));
    QCOMPARE(model.Cell(13, CMonitorModel::Summary), QStringLiteral("迟到的应答已丢弃 (7 字节)"));
    QCOMPARE(model.Cell(14, CMonitorModel::Summary), QStringLiteral("事件条数 3"));
    QCOMPARE(model.Cell(15, CMonitorModel::Summary),
             QStringLiteral("读寄存器 0x0300: 异常应答 02 非法数据地址"));
    QCOMPARE(model.Cell(16, CMonitorModel::Summary), QStringLiteral("写定值 0x5453: 电流变比 50"));
    QCOMPARE(model.Cell(16, CMonitorModel::Direction), QStringLiteral("发"));
    QCOMPARE(model.Cell(17, CMonitorModel::Summary),
             QStringLiteral("请求前的多余字节已丢弃 (8 字节)"));
    QCOMPARE(model.RawHex(0).left(27), QStringLiteral("发送: 01 03 01 06 00 03 E4 36"));

    const ExchangeCounters c = log.Counters();
    QCOMPARE(c.Requests, 19u);
    QCOMPARE(c.GoodReplies, 10u);
    QCOMPARE(c.NoReply, 4u);
    QCOMPARE(c.BadCrc, 3u);
    QCOMPARE(c.Exceptions, 1u);
    QCOMPARE(c.StrayBytes, 9u + 8u);
    QCOMPARE(c.LateBytes, 7u);
    const QString tooltip = monitor.CountersText();
    QVERIFY(tooltip.startsWith(
        QStringLiteral("请求 19, 正常应答 10, 无应答 4, CRC错误 3, 异常应答 1")));
    QVERIFY(tooltip.contains(QStringLiteral("读A/B/C相电流 3/5 (60.0%)")));

    // The picture of the monitor during the faulty run.
    monitor.resize(1000, 560);
    monitor.Table().selectRow(6);
    const QString dir = qEnvironmentVariable("MP_SCREENSHOTS");
    if (!dir.isEmpty()) {
        QVERIFY(monitor.grab().save(QDir(dir).filePath(QStringLiteral("monitor-faulty-run.png"))));
    }
}

void TestMonitorWindow::filterPauseClearAndSave() {
    CDeviceRig rig;
    CExchangeLog log;
    CExchangeRecorder recorder(log);
    rig.Link.SetObserver(&recorder);
    FaultyRun(rig);
    CScriptedDialogs files;
    CMonitorWindow monitor(log, files);
    monitor.OpenMonitor();
    auto* filter = monitor.findChild<QComboBox*>(QStringLiteral("filter"));
    QVERIFY(filter != nullptr);
    // Errors only: silence, bad CRCs, the late read, the exception and the two drops.
    filter->setCurrentIndex(1);
    emit filter->activated(1);
    QCOMPARE(monitor.Model().rowCount(), 3 + 3 + 1 + 1 + 2);
    // One operation.
    const int index = filter->findText(QStringLiteral("读输出状态"));
    QVERIFY(index > 1);
    filter->setCurrentIndex(index);
    emit filter->activated(index);
    QCOMPARE(Column(monitor.Model(), CMonitorModel::Function), QStringLiteral("01|01|01|01|01"));

    // Paused, the table stays as it is; the counters go on.
    auto* pause = Child<QPushButton>(monitor, QStringLiteral("pause"));
    pause->click();
    rig.Link.ReadSequence(0x01, 0x0000, 1, 200);
    monitor.Refresh();
    QCOMPARE(monitor.Model().rowCount(), 5);
    QCOMPARE(log.Counters().PerOperation.at("读输出状态").Asked, 6u);
    pause->click();
    QCOMPARE(monitor.Model().rowCount(), 6);

    QTemporaryDir dir;
    files.SaveAnswer = dir.filePath(QStringLiteral("log.csv"));
    monitor.Save();
    QFile csv(files.SaveAnswer);
    QVERIFY(csv.open(QIODevice::ReadOnly));
    const QByteArray bytes = csv.readAll();
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    const QStringList lines = QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 1 + 6 + 1);
    QCOMPARE(lines[0], QStringLiteral("时间(ms),方向,地址,功能码,寄存器/线圈,长度,CRC,"
                                      "应答(ms),内容,发送,接收"));
    QVERIFY(lines[1].contains(QStringLiteral(",01 01 00 00 00 01 FD CA,01 01 01")));
    // A file that cannot be written is named in the message.
    files.SaveAnswer = dir.filePath(QStringLiteral("missing/log.txt"));
    monitor.Save();
    QCOMPARE(files.Messages.size(), 1);
    QVERIFY(files.Messages[0].contains(QStringLiteral("missing/log.txt")));

    Child<QPushButton>(monitor, QStringLiteral("clear"))->click();
    QCOMPARE(monitor.Model().rowCount(), 0);
    QCOMPARE(log.Counters().Requests, 0u);

    // Fewer kept: the table holds only the newest.
    auto* keep = Child<QSpinBox>(monitor, QStringLiteral("keep"));
    keep->setValue(100);
    emit keep->editingFinished();
    for (int k = 0; k < 120; ++k) {
        rig.Link.ReadSequence(0x03, 0x0124, 1, 300);
    }
    filter->setCurrentIndex(0);
    emit filter->activated(0);
    QCOMPARE(log.Size(), size_t{100});
    QCOMPARE(monitor.Model().rowCount(), 100);
    QCOMPARE(log.Counters().Requests, 120u);
    rig.Link.SetObserver(nullptr);
}

void TestMonitorWindow::followsLanguageSwitch() {
    CDeviceRig rig;
    CExchangeLog log;
    CExchangeRecorder recorder(log);
    rig.Link.SetObserver(&recorder);
    FaultyRun(rig);
    CScriptedDialogs files;
    CMonitorWindow monitor(log, files);
    monitor.OpenMonitor();
    auto* filter = Child<QComboBox>(monitor, QStringLiteral("filter"));
    const int index = filter->findText(QStringLiteral("读输出状态"));
    QVERIFY(index > 1);
    filter->setCurrentIndex(index);
    emit filter->activated(index);
    const int rows = monitor.Model().rowCount();
    Child<QPushButton>(monitor, QStringLiteral("pause"))->click();
    QSignalSpy headers(&monitor.Model(), &QAbstractItemModel::headerDataChanged);
    QSignalSpy cells(&monitor.Model(), &QAbstractItemModel::dataChanged);

    {
        CMarkingTranslator english;
        QCOMPARE(monitor.windowTitle(), QStringLiteral("EN:通讯监视"));
        QCOMPARE(headers.size(), 1);
        QCOMPARE(cells.size(), 1);
        QCOMPARE(
            monitor.Model().headerData(CMonitorModel::Summary, Qt::Horizontal, Qt::DisplayRole),
            QVariant(QStringLiteral("EN:内容")));
        // The rows already shown are decoded again.
        QCOMPARE(monitor.Model().Cell(0, CMonitorModel::Direction), QStringLiteral("EN:发/收"));
        QVERIFY(monitor.Model().Cell(0, CMonitorModel::Summary).startsWith(QStringLiteral("EN:")));
        QVERIFY(monitor.Model().RawHex(0).startsWith(QStringLiteral("EN:发送: ")));
        // The paused button says so, and the chosen operation stays chosen under its new name.
        QCOMPARE(Child<QPushButton>(monitor, QStringLiteral("pause"))->text(),
                 QStringLiteral("EN:继续"));
        QCOMPARE(filter->currentIndex(), index);
        QCOMPARE(filter->itemText(0), QStringLiteral("EN:全部"));
        QCOMPARE(filter->currentText(), QStringLiteral("EN:读输出状态"));
        QCOMPARE(monitor.Table().accessibleName(), QStringLiteral("EN:通讯记录"));
        QVERIFY(monitor.CountersText().startsWith(QStringLiteral("EN:请求 ")));
        QVERIFY(monitor.CountersText().contains(QStringLiteral("EN:读输出状态 ")));
        // The filter goes by the operation, not by its words.
        emit filter->activated(index);
        QCOMPARE(monitor.Model().rowCount(), rows);
        QCOMPARE(Column(monitor.Model(), CMonitorModel::Function).count(QStringLiteral("01")),
                 rows);
        // A saved log is in the language the window shows.
        QTemporaryDir dir;
        files.SaveAnswer = dir.filePath(QStringLiteral("log.csv"));
        monitor.Save();
        QFile csv(files.SaveAnswer);
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromUtf8(csv.readAll()).contains(QStringLiteral("EN:时间(ms),EN:方向")));
    }
    // And back.
    QCOMPARE(monitor.windowTitle(), QStringLiteral("通讯监视"));
    QCOMPARE(filter->currentText(), QStringLiteral("读输出状态"));
    QCOMPARE(monitor.Model().Cell(0, CMonitorModel::Direction), QStringLiteral("发/收"));
}

void TestMonitorWindow::menuOpensMonitorAndScan() {
    CWindowRig rig;
    CScriptedDialogs files;
    const auto diagnostics = InstallDiagnostics(rig.Window, *rig.Controller, files);
    QAction* monitor = diagnostics->MonitorAction();
    QCOMPARE(monitor->text(), QStringLiteral("通讯监视..."));
    QCOMPARE(monitor->shortcut(), QKeySequence(QStringLiteral("Ctrl+M")));
    QCOMPARE(diagnostics->ScanAction()->text(), QStringLiteral("搜索设备..."));
    bool inMenu = false;
    for (QAction* action : rig.Window.menuBar()->actions()) {
        inMenu = inMenu || action->text() == QStringLiteral("通讯诊断");
    }
    QVERIFY(inMenu);
    {
        // The menu follows the main window's language.
        CMarkingTranslator english;
        QCOMPARE(monitor->text(), QStringLiteral("EN:通讯监视..."));
        QCOMPARE(diagnostics->ScanAction()->text(), QStringLiteral("EN:搜索设备..."));
        inMenu = false;
        for (QAction* action : rig.Window.menuBar()->actions()) {
            inMenu = inMenu || action->text() == QStringLiteral("EN:通讯诊断");
        }
        QVERIFY(inMenu);
    }
    QCOMPARE(monitor->text(), QStringLiteral("通讯监视..."));

    // The traffic of the window's own operations reaches the monitor.
    rig.Device.SetRegister(0x0124, 2 << 8);
    QVERIFY(rig.Drain());  // the port is open
    rig.Controller->Run(MainCommand::ReadEventRecords);
    QVERIFY(rig.Drain());
    monitor->trigger();
    QVERIFY(diagnostics->Monitor().isVisible());
    QVERIFY(diagnostics->Monitor().Model().rowCount() > 0);
    QCOMPARE(diagnostics->Monitor().Model().Cell(0, CMonitorModel::Summary),
             QStringLiteral("事件条数 2"));
    QVERIFY(diagnostics->CountersTooltip().contains(QStringLiteral("读事件条数 1/1")));
    diagnostics->Monitor().close();

    // The status bar's link lamp opens it too.
    QTest::mouseClick(rig.Window.LinkLamp(), Qt::LeftButton);
    QVERIFY(diagnostics->Monitor().isVisible());
    diagnostics->Monitor().close();
}

void TestMonitorWindow::scanRunsOnlyWhenIdleAndConnects() {
    CWindowRig rig(5);
    CScriptedDialogs files;
    auto diagnostics = InstallDiagnostics(rig.Window, *rig.Controller, files);
    QVERIFY(rig.Drain());
    diagnostics->ScanAction()->trigger();
    CScanDlg* dialog = diagnostics->ScanDialog();
    QVERIFY(dialog != nullptr && dialog->isVisible());
    dialog->FirstAddress().setValue(1);
    dialog->LastAddress().setValue(8);

    // While polling the scan is refused, with the reason told.
    rig.Controller->Run(MainCommand::ReadRealtimeData);
    QVERIFY(QTest::qWaitFor([&] { return rig.State() == OperationState::Polling; }, 5000));
    dialog->StartScan();
    QVERIFY(!dialog->Running());
    rig.Controller->Run(MainCommand::StopRun);
    QVERIFY(rig.Drain());

    rig.Device.SetBaudCode(4);  // the device moved to 19200
    rig.Device.SetParity(kParityNone);
    dialog->BaudChoice().setCurrentIndex(0);
    dialog->StartScan();
    QVERIFY(dialog->Running());
    QVERIFY(QTest::qWaitFor([&] { return !dialog->Running(); }, 20000));
    QCOMPARE(dialog->Found().size(), size_t{1});
    QCOMPARE(dialog->Found()[0].Address, 5);
    QCOMPARE(dialog->Found()[0].BaudRate, 19200);
    QCOMPARE(rig.Port.Settings().BaudRate, 9600);  // put back

    const QString picture = qEnvironmentVariable("MP_SCREENSHOTS");
    if (!picture.isEmpty()) {
        dialog->Table().selectRow(0);
        QVERIFY(dialog->grab().save(QDir(picture).filePath(QStringLiteral("scan-dialog.png"))));
    }

    dialog->Table().selectRow(0);
    dialog->ConnectSelected();
    QVERIFY(rig.Drain());
    QCOMPARE(rig.Port.Settings().BaudRate, 19200);
    QCOMPARE(rig.Controller->Connection().BaudRate, 19200);
    QCOMPARE(rig.Controller->Link().SlaveAddress(), uint8_t{5});
    QCOMPARE(diagnostics->Log().Counters().Requests, 0u);  // counted anew from the connection
    // The operator sees where the tool now is: in the dialog, the status and the line field.
    QCOMPARE(dialog->Status().text(), QStringLiteral("已连接到地址 5，19200 波特，无校验"));
    QCOMPARE(rig.Status(), QStringLiteral("已连接到地址 5，19200 波特"));
    QCOMPARE(rig.Window.LineText(), QStringLiteral("COM3  19200 波特 无校验  地址 5"));
    QVERIFY(!rig.Controller->Worker().IsPolling());
    diagnostics.reset();
}

void TestMonitorWindow::closingDuringASearchEndsIt_data() {
    QTest::addColumn<int>("pass");  // waits of the search before the close
    QTest::newRow("first address") << 0;
    QTest::newRow("within the first rate") << 40;
    QTest::newRow("a later rate and parity") << 600;
}

// The main window closed during a search over every rate and parity (minutes of waits): the
// search ends at the address it is at, nothing more is sent, and the program has ended
// (worker joined, port closed, search dialog gone) within a second.
void TestMonitorWindow::closingDuringASearchEndsIt() {
    QFETCH(int, pass);
    CWindowRig rig;
    CScriptedDialogs files;
    auto diagnostics = InstallDiagnostics(rig.Window, *rig.Controller, files);
    rig.Window.show();
    QVERIFY(rig.Drain());
    diagnostics->ScanAction()->trigger();
    CScanDlg* dialog = diagnostics->ScanDialog();
    QVERIFY(dialog != nullptr && dialog->isVisible());
    dialog->BaudChoice().setCurrentIndex(0);  // every rate
    dialog->ParityChoice().setCurrentIndex(dialog->ParityChoice().findData(-1));
    QCOMPARE(CBusScan::Steps(dialog->Plan()), 247 * 5 * 3);
    rig.HoldInWait(pass);
    dialog->StartScan();
    QVERIFY(dialog->Running());
    QVERIFY(rig.WaitUntilHeld());

    const size_t sent = rig.Port.Sent().size();
    QElapsedTimer closing;
    closing.start();
    rig.Window.close();
    QVERIFY2(closing.elapsed() < 1000, qPrintable(QString::number(closing.elapsed())));
    QVERIFY(!rig.Port.IsPortOpen());
    QCOMPARE(rig.Port.Sent().size(), sent);
    QVERIFY(!dialog->isVisible());
    diagnostics.reset();
}

// The trend and the monitor open when the main window closes: they close with it, and no
// window of the program is left.
void TestMonitorWindow::closingTakesTheOtherWindowsAlong() {
    CWindowRig rig;
    CScriptedDialogs files;
    const auto trend = InstallTrend(rig.Window, *rig.Controller, files);
    const auto diagnostics = InstallDiagnostics(rig.Window, *rig.Controller, files);
    rig.Window.show();
    diagnostics->MonitorAction()->trigger();
    trend->ShowTrendWindow();
    QPointer<CTrendWindow> trendWindow = trend->TrendWindow();
    QVERIFY(diagnostics->Monitor().isVisible());
    QVERIFY(trendWindow && trendWindow->isVisible());

    rig.Window.close();
    QVERIFY(!diagnostics->Monitor().isVisible());
    QVERIFY(!trendWindow || !trendWindow->isVisible());
    for (QWidget* window : QApplication::topLevelWidgets()) {
        QVERIFY2(!window->isVisible(), qPrintable(window->objectName() + window->windowTitle()));
    }
}

// A disk that fills up during the monitor's save: the message names the file, and the file
// saved before is still whole.
void TestMonitorWindow::failedSaveKeepsTheOldFile() {
    CDeviceRig rig;
    CExchangeLog log;
    CExchangeRecorder recorder(log);
    rig.Link.SetObserver(&recorder);
    FaultyRun(rig);
    CScriptedDialogs files;
    CMonitorWindow monitor(log, files);
    monitor.OpenMonitor();
    QTemporaryDir dir;
    files.SaveAnswer = dir.filePath(QStringLiteral("log.csv"));
    const QByteArray old = QByteArray("\xEF\xBB\xBF") + "an earlier log\r\n";
    {
        QFile earlier(files.SaveAnswer);
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write(old);
    }
    {
        CFileSizeLimit full(64);
        QVERIFY(full.Active());
        monitor.Save();
    }
    QCOMPARE(files.Messages.size(), 1);
    QVERIFY(files.Messages[0].contains(QStringLiteral("log.csv")));
    QFile kept(files.SaveAnswer);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), old);
    kept.close();
    // With room the same save replaces it.
    monitor.Save();
    QCOMPARE(files.Messages.size(), 1);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QVERIFY(kept.readAll().size() > 64);
}

QTEST_MAIN(TestMonitorWindow)
#include "TestMonitorWindow.moc"
