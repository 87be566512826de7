#include "plant/OverviewModel.h"

#include <QBrush>
#include <QColor>
#include <QDateTime>
#include <QFont>
#include <algorithm>

#include "device/Scaling.h"
#include "events/EventRecords.h"

namespace mp {
namespace {

// Background of the state cell, by link state.
QColor StateColour(FeederLink link) {
    switch (link) {
        case FeederLink::Answering:
            return QColor(200, 240, 200);
        case FeederLink::Stale:
            return QColor(250, 235, 160);
        case FeederLink::NotAnswering:
            return QColor(250, 190, 170);
        case FeederLink::LineLost:
            return QColor(225, 180, 230);
        case FeederLink::Unknown:
            break;
    }
    return {};
}

QString Number(double value, int decimals) {
    return QString::number(value, 'f', decimals);
}

QString Bits(uint8_t bits, int count) {
    QString text;
    for (int k = 0; k < count; ++k) {
        text += (bits >> k & 1) ? QLatin1Char('1') : QLatin1Char('0');
    }
    return text;
}

QString SinceText(int64_t sinceMs) {
    return QDateTime::fromMSecsSinceEpoch(sinceMs).toString(QStringLiteral("HH:mm:ss"));
}

}  // namespace

COverviewModel::COverviewModel(const CFeederStates& states, QStringList lineNames,
                               std::function<int64_t()> now, QObject* parent)
    : QAbstractTableModel(parent),
      States_(states),
      LineNames_(std::move(lineNames)),
      Now_(std::move(now)) {
    Show_ = new QTimer(this);
    Show_->setSingleShot(true);
    Show_->setInterval(kShowPeriodMs);
    connect(Show_, &QTimer::timeout, this, &COverviewModel::ShowChanged);
    connect(&States_, &CFeederStates::Changed, this, [this](int row) {
        FirstChanged_ = FirstChanged_ < 0 ? row : std::min(FirstChanged_, row);
        LastChanged_ = std::max(LastChanged_, row);
        if (!Show_->isActive()) {
            Show_->start();
        }
    });
}

void COverviewModel::ShowChanged() {
    if (FirstChanged_ >= 0) {
        emit dataChanged(index(FirstChanged_, 0), index(LastChanged_, ColumnCount - 1));
    }
    FirstChanged_ = -1;
    LastChanged_ = -1;
}

int COverviewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : States_.Count();
}

int COverviewModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QString COverviewModel::LinkText(FeederLink link) {
    switch (link) {
        case FeederLink::Answering:
            return tr("应答");
        case FeederLink::Stale:
            return tr("数据过时");
        case FeederLink::NotAnswering:
            return tr("无应答");
        case FeederLink::LineLost:
            return tr("线路中断");
        case FeederLink::Unknown:
            break;
    }
    return tr("等待");
}

QVariant COverviewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    switch (section) {
        case Tag:
            return tr("位号");
        case Description:
            return tr("说明");
        case LineColumn:
            return tr("线路");
        case Address:
            return tr("地址");
        case State:
            return tr("状态");
        case Ia:
            return tr("Ia (A)");
        case Ib:
            return tr("Ib (A)");
        case Ic:
            return tr("Ic (A)");
        case IaShare:
            return tr("Ia (%Ie)");
        case IbShare:
            return tr("Ib (%Ie)");
        case IcShare:
            return tr("Ic (%Ie)");
        case Ua:
            return tr("Ua (V)");
        case Ub:
            return tr("Ub (V)");
        case Uc:
            return tr("Uc (V)");
        case Inputs:
            return tr("DI1–DI8");
        case Outputs:
            return tr("输出 A B 复归");
        case StatusWord:
            return tr("状态字");
        case Events:
            return tr("告警事件");
        case Age:
            return tr("数据时间");
        default:
            return {};
    }
}

int64_t COverviewModel::NewestValueMs(const FeederState& row) const {
    int64_t newest = 0;
    auto take = [&newest](const auto& value) {
        if (value) {
            newest = std::max(newest, value->TimeMs);
        }
    };
    take(row.Currents);
    take(row.Voltages);
    take(row.Inputs);
    take(row.Outputs);
    take(row.Status);
    return newest;
}

bool COverviewModel::Stale(const FeederState& row, int64_t valueTimeMs) const {
    if (row.Link != FeederLink::Answering) {
        return true;
    }
    // A group the last visits did not get keeps its old value: stale on its own.
    return Now_() - valueTimeMs > States_.StaleAfterMs(row.Line);
}

