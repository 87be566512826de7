// The batch write on a simulated plant line (virtual clock): the preview, then per relay the
// verified write with its exact outcome and audit entry: a relay that takes everything, one
// that ignores the writes of one group, one that falls silent after its first group, one that
// never answers (never written), one without a source (refused); and a second batch finds the
// relay written before unchanged.

#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <atomic>

#include "audit/AuditLog.h"
#include "batch/BatchWrite.h"
#include "batch/BatchWriteDlg.h"
#include "batch/PlantSummary.h"
#include "device/RegisterMap.h"
#include "files/CommissioningReport.h"
#include "files/SettingsComparison.h"
#include "files/SettingsFile.h"
#include "line/DeviceLine.h"
#include "modbus/Port.h"
#include "plant/PlantLines.h"
#include "settings/SettingsLists.h"
#include "simulator/SimulatedDevice.h"
#include "simulator/SimulatedPort.h"
#include "simulator/VirtualClock.h"
#include "support/ScriptedDialogs.h"

using namespace mp;

namespace {

constexpr int kRelays = 5;
constexpr uint8_t kSilentAfterFirstGroup = 3;
constexpr uint8_t kNeverAnswers = 4;

// The simulated line, with relay 3 falling silent once its first group is written and relay
// 4 never answering.
class CFaultyLine : public IPort {
public:
    explicit CFaultyLine(CSimulatedPort& line) : Line_(line) {}
    bool OpenPort(const PortSettings& settings) override { return Line_.OpenPort(settings); }
    void ClosePort() override { Line_.ClosePort(); }
    bool IsPortOpen() const override { return Line_.IsPortOpen(); }
    bool Reconfigure(const PortSettings& settings) override { return Line_.Reconfigure(settings); }
    std::string LastError() const override { return Line_.LastError(); }
    void DiscardInput() override { Line_.DiscardInput(); }
    void WriteBytes(const std::vector<uint8_t>& bytes) override {
        const uint8_t address = bytes.empty() ? 0 : bytes[0];
        if (address == kSilentAfterFirstGroup && bytes.size() > 1 && bytes[1] == 0x10) {
            Fallen = true;
        }
        SimFaults faults;
        faults.Silent = address == kNeverAnswers || (address == kSilentAfterFirstGroup && Fallen);
        Line_.SetFaults(faults);
        Line_.WriteBytes(bytes);
    }
    int16_t WaitingCount() override { return Line_.WaitingCount(); }
    std::vector<uint8_t> ReadAllWaiting() override { return Line_.ReadAllWaiting(); }
    void SetLostHandler(LostFn lost) override { Line_.SetLostHandler(std::move(lost)); }
    bool WaitForInput(IClock& clock, uint32_t ms) override { return Line_.WaitForInput(clock, ms); }
    void EndWaits() override { Line_.EndWaits(); }

    std::atomic<bool> Fallen{false};

private:
    CSimulatedPort& Line_;
};

struct Rig {
    Rig() : Port(Device(1), Clock), Faulty(Port) {
        for (int a = 2; a <= kRelays; ++a) {
            Port.AddDevice(Device(a));
        }
        Devices[1].IgnoreWritesAt(kRatingsWriteRegister);  // relay 2: keeps its rated current
        // The template of the motor class: factory values, rated data per feeder.
        CSettingsFile pump;
        pump.Values = FactoryValues();
        pump.Values.Protection.UnbalancePercent = "25";
        pump.Values.StartMode = StartModeNames[0];
        QString reason;
        pump.Save(Dir.filePath(QStringLiteral("pump.json")), &reason);
        PlantLine line;
        line.Id = QStringLiteral("L1");
        line.Kind = PlantLineKind::Simulated;
        Model.Lines << line;
        for (int a = 1; a <= kRelays; ++a) {
            Feeder f;
            f.Tag = QStringLiteral("M-%1").arg(a);
            f.Line = line.Id;
            f.Address = a;
            if (a != kRelays) {
                f.Template = QStringLiteral("pump.json");
                f.RatedCurrent = 10.0 + a;
            }
            Model.Feeders << f;
        }
        Lines = std::make_unique<CPlantLines>(Model, [this](const PlantLine&) {
            return std::make_unique<CDeviceLine>(Faulty, Clock);
        });
        Lines->Start();
        Work.CurrentPlant = [this]() -> const Plant* { return &Model; };
        Work.PlantPath = [this] { return Dir.filePath(QStringLiteral("mcc.json")); };
        Work.Lines = [this] { return Lines.get(); };
    }
    ~Rig() { Lines->Shutdown(); }

