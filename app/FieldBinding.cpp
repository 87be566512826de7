#include "app/FieldBinding.h"

#include <QComboBox>
#include <QLineEdit>
#include <algorithm>
#include <limits>

#include "language/Text.h"
#include "language/WholeNumber.h"

namespace mp {

namespace {

QString Shown(const std::string& value) {
    return QString::fromStdString(Tr(value.c_str()));
}

// The value of a drop-down item: its data, or its text when it carries none.
QString ItemValue(const QComboBox* combo, int index) {
    const QVariant data = combo->itemData(index);
    return data.isValid() ? data.toString() : combo->itemText(index);
}

int IndexOfValue(const QComboBox* combo, const QString& value) {
    for (int k = 0; k < combo->count(); ++k) {
        if (ItemValue(combo, k) == value) {
            return k;
        }
    }
    return -1;
}

}  // namespace

void CFieldBinding::Add(Entry entry) {
    // What the control holds before the first show counts as shown, not as typed.
    entry.Shown = ControlText(entry);
    Entries_.push_back(std::move(entry));
}

void CFieldBinding::AddText(QLineEdit* edit, std::string* field) {
    Add({Kind::Text, edit, field, nullptr, {}, {}});
}

void CFieldBinding::AddInteger(QLineEdit* edit, int32_t* field) {
    Add({Kind::Integer, edit, nullptr, field, {}, {}});
}

void CFieldBinding::AddReading(QLineEdit* edit, int32_t* field) {
    Add({Kind::Reading, edit, nullptr, field, {}, {}});
}

void CFieldBinding::AddListText(QLineEdit* edit, std::string* field,
                                std::vector<std::string> list) {
    Add({Kind::ListText, edit, field, nullptr, std::move(list), {}});
}

void CFieldBinding::AddComboText(QComboBox* combo, std::string* field) {
    Add({Kind::ComboText, combo, field, nullptr, {}, {}});
}

QString CFieldBinding::ControlText(const Entry& entry) {
    if (entry.EntryKind == Kind::ComboText) {
        // As a value: typed text that is an item's shown text means that item; anything else
        // is taken as typed, for the write's list check to refuse.
        const auto* combo = static_cast<const QComboBox*>(entry.Control);
        const QString text = combo->currentText();
        const int index = combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
        return index >= 0 ? ItemValue(combo, index) : text;
    }
    return static_cast<const QLineEdit*>(entry.Control)->text();
}

QString CFieldBinding::ControlTextOf(const void* field) const {
    for (const Entry& entry : Entries_) {
        if (static_cast<const void*>(entry.Text) == field ||
            static_cast<const void*>(entry.Number) == field) {
            return ControlText(entry);
        }
    }
    return QString();
}

void CFieldBinding::Show(bool replaceTyped) {
    ShowListTexts();
    for (Entry& entry : Entries_) {
        if (entry.EntryKind == Kind::ListText) {
            continue;  // shown above
        }
        QString value = QString::fromStdString(entry.Text != nullptr ? *entry.Text : "");
        if (entry.EntryKind == Kind::Integer) {
            value = QString::number(*entry.Number);
        } else if (entry.EntryKind == Kind::Reading) {
            value = *entry.Number < 0 ? QString() : QString::number(*entry.Number);
        }
        const QString now = ControlText(entry);
        if (now == value) {
            entry.Shown = value;  // nothing to change; whether it was typed stays known
            continue;
        }
        if (!replaceTyped && now != entry.Shown && value == entry.Shown) {
            continue;  // the operator's text stays until it is taken or replaced
        }
        switch (entry.EntryKind) {
            case Kind::Text:
            case Kind::Integer:
            case Kind::Reading:
                static_cast<QLineEdit*>(entry.Control)->setText(value);
                break;
            case Kind::ComboText: {
                auto* combo = static_cast<QComboBox*>(entry.Control);
                const int index = IndexOfValue(combo, value);
                if (index >= 0) {
                    combo->setCurrentIndex(index);
                }
                if (combo->isEditable()) {
                    // Also when the item is already current: the operator may have typed
                    // over its text since.
                    combo->setEditText(index >= 0 ? combo->itemText(index) : value);
                }
                break;
            }
            case Kind::ListText:
                break;
        }
        entry.Shown = ControlText(entry);
    }
}

void CFieldBinding::ShowListTexts() const {
    for (const Entry& entry : Entries_) {
        if (entry.EntryKind == Kind::ListText) {
            const bool listed =
                std::find(entry.List.begin(), entry.List.end(), *entry.Text) != entry.List.end();
            static_cast<QLineEdit*>(entry.Control)
                ->setText(listed ? Shown(*entry.Text) : QString::fromStdString(*entry.Text));
        }
    }
}

QWidget* CFieldBinding::Take() {
    for (Entry& entry : Entries_) {
        entry.Shown = ControlText(entry);
        switch (entry.EntryKind) {
            case Kind::Text:
                *entry.Text = static_cast<QLineEdit*>(entry.Control)->text().toStdString();
                break;
            case Kind::Integer: {
                const auto number =
                    mp::ParseWholeNumber(static_cast<QLineEdit*>(entry.Control)->text());
                if (!number) {
                    return entry.Control;
                }
                *entry.Number = *number;
                break;
            }
            case Kind::ComboText:
                *entry.Text = entry.Shown.toStdString();
                break;
            case Kind::Reading:
                break;  // shown only
            case Kind::ListText: {
                const QString text = static_cast<QLineEdit*>(entry.Control)->text();
                std::string taken = text.toStdString();
                for (const std::string& item : entry.List) {
                    if (Shown(item) == text) {
                        taken = item;
                        break;
                    }
                }
                *entry.Text = taken;
                break;
            }
        }
    }
    return nullptr;
}

}  // namespace mp
