// The service's publishing without a broker: the JSON of every topic, which changes are
// published, the bounded outbox while the broker is away, and the options.

#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include "service/PlantPublisher.h"
#include "service/PlantTopics.h"
#include "service/ServiceOptions.h"
#include "service/ServiceRig.h"

using namespace mp;
using namespace mp::test;

namespace {

constexpr int64_t kT0 = 1796700000000;  // 2026-12-08T03:20:00.000Z

struct PublisherRig {
    explicit PublisherRig(PublishLimits limits = {})
        : States(TwoFeeders()),
          Publisher(States, CPlantTopics(QStringLiteral("mcc")), Client, limits,
                    [this] { return Now; }) {
        Publisher.Start(QByteArrayLiteral("{}"));
    }
    void Apply(const FeederSample& s) {
        Now = s.TimeMs;
        States.Apply(s);
    }
    int64_t Now = kT0;
    CFakeMqttClient Client;
    CFeederStates States;
    CPlantPublisher Publisher;
};

}  // namespace

class TestService : public QObject {
    Q_OBJECT
private slots:
    void LiveAndLinkJson_data();
    void LiveAndLinkJson();
    void NewEvents_data();
    void NewEvents();
    void PublishesWhatChanged();
    void BrokerAwayForAnHour();
    void Options_data();
    void Options();
};

void TestService::LiveAndLinkJson_data() {
    QTest::addColumn<FeederSample>("sample");
    QTest::addColumn<QByteArray>("live");
    QTest::addColumn<QByteArray>("link");

    const QByteArray answering =
        R"({"last_answer":"2026-12-08T03:20:00.000Z","since":"2026-12-08T03:20:00.000Z","state":"answering"})";
    QTest::newRow("every group")
        << Visit(1, kT0)
        << QByteArray(
               R"({"ct_ratio":50,"current_counts":[101,102,103],"currents":[5.05,5.1,5.15],)"
               R"("di":[1,0,1,0,0,0,0,0],"outputs":[0,1,0],"rated_current":15,"stale":false,)"
               R"("status":1,"time":"2026-12-08T03:20:00.000Z","units":{"currents":"A",)"
               R"("rated_current":"A","voltages":"V"},"voltages":[380.1,380.2,380.3]})")
        << answering;
    FeederSample noCt = Visit(2, kT0);
    noCt.CtRatio.reset();
    noCt.RatedCurrent.reset();
    noCt.Inputs.reset();
    noCt.Outputs.reset();
    QTest::newRow("no CT ratio: counts only, groups not read left out")
        << noCt
        << QByteArray(R"({"current_counts":[201,202,203],"stale":false,"status":1,)"
                      R"("time":"2026-12-08T03:20:00.000Z","units":{"voltages":"V"},)"
                      R"("voltages":[380.2,380.3,380.4]})")
        << answering;
    FeederSample silent;
    silent.Address = 1;
    silent.TimeMs = kT0;
    QTest::newRow("never answered: no values, stale")
        << silent << QByteArray(R"({"stale":true,"time":null,"units":{}})")
        << QByteArray(
               R"({"last_answer":null,"since":"2026-12-08T03:20:00.000Z","state":"not_answering"})");
}

void TestService::LiveAndLinkJson() {
    QFETCH(FeederSample, sample);
    QFETCH(QByteArray, live);
    QFETCH(QByteArray, link);
    CFeederStates states(TwoFeeders());
    states.Apply(sample);
    const FeederState& s = states.At(states.Find(0, sample.Address));
    QCOMPARE(Compact(LiveJson(s)), live);
    QCOMPARE(Compact(LinkJson(s)), link);

    // The broker watch reads back the very readings.
    FeederState back;
    back.Tag = s.Tag;
    QCOMPARE(ReadLiveJson(live, &back), sample.Answered);
    QCOMPARE(ReadLinkJson(link, &back), true);
    if (sample.Answered) {
        QCOMPARE(back.Currents->Value.Counts, s.Currents->Value.Counts);
        QCOMPARE(back.Voltages->Value.Tenths, s.Voltages->Value.Tenths);
        QCOMPARE(back.Inputs.has_value(), s.Inputs.has_value());
        QCOMPARE(back.Status->Value.LowByte, s.Status->Value.LowByte);
        QCOMPARE(back.CurrentAmperes(0), s.CurrentAmperes(0));
    }
    QCOMPARE(back.Link, s.Link);
    QCOMPARE(back.LinkSinceMs, s.LinkSinceMs);
}

