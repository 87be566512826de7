// Writes the COMTRADE files of a simulated motor start (ASCII and binary) and, beside them,
// expected.json with what was captured: the channels, the sample times and values, taken from
// the samples themselves, not from the files. comtrade_readback.py reads both and compares.
//
//     comtrade-sample OUTPUT-FOLDER

#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <cstdio>

#include "simulator/MotorStart.h"
#include "starts/Comtrade.h"
#include "starts/StartHistory.h"
#include "starts/StartsController.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: comtrade-sample OUTPUT-FOLDER\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(out.path());

    // A start of 6 × 9 A, read at uneven times (95 to 130 ms apart) as polling does; the
    // 12th current read and the 30th voltage read got no reply.
    mp::MotorStartProfile profile;
    std::vector<mp::TrendSample> samples;
    int64_t t = 0;
    for (int k = 0; k < 120; ++k) {
        mp::TrendSample sample;
        sample.TimeMs = 1'765'000'000'000 + t;
        for (size_t phase = 0; phase < 3; ++phase) {
            const double current =
                (9.0 + 0.1 * static_cast<double>(phase)) * mp::MotorStartCurrent(profile, t);
            const double voltage =
                (380.0 + static_cast<double>(phase)) * mp::MotorStartVoltage(profile, t);
            if (k != 11) {
                sample.Currents[phase] = std::round(current * 100.0) / 100.0;
            }
            if (k != 29) {
                sample.Voltages[phase] = std::round(voltage * 10.0) / 10.0;
            }
        }
        if (k != 11) {
            sample.Inputs = static_cast<uint8_t>(0x05 | (k % 4 == 0 ? 0x80 : 0));
            sample.Outputs = static_cast<uint8_t>(k < 60 ? 0x01 : 0x03);
        }
        samples.push_back(sample);
        t += 95 + (k * 7) % 36;
    }

    mp::ComtradeHeader header;
    header.Station = "一号电机控制中心";
    header.Device = "M-101";
    header.CtRatio = 50;
    header.UtcOffsetMinutes = 480;
    header.TriggerMs = samples.front().TimeMs;
    for (const auto& [format, name] : {std::pair{mp::ComtradeFormat::Ascii, "start-ascii"},
                                       std::pair{mp::ComtradeFormat::Binary, "start-binary"}}) {
        QString error;
        if (!mp::CStartsController::SaveComtrade(
                out.filePath(QString::fromLatin1(name) + QStringLiteral(".cfg")),
                mp::MakeComtrade(samples, header, format), &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
    }

    QJsonArray analog;
    QJsonArray times;
    QJsonArray digital;
    for (int channel = 0; channel < 6; ++channel) {
        QJsonArray values;
        for (const mp::TrendSample& sample : samples) {
            const auto& value = channel < 3 ? sample.Currents[static_cast<size_t>(channel)]
                                            : sample.Voltages[static_cast<size_t>(channel - 3)];
            values.append(value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null));
        }
        analog.append(values);
    }
    for (int channel = 0; channel < 11; ++channel) {
        QJsonArray values;
        for (const mp::TrendSample& sample : samples) {
            const auto& bits = channel < 8 ? sample.Inputs : sample.Outputs;
            values.append(bits ? (*bits >> (channel < 8 ? channel : channel - 8)) & 1 : 0);
        }
        digital.append(values);
    }
    for (const mp::TrendSample& sample : samples) {
        times.append(static_cast<double>(sample.TimeMs - samples.front().TimeMs) / 1000.0);
    }
    QJsonArray analogIds;
    for (const std::string& id : mp::ComtradeAnalogIds()) {
        analogIds.append(QString::fromStdString(id));
    }
    QJsonArray digitalIds;
    for (const std::string& id : mp::ComtradeDigitalIds()) {
        digitalIds.append(QString::fromStdString(id));
    }
    const QJsonObject expected{
        {QStringLiteral("station"), QString::fromStdString(header.Station)},
        {QStringLiteral("device"), QString::fromStdString(header.Device)},
        {QStringLiteral("analogIds"), analogIds},
        {QStringLiteral("units"), QJsonArray{"A", "A", "A", "V", "V", "V"}},
        {QStringLiteral("digitalIds"), digitalIds},
        {QStringLiteral("count"), static_cast<int>(samples.size())},
        {QStringLiteral("seconds"), times},
        {QStringLiteral("analog"), analog},
        {QStringLiteral("digital"), digital},
        {QStringLiteral("first"), QStringLiteral("06/12/2025,13:46:40.000000")}};
    QString error;
    if (!mp::WriteWhole(out.filePath(QStringLiteral("expected.json")),
                        QJsonDocument(expected).toJson(), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
