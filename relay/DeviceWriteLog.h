#pragma once
// The writes made to devices since the program started, with their outcome: settings, start
// mode, output commands, calibration and coefficient resets, address and baud changes. Kept in
// memory only, for the commissioning report.

#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <cstdint>

namespace mp {

enum class DeviceWriteKind : uint8_t {
    Settings,
    StartMode,
    CloseOutputA,
    OpenOutputA,
    CloseOutputB,
    OpenOutputB,
    ResetOutputs,
    CalibrateCurrent,
    CalibrateVoltage,
    PwmOutput,
    ResetCurrentCoefficients,
    ResetVoltageCoefficients,
    CommParams,
};

enum class DeviceWriteOutcome : uint8_t {
    Confirmed,    // read back: the device holds what was sent
    NotHeld,      // read back: the device holds other values, or a group was left out
    NoReply,      // the read-back found no reply
    SentOnly,     // the device never answers this command: sent, not confirmed
    NotFollowed,  // address/baud: sent, but the port could not move to the new rate
};

// One write as the operation reports its outcome.
struct DeviceWrite {
    DeviceWriteKind Kind = DeviceWriteKind::Settings;
    DeviceWriteOutcome Outcome = DeviceWriteOutcome::SentOnly;
    int Address = 0;      // the device address it was sent to
    int NewAddress = 0;   // address/baud change: the address the device was given
    int NewBaudRate = 0;  // and its new rate
    // For the audit trail: what was read before and after (empty objects when the operation
    // reads nothing), what the outcome needs said, and the device's refusal of the change.
    QJsonObject Before{};
    QJsonObject After{};
    QString Detail{};
    bool Refused = false;
};

// A write with when and on which port it was made.
struct DeviceWriteEntry {
    QDateTime At;
    QString Port;
    DeviceWrite Write;

    // Sent to the device at `address` on `port`, or made another device that one.
    bool Concerns(const QString& port, int address) const {
        return Port == port &&
               (Write.Address == address ||
                (Write.Kind == DeviceWriteKind::CommParams && Write.NewAddress == address));
    }
};

// The log, oldest first. It holds at most kCapacity entries; older ones are dropped and
// counted.
class CDeviceWriteLog {
public:
    static constexpr int kCapacity = 1000;

    void Add(const DeviceWriteEntry& entry) {
        if (Entries_.size() >= kCapacity) {
            Entries_.removeFirst();
            ++Dropped_;
        }
        Entries_.append(entry);
    }
    const QList<DeviceWriteEntry>& Entries() const { return Entries_; }
    int Dropped() const { return Dropped_; }

private:
    QList<DeviceWriteEntry> Entries_;
    int Dropped_ = 0;
};

}  // namespace mp
