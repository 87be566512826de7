#include "files/SettingsFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QJsonValue>
#include <QSaveFile>
#include <cmath>

#include "files/SettingsTable.h"
#include "language/Text.h"
#include "language/WholeNumber.h"

namespace mp {

const char* const CSettingsFile::kFormatName = "motor-protector-settings";

namespace {

const QString kFormatKey = QStringLiteral("format");
const QString kVersionKey = QStringLiteral("formatVersion");
const QString kToolKey = QStringLiteral("toolVersion");
const QString kSavedKey = QStringLiteral("savedAt");
const QString kSourceKey = QStringLiteral("source");
const QString kNoteKey = QStringLiteral("note");
const QString kSettingsKey = QStringLiteral("settings");
const QString kProtectionsKey = QStringLiteral("protections");
const QString kWritesKey = QStringLiteral("writes");
const QString kPortKey = QStringLiteral("port");
const QString kAddressKey = QStringLiteral("address");
const QString kBaudKey = QStringLiteral("baudRate");
const QString kWrittenKey = QStringLiteral("writtenAt");

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

std::optional<CSettingsFile> Refuse(QString* reason, const QString& text) {
    if (reason != nullptr) {
        *reason = text;
    }
    return std::nullopt;
}

DeviceLine LineOf(const QJsonObject& object) {
    DeviceLine line;
    line.Port = object.value(kPortKey).toString();
    line.Address = WholeJson(object.value(kAddressKey)).value_or(0);
    line.BaudRate = WholeJson(object.value(kBaudKey)).value_or(0);
    return line;
}

QJsonObject LineJson(QJsonObject object, const DeviceLine& line) {
    object.insert(kPortKey, line.Port);
    object.insert(kAddressKey, line.Address);
    object.insert(kBaudKey, line.BaudRate);
    return object;
}

// A write record the tool can show: a time and a device address at least.
std::optional<WriteRecord> WriteOf(const QJsonValue& value) {
    const QJsonObject object = value.toObject();
    WriteRecord record;
    record.WrittenAt = QDateTime::fromString(object.value(kWrittenKey).toString(), Qt::ISODate);
    record.Line = LineOf(object);
    if (!record.WrittenAt.isValid() || record.Line.Address == 0) {
        return std::nullopt;
    }
    return record;
}

}  // namespace

QString FileTimeText(const QDateTime& time) {
    return time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODate);
}

std::optional<CSettingsFile> CSettingsFile::Load(const QString& path, QString* reason) {
    QFile file(path);
    if (!QFileInfo(path).isFile()) {
        return Refuse(reason, QCoreApplication::translate("mp::CSettingsFile", "文件不存在"));
    }
    if (file.size() > kLargestFile) {
        return Refuse(reason,
                      QCoreApplication::translate("mp::CSettingsFile", "文件过大，不是定值文件"));
    }
    if (!file.open(QIODevice::ReadOnly)) {
        return Refuse(reason, QCoreApplication::translate("mp::CSettingsFile", "无法读取（%1）")
                                  .arg(file.errorString()));
    }
    const QByteArray bytes = file.read(kLargestFile + 1);
    if (bytes.size() > kLargestFile) {
        return Refuse(reason,
                      QCoreApplication::translate("mp::CSettingsFile", "文件过大，不是定值文件"));
    }
    return Parse(bytes, reason);
}