void TestService::NewEvents_data() {
    QTest::addColumn<std::vector<int>>("before");  // empty with beforeRead false: none read
    QTest::addColumn<bool>("beforeRead");
    QTest::addColumn<std::vector<int>>("now");
    QTest::addColumn<std::vector<int>>("fresh");
    QTest::newRow("first read: all")
        << std::vector<int>{} << false << std::vector<int>{5, 6} << std::vector<int>{0, 1};
    QTest::newRow("same") << std::vector<int>{5, 6} << true << std::vector<int>{5, 6}
                          << std::vector<int>{};
    QTest::newRow("one more") << std::vector<int>{5, 6} << true << std::vector<int>{5, 6, 16}
                              << std::vector<int>{2};
    QTest::newRow("cleared, then one")
        << std::vector<int>{5, 6, 16} << true << std::vector<int>{7} << std::vector<int>{0};
    QTest::newRow("full record moved on")
        << std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8} << true
        << std::vector<int>{2, 2, 3, 4, 5, 6, 7, 9} << std::vector<int>{0, 7};
    QTest::newRow("none stored") << std::vector<int>{} << false << std::vector<int>{}
                                 << std::vector<int>{};
}

void TestService::NewEvents() {
    QFETCH(std::vector<int>, before);
    QFETCH(bool, beforeRead);
    QFETCH(std::vector<int>, now);
    QFETCH(std::vector<int>, fresh);
    const std::optional<EventRecordTexts> old =
        beforeRead ? std::optional<EventRecordTexts>(EventsOf(before, kT0)) : std::nullopt;
    QCOMPARE(mp::NewEvents(old, EventsOf(now, kT0 + 1000)), fresh);
}

void TestService::PublishesWhatChanged() {
    PublisherRig rig;
    rig.Client.Connect();
    QCOMPARE(rig.Client.On(QStringLiteral("mcc/service/state")), QList<QByteArray>{"online"});

    FeederSample first = Visit(1, kT0);
    first.Events = EventsOf({5, 6}, kT0);
    ProtectionSettings settings;
    settings.CtRatio = "50";
    settings.RatedCurrent = "15.0";
    first.Settings = settings;
    rig.Apply(first);
    rig.Apply(Visit(1, kT0 + 500));   // inside the least interval: not published
    rig.Apply(Visit(1, kT0 + 1200));  // published
    FeederSample again = Visit(1, kT0 + 2400);
    again.Events = EventsOf({5, 6, 16}, kT0 + 2400);
    again.Settings = settings;  // the same values, read again: not published
    rig.Apply(again);
    settings.RatedCurrent = "20.0";
    FeederSample changed = Visit(1, kT0 + 3600);
    changed.Settings = settings;
    rig.Apply(changed);

    QCOMPARE(rig.Client.On(QStringLiteral("mcc/M-1/live")).size(), 4);
    // The link once per change: unknown at the start, then answering.
    QCOMPARE(rig.Client.On(QStringLiteral("mcc/M-1/link")).size(), 2);
    QList<int> eventCodes;
    for (const QByteArray& e : rig.Client.On(QStringLiteral("mcc/M-1/events"))) {
        eventCodes << QJsonDocument::fromJson(e).object().value(QStringLiteral("code")).toInt();
    }
    QCOMPARE(eventCodes, (QList<int>{5, 6, 16}));
    const QList<QByteArray> sent = rig.Client.On(QStringLiteral("mcc/M-1/settings"));
    QCOMPARE(sent.size(), 2);
    QCOMPARE(QJsonDocument::fromJson(sent.last())["settings"]["ratedCurrent"].toString(),
             QStringLiteral("20.0"));
    for (const MqttMessage& m : rig.Client.Sent) {
        const bool event = m.Topic.endsWith(QLatin1String("/events"));
        const bool live = m.Topic.endsWith(QLatin1String("/live"));
        QCOMPARE(m.Qos, live ? 0 : 1);
        QCOMPARE(m.Retain, !event && !m.Topic.endsWith(QLatin1String("/dropped")));
    }

    // Nothing changes for the longest interval: the values again, now stale.
    rig.Now = kT0 + 3600 + 31000;
    rig.States.Refresh(rig.Now);
    rig.Publisher.Tick();
    const QJsonObject last =
        QJsonDocument::fromJson(rig.Client.On(QStringLiteral("mcc/M-1/live")).last()).object();
    QCOMPARE(last.value(QStringLiteral("stale")).toBool(), true);
    QCOMPARE(last.value(QStringLiteral("time")).toString(), UtcText(kT0 + 3600));
}

