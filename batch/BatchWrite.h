#pragma once
// "批量写入...": the effective settings of chosen feeders written to their relays. First a
// preview: each relay's settings are read and what will change is listed (old → new); the
// operator confirms the whole batch once. Then per relay the verified write: its settings are
// read again (a relay that does not answer, or whose settings changed since the preview, is
// not written), the groups are sent, and what it holds is read back and compared. One relay
// at a time on each line, the lines side by side. Stop, and a failure when the batch is to
// stop at the first, end it after the relay being written, never within its groups. Every
// write tried is one entry in the plant's audit log; without a log that can be written
// nothing is sent.

#include <QObject>
#include <QString>
#include <QVector>
#include <optional>
#include <vector>

#include "audit/AuditLog.h"
#include "batch/EffectiveSettings.h"
#include "batch/PlantWork.h"
#include "files/SettingsValues.h"

namespace mp {

enum class BatchOutcome {
    Waiting,       // not read or written yet
    Unchanged,     // the relay holds the effective settings already: not written
    Confirmed,     // written, and the relay holds every setting sent
    NotConfirmed,  // written, but the read-back does not show every setting sent
    Refused,       // not written: effective settings refused, or changed since the preview
    NotAnswering,  // not written: the relay did not answer the read before the write
    Stopped,       // not written: the batch was stopped before it
};

// One setting that will change, in the window's words.
struct BatchChange {
    QString Caption;
    QString Before;
    QString After;
};

struct BatchRelay {
    int Row = -1;  // the feeder's index in the plant
    QString Tag;
    int Line = -1;
    QString LineId;
    uint8_t Address = 0;
    EffectiveSettings Effective;
    std::optional<SettingsValues> Before;  // read in the preview
    std::vector<BatchChange> Changes;
    std::optional<SettingsValues> After;  // read back after the write
    BatchOutcome Outcome = BatchOutcome::Waiting;
    QString Detail;  // which groups were sent, what is not held, why refused
};

// The words of an outcome ("已确认", "未确认", ...), in the window's language.
QString BatchOutcomeText(BatchOutcome outcome);
// The settings' differences old → new, as the preview lists them (the start mode is not
// written by a settings write and is left out).
std::vector<BatchChange> SettingsChanges(const SettingsValues& before, const SettingsValues& after);
// The settings as one JSON object, for the audit log.
QJsonObject SettingsValuesJson(const SettingsValues& values);

class CBatchWrite : public QObject {
    Q_OBJECT
public:
    // `rows` are the feeders chosen, by their index in the plant.
    CBatchWrite(PlantWork work, QVector<int> rows, QObject* parent = nullptr);
    ~CBatchWrite() override;

    // Reads every chosen relay with a usable source; PreviewReady once all are read.
    void Preview();
    // Writes the relays the preview found changes for. False (nothing sent) with the reason
    // when the audit log cannot be written, or before a preview.
    bool Write(bool stopAtFirstFailure, QString* reason);
    // Ends the batch after the relays being read or written now.
    void Stop();

    const QVector<BatchRelay>& Relays() const { return Relays_; }
    bool Running() const { return Busy_ > 0; }
    QString AuditPath() const { return Log_.Path(); }

signals:
    void Progress(int done, int total);
    void PreviewReady();
    void Finished();

private:
    enum class Phase { Idle, Previewing, Writing };
    void StartLines();
    void Next(int line);
    void ReadOne(int index);
    void WriteOne(int index);
    void Done(int index);
    void Record(const BatchRelay& relay);

    PlantWork Work_;
    CAuditLog Log_;
    QVector<BatchRelay> Relays_;
    QVector<QVector<int>> Queues_;  // per line: the relays still to do, in order
    Phase Phase_ = Phase::Idle;
    int Busy_ = 0;  // lines with a relay under way
    int DoneCount_ = 0;
    int Total_ = 0;
    bool StopRequested_ = false;
    bool StopAtFailure_ = false;
    bool Previewed_ = false;
};

}  // namespace mp
