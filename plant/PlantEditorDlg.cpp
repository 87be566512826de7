#include "plant/PlantEditorDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "device/LineCodes.h"
#include "diagnostics/ScanDlg.h"
#include "dialogs/DialogService.h"

namespace mp {
namespace {

// What a drop-down cell holds; the unknown keys of the row sit in its first cell.
constexpr int kValueRole = Qt::UserRole;
constexpr int kUnknownRole = Qt::UserRole + 1;
// A feeder's overrides of its template, kept as they were (the file holds them).
constexpr int kOverridesRole = Qt::UserRole + 2;

// Every cell's editor: a drop-down with the column's choices, or the line edit; either named
// for screen readers by the column's caption.
class CCellDelegate : public QStyledItemDelegate {
public:
    CCellDelegate(CPlantEditorDlg& dialog, QTableWidget& table)
        : QStyledItemDelegate(&table), Dialog_(dialog), Table_(table) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        const auto choices = Dialog_.Choices(Table_, index.column());
        QWidget* editor = nullptr;
        if (choices.isEmpty()) {
            editor = QStyledItemDelegate::createEditor(parent, option, index);
        } else {
            auto* combo = new QComboBox(parent);
            for (const auto& choice : choices) {
                combo->addItem(choice.first, choice.second);
            }
            editor = combo;
        }
        if (editor != nullptr) {
            if (QTableWidgetItem* header = Table_.horizontalHeaderItem(index.column())) {
                editor->setAccessibleName(header->text());
            }
        }
        return editor;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            combo->setCurrentIndex(std::max(0, combo->findData(index.data(kValueRole))));
            return;
        }
        QStyledItemDelegate::setEditorData(editor, index);
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            Dialog_.SetCellValue(Table_, index.row(), index.column(), combo->currentData());
            return;
        }
        QStyledItemDelegate::setModelData(editor, model, index);
    }

private:
    CPlantEditorDlg& Dialog_;
    QTableWidget& Table_;
};

QTableWidgetItem* Cell(const QTableWidget& table, int row, int column) {
    return table.item(row, column);
}

QString CellText(const QTableWidget& table, int row, int column) {
    const QTableWidgetItem* item = Cell(table, row, column);
    return item != nullptr ? item->text().trimmed() : QString();
}

QTableWidget* NewTable(int columns, QWidget* parent) {
    auto* table = new QTableWidget(0, columns, parent);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::AnyKeyPressed);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setStretchLastSection(true);
    return table;
}

QString NumberText(double value) {
    return QString::number(value, 'g', 12);
}

}  // namespace

