// The line's scheduler on the virtual clock: every relay in turn, silent relays backed off
// and back at full rate after one good reply, a silent relay costing a round at most one
// wait, no sample ever holding another relay's or another read's values under line faults,
// and a stopped scheduler showing nothing more.

#include <QtTest>

#include "plant/PlantRig.h"

Q_DECLARE_METATYPE(mp::SimFaults)

namespace mp::test {
namespace {

SimFaults Silent() {
    SimFaults faults;
    faults.Silent = true;
    return faults;
}

SimFaults Late(uint32_t ms, std::vector<uint8_t> stray = {}) {
    SimFaults faults;
    faults.ReplyDelayMs = ms;
    faults.StrayBytes = std::move(stray);
    return faults;
}

// Every value the sample holds is its own relay's, read by the read of its group.
QString WrongValue(const FeederSample& s) {
    const uint8_t a = s.Address;
    for (int k = 0; k < 3; ++k) {
        if (s.Currents && s.Currents->Counts[static_cast<size_t>(k)] != CurrentOf(a, k)) {
            return QStringLiteral("current %1 of relay %2").arg(k).arg(a);
        }
        if (s.Voltages && s.Voltages->Tenths[static_cast<size_t>(k)] != VoltageOf(a, k)) {
            return QStringLiteral("voltage %1 of relay %2").arg(k).arg(a);
        }
    }
    if (s.Inputs && s.Inputs->Bits != InputsOf(a)) {
        return QStringLiteral("inputs of relay %1").arg(a);
    }
    if (s.Outputs && s.Outputs->Bits != OutputsOf(a)) {
        return QStringLiteral("outputs of relay %1").arg(a);
    }
    if (s.Status && s.Status->LowByte != StatusOf(a)) {
        return QStringLiteral("status of relay %1").arg(a);
    }
    if (s.CtRatio && *s.CtRatio != 10 + a) {
        return QStringLiteral("CT ratio of relay %1").arg(a);
    }
    if (s.RatedCurrent && *s.RatedCurrent != a) {
        return QStringLiteral("rated current of relay %1").arg(a);
    }
    return {};
}

}  // namespace

class TestLineScheduler : public QObject {
    Q_OBJECT
private slots:
    // Visits per relay over 24 rounds: a silent relay in rounds 1, 3, 7, 15 and 23 (skipped
    // 1, 3, then 7 rounds), one whose window is open every 2nd round.
    void fairnessAndBackOff_data() {
        QTest::addColumn<int>("relays");
        QTest::addColumn<QList<int>>("silent");
        QTest::addColumn<int>("windowOpen");  // 0: none
        QTest::addColumn<int>("silentVisits");
        QTest::addColumn<int>("windowVisits");
        QTest::newRow("all answer") << 5 << QList<int>{} << 0 << 0 << 0;
        QTest::newRow("one silent among five") << 5 << QList<int>{3} << 0 << 5 << 0;
        QTest::newRow("first and last silent") << 6 << QList<int>{1, 6} << 0 << 5 << 0;
        QTest::newRow("silent relay with its window open") << 4 << QList<int>{2} << 2 << 0 << 12;
        QTest::newRow("answering relay with its window open") << 4 << QList<int>{2} << 3 << 5 << 24;
        QTest::newRow("every relay silent") << 3 << QList<int>{1, 2, 3} << 0 << 5 << 0;
    }
    void fairnessAndBackOff() {
        QFETCH(int, relays);
        QFETCH(QList<int>, silent);
        QFETCH(int, windowOpen);
        QFETCH(int, silentVisits);
        QFETCH(int, windowVisits);
        CPlantLineRig rig(relays, 9600);
        for (int a : silent) {
            rig.Faulty.Plan[static_cast<uint8_t>(a)] = Silent();
        }
        if (windowOpen != 0) {
            rig.Scheduler->SetWindowOpen(static_cast<uint8_t>(windowOpen), true);
        }
        rig.RunRounds(24);
        QCOMPARE(rig.Scheduler->Rounds(), uint64_t{24});
        const auto visits = rig.VisitsPerRelay();
        for (int a = 1; a <= relays; ++a) {
            const int expected = a == windowOpen      ? windowVisits
                                 : silent.contains(a) ? silentVisits
                                                      : 24;
            QVERIFY2(visits.count(static_cast<uint8_t>(a)) && visits.at(a) == expected,
                     qPrintable(QStringLiteral("relay %1: %2 visits, %3 expected")
                                    .arg(a)
                                    .arg(visits.count(a) ? visits.at(a) : 0)
                                    .arg(expected)));
        }
        for (const FeederSample& s : rig.Samples) {
            const bool quiet = silent.contains(s.Address);
            QCOMPARE(s.Answered, !quiet);
            QVERIFY(!quiet || (!s.Currents && !s.Voltages && !s.Inputs && !s.Outputs && !s.Status));
            QVERIFY2(WrongValue(s).isEmpty(), qPrintable(WrongValue(s)));
        }
        // A silent relay's visit is its first read alone.
        for (int a : silent) {
            int requests = 0;
            for (const auto& sent : rig.Port.Sent()) {
                requests += sent.Bytes.at(0) == a;
            }
            QCOMPARE(requests, rig.VisitsPerRelay()[static_cast<uint8_t>(a)]);
        }
    }

