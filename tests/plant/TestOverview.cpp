// The overview as an operator meets it: a plant opened, its rows filled from the relays, a
// relay that stops answering shown stale (its last values kept, never as live), a double-click
// opening that relay's window on its share of the line, the table exported, and the plant
// closed within a second while the line polls.

#include <QAction>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include "app/MainCommand.h"
#include "app/MotorProtectorDlg.h"
#include "app/PlantWindows.h"
#include "app/RelayWindow.h"
#include "batch/BackupDlg.h"
#include "batch/PlantBatch.h"
#include "files/SettingsFile.h"
#include "line/DeviceLine.h"
#include "modbus/SteadyClock.h"
#include "plant/OverviewDlg.h"
#include "plant/OverviewModel.h"
#include "plant/PlantLines.h"
#include "simulator/SimulatedDevice.h"
#include "simulator/SimulatedPort.h"

using namespace mp;

namespace {

constexpr int kRelays = 3;

// Three relays on one simulated line at 9600 in real time, each with currents of its own.
struct PlantRig {
    PlantRig() : Port(Devices[0], Clock) {
        for (int k = 0; k < kRelays; ++k) {
            Devices[k].SetAddress(static_cast<uint8_t>(k + 1));
            Devices[k].SetLiveMotion(false);
            for (int phase = 0; phase < 3; ++phase) {
                Devices[k].SetRegister(static_cast<uint16_t>(0x0106 + phase),
                                       static_cast<uint16_t>(1000 * (k + 1) + phase));
            }
            if (k > 0) {
                Port.AddDevice(Devices[k]);
            }
        }
        // M-103 holds two alarm events: codes 5 and 6.
        Devices[2].SetRegister(0x0124, 2 << 8);
        Devices[2].SetRegister(0x0120, 0x0506);
        PlantLine line;
        line.Id = QStringLiteral("L1");
        line.Port = QStringLiteral("sim");
        line.BaudRate = 9600;
        Model.Lines << line;
        for (int k = 0; k < kRelays; ++k) {
            Feeder feeder;
            feeder.Tag = QStringLiteral("M-10%1").arg(k + 1);
            feeder.Line = line.Id;
            feeder.Address = k + 1;
            feeder.CtRatio = 1.0;
            feeder.RatedCurrent = 2.0;
            Model.Feeders << feeder;
        }
    }
    CPlantWindows::LineFactory Factory() {
        return [this](const PlantLine&) { return std::make_unique<CDeviceLine>(Port, Clock); };
    }
    QString Cell(COverviewDlg& overview, int row, int column, int role = Qt::DisplayRole) {
        QAbstractItemModel* shown = overview.Table()->model();
        return shown->index(row, column).data(role).toString();
    }

    CSteadyClock Clock;
    CSimulatedDevice Devices[kRelays];
    CSimulatedPort Port;
    Plant Model;
};

}  // namespace

