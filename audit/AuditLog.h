#pragma once
// The audit trail: one JSON line per change the tool made or tried on a relay (a write of
// the settings, a command, a calibration, an address or rate change), with who, where, what
// was there before and after as read, and whether the relay confirmed it. The tool only ever
// appends: each line is written whole with one write and flushed to the disk before the
// change is reported; a line torn by a crash or a power loss is closed off before the next one
// and left out when the log is read.

#include <QJsonObject>
#include <QString>
#include <QVector>
#include <cstdint>
#include <optional>

namespace mp {

struct AuditEntry {
    int64_t TimeMs = 0;  // ms since the epoch, written in UTC
    QString User;        // the operating system's user
    QString Host;
    QString Tag;   // the feeder's tag; empty for a relay outside a plant
    QString Line;  // the line's id, or the port
    int Address = 0;
    QString Operation;  // "write-settings", "close-a", "reset", "calibrate-current", ...
    QJsonObject Before;
    QJsonObject After;
    QString Outcome;  // "confirmed", "not-confirmed", "refused", "not-answering"
    QString Detail;   // what the outcome needs said (which groups were sent, why refused)

    QJsonObject ToJson() const;
    // Nothing for an object that is no entry (a line of another program, a torn line).
    static std::optional<AuditEntry> FromJson(const QJsonObject& object);
};

class CAuditLog {
public:
    explicit CAuditLog(QString path) : Path_(std::move(path)) {}

    const QString& Path() const { return Path_; }
    // Whether a line can be appended now (the folder is there or can be made, the file can
    // be opened for appending); false with the reason in the window's language. A change is
    // not started without it.
    bool CanAppend(QString* reason) const;
    // Appends the entry as one line and flushes it to the disk; false with the reason.
    bool Append(const AuditEntry& entry, QString* reason) const;

    // The entries of the log's whole lines, oldest first; `skipped` counts the lines that
    // are no entry (a line torn by a crash).
    static QVector<AuditEntry> Read(const QString& path, int* skipped = nullptr);

    // Where the log of a plant is kept: "<plant file's name>-audit.jsonl" beside the plant
    // file; a relay outside a saved plant writes to DefaultPath() in the program's data folder.
    static QString PlantPath(const QString& plantFile);
    static QString DefaultPath();

    // Who and where, for new entries.
    static QString CurrentUser();
    static QString HostName();

private:
    QString Path_;
};

}  // namespace mp
