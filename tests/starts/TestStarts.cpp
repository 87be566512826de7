// The start records: two starts of different profiles played by the simulated device, captured
// as the trend captures them, kept in a folder, read back, one marked as the baseline and the
// other compared with it; a record that cannot be written; the COMTRADE configuration lines;
// the comparison window.

#include <QChart>
#include <QChartView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "dialogs/DialogService.h"
#include "simulator/MotorStart.h"
#include "starts/Comtrade.h"
#include "starts/StartHistory.h"
#include "starts/StartsWindow.h"
#include "support/DeviceRig.h"

Q_DECLARE_METATYPE(mp::MotorStartProfile)

namespace mp::test {
namespace {

const StartSettings kSettings{10.0, 4.0, 0.5, 5.0};

// The device runs at 9.0 A per phase (0.9 × rated 10 A) and plays `profile` 2 s into the
// polling; currents and voltages are read about every 100 ms until the capture ends (15 s).
CStartCapture CaptureStart(const MotorStartProfile& profile) {
    CDeviceRig rig;
    for (uint16_t k = 0; k < 3; ++k) {
        rig.Device.SetRegister(static_cast<uint16_t>(0x0106 + k), 0);
    }
    rig.Link.SetFastReplyEnd(true, 9600);
    CStartCapture capture;
    capture.Arm(kSettings, CStartCapture::kDefaultThreshold, 15000);
    bool started = false;
    while (capture.CurrentState() != CStartCapture::State::Done && rig.Clock.Elapsed() < 30000) {
        if (!started && rig.Clock.Elapsed() >= 1000) {
            // Stopped for a second, then switched on: 9 A running, the start 1 s later.
            for (uint16_t k = 0; k < 3; ++k) {
                rig.Device.SetRegister(static_cast<uint16_t>(0x0106 + k), 900);
            }
            rig.Device.PlayMotorStart(rig.Clock, 1000, profile);
            started = true;
        }
        TrendSample sample;
        const int16_t currents = rig.Link.ReadSequence(0x03, 0x0106, 3, 200);
        sample.Answered.Currents = currents >= 0;
        for (int k = 0; currents >= 0 && k < 3; ++k) {
            sample.Currents[static_cast<size_t>(k)] = rig.Link.Register(currents, k) * 0.01;
        }
        const int16_t voltages = rig.Link.ReadSequence(0x03, 0x0103, 3, 200);
        sample.Answered.Voltages = voltages >= 0;
        for (int k = 0; voltages >= 0 && k < 3; ++k) {
            sample.Voltages[static_cast<size_t>(k)] = rig.Link.Register(voltages, k) * 0.1;
        }
        sample.TimeMs = 1'765'000'000'000 + static_cast<int64_t>(rig.Clock.Elapsed());
        capture.Feed(sample);
        rig.Clock.Sleep(60);
    }
    return capture;
}

// The record of a capture, `daysLater` days after the capture's own time.
StartRecord RecordOf(const CStartCapture& capture, int daysLater = 0) {
    StartRecord record;
    record.Relay = QStringLiteral("M-101");
    record.Settings = capture.Settings();
    record.CtRatio = 50;
    record.Samples = capture.Samples();
    record.Before = capture.Before();
    const int64_t shift = int64_t{daysLater} * 86'400'000;
    for (TrendSample& sample : record.Samples) {
        sample.TimeMs += shift;
    }
    if (record.Before) {
        record.Before->TimeMs += shift;
    }
    return record;
}

MotorStartProfile Profile(double peak, uint32_t decayMs, double sag) {
    MotorStartProfile profile;
    profile.PeakMultiple = peak;
    profile.DecayMs = decayMs;
    profile.VoltageSag = sag;
    return profile;
}

class CNoDialogs : public IDialogService {
public:
    void Inform(QWidget*, const QString& text) override { Informed << text; }
    bool AskYesNo(QWidget*, const QString&) override { return true; }
    QString OpenFileName(QWidget*, const QString&, const QString&) override { return {}; }
    QString SaveFileName(QWidget*, const QString&, const QString&, const QString&,
                         const QString&) override {
        return {};
    }
    std::optional<QString> EditText(QWidget*, const QString&, const QString&,
                                    const QString&) override {
        return std::nullopt;
    }
    QStringList Informed;
};

}  // namespace

class TestStarts : public QObject {
    Q_OBJECT
private slots:
    // Each start's figures, kept in its file and the same when read back.
    void keptStart_data() {
        QTest::addColumn<MotorStartProfile>("profile");
        QTest::addColumn<double>("peakLow");
        QTest::addColumn<double>("peakHigh");
        QTest::addColumn<qint64>("settledMs");  // τ · ln(3 (m − 1)), ± 250 ms
        QTest::addColumn<double>("dipLow");
        QTest::addColumn<double>("dipHigh");
        // 9 A × 6 at the peak, 7 % sag; below 12 A after 2.5 s · ln 15.
        QTest::newRow("6 x, 2.5 s")
            << Profile(6.0, 2500, 0.07) << 46.0 << 54.0 << qint64{6770} << 6.0 << 7.2;
        // 9 A × 7.2, 10 % sag; below 12 A after 3.5 s · ln 18.6.
        QTest::newRow("7.2 x, 3.5 s")
            << Profile(7.2, 3500, 0.10) << 56.0 << 64.8 << qint64{10230} << 9.0 << 10.2;
    }
    void keptStart() {
        QFETCH(MotorStartProfile, profile);
        QFETCH(double, peakLow);
        QFETCH(double, peakHigh);
        QFETCH(qint64, settledMs);
        QFETCH(double, dipLow);
        QFETCH(double, dipHigh);
        QTemporaryDir dir;
        CStartHistory history(dir.filePath(QStringLiteral("mcc1-starts/M-101")));
        QString error;
        QVERIFY2(history.Add(RecordOf(CaptureStart(profile)), &error), qPrintable(error));

        CStartHistory reread(history.Folder());
        reread.Load();
        QCOMPARE(reread.Records().size(), 1);
        QVERIFY(reread.Problems().isEmpty());
        const StartRecord& start = reread.Records().front();
        QVERIFY(QFile::exists(history.Folder() + QLatin1Char('/') + start.Id +
                              QStringLiteral(".json")));
        QCOMPARE(start.Relay, QStringLiteral("M-101"));
        QCOMPARE(start.CtRatio, 50.0);
        QCOMPARE(start.Samples.size(), history.Records().front().Samples.size());
        const double peak = start.Judgement.PeakCurrent;
        QVERIFY2(peak > peakLow && peak <= peakHigh, qPrintable(QString::number(peak)));
        // Phase B runs at the same 9 A: its peak is the phase's own, not the highest.
        QCOMPARE(start.PhasePeaks[1], start.PhasePeaks[0]);
        QVERIFY(start.Judgement.SettledAfter);
        QVERIFY2(qAbs(*start.Judgement.SettledAfter - settledMs) <= 250,
                 qPrintable(QString::number(*start.Judgement.SettledAfter)));
        QVERIFY(start.VoltageBefore);
        QVERIFY2(qAbs(*start.VoltageBefore - 380.1) < 0.05,
                 qPrintable(QString::number(*start.VoltageBefore)));
        QVERIFY2(start.DipPercent && *start.DipPercent >= dipLow && *start.DipPercent <= dipHigh,
                 qPrintable(QString::number(start.DipPercent.value_or(-1))));
        QVERIFY(start.Judgement.StartTimeoutTrips);  // longer than the 5 s start time
        QVERIFY(start.Judgement.LockedRotorTrips);   // over 40 A for longer than 0.5 s
    }

