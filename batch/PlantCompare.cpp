#include "batch/PlantCompare.h"

#include "batch/BatchText.h"
#include "language/CsvText.h"

namespace mp {
namespace {

// A cell a spreadsheet would take for a formula is kept as text.
QString CellField(QString text) {
    if (text.startsWith(QLatin1Char('=')) || text.startsWith(QLatin1Char('@'))) {
        text.prepend(QLatin1Char('\''));
    }
    return CsvField(text);
}

}  // namespace

QString CompareOutcomeText(const CompareResult& result) {
    switch (result.Outcome) {
        case CompareOutcome::Equal:
            return BatchText::tr("一致");
        case CompareOutcome::Differs:
            return BatchText::tr("不一致（%1 项）").arg(result.Differences);
        case CompareOutcome::NotAnswering:
            return BatchText::tr("无应答");
        case CompareOutcome::NoSource:
            return BatchText::tr("无定值来源");
        case CompareOutcome::Refused:
            return result.Detail;
        case CompareOutcome::NotCompared:
            return BatchText::tr("未比较（已停止）");
    }
    return QString();
}

void KeepCompareResults(CompareResults& last, const CompareResults& latest) {
    for (auto it = latest.begin(); it != latest.end(); ++it) {
        if (it->Outcome != CompareOutcome::NotCompared) {
            last.insert(it.key(), it.value());
        }
    }
}

QString LastCompareText(const CompareResults& results, const QString& tag) {
    const auto found = results.find(tag);
    if (found == results.end()) {
        return QString();
    }
    return BatchText::tr("%1 (%2)").arg(CompareOutcomeText(*found),
                                        found->At.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
}

CPlantCompare::CPlantCompare(const Plant& plant, const QVector<int>& feeders, const QDir& plantDir,
                             RelayRead read, Clock now)
    : Now_(std::move(now)) {
    if (!Now_) {
        Now_ = [] { return QDateTime::currentDateTime(); };
    }
    std::vector<RelayTarget> targets;
    for (const RelayTarget& target : TargetsOf(plant, feeders)) {
        CompareRow row;
        row.Tag = target.Tag;
        row.Line = target.Line;
        row.Address = target.Address;
        const EffectiveSettings effective =
            EffectiveSettingsOf(plant.Feeders[target.Feeder], plantDir);
        row.Result.Source = effective.Source;
        if (!effective.HasSource()) {
            row.Result.Outcome = CompareOutcome::NoSource;
            row.Result.At = Now_();
        } else if (!effective.Values) {
            // Nothing to compare the relay with: its relay is not read.
            row.Result.Outcome = CompareOutcome::Refused;
            row.Result.Detail = effective.Faults.join(QLatin1Char('\n'));
            row.Result.At = Now_();
        } else {
            targets.push_back(target);
            RowOfTarget_.push_back(static_cast<int>(Rows_.size()));
        }
        Effective_.push_back(effective.Values.value_or(SettingsValues{}));
        Rows_.push_back(row);
    }
    Run_ = std::make_unique<CPlantReadRun>(std::move(targets), std::move(read));
}

void CPlantCompare::Start(std::function<void(int, int)> progress, std::function<void()> finished) {
    const int before = static_cast<int>(Rows_.size()) - Run_->Total();
    Run_->Start(
        [this, progress, before](int index, const std::optional<SettingsValues>& values) {
            OnRead(index, values);
            if (progress) {
                progress(before + Run_->Done(), static_cast<int>(Rows_.size()));
            }
        },
        [finished] {
            if (finished) {
                finished();
            }
        });
}

void CPlantCompare::OnRead(int index, const std::optional<SettingsValues>& values) {
    const auto rowIndex = static_cast<size_t>(RowOfTarget_[static_cast<size_t>(index)]);
    CompareRow& row = Rows_[rowIndex];
    row.Result.At = Now_();
    if (!values) {
        row.Result.Outcome = CompareOutcome::NotAnswering;
        return;
    }
    row.Rows = CompareSettings(*values, Effective_[rowIndex]);
    int differences = 0;
    for (const ComparisonRow& r : row.Rows) {
        differences += r.Differs ? 1 : 0;
    }
    row.Result.Differences = differences;
    row.Result.Outcome = differences == 0 ? CompareOutcome::Equal : CompareOutcome::Differs;
}

CompareResults CPlantCompare::Results() const {
    CompareResults results;
    for (const CompareRow& row : Rows_) {
        results.insert(row.Tag, row.Result);
    }
    return results;
}

std::vector<size_t> CPlantCompare::DifferingColumns() const {
    std::vector<bool> differs;
    for (const CompareRow& row : Rows_) {
        differs.resize(std::max(differs.size(), row.Rows.size()), false);
        for (size_t i = 0; i < row.Rows.size(); ++i) {
            if (row.Rows[i].Differs) {
                differs[i] = true;
            }
        }
    }
    std::vector<size_t> columns;
    for (size_t i = 0; i < differs.size(); ++i) {
        if (differs[i]) {
            columns.push_back(i);
        }
    }
    return columns;
}

QStringList CPlantCompare::Header() const {
    QStringList header{BatchText::tr("馈线"), BatchText::tr("线路"), BatchText::tr("地址"),
                       BatchText::tr("定值来源"), BatchText::tr("结果")};
    const std::vector<size_t> columns = DifferingColumns();
    for (const size_t column : columns) {
        // Every read row has the same comparison rows, in the same order.
        for (const CompareRow& row : Rows_) {
            if (column < row.Rows.size()) {
                header << row.Rows[column].ShownCaption();
                break;
            }
        }
    }
    return header;
}

QStringList CPlantCompare::Cells(int index) const {
    const CompareRow& row = Rows_[static_cast<size_t>(index)];
    QStringList cells{row.Tag, row.Line, QString::number(row.Address), row.Result.Source,
                      CompareOutcomeText(row.Result)};
    for (const size_t column : DifferingColumns()) {
        if (column < row.Rows.size() && row.Rows[column].Differs) {
            const ComparisonRow& r = row.Rows[column];
            cells << QStringLiteral("%1 → %2").arg(r.Shown(r.Device), r.Shown(r.Window));
        } else {
            cells << QString();
        }
    }
    return cells;
}

QByteArray CPlantCompare::Csv() const {
    QString csv;
    QStringList fields;
    for (const QString& text : Header()) {
        fields << CellField(text);
    }
    csv += fields.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    for (int row = 0; row < static_cast<int>(Rows_.size()); ++row) {
        fields.clear();
        for (const QString& text : Cells(row)) {
            fields << CellField(text);
        }
        csv += fields.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    return QByteArray("\xEF\xBB\xBF") + csv.toUtf8();
}

}  // namespace mp
