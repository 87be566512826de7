// The bus scan over a simulated bus of several devices at their own addresses, rates and
// parities: it finds exactly those, takes the time its waits give, stops when asked and puts
// the line back; the dialog lists them, exports them and connects to one.

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "diagnostics/BusScan.h"
#include "diagnostics/ScanDlg.h"
#include "simulator/SimulatedPort.h"
#include "simulator/VirtualClock.h"
#include "support/FileSizeLimit.h"
#include "support/ImmediateWindow.h"
#include "support/MarkingTranslator.h"
#include "support/ScriptedDialogs.h"

using namespace mp;
using namespace mp::test;

namespace {

struct BusDevice {
    int Address;
    int BaudCode;
    int Parity;
};

// Devices 1 (9600, none), 5 (19200, even) and 12 (1200, odd) on one line.
struct CBusRig {
    explicit CBusRig(const std::vector<BusDevice>& devices = {{1, 3, kParityNone},
                                                              {5, 4, kParityEven},
                                                              {12, 0, kParityOdd}})
        : Port(First, Clock), Link(Port, Clock), Ctx(Link, Window, Window) {
        for (size_t k = 0; k < devices.size(); ++k) {
            CSimulatedDevice& device =
                k == 0 ? First : *Others.emplace_back(std::make_unique<CSimulatedDevice>());
            device.SetAddress(static_cast<uint8_t>(devices[k].Address));
            device.SetBaudCode(devices[k].BaudCode);
            device.SetParity(devices[k].Parity);
            if (k > 0) {
                Port.AddDevice(device);
            }
        }
        Port.OpenPort(Line);
        Link.SetSlaveAddress(1);
    }

    ScanPlan Plan(int first, int last, std::vector<int> rates, std::vector<int> parities) const {
        ScanPlan plan;
        plan.FirstAddress = first;
        plan.LastAddress = last;
        plan.BaudRates = std::move(rates);
        plan.Parities = std::move(parities);
        plan.Line = Line;
        return plan;
    }

    PortSettings Line{"sim", 9600, kParityNone};
    CVirtualClock Clock;
    CSimulatedDevice First;
    std::vector<std::unique_ptr<CSimulatedDevice>> Others;
    CSimulatedPort Port;
    CModbusTransaction Link;
    CImmediateWindow Window;
    CDeviceContext Ctx;
};

QString Found(const std::vector<FoundDevice>& found) {
    QStringList items;
    for (const FoundDevice& d : found) {
        items << QStringLiteral("%1@%2/%3 (%4,%5)")
                     .arg(d.Address)
                     .arg(d.BaudRate)
                     .arg(d.Parity)
                     .arg(d.StoredAddress)
                     .arg(d.StoredBaudCode);
    }
    return items.join(' ');
}

}  // namespace

class TestBusScan : public QObject {
    Q_OBJECT
private slots:
    void findsExactlyTheDevices_data();
    void findsExactlyTheDevices();
    void waitsAreTheWireTimesPlusMargin_data();
    void waitsAreTheWireTimesPlusMargin();
    void stopsWhenAsked();
    void dialogListsExportsAndConnects();
    void dialogRefusedWhenNotIdle();
    void dialogFollowsLanguageSwitch();
};

void TestBusScan::findsExactlyTheDevices_data() {
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<QList<int>>("rates");
    QTest::addColumn<QList<int>>("parities");
    QTest::addColumn<QString>("expected");
    const QList<int> all{1200, 2400, 4800, 9600, 19200};
    const QList<int> parities{kParityNone, kParityOdd, kParityEven};
    QTest::newRow("every rate and parity, 1-247")
        << 1 << 247 << all << parities << "12@1200/1 (12,0) 1@9600/0 (1,3) 5@19200/2 (5,4)";
    QTest::newRow("9600 without parity")
        << 1 << 247 << QList<int>{9600} << QList<int>{kParityNone} << "1@9600/0 (1,3)";
    QTest::newRow("19200, wrong parity")
        << 1 << 247 << QList<int>{19200} << QList<int>{kParityOdd} << "";
    QTest::newRow("range leaves out 12") << 2 << 11 << all << parities << "5@19200/2 (5,4)";
    QTest::newRow("one address") << 12 << 12 << all << parities << "12@1200/1 (12,0)";
}