void TestService::BrokerAwayForAnHour() {
    PublishLimits limits;
    limits.Buffer.Live = 400;
    PublisherRig rig(limits);
    // Two feeders visited every 3 s for an hour; a new alarm every 10 minutes on M-1.
    std::vector<int> codes;
    int visits = 0;
    int64_t largest = 0;
    for (int64_t t = 0; t < 3600000; t += 3000) {
        FeederSample a = Visit(1, kT0 + t, static_cast<uint8_t>(codes.size()));
        if (t % 600000 == 0) {
            codes.push_back(1 + static_cast<int>(codes.size()));
            a.Events = EventsOf(codes, kT0 + t);
        }
        rig.Apply(a);
        rig.Apply(Visit(2, kT0 + t + 1500));
        visits += 2;
        largest = std::max(largest, rig.Publisher.Outbox().Bytes());
    }
    QCOMPARE(rig.Client.Sent.size(), size_t(0));
    // Bounded: the live share, the events and one message per retained topic.
    QVERIFY2(rig.Publisher.Outbox().Size() <= 400 + 6 + 8,
             qPrintable(QString::number(rig.Publisher.Outbox().Size())));
    QVERIFY(largest < 400 * 400 + 64 * 1024);
    const uint64_t droppedLive = rig.Publisher.Outbox().DroppedSoFar().Live;
    QVERIFY(droppedLive > 0);

    rig.Client.Connect();
    for (int round = 0; round < 20 && !rig.Publisher.Outbox().Empty(); ++round) {
        rig.Client.AckAll();
    }
    QVERIFY(rig.Publisher.Outbox().Empty());
    // The events first, each once and in order; then what was dropped is said.
    QList<int> eventCodes;
    for (const QByteArray& e : rig.Client.On(QStringLiteral("mcc/M-1/events"))) {
        eventCodes << QJsonDocument::fromJson(e).object().value(QStringLiteral("code")).toInt();
    }
    QCOMPARE(eventCodes, (QList<int>{1, 2, 3, 4, 5, 6}));
    QVERIFY(rig.Client.Sent.front().Topic.endsWith(QLatin1String("/events")));
    const QList<QByteArray> dropped = rig.Client.On(QStringLiteral("mcc/service/dropped"));
    QCOMPARE(dropped.size(), 1);
    const QJsonObject d = QJsonDocument::fromJson(dropped.first()).object();
    QCOMPARE(d.value(QStringLiteral("live")).toInteger(), qint64(droppedLive));
    QCOMPARE(d.value(QStringLiteral("events")).toInteger(), qint64(0));
    // What was kept and what was dropped make every live sample (less the first visits'
    // samples thinned at source by the least interval: none at 3 s).
    const qsizetype live = rig.Client.On(QStringLiteral("mcc/M-1/live")).size() +
                           rig.Client.On(QStringLiteral("mcc/M-2/live")).size();
    QCOMPARE(qint64(live) + qint64(droppedLive), qint64(visits));
}

