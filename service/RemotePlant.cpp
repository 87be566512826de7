#include "service/RemotePlant.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

#include "events/EventRecords.h"
#include "plant/PlantFile.h"

namespace mp {

CRemotePlant::CRemotePlant(CMqttClient& client, CPlantTopics topics, WallClock wall,
                           QObject* parent)
    : QObject(parent), Client_(client), Topics_(std::move(topics)), Wall_(std::move(wall)) {
    connect(&Client_, &CMqttClient::Connected, this, &CRemotePlant::OnConnected);
    connect(&Client_, &CMqttClient::Disconnected, this, [this](const QString& reason) {
        Connected_ = false;
        Lost_ = reason;
        emit ConditionChanged();
    });
    connect(&Client_, &CMqttClient::Received, this, &CRemotePlant::OnMessage);
    Refresh_ = new QTimer(this);
    Refresh_->setInterval(1000);
    connect(Refresh_, &QTimer::timeout, this, [this] {
        if (States_) {
            States_->Refresh(Wall_());
        }
    });
}

CRemotePlant::~CRemotePlant() {
    Stop();
}

bool CRemotePlant::Start(const MqttOptions& options, QString* reason) {
    Broker_ = QStringLiteral("%1:%2").arg(options.Host).arg(options.Port);
    MqttOptions watch = options;
    watch.Will.reset();
    watch.KeepSession = false;  // the retained messages give the picture at once
    Refresh_->start();
    return Client_.Start(watch, reason);
}

void CRemotePlant::Stop() {
    Refresh_->stop();
    Client_.Stop();
}

void CRemotePlant::OnConnected() {
    Connected_ = true;
    Lost_.clear();
    Client_.Subscribe(Topics_.Prefix() + QStringLiteral("/service/+"), 1);
    Client_.Subscribe(Topics_.Prefix() + QStringLiteral("/+/+"), 1);
    emit ConditionChanged();
}

QString CRemotePlant::ConditionText() const {
    QString text = Connected_        ? tr("服务器 %1：已连接").arg(Broker_)
                   : Lost_.isEmpty() ? tr("服务器 %1：连接中").arg(Broker_)
                                     : tr("服务器 %1：连接中断（%2），重试中").arg(Broker_, Lost_);
    if (ServiceState_ == QLatin1String("online")) {
        text += tr("；服务在线");
    } else if (ServiceState_ == QLatin1String("offline")) {
        text += tr("；服务离线 自 %1")
                    .arg(QDateTime::fromMSecsSinceEpoch(ServiceSinceMs_)
                             .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    } else if (Connected_ && !States_) {
        text += tr("；等待服务的厂站");
    }
    return text + tr("；只读：写入和命令需要直接连接线路");
}

void CRemotePlant::OnMessage(const MqttMessage& m) {
    if (m.Topic == Topics_.PlantFile()) {
        if (m.Payload == PlantJson_) {
            return;
        }
        const PlantFileResult parsed = ParsePlant(m.Payload, m.Topic);
        if (!parsed.Ok()) {
            return;  // not a plant this program can show: the one shown stays
        }
        PlantJson_ = m.Payload;
        Plant_ = *parsed.Value;
        States_ = std::make_unique<CFeederStates>(Plant_);
        LastLiveMs_.fill(0, States_->Count());
        emit PlantArrived();
        const QHash<QString, QByteArray> early = std::exchange(Early_, {});
        for (auto it = early.cbegin(); it != early.cend(); ++it) {
            QString tag;
            QString kind;
            if (Topics_.Split(it.key(), &tag, &kind)) {
                ApplyFeeder(tag, kind, it.value());
            }
        }
        emit ConditionChanged();
        return;
    }
    if (m.Topic == Topics_.State()) {
        ServiceState_ = QString::fromUtf8(m.Payload);
        ServiceSinceMs_ = Wall_();
        emit ConditionChanged();
        return;
    }
    QString tag;
    QString kind;
    if (!Topics_.Split(m.Topic, &tag, &kind)) {
        return;
    }
    if (!States_) {
        if (kind != QLatin1String("events") && Early_.size() < 100000) {
            Early_.insert(m.Topic, m.Payload);
        }
        return;
    }
    ApplyFeeder(tag, kind, m.Payload);
}

void CRemotePlant::ApplyFeeder(const QString& tag, const QString& kind, const QByteArray& payload) {
    const int row = States_->FindTag(tag);
    if (row < 0) {
        return;
    }
    FeederState state = States_->At(row);
    if (kind == QLatin1String("live")) {
        if (!ReadLiveJson(payload, &state)) {
            return;
        }
        const QJsonObject o = QJsonDocument::fromJson(payload).object();
        const int64_t at = UtcMs(o.value(QStringLiteral("time")).toString()).value_or(0);
        if (!o.value(QStringLiteral("stale")).toBool() && at > state.LastAnswerMs) {
            // The service visits every relay once a round: the time between two answers
            // sets how old a value may get here before it is stale.
            if (LastLiveMs_[row] > 0 && at > LastLiveMs_[row]) {
                States_->SetRoundTime(state.Line, static_cast<uint32_t>(std::min<int64_t>(
                                                      at - LastLiveMs_[row], 3600000)));
            }
            LastLiveMs_[row] = at;
            state.LastAnswerMs = at;
            if (state.Link == FeederLink::Stale) {
                state.Link = FeederLink::Answering;
            }
        }
    } else if (kind == QLatin1String("link")) {
        if (!ReadLinkJson(payload, &state)) {
            return;
        }
    } else if (kind == QLatin1String("events")) {
        const QJsonObject o = QJsonDocument::fromJson(payload).object();
        const int index = o.value(QStringLiteral("index")).toInt();
        const int count = o.value(QStringLiteral("count")).toInt(-1);
        const std::optional<int64_t> read = UtcMs(o.value(QStringLiteral("read")).toString());
        if (index < 1 || index > kMaxEvents || count < index || count > kMaxEvents || !read) {
            return;
        }
        TimedValue<EventRecordTexts> events = state.Events.value_or(TimedValue<EventRecordTexts>{});
        // Only the new events come: the others stay as they were.
        events.TimeMs = *read;
        EventRecordTexts& e = events.Value;
        e.Count = count;
        e.Summary = EventCountText(count);
        e.Address = state.Address;
        e.ReadAtMs = *read;
        e.Codes[static_cast<size_t>(index - 1)] = o.value(QStringLiteral("code")).toInt();
        e.Events[static_cast<size_t>(index - 1)] =
            o.value(QStringLiteral("text")).toString().toStdString();
        state.Events = events;
    } else {
        return;
    }
    States_->Put(row, state);
}

}  // namespace mp
