#pragma once
// A settings file: one device's settings as a JSON document, with the format's version, the
// tool's version, when it was saved and from which connection, a free-text note, and the
// record of every write of its values to a device. The format is described in the README.
// A file is read whole and checked before anything uses it; keys this tool does not know are
// kept when the file is saved again.

#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <optional>

#include "files/SettingsValues.h"

namespace mp {

// A port, device address and baud rate.
struct DeviceLine {
    QString Port;      // "COM3", "/dev/ttyUSB0", "内置模拟设备"
    int Address = 0;   // 1 to 247
    int BaudRate = 0;  // 1200 to 19200
};

// One write of the file's values to a device.
struct WriteRecord {
    QDateTime WrittenAt;
    DeviceLine Line;
};

class CSettingsFile {
public:
    static constexpr int kFormatVersion = 1;
    static const char* const kFormatName;  // "motor-protector-settings"
    // Files larger than this are no settings file.
    static constexpr qint64 kLargestFile = 1 << 20;

    // Reads and checks the file. Without a usable file: nothing, and `reason` says why.
    static std::optional<CSettingsFile> Load(const QString& path, QString* reason);
    // Checks a document: JSON, this format in a version not newer than this tool's, every
    // setting present and a value the write would send, every check box true or false.
    static std::optional<CSettingsFile> Parse(const QByteArray& bytes, QString* reason);

    // The document, indented, with the keys this tool does not know as they were loaded.
    QByteArray ToJson() const;
    // Writes the whole file or, on failure, leaves what was there and says why.
    bool Save(const QString& path, QString* reason) const;

    // The writes of the values recorded so far, oldest first (those the tool can read).
    const QList<WriteRecord>& Writes() const { return Writes_; }
    void AddWrite(const WriteRecord& record);
    // Forgets the write records (the values are no longer the ones written).
    void ClearWrites();

    SettingsValues Values;
    QString Note;         // panel, feeder, motor: free text
    QString ToolVersion;  // of the tool that saved the file
    QDateTime SavedAt;
    DeviceLine Source;  // the connection the tool had when the file was saved

private:
    QJsonObject Document_;  // as loaded
    QList<WriteRecord> Writes_;
    QJsonArray WritesJson_;  // as loaded and added, also entries this tool cannot read
};

// Date and time as the file keeps them: ISO 8601 with the offset from UTC.
QString FileTimeText(const QDateTime& time);

}  // namespace mp
