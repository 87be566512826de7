// What the plant service costs and how late its messages are: four Ethernet gateways of 30
// simulated relays each at 19200 (motor-protector-sim --tcp, separate processes, so their
// processor time is not the service's), the service polling them and publishing to the
// Debian mosquitto on a loopback port, and a subscriber here. Prints messages per second,
// the service's processor time as a share of one core, and the latency from the end of a
// relay's visit (the time in its live message, taken when the last reply of the visit was
// in) to the subscriber receiving the message: p50 and p99.
//
//   service-benchmark [seconds, default 60]

#include <unistd.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "mqtt/MosquittoClient.h"
#include "service/PlantTopics.h"
#include "service/ServiceRig.h"

using namespace mp;

namespace {

constexpr int kLines = 4;
constexpr int kRelaysPerLine = 30;

// User and system time of a process in ms.
double ProcessCpuMs(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) {
        return 0;
    }
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    const double ticks = fields.value(11).toDouble() + fields.value(12).toDouble();
    return ticks * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

double Percentile(std::vector<double> v, double p) {
    if (v.empty()) {
        return 0;
    }
    std::sort(v.begin(), v.end());
    return v[static_cast<size_t>(p * static_cast<double>(v.size() - 1))];
}

void Wait(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(10, atoi(argv[1])) : 60;
    test::CBroker broker;
    if (!broker.Start()) {
        std::fprintf(stderr, "mosquitto did not start\n");
        return 1;
    }
    QTemporaryDir dir;
    std::vector<std::unique_ptr<QProcess>> gateways;
    QString lines;
    QString feeders;
    for (int line = 0; line < kLines; ++line) {
        auto sim = std::make_unique<QProcess>();
        sim->start(QStringLiteral(MP_SIMULATOR_PATH),
                   {QStringLiteral("--devices"), QStringLiteral("1..%1").arg(kRelaysPerLine),
                    QStringLiteral("--tcp"), QStringLiteral("0"), QStringLiteral("--baud"),
                    QStringLiteral("19200")});
        if (!sim->waitForReadyRead(5000)) {
            std::fprintf(stderr, "the simulator did not start\n");
            return 1;
        }
        const QString endpoint = QString::fromUtf8(sim->readLine()).trimmed();
        const QString port = endpoint.section(QLatin1Char(':'), 1);
        lines += QStringLiteral(
                     "%1{\"id\":\"G%2\",\"type\":\"tcp\",\"host\":\"127.0.0.1\",\"port\":%3,"
                     "\"framing\":\"rtu\",\"baud\":19200}")
                     .arg(line ? QStringLiteral(",") : QString())
                     .arg(line + 1)
                     .arg(port);
        for (int k = 1; k <= kRelaysPerLine; ++k) {
            feeders += QStringLiteral(
                           "%1{\"tag\":\"M-%2%3\",\"line\":\"G%2\",\"address\":%4,"
                           "\"ratedCurrent\":15,\"ctRatio\":50}")
                           .arg(feeders.isEmpty() ? QString() : QStringLiteral(","))
                           .arg(line + 1)
                           .arg(k, 2, 10, QLatin1Char('0'))
                           .arg(k);
        }
        gateways.push_back(std::move(sim));
    }
    QFile plant(dir.filePath(QStringLiteral("plant.json")));
    plant.open(QIODevice::WriteOnly);
    plant.write(
        QStringLiteral("{\"format\":\"motor-protector-plant\",\"version\":1,\"name\":\"bench\","
                       "\"lines\":[%1],\"feeders\":[%2]}")
            .arg(lines, feeders)
            .toUtf8());
    plant.close();

    // The subscriber: every live message's latency.
    CMosquittoClient sub;
    std::vector<double> latencies;
    uint64_t messages = 0;
    bool counting = false;
    QHash<QString, int64_t> lastTime;  // per topic: a republished old value is no new sample
    int settings = 0;
    QObject::connect(&sub, &CMqttClient::Connected, &sub,
                     [&sub] { sub.Subscribe(QStringLiteral("bench/#"), 0); });
    QObject::connect(&sub, &CMqttClient::Received, &sub, [&](const MqttMessage& m) {
        settings += m.Topic.endsWith(QLatin1String("/settings")) ? 1 : 0;
        if (!counting) {
            return;
        }
        ++messages;
        if (m.Topic.endsWith(QLatin1String("/live")) && !m.Retain) {
            const auto at = UtcMs(QJsonDocument::fromJson(m.Payload)["time"].toString());
            if (at && *at > lastTime.value(m.Topic)) {
                lastTime[m.Topic] = *at;
                latencies.push_back(static_cast<double>(QDateTime::currentMSecsSinceEpoch() - *at));
            }
        }
    });
    MqttOptions options;
    options.Port = broker.Port;
    QString reason;
    sub.Start(options, &reason);

    QProcess service;
    service.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    service.start(
        QStringLiteral(MP_SERVICE_PATH),
        {QStringLiteral("--plant"), plant.fileName(), QStringLiteral("--broker"),
         QStringLiteral("127.0.0.1:%1").arg(broker.Port), QStringLiteral("--prefix"),
         QStringLiteral("bench"), QStringLiteral("--client-id"), QStringLiteral("bench")});
    if (!service.waitForStarted()) {
        std::fprintf(stderr, "the service did not start\n");
        return 1;
    }
    // Until every relay was visited once and its settings and events read.
    QElapsedTimer first;
    first.start();
    while (settings < kLines * kRelaysPerLine && first.elapsed() < 120000) {
        Wait(100);
    }
    std::printf("first round (settings and events of every relay): %.1f s\n",
                static_cast<double>(first.elapsed()) / 1000.0);
    counting = true;
    const double cpu0 = ProcessCpuMs(service.processId());
    QElapsedTimer wall;
    wall.start();
    Wait(seconds * 1000);
    const double cpuMs = ProcessCpuMs(service.processId()) - cpu0;
    const double elapsed = static_cast<double>(wall.elapsed());
    counting = false;
    service.terminate();
    service.waitForFinished(5000);
    for (auto& sim : gateways) {
        sim->kill();
        sim->waitForFinished();
    }
    std::printf("%d lines x %d relays at 19200, %d s\n", kLines, kRelaysPerLine, seconds);
    std::printf("messages: %llu (%.1f per s), live: %zu\n",
                static_cast<unsigned long long>(messages), messages * 1000.0 / elapsed,
                latencies.size());
    std::printf("service CPU: %.2f %% of a core\n", 100.0 * cpuMs / elapsed);
    std::printf("latency end of visit -> subscriber: p50 %.0f ms, p99 %.0f ms, max %.0f ms\n",
                Percentile(latencies, 0.5), Percentile(latencies, 0.99),
                Percentile(latencies, 1.0));
    return 0;
}
