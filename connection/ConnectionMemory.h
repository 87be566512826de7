#pragma once
// CConnectionMemory: the last connection whose port opened, kept in the user's settings so
// that the start-up dialog opens with it. Values that are missing, out of range or name a
// port that is gone come back as the start-up defaults (COM1, 9600, no parity, address 1).

#include <QString>
#include <vector>

#include "line/ConnectionSettings.h"

class QSettings;

namespace mp {

class CConnectionMemory {
public:
    // Reads and writes `settings`, which outlives this object.
    explicit CConnectionMemory(QSettings& settings) : Settings_(settings) {}

    // The remembered connection. A device path is kept when it is one of `systemPorts` (the
    // ports the system reports) or its file still exists; "COM1" to "COM32" and the built-in
    // device are always kept.
    ConnectionSettings Load(const std::vector<QString>& systemPorts) const;
    void Save(const ConnectionSettings& connection);

private:
    QSettings& Settings_;
};

}  // namespace mp
