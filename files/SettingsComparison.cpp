#include "files/SettingsComparison.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "files/SettingsTable.h"
#include "language/Text.h"
#include "settings/FactoryDefaults.h"

namespace mp {

const char* const kNotInListText = QT_TRANSLATE_NOOP("MotorProtector", "（无效值）");

namespace {

bool ListKind(SettingKind kind) {
    return kind == SettingKind::Curve || kind == SettingKind::Phase ||
           kind == SettingKind::StartMode;
}

QString Shown(const SettingRow& row, const std::string& text) {
    if (text.empty() && ListKind(row.Kind)) {
        return QString::fromUtf8(kNotInListText);
    }
    return QString::fromStdString(text);
}

QString TrText(const char* source) {
    return QString::fromStdString(Tr(source));
}

constexpr int kRecordsShown = 5;

}  // namespace

QString ComparisonRow::ShownCaption() const {
    if (CaptionSource == nullptr) {
        return Caption;
    }
    QString caption = TrText(CaptionSource);
    if (UnitSource[0] != '\0') {
        caption += QStringLiteral(" (%1)").arg(TrText(UnitSource));
    }
    return caption;
}

QString ComparisonRow::Shown(const QString& value) const {
    if (!Worded || value.isEmpty()) {
        return value;
    }
    return TrText(value.toUtf8().constData());
}

int ComparisonView::Differences() const {
    int count = 0;
    for (const ComparisonRow& row : Rows) {
        count += row.Differs ? 1 : 0;
    }
    return count;
}

QString LineText(const DeviceLine& line) {
    return QCoreApplication::translate("mp::CComparisonDlg", "串口 %1，地址 %2，波特率 %3")
        .arg(line.Port)
        .arg(line.Address)
        .arg(line.BaudRate);
}

QString TimeText(const QDateTime& time) {
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString ComparisonView::DeviceHeader() const {
    return QCoreApplication::translate("mp::CComparisonDlg", "设备（%1）的定值刚刚读出。")
        .arg(LineText(Line));
}

QString ComparisonView::WindowHeader() const {
    return FileName.isEmpty()
               ? QCoreApplication::translate("mp::CComparisonDlg", "窗口")
               : QCoreApplication::translate("mp::CComparisonDlg", "文件 %1").arg(FileName);
}

QString ComparisonView::Records() const {
    if (FilePath.isEmpty()) {
        return QString();
    }
    QString text = QCoreApplication::translate("mp::CComparisonDlg", "定值文件：%1")
                       .arg(QDir::toNativeSeparators(FilePath));
    if (Writes.isEmpty()) {
        return text + QLatin1Char('\n') +
               QCoreApplication::translate("mp::CComparisonDlg", "该文件中没有写入记录。");
    }
    text += QLatin1Char('\n');
    text += Writes.size() > kRecordsShown
                ? QCoreApplication::translate("mp::CComparisonDlg",
                                              "写入记录（共 %1 次，列出最近 %2 次）：")
                      .arg(Writes.size())
                      .arg(kRecordsShown)
                : QCoreApplication::translate("mp::CComparisonDlg", "写入记录：");
    for (qsizetype k = std::max<qsizetype>(0, Writes.size() - kRecordsShown); k < Writes.size();
         ++k) {
        text +=
            QLatin1Char('\n') + QCoreApplication::translate("mp::CComparisonDlg", "%1 写入 %2")
                                    .arg(TimeText(Writes[k].WrittenAt), LineText(Writes[k].Line));
    }
    return text;
}

std::vector<ComparisonRow> CompareSettings(const SettingsValues& device,
                                           const SettingsValues& window) {
    const SettingsValues factory = FactoryValues();
    std::vector<ComparisonRow> rows;
    for (const SettingRow& setting : SettingRows()) {
        const std::string deviceText = SettingText(device, setting);
        const std::string windowText = SettingText(window, setting);
        const std::string factoryText = SettingText(factory, setting);
        ComparisonRow row;
        row.Caption = QString::fromStdString(CaptionWithUnit(setting));
        row.CaptionSource = setting.Caption;
        row.UnitSource = setting.Unit;
        row.Worded = ListKind(setting.Kind);
        row.Device = Shown(setting, deviceText);
        row.Window = QString::fromStdString(windowText);
        row.Default = QString::fromStdString(factoryText);
        row.Differs = !SameSetting(setting, deviceText, windowText);
        rows.push_back(row);
    }
    for (int k = 0; k < kProtectionCount; ++k) {
        const auto at = static_cast<size_t>(k);
        const bool onDevice = device.Protection.Enabled[at];
        const bool inWindow = window.Protection.Enabled[at];
        ComparisonRow row;
        row.Caption = TrText(ProtectionRows()[at].Caption);
        row.CaptionSource = ProtectionRows()[at].Caption;
        row.Worded = true;
        row.Device = QString::fromUtf8(ProtectionStateText(onDevice));
        row.Window = QString::fromUtf8(ProtectionStateText(inWindow));
        row.Default = QString::fromUtf8(ProtectionStateText(factory.Protection.Enabled[at]));
        row.Differs = onDevice != inWindow;
        rows.push_back(row);
    }
    return rows;
}

SettingsValues FactoryValues() {
    SettingsValues values;
    RestoreProtectionDefaults(values.Protection);
    return values;
}

SettingsValues DeviceValuesForWindow(const SettingsValues& device, const SettingsValues& window) {
    SettingsValues taken = device;
    for (const SettingRow& row : SettingRows()) {
        if (ListKind(row.Kind) && SettingText(device, row).empty()) {
            SetSettingText(taken, row, SettingText(window, row));
        }
    }
    return taken;
}

}  // namespace mp
