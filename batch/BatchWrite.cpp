#include "batch/BatchWrite.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QJsonObject>
#include <QPointer>
#include <array>

#include "batch/RelayJobs.h"
#include "device/RegisterMap.h"
#include "files/DeviceSettingsRead.h"
#include "files/SettingsTable.h"
#include "language/Text.h"
#include "line/DeviceLine.h"
#include "plant/PlantLines.h"
#include "settings/SettingsRead.h"
#include "settings/SettingsVerify.h"
#include "settings/SettingsWrite.h"

namespace mp {
namespace {

class BatchText {
    Q_DECLARE_TR_FUNCTIONS(mp::CBatchWrite)
};

// The located response of a block read as the registers read back give it: address,
// function, byte count, the registers high byte first (no CRC: the decoders do not look at
// it). Nothing when a register of the block is missing.
template <size_t N>
std::optional<std::array<uint8_t, N>> Frame(const RegisterValues& held, uint16_t start,
                                            uint16_t count) {
    std::array<uint8_t, N> frame{};
    frame[0] = 1;
    frame[1] = 0x03;
    frame[2] = static_cast<uint8_t>(2 * count);
    for (uint16_t k = 0; k < count; ++k) {
        const auto it = held.find(static_cast<uint16_t>(start + k));
        if (it == held.end()) {
            return std::nullopt;
        }
        frame[3 + 2 * k] = static_cast<uint8_t>(it->second >> 8);
        frame[4 + 2 * k] = static_cast<uint8_t>(it->second & 0xFF);
    }
    return frame;
}

// What the registers read back say the relay holds; nothing unless every block answered.
std::optional<SettingsValues> HeldValues(const RegisterValues& held) {
    const auto a = Frame<kSettingsBlockALength>(held, kSettingsBlockAStart, kSettingsBlockACount);
    const auto b = Frame<kSettingsBlockBLength>(held, kSettingsBlockBStart, kSettingsBlockBCount);
    const auto c = Frame<kSettingsBlockCLength>(held, kSettingsBlockCStart, kSettingsBlockCCount);
    if (!a || !b || !c) {
        return std::nullopt;
    }
    SettingsValues values;
    DecodeSettingsBlockA(values.Protection, a->data());
    DecodeSettingsBlockB(values.Protection, b->data());
    DecodeSettingsBlockC(values.Protection, c->data());
    return values;
}

bool SameSettings(const SettingsValues& a, const SettingsValues& b) {
    return SettingsChanges(a, b).empty();
}

// Which groups a write sent, in words.
QString SentText(const SettingsWriteResult& written) {
    QStringList left;
    if (written.StartModeReadFailed) {
        left << BatchText::tr("起动方式读回无应答，相位与起动组未发送");
    }
    if (written.OverVoltageSkipped) {
        left << BatchText::tr("过压值超出 105–150，电压保护组未发送");
    }
    const int sent = 6 - static_cast<int>(left.size());
    return left.isEmpty()
               ? BatchText::tr("已发送全部 6 组")
               : BatchText::tr("已发送 %1 组；%2").arg(sent).arg(left.join(QStringLiteral("；")));
}

}  // namespace

QString BatchOutcomeText(BatchOutcome outcome) {
    switch (outcome) {
        case BatchOutcome::Waiting:
            return BatchText::tr("等待");
        case BatchOutcome::Unchanged:
            return BatchText::tr("无需写入");
        case BatchOutcome::Confirmed:
            return BatchText::tr("已确认");
        case BatchOutcome::NotConfirmed:
            return BatchText::tr("未确认");
        case BatchOutcome::Refused:
            return BatchText::tr("拒绝");
        case BatchOutcome::NotAnswering:
            return BatchText::tr("无应答");
        case BatchOutcome::Stopped:
            return BatchText::tr("已停止，未写入");
    }
    return {};
}

std::vector<BatchChange> SettingsChanges(const SettingsValues& before,
                                         const SettingsValues& after) {
    std::vector<BatchChange> changes;
    for (const SettingRow& row : SettingRows()) {
        if (row.Kind == SettingKind::StartMode) {
            continue;
        }
        const std::string a = SettingText(before, row);
        const std::string b = SettingText(after, row);
        if (!SameSetting(row, a, b)) {
            changes.push_back({QString::fromStdString(CaptionWithUnit(row)),
                               QString::fromStdString(a), QString::fromStdString(b)});
        }
    }
    for (size_t i = 0; i < kProtectionCount; ++i) {
        const bool a = before.Protection.Enabled[i];
        const bool b = after.Protection.Enabled[i];
        if (a != b) {
            auto word = [](bool on) { return on ? BatchText::tr("投入") : BatchText::tr("退出"); };
            changes.push_back(
                {QString::fromStdString(Tr(ProtectionRows()[i].Caption)), word(a), word(b)});
        }
    }
    return changes;
}

QJsonObject SettingsValuesJson(const SettingsValues& values) {
    QJsonObject settings;
    for (const SettingRow& row : SettingRows()) {
        if (row.Kind != SettingKind::StartMode) {
            settings[QLatin1String(row.Key)] = QString::fromStdString(SettingText(values, row));
        }
    }
    QJsonObject protections;
    for (size_t i = 0; i < kProtectionCount; ++i) {
        protections[QLatin1String(ProtectionRows()[i].Key)] = values.Protection.Enabled[i];
    }
    return {{QStringLiteral("settings"), settings}, {QStringLiteral("protections"), protections}};
}

CBatchWrite::CBatchWrite(PlantWork work, QVector<int> rows, QObject* parent)
    : QObject(parent), Work_(std::move(work)), Log_(CAuditLog::PlantPath(Work_.PlantPath())) {
    const Plant* plant = Work_.CurrentPlant();
    if (plant == nullptr) {
        return;
    }
    for (int row : rows) {
        if (row < 0 || row >= plant->Feeders.size()) {
            continue;
        }
        const Feeder& feeder = plant->Feeders[row];
        BatchRelay relay;
        relay.Row = row;
        relay.Tag = feeder.Tag;
        relay.LineId = feeder.Line;
        for (int k = 0; k < plant->Lines.size(); ++k) {
            if (plant->Lines[k].Id == feeder.Line) {
                relay.Line = k;
            }
        }
        relay.Address = static_cast<uint8_t>(feeder.Address);
        relay.Effective = EffectiveSettingsOf(feeder, Work_.PlantDir());
        if (!relay.Effective.Values) {
            relay.Outcome = BatchOutcome::Refused;
            relay.Detail = relay.Effective.HasSource()
                               ? relay.Effective.Faults.join(QLatin1Char('\n'))
                               : BatchText::tr("无定值来源（定值文件或模板）");
        }
        Relays_.push_back(relay);
    }
    Queues_.resize(plant->Lines.size());
}

CBatchWrite::~CBatchWrite() = default;

void CBatchWrite::StartLines() {
    DoneCount_ = 0;
    Total_ = 0;
    for (QVector<int>& queue : Queues_) {
        queue.clear();
    }
    for (int i = 0; i < Relays_.size(); ++i) {
        const BatchRelay& relay = Relays_[i];
        const bool due = Phase_ == Phase::Previewing
                             ? relay.Outcome == BatchOutcome::Waiting
                             : relay.Outcome == BatchOutcome::Waiting && !relay.Changes.empty();
        if (due && relay.Line >= 0) {
            Queues_[relay.Line].push_back(i);
            ++Total_;
        }
    }
    emit Progress(0, Total_);
    for (int line = 0; line < Queues_.size(); ++line) {
        Next(line);
    }
    if (Busy_ == 0) {
        const Phase ended = std::exchange(Phase_, Phase::Idle);
        ended == Phase::Previewing ? emit PreviewReady() : emit Finished();
    }
}

void CBatchWrite::Preview() {
    if (Phase_ != Phase::Idle) {
        return;
    }
    Phase_ = Phase::Previewing;
    StartLines();
}

bool CBatchWrite::Write(bool stopAtFirstFailure, QString* reason) {
    if (Phase_ != Phase::Idle || !Previewed_) {
        *reason = BatchText::tr("请先预览");
        return false;
    }
    // A write is never done unlogged.
    if (!Log_.CanAppend(reason)) {
        return false;
    }
    StopAtFailure_ = stopAtFirstFailure;
    StopRequested_ = false;
    Phase_ = Phase::Writing;
    StartLines();
    return true;
}

void CBatchWrite::Stop() {
    StopRequested_ = true;
}

void CBatchWrite::Next(int line) {
    CPlantLines* lines = Work_.Lines();
    QVector<int>& queue = Queues_[line];
    if (queue.isEmpty()) {
        return;
    }
    const int index = queue.takeFirst();
    if (StopRequested_ || lines == nullptr || lines->Line(line) == nullptr) {
        if (Phase_ == Phase::Writing) {
            Relays_[index].Outcome = BatchOutcome::Stopped;
        }
        ++DoneCount_;
        Next(line);
        return;
    }
    ++Busy_;
    Phase_ == Phase::Previewing ? ReadOne(index) : WriteOne(index);
}

void CBatchWrite::ReadOne(int index) {
    const BatchRelay& relay = Relays_[index];
    QPointer<CBatchWrite> self(this);
    PostToRelay(*Work_.Lines()->Line(relay.Line), relay.Address,
                [self, index](CDeviceContext& ctx) {
                    std::optional<SettingsValues> read = FetchDeviceSettings(ctx);
                    ctx.Post([self, index, read] {
                        if (!self) {
                            return;
                        }
                        BatchRelay& r = self->Relays_[index];
                        r.Before = read;
                        if (!read) {
                            r.Outcome = BatchOutcome::NotAnswering;
                            r.Detail = BatchText::tr("读定值无应答，不写入");
                        } else {
                            r.Changes = SettingsChanges(*read, *r.Effective.Values);
                            if (r.Changes.empty()) {
                                r.Outcome = BatchOutcome::Unchanged;
                            }
                        }
                        self->Done(index);
                    });
                });
}

void CBatchWrite::WriteOne(int index) {
    const BatchRelay& relay = Relays_[index];
    const SettingsValues planned = *relay.Before;
    const ProtectionSettings values = relay.Effective.Values->Protection;
    QPointer<CBatchWrite> self(this);
    PostToRelay(*Work_.Lines()->Line(relay.Line), relay.Address,
                [self, index, planned, values](CDeviceContext& ctx) {
                    // Read before the write: a relay that does not answer, or whose settings
                    // changed since the preview, is not written.
                    const std::optional<SettingsValues> now = FetchDeviceSettings(ctx);
                    BatchOutcome outcome = BatchOutcome::NotAnswering;
                    QString detail = BatchText::tr("写前读定值无应答，未写入");
                    std::optional<SettingsValues> after;
                    if (now && !SameSettings(*now, planned)) {
                        outcome = BatchOutcome::Refused;
                        detail = BatchText::tr("预览之后设备的定值已改变，未写入");
                    } else if (now) {
                        SettingsWriteReport report;
                        report.Written = WriteSettings(ctx, values, [](SettingsWriteResult) {});
                        if (report.Written.Stopped) {
                            return;  // the program closes
                        }
                        const RegisterValues held = ReadBackSettings(ctx);
                        CompareHeldSettings(SentRegisters(values, report.Written), held, report);
                        after = HeldValues(held);
                        outcome = SettingsWriteConfirmed(report) ? BatchOutcome::Confirmed
                                                                 : BatchOutcome::NotConfirmed;
                        QStringList words{SentText(report.Written)};
                        for (const std::string& message : SettingsWriteMessages(report)) {
                            words << QString::fromStdString(message);
                        }
                        detail = words.join(QStringLiteral("；"));
                    }
                    ctx.Post([self, index, outcome, detail, after] {
                        if (!self) {
                            return;
                        }
                        BatchRelay& r = self->Relays_[index];
                        r.Outcome = outcome;
                        r.Detail = detail;
                        r.After = after;
                        self->Done(index);
                    });
                });
}

void CBatchWrite::Done(int index) {
    BatchRelay& relay = Relays_[index];
    --Busy_;
    ++DoneCount_;
    if (Phase_ == Phase::Writing) {
        Record(relay);
        if (StopAtFailure_ && relay.Outcome != BatchOutcome::Confirmed) {
            StopRequested_ = true;
        }
    }
    emit Progress(DoneCount_, Total_);
    Next(relay.Line);
    if (Busy_ == 0) {
        const Phase ended = std::exchange(Phase_, Phase::Idle);
        if (ended == Phase::Previewing) {
            Previewed_ = true;
            emit PreviewReady();
        } else {
            emit Finished();
        }
    }
}

void CBatchWrite::Record(const BatchRelay& relay) {
    AuditEntry entry;
    entry.TimeMs = QDateTime::currentMSecsSinceEpoch();
    entry.User = CAuditLog::CurrentUser();
    entry.Host = CAuditLog::HostName();
    entry.Tag = relay.Tag;
    entry.Line = relay.LineId;
    entry.Address = relay.Address;
    entry.Operation = QStringLiteral("write-settings");
    if (relay.Before) {
        entry.Before = SettingsValuesJson(*relay.Before);
    }
    if (relay.After) {
        entry.After = SettingsValuesJson(*relay.After);
    }
    static const char* const words[] = {"waiting", "unchanged",     "confirmed", "not-confirmed",
                                        "refused", "not-answering", "stopped"};
    entry.Outcome = QLatin1String(words[static_cast<int>(relay.Outcome)]);
    entry.Detail = relay.Detail;
    QString reason;
    if (!Log_.Append(entry, &reason)) {
        // The next relays are not written without their entry.
        StopRequested_ = true;
        Relays_[&relay - Relays_.data()].Detail += QLatin1Char('\n') + reason;
    }
}

}  // namespace mp
