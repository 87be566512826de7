#pragma once
// A plant as its file describes it: the lines (serial ports and Ethernet gateways) and the
// feeders, each a relay at a slave address on one of the lines. Keys the program does not
// know are kept as they were read and written back unchanged.

#include <QJsonObject>
#include <QString>
#include <QVector>
#include <optional>

namespace mp {

enum class PlantLineKind { Serial, Tcp, Simulated };
// How a gateway carries the frames: the RTU frame with its CRC in a TCP stream, or Modbus
// TCP (the MBAP header, no CRC).
enum class TcpFraming { Rtu, Mbap };

struct PlantLine {
    QString Id;  // the name feeders refer to, unique in the plant, e.g. "L1"
    PlantLineKind Kind = PlantLineKind::Serial;
    // Serial: the port as the system names it, its rate and parity (modbus/Port.h codes).
    QString Port;
    int BaudRate = 9600;
    int Parity = 0;
    // TCP gateway.
    QString Host;
    int TcpPort = 502;
    TcpFraming Framing = TcpFraming::Rtu;
    int ConnectTimeoutMs = 3000;
    QJsonObject Unknown;  // keys kept as read
};

struct Feeder {
    QString Tag;  // e.g. "M-101", unique in the plant
    QString Description;
    QString Line;  // the Id of its line
    int Address = 1;
    QString SettingsFile;  // optional, relative to the plant file's folder
    // A settings file that serves as the template of the feeder's motor class (relative to
    // the plant file's folder), and what the feeder sets otherwise: the settings file's keys
    // ("settings": texts, "protections": true or false), over the template and the rated data.
    QString Template;
    QJsonObject Overrides;
    // Rated data (optional): what the overview scales the currents by.
    std::optional<double> RatedCurrent;  // A
    std::optional<double> CtRatio;
    std::optional<double> RatedVoltage;  // V
    QJsonObject Unknown;
};

struct Plant {
    static constexpr int kVersion = 1;
    QString Name;
    QVector<PlantLine> Lines;
    QVector<Feeder> Feeders;
    QJsonObject Unknown;

    const PlantLine* FindLine(const QString& id) const {
        for (const PlantLine& line : Lines) {
            if (line.Id == id) {
                return &line;
            }
        }
        return nullptr;
    }
};

}  // namespace mp
