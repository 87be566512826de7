#pragma once
// The comparison of the device's settings with the window's (or a file's): one row per
// setting and protection check box with the device's value, the window's value and the
// factory value, marked where the device holds a different value from the window's.

#include <QString>
#include <vector>

#include "files/SettingsFile.h"
#include "files/SettingsValues.h"

namespace mp {

// What the operator chose in the comparison window.
enum class ComparisonChoice { Close, TakeDevice, TakeFile };

// A row holds the Chinese source texts (data); the window shows them in its language.
struct ComparisonRow {
    QString Caption;  // with its unit, in the window's language when the row was made
    QString Device;   // a number, a list text, "投入"/"退出" or kNotInListText
    QString Window;
    QString Default;  // empty when the setting has no factory value
    bool Differs = false;
    const char* CaptionSource = nullptr;  // the caption as marked for translation
    const char* UnitSource = "";          // the unit as marked, "" for none
    bool Worded = false;                  // the values are list texts or states, shown translated

    // The caption with its unit and a value, in the window's language now.
    QString ShownCaption() const;
    QString Shown(const QString& value) const;
};

// Everything the comparison window shows; the words are made in the window's language when
// asked for, so that an open window can show them again after a language switch.
struct ComparisonView {
    std::vector<ComparisonRow> Rows;
    DeviceLine Line;            // the connection the device's values were read on
    QString FileName;           // the file the window's values came from; empty: the window's
    QString FilePath;           // the settings file open, for its write records; empty: none
    QList<WriteRecord> Writes;  // that file's write records, oldest first
    bool CanTakeFile = false;

    int Differences() const;
    QString DeviceHeader() const;  // the device and its connection
    QString WindowHeader() const;  // "窗口", or "文件 <name>"
    QString Records() const;       // the file's write records, one per line; empty without a file
};

// The connection in words: "串口 COM3，地址 1，波特率 9600".
QString LineText(const DeviceLine& line);
// Date and time as the window shows them.
QString TimeText(const QDateTime& time);

// The text shown for a device's list setting it reported outside its list.
extern const char* const kNotInListText;  // "（无效值）"

// The nineteen settings then the nine check boxes. A setting differs when writing the
// window's text would leave the device with another value ("50" and "50.0" do not differ).
std::vector<ComparisonRow> CompareSettings(const SettingsValues& device,
                                           const SettingsValues& window);

// The factory values (the start mode has none: it is set by its own command).
SettingsValues FactoryValues();

// The device's values as they go into the window: a list setting the device reported outside
// its list keeps the window's text.
SettingsValues DeviceValuesForWindow(const SettingsValues& device, const SettingsValues& window);

}  // namespace mp
