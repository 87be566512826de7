#pragma once
// A plant watched from the broker instead of its lines: the service's retained plant file
// gives the feeders, and their live, link and events messages fill the same feeders' states
// the overview shows for a plant run here. Read-only: nothing is ever published, so no
// write or command can reach a relay this way. The link states are the service's; values
// that stop coming (the service or the broker gone) turn stale here as anywhere.

#include <QHash>
#include <QObject>
#include <QVector>
#include <functional>
#include <memory>

#include "mqtt/MqttClient.h"
#include "plant/FeederStates.h"
#include "plant/Plant.h"
#include "service/PlantTopics.h"

class QTimer;

namespace mp {

class CRemotePlant : public QObject {
    Q_OBJECT
public:
    using WallClock = std::function<int64_t()>;

    CRemotePlant(CMqttClient& client, CPlantTopics topics, WallClock wall,
                 QObject* parent = nullptr);
    ~CRemotePlant() override;

    bool Start(const MqttOptions& options, QString* reason);
    void Stop();

    // The feeders, once the service's plant has come (nullptr before).
    CFeederStates* States() { return States_.get(); }
    const Plant& PlantModel() const { return Plant_; }
    // The broker connection and the service's state in words, for the status bar.
    QString ConditionText() const;

signals:
    // The plant came (or changed): the states were made anew.
    void PlantArrived();
    void ConditionChanged();

private:
    void OnConnected();
    void OnMessage(const MqttMessage& message);
    void ApplyFeeder(const QString& tag, const QString& kind, const QByteArray& payload);

    CMqttClient& Client_;
    CPlantTopics Topics_;
    WallClock Wall_;
    QString Broker_;
    Plant Plant_;
    QByteArray PlantJson_;
    std::unique_ptr<CFeederStates> States_;
    QVector<int64_t> LastLiveMs_;
    // Feeder messages that came before the plant, latest per topic.
    QHash<QString, QByteArray> Early_;
    QString ServiceState_;
    int64_t ServiceSinceMs_ = 0;
    bool Connected_ = false;
    QString Lost_;
    QTimer* Refresh_ = nullptr;
};

}  // namespace mp
