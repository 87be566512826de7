#pragma once
// What a feeder's relay should hold: its own settings file, or the template of its motor
// class with the feeder's rated data and overrides over it. Checked as a write checks the
// window's values: a value the relay must not be given is refused for that feeder, naming
// the feeder, the field and the range, and nothing is sent for it.

#include <QDir>
#include <QString>
#include <QStringList>
#include <optional>

#include "files/SettingsValues.h"
#include "plant/Plant.h"

namespace mp {

struct EffectiveSettings {
    // Present only when the feeder has a source and nothing in it is refused.
    std::optional<SettingsValues> Values;
    // Where the values come from, in words: "M-101.json", "模板 pump.json，覆盖 2 项", or
    // empty when the feeder names neither a settings file nor a template.
    QString Source;
    // Each fault with the file or feeder, the key and the reason.
    QStringList Faults;

    bool HasSource() const { return !Source.isEmpty(); }
};

// The effective settings of `feeder`; files are found relative to `plantDir`.
EffectiveSettings EffectiveSettingsOf(const Feeder& feeder, const QDir& plantDir);

}  // namespace mp
