#pragma once
// "备份全部定值": the whole settings of each chosen feeder's relay read into a folder, one
// settings file per feeder named by its tag ("M-101.json"), each with its traceability
// record: the line (port, or gateway, or the simulated line's id), the address and rate, when
// it was read, and a note naming the feeder, the plant and the line. A relay that does not
// answer leaves no file; a file that cannot be written is refused with the reason.

#include <QDateTime>
#include <QDir>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "batch/PlantRead.h"
#include "plant/Plant.h"

namespace mp {

enum class BackupOutcome {
    Waiting,       // not read yet
    Saved,         // read and its file written
    NotAnswering,  // no file
    Refused,       // read or not, no file: Reason says why
    NotRead,       // the backup was stopped before this relay
};

struct BackupRow {
    QString Tag;
    QString Line;
    int Address = 0;
    BackupOutcome Outcome = BackupOutcome::Waiting;
    QString File;    // the file written (Saved)
    QString Reason;  // why it was refused
};

// The file name of a feeder's backup, or nothing when its tag cannot name a file in the
// folder (a path separator, "." or "..", a character file systems refuse).
std::optional<QString> BackupFileName(const QString& tag);

class CPlantBackup {
public:
    using Clock = std::function<QDateTime()>;

    // Backs up the relays of `feeders` (indexes into the plant's feeders; empty: all) into
    // `folder` (made when missing).
    CPlantBackup(const Plant& plant, const QVector<int>& feeders, const QString& folder,
                 RelayRead read, Clock now = {});

    // Starts the reads; `progress` after each relay, `finished` once at the end.
    void Start(std::function<void(int done, int total)> progress, std::function<void()> finished);
    // Ends after the relays being read; the others are not read.
    void Stop() { Run_->Stop(); }
    bool Running() const { return Run_->Running(); }

    const std::vector<BackupRow>& Rows() const { return Rows_; }
    int Count(BackupOutcome outcome) const;
    // "已读 28 台，无应答 2 台（M-107、M-112），拒绝 0 台", then one line per refusal.
    QString Summary() const;

private:
    void OnRead(int index, const std::optional<SettingsValues>& values);
    void Save(BackupRow& row, const Feeder& feeder, const SettingsValues& values);

    Plant Plant_;
    QDir Folder_;
    Clock Now_;
    std::vector<BackupRow> Rows_;
    std::vector<int> RowOfTarget_;  // the run's targets' rows
    std::unique_ptr<CPlantReadRun> Run_;
};

// Texts of the outcomes, in the window's language.
QString BackupOutcomeText(BackupOutcome outcome);

}  // namespace mp
