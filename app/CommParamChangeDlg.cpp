#include "app/CommParamChangeDlg.h"

#include <QLineEdit>
#include <QPixmap>
#include <QRegularExpression>
#include <optional>

#include "ui_CommParamChangeDlg.h"

namespace mp {
namespace {

const QStringList kBaudTexts = {QStringLiteral("1200"), QStringLiteral("2400"),
                                QStringLiteral("4800"), QStringLiteral("9600"),
                                QStringLiteral("19200")};

// A whole number as an integer field takes it: blanks around an optionally signed run of
// digits that fits in an int. Anything else is refused.
std::optional<int> WholeNumber(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral("^\\s*[+-]?\\d+\\s*$"));
    if (!pattern.match(text).hasMatch()) {
        return std::nullopt;
    }
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok) {
        return std::nullopt;
    }
    return value;
}

// Selects `text` in a display-only drop-down, adding it when the list lacks it.
void ShowInCombo(QComboBox* combo, const QString& text) {
    int index = combo->findText(text);
    if (index < 0) {
        combo->addItem(text);
        index = combo->count() - 1;
    }
    combo->setCurrentIndex(index);
}

}  // namespace

CCommParamChangeDlg::CCommParamChangeDlg(std::function<void(const QString&)> inform,
                                         QWidget* parent)
    : QDialog(parent), Ui_(new Ui::CCommParamChangeDlg), Inform_(std::move(inform)) {
    Ui_->setupUi(this);
    // The same picture as the start-up communication dialog.
    const QPixmap picture(QStringLiteral(":/images/setup-picture.png"));
    if (!picture.isNull()) {
        Ui_->pictureLabel->setPixmap(picture);
    }
    Ui_->baudCombo->addItems(kBaudTexts);
    Ui_->baudCombo->setEditText(QString());
    Ui_->parityCombo->addItems({tr("无校验"), tr("奇校验"), tr("偶校验")});
    Ui_->addressEdit->setText(QStringLiteral("0"));
    Ui_->okButton->setDefault(true);
    connect(Ui_->okButton, &QPushButton::clicked, this, &CCommParamChangeDlg::accept);
    connect(Ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

CCommParamChangeDlg::~CCommParamChangeDlg() = default;

void CCommParamChangeDlg::SetValues(const CommParamValues& values) {
    Ui_->addressEdit->setText(QString::number(values.Address));
    const int baud = Ui_->baudCombo->findText(values.BaudText);
    if (baud >= 0) {
        Ui_->baudCombo->setCurrentIndex(baud);
    }
    Ui_->baudCombo->setEditText(values.BaudText);
    ShowInCombo(Ui_->portCombo, values.PortText);
    ShowInCombo(Ui_->parityCombo, values.ParityText);
    NewBaudRate_ = values.NewBaudRate;
}

CommParamValues CCommParamChangeDlg::Values() const {
    CommParamValues values;
    values.Address = WholeNumber(Ui_->addressEdit->text()).value_or(0);
    values.BaudText = Ui_->baudCombo->currentText();
    values.PortText = Ui_->portCombo->currentText();
    values.ParityText = Ui_->parityCombo->currentText();
    values.NewBaudRate = NewBaudRate_;
    return values;
}

void CCommParamChangeDlg::Refuse(const QString& text, QWidget* field) {
    if (Inform_) {
        Inform_(text);
    }
    field->setFocus();
    if (auto* edit = qobject_cast<QLineEdit*>(field)) {
        edit->selectAll();
    } else if (auto* combo = qobject_cast<QComboBox*>(field); combo && combo->lineEdit()) {
        combo->lineEdit()->selectAll();
    }
}

void CCommParamChangeDlg::accept() {
    const std::optional<int> address = WholeNumber(Ui_->addressEdit->text());
    if (!address) {
        Refuse(tr("请输入一个整数。"), Ui_->addressEdit);
        return;
    }
    if (*address > 247 || *address <= 0) {
        Refuse(tr("请输入1~247的整数"), Ui_->addressEdit);
        return;
    }
    const QString baudText = Ui_->baudCombo->currentText().trimmed();
    if (!kBaudTexts.contains(baudText)) {
        Refuse(tr("请选择波特率1200、2400、4800、9600或19200"), Ui_->baudCombo);
        return;
    }
    NewBaudRate_ = baudText.toInt();
    QDialog::accept();
}

}  // namespace mp
