// The "曲线" menu in the main window on the simulated device: every poll tick reaches the
// trend and the recording, the trend window draws, pauses, shows the values under the cursor
// and saves its picture, and the fast refresh polls many times faster with the same values.

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QLegendMarker>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "app/TrendWiring.h"
#include "language/Text.h"
#include "support/MarkingTranslator.h"
#include "support/ScriptedDialogs.h"
#include "support/WindowRig.h"
#include "trend/TrendController.h"

namespace mp::test {
namespace {

struct CTrendRig : CWindowRig {
    CTrendRig() : Trend(InstallTrend(Window, *Controller, FileDialogs)) {
        Device.SetRegister(0x0106, 1234);
        Device.SetRegister(0x0103, 3801);
    }
    ~CTrendRig() { Controller->Run(MainCommand::StopRun); }
    bool WaitForSamples(size_t n) {
        return QTest::qWaitFor([&] { return Trend->Store().Samples().size() >= n; }, 10000);
    }
    CScriptedDialogs FileDialogs;
    std::unique_ptr<CTrendController> Trend;
};

// Virtual milliseconds per tick over the next `ticks` ticks, from the times the ticks' first
// requests (the phase currents) went out.
double MsPerTick(CTrendRig& rig, int ticks) {
    rig.Port.ClearSent();
    int shown = 0;
    auto connection =
        QObject::connect(rig.Controller.get(), &CMainController::PollTickShown, [&] { ++shown; });
    const bool enough = QTest::qWaitFor([&] { return shown > ticks + 1; }, 10000);
    QObject::disconnect(connection);
    std::vector<uint64_t> at;
    for (const auto& sent : rig.Port.Sent()) {
        if (sent.Bytes.size() == 8 && sent.Bytes[1] == 0x03 && sent.Bytes[2] == 0x01 &&
            sent.Bytes[3] == 0x06) {
            at.push_back(sent.Time);
        }
    }
    if (!enough || at.size() < static_cast<size_t>(ticks) + 1) {
        return -1;
    }
    return static_cast<double>(at[static_cast<size_t>(ticks)] - at[0]) / ticks;
}

}  // namespace

class TestTrendWindow : public QObject {
    Q_OBJECT
private slots:
    // A finished "起动录波" is kept as a start record without being asked, even when the CSV
    // save is cancelled; the trend's samples are exported as COMTRADE from the menu.
    void finishedCaptureIsKept() {
        CWindowRig rig;
        CScriptedDialogs dialogs;
        // The trend on the rig's virtual clock, so the 30 s capture takes no real 30 s.
        TrendHost host;
        host.Window = &rig.Window;
        host.Settings = &rig.Window.Fields().Settings;
        host.Live = &rig.Window.Fields().Live;
        host.SetFastRefresh = [&rig](bool on) { rig.Controller->SetFastRefresh(on); };
        host.Now = [&rig] { return 1'765'000'000'000 + static_cast<qint64>(rig.Clock.Elapsed()); };
        CTrendController trend(host, dialogs);
        trend.InstallMenu();
        QObject::connect(rig.Controller.get(), &CMainController::PollTickShown, &trend,
                         &CTrendController::OnPollTick);
        QTemporaryDir dir;
        const StartsPlace place{dir.filePath(QStringLiteral("starts")), QStringLiteral("地址 1"),
                                QStringLiteral("地址 1")};
        const auto starts = InstallStarts(trend, rig.Window, dialogs, [&] { return place; });
        for (uint16_t k = 0; k < 3; ++k) {
            rig.Device.SetRegister(static_cast<uint16_t>(0x0106 + k), 1300);
        }
        rig.Click("readRealtimeButton");
        // The start sequence has read the rated current.
        QVERIFY(QTest::qWaitFor([&] { return !trend.Store().Samples().empty(); }, 10000));
        dialogs.SaveAnswer = dir.filePath(QStringLiteral("capture.csv"));
        trend.ArmStartCapture();
        rig.Device.PlayMotorStart(rig.Clock, 2000);  // stopped for 2 s, then started
        QVERIFY(QTest::qWaitFor(
            [&] { return trend.Capture().CurrentState() == CStartCapture::State::Done; }, 30000));
        rig.Controller->Run(MainCommand::StopRun);
        CStartHistory kept(place.Folder);
        kept.Load();
        QCOMPARE(kept.Records().size(), 1);
        QCOMPARE(kept.Records().front().Samples.size(), trend.Capture().Samples().size());
        QVERIFY2(dialogs.Messages.last().contains(QStringLiteral("已存入起动记录")),
                 qPrintable(dialogs.Messages.last()));

        dialogs.SaveAnswer = dir.filePath(QStringLiteral("trend.cfg"));
        rig.Trigger("actionExportComtradeBinary");
        QFile cfg(dialogs.SaveAnswer);
        QVERIFY(cfg.open(QIODevice::ReadOnly));
        QVERIFY(cfg.readAll().contains(
            QStringLiteral("0,%1\r\n").arg(trend.Store().Samples().size()).toUtf8()));
        QCOMPARE(QFileInfo(dir.filePath(QStringLiteral("trend.dat"))).size(),
                 qint64(trend.Store().Samples().size()) * 22);

        // The capture's CSV file made into COMTRADE: one data line per captured tick.
        dialogs.OpenAnswer = dir.filePath(QStringLiteral("capture.csv"));
        dialogs.SaveAnswer = dir.filePath(QStringLiteral("capture.cfg"));
        rig.Trigger("actionConvertRecordingAscii");
        QFile dat(dir.filePath(QStringLiteral("capture.dat")));
        QVERIFY(dat.open(QIODevice::ReadOnly));
        QCOMPARE(dat.readAll().count("\r\n"), qsizetype(trend.Capture().Samples().size()));
    }

