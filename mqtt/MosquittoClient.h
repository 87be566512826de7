#pragma once
// The MQTT client on libmosquitto: its network thread connects, reconnects with a growing
// wait and keeps the QoS 1 messages handed to it until the broker has them (also across a
// reconnection, the session being kept). Its callbacks are carried over to this object's
// thread.

#include <atomic>

#include "mqtt/MqttClient.h"

struct mosquitto;
struct mosquitto_message;

namespace mp {

class CMosquittoClient : public CMqttClient {
    Q_OBJECT
public:
    explicit CMosquittoClient(QObject* parent = nullptr);
    ~CMosquittoClient() override;

    bool Start(const MqttOptions& options, QString* reason) override;
    void Stop() override;
    bool IsConnected() const override { return Connected_.load(); }
    int Publish(const MqttMessage& message) override;
    bool Subscribe(const QString& filter, int qos) override;

private:
    static void OnConnect(mosquitto*, void* self, int rc, int flags);
    static void OnDisconnect(mosquitto*, void* self, int rc);
    static void OnPublish(mosquitto*, void* self, int mid);
    static void OnMessage(mosquitto*, void* self, const mosquitto_message* message);

    mosquitto* Handle_ = nullptr;
    std::atomic<bool> Connected_{false};
    bool Looping_ = false;
};

}  // namespace mp
