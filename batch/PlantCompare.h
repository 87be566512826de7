#pragma once
// "全部比较": each chosen feeder's relay read and compared with its effective settings (its
// settings file, or its template with rated data and overrides). One row per feeder; a column
// for every setting that differs in at least one feeder, its cell "relay → effective". A
// feeder without a source or with refused effective settings is marked and its relay not read.

#include <QDateTime>
#include <QDir>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "batch/CompareResults.h"
#include "batch/EffectiveSettings.h"
#include "batch/PlantRead.h"
#include "files/SettingsComparison.h"
#include "plant/Plant.h"

namespace mp {

struct CompareRow {
    QString Tag;
    QString Line;
    int Address = 0;
    CompareResult Result;
    // The comparison's rows (settings then check boxes) when the relay was read.
    std::vector<ComparisonRow> Rows;
};

class CPlantCompare {
public:
    using Clock = std::function<QDateTime()>;

    // Compares the relays of `feeders` (indexes into the plant's feeders; empty: all); the
    // settings files are found in `plantDir`.
    CPlantCompare(const Plant& plant, const QVector<int>& feeders, const QDir& plantDir,
                  RelayRead read, Clock now = {});

    void Start(std::function<void(int done, int total)> progress, std::function<void()> finished);
    void Stop() { Run_->Stop(); }
    bool Running() const { return Run_->Running(); }

    const std::vector<CompareRow>& Rows() const { return Rows_; }
    CompareResults Results() const;

    // The table: the feeder, line, address, source and outcome, then every setting that
    // differs in at least one feeder, in the settings' order.
    QStringList Header() const;
    QStringList Cells(int row) const;
    // The table in CSV: UTF-8 with a byte order mark, CRLF.
    QByteArray Csv() const;

private:
    void OnRead(int index, const std::optional<SettingsValues>& values);
    std::vector<size_t> DifferingColumns() const;

    Clock Now_;
    std::vector<CompareRow> Rows_;
    std::vector<SettingsValues> Effective_;  // by row; empty values where there are none
    std::vector<int> RowOfTarget_;
    std::unique_ptr<CPlantReadRun> Run_;
};

}  // namespace mp