void TestService::Options_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("config");  // written to a file and given with --config
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("says");  // in the error line, or in the result

    QTest::newRow("plain") << QStringList{"--plant", "p.json"} << QString() << -1
                           << QStringLiteral("127.0.0.1:1883 motor-protector");
    QTest::newRow("config file, command line wins")
        << QStringList{"--plant", "p.json", "--broker", "mq.local:1884"}
        << QStringLiteral(
               "# the service\nbroker = other:1\nprefix = site/mcc1\nmin-interval-ms = 500\n")
        << -1 << QStringLiteral("mq.local:1884 site/mcc1");
    QTest::newRow("no plant") << QStringList{} << QString() << 2 << QStringLiteral("--plant");
    QTest::newRow("bad port") << QStringList{"--plant", "p", "--broker", "h:70000"} << QString()
                              << 2 << QStringLiteral("--broker \"h:70000\"");
    QTest::newRow("bad key in file") << QStringList{"--plant", "p"} << QStringLiteral("brokr = h\n")
                                     << 2 << QStringLiteral("\"brokr\"");
    QTest::newRow("wildcard prefix") << QStringList{"--plant", "p", "--prefix", "a/#"} << QString()
                                     << 2 << QStringLiteral("--prefix");
    QTest::newRow("interval") << QStringList{"--plant", "p", "--min-interval-ms", "-5"} << QString()
                              << 2 << QStringLiteral("--min-interval-ms \"-5\"");
    QTest::newRow("cert without key") << QStringList{"--plant", "p", "--cert", "/etc/hostname"}
                                      << QString() << 2 << QStringLiteral("--key");
    QTest::newRow("password without user") << QStringList{"--plant", "p", "--password", "x"}
                                           << QString() << 2 << QStringLiteral("--user");
    QTest::newRow("unknown option")
        << QStringList{"--plant", "p", "--verbose"} << QString() << 2 << QStringLiteral("verbose");
    QTest::newRow("help") << QStringList{"--help"} << QString() << 0 << QStringLiteral("--broker");
}

void TestService::Options() {
    QFETCH(QStringList, args);
    QFETCH(QString, config);
    QFETCH(int, exitCode);
    QFETCH(QString, says);
    QTemporaryDir dir;
    QStringList arguments{QStringLiteral("motor-protector-service")};
    if (!config.isEmpty()) {
        QFile file(dir.filePath(QStringLiteral("service.conf")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(config.toUtf8());
        arguments << QStringLiteral("--config") << file.fileName();
    }
    arguments << args;
    const ServiceOptionsResult r = CServiceOptions::Parse(arguments);
    if (exitCode < 0) {
        QVERIFY2(r.Proceed, qPrintable(r.Error));
        const QString got = QStringLiteral("%1:%2 %3")
                                .arg(r.Options.Broker.Host)
                                .arg(r.Options.Broker.Port)
                                .arg(r.Options.Prefix);
        QCOMPARE(got, says);
        return;
    }
    QVERIFY(!r.Proceed);
    QCOMPARE(r.ExitCode, exitCode);
    if (exitCode == 0) {
        QVERIFY(r.Output.contains(says));
        return;
    }
    QVERIFY2(r.Error.contains(says), qPrintable(r.Error));
    QCOMPARE(r.Error.count(QLatin1Char('\n')), 1);
    QVERIFY(r.Error.startsWith(QLatin1String("motor-protector-service: ")));
}

QTEST_GUILESS_MAIN(TestService)
#include "TestService.moc"
