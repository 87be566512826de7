#include "service/PlantTopics.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <cmath>

#include "device/Scaling.h"
#include "events/EventRecords.h"
#include "files/SettingsTable.h"

namespace mp {
namespace {

// Rounded to 1/per (per a power of ten), the nearest double to the decimal: 380.9, not
// 380.90000000000003.
double Rounded(double value, double per) {
    return std::round(value * per) / per;
}

QJsonArray Bits(uint8_t bits, int count) {
    QJsonArray array;
    for (int i = 0; i < count; ++i) {
        array.append((bits >> i) & 1);
    }
    return array;
}

// Bits from an array of 0 and 1 of the given length; nothing for anything else.
std::optional<uint8_t> BitsOf(const QJsonValue& value, int count) {
    const QJsonArray array = value.toArray();
    if (!value.isArray() || array.size() != count) {
        return std::nullopt;
    }
    uint8_t bits = 0;
    for (int i = 0; i < count; ++i) {
        const int bit = array[i].toInt(-1);
        if (bit != 0 && bit != 1) {
            return std::nullopt;
        }
        bits |= static_cast<uint8_t>(bit << i);
    }
    return bits;
}

// Three register values from an array of three whole numbers scaled by `per` (0 to 65535).
std::optional<std::array<uint16_t, 3>> Registers(const QJsonValue& value, double per) {
    const QJsonArray array = value.toArray();
    if (!value.isArray() || array.size() != 3) {
        return std::nullopt;
    }
    std::array<uint16_t, 3> out{};
    for (int i = 0; i < 3; ++i) {
        if (!array[i].isDouble()) {
            return std::nullopt;
        }
        const double count = std::round(array[i].toDouble() * per);
        if (!(count >= 0 && count <= 65535)) {
            return std::nullopt;
        }
        out[static_cast<size_t>(i)] = static_cast<uint16_t>(count);
    }
    return out;
}

QJsonValue TimeOrNull(int64_t ms) {
    return ms > 0 ? QJsonValue(UtcText(ms)) : QJsonValue();
}

}  // namespace

CPlantTopics::CPlantTopics(QString prefix) : Prefix_(std::move(prefix)) {
    while (Prefix_.endsWith(QLatin1Char('/'))) {
        Prefix_.chop(1);
    }
}

QString CPlantTopics::Feeder(const QString& tag, const char* kind) const {
    return Prefix_ + QLatin1Char('/') + tag + QLatin1Char('/') + QLatin1String(kind);
}

bool CPlantTopics::Split(const QString& topic, QString* tag, QString* kind) const {
    if (!topic.startsWith(Prefix_ + QLatin1Char('/'))) {
        return false;
    }
    const QStringList parts = topic.mid(Prefix_.size() + 1).split(QLatin1Char('/'));
    if (parts.size() != 2 || parts[0].isEmpty() || parts[0] == QLatin1String("service")) {
        return false;
    }
    *tag = parts[0];
    *kind = parts[1];
    return true;
}

QString UtcText(int64_t ms) {
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC).toString(Qt::ISODateWithMs);
}

std::optional<int64_t> UtcMs(const QString& text) {
    const QDateTime time = QDateTime::fromString(text, Qt::ISODateWithMs);
    if (!time.isValid()) {
        return std::nullopt;
    }
    return time.toMSecsSinceEpoch();
}

QString LinkWord(FeederLink link) {
    switch (link) {
        case FeederLink::Answering:
            return QStringLiteral("answering");
        case FeederLink::Stale:
            return QStringLiteral("stale");
        case FeederLink::NotAnswering:
            return QStringLiteral("not_answering");
        case FeederLink::LineLost:
            return QStringLiteral("line_lost");
        case FeederLink::Unknown:
            break;
    }
    return QStringLiteral("unknown");
}

std::optional<FeederLink> LinkOfWord(const QString& word) {
    for (FeederLink link : {FeederLink::Unknown, FeederLink::Answering, FeederLink::Stale,
                            FeederLink::NotAnswering, FeederLink::LineLost}) {
        if (LinkWord(link) == word) {
            return link;
        }
    }
    return std::nullopt;
}

