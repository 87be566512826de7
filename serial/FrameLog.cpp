#include "serial/FrameLog.h"

#include <QByteArray>

#include "modbus/ModbusTransaction.h"

namespace mp {

Q_LOGGING_CATEGORY(lcFrames, "motorprotector.frames", QtInfoMsg)

QString FrameLogLine(bool outgoing, const std::vector<uint8_t>& bytes) {
    const QByteArray raw(reinterpret_cast<const char*>(bytes.data()),
                         static_cast<qsizetype>(bytes.size()));
    return QString::fromLatin1(outgoing ? "TX " : "RX ") +
           QString::fromLatin1(raw.toHex(' ').toUpper());
}

void InstallFrameLog(CModbusTransaction& link) {
    link.SetTrace([](bool outgoing, const std::vector<uint8_t>& bytes) {
        if (lcFrames().isDebugEnabled()) {
            qCDebug(lcFrames).noquote() << FrameLogLine(outgoing, bytes);
        }
    });
}

}  // namespace mp
