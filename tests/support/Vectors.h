#pragma once
// The independently computed frames of tests/data/frames.tsv, looked up by kind, address
// and description.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace mp::test {

inline std::vector<uint8_t> HexBytes(const QString& hex) {
    std::vector<uint8_t> bytes;
    for (const QString& part : hex.split(' ', Qt::SkipEmptyParts)) {
        bytes.push_back(static_cast<uint8_t>(part.toUInt(nullptr, 16)));
    }
    return bytes;
}

// The frame of the given kind ("request" or "response"), address and description.
inline std::vector<uint8_t> VectorFrame(const QString& kind, int address, const QString& what) {
    QFile file(QStringLiteral(MP_VECTORS_FILE));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        throw std::runtime_error("cannot open the frame vectors");
    }
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith('#')) {
            continue;
        }
        const QStringList cols = line.split('\t');
        if (cols.size() == 4 && cols[0] == kind && cols[1].toInt() == address && cols[2] == what) {
            return HexBytes(cols[3]);
        }
    }
    throw std::runtime_error(("no vector for " + what).toStdString());
}

}  // namespace mp::test
