#include "connection/ConnectionMemory.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <algorithm>
#include <optional>

#include "device/LineCodes.h"

namespace mp {

namespace {

const QString kPortKey = QStringLiteral("connection/port");
const QString kBaudKey = QStringLiteral("connection/baud");
const QString kParityKey = QStringLiteral("connection/parity");
const QString kAddressKey = QStringLiteral("connection/address");

// The number of "COM1" .. "COM32", 0 for anything else.
int ComNumber(const QString& text) {
    static const QRegularExpression com(QStringLiteral("^COM([1-9]|[12][0-9]|3[0-2])$"));
    const auto match = com.match(text);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

// A whole number stored under `key`, or nothing.
std::optional<int> StoredNumber(const QSettings& settings, const QString& key) {
    bool ok = false;
    const int value = settings.value(key).toString().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

}  // namespace

ConnectionSettings CConnectionMemory::Load(const std::vector<QString>& systemPorts) const {
    ConnectionSettings connection;
    const QString port = Settings_.value(kPortKey).toString();
    if (const int number = ComNumber(port)) {
        connection.PortText = port;
        connection.PortNumber = number;
    } else if (port == kSimulatedPortText ||
               (port.startsWith(QLatin1Char('/')) &&
                (std::find(systemPorts.begin(), systemPorts.end(), port) != systemPorts.end() ||
                 QFileInfo::exists(port)))) {
        connection.PortText = port;
        connection.PortNumber = 0;
    }
    const auto baud = StoredNumber(Settings_, kBaudKey);
    if (baud && IsBaudRate(*baud)) {
        connection.BaudRate = *baud;
    }
    const auto parity = StoredNumber(Settings_, kParityKey);
    if (parity && IsParityCode(*parity)) {
        connection.ParityCode = *parity;
    }
    const auto address = StoredNumber(Settings_, kAddressKey);
    if (address && *address >= kLowestSlaveAddress && *address <= kHighestSlaveAddress) {
        connection.SlaveAddress = static_cast<uint8_t>(*address);
    }
    return connection;
}

void CConnectionMemory::Save(const ConnectionSettings& connection) {
    Settings_.setValue(kPortKey, connection.PortText);
    Settings_.setValue(kBaudKey, connection.BaudRate);
    Settings_.setValue(kParityKey, connection.ParityCode);
    Settings_.setValue(kAddressKey, int(connection.SlaveAddress));
    Settings_.sync();
}

}  // namespace mp
