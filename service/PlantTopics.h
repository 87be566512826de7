#pragma once
// The plant on an MQTT broker: the topics the service publishes and the JSON of each, as the
// README shows them. Under a prefix (default "motor-protector"):
//   <prefix>/<tag>/live      the feeder's last values, with their time and a stale flag
//   <prefix>/<tag>/link      answering, stale, not answering since, line lost since (why)
//   <prefix>/<tag>/events    one message per alarm event newly read
//   <prefix>/<tag>/settings  the protection settings as last read (retained)
//   <prefix>/service/state   "online" (retained), the Last Will "offline"
//   <prefix>/service/plant   the plant file the service runs (retained)
//   <prefix>/service/dropped what was dropped while the broker was away, once it is back
// Writing them (the service) and reading them back (the broker watch) live here together.

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "plant/FeederStates.h"

namespace mp {

class CPlantTopics {
public:
    static constexpr char kDefaultPrefix[] = "motor-protector";

    explicit CPlantTopics(QString prefix = QString::fromLatin1(kDefaultPrefix));

    const QString& Prefix() const { return Prefix_; }
    QString Live(const QString& tag) const { return Feeder(tag, "live"); }
    QString Link(const QString& tag) const { return Feeder(tag, "link"); }
    QString Events(const QString& tag) const { return Feeder(tag, "events"); }
    QString Settings(const QString& tag) const { return Feeder(tag, "settings"); }
    QString State() const { return Prefix_ + QStringLiteral("/service/state"); }
    QString PlantFile() const { return Prefix_ + QStringLiteral("/service/plant"); }
    QString Dropped() const { return Prefix_ + QStringLiteral("/service/dropped"); }

    // A topic under the prefix split into the feeder's tag and its kind ("live", "link",
    // ...); false for any other topic.
    bool Split(const QString& topic, QString* tag, QString* kind) const;

private:
    QString Feeder(const QString& tag, const char* kind) const;
    QString Prefix_;
};

// ISO 8601 in UTC with milliseconds: "2026-12-08T05:40:12.345Z".
QString UtcText(int64_t ms);
// Back from that text; nothing for anything else.
std::optional<int64_t> UtcMs(const QString& text);

// The live values of a feeder as it stands (groups never read are left out); `stale` when
// they are not from an answering relay.
QJsonObject LiveJson(const FeederState& state);
// The time of the newest live value (the "time" of the live message); 0 when none.
int64_t LatestValueMs(const FeederState& state);
QJsonObject LinkJson(const FeederState& state);
// Event k (0 to 7) of the feeder's last events read.
QJsonObject EventJson(const FeederState& state, int k);
QJsonObject SettingsJson(const FeederState& state);

// The word of a link state in the link message ("answering", "line_lost", ...), and back.
QString LinkWord(FeederLink link);
std::optional<FeederLink> LinkOfWord(const QString& word);

// The events of `now` that `before` did not have, by position (0 to 7). The relay keeps its
// last eight events; an event is new when its position was empty before or held another
// code, and every event is new when the count went down (the record was cleared since).
std::vector<int> NewEvents(const std::optional<EventRecordTexts>& before,
                           const EventRecordTexts& now);

// The values and link of a live or link message into `state`; false (and `state` as it
// was) for a message that is not one.
bool ReadLiveJson(const QByteArray& payload, FeederState* state);
bool ReadLinkJson(const QByteArray& payload, FeederState* state);

QByteArray Compact(const QJsonObject& object);

}  // namespace mp