    CSimulatedDevice& Device(int a) {
        Devices[a - 1].SetAddress(static_cast<uint8_t>(a));
        return Devices[a - 1];
    }
    // Previews and writes every feeder; the batch as it ended.
    std::unique_ptr<CBatchWrite> Run(bool write, bool stopAtFailure = false) {
        auto batch = std::make_unique<CBatchWrite>(Work, QVector<int>{0, 1, 2, 3, 4});
        bool previewed = false;
        bool finished = false;
        QObject::connect(batch.get(), &CBatchWrite::PreviewReady, [&] { previewed = true; });
        QObject::connect(batch.get(), &CBatchWrite::Finished, [&] { finished = true; });
        batch->Preview();
        if (!QTest::qWaitFor([&] { return previewed; }, 20000) || !write) {
            return batch;
        }
        QString reason;
        if (batch->Write(stopAtFailure, &reason)) {
            [[maybe_unused]] const bool ended = QTest::qWaitFor([&] { return finished; }, 20000);
        }
        return batch;
    }

    QTemporaryDir Dir;
    CVirtualClock Clock{1000};
    CSimulatedDevice Devices[kRelays];
    CSimulatedPort Port;
    CFaultyLine Faulty;
    Plant Model;
    std::unique_ptr<CPlantLines> Lines;
    PlantWork Work;
};

}  // namespace

class TestBatchWrite : public QObject {
    Q_OBJECT
private slots:
    void OutcomesAndAuditLines();
    void StopsAtTheFirstFailure();
    void NothingSentWithoutTheLog();
    void ThroughTheWindow();
};

void TestBatchWrite::OutcomesAndAuditLines() {
    Rig rig;
    std::unique_ptr<CBatchWrite> batch = rig.Run(true);
    const QVector<BatchRelay>& r = batch->Relays();
    QCOMPARE(r.size(), kRelays);
    // The preview listed what changes: the rated current and the unbalance at least.
    QVERIFY(r[0].Changes.size() >= 2);

    const BatchOutcome expected[kRelays] = {BatchOutcome::Confirmed, BatchOutcome::NotConfirmed,
                                            BatchOutcome::NotConfirmed, BatchOutcome::NotAnswering,
                                            BatchOutcome::Refused};
    for (int i = 0; i < kRelays; ++i) {
        QVERIFY2(r[i].Outcome == expected[i],
                 qPrintable(QStringLiteral("%1: %2 %3")
                                .arg(r[i].Tag, BatchOutcomeText(r[i].Outcome), r[i].Detail)));
    }
    QVERIFY2(r[1].Detail.contains(QStringLiteral("设备未保存以下参数")), qPrintable(r[1].Detail));
    // Silent after its first group: the start mode was not read back, so the phase-and-start
    // group was not sent, and the read-back got no reply.
    QVERIFY2(r[2].Detail.contains(QStringLiteral("已发送 5 组")), qPrintable(r[2].Detail));
    QVERIFY(!r[2].After);
    QVERIFY(r[3].Detail.contains(QStringLiteral("无应答")));
    QVERIFY(r[4].Detail.contains(QStringLiteral("无定值来源")));

    // One audit line per relay written, with what it held before and after.
    int skipped = -1;
    const QVector<AuditEntry> log =
        CAuditLog::Read(rig.Dir.filePath(QStringLiteral("mcc-audit.jsonl")), &skipped);
    QCOMPARE(skipped, 0);
    QCOMPARE(log.size(), 3);
    const QStringList outcomes{log[0].Outcome, log[1].Outcome, log[2].Outcome};
    QCOMPARE(outcomes, (QStringList{"confirmed", "not-confirmed", "not-confirmed"}));
    QCOMPARE(log[0].Tag, QStringLiteral("M-1"));
    QCOMPARE(log[0].Line, QStringLiteral("L1"));
    QCOMPARE(log[0].Operation, QStringLiteral("write-settings"));
    QCOMPARE(log[0].After["settings"]["ratedCurrent"].toString(), QStringLiteral("11.0"));
    QVERIFY(log[0].Before["settings"]["ratedCurrent"].toString() != QStringLiteral("11.0"));
    QVERIFY(log[2].After.isEmpty());

    // The plant summary shows the confirmed write of M-1 only, with who made it.
    const QString summary = PlantSummaryHtml(
        rig.Model, QDir(rig.Dir.path()), log,
        [](const QString& tag) {
            return tag == QLatin1String("M-2") ? QStringLiteral("一致") : QString();
        },
        QDateTime::currentDateTime());
    const QStringList rows = summary.split(QStringLiteral("<tr>"));
    QCOMPARE(rows.size(), 2 + kRelays);
    QVERIFY(rows[2].contains(QStringLiteral("改变 ")) && rows[2].contains(log[0].User));
    QVERIFY(rows[3].contains(QStringLiteral("<td>无</td>")) &&
            rows[3].contains(QStringLiteral("一致")));
    QVERIFY(rows[6].contains(QStringLiteral("无定值来源")));
    QString reason;
    QVERIFY(SaveReportPdf(summary, rig.Dir.filePath(QStringLiteral("summary.pdf")), &reason));

    // Again: the relay written is unchanged now, the others as before.
    std::unique_ptr<CBatchWrite> again = rig.Run(false);
    QCOMPARE(again->Relays()[0].Outcome, BatchOutcome::Unchanged);
    QVERIFY(again->Relays()[1].Outcome == BatchOutcome::Waiting);
}