CPlantEditorDlg::CPlantEditorDlg(const Plant& plant, IDialogService& dialogs, PlantLineScan scan,
                                 QWidget* parent)
    : QDialog(parent), Dialogs_(dialogs), ScanLine_(std::move(scan)), Result_(plant) {
    setObjectName(QStringLiteral("plantEditor"));
    Name_ = new QLineEdit(plant.Name, this);
    Name_->setObjectName(QStringLiteral("plantNameEdit"));
    NameLabel_ = new QLabel(this);
    NameLabel_->setBuddy(Name_);

    Lines_ = NewTable(LineColumns, this);
    Lines_->setObjectName(QStringLiteral("plantLinesTable"));
    Lines_->setItemDelegate(new CCellDelegate(*this, *Lines_));
    Feeders_ = NewTable(FeederColumns, this);
    Feeders_->setObjectName(QStringLiteral("plantFeedersTable"));
    Feeders_->setItemDelegate(new CCellDelegate(*this, *Feeders_));

    AddLine_ = new QPushButton(this);
    RemoveLine_ = new QPushButton(this);
    Scan_ = new QPushButton(this);
    Scan_->setObjectName(QStringLiteral("scanLineButton"));
    AddFeeder_ = new QPushButton(this);
    RemoveFeeder_ = new QPushButton(this);
    Status_ = new QLabel(this);
    Status_->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    Ok_ = buttons->button(QDialogButtonBox::Ok);
    Cancel_ = buttons->button(QDialogButtonBox::Cancel);

    auto* form = new QFormLayout;
    form->addRow(NameLabel_, Name_);

    LinesBox_ = new QGroupBox(this);
    auto* lineButtons = new QHBoxLayout;
    lineButtons->addWidget(AddLine_);
    lineButtons->addWidget(RemoveLine_);
    lineButtons->addStretch(1);
    lineButtons->addWidget(Scan_);
    auto* lineLayout = new QVBoxLayout(LinesBox_);
    lineLayout->addWidget(Lines_);
    lineLayout->addLayout(lineButtons);

    FeedersBox_ = new QGroupBox(this);
    auto* feederButtons = new QHBoxLayout;
    feederButtons->addWidget(AddFeeder_);
    feederButtons->addWidget(RemoveFeeder_);
    feederButtons->addStretch(1);
    auto* feederLayout = new QVBoxLayout(FeedersBox_);
    feederLayout->addWidget(Feeders_);
    feederLayout->addLayout(feederButtons);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(LinesBox_, 2);
    layout->addWidget(FeedersBox_, 3);
    layout->addWidget(Status_);
    layout->addWidget(buttons);
    resize(900, 640);

    Filling_ = true;
    for (const PlantLine& line : plant.Lines) {
        AppendLine(line);
    }
    for (const Feeder& feeder : plant.Feeders) {
        AppendFeeder(feeder);
    }
    Filling_ = false;

    connect(buttons, &QDialogButtonBox::accepted, this, &CPlantEditorDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CPlantEditorDlg::reject);
    connect(AddLine_, &QPushButton::clicked, this, &CPlantEditorDlg::AddLine);
    connect(RemoveLine_, &QPushButton::clicked, this, &CPlantEditorDlg::RemoveLine);
    connect(Scan_, &QPushButton::clicked, this, &CPlantEditorDlg::ScanSelectedLine);
    connect(AddFeeder_, &QPushButton::clicked, this, &CPlantEditorDlg::AddFeeder);
    connect(RemoveFeeder_, &QPushButton::clicked, this, &CPlantEditorDlg::RemoveFeeder);
    connect(Lines_, &QTableWidget::itemChanged, this, &CPlantEditorDlg::LineItemChanged);
    connect(Lines_, &QTableWidget::itemSelectionChanged, this, &CPlantEditorDlg::UpdateButtons);
    connect(Feeders_, &QTableWidget::itemSelectionChanged, this, &CPlantEditorDlg::UpdateButtons);
    RetranslateTexts();
    UpdateButtons();
}

void CPlantEditorDlg::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        RetranslateTexts();
    }
    QDialog::changeEvent(event);
}

void CPlantEditorDlg::RetranslateTexts() {
    setWindowTitle(tr("厂站设置"));
    NameLabel_->setText(tr("厂站名称"));
    Name_->setAccessibleName(tr("厂站名称"));
    LinesBox_->setTitle(tr("线路"));
    FeedersBox_->setTitle(tr("馈线"));
    Lines_->setAccessibleName(tr("线路"));
    Feeders_->setAccessibleName(tr("馈线"));
    Lines_->setHorizontalHeaderLabels({tr("标识"), tr("类型"), tr("串口"), tr("波特率"), tr("校验"),
                                       tr("主机"), tr("端口"), tr("帧格式"), tr("连接超时 (ms)")});
    Feeders_->setHorizontalHeaderLabels({tr("位号"), tr("说明"), tr("线路"), tr("地址"),
                                         tr("定值文件"), tr("定值模板"), tr("额定电流 (A)"),
                                         tr("电流变比"), tr("额定电压 (V)")});
    AddLine_->setText(tr("添加线路"));
    RemoveLine_->setText(tr("删除线路"));
    Scan_->setText(tr("扫描并加入..."));
    AddFeeder_->setText(tr("添加馈线"));
    RemoveFeeder_->setText(tr("删除馈线"));
    Ok_->setText(tr("确定"));
    Cancel_->setText(tr("取消"));
    // The drop-down cells keep their values; only the words follow the language.
    const bool filling = Filling_;
    Filling_ = true;
    for (int row = 0; row < Lines_->rowCount(); ++row) {
        for (int column : {LineType, LineParity, LineFraming}) {
            if (QTableWidgetItem* item = Lines_->item(row, column)) {
                item->setText(DisplayText(*Lines_, column, item->data(kValueRole)));
            }
        }
    }
    Filling_ = filling;
}

