#pragma once
// What the service has to publish and could not hand to the broker yet: bounded, so that a
// broker away for hours costs a fixed amount of memory while the lines go on being polled.
// Events come out first and are kept longest; a feeder's link, its settings and the service's
// own messages keep only their latest message per topic; live samples are thinned when they
// exceed their share (every second one dropped, so the whole time stays covered at half the
// rate), and what was dropped is counted.

#include <QHash>
#include <QStringList>
#include <cstdint>
#include <deque>
#include <optional>

#include "mqtt/MqttClient.h"

namespace mp {

class COutbox {
public:
    enum class Kind { Event, Latest, Live };

    struct Limits {
        int Events = 20000;
        int Live = 5000;
    };

    struct Dropped {
        uint64_t Live = 0;
        uint64_t Events = 0;
        int64_t FirstMs = 0;  // wall time of the first and last drop (0: none)
        int64_t LastMs = 0;
        bool Any() const { return Live > 0 || Events > 0; }
    };

    COutbox();
    explicit COutbox(Limits limits) : Limits_(limits) {}

    void Put(const MqttMessage& message, Kind kind, int64_t nowMs);
    // The next message to hand over: the oldest event, else the oldest latest-per-topic
    // message, else the oldest live sample.
    std::optional<MqttMessage> Take(Kind* kind = nullptr);
    // A message that could not be handed over after all goes back to the front of its kind.
    void PutBack(const MqttMessage& message, Kind kind);

    bool Empty() const { return Size() == 0; }
    int Size() const;
    // Bytes of topic and payload held.
    int64_t Bytes() const { return Bytes_; }
    const Dropped& DroppedSoFar() const { return Dropped_; }
    // Takes the counts (to publish them) and starts counting anew.
    Dropped TakeDropped();

private:
    void Thin(int64_t nowMs);
    static int64_t SizeOf(const MqttMessage& m) { return m.Topic.size() * 2 + m.Payload.size(); }

    Limits Limits_;
    std::deque<MqttMessage> Events_;
    std::deque<MqttMessage> Live_;
    QStringList LatestOrder_;
    QHash<QString, MqttMessage> Latest_;
    int64_t Bytes_ = 0;
    Dropped Dropped_;
};

}  // namespace mp
