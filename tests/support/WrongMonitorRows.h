#pragma once
// The communication monitor's rows checked against a reference device: every reply a read
// located must be the reply that device gives to the row's request, never another read's.

#include <QByteArray>
#include <QStringList>
#include <vector>

#include "diagnostics/ExchangeLog.h"
#include "simulator/SimulatedDevice.h"

namespace mp::test {

inline QString HexText(const std::vector<uint8_t>& bytes) {
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char*>(bytes.data()), int(bytes.size())).toHex(' '));
}

// One line per row whose located reply is not `reference`'s reply to its request.
inline QStringList WrongMonitorRows(const CExchangeLog& log, CSimulatedDevice& reference) {
    QStringList wrong;
    for (const ExchangeRecord& record : log.Since(0)) {
        if (record.Type != ExchangeRecord::Kind::Exchange || record.ReplyLength <= 0 ||
            record.Position < 0) {
            continue;
        }
        const auto from = record.Reply.begin() + record.Position;
        const std::vector<uint8_t> located(from, from + record.ReplyLength);
        if (located != reference.Handle(record.Request)) {
            wrong << QStringLiteral("monitor row %1: request %2 shows reply %3")
                         .arg(record.Sequence)
                         .arg(HexText(record.Request), HexText(located));
        }
    }
    return wrong;
}

}  // namespace mp::test
