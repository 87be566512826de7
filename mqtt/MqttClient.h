#pragma once
// A client of an MQTT broker as the service and the broker watch need it: connect with a
// Last Will, keep the session, publish, subscribe, and say when the broker took a QoS 1
// message. Signals arrive on the thread the client lives on. The real client is
// CMosquittoClient; tests may put a fake in its place.

#include <QByteArray>
#include <QObject>
#include <QString>
#include <optional>

namespace mp {

struct MqttMessage {
    QString Topic;
    QByteArray Payload;
    int Qos = 0;
    bool Retain = false;
};

struct MqttOptions {
    QString Host = QStringLiteral("127.0.0.1");
    int Port = 1883;
    QString ClientId;         // empty: the broker gives one, and the session is not kept
    bool KeepSession = true;  // a persistent session (clean session off)
    QString User;
    QString Password;
    // TLS: with a CA file the connection is encrypted and the broker's certificate checked;
    // a certificate and key make the client known to the broker by them.
    QString CaFile;
    QString CertFile;
    QString KeyFile;
    int KeepAliveS = 30;
    // Reconnection: the wait doubles from the first to the last after each failure.
    int ReconnectFirstS = 1;
    int ReconnectLastS = 30;
    // Published by the broker when the connection ends without a goodbye.
    std::optional<MqttMessage> Will;
};

class CMqttClient : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Starts connecting; the client keeps reconnecting until Stop. False with `reason` when
    // the options cannot be used (a TLS file that does not load, a bad host).
    virtual bool Start(const MqttOptions& options, QString* reason) = 0;
    // Says goodbye (no Last Will) and stops.
    virtual void Stop() = 0;
    virtual bool IsConnected() const = 0;
    // Hands a message to the client: its id (for Delivered) or -1 when it was not taken.
    virtual int Publish(const MqttMessage& message) = 0;
    virtual bool Subscribe(const QString& filter, int qos) = 0;

signals:
    void Connected(bool sessionPresent);
    void Disconnected(const QString& reason);
    // The broker acknowledged the QoS 1 or 2 message with this id.
    void Delivered(int id);
    void Received(const mp::MqttMessage& message);
};

}  // namespace mp
