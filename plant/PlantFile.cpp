#include "plant/PlantFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QJsonValue>
#include <QSaveFile>
#include <QSet>
#include <QStringList>
#include <cmath>

#include "device/LineCodes.h"
#include "language/WholeNumber.h"

// The translation context of the plant file's texts.
class PlantFileText {
    Q_DECLARE_TR_FUNCTIONS(PlantFileText)
};

namespace mp {
namespace {

const QString kFormatKey = QStringLiteral("format");
const QString kVersionKey = QStringLiteral("version");
const QString kNameKey = QStringLiteral("name");
const QString kLinesKey = QStringLiteral("lines");
const QString kFeedersKey = QStringLiteral("feeders");

const QString kIdKey = QStringLiteral("id");
const QString kTypeKey = QStringLiteral("type");
const QString kPortKey = QStringLiteral("port");
const QString kBaudKey = QStringLiteral("baud");
const QString kParityKey = QStringLiteral("parity");
const QString kHostKey = QStringLiteral("host");
const QString kFramingKey = QStringLiteral("framing");
const QString kTimeoutKey = QStringLiteral("connectTimeoutMs");

const QString kTagKey = QStringLiteral("tag");
const QString kDescriptionKey = QStringLiteral("description");
const QString kLineKey = QStringLiteral("line");
const QString kAddressKey = QStringLiteral("address");
const QString kSettingsFileKey = QStringLiteral("settingsFile");
const QString kRatedCurrentKey = QStringLiteral("ratedCurrent");
const QString kCtRatioKey = QStringLiteral("ctRatio");
const QString kRatedVoltageKey = QStringLiteral("ratedVoltage");
const QString kTemplateKey = QStringLiteral("template");
const QString kOverridesKey = QStringLiteral("overrides");

constexpr int kLowestTimeoutMs = 100;
constexpr int kHighestTimeoutMs = 60000;

QString Path(const QString& prefix, const QString& key) {
    return prefix.isEmpty() ? key : prefix + QLatin1Char('.') + key;
}

QString Entry(const QString& array, int index) {
    return QStringLiteral("%1[%2]").arg(array).arg(index);
}

// "线路 L1", or "第 2 条线路" while the line has no id.
QString LineName(int index, const QString& id) {
    return id.trimmed().isEmpty() ? PlantFileText::tr("第 %1 条线路").arg(index + 1)
                                  : PlantFileText::tr("线路 %1").arg(id);
}

QString FeederName(int index, const QString& tag) {
    return tag.trimmed().isEmpty() ? PlantFileText::tr("第 %1 条馈线").arg(index + 1)
                                   : PlantFileText::tr("馈线 %1").arg(tag);
}

QString NumberText(double value) {
    return QString::number(value, 'g', 12);
}

bool IsIpv4(const QString& host) {
    const QStringList parts = host.split(QLatin1Char('.'));
    if (parts.size() != 4) {
        return false;
    }
    for (const QString& part : parts) {
        bool ok = false;
        const int value = part.toInt(&ok);
        if (!ok || part.isEmpty() || part.size() > 3 || value < 0 || value > 255 ||
            !part.at(0).isDigit()) {
            return false;
        }
    }
    return true;
}

bool IsIpv6(const QString& host) {
    if (host.count(QStringLiteral("::")) > 1 || host.count(QLatin1Char(':')) < 2) {
        return false;
    }
    const QStringList groups = host.split(QLatin1Char(':'));
    if (groups.size() > 8) {
        return false;
    }
    for (const QString& group : groups) {
        if (group.size() > 4) {
            return false;
        }
        for (const QChar c : group) {
            if (!(c.isDigit() ||
                  (c.toLower() >= QLatin1Char('a') && c.toLower() <= QLatin1Char('f')))) {
                return false;
            }
        }
    }
    return host.contains(QStringLiteral("::")) || groups.size() == 8;
}

// A host name (letters, digits and hyphens in dot-separated labels) or an IP address; a name
// made of digits and dots only must be an IPv4 address.
bool IsHost(const QString& host) {
    if (host.isEmpty() || host.size() > 253) {
        return false;
    }
    if (host.contains(QLatin1Char(':'))) {
        return IsIpv6(host);
    }
    bool digitsOnly = true;
    for (const QString& label : host.split(QLatin1Char('.'))) {
        if (label.isEmpty() || label.size() > 63 || label.startsWith(QLatin1Char('-')) ||
            label.endsWith(QLatin1Char('-'))) {
            return false;
        }
        for (const QChar c : label) {
            const bool letter = (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
                                (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
            if (!(letter || c.isDigit() || c == QLatin1Char('-')) || c.unicode() > 127) {
                return false;
            }
            digitsOnly = digitsOnly && c.isDigit();
        }
    }
    return !digitsOnly || IsIpv4(host);
}

// Collects the faults of one file; a key whose value could not be taken is not checked again
// (an unreadable address is not also a duplicate one).
struct Reader {
    QString File;
    PlantFileErrors Errors;
    QSet<QString> Unusable;

    void Add(const QString& key, const QString& reason) {
        Errors.push_back({File, key, reason});
        Unusable.insert(key);
    }

    bool Present(const QJsonObject& object, const QString& prefix, const QString& key,
                 const QString& who, bool required) {
        if (object.contains(key)) {
            return true;
        }
        if (required) {
            Add(Path(prefix, key), PlantFileText::tr("%1 缺少必填项 %2").arg(who, key));
        }
        return false;
    }

    void WrongType(const QString& prefix, const QString& key, const QString& who,
                   const QString& kind) {
        Add(Path(prefix, key), PlantFileText::tr("%1 的 %2 应为%3").arg(who, key, kind));
    }

    std::optional<QString> String(const QJsonObject& object, const QString& prefix,
                                  const QString& key, const QString& who, bool required) {
        if (!Present(object, prefix, key, who, required)) {
            return std::nullopt;
        }
        const QJsonValue value = object.value(key);
        if (!value.isString()) {
            WrongType(prefix, key, who, PlantFileText::tr("文本"));
            return std::nullopt;
        }
        return value.toString();
    }

    std::optional<int> Whole(const QJsonObject& object, const QString& prefix, const QString& key,
                             const QString& who, bool required) {
        if (!Present(object, prefix, key, who, required)) {
            return std::nullopt;
        }
        const std::optional<int> value = WholeJson(object.value(key));
        if (!value) {
            WrongType(prefix, key, who, PlantFileText::tr("整数"));
        }
        return value;
    }

    std::optional<double> Number(const QJsonObject& object, const QString& prefix,
                                 const QString& key, const QString& who) {
        if (!Present(object, prefix, key, who, false)) {
            return std::nullopt;
        }
        const QJsonValue value = object.value(key);
        if (!value.isDouble() || !std::isfinite(value.toDouble())) {
            WrongType(prefix, key, who, PlantFileText::tr("数值"));
            return std::nullopt;
        }
        return value.toDouble();
    }

    // One of `words` (the file's words for the codes 0, 1, ...), or nothing after an error.
    std::optional<int> Word(const QJsonObject& object, const QString& prefix, const QString& key,
                            const QString& who, const QStringList& words, bool required) {
        const std::optional<QString> text = String(object, prefix, key, who, required);
        if (!text) {
            return std::nullopt;
        }
        const int index = words.indexOf(*text);
        if (index < 0) {
            Add(Path(prefix, key), PlantFileText::tr("%1 的 %2 \"%3\" 未知（应为 %4）")
                                       .arg(who, key, *text, words.join(QStringLiteral(", "))));
            return std::nullopt;
        }
        return index;
    }
};

QJsonObject UnknownKeys(const QJsonObject& object, const QStringList& known) {
    QJsonObject unknown;
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (!known.contains(it.key())) {
            unknown.insert(it.key(), it.value());
        }
    }
    return unknown;
}

const QStringList& KindWords() {
    static const QStringList words = {QStringLiteral("serial"), QStringLiteral("tcp"),
                                      QStringLiteral("simulated")};
    return words;
}

const QStringList& ParityWords() {
    static const QStringList words = {QStringLiteral("none"), QStringLiteral("odd"),
                                      QStringLiteral("even")};
    return words;
}

const QStringList& FramingWords() {
    static const QStringList words = {QStringLiteral("rtu"), QStringLiteral("mbap")};
    return words;
}

// The keys a line of this kind has in the file, in the order they are written.
QStringList LineKeys(PlantLineKind kind) {
    switch (kind) {
        case PlantLineKind::Serial:
            return {kIdKey, kTypeKey, kPortKey, kBaudKey, kParityKey};
        case PlantLineKind::Tcp:
            return {kIdKey, kTypeKey, kHostKey, kPortKey, kFramingKey, kTimeoutKey};
        case PlantLineKind::Simulated:
            break;
    }
    return {kIdKey, kTypeKey};
}

const QStringList& FeederKeys() {
    static const QStringList keys = {
        kTagKey,          kDescriptionKey, kLineKey,         kAddressKey,  kSettingsFileKey,
        kRatedCurrentKey, kCtRatioKey,     kRatedVoltageKey, kTemplateKey, kOverridesKey};
    return keys;
}

PlantLine ReadLine(Reader& reader, const QJsonObject& object, int index) {
    const QString prefix = Entry(kLinesKey, index);
    PlantLine line;
    line.Id =
        reader.String(object, prefix, kIdKey, LineName(index, QString()), true).value_or(QString());
    const QString who = LineName(index, line.Id);
    const std::optional<int> kind = reader.Word(object, prefix, kTypeKey, who, KindWords(), true);
    if (!kind) {
        reader.Unusable.insert(Path(prefix, kTypeKey));
        line.Unknown = UnknownKeys(object, {kIdKey, kTypeKey});
        return line;
    }
    line.Kind = static_cast<PlantLineKind>(*kind);
    if (line.Kind == PlantLineKind::Serial) {
        line.Port = reader.String(object, prefix, kPortKey, who, true).value_or(QString());
        line.BaudRate = reader.Whole(object, prefix, kBaudKey, who, false).value_or(9600);
        line.Parity = reader.Word(object, prefix, kParityKey, who, ParityWords(), false)
                          .value_or(kParityNone);
    } else if (line.Kind == PlantLineKind::Tcp) {
        line.Host = reader.String(object, prefix, kHostKey, who, true).value_or(QString());
        line.TcpPort = reader.Whole(object, prefix, kPortKey, who, true).value_or(502);
        line.Framing = static_cast<TcpFraming>(
            reader.Word(object, prefix, kFramingKey, who, FramingWords(), false).value_or(0));
        line.ConnectTimeoutMs =
            reader.Whole(object, prefix, kTimeoutKey, who, false).value_or(3000);
    }
    line.Unknown = UnknownKeys(object, LineKeys(line.Kind));
    return line;
}

Feeder ReadFeeder(Reader& reader, const QJsonObject& object, int index) {
    const QString prefix = Entry(kFeedersKey, index);
    Feeder feeder;
    feeder.Tag = reader.String(object, prefix, kTagKey, FeederName(index, QString()), true)
                     .value_or(QString());
    const QString who = FeederName(index, feeder.Tag);
    feeder.Description =
        reader.String(object, prefix, kDescriptionKey, who, false).value_or(QString());
    feeder.Line = reader.String(object, prefix, kLineKey, who, true).value_or(QString());
    feeder.Address = reader.Whole(object, prefix, kAddressKey, who, true).value_or(0);
    feeder.SettingsFile =
        reader.String(object, prefix, kSettingsFileKey, who, false).value_or(QString());
    feeder.RatedCurrent = reader.Number(object, prefix, kRatedCurrentKey, who);
    feeder.CtRatio = reader.Number(object, prefix, kCtRatioKey, who);
    feeder.RatedVoltage = reader.Number(object, prefix, kRatedVoltageKey, who);
    feeder.Template = reader.String(object, prefix, kTemplateKey, who, false).value_or(QString());
    if (object.contains(kOverridesKey)) {
        if (object.value(kOverridesKey).isObject()) {
            feeder.Overrides = object.value(kOverridesKey).toObject();
        } else {
            reader.WrongType(prefix, kOverridesKey, who, PlantFileText::tr("对象"));
        }
    }
    feeder.Unknown = UnknownKeys(object, FeederKeys());
    return feeder;
}

PlantFileErrors Check(const Plant& plant, const QString& file, const QSet<QString>& unusable) {
    PlantFileErrors errors;
    const auto add = [&](const QString& key, const QString& reason) {
        errors.push_back({file, key, reason});
    };
    const auto usable = [&](const QString& key) { return !unusable.contains(key); };

    QHash<QString, int> lineIds;
    for (int i = 0; i < plant.Lines.size(); ++i) {
        const PlantLine& line = plant.Lines[i];
        const QString prefix = Entry(kLinesKey, i);
        const QString who = LineName(i, line.Id);
        const QString idKey = Path(prefix, kIdKey);
        if (usable(idKey)) {
            if (line.Id.trimmed().isEmpty()) {
                add(idKey, PlantFileText::tr("%1 的标识未填写").arg(who));
            } else if (lineIds.contains(line.Id)) {
                add(idKey, PlantFileText::tr("线路标识 %1 重复（第 %2 条与第 %3 条线路）")
                               .arg(line.Id)
                               .arg(lineIds.value(line.Id) + 1)
                               .arg(i + 1));
            } else {
                lineIds.insert(line.Id, i);
            }
        }
        if (!usable(Path(prefix, kTypeKey))) {
            continue;
        }
        if (line.Kind == PlantLineKind::Serial) {
            if (usable(Path(prefix, kPortKey)) && line.Port.trimmed().isEmpty()) {
                add(Path(prefix, kPortKey), PlantFileText::tr("%1 的串口未填写").arg(who));
            }
            if (usable(Path(prefix, kBaudKey)) && !IsBaudRate(line.BaudRate)) {
                QStringList rates;
                for (int rate : kBaudRates) {
                    rates << QString::number(rate);
                }
                add(Path(prefix, kBaudKey),
                    PlantFileText::tr("%1 的波特率 %2 不是设备支持的速率（%3）")
                        .arg(who)
                        .arg(line.BaudRate)
                        .arg(rates.join(QStringLiteral(", "))));
            }
            if (usable(Path(prefix, kParityKey)) && !IsParityCode(line.Parity)) {
                add(Path(prefix, kParityKey),
                    PlantFileText::tr("%1 的校验 %2 无效").arg(who).arg(line.Parity));
            }
        } else if (line.Kind == PlantLineKind::Tcp) {
            const QString hostKey = Path(prefix, kHostKey);
            if (usable(hostKey) && line.Host.trimmed().isEmpty()) {
                add(hostKey, PlantFileText::tr("%1 的主机地址未填写").arg(who));
            } else if (usable(hostKey) && !IsHost(line.Host)) {
                add(hostKey, PlantFileText::tr("%1 的主机地址 \"%2\" 不是主机名或 IP 地址")
                                 .arg(who, line.Host));
            }
            if (usable(Path(prefix, kPortKey)) && (line.TcpPort < 1 || line.TcpPort > 65535)) {
                add(Path(prefix, kPortKey),
                    PlantFileText::tr("%1 的端口 %2 超出 1–65535").arg(who).arg(line.TcpPort));
            }
            if (usable(Path(prefix, kTimeoutKey)) && (line.ConnectTimeoutMs < kLowestTimeoutMs ||
                                                      line.ConnectTimeoutMs > kHighestTimeoutMs)) {
                add(Path(prefix, kTimeoutKey),
                    PlantFileText::tr("%1 的连接超时 %2 ms 超出 %3–%4 ms")
                        .arg(who)
                        .arg(line.ConnectTimeoutMs)
                        .arg(kLowestTimeoutMs)
                        .arg(kHighestTimeoutMs));
            }
        }
    }

    QHash<QString, int> tags;
    QHash<QPair<QString, int>, int> addresses;  // (line, address) -> feeder
    for (int i = 0; i < plant.Feeders.size(); ++i) {
        const Feeder& feeder = plant.Feeders[i];
        const QString prefix = Entry(kFeedersKey, i);
        const QString who = FeederName(i, feeder.Tag);
        const QString tagKey = Path(prefix, kTagKey);
        if (usable(tagKey)) {
            if (feeder.Tag.trimmed().isEmpty()) {
                add(tagKey, PlantFileText::tr("%1 的位号未填写").arg(who));
            } else if (tags.contains(feeder.Tag)) {
                add(tagKey, PlantFileText::tr("馈线位号 %1 重复（第 %2 条与第 %3 条馈线）")
                                .arg(feeder.Tag)
                                .arg(tags.value(feeder.Tag) + 1)
                                .arg(i + 1));
            } else {
                tags.insert(feeder.Tag, i);
            }
        }
        const QString lineKey = Path(prefix, kLineKey);
        bool onLine = false;
        if (usable(lineKey)) {
            if (feeder.Line.trimmed().isEmpty()) {
                add(lineKey, PlantFileText::tr("%1 的线路未填写").arg(who));
            } else if (plant.FindLine(feeder.Line) == nullptr) {
                add(lineKey, PlantFileText::tr("%1 的线路 %2 不存在").arg(who, feeder.Line));
            } else {
                onLine = true;
            }
        }
        const QString addressKey = Path(prefix, kAddressKey);
        if (usable(addressKey)) {
            if (feeder.Address < kLowestSlaveAddress || feeder.Address > kHighestSlaveAddress) {
                add(addressKey, PlantFileText::tr("%1 的地址 %2 超出 %3–%4")
                                    .arg(who)
                                    .arg(feeder.Address)
                                    .arg(kLowestSlaveAddress)
                                    .arg(kHighestSlaveAddress));
            } else if (onLine) {
                const QPair<QString, int> place(feeder.Line, feeder.Address);
                if (addresses.contains(place)) {
                    const int first = addresses.value(place);
                    add(addressKey,
                        PlantFileText::tr("%1 的地址 %2 与%3在线路 %4 上重复")
                            .arg(who)
                            .arg(feeder.Address)
                            .arg(FeederName(first, plant.Feeders[first].Tag), feeder.Line));
                } else {
                    addresses.insert(place, i);
                }
            }
        }
        const struct {
            const QString& Key;
            const std::optional<double>& Value;
            const char* Caption;
        } rated[] = {
            {kRatedCurrentKey, feeder.RatedCurrent, QT_TRANSLATE_NOOP("PlantFileText", "额定电流")},
            {kCtRatioKey, feeder.CtRatio, QT_TRANSLATE_NOOP("PlantFileText", "电流变比")},
            {kRatedVoltageKey, feeder.RatedVoltage, QT_TRANSLATE_NOOP("PlantFileText", "额定电压")},
        };
        for (const auto& item : rated) {
            const QString key = Path(prefix, item.Key);
            if (usable(key) && item.Value && !(std::isfinite(*item.Value) && *item.Value > 0)) {
                add(key, PlantFileText::tr("%1 的%2 %3 必须大于 0")
                             .arg(who, PlantFileText::tr(item.Caption), NumberText(*item.Value)));
            }
        }
    }
    return errors;
}

QByteArray Compact(const QJsonValue& value) {
    const QByteArray text = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return text.mid(1, text.size() - 2);
}

// `{"a": 1, "b": 2}` in the order given, then the unknown keys that are not written already.
QByteArray Object(const QVector<QPair<QString, QJsonValue>>& fields, const QJsonObject& unknown) {
    QByteArray out = "{";
    QStringList written;
    const auto put = [&](const QString& key, const QJsonValue& value) {
        if (written.contains(key)) {
            return;
        }
        out += (written.isEmpty() ? "" : ", ") + Compact(key) + ": " + Compact(value);
        written << key;
    };
    for (const auto& field : fields) {
        put(field.first, field.second);
    }
    for (auto it = unknown.begin(); it != unknown.end(); ++it) {
        put(it.key(), it.value());
    }
    return out + "}";
}

QByteArray LineJson(const PlantLine& line) {
    QVector<QPair<QString, QJsonValue>> fields = {{kIdKey, line.Id},
                                                  {kTypeKey, PlantLineKindWord(line.Kind)}};
    if (line.Kind == PlantLineKind::Serial) {
        fields += {{kPortKey, line.Port},
                   {kBaudKey, line.BaudRate},
                   {kParityKey, PlantParityWord(line.Parity)}};
    } else if (line.Kind == PlantLineKind::Tcp) {
        fields += {{kHostKey, line.Host},
                   {kPortKey, line.TcpPort},
                   {kFramingKey, PlantFramingWord(line.Framing)},
                   {kTimeoutKey, line.ConnectTimeoutMs}};
    }
    return Object(fields, line.Unknown);
}

QByteArray FeederJson(const Feeder& feeder) {
    QVector<QPair<QString, QJsonValue>> fields = {{kTagKey, feeder.Tag},
                                                  {kDescriptionKey, feeder.Description},
                                                  {kLineKey, feeder.Line},
                                                  {kAddressKey, feeder.Address}};
    if (!feeder.SettingsFile.isEmpty()) {
        fields.append({kSettingsFileKey, feeder.SettingsFile});
    }
    const QPair<QString, std::optional<double>> rated[] = {{kRatedCurrentKey, feeder.RatedCurrent},
                                                           {kCtRatioKey, feeder.CtRatio},
                                                           {kRatedVoltageKey, feeder.RatedVoltage}};
    for (const auto& item : rated) {
        if (item.second) {
            fields.append({item.first, *item.second});
        }
    }
    if (!feeder.Template.isEmpty()) {
        fields.append({kTemplateKey, feeder.Template});
    }
    if (!feeder.Overrides.isEmpty()) {
        fields.append({kOverridesKey, feeder.Overrides});
    }
    return Object(fields, feeder.Unknown);
}

template <typename T, typename F>
QByteArray Array(const QVector<T>& entries, F entryJson) {
    if (entries.isEmpty()) {
        return "[]";
    }
    QByteArray out = "[\n";
    for (int i = 0; i < entries.size(); ++i) {
        out += "    " + entryJson(entries[i]) + (i + 1 < entries.size() ? ",\n" : "\n");
    }
    return out + "  ]";
}

}  // namespace

QString PlantFileError::Text() const {
    if (!File.isEmpty() && !Key.isEmpty()) {
        return PlantFileText::tr("%1：%2（%3）").arg(File, Reason, Key);
    }
    if (!File.isEmpty()) {
        return PlantFileText::tr("%1：%2").arg(File, Reason);
    }
    if (!Key.isEmpty()) {
        return PlantFileText::tr("%1（%2）").arg(Reason, Key);
    }
    return Reason;
}

QString PlantLineKindWord(PlantLineKind kind) {
    return KindWords().value(static_cast<int>(kind), KindWords().first());
}

QString PlantParityWord(int parity) {
    return ParityWords().value(parity, ParityWords().first());
}

QString PlantFramingWord(TcpFraming framing) {
    return FramingWords().value(static_cast<int>(framing), FramingWords().first());
}

PlantFileResult ParsePlant(const QByteArray& bytes, const QString& fileName) {
    Reader reader{fileName, {}, {}};
    PlantFileResult result;
    if (bytes.size() > kLargestPlantFile) {
        reader.Add(QString(), PlantFileText::tr("文件过大，不是厂站文件"));
        result.Errors = reader.Errors;
        return result;
    }
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        reader.Add(QString(), PlantFileText::tr("不是 JSON 文件（第 %1 个字节处：%2）")
                                  .arg(parseError.offset)
                                  .arg(parseError.errorString()));
    } else if (!document.isObject()) {
        reader.Add(QString(), PlantFileText::tr("不是厂站文件：内容不是 JSON 对象"));
    } else if (!document.object().contains(kFormatKey)) {
        reader.Add(kFormatKey, PlantFileText::tr("不是厂站文件：缺少 \"format\": \"%1\"")
                                   .arg(QLatin1String(kPlantFormatName)));
    } else if (document.object().value(kFormatKey) != QLatin1String(kPlantFormatName)) {
        reader.Add(kFormatKey, PlantFileText::tr("不是厂站文件：format 应为 \"%1\"")
                                   .arg(QLatin1String(kPlantFormatName)));
    }
    if (!reader.Errors.isEmpty()) {
        result.Errors = reader.Errors;
        return result;
    }
    const QJsonObject root = document.object();
    const QString plantName = PlantFileText::tr("厂站");
    const std::optional<int> version = reader.Whole(root, QString(), kVersionKey, plantName, true);
    if (version && *version != Plant::kVersion) {
        reader.Add(kVersionKey,
                   *version > Plant::kVersion
                       ? PlantFileText::tr("文件的格式版本 %1 比本工具能读的版本 %2 新，"
                                           "请用更新的工具打开")
                             .arg(*version)
                             .arg(Plant::kVersion)
                       : PlantFileText::tr("格式版本 %1 无效（应为 %2）")
                             .arg(*version)
                             .arg(Plant::kVersion));
    }
    if (!reader.Errors.isEmpty()) {
        // Keys of another version mean something else: nothing more is checked.
        result.Errors = reader.Errors;
        return result;
    }