QVariant COverviewModel::Display(const FeederState& row, int column) const {
    auto amperes = [&row](int phase) -> QVariant {
        const std::optional<double> value = row.CurrentAmperes(phase);
        return value ? QVariant(Number(*value, 1)) : QVariant();
    };
    auto share = [&row](int phase) -> QVariant {
        const std::optional<double> value = row.CurrentAmperes(phase);
        if (!value || !row.RatedCurrent || *row.RatedCurrent <= 0) {
            return {};
        }
        return Number(100.0 * *value / *row.RatedCurrent, 0);
    };
    auto volts = [&row](int phase) -> QVariant {
        if (!row.Voltages) {
            return {};
        }
        return Number(row.Voltages->Value.Tenths[phase] * 0.1, 1);
    };
    switch (column) {
        case Tag:
            return row.Tag;
        case Description:
            return row.Description;
        case LineColumn:
            return LineNames_.value(row.Line);
        case Address:
            return int(row.Address);
        case State: {
            const QString text = LinkText(row.Link);
            if (row.Link == FeederLink::Unknown || row.Link == FeederLink::Answering) {
                return text;
            }
            return tr("%1 自 %2").arg(text, SinceText(row.LinkSinceMs));
        }
        case Ia:
        case Ib:
        case Ic:
            return amperes(column - Ia);
        case IaShare:
        case IbShare:
        case IcShare:
            return share(column - IaShare);
        case Ua:
        case Ub:
        case Uc:
            return volts(column - Ua);
        case Inputs:
            return row.Inputs ? QVariant(Bits(row.Inputs->Value.Bits, 8)) : QVariant();
        case Outputs:
            return row.Outputs ? QVariant(Bits(row.Outputs->Value.Bits, 3)) : QVariant();
        case StatusWord:
            return row.Status
                       ? QVariant(QStringLiteral("%1")
                                      .arg(row.Status->Value.LowByte, 2, 16, QLatin1Char('0'))
                                      .toUpper())
                       : QVariant();
        case Events: {
            // The device does not say which stored event is the newest: the count, and the
            // last of the events it holds.
            if (!row.Events) {
                return {};
            }
            const EventRecordTexts& texts = row.Events->Value;
            const QString summary = QString::fromStdString(ShownSummary(texts));
            if (texts.Count < 1 || texts.Count > kMaxEvents) {
                return summary;
            }
            return tr("%1：%2").arg(summary, QString::fromStdString(ShownEvent(
                                                 texts, static_cast<size_t>(texts.Count - 1))));
        }
        case Age: {
            const int64_t newest = NewestValueMs(row);
            if (newest == 0) {
                return {};
            }
            const int64_t seconds = std::max<int64_t>(0, (Now_() - newest) / 1000);
            return tr("%1 s 前").arg(seconds);
        }
        default:
            return {};
    }
}

QVariant COverviewModel::SortKey(const FeederState& row, int column) const {
    switch (column) {
        case Address:
            return int(row.Address);
        case State:
            return static_cast<int>(row.Link);
        case Ia:
        case Ib:
        case Ic: {
            const std::optional<double> value = row.CurrentAmperes(column - Ia);
            return value ? QVariant(*value) : QVariant(-1.0);
        }
        case IaShare:
        case IbShare:
        case IcShare: {
            const std::optional<double> value = row.CurrentAmperes(column - IaShare);
            return value && row.RatedCurrent && *row.RatedCurrent > 0
                       ? QVariant(*value / *row.RatedCurrent)
                       : QVariant(-1.0);
        }
        case Ua:
        case Ub:
        case Uc:
            return row.Voltages ? QVariant(int(row.Voltages->Value.Tenths[column - Ua]))
                                : QVariant(-1);
        case Age: {
            const int64_t newest = NewestValueMs(row);
            return newest == 0 ? QVariant(qlonglong(-1)) : QVariant(qlonglong(Now_() - newest));
        }
        default:
            return Display(row, column);
    }
}

QVariant COverviewModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= States_.Count()) {
        return {};
    }
    const FeederState& row = States_.At(index.row());
    const int column = index.column();
    const bool valueColumn = column >= Ia && column <= Events;
    switch (role) {
        case Qt::DisplayRole:
            return Display(row, column);
        case Qt::AccessibleTextRole:
        case Qt::ToolTipRole:
            // Why the line is lost, beside since when (the status bar says it too).
            if (column == State && row.Link == FeederLink::LineLost && !row.LineMessage.isEmpty()) {
                return tr("%1：%2").arg(Display(row, column).toString(), row.LineMessage);
            }
            return role == Qt::AccessibleTextRole ? Display(row, column) : QVariant();
        case Qt::UserRole:
            return SortKey(row, column);
        case LinkRole:
            return static_cast<int>(row.Link);
        case BitsRole:
            if (column == Inputs && row.Inputs) {
                return int(row.Inputs->Value.Bits);
            }
            if (column == Outputs && row.Outputs) {
                return int(row.Outputs->Value.Bits);
            }
            return -1;
        case StaleRole:
            return valueColumn && Stale(row, NewestValueMs(row));
        case Qt::BackgroundRole:
            if (column == State && row.Link != FeederLink::Unknown) {
                return QBrush(StateColour(row.Link));
            }
            return {};
        case Qt::ForegroundRole:
            if (valueColumn && Stale(row, NewestValueMs(row))) {
                return QBrush(QColor(128, 128, 128));
            }
            return {};
        case Qt::FontRole:
            if (valueColumn && Stale(row, NewestValueMs(row))) {
                QFont font;
                font.setItalic(true);
                return font;
            }
            return {};
        case Qt::TextAlignmentRole:
            return column >= Address && column != State
                       ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter))
                       : QVariant();
        default:
            return {};
    }
}

void COverviewModel::RefreshAges() {
    if (States_.Count() > 0) {
        emit dataChanged(index(0, Ia), index(States_.Count() - 1, Age));
    }
}

}  // namespace mp
