#include "app/FieldBinding.h"

#include <QComboBox>
#include <QLineEdit>
#include <limits>

namespace mp {

namespace {

bool IsBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

}  // namespace

void CFieldBinding::AddText(QLineEdit* edit, std::string* field) {
    Entries_.push_back({Kind::Text, edit, field, nullptr});
}

void CFieldBinding::AddInteger(QLineEdit* edit, int32_t* field) {
    Entries_.push_back({Kind::Integer, edit, nullptr, field});
}

void CFieldBinding::AddComboText(QComboBox* combo, std::string* field) {
    Entries_.push_back({Kind::ComboText, combo, field, nullptr});
}

void CFieldBinding::Show() const {
    for (const Entry& entry : Entries_) {
        switch (entry.EntryKind) {
            case Kind::Text:
                static_cast<QLineEdit*>(entry.Control)
                    ->setText(QString::fromStdString(*entry.Text));
                break;
            case Kind::Integer:
                static_cast<QLineEdit*>(entry.Control)->setText(QString::number(*entry.Number));
                break;
            case Kind::ComboText: {
                auto* combo = static_cast<QComboBox*>(entry.Control);
                const QString value = QString::fromStdString(*entry.Text);
                const int index = combo->findText(value, Qt::MatchExactly | Qt::MatchCaseSensitive);
                if (index >= 0) {
                    combo->setCurrentIndex(index);
                }
                if (combo->isEditable()) {
                    // Also when the item is already current: the operator may have typed
                    // over its text since.
                    combo->setEditText(value);
                }
                break;
            }
        }
    }
}

QWidget* CFieldBinding::Take() {
    for (Entry& entry : Entries_) {
        switch (entry.EntryKind) {
            case Kind::Text:
                *entry.Text = static_cast<QLineEdit*>(entry.Control)->text().toStdString();
                break;
            case Kind::Integer: {
                const auto number =
                    ParseWholeNumber(static_cast<QLineEdit*>(entry.Control)->text());
                if (!number) {
                    return entry.Control;
                }
                *entry.Number = *number;
                break;
            }
            case Kind::ComboText:
                *entry.Text = static_cast<QComboBox*>(entry.Control)->currentText().toStdString();
                break;
        }
    }
    return nullptr;
}

std::optional<int32_t> CFieldBinding::ParseWholeNumber(const QString& text) {
    int pos = 0;
    const int size = static_cast<int>(text.size());
    while (pos < size && IsBlank(text[pos])) {
        ++pos;
    }
    bool negative = false;
    if (pos < size && (text[pos] == QLatin1Char('+') || text[pos] == QLatin1Char('-'))) {
        negative = text[pos] == QLatin1Char('-');
        ++pos;
    }
    const int firstDigit = pos;
    int64_t magnitude = 0;
    while (pos < size && text[pos] >= QLatin1Char('0') && text[pos] <= QLatin1Char('9')) {
        magnitude = magnitude * 10 + (text[pos].unicode() - '0');
        if (magnitude > int64_t{std::numeric_limits<int32_t>::max()} + 1) {
            return std::nullopt;
        }
        ++pos;
    }
    if (pos == firstDigit) {
        return std::nullopt;
    }
    while (pos < size && IsBlank(text[pos])) {
        ++pos;
    }
    if (pos != size) {
        return std::nullopt;
    }
    const int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<int32_t>(value);
}

}  // namespace mp