    // One silent relay among 30 makes a round longer by at most one read's wait (200 ms).
    void silentRelayCostsAtMostOneWait_data() {
        QTest::addColumn<int>("baud");
        QTest::newRow("9600") << 9600;
        QTest::newRow("19200") << 19200;
    }
    void silentRelayCostsAtMostOneWait() {
        QFETCH(int, baud);
        auto longestRound = [baud](bool withSilent) {
            CPlantLineRig rig(30, baud);
            if (withSilent) {
                rig.Faulty.Plan[17] = Silent();
            }
            rig.RunRounds(17);
            // Round 1 also reads every relay's rated data.
            return *std::max_element(rig.RoundMs.begin() + 1, rig.RoundMs.end());
        };
        const uint32_t clean = longestRound(false);
        const uint32_t withSilent = longestRound(true);
        QVERIFY2(withSilent <= clean + 200,
                 qPrintable(QStringLiteral("%1 ms against %2 ms").arg(withSilent).arg(clean)));
    }

    // Relays with faults on a shared line (silent, late, very late, bad CRC, stray bytes, split
    // replies): a sample holds its own relay's values or nothing, never zeros, never another
    // relay's or another read's; relays without faults answer every visit in full.
    void faultyPlantNeverMixesValues_data() {
        QTest::addColumn<int>("baud");
        QTest::newRow("9600") << 9600;
        QTest::newRow("19200") << 19200;
    }
    void faultyPlantNeverMixesValues() {
        QFETCH(int, baud);
        CPlantLineRig rig(10, baud);
        rig.Faulty.Plan[4] = Silent();
        rig.Faulty.Plan[5] = Late(250);  // after the currents' 200 ms wait, within 300 ms
        rig.Faulty.Plan[6] = Late(400);  // every reply after its wait, into the next relay's
        rig.Faulty.Plan[7].CorruptCrc = true;
        rig.Faulty.Plan[8] = Late(0, {0x05, 0x03, 0x06, 0x01});
        rig.Faulty.Plan[9].SplitPieces = 3;
        rig.Faulty.Plan[9].PieceGapMs = 20;
        rig.Faulty.Plan[10] = Late(150, {0x0A, 0x03});
        rig.RunRounds(20);
        int valuesSeen = 0;
        std::map<uint8_t, int> full;
        for (const FeederSample& s : rig.Samples) {
            QVERIFY2(WrongValue(s).isEmpty(), qPrintable(WrongValue(s)));
            // Silent, late for its first read (a visit ends there), or a bad CRC: nothing.
            if (s.Address >= 4 && s.Address <= 7) {
                QVERIFY(!s.Answered);
            }
            full[s.Address] += s.Currents && s.Voltages && s.Inputs && s.Outputs && s.Status;
            valuesSeen += s.Voltages.has_value();
        }
        // The others, stray bytes and split replies included, are read in full every visit.
        for (uint8_t a : {1, 2, 3, 8, 9, 10}) {
            QVERIFY2(full[a] == 20,
                     qPrintable(QStringLiteral("relay %1: %2 visits in full").arg(a).arg(full[a])));
        }
        QVERIFY(valuesSeen > 100);
    }

    // After silence, one good reply brings the relay back to every round, and its rated data
    // are read again (first contact, then once after it comes back).
    void backAfterSilence() {
        CPlantLineRig rig(4, 9600);
        rig.RunRounds(1);
        rig.Faulty.Plan[2] = Silent();
        rig.RunRounds(9);
        rig.Faulty.Plan.clear();
        rig.RunRounds(18);  // its next visit, in round 16, is answered
        const size_t before = rig.Samples.size();
        rig.RunRounds(24);
        int visits = 0;
        for (size_t i = before; i < rig.Samples.size(); ++i) {
            visits += rig.Samples[i].Address == 2;
        }
        QCOMPARE(visits, 6);
        QCOMPARE(rig.RatedReads(1), 1);
        QCOMPARE(rig.RatedReads(2), 2);
        const FeederSample& last = rig.Samples.back();
        QCOMPARE(last.CtRatio, std::optional<double>(14));
        QCOMPARE(last.RatedCurrent, std::optional<double>(4));
        QCOMPARE(last.BackOffRounds, 0);
    }

    // A stop ends the visit before its next exchange, and what was already on its way to the
    // window is not shown; a start again polls on.
    void stopEndsTheVisitAndShowsNothingMore() {
        CPlantLineRig rig(3, 9600);
        rig.Window.Hold = true;
        rig.Scheduler->Start();
        QVERIFY(rig.Worker->RunOnce());  // relay 1's visit, its sample held on its way
        QCOMPARE(rig.Window.Held.size(), size_t{1});
        rig.Scheduler->Stop();
        rig.Window.RunHeld();
        QVERIFY(rig.Samples.empty());
        QVERIFY(!rig.Worker->RunOnce());

        rig.Window.Hold = false;
        int sent = 0;
        rig.Link->SetTrace([&](bool outgoing, const std::vector<uint8_t>&) {
            if (outgoing && ++sent == 2) {
                rig.Scheduler->Stop();
            }
        });
        rig.Scheduler->Start();
        QVERIFY(rig.Worker->RunOnce());
        QCOMPARE(sent, 2);
        QVERIFY(rig.Samples.empty());

        rig.Link->SetTrace({});
        rig.RunRounds(2);
        QVERIFY(!rig.Samples.empty());
        // The link is left as the relay windows use it: fixed waits.
        QVERIFY(!rig.Link->FastReplyEnd());
    }
};

}  // namespace mp::test

QTEST_GUILESS_MAIN(mp::test::TestLineScheduler)
#include "TestLineScheduler.moc"