void TestBatchWrite::StopsAtTheFirstFailure() {
    Rig rig;
    std::unique_ptr<CBatchWrite> batch = rig.Run(true, true);
    const QVector<BatchRelay>& r = batch->Relays();
    QCOMPARE(r[0].Outcome, BatchOutcome::Confirmed);
    QCOMPARE(r[1].Outcome, BatchOutcome::NotConfirmed);
    // Relay 3 was never written: it did not fall silent, and it has no audit line.
    QCOMPARE(r[2].Outcome, BatchOutcome::Stopped);
    QVERIFY(!rig.Faulty.Fallen.load());
    QCOMPARE(CAuditLog::Read(rig.Dir.filePath(QStringLiteral("mcc-audit.jsonl"))).size(), 2);
}

void TestBatchWrite::NothingSentWithoutTheLog() {
    Rig rig;
    QVERIFY(QDir(rig.Dir.path()).mkdir(QStringLiteral("mcc-audit.jsonl")));  // cannot be a file
    std::unique_ptr<CBatchWrite> batch = rig.Run(true);
    QCOMPARE(batch->Relays()[0].Outcome, BatchOutcome::Waiting);
    QCOMPARE(batch->Relays()[2].Outcome, BatchOutcome::Waiting);
    QVERIFY(!rig.Faulty.Fallen.load());
    QString reason;
    QVERIFY(!batch->Write(false, &reason));
    QVERIFY2(reason.contains(QStringLiteral("mcc-audit.jsonl")), qPrintable(reason));
}

void TestBatchWrite::ThroughTheWindow() {
    Rig rig;
    test::CScriptedDialogs dialogs;
    rig.Work.Dialogs = &dialogs;
    CBatchWriteDlg window(rig.Work);
    QTreeWidget& tree = *window.Tree();
    // Every feeder listed; the one without a source is not ticked.
    QCOMPARE(tree.topLevelItemCount(), kRelays);
    QCOMPARE(tree.topLevelItem(4)->checkState(0), Qt::Unchecked);
    QVERIFY(!window.WriteButton()->isEnabled());
    window.PreviewButton()->click();
    QTRY_VERIFY_WITH_TIMEOUT(window.WriteButton()->isEnabled(), 20000);
    // Under each feeder what will change.
    QVERIFY(tree.topLevelItem(0)->childCount() >= 2);
    QVERIFY(tree.topLevelItem(0)->child(0)->text(0).contains(QStringLiteral(" → ")));
    window.WriteButton()->click();
    QCOMPARE(dialogs.Questions.size(), 1);  // one confirmation for the batch
    QTRY_VERIFY_WITH_TIMEOUT(window.PreviewButton()->isEnabled(), 20000);
    QStringList results;
    for (int i = 0; i < kRelays; ++i) {
        results << tree.topLevelItem(i)->text(4);
    }
    QCOMPARE(results, (QStringList{"已确认", "未确认", "未确认", "无应答", ""}));
}

QTEST_MAIN(TestBatchWrite)
#include "TestBatchWrite.moc"
