// The service against a real broker: the Debian mosquitto, started by the test on a free
// loopback port. The payloads as a subscriber gets them, the Last Will when the service is
// killed, events across broker restarts to a persistent subscriber, TLS with a test CA, and
// the overview filled from the broker.

#include <QDateTime>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QTableView>
#include <QTest>
#include <map>

#include "app/PlantWindows.h"
#include "mqtt/MosquittoClient.h"
#include "plant/OverviewDlg.h"
#include "plant/OverviewModel.h"
#include "plant/PlantFile.h"
#include "service/PlantPublisher.h"
#include "service/RemotePlant.h"
#include "service/ServiceRig.h"

using namespace mp;
using namespace mp::test;

namespace {

constexpr int64_t kT0 = 1796700000000;  // 2026-12-08T03:20:00.000Z
constexpr int kWaitMs = 10000;

MqttOptions At(quint16 port, const QString& id = {}) {
    MqttOptions o;
    o.Port = port;
    o.ClientId = id;
    o.ReconnectFirstS = 1;
    o.ReconnectLastS = 1;
    o.KeepAliveS = 5;
    return o;
}

// A subscriber that keeps every message it gets, in order.
struct Subscriber {
    Subscriber(const MqttOptions& options, const QString& filter) : Filter(filter) {
        QObject::connect(&Client, &CMqttClient::Connected, &Client,
                         [this] { Client.Subscribe(Filter, 1); });
        QObject::connect(&Client, &CMqttClient::Received, &Client,
                         [this](const MqttMessage& m) { Got.push_back(m); });
        QString reason;
        Client.Start(options, &reason);
    }
    QByteArray Last(const QString& topic) const {
        for (auto it = Got.rbegin(); it != Got.rend(); ++it) {
            if (it->Topic == topic) {
                return it->Payload;
            }
        }
        return {};
    }
    QList<QByteArray> All(const QString& topic) const {
        QList<QByteArray> out;
        for (const MqttMessage& m : Got) {
            if (m.Topic == topic) {
                out << m.Payload;
            }
        }
        return out;
    }
    QString Filter;
    CMosquittoClient Client;
    std::vector<MqttMessage> Got;
};

// The publisher of the rig's plant on a real client, its states fed by the test.
struct Service {
    explicit Service(const MqttOptions& options)
        : States(TwoFeeders()),
          Publisher(States, CPlantTopics(QStringLiteral("mcc")), Client, {},
                    [this] { return Now; }) {
        MqttOptions o = options;
        o.Will = CPlantPublisher::Will(CPlantTopics(QStringLiteral("mcc")));
        QString reason;
        Client.Start(o, &reason);
        Publisher.Start(PlantJson(TwoFeeders()));
    }
    void Apply(const FeederSample& s) {
        Now = s.TimeMs;
        States.Apply(s);
    }
    int64_t Now = kT0;
    CMosquittoClient Client;
    CFeederStates States;
    CPlantPublisher Publisher;
};

bool Run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    return p.waitForFinished(30000) && p.exitCode() == 0;
}

}  // namespace

class TestBroker : public QObject {
    Q_OBJECT
private slots:
    void init();
    void PayloadsOfEveryTopic();
    void LastWillWhenTheServiceIsKilled();
    void EventsAcrossBrokerRestarts();
    void Tls();
    void OverviewWatchesTheBroker();
    void StopsAtOnceWithTheBrokerAway();
};

void TestBroker::init() {
    if (!CBroker::Available()) {
        QSKIP("mosquitto is not installed (scripts/setup.sh installs it)");
    }
}

