// The trend's samples taken from the live values, the bounded store, the pieces its lines
// break into and the start it finds,
// the CSV lines of a run with failed reads, and a recording that cannot write any more.

#include <sys/resource.h>

#include <QFile>
#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>

#include "support/ScriptedDialogs.h"
#include "trend/CsvRecorder.h"
#include "trend/SampleStore.h"
#include "trend/TrendController.h"

namespace mp::test {
namespace {

PollTickResult Answers(bool currents, bool outputs, bool inputs, bool voltages, bool status) {
    return PollTickResult{currents, outputs, inputs, voltages, status};
}

LiveValues Live() {
    LiveValues live;
    live.Currents = {"1.250", "0.000", "12.500"};
    live.Voltages = {"380.10", "379.90", "381.00"};
    live.Inputs = {Lamp::Red,   Lamp::Green, Lamp::Green, Lamp::Green,
                   Lamp::Green, Lamp::Green, Lamp::Green, Lamp::Red};
    live.Outputs = {Lamp::Green, Lamp::Red, Lamp::Green};
    live.StatusLamps = 0x05;
    return live;
}

qint64 At(int hour, int minute, int second, int ms) {
    return QDateTime(QDate(2026, 12, 7), QTime(hour, minute, second, ms)).toMSecsSinceEpoch();
}

TrendSample CurrentsSample(qint64 t, std::optional<double> a) {
    TrendSample sample;
    sample.TimeMs = t;
    sample.Answered.Currents = a.has_value();
    sample.Currents = {a, a, a};
    return sample;
}

}  // namespace

class TestTrend : public QObject {
    Q_OBJECT
private slots:
    // A run of four ticks: everything answered; the currents missed; the device silent; the
    // status missed. A missed read leaves its fields empty, never the previous tick's values.
    void csvLinesOfARunWithFailures() {
        const LiveValues live = Live();
        const std::vector<TrendSample> run = {
            MakeTrendSample(At(14, 30, 0, 5), live, Answers(true, true, true, true, true)),
            MakeTrendSample(At(14, 30, 1, 405), live, Answers(false, true, true, true, true)),
            MakeTrendSample(At(14, 30, 2, 805), live, Answers(false, false, false, false, false)),
            MakeTrendSample(At(14, 30, 4, 205), live, Answers(true, true, true, true, false)),
        };
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("run.csv"));
        CCsvRecorder recorder;
        QVERIFY(recorder.Start(path));
        for (const TrendSample& sample : run) {
            QVERIFY(recorder.Append(sample));
        }
        // Every line is in the file before the recording ends.
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QCOMPARE(recorder.Size(), static_cast<int64_t>(bytes.size()));
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        const QStringList lines = QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"));
        const QStringList expected = {
            QStringLiteral("时间,A相电流,B相电流,C相电流,A相电压,B相电压,C相电压,DI1,DI2,DI3,DI4,"
                           "DI5,DI6,DI7,DI8,输出A,输出B,复归输出,状态位,电流应答,输出应答,"
                           "输入应答,电压应答,状态应答"),
            QStringLiteral("2026-12-07T14:30:00.005,1.250,0.000,12.500,380.10,379.90,381.00,"
                           "1,0,0,0,0,0,0,1,0,1,0,00000101,1,1,1,1,1"),
            QStringLiteral("2026-12-07T14:30:01.405,,,,380.10,379.90,381.00,"
                           "1,0,0,0,0,0,0,1,0,1,0,00000101,0,1,1,1,1"),
            QStringLiteral("2026-12-07T14:30:02.805,,,,,,,,,,,,,,,,,,,0,0,0,0,0"),
            QStringLiteral("2026-12-07T14:30:04.205,1.250,0.000,12.500,380.10,379.90,381.00,"
                           "1,0,0,0,0,0,0,1,0,1,0,,1,1,1,1,0"),
            QString(),
        };
        QCOMPARE(lines, expected);
        QCOMPARE(recorder.Lines(), int64_t{4});