QVector<QPair<QString, QVariant>> CPlantEditorDlg::Choices(const QTableWidget& table,
                                                           int column) const {
    QVector<QPair<QString, QVariant>> choices;
    if (&table == Lines_) {
        switch (column) {
            case LineType:
                for (PlantLineKind kind :
                     {PlantLineKind::Serial, PlantLineKind::Tcp, PlantLineKind::Simulated}) {
                    const QString word = PlantLineKindWord(kind);
                    choices.push_back({DisplayText(table, column, word), word});
                }
                break;
            case LineBaud:
                for (int rate : kBaudRates) {
                    choices.push_back({QString::number(rate), rate});
                }
                break;
            case LineParity:
                for (int parity = 0; parity < kParityCount; ++parity) {
                    choices.push_back({ParityText(parity), PlantParityWord(parity)});
                }
                break;
            case LineFraming:
                for (TcpFraming framing : {TcpFraming::Rtu, TcpFraming::Mbap}) {
                    const QString word = PlantFramingWord(framing);
                    choices.push_back({DisplayText(table, column, word), word});
                }
                break;
            default:
                break;
        }
    } else if (&table == Feeders_ && column == FeederLine) {
        for (int row = 0; row < Lines_->rowCount(); ++row) {
            const QString id = CellText(*Lines_, row, LineId);
            if (!id.isEmpty()) {
                choices.push_back({id, id});
            }
        }
    }
    return choices;
}

QString CPlantEditorDlg::DisplayText(const QTableWidget& table, int column,
                                     const QVariant& value) const {
    const QString word = value.toString();
    if (&table == Lines_ && column == LineType) {
        if (word == PlantLineKindWord(PlantLineKind::Tcp)) {
            return tr("以太网网关");
        }
        if (word == PlantLineKindWord(PlantLineKind::Simulated)) {
            return tr("模拟设备");
        }
        return tr("串口");
    }
    if (&table == Lines_ && column == LineParity) {
        for (int parity = 0; parity < kParityCount; ++parity) {
            if (PlantParityWord(parity) == word) {
                return ParityText(parity);
            }
        }
    }
    if (&table == Lines_ && column == LineFraming) {
        return word == PlantFramingWord(TcpFraming::Mbap) ? QStringLiteral("Modbus TCP")
                                                          : QStringLiteral("RTU over TCP");
    }
    return word;
}

QVariant CPlantEditorDlg::CellValue(const QTableWidget& table, int row, int column) {
    const QTableWidgetItem* item = table.item(row, column);
    return item != nullptr ? item->data(kValueRole) : QVariant();
}

void CPlantEditorDlg::SetCellValue(QTableWidget& table, int row, int column,
                                   const QVariant& value) {
    QTableWidgetItem* item = table.item(row, column);
    if (item == nullptr) {
        return;
    }
    const bool filling = Filling_;
    Filling_ = true;
    item->setData(kValueRole, value);
    Filling_ = filling;
    // The shown text last: it is what announces the change.
    item->setText(DisplayText(table, column, value));
}

