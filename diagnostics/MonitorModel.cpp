#include "diagnostics/MonitorModel.h"

#include <QBrush>
#include <QColor>

#include "language/CsvText.h"

namespace mp {

namespace {

bool IsError(ExchangeOutcome outcome) {
    return outcome != ExchangeOutcome::Sent && outcome != ExchangeOutcome::Good;
}

}  // namespace

CMonitorModel::CMonitorModel(CExchangeLog& log, QObject* parent)
    : QAbstractTableModel(parent), Log_(log) {}

int CMonitorModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(Rows_.size());
}

int CMonitorModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QString CMonitorModel::Cell(int row, int column) const {
    if (row < 0 || row >= static_cast<int>(Rows_.size())) {
        return {};
    }
    const Row& r = Rows_[static_cast<size_t>(row)];
    const ExchangeRecord& rec = r.Record;
    const bool exchange = rec.Type == ExchangeRecord::Kind::Exchange;
    const bool read = exchange && rec.ReplyLength > 0;
    switch (column) {
        case Time:
            return QString::number(rec.Time);
        case Direction:
            return !exchange ? tr("收") : read ? tr("发/收") : tr("发");
        case Address:
            return rec.Request.empty() ? QString() : QString::number(rec.Request[0]);
        case Function:
            return rec.Request.size() < 2 ? QString()
                                          : QStringLiteral("%1")
                                                .arg(rec.Request[1], 2, 16, QLatin1Char('0'))
                                                .toUpper();
        case Range:
            return QString::fromStdString(r.Summary.Range);
        case Length:
            if (!exchange) return QString::number(rec.Dropped);
            return read ? QStringLiteral("%1/%2").arg(rec.Request.size()).arg(rec.Reply.size())
                        : QString::number(rec.Request.size());
        case Crc:
            switch (r.Summary.Outcome) {
                case ExchangeOutcome::Good:
                case ExchangeOutcome::Exception:
                    return tr("正确");
                case ExchangeOutcome::BadCrc:
                    return tr("错误");
                default:
                    return QStringLiteral("-");
            }
        case ReplyTime:
            return read && rec.Answered ? QString::number(rec.ReplyMs) : QString();
        case Summary:
            return QString::fromStdString(r.Summary.Text);
        default:
            return {};
    }
}

QVariant CMonitorModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        return Cell(index.row(), index.column());
    }
    if (role == Qt::ForegroundRole &&
        IsError(Rows_[static_cast<size_t>(index.row())].Summary.Outcome)) {
        return QBrush(QColor(0xB0, 0x00, 0x00));
    }
    return {};
}

QVariant CMonitorModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    static const char* const titles[] = {
        QT_TR_NOOP("时间(ms)"), QT_TR_NOOP("方向"),        QT_TR_NOOP("地址"),
        QT_TR_NOOP("功能码"),   QT_TR_NOOP("寄存器/线圈"), QT_TR_NOOP("长度"),
        QT_TR_NOOP("CRC"),      QT_TR_NOOP("应答(ms)"),    QT_TR_NOOP("内容")};
    return section >= 0 && section < ColumnCount ? tr(titles[section]) : QVariant();
}

bool CMonitorModel::Passes(const ExchangeSummary& summary) const {
    switch (Filter_) {
        case Filter::All:
            return true;
        case Filter::Errors:
            return IsError(summary.Outcome);
        case Filter::Operation:
            return QString::fromStdString(summary.Operation) == Operation_;
    }
    return true;
}

int CMonitorModel::Refresh() {
    const std::vector<ExchangeRecord> fresh = Log_.Since(Seen_);
    if (fresh.empty()) {
        return 0;
    }
    Seen_ = fresh.back().Sequence;
    std::vector<Row> rows;
    for (const ExchangeRecord& record : fresh) {
        ExchangeSummary summary = CExchangeDecoder::Decode(record, Context_);
        if (Passes(summary)) {
            rows.push_back({record, std::move(summary), Context_});
        }
    }
    // The table never holds more than the log keeps.
    const size_t capacity = Log_.Capacity();
    if (rows.size() > capacity) {
        rows.erase(rows.begin(), rows.end() - static_cast<std::ptrdiff_t>(capacity));
    }
    const size_t excess =
        Rows_.size() + rows.size() > capacity ? Rows_.size() + rows.size() - capacity : 0;
    if (excess > 0) {
        beginRemoveRows({}, 0, static_cast<int>(excess) - 1);
        Rows_.erase(Rows_.begin(), Rows_.begin() + static_cast<std::ptrdiff_t>(excess));
        endRemoveRows();
    }
    if (!rows.empty()) {
        const int first = static_cast<int>(Rows_.size());
        beginInsertRows({}, first, first + static_cast<int>(rows.size()) - 1);
        for (Row& row : rows) {
            Rows_.push_back(std::move(row));
        }
        endInsertRows();
    }
    return static_cast<int>(rows.size());
}

void CMonitorModel::Rebuild() {
    beginResetModel();
    Rows_.clear();
    Seen_ = 0;
    endResetModel();
    Refresh();
}

void CMonitorModel::SetFilter(Filter filter, const QString& operation) {
    Filter_ = filter;
    Operation_ = operation;
    Rebuild();
}

void CMonitorModel::Retranslate() {
    for (Row& row : Rows_) {
        row.Summary = CExchangeDecoder::Decode(row.Record, row.Context);
    }
    emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
    if (!Rows_.empty()) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
    }
}

void CMonitorModel::Clear() {
    Log_.Clear();
    beginResetModel();
    Rows_.clear();
    Seen_ = Log_.LastSequence();
    endResetModel();
}

QString CMonitorModel::RawHex(int row) const {
    if (row < 0 || row >= static_cast<int>(Rows_.size())) {
        return {};
    }
    const ExchangeRecord& rec = Rows_[static_cast<size_t>(row)].Record;
    if (rec.Type != ExchangeRecord::Kind::Exchange) {
        return tr("丢弃: %1 字节").arg(rec.Dropped);
    }
    const QString sent = QString::fromStdString(CExchangeDecoder::Hex(rec.Request));
    if (rec.ReplyLength == 0) {
        return tr("发送: %1").arg(sent);
    }
    return tr("发送: %1\n接收: %2")
        .arg(sent, QString::fromStdString(CExchangeDecoder::Hex(rec.Reply)));
}

QString CMonitorModel::Csv() const {
    QStringList lines;
    QStringList header;
    for (int c = 0; c < ColumnCount; ++c) {
        header << CsvField(headerData(c, Qt::Horizontal, Qt::DisplayRole).toString());
    }
    header << CsvField(tr("发送")) << CsvField(tr("接收"));
    lines << header.join(',');
    for (int r = 0; r < rowCount(); ++r) {
        QStringList fields;
        for (int c = 0; c < ColumnCount; ++c) {
            fields << CsvField(Cell(r, c));
        }
        const ExchangeRecord& rec = Rows_[static_cast<size_t>(r)].Record;
        fields << QString::fromStdString(CExchangeDecoder::Hex(rec.Request))
               << QString::fromStdString(CExchangeDecoder::Hex(rec.Reply));
        lines << fields.join(',');
    }
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

QString CMonitorModel::Text() const {
    QStringList lines;
    for (int r = 0; r < rowCount(); ++r) {
        QStringList fields;
        for (int c = 0; c < ColumnCount; ++c) {
            fields << Cell(r, c);
        }
        lines << fields.join('\t')
              << QStringLiteral("    ") +
                     QString(RawHex(r)).replace('\n', QStringLiteral("\n    "));
    }
    return lines.join('\n') + '\n';
}

}  // namespace mp