        // Read back (for the COMTRADE export of a recording): the same samples, the missed
        // reads missing again; a line that is not the tool's is refused naming it.
        recorder.Stop();
        QString error;
        const auto read = CCsvRecorder::ReadAll(path, &error);
        QVERIFY2(read, qPrintable(error));
        QCOMPARE(read->size(), run.size());
        for (size_t k = 0; k < run.size(); ++k) {
            QCOMPARE((*read)[k].TimeMs, run[k].TimeMs);
            QCOMPARE(CCsvRecorder::Line((*read)[k]), CCsvRecorder::Line(run[k]));
        }
        file.close();
        QVERIFY(file.open(QIODevice::Append));
        file.write("2026-12-07T14:30:05.000,1.0\r\n");
        file.close();
        QVERIFY(!CCsvRecorder::ReadAll(path, &error));
        QVERIFY2(error.contains(QLatin1String("6")), qPrintable(error));
    }

    void sampleOfUnknownLamps() {
        LiveValues live = Live();
        live.Inputs[3] = Lamp::Unknown;
        live.Currents[1] = "garbage";
        const TrendSample sample = MakeTrendSample(0, live, Answers(true, true, true, true, true));
        QVERIFY(!sample.Inputs.has_value());
        QCOMPARE(sample.Outputs, std::optional<uint8_t>(0x02));
        QVERIFY(!sample.Currents[1].has_value());
        QCOMPARE(sample.Currents[2], std::optional<double>(12.5));
    }

    void storeKeepsTheNewest() {
        CSampleStore store(3);
        for (int k = 0; k < 5; ++k) {
            store.Add(CurrentsSample(k * 100, 1.0));
        }
        QCOMPARE(store.Samples().size(), size_t{3});
        QCOMPARE(store.Samples().front().TimeMs, int64_t{200});
        QCOMPARE(store.FirstAtOrAfter(250), size_t{1});
        QCOMPARE(store.FirstAtOrAfter(900), size_t{3});
    }

    // Samples as "time:value" ("-" for a read without reply; a leading "!" when polling was
    // started again just before), and the sizes of the pieces the line is drawn in.
    void linesBreakWhereThereWasNoData_data() {
        QTest::addColumn<QString>("samples");
        QTest::addColumn<QString>("pieces");
        QTest::newRow("steady polling") << "0:1 1000:2 2000:3"
                                        << "3";
        QTest::newRow("a read without reply") << "0:1 1000:- 2000:3 3000:4"
                                              << "1 2";
        QTest::newRow("replies missing at both ends") << "0:- 1000:2 2000:3 3000:-"
                                                      << "2";
        QTest::newRow("a 4-minute stop: 3.6 A, then 11.9 A")
            << "0:3.6 1000:3.6 241000:11.9 242000:11.9"
            << "2 2";
        QTest::newRow("polling started again 2 s later") << "0:1 1000:1 !3000:2 4000:2"
                                                         << "2 2";
        QTest::newRow("a slow line, within a few periods") << "0:1 2500:1 5000:1"
                                                           << "3";
        QTest::newRow("just longer than a few periods") << "0:1 5001:1"
                                                        << "1 1";
        QTest::newRow("the clock set back") << "5000:1 1000:1"
                                            << "1 1";
    }
    void linesBreakWhereThereWasNoData() {
        QFETCH(QString, samples);
        QFETCH(QString, pieces);
        CSampleStore store;
        for (QString token : samples.split(' ')) {
            if (token.startsWith('!')) {
                store.BreakLine();
                token.remove(0, 1);
            }
            const QStringList parts = token.split(':');
            const bool missed = parts[1] == QLatin1String("-");
            store.Add(
                CurrentsSample(parts[0].toLongLong(),
                               missed ? std::nullopt : std::optional<double>(parts[1].toDouble())));
        }
        QStringList sizes;
        for (const TrendRun& run :
             LineRuns(store.Samples(), 0, [](const TrendSample& s) { return s.Currents[1]; })) {
            sizes << QString::number(run.size());
        }
        QCOMPARE(sizes.join(' '), pieces);
    }

