#pragma once
// The communication monitor's table: the log's records, decoded, newest last, filtered by
// outcome or operation. Lives on the window thread; Refresh() takes what the I/O worker has
// added since the last call. Rows are decoded in the window's language; Retranslate() decodes
// them again after a language switch.

#include <QAbstractTableModel>
#include <QString>
#include <deque>

#include "diagnostics/ExchangeDecoder.h"
#include "diagnostics/ExchangeLog.h"

namespace mp {

class CMonitorModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        Time,
        Direction,
        Address,
        Function,
        Range,
        Length,
        Crc,
        ReplyTime,
        Summary,
        ColumnCount
    };
    enum class Filter { All, Errors, Operation };

    explicit CMonitorModel(CExchangeLog& log, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Takes the records added since the last call; returns how many rows were added.
    int Refresh();
    // `operation`: an ExchangeSummary::Operation key (the same in every language).
    void SetFilter(Filter filter, const QString& operation = {});
    void SetContext(const DecodeContext& context) { Context_ = context; }
    // Decodes the rows and names the columns again in the window's language.
    void Retranslate();
    // Drops the rows and the log's records and counters.
    void Clear();

    // The raw frames of a row: "发送: 01 03 ...\n接收: ...".
    QString RawHex(int row) const;
    QString Cell(int row, int column) const;
    // Every shown row, as CSV (UTF-8, quoted where needed) or as aligned text, in the window's
    // language (the file is the table as the operator reads it; nothing reads it back).
    QString Csv() const;
    QString Text() const;

private:
    struct Row {
        ExchangeRecord Record;
        ExchangeSummary Summary;
        DecodeContext Context;  // what it was decoded with (the CT ratio of the time)
    };
    bool Passes(const ExchangeSummary& summary) const;
    void Rebuild();

    CExchangeLog& Log_;
    DecodeContext Context_;
    Filter Filter_ = Filter::All;
    QString Operation_;
    std::deque<Row> Rows_;
    uint64_t Seen_ = 0;
};

}  // namespace mp
