#include "mqtt/MosquittoClient.h"

#include <mosquitto.h>

#include <QMetaObject>
#include <QPointer>
#include <mutex>

namespace mp {
namespace {

void InitLibrary() {
    static std::once_flag once;
    std::call_once(once, [] { mosquitto_lib_init(); });
}

QString ErrorText(int rc) {
    return QString::fromUtf8(mosquitto_strerror(rc));
}

// The broker's word for a refused connection.
QString RefusalText(int rc) {
    return QString::fromUtf8(mosquitto_connack_string(rc));
}

}  // namespace

CMosquittoClient::CMosquittoClient(QObject* parent) : CMqttClient(parent) {
    InitLibrary();
}

CMosquittoClient::~CMosquittoClient() {
    Stop();
}

bool CMosquittoClient::Start(const MqttOptions& o, QString* reason) {
    Stop();
    const QByteArray id = o.ClientId.toUtf8();
    const bool keep = o.KeepSession && !id.isEmpty();
    Handle_ = mosquitto_new(id.isEmpty() ? nullptr : id.constData(), !keep, this);
    if (!Handle_) {
        *reason = tr("无法建立MQTT客户端");
        return false;
    }
    mosquitto_int_option(Handle_, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
    mosquitto_connect_with_flags_callback_set(Handle_, &CMosquittoClient::OnConnect);
    mosquitto_disconnect_callback_set(Handle_, &CMosquittoClient::OnDisconnect);
    mosquitto_publish_callback_set(Handle_, &CMosquittoClient::OnPublish);
    mosquitto_message_callback_set(Handle_, &CMosquittoClient::OnMessage);
    mosquitto_reconnect_delay_set(Handle_, static_cast<unsigned>(o.ReconnectFirstS),
                                  static_cast<unsigned>(o.ReconnectLastS), true);

    int rc = MOSQ_ERR_SUCCESS;
    if (!o.User.isEmpty()) {
        rc = mosquitto_username_pw_set(
            Handle_, o.User.toUtf8().constData(),
            o.Password.isEmpty() ? nullptr : o.Password.toUtf8().constData());
    }
    if (rc == MOSQ_ERR_SUCCESS && !o.CaFile.isEmpty()) {
        const QByteArray ca = o.CaFile.toLocal8Bit();
        const QByteArray cert = o.CertFile.toLocal8Bit();
        const QByteArray key = o.KeyFile.toLocal8Bit();
        rc = mosquitto_tls_set(Handle_, ca.constData(), nullptr,
                               cert.isEmpty() ? nullptr : cert.constData(),
                               key.isEmpty() ? nullptr : key.constData(), nullptr);
    }
    if (rc == MOSQ_ERR_SUCCESS && o.Will) {
        const QByteArray topic = o.Will->Topic.toUtf8();
        rc = mosquitto_will_set(Handle_, topic.constData(), o.Will->Payload.size(),
                                o.Will->Payload.constData(), o.Will->Qos, o.Will->Retain);
    }
    if (rc != MOSQ_ERR_SUCCESS) {
        *reason = ErrorText(rc);
        mosquitto_destroy(Handle_);
        Handle_ = nullptr;
        return false;
    }
    // A broker that is not there yet is no reason to stop: the network thread tries again.
    mosquitto_connect_async(Handle_, o.Host.toUtf8().constData(), o.Port, o.KeepAliveS);
    rc = mosquitto_loop_start(Handle_);
    if (rc != MOSQ_ERR_SUCCESS) {
        *reason = ErrorText(rc);
        mosquitto_destroy(Handle_);
        Handle_ = nullptr;
        return false;
    }
    Looping_ = true;
    return true;
}

void CMosquittoClient::Stop() {
    if (!Handle_) {
        return;
    }
    mosquitto_disconnect(Handle_);
    if (Looping_) {
        mosquitto_loop_stop(Handle_, false);
        Looping_ = false;
    }
    mosquitto_destroy(Handle_);
    Handle_ = nullptr;
    Connected_ = false;
}

int CMosquittoClient::Publish(const MqttMessage& m) {
    if (!Handle_) {
        return -1;
    }
    int mid = 0;
    const QByteArray topic = m.Topic.toUtf8();
    const int rc = mosquitto_publish(Handle_, &mid, topic.constData(), m.Payload.size(),
                                     m.Payload.constData(), m.Qos, m.Retain);
    return rc == MOSQ_ERR_SUCCESS ? mid : -1;
}

bool CMosquittoClient::Subscribe(const QString& filter, int qos) {
    return Handle_ && mosquitto_subscribe(Handle_, nullptr, filter.toUtf8().constData(), qos) ==
                          MOSQ_ERR_SUCCESS;
}

// The callbacks run on libmosquitto's network thread: the signals are sent from this
// object's thread.
void CMosquittoClient::OnConnect(mosquitto*, void* self, int rc, int flags) {
    auto* client = static_cast<CMosquittoClient*>(self);
    QPointer<CMosquittoClient> guard(client);
    if (rc != 0) {
        const QString reason = RefusalText(rc);
        QMetaObject::invokeMethod(
            client,
            [guard, reason] {
                if (guard) {
                    emit guard->Disconnected(reason);
                }
            },
            Qt::QueuedConnection);
        return;
    }
    client->Connected_ = true;
    const bool present = (flags & 1) != 0;
    QMetaObject::invokeMethod(
        client,
        [guard, present] {
            if (guard) {
                emit guard->Connected(present);
            }
        },
        Qt::QueuedConnection);
}

void CMosquittoClient::OnDisconnect(mosquitto*, void* self, int rc) {
    auto* client = static_cast<CMosquittoClient*>(self);
    const bool was = client->Connected_.exchange(false);
    if (!was) {
        return;
    }
    QPointer<CMosquittoClient> guard(client);
    const QString reason = rc == 0 ? QString() : ErrorText(rc);
    QMetaObject::invokeMethod(
        client,
        [guard, reason] {
            if (guard) {
                emit guard->Disconnected(reason);
            }
        },
        Qt::QueuedConnection);
}

void CMosquittoClient::OnPublish(mosquitto*, void* self, int mid) {
    auto* client = static_cast<CMosquittoClient*>(self);
    QPointer<CMosquittoClient> guard(client);
    QMetaObject::invokeMethod(
        client,
        [guard, mid] {
            if (guard) {
                emit guard->Delivered(mid);
            }
        },
        Qt::QueuedConnection);
}

void CMosquittoClient::OnMessage(mosquitto*, void* self, const mosquitto_message* m) {
    auto* client = static_cast<CMosquittoClient*>(self);
    QPointer<CMosquittoClient> guard(client);
    MqttMessage message;
    message.Topic = QString::fromUtf8(m->topic);
    message.Payload = QByteArray(static_cast<const char*>(m->payload), m->payloadlen);
    message.Qos = m->qos;
    message.Retain = m->retain;
    QMetaObject::invokeMethod(
        client,
        [guard, message] {
            if (guard) {
                emit guard->Received(message);
            }
        },
        Qt::QueuedConnection);
}

}  // namespace mp