void CPlantEditorDlg::AppendLine(const PlantLine& line) {
    const bool filling = Filling_;
    Filling_ = true;
    const int row = Lines_->rowCount();
    Lines_->insertRow(row);
    const auto set = [&](int column, const QString& text) {
        Lines_->setItem(row, column, new QTableWidgetItem(text));
    };
    set(LineId, line.Id);
    Lines_->item(row, LineId)->setData(kValueRole, line.Id);  // the id feeders refer to
    Lines_->item(row, LineId)->setData(kUnknownRole, line.Unknown);
    set(LinePort, line.Port);
    set(LineHost, line.Host);
    set(LineTcpPort, QString::number(line.TcpPort));
    set(LineTimeout, QString::number(line.ConnectTimeoutMs));
    for (int column : {LineType, LineBaud, LineParity, LineFraming}) {
        set(column, QString());
    }
    SetCellValue(*Lines_, row, LineType, PlantLineKindWord(line.Kind));
    SetCellValue(*Lines_, row, LineBaud, line.BaudRate);
    SetCellValue(*Lines_, row, LineParity, PlantParityWord(line.Parity));
    SetCellValue(*Lines_, row, LineFraming, PlantFramingWord(line.Framing));
    UpdateLineRow(row);
    Filling_ = filling;
}

void CPlantEditorDlg::AppendFeeder(const Feeder& feeder) {
    const bool filling = Filling_;
    Filling_ = true;
    const int row = Feeders_->rowCount();
    Feeders_->insertRow(row);
    const auto set = [&](int column, const QString& text) {
        Feeders_->setItem(row, column, new QTableWidgetItem(text));
    };
    const auto optional = [](const std::optional<double>& value) {
        return value ? NumberText(*value) : QString();
    };
    set(FeederTag, feeder.Tag);
    Feeders_->item(row, FeederTag)->setData(kUnknownRole, feeder.Unknown);
    Feeders_->item(row, FeederTag)->setData(kOverridesRole, feeder.Overrides);
    set(FeederDescription, feeder.Description);
    set(FeederLine, QString());
    SetCellValue(*Feeders_, row, FeederLine, feeder.Line);
    set(FeederAddress, QString::number(feeder.Address));
    set(FeederSettingsFile, feeder.SettingsFile);
    set(FeederTemplate, feeder.Template);
    set(FeederRatedCurrent, optional(feeder.RatedCurrent));
    set(FeederCtRatio, optional(feeder.CtRatio));
    set(FeederRatedVoltage, optional(feeder.RatedVoltage));
    Filling_ = filling;
}

void CPlantEditorDlg::UpdateLineRow(int row) {
    const QString kind = CellValue(*Lines_, row, LineType).toString();
    const bool serial = kind == PlantLineKindWord(PlantLineKind::Serial);
    const bool tcp = kind == PlantLineKindWord(PlantLineKind::Tcp);
    const bool filling = Filling_;
    Filling_ = true;
    for (int column = LinePort; column < LineColumns; ++column) {
        const bool used =
            (column == LinePort || column == LineBaud || column == LineParity) ? serial : tcp;
        if (QTableWidgetItem* item = Lines_->item(row, column)) {
            // What a type does not use stays as typed (the type may be switched back).
            item->setFlags(used ? item->flags() | Qt::ItemIsEnabled | Qt::ItemIsEditable
                                : item->flags() & ~(Qt::ItemIsEnabled | Qt::ItemIsEditable));
        }
    }
    Filling_ = filling;
}

void CPlantEditorDlg::LineItemChanged(QTableWidgetItem* item) {
    if (Filling_) {
        return;
    }
    if (item->column() == LineType) {
        UpdateLineRow(item->row());
    } else if (item->column() == LineId) {
        // A renamed line takes its feeders along.
        const QString before = item->data(kValueRole).toString();
        const QString after = item->text().trimmed();
        Filling_ = true;
        item->setData(kValueRole, after);
        Filling_ = false;
        if (!before.isEmpty() && before != after) {
            for (int row = 0; row < Feeders_->rowCount(); ++row) {
                if (CellValue(*Feeders_, row, FeederLine).toString() == before) {
                    SetCellValue(*Feeders_, row, FeederLine, after);
                }
            }
        }
    }
    UpdateButtons();
}

void CPlantEditorDlg::UpdateButtons() {
    const int line = Lines_->currentRow();
    RemoveLine_->setEnabled(line >= 0);
    Scan_->setEnabled(ScanLine_ && !Scanning_ && line >= 0);
    RemoveFeeder_->setEnabled(Feeders_->currentRow() >= 0);
}