    // The second profile against the first as baseline: the baseline survives a new read of
    // the folder, the change is worked out against it, a removed baseline leaves none.
    void baselineChange() {
        QTemporaryDir dir;
        CStartHistory history(dir.path());
        QString error;
        QVERIFY(history.Add(RecordOf(CaptureStart(Profile(6.0, 2500, 0.07))), &error));
        QVERIFY(history.Add(RecordOf(CaptureStart(Profile(7.2, 3500, 0.10))), &error));
        QCOMPARE(history.Records().size(), 2);  // same start time: a second name
        const QString first = history.Records()[0].Id;
        QVERIFY(history.SetBaseline(first, &error));

        CStartHistory reread(dir.path());
        reread.Load();
        QCOMPARE(reread.Baseline(), first);
        const StartRecord& worse =
            reread.Records()[1].Id == first ? reread.Records()[0] : reread.Records()[1];
        const StartChange change = CompareStarts(worse, *reread.BaselineRecord());
        // At the peak, about 0.25 s into the start, 1 + 6.2 e^(−t / 3.5 s) against
        // 1 + 5 e^(−t / 2.5 s): +23 %; (10.23 − 6.77) s; 10 % − 7 % sag.
        QVERIFY2(change.PeakPercent && qAbs(*change.PeakPercent - 23.0) < 1.5,
                 qPrintable(QString::number(change.PeakPercent.value_or(0))));
        QVERIFY2(change.SettledSeconds && qAbs(*change.SettledSeconds - 3.46) < 0.3,
                 qPrintable(QString::number(change.SettledSeconds.value_or(0))));
        QVERIFY(change.DipPoints && *change.DipPoints > 2.0 && *change.DipPoints < 3.5);

        QVERIFY(reread.Remove(first, &error));
        QVERIFY(reread.Baseline().isEmpty());
        CStartHistory again(dir.path());
        again.Load();
        QCOMPARE(again.Records().size(), 1);
        QVERIFY(again.BaselineRecord() == nullptr);
    }