    void ticksReachTrendAndRecording() {
        CTrendRig rig;
        QTemporaryDir dir;
        rig.FileDialogs.SaveAnswer = dir.filePath(QStringLiteral("ticks.csv"));
        rig.Trigger("actionStartRecording");
        rig.Click("readRealtimeButton");
        QVERIFY(rig.WaitForSamples(3));
        const TrendSample first = rig.Trend->Store().Samples().front();
        QVERIFY(first.Answered.Currents && first.Answered.Voltages && first.Answered.Status);
        QCOMPARE(QString::number(*first.Currents[0], 'f', 3),
                 QString::fromStdString(rig.Window.Fields().Live.Currents[0]));
        QCOMPARE(*first.Voltages[0], 380.1);

        // The device goes silent: the ticks go on, recorded as unanswered, without values.
        SimFaults silent;
        silent.Silent = true;
        rig.Port.SetFaults(silent);
        const size_t before = rig.Trend->Store().Samples().size();
        QVERIFY(rig.WaitForSamples(before + 2));
        const TrendSample missed = rig.Trend->Store().Samples().back();
        QVERIFY(!missed.Answered.Currents && !missed.Currents[0].has_value());

        rig.Trigger("actionStopRecording");
        const int64_t lines = rig.Trend->Recorder().Lines();
        QVERIFY(lines >= static_cast<int64_t>(before + 1));
        rig.Port.SetFaults({});
        QVERIFY(rig.WaitForSamples(rig.Trend->Store().Samples().size() + 1));
        QFile file(rig.FileDialogs.SaveAnswer);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> rows = file.readAll().split('\n');
        QCOMPARE(rows.size(), static_cast<int>(lines) + 2);  // heading, lines, empty end
        QVERIFY(rows.at(rows.size() - 2).endsWith(",0,0,0,0,0\r"));
        QVERIFY(rig.Dialogs.Messages.isEmpty());
    }