void CPlantEditorDlg::AddLine() {
    QSet<QString> ids;
    for (int row = 0; row < Lines_->rowCount(); ++row) {
        ids.insert(CellText(*Lines_, row, LineId));
    }
    PlantLine line;
    int number = Lines_->rowCount() + 1;
    while (ids.contains(QStringLiteral("L%1").arg(number))) {
        ++number;
    }
    line.Id = QStringLiteral("L%1").arg(number);
    AppendLine(line);
    Lines_->setCurrentCell(Lines_->rowCount() - 1, LineId);
    UpdateButtons();
}

void CPlantEditorDlg::RemoveLine() {
    const int row = Lines_->currentRow();
    if (row >= 0) {
        // Its feeders stay, naming a line that no longer exists, until OK says so.
        Lines_->removeRow(row);
    }
    UpdateButtons();
}

void CPlantEditorDlg::AddFeeder() {
    Feeder feeder;
    const int lineRow = Lines_->currentRow() >= 0 ? Lines_->currentRow() : 0;
    feeder.Line = CellText(*Lines_, lineRow, LineId);
    // The lowest address not yet taken on that line.
    QSet<int> taken;
    for (int row = 0; row < Feeders_->rowCount(); ++row) {
        if (CellValue(*Feeders_, row, FeederLine).toString() == feeder.Line) {
            taken.insert(CellText(*Feeders_, row, FeederAddress).toInt());
        }
    }
    while (taken.contains(feeder.Address) && feeder.Address < kHighestSlaveAddress) {
        ++feeder.Address;
    }
    AppendFeeder(feeder);
    Feeders_->setCurrentCell(Feeders_->rowCount() - 1, FeederTag);
    UpdateButtons();
}

void CPlantEditorDlg::RemoveFeeder() {
    const int row = Feeders_->currentRow();
    if (row >= 0) {
        Feeders_->removeRow(row);
    }
    UpdateButtons();
}

void CPlantEditorDlg::ScanSelectedLine() {
    const int row = Lines_->currentRow();
    if (!ScanLine_ || Scanning_ || row < 0) {
        return;
    }
    PlantFileErrors errors;
    const PlantLine line = RowLine(row, &errors);
    if (line.Id.isEmpty()) {
        errors.push_back({QString(), QString(), tr("请先填写线路的标识")});
    }
    if (!errors.isEmpty()) {
        Dialogs_.Inform(this, errors.first().Reason);
        return;
    }
    Scanning_ = true;
    Status_->setText(tr("正在扫描线路 %1...").arg(line.Id));
    UpdateButtons();
    QPointer<CPlantEditorDlg> self(this);
    ScanLine_(line, [self, id = line.Id](QVector<int> addresses) {
        if (self) {
            self->AddFound(id, addresses);
        }
    });
}

void CPlantEditorDlg::AddFound(const QString& lineId, const QVector<int>& addresses) {
    Scanning_ = false;
    QSet<int> onLine;
    QSet<QString> tags;
    for (int row = 0; row < Feeders_->rowCount(); ++row) {
        tags.insert(CellText(*Feeders_, row, FeederTag));
        if (CellValue(*Feeders_, row, FeederLine).toString() == lineId) {
            bool ok = false;
            const int address = CellText(*Feeders_, row, FeederAddress).toInt(&ok);
            if (ok) {
                onLine.insert(address);
            }
        }
    }
    QVector<int> found = addresses;
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    int added = 0;
    int valid = 0;
    for (int address : found) {
        if (address < kLowestSlaveAddress || address > kHighestSlaveAddress) {
            continue;
        }
        ++valid;
        if (onLine.contains(address)) {
            continue;
        }
        Feeder feeder;
        feeder.Line = lineId;
        feeder.Address = address;
        const QString base = QStringLiteral("%1-%2").arg(lineId).arg(address);
        feeder.Tag = base;
        for (int n = 2; tags.contains(feeder.Tag); ++n) {
            feeder.Tag = QStringLiteral("%1-%2").arg(base).arg(n);
        }
        tags.insert(feeder.Tag);
        onLine.insert(address);
        AppendFeeder(feeder);
        ++added;
    }
    Status_->setText(
        tr("线路 %1：找到 %2 台设备，加入 %3 条新馈线").arg(lineId).arg(valid).arg(added));
    UpdateButtons();
}

