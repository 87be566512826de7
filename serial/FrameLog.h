#pragma once
// The logging category of the raw frames on the line, in hex, and the hook that feeds it
// from a transaction. Off unless enabled, e.g. QT_LOGGING_RULES="motorprotector.frames.debug=true".

#include <QLoggingCategory>
#include <QString>
#include <cstdint>
#include <vector>

namespace mp {

Q_DECLARE_LOGGING_CATEGORY(lcFrames)

class CModbusTransaction;

// "TX 01 03 01 50 00 01 85 E7" for a frame sent, "RX ..." for bytes taken in.
QString FrameLogLine(bool outgoing, const std::vector<uint8_t>& bytes);

// Makes `link` report every frame it sends and every batch it takes in to lcFrames.
void InstallFrameLog(CModbusTransaction& link);

}  // namespace mp