class TestOverview : public QObject {
    Q_OBJECT

private slots:
    // "备份全部定值..." from the plant menu: the relay is read on its running line between the
    // scheduler's visits, its file carries where it was read; closing the plant closes it.
    void backupFromThePlantMenu() {
        PlantRig rig;
        CPlantWindows plants(rig.Factory());
        plants.Show(rig.Model, QStringLiteral("mcc.json"));
        QVERIFY(plants.Overview().PlantMenu()->actions().contains(plants.Batch().BackupAction()));
        plants.Batch().BackupAction()->trigger();
        CBackupDlg* window = plants.Batch().BackupWindow();
        QVERIFY(window != nullptr);
        QTemporaryDir dir;
        window->FolderEdit()->setText(dir.path());
        window->ChooseFeeders({1});
        window->StartButton()->click();
        QTRY_VERIFY_WITH_TIMEOUT(window->StartButton()->isEnabled(), 10000);
        QString reason;
        const auto file = CSettingsFile::Load(dir.filePath(QStringLiteral("M-102.json")), &reason);
        QVERIFY2(file, qPrintable(reason));
        QCOMPARE(file->Source.Port, QStringLiteral("sim"));
        QCOMPARE(file->Source.Address, 2);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1);
        plants.Close();
        QVERIFY(plants.Batch().BackupWindow() == nullptr);
    }

    void rowsFillGoStaleAndOpenTheirRelay() {
        PlantRig rig;
        CPlantWindows plants(rig.Factory());
        COverviewDlg& overview = plants.Overview();
        plants.Show(rig.Model, QStringLiteral("mcc.json"));
        overview.show();
        // Each row shows its own relay's currents (count x CT ratio 1 x 0.001 A) and share.
        for (int row = 0; row < kRelays; ++row) {
            QTRY_COMPARE_WITH_TIMEOUT(rig.Cell(overview, row, COverviewModel::Ia),
                                      QString::number(row + 1.0, 'f', 1), 5000);
            QCOMPARE(rig.Cell(overview, row, COverviewModel::IaShare),
                     QString::number(50 * (row + 1)));
            QCOMPARE(rig.Cell(overview, row, COverviewModel::State),
                     COverviewModel::LinkText(FeederLink::Answering));
        }

        // Its alarm events: read at first contact, and again when its status byte changes.
        QTRY_COMPARE_WITH_TIMEOUT(rig.Cell(overview, 2, COverviewModel::Events),
                                  QStringLiteral("有2条告警信息：堵转故障(E06)"), 5000);
        rig.Devices[2].SetRegister(0x0124, 3 << 8);
        rig.Devices[2].SetRegister(0x0121, 0x0700);
        QTest::qWait(300);
        QCOMPARE(rig.Cell(overview, 2, COverviewModel::Events),
                 QStringLiteral("有2条告警信息：堵转故障(E06)"));
        rig.Devices[2].SetRegister(0x011B, rig.Devices[2].Register(0x011B) ^ 0x04);
        QTRY_COMPARE_WITH_TIMEOUT(rig.Cell(overview, 2, COverviewModel::Events),
                                  QStringLiteral("有3条告警信息：缺相保护(E07)"), 5000);

        // M-102 stops answering: its row says so, keeps its last values, greyed as stale.
        rig.Devices[1].SetAddress(200);
        QTRY_VERIFY_WITH_TIMEOUT(
            rig.Cell(overview, 1, COverviewModel::State)
                .startsWith(COverviewModel::LinkText(FeederLink::NotAnswering)),
            5000);
        QCOMPARE(rig.Cell(overview, 1, COverviewModel::Ia), QStringLiteral("2.0"));
        QCOMPARE(rig.Cell(overview, 1, COverviewModel::Ia, COverviewModel::StaleRole),
                 QStringLiteral("true"));
        QCOMPARE(rig.Cell(overview, 0, COverviewModel::Ia, COverviewModel::StaleRole),
                 QStringLiteral("false"));

        // The export holds what the table shows.
        const QByteArray bytes = overview.Csv();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        const QString csv = QString::fromUtf8(bytes);
        QCOMPARE(csv.count(QStringLiteral("\r\n")), kRelays + 1);
        QVERIFY(csv.contains(QStringLiteral("M-103,")));

        // A double-click opens that relay's window on its share of the line.
        QTableView* table = overview.Table();
        const QRect cell = table->visualRect(table->model()->index(2, COverviewModel::Tag));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(plants.OpenRelayWindows(), 1);
        CRelayWindow* relay = plants.OpenFeeder(2);
        QVERIFY(relay != nullptr);
        QCOMPARE(int(relay->Window().Relay().Address()), 3);
        QVERIFY(relay->Controller().Line().IsShare());
        QTRY_VERIFY_WITH_TIMEOUT(relay->Controller().PortOpen(), 5000);
        // Its changes go to the plant's audit log, under its tag and its line.
        const CRelayAudit& audit = relay->Window().Relay().Audit();
        QCOMPARE(audit.LogPath(), CAuditLog::PlantPath(QStringLiteral("mcc.json")));
        QCOMPARE(audit.Tag(), QStringLiteral("M-103"));
        QCOMPARE(audit.Line(), QStringLiteral("L1"));
        // Its own read command polls it on the share, its ticks between the overview's visits.
        relay->Controller().Run(MainCommand::ReadRealtimeData);
        QTRY_COMPARE_WITH_TIMEOUT(relay->Window().Relay().Values().Live.CurrentAddress, 3, 10000);

        // The overview keeps polling the other relays while the window is open.
        rig.Devices[0].SetRegister(0x0106, 1500);
        QTRY_COMPARE_WITH_TIMEOUT(rig.Cell(overview, 0, COverviewModel::Ia), QStringLiteral("1.5"),
                                  5000);

        QElapsedTimer closing;
        closing.start();
        plants.Close();
        QVERIFY2(closing.elapsed() < 1000, qPrintable(QString::number(closing.elapsed())));
        QCOMPARE(plants.OpenRelayWindows(), 0);
    }
};

QTEST_MAIN(TestOverview)
#include "TestOverview.moc"
