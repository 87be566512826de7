#pragma once
// CFieldBinding: the table that moves the main window's bound values between their fields
// and their controls, all at once, in either direction.

#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QLineEdit;
class QWidget;

namespace mp {

class CFieldBinding {
public:
    // Entries are moved in the order they were added.
    void AddText(QLineEdit* edit, std::string* field);
    void AddInteger(QLineEdit* edit, int32_t* field);
    // A number the device gave, shown only (never taken back): empty while it is below 0,
    // not read yet.
    void AddReading(QLineEdit* edit, int32_t* field);
    // A read-only text whose values come from `list` (device texts such as the start mode):
    // shown in the window's language, taken back as the list's own text.
    void AddListText(QLineEdit* edit, std::string* field, std::vector<std::string> list);
    // A drop-down whose items carry their value as item data (shown text in the window's
    // language) or, without data, are their own value.
    void AddComboText(QComboBox* combo, std::string* field);

    // Every field into its control. A drop-down selects the item whose value equals the
    // field, or shows the field as its edit text when no item does. A control whose text the
    // operator has changed since it was last shown or taken keeps it while its field still
    // holds what was shown then (a poll tick shows every field, and must not undo typing);
    // `replaceTyped` puts every field's value in all the same.
    void Show(bool replaceTyped = false);

    // The list texts alone, again: after a change of language. Nothing typed is touched.
    void ShowListTexts() const;

    // Every control into its field, in table order; a taken text counts as shown. Stops at the
    // first integer control whose text is no whole number and returns it; the fields before it are
    // taken, the rest keep their values. nullptr when every field was taken.
    QWidget* Take();

    // What the control bound to `field` (a bound text or integer) holds now, as Take would read
    // it, without taking it; an empty text when no control is bound to it.
    QString ControlTextOf(const void* field) const;

    int Count() const { return static_cast<int>(Entries_.size()); }

private:
    enum class Kind { Text, Integer, ComboText, ListText, Reading };
    struct Entry {
        Kind EntryKind;
        QWidget* Control;
        std::string* Text;
        int32_t* Number;
        std::vector<std::string> List;
        QString Shown;  // the control's value as last shown or taken
    };
    void Add(Entry entry);
    // The control's value now: its text, or for a drop-down the value of the item it shows.
    static QString ControlText(const Entry& entry);
    std::vector<Entry> Entries_;
};

}  // namespace mp
