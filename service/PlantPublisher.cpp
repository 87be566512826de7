#include "service/PlantPublisher.h"

#include <QJsonObject>
#include <QTimer>

namespace mp {
namespace {

constexpr int kTickMs = 1000;
const QByteArray kOnline = QByteArrayLiteral("online");
const QByteArray kOffline = QByteArrayLiteral("offline");

}  // namespace

CPlantPublisher::CPlantPublisher(CFeederStates& states, CPlantTopics topics, CMqttClient& client,
                                 PublishLimits limits, WallClock wall, QObject* parent)
    : QObject(parent),
      States_(states),
      Topics_(std::move(topics)),
      Client_(client),
      Limits_(limits),
      Wall_(std::move(wall)),
      Sent_(states.Count()),
      Outbox_(limits.Buffer) {
    connect(&States_, &CFeederStates::Changed, this, &CPlantPublisher::OnChanged);
    connect(&Client_, &CMqttClient::Connected, this, &CPlantPublisher::OnConnected);
    connect(&Client_, &CMqttClient::Disconnected, this, &CPlantPublisher::OnDisconnected);
    connect(&Client_, &CMqttClient::Delivered, this, &CPlantPublisher::OnDelivered);
    Timer_ = new QTimer(this);
    Timer_->setInterval(kTickMs);
    connect(Timer_, &QTimer::timeout, this, &CPlantPublisher::Tick);
}

CPlantPublisher::~CPlantPublisher() = default;

MqttMessage CPlantPublisher::Will(const CPlantTopics& topics) {
    return {topics.State(), kOffline, 1, true};
}

void CPlantPublisher::Start(const QByteArray& plantJson) {
    PlantJson_ = plantJson;
    Timer_->start();
    if (Client_.IsConnected()) {
        OnConnected();
    }
}

bool CPlantPublisher::Finish() {
    if (!Finishing_) {
        Finishing_ = true;
        Timer_->stop();
        Queue({Topics_.State(), kOffline, 1, true}, COutbox::Kind::Latest);
    }
    Pump();
    return Outbox_.Empty() && Pending_.isEmpty();
}

void CPlantPublisher::OnConnected() {
    if (!WasConnected_) {
        emit Said(tr("已连接到MQTT服务器"));
    }
    WasConnected_ = true;
    // The retained messages again: the broker may have restarted without them.
    if (!Finishing_) {
        Queue({Topics_.State(), kOnline, 1, true}, COutbox::Kind::Latest);
        Queue({Topics_.PlantFile(), PlantJson_, 1, true}, COutbox::Kind::Latest);
        for (int row = 0; row < States_.Count(); ++row) {
            PublishRetained(row);
        }
    }
    const COutbox::Dropped dropped = Outbox_.TakeDropped();
    if (dropped.Any()) {
        QJsonObject o;
        o[QStringLiteral("live")] = static_cast<double>(dropped.Live);
        o[QStringLiteral("events")] = static_cast<double>(dropped.Events);
        o[QStringLiteral("from")] = UtcText(dropped.FirstMs);
        o[QStringLiteral("to")] = UtcText(dropped.LastMs);
        Queue({Topics_.Dropped(), Compact(o), 1, false}, COutbox::Kind::Latest);
        emit Said(tr("MQTT服务器不在时丢弃了 %1 个实时数据和 %2 个事件")
                      .arg(dropped.Live)
                      .arg(dropped.Events));
    }
    Pump();
}

void CPlantPublisher::OnDisconnected(const QString& reason) {
    if (WasConnected_) {
        emit Said(reason.isEmpty() ? tr("与MQTT服务器的连接已断开")
                                   : tr("与MQTT服务器的连接已断开: %1").arg(reason));
    }
    WasConnected_ = false;
}

void CPlantPublisher::OnDelivered(int id) {
    if (Pending_.remove(id) > 0) {
        Pump();
    }
}

void CPlantPublisher::OnChanged(int row) {
    if (row < 0 || row >= Sent_.size() || Finishing_) {
        return;
    }
    const FeederState& s = States_.At(row);
    Sent& sent = Sent_[row];
    const int64_t now = Wall_();

    if (s.Link != sent.Link || s.LinkSinceMs != sent.LinkSinceMs ||
        s.LineMessage != sent.LineMessage) {
        sent.Link = s.Link;
        sent.LinkSinceMs = s.LinkSinceMs;
        sent.LineMessage = s.LineMessage;
        Queue({Topics_.Link(s.Tag), Compact(LinkJson(s)), 1, true}, COutbox::Kind::Latest);
    }
    if (s.Events && s.Events->TimeMs != sent.EventsReadMs) {
        for (int k : NewEvents(sent.Events, s.Events->Value)) {
            Queue({Topics_.Events(s.Tag), Compact(EventJson(s, k)), 1, false},
                  COutbox::Kind::Event);
        }
        sent.Events = s.Events->Value;
        sent.EventsReadMs = s.Events->TimeMs;
    }
    if (s.Settings && s.Settings->TimeMs != sent.SettingsReadMs) {
        // Read again: published only when a value differs.
        sent.SettingsReadMs = s.Settings->TimeMs;
        QJsonObject settings = SettingsJson(s);
        const QJsonValue read = settings.take(QStringLiteral("read"));
        const QByteArray values = Compact(settings);
        if (values != sent.Settings) {
            sent.Settings = values;
            settings.insert(QStringLiteral("read"), read);
            Queue({Topics_.Settings(s.Tag), Compact(settings), 1, true}, COutbox::Kind::Latest);
        }
    }
    const int64_t at = LatestValueMs(s);
    const bool stale = s.Link != FeederLink::Answering;
    const bool fresh = at > sent.LiveValuesMs || stale != sent.LiveStale;
    if (at > 0 && fresh && now - sent.LiveAtMs >= Limits_.MinIntervalMs) {
        PublishLive(row, now);
    }
    Pump();
}

void CPlantPublisher::PublishLive(int row, int64_t now) {
    const FeederState& s = States_.At(row);
    const QJsonObject live = LiveJson(s);
    Sent& sent = Sent_[row];
    sent.LiveAtMs = now;
    sent.LiveValuesMs = LatestValueMs(s);
    sent.LiveStale = s.Link != FeederLink::Answering;
    Queue({Topics_.Live(s.Tag), Compact(live), 0, true}, COutbox::Kind::Live);
}

void CPlantPublisher::PublishRetained(int row) {
    const FeederState& s = States_.At(row);
    Queue({Topics_.Link(s.Tag), Compact(LinkJson(s)), 1, true}, COutbox::Kind::Latest);
    if (s.Settings) {
        Queue({Topics_.Settings(s.Tag), Compact(SettingsJson(s)), 1, true}, COutbox::Kind::Latest);
    }
}

void CPlantPublisher::Tick() {
    const int64_t now = Wall_();
    for (int row = 0; row < Sent_.size(); ++row) {
        const Sent& sent = Sent_[row];
        if (sent.LiveAtMs > 0 && now - sent.LiveAtMs >= Limits_.MaxIntervalMs) {
            PublishLive(row, now);
        }
    }
    Pump();
}

void CPlantPublisher::Queue(const MqttMessage& message, COutbox::Kind kind) {
    Outbox_.Put(message, kind, Wall_());
}

void CPlantPublisher::Pump() {
    while (Client_.IsConnected() && Pending_.size() < Limits_.MaxHandedOver) {
        COutbox::Kind kind = COutbox::Kind::Live;
        std::optional<MqttMessage> next = Outbox_.Take(&kind);
        if (!next) {
            return;
        }
        const int id = Client_.Publish(*next);
        if (id < 0) {
            Outbox_.PutBack(*next, kind);
            return;
        }
        ++Published_;
        if (next->Qos > 0) {
            Pending_.insert(id, kind);
        }
    }
}

}  // namespace mp