int64_t LatestValueMs(const FeederState& s) {
    int64_t latest = 0;
    for (const int64_t ms : {s.Currents ? s.Currents->TimeMs : 0,
                             s.Voltages ? s.Voltages->TimeMs : 0, s.Inputs ? s.Inputs->TimeMs : 0,
                             s.Outputs ? s.Outputs->TimeMs : 0, s.Status ? s.Status->TimeMs : 0}) {
        latest = std::max(latest, ms);
    }
    return latest;
}

QJsonObject LiveJson(const FeederState& s) {
    QJsonObject o;
    QJsonObject units;
    if (s.Currents) {
        QJsonArray counts;
        QJsonArray amperes;
        for (int phase = 0; phase < 3; ++phase) {
            counts.append(s.Currents->Value.Counts[static_cast<size_t>(phase)]);
            if (const std::optional<double> a = s.CurrentAmperes(phase)) {
                amperes.append(Rounded(*a, 1000.0));
            }
        }
        o[QStringLiteral("current_counts")] = counts;
        if (amperes.size() == 3) {
            o[QStringLiteral("currents")] = amperes;
            units[QStringLiteral("currents")] = QStringLiteral("A");
        }
    }
    if (s.CtRatio) {
        o[QStringLiteral("ct_ratio")] = *s.CtRatio;
    }
    if (s.RatedCurrent) {
        o[QStringLiteral("rated_current")] = *s.RatedCurrent;
        units[QStringLiteral("rated_current")] = QStringLiteral("A");
    }
    if (s.Voltages) {
        QJsonArray volts;
        for (uint16_t tenths : s.Voltages->Value.Tenths) {
            volts.append(tenths / kTenthsPerUnit);
        }
        o[QStringLiteral("voltages")] = volts;
        units[QStringLiteral("voltages")] = QStringLiteral("V");
    }
    if (s.Inputs) {
        o[QStringLiteral("di")] = Bits(s.Inputs->Value.Bits, 8);
    }
    if (s.Outputs) {
        o[QStringLiteral("outputs")] = Bits(s.Outputs->Value.Bits, 3);
    }
    if (s.Status) {
        o[QStringLiteral("status")] = s.Status->Value.LowByte;
    }
    o[QStringLiteral("units")] = units;
    o[QStringLiteral("time")] = TimeOrNull(LatestValueMs(s));
    o[QStringLiteral("stale")] = s.Link != FeederLink::Answering;
    return o;
}

QJsonObject LinkJson(const FeederState& s) {
    QJsonObject o;
    o[QStringLiteral("state")] = LinkWord(s.Link);
    o[QStringLiteral("since")] = TimeOrNull(s.LinkSinceMs);
    o[QStringLiteral("last_answer")] = TimeOrNull(s.LastAnswerMs);
    if (s.Link == FeederLink::LineLost) {
        o[QStringLiteral("message")] = s.LineMessage;
    }
    return o;
}

QJsonObject EventJson(const FeederState& s, int k) {
    QJsonObject o;
    if (!s.Events || k < 0 || k >= kMaxEvents) {
        return o;
    }
    const EventRecordTexts& e = s.Events->Value;
    const auto at = static_cast<size_t>(k);
    o[QStringLiteral("read")] = UtcText(s.Events->TimeMs);
    o[QStringLiteral("index")] = k + 1;
    o[QStringLiteral("count")] = e.Count;
    o[QStringLiteral("code")] = e.Codes[at];
    o[QStringLiteral("text")] = QString::fromStdString(e.Events[at]);
    o[QStringLiteral("address")] = s.Address;
    o[QStringLiteral("id")] =
        QStringLiteral("%1/%2/%3").arg(s.Tag).arg(s.Events->TimeMs).arg(k + 1);
    return o;
}

