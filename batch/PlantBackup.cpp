#include "batch/PlantBackup.h"

#include "batch/BatchText.h"
#include "files/SettingsFile.h"

namespace mp {
namespace {

// What the settings file records of the line a relay was read on.
DeviceLine SourceOf(const PlantLine* line, int address) {
    DeviceLine source;
    source.Address = address;
    if (line == nullptr) {
        return source;
    }
    source.BaudRate = line->BaudRate;
    switch (line->Kind) {
        case PlantLineKind::Serial:
            source.Port = line->Port;
            break;
        case PlantLineKind::Tcp:
            source.Port = QStringLiteral("%1:%2").arg(line->Host).arg(line->TcpPort);
            break;
        case PlantLineKind::Simulated:
            source.Port = line->Id;
            break;
    }
    return source;
}

}  // namespace

std::optional<QString> BackupFileName(const QString& tag) {
    static const QString refused = QStringLiteral("/\\:*?\"<>|");
    const QString trimmed = tag.trimmed();
    if (trimmed.isEmpty() || trimmed == QLatin1String(".") || trimmed == QLatin1String("..") ||
        trimmed != tag) {
        return std::nullopt;
    }
    for (const QChar c : tag) {
        if (refused.contains(c) || c.unicode() < 0x20) {
            return std::nullopt;
        }
    }
    return tag + QStringLiteral(".json");
}

QString BackupOutcomeText(BackupOutcome outcome) {
    switch (outcome) {
        case BackupOutcome::Waiting:
            return BatchText::tr("等待");
        case BackupOutcome::Saved:
            return BatchText::tr("已备份");
        case BackupOutcome::NotAnswering:
            return BatchText::tr("无应答");
        case BackupOutcome::Refused:
            return BatchText::tr("拒绝");
        case BackupOutcome::NotRead:
            return BatchText::tr("未读（已停止）");
    }
    return QString();
}

CPlantBackup::CPlantBackup(const Plant& plant, const QVector<int>& feeders, const QString& folder,
                           RelayRead read, Clock now)
    : Plant_(plant), Folder_(folder), Now_(std::move(now)) {
    if (!Now_) {
        Now_ = [] { return QDateTime::currentDateTime(); };
    }
    std::vector<RelayTarget> targets;
    for (const RelayTarget& target : TargetsOf(plant, feeders)) {
        BackupRow row;
        row.Tag = target.Tag;
        row.Line = target.Line;
        row.Address = target.Address;
        // A tag that cannot name a file is refused before its relay is read.
        if (!BackupFileName(target.Tag)) {
            row.Outcome = BackupOutcome::Refused;
            row.Reason = BatchText::tr("标签不能用作文件名");
        } else {
            targets.push_back(target);
            RowOfTarget_.push_back(static_cast<int>(Rows_.size()));
        }
        Rows_.push_back(row);
    }
    Run_ = std::make_unique<CPlantReadRun>(std::move(targets), std::move(read));
}

void CPlantBackup::Start(std::function<void(int, int)> progress, std::function<void()> finished) {
    if (!Folder_.exists() && !QDir().mkpath(Folder_.absolutePath())) {
        for (const int row : RowOfTarget_) {
            Rows_[static_cast<size_t>(row)].Outcome = BackupOutcome::Refused;
            Rows_[static_cast<size_t>(row)].Reason =
                BatchText::tr("无法建立文件夹 %1").arg(Folder_.absolutePath());
        }
        Run_->Stop();
    }
    const int refusedBefore = static_cast<int>(Rows_.size()) - Run_->Total();
    Run_->Start(
        [this, progress, refusedBefore](int index, const std::optional<SettingsValues>& values) {
            OnRead(index, values);
            if (progress) {
                progress(refusedBefore + Run_->Done(), static_cast<int>(Rows_.size()));
            }
        },
        [this, finished] {
            for (const int row : RowOfTarget_) {
                BackupRow& r = Rows_[static_cast<size_t>(row)];
                if (r.Outcome == BackupOutcome::Waiting) {
                    r.Outcome = BackupOutcome::NotRead;
                }
            }
            if (finished) {
                finished();
            }
        });
}

void CPlantBackup::OnRead(int index, const std::optional<SettingsValues>& values) {
    BackupRow& row = Rows_[static_cast<size_t>(RowOfTarget_[static_cast<size_t>(index)])];
    const RelayTarget& target = Run_->Targets()[static_cast<size_t>(index)];
    if (!values) {
        row.Outcome = BackupOutcome::NotAnswering;
        return;
    }
    Save(row, Plant_.Feeders[target.Feeder], *values);
}

void CPlantBackup::Save(BackupRow& row, const Feeder& feeder, const SettingsValues& values) {
    const PlantLine* line = Plant_.FindLine(feeder.Line);
    CSettingsFile file;
    file.Values = values;
    file.SavedAt = Now_();
    file.Source = SourceOf(line, feeder.Address);
    file.Note =
        BatchText::tr("馈线 %1，厂站 %2，线路 %3").arg(feeder.Tag, Plant_.Name, feeder.Line);
    if (!feeder.Description.isEmpty()) {
        file.Note += BatchText::tr("（%1）").arg(feeder.Description);
    }
    const QString path = Folder_.absoluteFilePath(*BackupFileName(feeder.Tag));
    QString reason;
    if (!file.Save(path, &reason)) {
        row.Outcome = BackupOutcome::Refused;
        row.Reason = reason;
        return;
    }
    row.Outcome = BackupOutcome::Saved;
    row.File = path;
}

int CPlantBackup::Count(BackupOutcome outcome) const {
    int count = 0;
    for (const BackupRow& row : Rows_) {
        count += row.Outcome == outcome;
    }
    return count;
}

QString CPlantBackup::Summary() const {
    QStringList silent;
    QStringList refused;
    for (const BackupRow& row : Rows_) {
        if (row.Outcome == BackupOutcome::NotAnswering) {
            silent << row.Tag;
        } else if (row.Outcome == BackupOutcome::Refused) {
            refused << BatchText::tr("%1：%2").arg(row.Tag, row.Reason);
        }
    }
    QString text = BatchText::tr("已备份 %1 台，无应答 %2 台，拒绝 %3 台")
                       .arg(Count(BackupOutcome::Saved))
                       .arg(silent.size())
                       .arg(refused.size());
    if (const int notRead = Count(BackupOutcome::NotRead); notRead > 0) {
        text += BatchText::tr("，已停止，未读 %1 台").arg(notRead);
    }
    if (!silent.isEmpty()) {
        text +=
            QLatin1Char('\n') + BatchText::tr("无应答：%1").arg(silent.join(QStringLiteral("、")));
    }
    for (const QString& line : refused) {
        text += QLatin1Char('\n') + line;
    }
    return text;
}

}  // namespace mp
