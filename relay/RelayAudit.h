#pragma once
// The audit trail of one relay: the log its changes go to, the feeder tag and line they are
// logged under, and the settings last read from it (what a write of the settings replaces).
// A change is started only when the log can take its line; it ends with one entry. Lives on
// the window thread with the relay.

#include <QJsonObject>
#include <QString>
#include <cstdint>
#include <optional>

#include "audit/AuditLog.h"
#include "relay/DeviceWriteLog.h"
#include "settings/ProtectionSettings.h"
#include "settings/SettingsVerify.h"

namespace mp {

// Operator messages: the log named, then the log's reason.
inline constexpr char kAuditRefusedText[] =
    QT_TRANSLATE_NOOP("MotorProtector", "审计日志 %1 无法写入，未向继电器发送任何更改。\n原因：%2");
inline constexpr char kAuditAppendFailedText[] =
    QT_TRANSLATE_NOOP("MotorProtector", "更改已发送，但未能记入审计日志 %1。\n原因：%2");

class CRelayAudit {
public:
    // Changes are logged to `path` from now on. A relay given no log (device logic driven
    // without a window) neither records nor refuses.
    void UseLog(const QString& path) { Log_.emplace(path); }
    bool HasLog() const { return Log_.has_value(); }
    QString LogPath() const { return Log_ ? Log_->Path() : QString(); }

    void SetTag(const QString& tag) { Tag_ = tag; }      // the feeder's tag; empty outside a plant
    void SetLine(const QString& line) { Line_ = line; }  // the plant line's id, or the port
    const QString& Tag() const { return Tag_; }
    const QString& Line() const { return Line_; }

    // Whether a change may be started now; false with the operator's message (the log's
    // file and why it cannot be written).
    bool Admit(QString* message) const;
    // Fills in when, who, where, tag and line, and appends the entry; false with the
    // operator's message.
    bool Record(AuditEntry entry, QString* message) const;

    // The settings the tool read from the relay at `timeMs` (ms since the epoch), as the audit
    // log keeps settings.
    void SettingsRead(const QJsonObject& settings, int64_t timeMs);
    // The last read's settings with "readAt" (its time, ISO in UTC), or {} when none was read.
    QJsonObject LastRead() const;

private:
    std::optional<CAuditLog> Log_;
    QString Tag_;
    QString Line_;
    QJsonObject LastRead_;
    int64_t LastReadMs_ = 0;
};

// {"0x0150": 10, ...}: the registers by their read address.
QJsonObject RegistersJson(const RegisterValues& registers);

// A write of the settings as the audit trail keeps it: `before` as LastRead() gave it when the
// write was asked for; after, `held` (the settings the read-back gave, as the audit log keeps
// settings) when every block answered, else the registers of the blocks that answered; and
// what was not held or not sent.
void DescribeSettingsWrite(DeviceWrite& write, const QJsonObject& before,
                           const std::optional<QJsonObject>& held,
                           const SettingsWriteReport& report);
// The entry of a change as its operation reported it (time, user and place still empty).
AuditEntry WriteEntry(const DeviceWrite& write);
// "close-a", "calibrate-voltage", ...; "confirmed", "not-answering", ...
QString AuditOperation(DeviceWriteKind kind);
QString AuditOutcome(DeviceWriteOutcome outcome);

}  // namespace mp
