#include "batch/EffectiveSettings.h"

#include <QCoreApplication>
#include <QJsonObject>

#include "files/SettingsFile.h"
#include "files/SettingsTable.h"
#include "language/Text.h"
#include "settings/SettingsWrite.h"

namespace mp {
namespace {

// The texts' translation context.
class EffectiveText {
    Q_DECLARE_TR_FUNCTIONS(mp::EffectiveSettings)
};

// The number as the settings file writes a rated value: "45", "22.5".
QString NumberText(double value) {
    return QString::number(value, 'g', 10);
}

// The write's first checks name the field but not its range ("CT超过范围"): the range and the
// key are added, so that the refusal says what the feeder's value must be.
QString WithRange(const std::string& refusal) {
    struct Known {
        const char* Message;
        const char* Key;
        const char* Range;
    };
    static const Known known[] = {
        {kCtRatioRangeMessage, "ctRatio", "1-999"},
        {kRatedCurrentRangeMessage, "ratedCurrent", "0.1-999.9"},
        {kStartTimeRangeMessage, "startTime", "0-255"},
        {kBreakingCurrentRangeMessage, "breakingCurrent", "0-9999"},
    };
    const QString text = QString::fromStdString(refusal);
    for (const Known& k : known) {
        if (refusal == Tr(k.Message)) {
            return EffectiveText::tr("%1（%2，范围%3）")
                .arg(text, QLatin1String(k.Key), QLatin1String(k.Range));
        }
    }
    return text;
}

}  // namespace

EffectiveSettings EffectiveSettingsOf(const Feeder& feeder, const QDir& plantDir) {
    EffectiveSettings result;
    const QString who = EffectiveText::tr("馈线 %1").arg(feeder.Tag);
    const bool own = !feeder.SettingsFile.isEmpty();
    const QString file = own ? feeder.SettingsFile : feeder.Template;
    if (file.isEmpty()) {
        return result;
    }
    const int overridden = feeder.Overrides.size() + (feeder.RatedCurrent ? 1 : 0) +
                           (feeder.CtRatio ? 1 : 0) + (feeder.RatedVoltage ? 1 : 0);
    result.Source =
        own ? file
            : (overridden > 0 ? EffectiveText::tr("模板 %1，覆盖 %2 项").arg(file).arg(overridden)
                              : EffectiveText::tr("模板 %1").arg(file));
    QString reason;
    const std::optional<CSettingsFile> loaded =
        CSettingsFile::Load(plantDir.absoluteFilePath(file), &reason);
    if (!loaded) {
        result.Faults << EffectiveText::tr("%1 的%2 %3：%4")
                             .arg(who,
                                  own ? EffectiveText::tr("定值文件") : EffectiveText::tr("模板"),
                                  file, reason);
        return result;
    }
    SettingsValues values = loaded->Values;
    if (!own) {
        // The rated data of the feeder, then its overrides, over the template.
        const std::pair<const char*, std::optional<double>> rated[] = {
            {"ratedCurrent", feeder.RatedCurrent},
            {"ctRatio", feeder.CtRatio},
            {"ratedVoltage", feeder.RatedVoltage}};
        QJsonObject settings = feeder.Overrides.value(QStringLiteral("settings")).toObject();
        for (const auto& [key, value] : rated) {
            if (value && !settings.contains(QLatin1String(key))) {
                settings.insert(QLatin1String(key), NumberText(*value));
            }
        }
        for (auto it = settings.begin(); it != settings.end(); ++it) {
            const SettingRow* row = nullptr;
            for (const SettingRow& r : SettingRows()) {
                if (it.key() == QLatin1String(r.Key)) {
                    row = &r;
                }
            }
            const QString key = QStringLiteral("overrides.settings.%1").arg(it.key());
            if (row == nullptr) {
                result.Faults << EffectiveText::tr("%1 的 %2：没有这个定值").arg(who, key);
                continue;
            }
            const std::string text =
                it.value().isString() ? it.value().toString().toStdString() : std::string();
            if (const auto refused = RefuseSettingText(*row, text);
                refused || !it.value().isString()) {
                result.Faults << EffectiveText::tr("%1 的 %2：%3")
                                     .arg(who, key,
                                          refused ? QString::fromStdString(*refused)
                                                  : EffectiveText::tr("应为文本"));
                continue;
            }
            SetSettingText(values, *row, text);
        }
        const QJsonObject protections =
            feeder.Overrides.value(QStringLiteral("protections")).toObject();
        for (auto it = protections.begin(); it != protections.end(); ++it) {
            const QString key = QStringLiteral("overrides.protections.%1").arg(it.key());
            int found = -1;
            for (size_t i = 0; i < kProtectionCount; ++i) {
                if (it.key() == QLatin1String(ProtectionRows()[i].Key)) {
                    found = static_cast<int>(i);
                }
            }
            if (found < 0 || !it.value().isBool()) {
                result.Faults
                    << EffectiveText::tr("%1 的 %2：应为已知的保护与 true 或 false").arg(who, key);
                continue;
            }
            values.Protection.Enabled[static_cast<size_t>(found)] = it.value().toBool();
        }
        for (const QString& key : feeder.Overrides.keys()) {
            if (key != QLatin1String("settings") && key != QLatin1String("protections")) {
                result.Faults << EffectiveText::tr("%1 的 overrides.%2：未知的键").arg(who, key);
            }
        }
    }
    if (result.Faults.isEmpty()) {
        // The same check as a write of the window's values, with its range texts.
        if (const std::optional<std::string> refused = ValidateSettings(values.Protection)) {
            result.Faults << EffectiveText::tr("%1：%2").arg(who, WithRange(*refused));
        }
    }
    if (result.Faults.isEmpty()) {
        result.Values = values;
    }
    return result;
}

}  // namespace mp
