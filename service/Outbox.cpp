#include "service/Outbox.h"

namespace mp {

COutbox::COutbox() : Limits_(Limits{}) {}

void COutbox::Put(const MqttMessage& message, Kind kind, int64_t nowMs) {
    switch (kind) {
        case Kind::Event:
            if (static_cast<int>(Events_.size()) >= Limits_.Events) {
                // Only when events alone fill their share: the oldest goes, counted.
                Bytes_ -= SizeOf(Events_.front());
                Events_.pop_front();
                ++Dropped_.Events;
                Dropped_.FirstMs = Dropped_.FirstMs ? Dropped_.FirstMs : nowMs;
                Dropped_.LastMs = nowMs;
            }
            Events_.push_back(message);
            break;
        case Kind::Latest: {
            auto it = Latest_.find(message.Topic);
            if (it != Latest_.end()) {
                Bytes_ -= SizeOf(*it);
                *it = message;
            } else {
                Latest_.insert(message.Topic, message);
                LatestOrder_.append(message.Topic);
            }
            break;
        }
        case Kind::Live:
            if (static_cast<int>(Live_.size()) >= Limits_.Live) {
                Thin(nowMs);
            }
            Live_.push_back(message);
            break;
    }
    Bytes_ += SizeOf(message);
}

void COutbox::PutBack(const MqttMessage& message, Kind kind) {
    switch (kind) {
        case Kind::Event:
            Events_.push_front(message);
            break;
        case Kind::Latest:
            if (!Latest_.contains(message.Topic)) {
                Latest_.insert(message.Topic, message);
                LatestOrder_.prepend(message.Topic);
                break;
            }
            return;  // a newer one is waiting already
        case Kind::Live:
            Live_.push_front(message);
            break;
    }
    Bytes_ += SizeOf(message);
}

void COutbox::Thin(int64_t nowMs) {
    std::deque<MqttMessage> kept;
    for (size_t i = 0; i < Live_.size(); ++i) {
        if (i % 2 == 0) {
            kept.push_back(std::move(Live_[i]));
        } else {
            Bytes_ -= SizeOf(Live_[i]);
            ++Dropped_.Live;
        }
    }
    Live_ = std::move(kept);
    Dropped_.FirstMs = Dropped_.FirstMs ? Dropped_.FirstMs : nowMs;
    Dropped_.LastMs = nowMs;
}

std::optional<MqttMessage> COutbox::Take(Kind* kind) {
    std::optional<MqttMessage> out;
    Kind taken = Kind::Live;
    if (!Events_.empty()) {
        out = std::move(Events_.front());
        Events_.pop_front();
        taken = Kind::Event;
    } else if (!LatestOrder_.isEmpty()) {
        out = Latest_.take(LatestOrder_.takeFirst());
        taken = Kind::Latest;
    } else if (!Live_.empty()) {
        out = std::move(Live_.front());
        Live_.pop_front();
    }
    if (kind) {
        *kind = taken;
    }
    if (out) {
        Bytes_ -= SizeOf(*out);
    }
    return out;
}

int COutbox::Size() const {
    return static_cast<int>(Events_.size() + Live_.size()) + LatestOrder_.size();
}

COutbox::Dropped COutbox::TakeDropped() {
    const Dropped taken = Dropped_;
    Dropped_ = {};
    return taken;
}

}  // namespace mp