    // A folder that cannot be made (a file stands in its place): the record is refused with a
    // reason and the file there is left as it was; a damaged record file is named, not listed.
    void unwritableAndDamaged() {
        QTemporaryDir dir;
        const QString blocker = dir.filePath(QStringLiteral("blocked"));
        QFile file(blocker);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("keep");
        file.close();
        CStartHistory history(blocker + QStringLiteral("/M-101"));
        StartRecord record;
        record.Settings = kSettings;
        TrendSample sample;
        sample.TimeMs = 1000;
        sample.Currents = {20.0, 20.0, 20.0};
        record.Samples = {sample};
        QString error;
        QVERIFY(!history.Add(record, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(history.Records().isEmpty());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("keep"));

        CStartHistory kept(dir.filePath(QStringLiteral("kept")));
        QVERIFY(kept.Add(record, &error));
        QFile damaged(kept.Folder() + QStringLiteral("/start-20000101-000000-000.json"));
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write("{\"version\": 1, \"samp");
        damaged.close();
        kept.Load();
        QCOMPARE(kept.Records().size(), 1);
        QCOMPARE(kept.Problems(), QStringList{QStringLiteral("start-20000101-000000-000.json")});
    }

    // The lines of the configuration that readers rely on; the scale a that fits the range.
    void comtradeConfiguration_data() {
        QTest::addColumn<double>("largest");  // A of phase A
        QTest::addColumn<int>("offset");      // minutes from UTC
        QTest::addColumn<QString>("line");    // must be among the .cfg's lines
        QTest::newRow("a of 0.01 up to 327.67 A")
            << 327.67 << 0 << QStringLiteral("1,IA,A,,A,0.01,0,0,-32767,32767,50,1,P");
        QTest::newRow("a doubled above")
            << 327.68 << 0 << QStringLiteral("1,IA,A,,A,0.02,0,0,-32767,32767,50,1,P");
        // 2025-12-06 05:46:40.000 UTC = 13:46:40 at +8.
        QTest::newRow("first date in local time")
            << 50.0 << 480 << QStringLiteral("06/12/2025,13:46:40.000000");
        QTest::newRow("trigger 1.25 s later")
            << 50.0 << 480 << QStringLiteral("06/12/2025,13:46:41.250000");
        QTest::newRow("time codes") << 50.0 << -210 << QStringLiteral("-3h30,-3h30");
        QTest::newRow("variable rate") << 50.0 << 0 << QStringLiteral("0,3");
        QTest::newRow("stamps in ms") << 50.0 << 0 << QStringLiteral("1000");
        QTest::newRow("names without commas")
            << 50.0 << 0 << QStringLiteral("MCC 1 Nord,M-101,2013");
        QTest::newRow("outputs") << 50.0 << 0 << QStringLiteral("17,OUT_RESET,,,0");
    }
    void comtradeConfiguration() {
        QFETCH(double, largest);
        QFETCH(int, offset);
        QFETCH(QString, line);
        std::vector<TrendSample> samples(3);
        for (size_t k = 0; k < samples.size(); ++k) {
            samples[k].TimeMs = 1'765'000'000'000 + static_cast<int64_t>(k) * 1250;
            samples[k].Currents = {largest * static_cast<double>(k) / 2.0, 1.0, 1.0};
        }
        ComtradeHeader header;
        header.Station = "MCC 1,Nord";
        header.Device = "M-101";
        header.CtRatio = 50;
        header.UtcOffsetMinutes = offset;
        header.TriggerMs = samples[1].TimeMs;
        for (ComtradeFormat format : {ComtradeFormat::Ascii, ComtradeFormat::Binary}) {
            const ComtradeFiles files = MakeComtrade(samples, header, format);
            const QStringList lines =
                QString::fromStdString(files.Cfg).split(QStringLiteral("\r\n"));
            QVERIFY2(lines.contains(line), qPrintable(lines.join(QLatin1Char('\n'))));
        }
    }

    void changeTexts_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("peak up") << CStartsWindow::PercentChange(12.4) << QStringLiteral("+12 %");
        QTest::newRow("peak down") << CStartsWindow::PercentChange(-5.4) << QStringLiteral("−5 %");
        QTest::newRow("slower") << CStartsWindow::SecondsChange(0.8) << QStringLiteral("+0.8 s");
        QTest::newRow("same") << CStartsWindow::SecondsChange(-0.04) << QStringLiteral("0.0 s");
        QTest::newRow("dip") << CStartsWindow::PointsChange(1.5) << QStringLiteral("+1.5 个百分点");
    }
    void changeTexts() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(text, expected);
    }