void TestBusScan::findsExactlyTheDevices() {
    QFETCH(QString, expected);
    QFETCH(int, last);
    QFETCH(int, first);
    QFETCH(QList<int>, rates);
    QFETCH(QList<int>, parities);
    CBusRig rig;
    const ScanPlan plan = rig.Plan(first, last, std::vector<int>(rates.begin(), rates.end()),
                                   std::vector<int>(parities.begin(), parities.end()));
    std::vector<FoundDevice> found;
    int steps = 0;
    std::atomic<bool> stop{false};
    const uint64_t before = rig.Clock.Elapsed();
    const ScanEnd end = CBusScan::Run(
        rig.Link, plan, stop, [&](const FoundDevice& d) { found.push_back(d); },
        [&](int done, int total) {
            QCOMPARE(total, CBusScan::Steps(plan));
            steps = done;
        });
    QCOMPARE(end, ScanEnd::Completed);
    QCOMPARE(Found(found), expected);
    QCOMPARE(steps, CBusScan::Steps(plan));
    // The time taken is the plan's: nothing answered late, so nothing was waited out.
    QCOMPARE(rig.Clock.Elapsed() - before, CBusScan::PlanMs(plan));
    // The line and the address are what they were.
    QCOMPARE(rig.Port.Settings().BaudRate, 9600);
    QCOMPARE(rig.Port.Settings().Parity, static_cast<int>(kParityNone));
    QCOMPARE(rig.Link.SlaveAddress(), uint8_t{1});
}

void TestBusScan::waitsAreTheWireTimesPlusMargin_data() {
    QTest::addColumn<int>("baud");
    QTest::addColumn<int>("parity");
    QTest::addColumn<int>("wait");
    // 17 characters (8 of request, 9 of reply) of 10 or 11 bits, rounded up, plus 50 ms.
    QTest::newRow("1200 8N1") << 1200 << int(kParityNone) << 142 + 50;
    QTest::newRow("1200 8E1") << 1200 << int(kParityEven) << 156 + 50;
    QTest::newRow("9600 8N1") << 9600 << int(kParityNone) << 18 + 50;
    QTest::newRow("19200 8O1") << 19200 << int(kParityOdd) << 10 + 50;
}

void TestBusScan::waitsAreTheWireTimesPlusMargin() {
    QFETCH(int, wait);
    QFETCH(int, baud);
    QFETCH(int, parity);
    QCOMPARE(CBusScan::WaitMs(baud, parity, 50), static_cast<uint32_t>(wait));
}

void TestBusScan::stopsWhenAsked() {
    CBusRig rig;
    ScanPlan plan = rig.Plan(1, 247, CBusScan::AllBaudRates(), CBusScan::AllParities());
    std::atomic<bool> stop{false};
    rig.Port.ClearSent();
    const ScanEnd end = CBusScan::Run(
        rig.Link, plan, stop, [](const FoundDevice&) {},
        [&](int done, int) {
            if (done == 10) {
                stop = true;
            }
        });
    QCOMPARE(end, ScanEnd::Stopped);
    // Not one request after the stop.
    QCOMPARE(rig.Port.Sent().size(), size_t{10});
    QCOMPARE(rig.Port.Settings().BaudRate, 9600);
    QCOMPARE(rig.Link.SlaveAddress(), uint8_t{1});
}

void TestBusScan::dialogListsExportsAndConnects() {
    CBusRig rig;
    CScriptedDialogs files;
    std::vector<FoundDevice> connected;
    ScanHost host;
    host.MayStart = [] { return true; };
    host.RunOnDevice = [&rig](std::function<void(CDeviceContext&)> job) { job(rig.Ctx); };
    host.Line = [&rig] { return rig.Line; };
    host.Connect = [&connected](const FoundDevice& d, std::function<void(bool)> done) {
        connected.push_back(d);
        done(true);
    };
    CScanDlg dialog(host, files);
    // The dialog starts at the port's own rate and parity, over every address.
    QCOMPARE(dialog.BaudChoice().currentText(), QStringLiteral("9600"));
    QCOMPARE(dialog.FirstAddress().value(), 1);
    QCOMPARE(dialog.LastAddress().value(), 247);
    dialog.BaudChoice().setCurrentIndex(0);
    dialog.ParityChoice().setCurrentIndex(0);
    dialog.LastAddress().setValue(20);
    dialog.StartScan();
    QVERIFY(!dialog.Running());
    QCOMPARE(dialog.Table().rowCount(), 3);
    QCOMPARE(dialog.Table().item(2, 0)->text(), QStringLiteral("5"));
    QCOMPARE(dialog.Table().item(2, 2)->text(), QStringLiteral("偶校验"));
    QCOMPARE(dialog.Progress().value(), dialog.Progress().maximum());
    QCOMPARE(dialog.LastElapsedMs(), static_cast<uint32_t>(CBusScan::PlanMs(dialog.Plan())));
    QVERIFY(dialog.Status().text().startsWith(QStringLiteral("搜索完成, 找到 3 台设备")));

    QTemporaryDir dir;
    files.SaveAnswer = dir.filePath(QStringLiteral("list.csv"));
    dialog.ExportCsv();
    QFile file(files.SaveAnswer);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));  // spreadsheet programs then read it as UTF-8
    QCOMPARE(QString::fromUtf8(bytes.mid(3)),
             QStringLiteral("地址,波特率,校验,设备存储地址,波特率代码\r\n"
                            "12,1200,奇校验,12,0\r\n1,9600,无校验,1,3\r\n5,19200,偶校验,5,4\r\n"));
    file.close();
    // An export that fails part way (the disk full after 40 bytes) leaves that list whole.
    {
        CFileSizeLimit full(40);
        QVERIFY(full.Active());
        dialog.ExportCsv();
    }
    QCOMPARE(files.Messages.size(), 1);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), bytes);

    dialog.Table().selectRow(1);
    dialog.ConnectSelected();
    QCOMPARE(connected.size(), size_t{1});
    QCOMPARE(connected[0].Address, 1);
    QCOMPARE(connected[0].BaudRate, 9600);
    QCOMPARE(dialog.Status().text(), QStringLiteral("已连接到地址 1，9600 波特，无校验"));
}