    void startFoundInTheSamples_data() {
        QTest::addColumn<QList<double>>("currents");  // -1: the read missed
        QTest::addColumn<qint64>("start");            // -1: none
        // Threshold 1.0 A; one sample every 100 ms.
        QTest::newRow("running from the first sample") << QList<double>{5, 5, 5} << qint64{-1};
        QTest::newRow("a start") << QList<double>{0, 0, 7, 5, 2} << qint64{200};
        QTest::newRow("two starts: the last") << QList<double>{0, 6, 0, 0, 6} << qint64{400};
        QTest::newRow("a missed read is no stop") << QList<double>{0, 6, -1, 6} << qint64{100};
        QTest::newRow("never above") << QList<double>{0, 0.5, 0.99} << qint64{-1};
    }
    void startFoundInTheSamples() {
        QFETCH(QList<double>, currents);
        QFETCH(qint64, start);
        CSampleStore store;
        qint64 t = 0;
        for (double current : currents) {
            store.Add(
                CurrentsSample(t, current < 0 ? std::nullopt : std::optional<double>(current)));
            t += 100;
        }
        QCOMPARE(store.LastStart(1.0).value_or(-1), start);
    }

    // A file that cannot grow any more ends the recording with a message; the ticks go on
    // into the trend.
    // A disk that fills up before a line (no room) or inside one (room for half of it): the
    // recording ends with its message and the file ends with its last whole line.
    void writeFailureStopsTheRecording_data() {
        QTest::addColumn<int>("room");  // bytes the disk still takes after the first line
        QTest::newRow("no room") << 0;
        QTest::newRow("half a line") << 40;
        QTest::newRow("all but the line end") << -1;
    }
    void writeFailureStopsTheRecording() {
        QFETCH(int, room);
        QMainWindow window;
        ProtectionSettings settings;
        const LiveValues live = Live();
        CScriptedDialogs dialogs;
        QTemporaryDir dir;
        dialogs.SaveAnswer = dir.filePath(QStringLiteral("full.csv"));
        TrendHost host;
        host.Window = &window;
        host.Settings = &settings;
        host.Live = &live;
        CTrendController trend(host, dialogs);
        trend.InstallMenu();
        auto* label = window.statusBar()->findChild<QLabel*>(QStringLiteral("recordingLabel"));
        QVERIFY(label);

        trend.StartRecording();
        QVERIFY(trend.Recorder().Recording());
        trend.OnPollTick(Answers(true, true, true, true, true));
        QVERIFY(!label->isHidden());
        QVERIFY(label->text().contains(QStringLiteral("full.csv")));
        const int64_t written = trend.Recorder().Size();

        // The process may write no file beyond what it holds now.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit limit = old;
        const int64_t lineLength =
            CCsvRecorder::Line(trend.Store().Samples().back()).toUtf8().size();
        limit.rlim_cur = static_cast<rlim_t>(written + (room < 0 ? lineLength : room));
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
        trend.OnPollTick(Answers(true, true, true, true, true));
        setrlimit(RLIMIT_FSIZE, &old);

        QVERIFY(!trend.Recorder().Recording());
        QCOMPARE(dialogs.Messages.size(), 1);
        QVERIFY(dialogs.Messages.first().startsWith(QStringLiteral("记录已停止")));
        QVERIFY(label->isHidden());
        trend.OnPollTick(Answers(true, true, true, true, true));
        QCOMPARE(trend.Store().Samples().size(), size_t{3});
        QFile file(dialogs.SaveAnswer);
        QCOMPARE(file.size(), written);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().endsWith("\r\n"));
    }

    void cancelledChooserRecordsNothing() {
        QMainWindow window;
        ProtectionSettings settings;
        const LiveValues live = Live();
        CScriptedDialogs dialogs;
        TrendHost host;
        host.Window = &window;
        host.Settings = &settings;
        host.Live = &live;
        CTrendController trend(host, dialogs);
        trend.StartRecording();
        QCOMPARE(dialogs.SaveAsked, 1);
        QVERIFY(!trend.Recorder().Recording());
        dialogs.SaveAnswer = QStringLiteral("/nonexistent-folder/x.csv");
        trend.StartRecording();
        QVERIFY(!trend.Recorder().Recording());
        QCOMPARE(dialogs.Messages.size(), 1);
    }
};

}  // namespace mp::test

QTEST_MAIN(mp::test::TestTrend)
#include "TestTrend.moc"