QJsonObject SettingsJson(const FeederState& s) {
    QJsonObject o;
    if (!s.Settings) {
        return o;
    }
    SettingsValues values;
    values.Protection = s.Settings->Value;
    QJsonObject settings;
    for (const SettingRow& row : SettingRows()) {
        if (row.Kind != SettingKind::StartMode) {
            settings[QLatin1String(row.Key)] = QString::fromStdString(SettingText(values, row));
        }
    }
    QJsonObject protections;
    for (size_t i = 0; i < kProtectionCount; ++i) {
        protections[QLatin1String(ProtectionRows()[i].Key)] = s.Settings->Value.Enabled[i];
    }
    o[QStringLiteral("read")] = UtcText(s.Settings->TimeMs);
    o[QStringLiteral("address")] = s.Address;
    o[QStringLiteral("start_mode")] = QString::fromStdString(s.Settings->Value.StartModeText);
    o[QStringLiteral("settings")] = settings;
    o[QStringLiteral("protections")] = protections;
    return o;
}

std::vector<int> NewEvents(const std::optional<EventRecordTexts>& before,
                           const EventRecordTexts& now) {
    std::vector<int> fresh;
    const int count = std::clamp(now.Count, 0, kMaxEvents);
    const bool cleared = before && now.Count < before->Count;
    for (int k = 0; k < count; ++k) {
        const auto at = static_cast<size_t>(k);
        if (!before || cleared || k >= before->Count || before->Codes[at] != now.Codes[at]) {
            fresh.push_back(k);
        }
    }
    return fresh;
}

bool ReadLiveJson(const QByteArray& payload, FeederState* state) {
    const QJsonDocument doc = QJsonDocument::fromJson(payload);
    if (!doc.isObject()) {
        return false;
    }
    const QJsonObject o = doc.object();
    const std::optional<int64_t> at = UtcMs(o.value(QStringLiteral("time")).toString());
    if (!at) {
        return false;
    }
    FeederState s = *state;
    if (o.contains(QStringLiteral("current_counts"))) {
        const auto counts = Registers(o.value(QStringLiteral("current_counts")), 1.0);
        if (!counts) {
            return false;
        }
        s.Currents = {{PhaseCurrentReading{*counts}, *at}};
    }
    if (o.contains(QStringLiteral("voltages"))) {
        const auto tenths = Registers(o.value(QStringLiteral("voltages")), kTenthsPerUnit);
        if (!tenths) {
            return false;
        }
        s.Voltages = {{PhaseVoltageReading{*tenths}, *at}};
    }
    if (o.contains(QStringLiteral("di"))) {
        const auto bits = BitsOf(o.value(QStringLiteral("di")), 8);
        if (!bits) {
            return false;
        }
        s.Inputs = {{DigitalInputReading{*bits}, *at}};
    }
    if (o.contains(QStringLiteral("outputs"))) {
        const auto bits = BitsOf(o.value(QStringLiteral("outputs")), 3);
        if (!bits) {
            return false;
        }
        s.Outputs = {{OutputStateReading{*bits}, *at}};
    }
    if (o.contains(QStringLiteral("status"))) {
        const int status = o.value(QStringLiteral("status")).toInt(-1);
        if (status < 0 || status > 255) {
            return false;
        }
        s.Status = {{StatusLampReading{static_cast<uint8_t>(status)}, *at}};
    }
    const double ct = o.value(QStringLiteral("ct_ratio")).toDouble();
    const double rated = o.value(QStringLiteral("rated_current")).toDouble();
    if (ct > 0) {
        s.CtRatio = ct;
    }
    if (rated > 0) {
        s.RatedCurrent = rated;
    }
    *state = s;
    return true;
}

bool ReadLinkJson(const QByteArray& payload, FeederState* state) {
    const QJsonDocument doc = QJsonDocument::fromJson(payload);
    const QJsonObject o = doc.object();
    const std::optional<FeederLink> link = LinkOfWord(o.value(QStringLiteral("state")).toString());
    if (!doc.isObject() || !link) {
        return false;
    }
    state->Link = *link;
    state->LinkSinceMs = UtcMs(o.value(QStringLiteral("since")).toString()).value_or(0);
    state->LastAnswerMs = UtcMs(o.value(QStringLiteral("last_answer")).toString()).value_or(0);
    state->LineMessage = o.value(QStringLiteral("message")).toString();
    return true;
}

QByteArray Compact(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

}  // namespace mp
