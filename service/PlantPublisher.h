#pragma once
// Publishes the plant's feeders to the broker as their states change: a feeder's live values
// after each visit (not more often than the least interval, and again after the longest
// interval even without a visit, marked stale when they are), its link state when it changes,
// each alarm event once when it is first read, and its settings when they change. While the
// broker is away everything goes into the bounded outbox; once it is back the outbox is
// emptied, events first, and what had to be dropped is published. Read-only: nothing the
// broker sends reaches the relays. Lives on the thread of the feeders' states.

#include <QObject>
#include <QVector>
#include <functional>

#include "mqtt/MqttClient.h"
#include "plant/FeederStates.h"
#include "service/Outbox.h"
#include "service/PlantTopics.h"

class QTimer;

namespace mp {

struct PublishLimits {
    int MinIntervalMs = 1000;   // a feeder's live values at most this often
    int MaxIntervalMs = 30000;  // and at least this often
    int MaxHandedOver = 200;    // QoS 1 messages the client holds unacknowledged
    COutbox::Limits Buffer;
};

class CPlantPublisher : public QObject {
    Q_OBJECT
public:
    using WallClock = std::function<int64_t()>;

    CPlantPublisher(CFeederStates& states, CPlantTopics topics, CMqttClient& client,
                    PublishLimits limits, WallClock wall, QObject* parent = nullptr);
    ~CPlantPublisher() override;

    // Starts publishing; `plantJson` is the plant file's text (retained for the watchers).
    void Start(const QByteArray& plantJson);
    // Publishes "offline" and hands out what is waiting; true once the broker took it all
    // (call until true or out of time, then stop the client).
    bool Finish();

    // Checks the longest interval and the stale feeders (the one-second timer calls it).
    void Tick();

    const COutbox& Outbox() const { return Outbox_; }
    int HandedOver() const { return Pending_.size(); }
    uint64_t Published() const { return Published_; }

    // The Last Will the client connects with.
    static MqttMessage Will(const CPlantTopics& topics);

signals:
    // One line for the log: a change of the broker connection, what was dropped.
    void Said(const QString& line);

private:
    struct Sent {
        FeederLink Link = FeederLink::Unknown;
        int64_t LinkSinceMs = -1;
        QString LineMessage;
        int64_t LiveAtMs = 0;      // wall time it was last published
        int64_t LiveValuesMs = 0;  // time of the values last published
        bool LiveStale = false;
        std::optional<EventRecordTexts> Events;
        int64_t EventsReadMs = 0;
        QByteArray Settings;  // the values last published, without their time
        int64_t SettingsReadMs = 0;
    };

    void OnChanged(int row);
    void OnConnected();
    void OnDisconnected(const QString& reason);
    void OnDelivered(int id);
    void PublishLive(int row, int64_t now);
    void PublishRetained(int row);
    void Queue(const MqttMessage& message, COutbox::Kind kind);
    void Pump();

    CFeederStates& States_;
    CPlantTopics Topics_;
    CMqttClient& Client_;
    PublishLimits Limits_;
    WallClock Wall_;
    QByteArray PlantJson_;
    QVector<Sent> Sent_;
    COutbox Outbox_;
    QHash<int, COutbox::Kind> Pending_;  // QoS 1 ids handed to the client
    QTimer* Timer_ = nullptr;
    uint64_t Published_ = 0;
    bool Finishing_ = false;
    bool WasConnected_ = false;
};

}  // namespace mp
