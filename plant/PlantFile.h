#pragma once
// The plant file: a JSON document naming the lines (serial ports, Ethernet gateways, the
// built-in simulated devices) and the feeders on them; described key by key in the README.
// A file is read and checked whole: the result is a complete plant or every fault that could
// be found, each with the file, the key (a JSON path such as "feeders[3].address") and the
// reason. Keys this program does not know are kept and written back unchanged. Saving writes
// the same format, keys in a fixed order, and replaces the old file only when whole.

#include <QByteArray>
#include <QString>
#include <QVector>
#include <optional>

#include "plant/Plant.h"

namespace mp {

struct PlantFileError {
    QString File;    // as given to the reader; empty for a plant checked in memory
    QString Key;     // "lines[1].host", "feeders[3].address"; empty for the whole file
    QString Reason;  // in the window's language, naming the line or feeder in words

    // "<file>: <reason> (<key>)", leaving out what is empty.
    QString Text() const;
};

using PlantFileErrors = QVector<PlantFileError>;

struct PlantFileResult {
    std::optional<Plant> Value;  // present only when there are no errors
    PlantFileErrors Errors;

    bool Ok() const { return Value.has_value(); }
};

inline constexpr char kPlantFormatName[] = "motor-protector-plant";
// Files larger than this are no plant file.
inline constexpr qint64 kLargestPlantFile = 4 << 20;

// Reads a plant file's text; `fileName` only goes into the errors.
PlantFileResult ParsePlant(const QByteArray& bytes, const QString& fileName);
PlantFileResult LoadPlant(const QString& path);
// The document as SavePlant writes it.
QByteArray PlantJson(const Plant& plant);
// Checks the plant and writes it whole, or leaves the old file as it was; the errors say
// why (a plant that does not pass ValidatePlant is not written).
PlantFileErrors SavePlant(const QString& path, const Plant& plant);

// What loading and the plant editor check beyond the file's shape: line ids present and
// unique, a known baud rate and a port for a serial line, a host name or IP address and a
// port in 1-65535 for a gateway, tags present and unique, each feeder on a line that exists
// at an address in 1-247 that no other feeder of its line has, rated data above zero.
PlantFileErrors ValidatePlant(const Plant& plant);

// The words of the file for a line's kind, parity and framing ("serial", "none", "rtu").
QString PlantLineKindWord(PlantLineKind kind);
QString PlantParityWord(int parity);
QString PlantFramingWord(TcpFraming framing);

}  // namespace mp