std::optional<CSettingsFile> CSettingsFile::Parse(const QByteArray& bytes, QString* reason) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError) {
        return Refuse(reason, QCoreApplication::translate("mp::CSettingsFile",
                                                          "不是 JSON 文件（第 %1 个字节处：%2）")
                                  .arg(error.offset)
                                  .arg(error.errorString()));
    }
    if (!document.isObject()) {
        return Refuse(reason, QCoreApplication::translate("mp::CSettingsFile",
                                                          "不是定值文件：内容不是 JSON 对象"));
    }
    const QJsonObject root = document.object();
    if (root.value(kFormatKey).toString() != QLatin1String(kFormatName)) {
        return Refuse(reason, QCoreApplication::translate("mp::CSettingsFile",
                                                          "不是定值文件：缺少 \"format\": \"%1\"")
                                  .arg(QLatin1String(kFormatName)));
    }
    const std::optional<int> version = WholeJson(root.value(kVersionKey));
    if (!version || *version < 1) {
        return Refuse(reason,
                      QCoreApplication::translate("mp::CSettingsFile",
                                                  "格式版本（formatVersion）缺失或不是正整数"));
    }
    if (*version > kFormatVersion) {
        return Refuse(reason, QCoreApplication::translate(
                                  "mp::CSettingsFile",
                                  "文件的格式版本 %1 比本工具能读的版本 %2 新，请用更新的工具打开")
                                  .arg(*version)
                                  .arg(kFormatVersion));
    }

    const QJsonValue settingsValue = root.value(kSettingsKey);
    if (!settingsValue.isObject()) {
        return Refuse(reason,
                      QCoreApplication::translate("mp::CSettingsFile", "缺少定值（settings）"));
    }
    const QJsonObject settings = settingsValue.toObject();
    CSettingsFile file;
    for (const SettingRow& row : SettingRows()) {
        const QString key = QLatin1String(row.Key);
        const QString caption = Q(Tr(row.Caption));
        const QJsonValue value = settings.value(key);
        if (value.isUndefined()) {
            return Refuse(reason, QCoreApplication::translate("mp::CSettingsFile",
                                                              "缺少定值“%1”（settings.%2）")
                                      .arg(caption, key));
        }
        if (!value.isString()) {
            return Refuse(reason, QCoreApplication::translate("mp::CSettingsFile",
                                                              "定值“%1”（settings.%2）应为文本")
                                      .arg(caption, key));
        }
        const std::string text = value.toString().toStdString();
        if (const auto refusal = RefuseSettingText(row, text)) {
            return Refuse(reason, Q(*refusal));
        }
        SetSettingText(file.Values, row, text);
    }

    const QJsonValue protectionsValue = root.value(kProtectionsKey);
    if (!protectionsValue.isObject()) {
        return Refuse(reason, QCoreApplication::translate("mp::CSettingsFile",
                                                          "缺少保护投退（protections）"));
    }
    const QJsonObject protections = protectionsValue.toObject();
    for (int k = 0; k < kProtectionCount; ++k) {
        const ProtectionRow& row = ProtectionRows()[static_cast<size_t>(k)];
        const QJsonValue value = protections.value(QLatin1String(row.Key));
        if (!value.isBool()) {
            return Refuse(
                reason, QCoreApplication::translate(
                            "mp::CSettingsFile", "保护投退“%1”（protections.%2）应为 true 或 false")
                            .arg(Q(Tr(row.Caption)), QLatin1String(row.Key)));
        }
        file.Values.Protection.Enabled[static_cast<size_t>(k)] = value.toBool();
    }
    if (const auto refusal = RefuseValues(file.Values)) {
        return Refuse(reason, Q(*refusal));
    }

    // What describes the file rather than the device is shown when it can be read and kept
    // as it is otherwise.
    file.Note = root.value(kNoteKey).toString();
    file.ToolVersion = root.value(kToolKey).toString();
    file.SavedAt = QDateTime::fromString(root.value(kSavedKey).toString(), Qt::ISODate);
    file.Source = LineOf(root.value(kSourceKey).toObject());
    file.WritesJson_ = root.value(kWritesKey).toArray();
    for (const QJsonValue& entry : file.WritesJson_) {
        if (const auto record = WriteOf(entry)) {
            file.Writes_.append(*record);
        }
    }
    file.Document_ = root;
    return file;
}

void CSettingsFile::AddWrite(const WriteRecord& record) {
    Writes_.append(record);
    QJsonObject entry = LineJson(QJsonObject(), record.Line);
    entry.insert(kWrittenKey, FileTimeText(record.WrittenAt));
    WritesJson_.append(entry);
}

void CSettingsFile::ClearWrites() {
    Writes_.clear();
    WritesJson_ = QJsonArray();
}

QByteArray CSettingsFile::ToJson() const {
    QJsonObject root = Document_;
    root.insert(kFormatKey, QLatin1String(kFormatName));
    root.insert(kVersionKey, kFormatVersion);
    root.insert(kToolKey, ToolVersion);
    root.insert(kSavedKey, SavedAt.isValid() ? FileTimeText(SavedAt) : QString());
    root.insert(kSourceKey, LineJson(Document_.value(kSourceKey).toObject(), Source));
    root.insert(kNoteKey, Note);

    QJsonObject settings = Document_.value(kSettingsKey).toObject();
    for (const SettingRow& row : SettingRows()) {
        settings.insert(QLatin1String(row.Key), Q(SettingText(Values, row)));
    }
    root.insert(kSettingsKey, settings);

    QJsonObject protections = Document_.value(kProtectionsKey).toObject();
    for (int k = 0; k < kProtectionCount; ++k) {
        protections.insert(QLatin1String(ProtectionRows()[static_cast<size_t>(k)].Key),
                           Values.Protection.Enabled[static_cast<size_t>(k)]);
    }
    root.insert(kProtectionsKey, protections);
    root.insert(kWritesKey, WritesJson_);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

bool CSettingsFile::Save(const QString& path, QString* reason) const {
    QSaveFile file(path);
    const QByteArray bytes = ToJson();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
        file.write(bytes) != bytes.size() || !file.commit()) {
        if (reason != nullptr) {
            *reason = file.errorString();
        }
        return false;
    }
    return true;
}

}  // namespace mp
