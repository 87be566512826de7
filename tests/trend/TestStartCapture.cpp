// The start capture: a start played by the simulated device found, with its peak and the time
// until the current settles; the judgement against the start-time and locked-rotor settings.

#include <QtTest>

#include "support/DeviceRig.h"
#include "trend/StartCapture.h"
#include "trend/TrendController.h"

namespace mp::test {
namespace {

// Samples every 100 ms from `currents` (A, the same on each phase; -1: the read missed).
std::vector<TrendSample> Samples(const QList<double>& currents) {
    std::vector<TrendSample> samples;
    int64_t t = 0;
    for (double current : currents) {
        TrendSample sample;
        sample.TimeMs = t;
        sample.Answered.Currents = current >= 0;
        if (current >= 0) {
            sample.Currents = {current, current * 0.98, current * 0.99};
        }
        samples.push_back(sample);
        t += 100;
    }
    return samples;
}

}  // namespace

class TestStartCapture : public QObject {
    Q_OBJECT
private slots:
    // The device runs at 9.0 A (0.9 × rated 10 A), then plays a start 2 s into the polling.
    void findsTheSimulatedStart() {
        CDeviceRig rig;
        for (uint16_t k = 0; k < 3; ++k) {
            rig.Device.SetRegister(static_cast<uint16_t>(0x0106 + k), 900);  // 0.01 A units
        }
        rig.Device.PlayMotorStart(rig.Clock, 2000);
        rig.Link.SetFastReplyEnd(true, 9600);  // as the capture polls
        StartSettings settings;
        settings.RatedCurrent = 10.0;
        settings.LockedRotorMultiple = 4.0;
        settings.LockedRotorTime = 0.5;
        settings.StartTime = 5.0;
        CStartCapture capture;
        capture.Arm(settings, CStartCapture::kDefaultThreshold, 15000);

        bool done = false;
        while (!done && rig.Clock.Elapsed() < 30000) {
            const int16_t p = rig.Link.ReadSequence(0x03, 0x0106, 3, 200);
            QVERIFY(p >= 0);
            TrendSample sample;
            sample.TimeMs = static_cast<int64_t>(rig.Clock.Elapsed());
            sample.Answered.Currents = true;
            for (int k = 0; k < 3; ++k) {
                sample.Currents[static_cast<size_t>(k)] = rig.Link.Register(p, k) * 0.01;
            }
            done = capture.Feed(sample);
            rig.Clock.Sleep(74);  // one sample every 100 ms
        }
        QVERIFY(done);
        const StartJudgement j = CStartCapture::Judge(capture.Samples(), settings);
        // The first read after 2000 ms sees it (a read every 100 to 110 ms).
        QVERIFY2(j.StartAt > 2000 && j.StartAt <= 2150, qPrintable(QString::number(j.StartAt)));
        // Peak near 6 × 9 A, early in the start.
        QVERIFY2(j.PeakCurrent > 46 && j.PeakCurrent <= 54,
                 qPrintable(QString::number(j.PeakCurrent)));
        QVERIFY(j.PeakAt - j.StartAt <= 400);
        // 9 × (1 + 5 e^(-t / 2.5 s)) < 12 A after 2.5 s × ln 15 = 6.77 s.
        QVERIFY(j.SettledAfter);
        QVERIFY2(qAbs(*j.SettledAfter - 6770) <= 150, qPrintable(QString::number(*j.SettledAfter)));
        QVERIFY(j.StartTimeoutTrips);  // 6.8 s > 5 s
        // 40 A and above while 9 × (1 + 5 e^(-t / 2.5 s)) >= 40, until 0.93 s: > 0.5 s.
        QVERIFY(j.LockedRotorTrips);
        QVERIFY2(*j.LockedRotorFor >= 700 && *j.LockedRotorFor <= 930,
                 qPrintable(QString::number(*j.LockedRotorFor)));
        QVERIFY(CTrendController::JudgementText(j, settings)
                    .contains(QStringLiteral("启动超时保护会动作")));
    }

    void judgement_data() {
        QTest::addColumn<QList<double>>("currents");
        QTest::addColumn<qint64>("settledAfter");  // -1: never
        QTest::addColumn<bool>("startTimeout");    // start time 0.5 s
        QTest::addColumn<bool>("lockedRotor");     // 4 × 10 A for more than 0.2 s
        QTest::newRow("short start") << QList<double>{30, 20, 11} << qint64{200} << false << false;
        QTest::newRow("settles after the start time")
            << QList<double>{30, 20, 20, 20, 20, 20, 11} << qint64{600} << true << false;
        QTest::newRow("never settles") << QList<double>{30, 20, 20} << qint64{-1} << true << false;
        QTest::newRow("locked rotor for 0.3 s")
            << QList<double>{45, 45, 45, 45, 11} << qint64{400} << false << true;
        QTest::newRow("locked rotor for exactly 0.2 s")
            << QList<double>{45, 45, 45, 11} << qint64{300} << false << false;
        QTest::newRow("missed reads join the locked run")
            << QList<double>{45, -1, -1, 45, 11} << qint64{400} << false << true;
    }
    void judgement() {
        QFETCH(QList<double>, currents);
        QFETCH(qint64, settledAfter);
        QFETCH(bool, startTimeout);
        QFETCH(bool, lockedRotor);
        StartSettings settings{10.0, 4.0, 0.2, 0.5};
        const StartJudgement j = CStartCapture::Judge(Samples(currents), settings);
        QCOMPARE(j.SettledAfter.value_or(-1), settledAfter);
        QCOMPARE(j.StartTimeoutTrips, startTimeout);
        QCOMPARE(j.LockedRotorTrips, lockedRotor);
    }

    // Armed while the motor runs: nothing is captured until it has been seen stopped.
    void runningMotorIsNoStart() {
        CStartCapture capture;
        capture.Arm(StartSettings{10.0, 4.0, 0.5, 5.0}, 0.1, 300);
        for (const TrendSample& sample : Samples({9, 9, -1, 0.5, 9, 9, 9, 9})) {
            capture.Feed(sample);
        }
        QCOMPARE(capture.CurrentState(), CStartCapture::State::Done);
        QCOMPARE(capture.Samples().front().TimeMs, int64_t{400});
        QCOMPARE(capture.Samples().size(), size_t{4});
    }
};

}  // namespace mp::test

QTEST_MAIN(mp::test::TestStartCapture)
#include "TestStartCapture.moc"