    Plant plant;
    plant.Name = reader.String(root, QString(), kNameKey, plantName, false).value_or(QString());
    const auto entries = [&](const QString& key) {
        if (!reader.Present(root, QString(), key, plantName, true)) {
            return QJsonArray();
        }
        if (!root.value(key).isArray()) {
            reader.WrongType(QString(), key, plantName, PlantFileText::tr("数组"));
            return QJsonArray();
        }
        return root.value(key).toArray();
    };
    const QJsonArray lines = entries(kLinesKey);
    for (int i = 0; i < lines.size(); ++i) {
        if (!lines[i].isObject()) {
            reader.Add(Entry(kLinesKey, i),
                       PlantFileText::tr("%1 应为对象").arg(LineName(i, QString())));
            continue;
        }
        plant.Lines.push_back(ReadLine(reader, lines[i].toObject(), i));
    }
    const QJsonArray feeders = entries(kFeedersKey);
    for (int i = 0; i < feeders.size(); ++i) {
        if (!feeders[i].isObject()) {
            reader.Add(Entry(kFeedersKey, i),
                       PlantFileText::tr("%1 应为对象").arg(FeederName(i, QString())));
            continue;
        }
        plant.Feeders.push_back(ReadFeeder(reader, feeders[i].toObject(), i));
    }
    plant.Unknown = UnknownKeys(root, {kFormatKey, kVersionKey, kNameKey, kLinesKey, kFeedersKey});