    // The main window closed while recording, in the middle of a tick: the program has ended
    // within a second, and the file holds whole lines only, the trend window closed with it.
    void closingWhileRecording() {
        CTrendRig rig;
        QTemporaryDir dir;
        rig.FileDialogs.SaveAnswer = dir.filePath(QStringLiteral("closing.csv"));
        rig.Window.show();
        rig.Trigger("actionTrendWindow");
        rig.Trigger("actionStartRecording");
        rig.Click("readRealtimeButton");
        QVERIFY(rig.WaitForSamples(2));
        rig.HoldInWait(2);
        QVERIFY(rig.WaitUntilHeld());
        QElapsedTimer closing;
        closing.start();
        rig.Window.close();
        QVERIFY2(closing.elapsed() < 1000, qPrintable(QString::number(closing.elapsed())));
        QVERIFY(!rig.Port.IsPortOpen());
        QVERIFY(!rig.Trend->TrendWindow() || !rig.Trend->TrendWindow()->isVisible());
        QCoreApplication::processEvents();
        const int64_t lines = rig.Trend->Recorder().Lines();
        rig.Trend.reset();  // what the program's end does: the recording is closed
        QFile file(rig.FileDialogs.SaveAnswer);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.endsWith("\r\n"));
        const QList<QByteArray> rows = bytes.split('\n');
        QCOMPARE(rows.size(), static_cast<int>(lines) + 2);
        for (const QByteArray& row : rows.mid(0, rows.size() - 1)) {
            QCOMPARE(row.count(','), 23);
        }
    }

    void trendWindowDrawsPausesAndSaves() {
        CTrendRig rig;
        rig.Trigger("actionTrendWindow");
        CTrendWindow* window = rig.Trend->TrendWindow();
        QVERIFY(window && window->isVisible());
        rig.Click("readRealtimeButton");
        QVERIFY(rig.WaitForSamples(2));
        QVERIFY(QTest::qWaitFor([&] { return window->PointCount(0) >= 2; }, 5000));
        QCOMPARE(window->PointCount(3), window->PointCount(0));

        window->SetPaused(true);
        const int frozen = window->PointCount(0);
        QVERIFY(rig.WaitForSamples(rig.Trend->Store().Samples().size() + 2));
        QCOMPARE(window->PointCount(0), frozen);
        window->SetPaused(false);
        QVERIFY(window->PointCount(0) > frozen);

        window->ShowValuesAt(rig.Trend->Store().Samples().front().TimeMs);
        QVERIFY(window->CursorText().contains(QStringLiteral("A相电压 380.10 V")));

        QTemporaryDir dir;
        rig.FileDialogs.SaveAnswer = dir.filePath(QStringLiteral("trend.png"));
        QVERIFY(window->ExportPicture());
        QImage picture(rig.FileDialogs.SaveAnswer);
        QVERIFY(!picture.isNull());
        QVERIFY(picture.height() > 300);
    }

    // The lines break where there was no data: across reads without reply and across a stop
    // of polling, however short; each phase is named once in the legend.
    void linesBreakAcrossSilenceAndStops() {
        CTrendRig rig;
        rig.Trigger("actionTrendWindow");
        CTrendWindow* window = rig.Trend->TrendWindow();
        QVERIFY(window);
        rig.Click("readRealtimeButton");
        QVERIFY(rig.WaitForSamples(2));
        QTRY_COMPARE(window->PieceCount(0), 1);

        SimFaults silent;
        silent.Silent = true;
        rig.Port.SetFaults(silent);
        QVERIFY(QTest::qWaitFor(
            [&] { return !rig.Trend->Store().Samples().back().Answered.Currents; }, 10000));
        rig.Port.SetFaults({});
        QVERIFY(rig.WaitForSamples(rig.Trend->Store().Samples().size() + 2));
        QCOMPARE(window->PieceCount(0), 2);
        QCOMPARE(window->PieceCount(3), 2);

        rig.Controller->Run(MainCommand::StopRun);
        QVERIFY(rig.Drain());
        rig.Click("readRealtimeButton");
        QVERIFY(rig.WaitForSamples(rig.Trend->Store().Samples().size() + 2));
        QCOMPARE(window->PieceCount(0), 3);
        QCOMPARE(window->PieceCount(5), 3);

        auto* chart = Child<QChartView>(*window, QStringLiteral("trendCurrentChart"))->chart();
        // The legend's markers follow the series when the chart next lays itself out.
        const auto named = [chart] {
            QStringList names;
            for (QLegendMarker* marker : chart->legend()->markers()) {
                if (marker->isVisible()) {
                    names << marker->label();
                }
            }
            return names;
        };
        QTRY_COMPARE(named().mid(0, 3), (QStringList{"A相", "B相", "C相"}));
        QCOMPARE(named().count(QStringLiteral("A相")), 1);
    }

