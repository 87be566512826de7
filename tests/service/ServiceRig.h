#pragma once
// Test rig of the service's publishing: a plant of two feeders on one line, samples with
// values of their own, a fake broker client that records what it is handed, and a real
// mosquitto broker on a free loopback port with its own configuration.

#include <unistd.h>

#include <QDir>
#include <QJsonDocument>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <vector>

#include "mqtt/MqttClient.h"
#include "plant/FeederSample.h"
#include "plant/Plant.h"

namespace mp::test {

inline Plant TwoFeeders() {
    Plant plant;
    plant.Name = QStringLiteral("MCC-T");
    PlantLine line;
    line.Id = QStringLiteral("L1");
    line.Kind = PlantLineKind::Simulated;
    plant.Lines << line;
    Feeder a;
    a.Tag = QStringLiteral("M-1");
    a.Line = line.Id;
    a.Address = 1;
    Feeder b = a;
    b.Tag = QStringLiteral("M-2");
    b.Address = 2;
    plant.Feeders << a << b;
    return plant;
}

// A visit of relay `address` at `ms` that read every live group (currents 100 × address + 1..3,
// voltages 3800 + address tenths, ...), CT ratio 50 and rated current 15 A.
inline FeederSample Visit(uint8_t address, int64_t ms, uint8_t status = 1) {
    FeederSample s;
    s.Line = 0;
    s.Address = address;
    s.TimeMs = ms;
    s.Answered = true;
    const auto c = static_cast<uint16_t>(address * 100);
    s.Currents = PhaseCurrentReading{
        {static_cast<uint16_t>(c + 1), static_cast<uint16_t>(c + 2), static_cast<uint16_t>(c + 3)}};
    const auto v = static_cast<uint16_t>(3800 + address);
    s.Voltages =
        PhaseVoltageReading{{v, static_cast<uint16_t>(v + 1), static_cast<uint16_t>(v + 2)}};
    s.Inputs = DigitalInputReading{static_cast<uint8_t>(0x05)};
    s.Outputs = OutputStateReading{static_cast<uint8_t>(0x02)};
    s.Status = StatusLampReading{status};
    s.CtRatio = 50;
    s.RatedCurrent = 15;
    return s;
}

// Events with the given codes, read at `ms`.
inline EventRecordTexts EventsOf(std::vector<int> codes, int64_t ms) {
    EventRecordTexts e;
    e.Count = static_cast<int>(codes.size());
    for (size_t k = 0; k < codes.size(); ++k) {
        e.Codes[k] = codes[k];
        e.Events[k] = "E" + std::to_string(codes[k]);
    }
    e.ReadAtMs = ms;
    return e;
}

// Records what it is handed while "connected"; refuses everything while not.
class CFakeMqttClient : public CMqttClient {
public:
    bool Start(const MqttOptions& options, QString*) override {
        Options = options;
        return true;
    }
    void Stop() override { Up = false; }
    bool IsConnected() const override { return Up; }
    int Publish(const MqttMessage& message) override {
        if (!Up) {
            return -1;
        }
        Sent.push_back(message);
        const int id = NextId++;
        if (message.Qos > 0) {
            Unacked.push_back(id);
        }
        return id;
    }
    bool Subscribe(const QString&, int) override { return Up; }

    void Connect() {
        Up = true;
        emit Connected(false);
    }
    void Drop() {
        Up = false;
        emit Disconnected(QStringLiteral("gone"));
    }
    void AckAll() {
        const std::vector<int> ids = std::move(Unacked);
        Unacked.clear();
        for (int id : ids) {
            emit Delivered(id);
        }
    }
    // The payloads handed over on `topic`.
    QList<QByteArray> On(const QString& topic) const {
        QList<QByteArray> out;
        for (const MqttMessage& m : Sent) {
            if (m.Topic == topic) {
                out << m.Payload;
            }
        }
        return out;
    }

    MqttOptions Options;
    bool Up = false;
    int NextId = 1;
    std::vector<MqttMessage> Sent;
    std::vector<int> Unacked;
};

// The Debian mosquitto on a free loopback port, with persistence in its own folder, started
// and stopped by the test (also again on the same port, keeping what it persisted).
class CBroker {
public:
    explicit CBroker(QString extraConfig = {}) : Extra_(std::move(extraConfig)) {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        Port = probe.serverPort();
    }
    ~CBroker() { Stop(); }

    static bool Available() { return QFile::exists(QStringLiteral("/usr/sbin/mosquitto")); }

    bool Start() {
        QFile conf(Dir.filePath(QStringLiteral("mosquitto.conf")));
        if (!conf.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            return false;
        }
        // As root the broker would become the user mosquitto, who may not read the test's
        // folder.
        conf.write(
            QStringLiteral("%4\n"
                           "listener %1 127.0.0.1\n"
                           "allow_anonymous true\n"
                           "persistence true\n"
                           "persistence_location %2/\n"
                           "log_dest file %2/mosquitto.log\n"
                           "%3\n")
                .arg(Port)
                .arg(Dir.path(), Extra_, ::geteuid() == 0 ? QStringLiteral("user root") : QString())
                .toUtf8());
        conf.close();
        Process.start(QStringLiteral("/usr/sbin/mosquitto"),
                      {QStringLiteral("-c"), conf.fileName()});
        if (!Process.waitForStarted(5000)) {
            return false;
        }
        for (int tries = 0; tries < 100; ++tries) {
            QTcpSocket socket;
            socket.connectToHost(QHostAddress::LocalHost, Port);
            if (socket.waitForConnected(100)) {
                return true;
            }
            QTest::qWait(20);
        }
        return false;
    }
    // A clean stop: the broker saves its persistent sessions and retained messages.
    void Stop() {
        if (Process.state() != QProcess::NotRunning) {
            Process.terminate();
            Process.waitForFinished(5000);
        }
    }
    QString Log() const {
        QFile log(Dir.filePath(QStringLiteral("mosquitto.log")));
        return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
    }

    QTemporaryDir Dir;
    QProcess Process;
    quint16 Port = 0;

private:
    QString Extra_;
};

}  // namespace mp::test
