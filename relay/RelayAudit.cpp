#include "relay/RelayAudit.h"

#include <QDateTime>
#include <QStringList>

#include "language/Text.h"

namespace mp {
namespace {

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

QString IsoTime(int64_t ms) {
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC).toString(Qt::ISODateWithMs);
}

}  // namespace

bool CRelayAudit::Admit(QString* message) const {
    if (!Log_) {
        return true;
    }
    QString reason;
    if (Log_->CanAppend(&reason)) {
        return true;
    }
    *message = Text(Tr(kAuditRefusedText)).arg(Log_->Path(), reason);
    return false;
}

bool CRelayAudit::Record(AuditEntry entry, QString* message) const {
    if (!Log_) {
        return true;
    }
    entry.TimeMs = QDateTime::currentMSecsSinceEpoch();
    entry.User = CAuditLog::CurrentUser();
    entry.Host = CAuditLog::HostName();
    entry.Tag = Tag_;
    entry.Line = Line_;
    QString reason;
    if (Log_->Append(entry, &reason)) {
        return true;
    }
    *message = Text(Tr(kAuditAppendFailedText)).arg(Log_->Path(), reason);
    return false;
}

void CRelayAudit::SettingsRead(const QJsonObject& settings, int64_t timeMs) {
    LastRead_ = settings;
    LastReadMs_ = timeMs;
}

QJsonObject CRelayAudit::LastRead() const {
    if (LastRead_.isEmpty()) {
        return {};
    }
    QJsonObject read = LastRead_;
    read[QStringLiteral("readAt")] = IsoTime(LastReadMs_);
    return read;
}

QJsonObject RegistersJson(const RegisterValues& registers) {
    QJsonObject object;
    for (const auto& [address, value] : registers) {
        const QString hex = QStringLiteral("%1").arg(address, 4, 16, QLatin1Char('0')).toUpper();
        object[QStringLiteral("0x") + hex] = value;
    }
    return object;
}

void DescribeSettingsWrite(DeviceWrite& write, const QJsonObject& before,
                           const std::optional<QJsonObject>& held,
                           const SettingsWriteReport& report) {
    write.Before = before;
    if (held) {
        write.After = *held;
    } else if (!report.Held.empty()) {
        write.After = {{QStringLiteral("registers"), RegistersJson(report.Held)}};
    }
    QStringList detail;
    if (report.Written.StartModeReadFailed) {
        detail << QStringLiteral("phase-and-start group not sent: start mode not read");
    }
    if (report.Written.OverVoltageSkipped) {
        detail << QStringLiteral("voltage group not sent: over-voltage pick-up out of range");
    }
    if (!report.NotHeld.empty()) {
        QStringList names;
        for (const std::string& name : report.NotHeld) {
            names << Text(name);
        }
        detail << QStringLiteral("not held: %1").arg(names.join(QStringLiteral(", ")));
    }
    if (report.Unanswered) {
        detail << QStringLiteral("no answer to the read-back");
    }
    write.Detail = detail.join(QStringLiteral("; "));
}

QString AuditOperation(DeviceWriteKind kind) {
    switch (kind) {
        case DeviceWriteKind::Settings:
            return QStringLiteral("write-settings");
        case DeviceWriteKind::StartMode:
            return QStringLiteral("start-mode");
        case DeviceWriteKind::CloseOutputA:
            return QStringLiteral("close-a");
        case DeviceWriteKind::OpenOutputA:
            return QStringLiteral("open-a");
        case DeviceWriteKind::CloseOutputB:
            return QStringLiteral("close-b");
        case DeviceWriteKind::OpenOutputB:
            return QStringLiteral("open-b");
        case DeviceWriteKind::ResetOutputs:
            return QStringLiteral("reset");
        case DeviceWriteKind::CalibrateCurrent:
            return QStringLiteral("calibrate-current");
        case DeviceWriteKind::CalibrateVoltage:
            return QStringLiteral("calibrate-voltage");
        case DeviceWriteKind::PwmOutput:
            return QStringLiteral("pwm-output");
        case DeviceWriteKind::ResetCurrentCoefficients:
            return QStringLiteral("reset-current-coefficients");
        case DeviceWriteKind::ResetVoltageCoefficients:
            return QStringLiteral("reset-voltage-coefficients");
        case DeviceWriteKind::CommParams:
            return QStringLiteral("change-address-baud");
    }
    return QStringLiteral("write");
}

QString AuditOutcome(DeviceWriteOutcome outcome) {
    switch (outcome) {
        case DeviceWriteOutcome::Confirmed:
            return QStringLiteral("confirmed");
        case DeviceWriteOutcome::NoReply:
            return QStringLiteral("not-answering");
        case DeviceWriteOutcome::NotHeld:
        case DeviceWriteOutcome::SentOnly:
        case DeviceWriteOutcome::NotFollowed:
            break;
    }
    return QStringLiteral("not-confirmed");
}

AuditEntry WriteEntry(const DeviceWrite& write) {
    AuditEntry entry;
    entry.Address = write.Address;
    entry.Operation = AuditOperation(write.Kind);
    entry.Before = write.Before;
    entry.After = write.After;
    entry.Outcome = write.Refused ? QStringLiteral("refused") : AuditOutcome(write.Outcome);
    QStringList detail;
    if (write.Kind == DeviceWriteKind::CommParams) {
        detail << QStringLiteral("new address %1, %2 baud")
                      .arg(write.NewAddress)
                      .arg(write.NewBaudRate);
    }
    if (write.Outcome == DeviceWriteOutcome::SentOnly) {
        detail << QStringLiteral("sent; the device gives no confirmation");
    } else if (write.Outcome == DeviceWriteOutcome::NotFollowed) {
        detail << QStringLiteral("sent; the port could not move to the new rate");
    }
    if (!write.Detail.isEmpty()) {
        detail << write.Detail;
    }
    entry.Detail = detail.join(QStringLiteral("; "));
    return entry;
}

}  // namespace mp