PlantLine CPlantEditorDlg::RowLine(int row, PlantFileErrors* errors) const {
    PlantLine line;
    line.Id = CellText(*Lines_, row, LineId);
    const QString who =
        line.Id.isEmpty() ? tr("第 %1 条线路").arg(row + 1) : tr("线路 %1").arg(line.Id);
    const QString prefix = QStringLiteral("lines[%1].").arg(row);
    const QString kind = CellValue(*Lines_, row, LineType).toString();
    line.Kind = kind == PlantLineKindWord(PlantLineKind::Tcp)         ? PlantLineKind::Tcp
                : kind == PlantLineKindWord(PlantLineKind::Simulated) ? PlantLineKind::Simulated
                                                                      : PlantLineKind::Serial;
    line.Port = CellText(*Lines_, row, LinePort);
    line.BaudRate = CellValue(*Lines_, row, LineBaud).toInt();
    const QString parity = CellValue(*Lines_, row, LineParity).toString();
    for (int code = 0; code < kParityCount; ++code) {
        if (PlantParityWord(code) == parity) {
            line.Parity = code;
        }
    }
    line.Host = CellText(*Lines_, row, LineHost);
    line.Framing =
        CellValue(*Lines_, row, LineFraming).toString() == PlantFramingWord(TcpFraming::Mbap)
            ? TcpFraming::Mbap
            : TcpFraming::Rtu;
    if (line.Kind == PlantLineKind::Tcp) {
        const struct {
            int Column;
            int* Value;
            const char* Key;
            QString Caption;
        } numbers[] = {{LineTcpPort, &line.TcpPort, "port", tr("端口")},
                       {LineTimeout, &line.ConnectTimeoutMs, "connectTimeoutMs", tr("连接超时")}};
        for (const auto& number : numbers) {
            const QString text = CellText(*Lines_, row, number.Column);
            bool ok = false;
            *number.Value = text.toInt(&ok);
            if (!ok && errors != nullptr) {
                errors->push_back({QString(), prefix + QLatin1String(number.Key),
                                   tr("%1 的%2 \"%3\" 不是整数").arg(who, number.Caption, text)});
            }
        }
    }
    if (const QTableWidgetItem* first = Lines_->item(row, LineId)) {
        line.Unknown = first->data(kUnknownRole).toJsonObject();
    }
    return line;
}

Feeder CPlantEditorDlg::RowFeeder(int row, PlantFileErrors* errors) const {
    Feeder feeder;
    feeder.Tag = CellText(*Feeders_, row, FeederTag);
    const QString who =
        feeder.Tag.isEmpty() ? tr("第 %1 条馈线").arg(row + 1) : tr("馈线 %1").arg(feeder.Tag);
    const QString prefix = QStringLiteral("feeders[%1].").arg(row);
    const auto refuse = [&](const char* key, const QString& reason) {
        if (errors != nullptr) {
            errors->push_back({QString(), prefix + QLatin1String(key), reason});
        }
    };
    feeder.Description = CellText(*Feeders_, row, FeederDescription);
    feeder.Line = CellValue(*Feeders_, row, FeederLine).toString();
    const QString address = CellText(*Feeders_, row, FeederAddress);
    bool ok = false;
    feeder.Address = address.toInt(&ok);
    if (!ok) {
        refuse("address", tr("%1 的地址 \"%2\" 不是整数").arg(who, address));
    }
    feeder.SettingsFile = CellText(*Feeders_, row, FeederSettingsFile);
    feeder.Template = CellText(*Feeders_, row, FeederTemplate);
    const struct {
        int Column;
        std::optional<double>* Value;
        const char* Key;
        QString Caption;
    } rated[] = {
        {FeederRatedCurrent, &feeder.RatedCurrent, "ratedCurrent", tr("额定电流")},
        {FeederCtRatio, &feeder.CtRatio, "ctRatio", tr("电流变比")},
        {FeederRatedVoltage, &feeder.RatedVoltage, "ratedVoltage", tr("额定电压")},
    };
    for (const auto& item : rated) {
        const QString text = CellText(*Feeders_, row, item.Column);
        if (text.isEmpty()) {
            continue;
        }
        const double value = QLocale::c().toDouble(text, &ok);
        if (ok) {
            *item.Value = value;
        } else {
            refuse(item.Key, tr("%1 的%2 \"%3\" 不是数值").arg(who, item.Caption, text));
        }
    }
    if (const QTableWidgetItem* first = Feeders_->item(row, FeederTag)) {
        feeder.Unknown = first->data(kUnknownRole).toJsonObject();
        feeder.Overrides = first->data(kOverridesRole).toJsonObject();
    }
    return feeder;
}

