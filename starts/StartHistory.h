#pragma once
// The starts kept of one relay: a folder with one JSON file per start
// ("start-yyyyMMdd-HHmmss-zzz.json") and a file "baseline" naming the start marked as the
// baseline. Every file is written whole to a temporary file and put in place (QSaveFile): a
// start that cannot be written is reported and the starts kept before stay as they were.

#include <QString>
#include <QVector>
#include <optional>

#include "starts/StartRecord.h"

namespace mp {

class CStartHistory {
public:
    explicit CStartHistory(QString folder = QString());

    const QString& Folder() const { return Folder_; }
    // Reads the folder again; a file that cannot be read is named in Problems() and skipped.
    void Load();
    const QVector<StartRecord>& Records() const { return Records_; }  // oldest first
    const QStringList& Problems() const { return Problems_; }
    const StartRecord* Find(const QString& id) const;

    // Writes `record` as a new file (its Id is given here) and keeps it; false with the
    // reason in `error`, nothing changed.
    bool Add(StartRecord record, QString* error);
    bool Remove(const QString& id, QString* error);
    // Marks `id` as the baseline (an empty id: none).
    bool SetBaseline(const QString& id, QString* error);
    const QString& Baseline() const { return Baseline_; }
    const StartRecord* BaselineRecord() const { return Find(Baseline_); }

    // The folder of a relay's starts: beside the plant file for a feeder
    // (<plant>-starts/<tag>), beside the program's settings file for a single relay
    // (starts/address-N).
    static QString PlantFolder(const QString& plantPath, const QString& tag);
    static QString AddressFolder(const QString& settingsPath, int address);

private:
    QString Folder_;
    QVector<StartRecord> Records_;
    QString Baseline_;
    QStringList Problems_;
};

// Writes `bytes` to `path` whole or not at all; false with the reason in `error`.
bool WriteWhole(const QString& path, const QByteArray& bytes, QString* error);

}  // namespace mp