void TestBusScan::dialogRefusedWhenNotIdle() {
    CBusRig rig;
    CScriptedDialogs files;
    int ran = 0;
    ScanHost host;
    host.MayStart = [] { return false; };
    host.RunOnDevice = [&ran](std::function<void(CDeviceContext&)>) { ++ran; };
    CScanDlg dialog(host, files);
    dialog.StartScan();
    QCOMPARE(ran, 0);
    QVERIFY(!dialog.Running());
}

void TestBusScan::dialogFollowsLanguageSwitch() {
    CBusRig rig;
    CScriptedDialogs files;
    ScanHost host;
    host.MayStart = [] { return true; };
    host.RunOnDevice = [&rig](std::function<void(CDeviceContext&)> job) { job(rig.Ctx); };
    host.Line = [&rig] { return rig.Line; };
    CScanDlg dialog(host, files);
    dialog.ParityChoice().setCurrentIndex(dialog.ParityChoice().findData(int(kParityEven)));
    dialog.BaudChoice().setCurrentIndex(0);
    dialog.LastAddress().setValue(20);
    dialog.StartScan();
    QCOMPARE(dialog.Table().rowCount(), 1);
    const ScanPlan before = dialog.Plan();
    {
        CMarkingTranslator english;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("EN:搜索设备"));
        // The choices keep their data: the plan is the same one.
        QCOMPARE(dialog.ParityChoice().currentText(), QStringLiteral("EN:偶校验"));
        QCOMPARE(dialog.BaudChoice().currentText(), QStringLiteral("EN:全部"));
        QCOMPARE(dialog.Plan().Parities, before.Parities);
        QCOMPARE(dialog.Plan().BaudRates, before.BaudRates);
        QCOMPARE(dialog.Table().horizontalHeaderItem(3)->text(), QStringLiteral("EN:设备存储地址"));
        QCOMPARE(dialog.Table().item(0, 2)->text(), QStringLiteral("EN:偶校验"));
        QCOMPARE(dialog.Table().accessibleName(), QStringLiteral("EN:找到的设备"));
        QCOMPARE(dialog.Progress().accessibleName(), QStringLiteral("EN:搜索进度"));
        QVERIFY(dialog.Status().text().startsWith(QStringLiteral("EN:搜索完成")));
        QVERIFY(dialog.Csv().startsWith(QStringLiteral("EN:地址,EN:波特率,")));
        // The form's captions, found by the field they name.
        QStringList captions;
        for (const QLabel* label : dialog.findChildren<QLabel*>()) {
            if (label->buddy() == &dialog.FirstAddress() || label->buddy() == &dialog.Margin()) {
                captions << label->text();
            }
        }
        QCOMPARE(captions,
                 QStringList({QStringLiteral("EN:起始地址"), QStringLiteral("EN:应答余量")}));
    }
    QCOMPARE(dialog.ParityChoice().currentText(), QStringLiteral("偶校验"));
    QVERIFY(dialog.Status().text().startsWith(QStringLiteral("搜索完成, 找到 1 台设备")));
}

QTEST_MAIN(TestBusScan)
#include "TestBusScan.moc"