void TestBroker::PayloadsOfEveryTopic() {
    CBroker broker;
    QVERIFY(broker.Start());
    Subscriber sub(At(broker.Port), QStringLiteral("mcc/#"));
    QTRY_VERIFY_WITH_TIMEOUT(sub.Client.IsConnected(), kWaitMs);
    Service service(At(broker.Port, QStringLiteral("svc")));
    QTRY_COMPARE_WITH_TIMEOUT(sub.Last(QStringLiteral("mcc/service/state")), QByteArray("online"),
                              kWaitMs);

    FeederSample visit = Visit(1, kT0);
    visit.Events = EventsOf({5}, kT0);
    visit.Events->Events[0] = "短路故障(E05)";
    ProtectionSettings settings;
    settings.CtRatio = "50";
    settings.RatedCurrent = "15.0";
    settings.StartModeText = "直接起动";
    settings.Enabled[kShortCircuit] = true;
    visit.Settings = settings;
    service.Apply(visit);
    QTRY_VERIFY_WITH_TIMEOUT(!sub.Last(QStringLiteral("mcc/M-1/settings")).isEmpty(), kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(!sub.Last(QStringLiteral("mcc/M-1/live")).isEmpty(), kWaitMs);

    const std::map<QString, QByteArray> expected{
        {QStringLiteral("mcc/M-1/live"),
         R"({"ct_ratio":50,"current_counts":[101,102,103],"currents":[5.05,5.1,5.15],)"
         R"("di":[1,0,1,0,0,0,0,0],"outputs":[0,1,0],"rated_current":15,"stale":false,"status":1,)"
         R"("time":"2026-12-08T03:20:00.000Z","units":{"currents":"A","rated_current":"A",)"
         R"("voltages":"V"},"voltages":[380.1,380.2,380.3]})"},
        {QStringLiteral("mcc/M-1/link"),
         R"({"last_answer":"2026-12-08T03:20:00.000Z","since":"2026-12-08T03:20:00.000Z",)"
         R"("state":"answering"})"},
        {QStringLiteral("mcc/M-2/link"), R"({"last_answer":null,"since":null,"state":"unknown"})"},
        {QStringLiteral("mcc/M-1/events"),
         R"({"address":1,"code":5,"count":1,"id":"M-1/1796700000000/1","index":1,)"
         R"j("read":"2026-12-08T03:20:00.000Z","text":"短路故障(E05)"})j"},
        {QStringLiteral("mcc/M-1/settings"),
         R"({"address":1,"protections":{"definiteTime":false,"inverseTime":false,)"
         R"("lockedRotor":false,"overVoltage":false,"phaseLoss":false,"shortCircuit":true,)"
         R"("startTimeout":false,"unbalance":false,"underVoltage":false},)"
         R"("read":"2026-12-08T03:20:00.000Z","settings":{"breakingCurrent":"0","ctRatio":"50",)"
         R"("curve":"","definiteTimeMultiple":"","definiteTimeTime":"","lockedRotorMultiple":"",)"
         R"("lockedRotorTime":"","overVoltagePercent":"0","overVoltageTime":"0",)"
         R"("phaseLossTime":"","pwmPhase":"","ratedCurrent":"15.0","ratedVoltage":"",)"
         R"("startTime":"","unbalancePercent":"","unbalanceTime":"","underVoltagePercent":"0",)"
         R"("underVoltageTime":"0"},"start_mode":"直接起动"})"},
        {QStringLiteral("mcc/service/state"), "online"},
        {QStringLiteral("mcc/service/plant"), PlantJson(TwoFeeders())},
    };
    for (const auto& [topic, payload] : expected) {
        QCOMPARE(QString::fromUtf8(sub.Last(topic)), QString::fromUtf8(payload));
    }
    // Retained: a subscriber that comes later gets the state, the link and the settings.
    Subscriber late(At(broker.Port), QStringLiteral("mcc/#"));
    QTRY_COMPARE_WITH_TIMEOUT(late.Last(QStringLiteral("mcc/M-1/settings")),
                              expected.at(QStringLiteral("mcc/M-1/settings")), kWaitMs);
    QCOMPARE(late.All(QStringLiteral("mcc/M-1/events")).size(), 0);
}

void TestBroker::LastWillWhenTheServiceIsKilled() {
    CBroker broker;
    QVERIFY(broker.Start());
    QTemporaryDir dir;
    const QString plant = dir.filePath(QStringLiteral("plant.json"));
    QVERIFY(SavePlant(plant, TwoFeeders()).isEmpty());
    Subscriber sub(At(broker.Port), QStringLiteral("mcc/#"));
    QTRY_VERIFY_WITH_TIMEOUT(sub.Client.IsConnected(), kWaitMs);

    QProcess service;
    service.start(QStringLiteral(MP_SERVICE_PATH),
                  {QStringLiteral("--plant"), plant, QStringLiteral("--broker"),
                   QStringLiteral("127.0.0.1:%1").arg(broker.Port), QStringLiteral("--prefix"),
                   QStringLiteral("mcc"), QStringLiteral("--client-id"), QStringLiteral("svc")});
    QVERIFY(service.waitForStarted());
    QTRY_COMPARE_WITH_TIMEOUT(sub.Last(QStringLiteral("mcc/service/state")), QByteArray("online"),
                              kWaitMs);
    // The simulated relays of the plant answer: their live values come.
    QTRY_VERIFY_WITH_TIMEOUT(!sub.Last(QStringLiteral("mcc/M-2/live")).isEmpty(), kWaitMs);
    const QJsonObject live =
        QJsonDocument::fromJson(sub.Last(QStringLiteral("mcc/M-2/live"))).object();
    QCOMPARE(live.value(QStringLiteral("stale")).toBool(), false);
    QCOMPARE(live.value(QStringLiteral("current_counts")).toArray().size(), 3);

    service.kill();
    service.waitForFinished();
    QTRY_COMPARE_WITH_TIMEOUT(sub.Last(QStringLiteral("mcc/service/state")), QByteArray("offline"),
                              kWaitMs);
}

void TestBroker::EventsAcrossBrokerRestarts() {
    CBroker broker;
    QVERIFY(broker.Start());
    auto subscriber = std::make_unique<Subscriber>(At(broker.Port, QStringLiteral("historian")),
                                                   QStringLiteral("mcc/+/events"));
    QTRY_VERIFY_WITH_TIMEOUT(subscriber->Client.IsConnected(), kWaitMs);
    std::vector<MqttMessage> got;
    Service service(At(broker.Port, QStringLiteral("svc")));
    QTRY_VERIFY_WITH_TIMEOUT(service.Client.IsConnected(), kWaitMs);

    std::vector<int> codes;
    QStringList expected;
    int64_t t = kT0;
    auto alarm = [&] {
        codes.push_back(static_cast<int>(codes.size()) % 17 + 1);
        t += 1000;
        FeederSample s = Visit(1, t, static_cast<uint8_t>(codes.size()));
        s.Events = EventsOf(codes, t);
        service.Apply(s);
        expected << QStringLiteral("M-1/%1/%2").arg(t).arg(codes.size());
    };
    for (int restart = 0; restart < 5; ++restart) {
        codes.resize(codes.size() % 6);  // the record is cleared now and then
        // The subscriber away: the broker keeps the event for its session.
        for (const MqttMessage& m : subscriber->Got) {
            got.push_back(m);
        }
        subscriber.reset();
        alarm();
        QTRY_COMPARE_WITH_TIMEOUT(service.Publisher.HandedOver(), 0, kWaitMs);
        broker.Stop();
        // The broker away: the service keeps the events.
        alarm();
        alarm();
        QVERIFY(broker.Start());
        subscriber = std::make_unique<Subscriber>(At(broker.Port, QStringLiteral("historian")),
                                                  QStringLiteral("mcc/+/events"));
        QTRY_COMPARE_WITH_TIMEOUT(int(got.size() + subscriber->Got.size()), int(expected.size()),
                                  kWaitMs);
    }
    for (const MqttMessage& m : subscriber->Got) {
        got.push_back(m);
    }
    QTest::qWait(500);  // nothing more comes: no event twice
    QStringList ids;
    for (const MqttMessage& m : got) {
        ids << QJsonDocument::fromJson(m.Payload).object().value(QStringLiteral("id")).toString();
    }
    QCOMPARE(ids, expected);
}

void TestBroker::Tls() {
    QTemporaryDir certs;
    auto path = [&certs](const char* name) { return certs.filePath(QLatin1String(name)); };
    QFile ext(path("ext.cnf"));
    QVERIFY(ext.open(QIODevice::WriteOnly));
    ext.write("subjectAltName=IP:127.0.0.1\n");
    ext.close();
    const QString openssl = QStringLiteral("openssl");
    for (const char* ca : {"ca", "other"}) {
        QVERIFY(Run(openssl, {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                              "-subj", QStringLiteral("/CN=Test %1 CA").arg(QLatin1String(ca)),
                              "-keyout", path(ca) + ".key", "-out", path(ca) + ".crt"}));
    }
    QVERIFY(Run(openssl, {"req", "-new", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=127.0.0.1",
                          "-keyout", path("server.key"), "-out", path("server.csr")}));
    QVERIFY(Run(openssl, {"x509", "-req", "-in", path("server.csr"), "-CA", path("ca.crt"),
                          "-CAkey", path("ca.key"), "-CAcreateserial", "-days", "2", "-extfile",
                          path("ext.cnf"), "-out", path("server.crt")}));
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 tlsPort = probe.serverPort();
    probe.close();
    CBroker broker(QStringLiteral("listener %1 127.0.0.1\ncafile %2\ncertfile %3\nkeyfile %4\n")
                       .arg(tlsPort)
                       .arg(path("ca.crt"), path("server.crt"), path("server.key")));
    QVERIFY(broker.Start());

    MqttOptions tls = At(tlsPort);
    tls.CaFile = path("ca.crt");
    Subscriber sub(tls, QStringLiteral("mcc/#"));
    MqttOptions publisher = tls;
    publisher.ClientId = QStringLiteral("svc");
    Service service(publisher);
    QTRY_COMPARE_WITH_TIMEOUT(sub.Last(QStringLiteral("mcc/service/state")), QByteArray("online"),
                              kWaitMs);
    // A broker whose certificate the given CA did not sign is not talked to.
    MqttOptions wrong = tls;
    wrong.CaFile = path("other.crt");
    Subscriber stranger(wrong, QStringLiteral("mcc/#"));
    QTest::qWait(1500);
    QVERIFY(!stranger.Client.IsConnected());
    QVERIFY(stranger.Got.empty());
}

void TestBroker::OverviewWatchesTheBroker() {
    CBroker broker;
    QVERIFY(broker.Start());
    Service service(At(broker.Port, QStringLiteral("svc")));
    service.Now = QDateTime::currentMSecsSinceEpoch();
    service.Apply(Visit(2, service.Now));
    QTRY_COMPARE_WITH_TIMEOUT(service.Publisher.HandedOver(), 0, kWaitMs);

    CPlantWindows windows;
    windows.Watch(At(broker.Port), QStringLiteral("mcc"));
    COverviewDlg& overview = windows.Overview();
    QTRY_COMPARE_WITH_TIMEOUT(overview.Table()->model()->rowCount(), 2, kWaitMs);
    auto cell = [&overview](int row, int column) {
        return overview.Table()->model()->index(row, column).data().toString();
    };
    QTRY_COMPARE_WITH_TIMEOUT(cell(1, COverviewModel::Ia), QStringLiteral("10.1"), kWaitMs);
    QCOMPARE(cell(1, COverviewModel::Ua), QStringLiteral("380.2"));
    QVERIFY(!overview.SavePlantAction()->isEnabled());
    // The service says a relay stopped answering: the row says so, as the service has it.
    FeederSample silent;
    silent.Address = 2;
    silent.TimeMs = service.Now + 1000;
    service.Apply(silent);
    QTRY_COMPARE_WITH_TIMEOUT(windows.Remote()->States()->At(1).Link, FeederLink::NotAnswering,
                              kWaitMs);
    QCOMPARE(windows.Remote()->States()->At(1).LinkSinceMs, silent.TimeMs);
    QCOMPARE(windows.OpenRelayWindows(), 0);
    windows.Close();
}

void TestBroker::StopsAtOnceWithTheBrokerAway() {
    CBroker broker;  // never started: nothing listens on its port
    CMosquittoClient client;
    MqttOptions options = At(broker.Port);
    options.ReconnectFirstS = 5;
    options.ReconnectLastS = 30;
    QString reason;
    QVERIFY(client.Start(options, &reason));
    QTest::qWait(1500);  // the first attempt failed: the client waits to try again
    QElapsedTimer stop;
    stop.start();
    client.Stop();
    QVERIFY2(stop.elapsed() < 1000, qPrintable(QString::number(stop.elapsed())));
}

QTEST_MAIN(TestBroker)
#include "TestBroker.moc"
