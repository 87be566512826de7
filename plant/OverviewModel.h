#pragma once
// The overview's table: one row per feeder of the plant with its tag, line, address, link
// state, currents in amperes and as a share of the rated current, voltages, inputs and
// outputs, status word and the age of its values. A value whose feeder does not answer now
// is shown as stale, never as live. Sorts by value (Qt::UserRole), not by text.

#include <QAbstractTableModel>
#include <QStringList>
#include <QTimer>
#include <functional>

#include "plant/FeederStates.h"

namespace mp {

class COverviewModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        Tag,
        Description,
        LineColumn,
        Address,
        State,
        Ia,
        Ib,
        Ic,
        IaShare,
        IbShare,
        IcShare,
        Ua,
        Ub,
        Uc,
        Inputs,
        Outputs,
        StatusWord,
        Events,
        Age,
        ColumnCount
    };
    // Roles beside the display text: the link state of the row, the bits of a lamp column
    // (-1 unknown) and whether a value is stale.
    enum Role { LinkRole = Qt::UserRole + 1, BitsRole, StaleRole };

    // `lineNames` are the plant's line ids by index; `now` gives wall time in ms.
    COverviewModel(const CFeederStates& states, QStringList lineNames, std::function<int64_t()> now,
                   QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The state's words, also offered by the overview's filter.
    static QString LinkText(FeederLink link);
    const QStringList& LineNames() const { return LineNames_; }
    // The ages move with the clock.
    void RefreshAges();
    // Changed rows are shown together at most this often: a plant of 120 relays changes a row
    // some 40 times a second, more than the eye follows.
    static constexpr int kShowPeriodMs = 250;

private:
    QVariant Display(const FeederState& row, int column) const;
    QVariant SortKey(const FeederState& row, int column) const;
    bool Stale(const FeederState& row, int64_t valueTimeMs) const;
    int64_t NewestValueMs(const FeederState& row) const;

    void ShowChanged();

    const CFeederStates& States_;
    QTimer* Show_ = nullptr;
    int FirstChanged_ = -1;
    int LastChanged_ = -1;
    QStringList LineNames_;
    std::function<int64_t()> Now_;
};

}  // namespace mp
