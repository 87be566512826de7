#include "starts/StartHistory.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSaveFile>
#include <algorithm>

namespace mp {
namespace {

const QString kBaselineFile = QStringLiteral("baseline");

// A tag as a folder name: letters, digits and "-_." kept, anything else "_".
QString FolderName(const QString& text) {
    QString name;
    for (const QChar c : text) {
        name += (c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_') ||
                 c == QLatin1Char('.'))
                    ? c
                    : QLatin1Char('_');
    }
    if (name.isEmpty() || name.startsWith(QLatin1Char('.'))) {
        name.prepend(QLatin1Char('_'));
    }
    return name;
}

QString NoFolder(const QString& folder) {
    return QCoreApplication::translate("CStartHistory", "无法建立文件夹 %1")
        .arg(QDir::toNativeSeparators(folder));
}

}  // namespace

bool WriteWhole(const QString& path, const QByteArray& bytes, QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

CStartHistory::CStartHistory(QString folder) : Folder_(std::move(folder)) {}

QString CStartHistory::PlantFolder(const QString& plantPath, const QString& tag) {
    const QFileInfo plant(plantPath);
    return plant.absoluteDir().filePath(plant.completeBaseName() + QStringLiteral("-starts/") +
                                        FolderName(tag));
}

QString CStartHistory::AddressFolder(const QString& settingsPath, int address) {
    return QFileInfo(settingsPath)
        .absoluteDir()
        .filePath(QStringLiteral("starts/address-%1").arg(address));
}

void CStartHistory::Load() {
    Records_.clear();
    Problems_.clear();
    Baseline_.clear();
    const QDir dir(Folder_);
    if (Folder_.isEmpty() || !dir.exists()) {
        return;
    }
    const QStringList names =
        dir.entryList({QStringLiteral("start-*.json")}, QDir::Files, QDir::Name);
    for (const QString& name : names) {
        QFile file(dir.filePath(name));
        std::optional<StartRecord> record;
        if (file.open(QIODevice::ReadOnly)) {
            const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
            record = StartRecord::FromJson(document.object(), QFileInfo(name).completeBaseName());
        }
        if (record) {
            Records_.push_back(std::move(*record));
        } else {
            Problems_ << name;
        }
    }
    std::stable_sort(
        Records_.begin(), Records_.end(),
        [](const StartRecord& a, const StartRecord& b) { return a.StartAt() < b.StartAt(); });
    QFile baseline(dir.filePath(kBaselineFile));
    if (baseline.open(QIODevice::ReadOnly)) {
        const QString id = QString::fromUtf8(baseline.readAll()).trimmed();
        if (Find(id) != nullptr) {
            Baseline_ = id;
        }
    }
}

const StartRecord* CStartHistory::Find(const QString& id) const {
    if (id.isEmpty()) {
        return nullptr;
    }
    for (const StartRecord& record : Records_) {
        if (record.Id == id) {
            return &record;
        }
    }
    return nullptr;
}

bool CStartHistory::Add(StartRecord record, QString* error) {
    if (!QDir().mkpath(Folder_)) {
        *error = NoFolder(Folder_);
        return false;
    }
    const QDir dir(Folder_);
    const QString stamp = QDateTime::fromMSecsSinceEpoch(record.StartAt())
                              .toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
    QString id = QStringLiteral("start-") + stamp;
    for (int k = 2; Find(id) != nullptr || dir.exists(id + QStringLiteral(".json")); ++k) {
        id = QStringLiteral("start-%1-%2").arg(stamp).arg(k);
    }
    record.Id = id;
    record.Figure();
    const QByteArray bytes = QJsonDocument(record.ToJson()).toJson(QJsonDocument::Indented);
    if (!WriteWhole(dir.filePath(id + QStringLiteral(".json")), bytes, error)) {
        return false;
    }
    Records_.push_back(std::move(record));
    std::stable_sort(
        Records_.begin(), Records_.end(),
        [](const StartRecord& a, const StartRecord& b) { return a.StartAt() < b.StartAt(); });
    return true;
}

bool CStartHistory::Remove(const QString& id, QString* error) {
    if (Find(id) == nullptr) {
        return true;
    }
    const QDir dir(Folder_);
    if (id == Baseline_ && !SetBaseline(QString(), error)) {
        return false;
    }
    QFile file(dir.filePath(id + QStringLiteral(".json")));
    if (file.exists() && !file.remove()) {
        *error = file.errorString();
        return false;
    }
    Records_.erase(std::remove_if(Records_.begin(), Records_.end(),
                                  [&id](const StartRecord& record) { return record.Id == id; }),
                   Records_.end());
    return true;
}

bool CStartHistory::SetBaseline(const QString& id, QString* error) {
    if (!QDir().mkpath(Folder_)) {
        *error = NoFolder(Folder_);
        return false;
    }
    if (!WriteWhole(QDir(Folder_).filePath(kBaselineFile), id.toUtf8() + '\n', error)) {
        return false;
    }
    Baseline_ = id;
    return true;
}

}  // namespace mp