    // A language switch while the window is open re-words it and the menu; the range, the
    // pause and the drawn points stay.
    void languageSwitchKeepsTheWindowsState() {
        CTrendRig rig;
        rig.Trigger("actionTrendWindow");
        CTrendWindow* window = rig.Trend->TrendWindow();
        rig.Click("readRealtimeButton");
        QVERIFY(rig.WaitForSamples(2));
        QVERIFY(QTest::qWaitFor([&] { return window->PointCount(0) >= 2; }, 5000));
        window->SetRange(CTrendWindow::LastMinute);
        window->SetPaused(true);
        const int points = window->PointCount(0);
        auto* range = window->findChild<QComboBox*>(QStringLiteral("trendRangeBox"));
        auto* pause = window->findChild<QPushButton*>(QStringLiteral("trendPauseButton"));
        auto* chart = window->findChild<QChartView*>(QStringLiteral("trendCurrentChart"));
        auto* menu = rig.Window.findChild<QMenu*>(QStringLiteral("trendMenu"));
        QVERIFY(range && pause && chart && menu);

        CMarkingTranslator english;
        QCOMPARE(window->windowTitle(), CMarkingTranslator::Mark(QStringLiteral("实时曲线")));
        QCOMPARE(menu->title(), CMarkingTranslator::Mark(QStringLiteral("曲线")));
        QCOMPARE(range->currentIndex(), int(CTrendWindow::LastMinute));
        QCOMPARE(range->currentText(), CMarkingTranslator::Mark(QStringLiteral("最近1分钟")));
        QVERIFY(window->Paused());
        QCOMPARE(pause->text(), CMarkingTranslator::Mark(QStringLiteral("继续")));
        QCOMPARE(window->PointCount(0), points);
        QCOMPARE(chart->chart()->title(), CMarkingTranslator::Mark(QStringLiteral("相电流")));
        QCOMPARE(chart->accessibleName(), CMarkingTranslator::Mark(QStringLiteral("相电流")));
        QStringList legend;
        for (QLegendMarker* marker : chart->chart()->legend()->markers()) {
            legend << marker->label();
        }
        QVERIFY2(legend.contains(CMarkingTranslator::Mark(QStringLiteral("A相"))) &&
                     legend.contains(CMarkingTranslator::Mark(QStringLiteral("额定电流"))),
                 qPrintable(legend.join(", ")));
    }

    // Same values at a small fraction of the time per tick; silent reads fall back to their
    // full waits.
    void fastRefresh() {
        CTrendRig rig;
        QVERIFY(!rig.Find<QAction>("actionFastRefresh")->isChecked());
        rig.Click("readRealtimeButton");
        QVERIFY(rig.WaitForSamples(1));
        const double normal = MsPerTick(rig, 3);
        const TrendSample normalSample = rig.Trend->Store().Samples().back();

        rig.Trigger("actionFastRefresh");
        QVERIFY(rig.Find<QAction>("actionFastRefresh")->isChecked());
        MsPerTick(rig, 1);
        const double fast = MsPerTick(rig, 5);
        const TrendSample fastSample = rig.Trend->Store().Samples().back();
        QVERIFY2(normal >= 1400 && fast > 0 && fast * 7 < normal,
                 qPrintable(QStringLiteral("normal %1 ms, fast %2 ms").arg(normal).arg(fast)));
        QCOMPARE(fastSample.Currents, normalSample.Currents);
        QCOMPARE(fastSample.Voltages, normalSample.Voltages);
        QCOMPARE(fastSample.Status, normalSample.Status);

        SimFaults silent;
        silent.Silent = true;
        rig.Port.SetFaults(silent);
        MsPerTick(rig, 1);
        // A silent tick: nothing is sent while a reply may still come, so each of the five
        // reads waits out the one before it, 3000 ms after its request.
        QCOMPARE(MsPerTick(rig, 2), 15000.0);
        rig.Port.SetFaults({});

        rig.Trigger("actionFastRefresh");
        MsPerTick(rig, 1);
        QVERIFY(MsPerTick(rig, 2) >= 1400);
    }
};

}  // namespace mp::test

QTEST_MAIN(mp::test::TestTrendWindow)
#include "TestTrendWindow.moc"