    // Two starts compared: one line each on the chart, their figures with the change against
    // the baseline in the table. With MP_SCREENSHOTS=DIR the window is saved as
    // DIR/start-comparison.png.
    void comparisonWindow() {
        QTemporaryDir dir;
        CStartHistory history(dir.path());
        QString error;
        QVERIFY(history.Add(RecordOf(CaptureStart(Profile(6.0, 2500, 0.07))), &error));
        QVERIFY(history.Add(RecordOf(CaptureStart(Profile(7.2, 3500, 0.10)), 30), &error));
        QVERIFY(history.SetBaseline(history.Records()[0].Id, &error));
        CNoDialogs dialogs;
        CStartsWindow window(history, dialogs);
        window.resize(1000, 760);
        window.show();
        auto* list = window.findChild<QTableWidget*>(QStringLiteral("startsList"));
        auto* table = window.findChild<QTableWidget*>(QStringLiteral("compareTable"));
        auto* chart = window.findChild<QChartView*>(QStringLiteral("compareChart"));
        QVERIFY(list && table && chart);
        QCOMPARE(list->rowCount(), 2);

        window.Select({history.Records()[0].Id});
        window.Compare();  // one start is no comparison
        QCOMPARE(dialogs.Informed.size(), 1);
        QVERIFY(window.Compared().isEmpty());

        window.Select({history.Records()[0].Id, history.Records()[1].Id});
        window.Compare();
        QCOMPARE(chart->chart()->series().size(), 2);
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(table->item(0, 2)->text(), QStringLiteral("基准"));
        QVERIFY2(table->item(1, 2)->text().startsWith(QLatin1Char('+')),
                 qPrintable(table->item(1, 2)->text()));
        QVERIFY2(table->item(1, 4)->text().startsWith(QStringLiteral("+3.")),
                 qPrintable(table->item(1, 4)->text()));

        if (qEnvironmentVariableIsSet("MP_SCREENSHOTS")) {
            QTest::qWait(50);
            window.grab().save(QDir(qEnvironmentVariable("MP_SCREENSHOTS"))
                                   .filePath(QStringLiteral("start-comparison.png")));
        }
    }
};

}  // namespace mp::test

QTEST_MAIN(mp::test::TestStarts)
#include "TestStarts.moc"