    // An entry that is no object leaves a gap: the rest would be checked at shifted indices.
    if (plant.Lines.size() == lines.size() && plant.Feeders.size() == feeders.size()) {
        result.Errors = reader.Errors + Check(plant, fileName, reader.Unusable);
    } else {
        result.Errors = reader.Errors;
    }
    if (result.Errors.isEmpty()) {
        result.Value = std::move(plant);
    }
    return result;
}

PlantFileResult LoadPlant(const QString& path) {
    PlantFileResult result;
    const auto refuse = [&](const QString& reason) {
        result.Errors.push_back({path, QString(), reason});
        return result;
    };
    if (!QFileInfo(path).isFile()) {
        return refuse(PlantFileText::tr("文件不存在"));
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return refuse(PlantFileText::tr("无法读取（%1）").arg(file.errorString()));
    }
    return ParsePlant(file.read(kLargestPlantFile + 1), path);
}

QByteArray PlantJson(const Plant& plant) {
    QByteArray out = "{\n";
    const auto field = [&](const QString& key, const QByteArray& value) {
        out += "  " + Compact(key) + ": " + value + ",\n";
    };
    field(kFormatKey, Compact(QLatin1String(kPlantFormatName)));
    field(kVersionKey, QByteArray::number(Plant::kVersion));
    field(kNameKey, Compact(plant.Name));
    field(kLinesKey, Array(plant.Lines, LineJson));
    field(kFeedersKey, Array(plant.Feeders, FeederJson));
    const QStringList known = {kFormatKey, kVersionKey, kNameKey, kLinesKey, kFeedersKey};
    for (auto it = plant.Unknown.begin(); it != plant.Unknown.end(); ++it) {
        if (!known.contains(it.key())) {
            field(it.key(), Compact(it.value()));
        }
    }
    out.chop(2);  // the last field's comma
    return out + "\n}\n";
}

PlantFileErrors SavePlant(const QString& path, const Plant& plant) {
    PlantFileErrors errors = ValidatePlant(plant);
    if (!errors.isEmpty()) {
        for (PlantFileError& error : errors) {
            error.File = path;
        }
        return errors;
    }
    QSaveFile file(path);
    const QByteArray bytes = PlantJson(plant);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
        file.write(bytes) != bytes.size() || !file.commit()) {
        errors.push_back(
            {path, QString(),
             PlantFileText::tr("无法保存（%1），原文件未改动").arg(file.errorString())});
    }
    return errors;
}

PlantFileErrors ValidatePlant(const Plant& plant) {
    return Check(plant, QString(), {});
}

}  // namespace mp