Plant CPlantEditorDlg::Edited(PlantFileErrors* errors) const {
    Plant plant = Result_;
    plant.Name = Name_->text().trimmed();
    plant.Lines.clear();
    plant.Feeders.clear();
    for (int row = 0; row < Lines_->rowCount(); ++row) {
        plant.Lines.push_back(RowLine(row, errors));
    }
    for (int row = 0; row < Feeders_->rowCount(); ++row) {
        plant.Feeders.push_back(RowFeeder(row, errors));
    }
    return plant;
}

void CPlantEditorDlg::ShowFault(const QString& key) {
    static const QRegularExpression pattern(
        QStringLiteral("^(lines|feeders)\\[(\\d+)\\]\\.(\\w+)$"));
    const QRegularExpressionMatch match = pattern.match(key);
    if (!match.hasMatch()) {
        return;
    }
    const bool line = match.captured(1) == QLatin1String("lines");
    const int row = match.captured(2).toInt();
    const QString field = match.captured(3);
    static const QStringList lineKeys = {
        QStringLiteral("id"),      QStringLiteral("type"),    QStringLiteral("port"),
        QStringLiteral("baud"),    QStringLiteral("parity"),  QStringLiteral("host"),
        QStringLiteral("tcpPort"), QStringLiteral("framing"), QStringLiteral("connectTimeoutMs")};
    static const QStringList feederKeys = {
        QStringLiteral("tag"),     QStringLiteral("description"),  QStringLiteral("line"),
        QStringLiteral("address"), QStringLiteral("settingsFile"), QStringLiteral("ratedCurrent"),
        QStringLiteral("ctRatio"), QStringLiteral("ratedVoltage")};
    QTableWidget* table = line ? Lines_ : Feeders_;
    int column = (line ? lineKeys : feederKeys).indexOf(field);
    if (line && field == QLatin1String("port") && row < Lines_->rowCount() &&
        CellValue(*Lines_, row, LineType).toString() == PlantLineKindWord(PlantLineKind::Tcp)) {
        column = LineTcpPort;
    }
    if (row < table->rowCount() && column >= 0) {
        table->setCurrentCell(row, column);
        table->setFocus();
    }
}

void CPlantEditorDlg::accept() {
    PlantFileErrors errors;
    const Plant plant = Edited(&errors);
    // A field that is no number is reported once, not again as out of range.
    QSet<QString> reported;
    for (const PlantFileError& error : errors) {
        reported.insert(error.Key);
    }
    for (const PlantFileError& error : ValidatePlant(plant)) {
        if (!reported.contains(error.Key)) {
            errors.push_back(error);
        }
    }
    if (!errors.isEmpty()) {
        QStringList reasons;
        for (const PlantFileError& error : errors) {
            reasons << error.Reason;
        }
        Dialogs_.Inform(this,
                        tr("厂站设置有误，请改正：\n%1").arg(reasons.join(QLatin1Char('\n'))));
        ShowFault(errors.first().Key);
        return;
    }
    Result_ = plant;
    QDialog::accept();
}

}  // namespace mp
