#include "starts/Comtrade.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace mp {
namespace {

constexpr int kAnalogCount = 6;
constexpr int kDigitalCount = 11;
constexpr int16_t kMissing = -32768;  // 0x8000
constexpr double kStep = 0.01;        // the finest step the relay reports

std::optional<double> Analog(const TrendSample& sample, int channel) {
    return channel < 3 ? sample.Currents[static_cast<size_t>(channel)]
                       : sample.Voltages[static_cast<size_t>(channel - 3)];
}

int Digital(const TrendSample& sample, int channel) {
    if (channel < 8) {
        return sample.Inputs ? (*sample.Inputs >> channel) & 1 : 0;
    }
    return sample.Outputs ? (*sample.Outputs >> (channel - 8)) & 1 : 0;
}

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

// Commas separate the fields of a .cfg line; at most 64 bytes, not cut inside a UTF-8 letter.
std::string Field(const std::string& text) {
    std::string field = text;
    std::replace(field.begin(), field.end(), ',', ' ');
    std::replace(field.begin(), field.end(), '\r', ' ');
    std::replace(field.begin(), field.end(), '\n', ' ');
    if (field.size() > 64) {
        size_t cut = 64;
        while (cut > 0 && (static_cast<unsigned char>(field[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        field.resize(cut);
    }
    return field.empty() ? std::string("-") : field;
}

// Days since 1970-01-01 as year, month, day of the proleptic Gregorian calendar.
void CivilDate(int64_t days, int& year, int& month, int& day) {
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t dayOfEra = days - era * 146097;
    const int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
}

// dd/mm/yyyy,hh:mm:ss.ssssss of a local time in ms since the epoch.
std::string Date(int64_t localMs) {
    const int64_t msPerDay = 86400000;
    int64_t days = localMs / msPerDay;
    int64_t ms = localMs % msPerDay;
    if (ms < 0) {
        ms += msPerDay;
        --days;
    }
    int year = 0;
    int month = 0;
    int day = 0;
    CivilDate(days, year, month, day);
    char text[48];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d,%02d:%02d:%02d.%06d", day, month, year,
                  static_cast<int>(ms / 3600000), static_cast<int>(ms / 60000 % 60),
                  static_cast<int>(ms / 1000 % 60), static_cast<int>(ms % 1000) * 1000);
    return text;
}

// "+8", "-3h30", "0": the offset from UTC as time_code and local_code write it.
std::string Offset(int minutes) {
    if (minutes == 0) {
        return "0";
    }
    const char sign = minutes < 0 ? '-' : '+';
    const int magnitude = std::abs(minutes);
    std::string text = sign + std::to_string(magnitude / 60);
    if (magnitude % 60 != 0) {
        text += "h" + std::to_string(magnitude % 60);
    }
    return text;
}

void PutLe(std::string& bytes, uint32_t value, int count) {
    for (int k = 0; k < count; ++k) {
        bytes.push_back(static_cast<char>((value >> (8 * k)) & 0xFF));
    }
}

}  // namespace

const std::vector<std::string>& ComtradeAnalogIds() {
    static const std::vector<std::string> ids{"IA", "IB", "IC", "UA", "UB", "UC"};
    return ids;
}

const std::vector<std::string>& ComtradeDigitalIds() {
    static const std::vector<std::string> ids{"DI1", "DI2", "DI3",   "DI4",   "DI5",      "DI6",
                                              "DI7", "DI8", "OUT_A", "OUT_B", "OUT_RESET"};
    return ids;
}

double ComtradeScale(double largest) {
    const double steps = std::ceil(std::abs(largest) / (kStep * 32767.0) - 1e-9);
    return kStep * std::max(1.0, steps);
}

ComtradeFiles MakeComtrade(const std::vector<TrendSample>& samples, const ComtradeHeader& header,
                           ComtradeFormat format) {
    ComtradeFiles files;
    if (samples.empty()) {
        return files;
    }
    std::array<double, kAnalogCount> scale{};
    for (int channel = 0; channel < kAnalogCount; ++channel) {
        double largest = 0;
        for (const TrendSample& sample : samples) {
            if (const auto value = Analog(sample, channel)) {
                largest = std::max(largest, std::abs(*value));
            }
        }
        scale[static_cast<size_t>(channel)] = ComtradeScale(largest);
    }

    const std::string crlf = "\r\n";
    std::string& cfg = files.Cfg;
    cfg += Field(header.Station) + "," + Field(header.Device) + ",2013" + crlf;
    cfg += std::to_string(kAnalogCount + kDigitalCount) + "," + std::to_string(kAnalogCount) +
           "A," + std::to_string(kDigitalCount) + "D" + crlf;
    static const char* const kPhases[] = {"A", "B", "C", "A", "B", "C"};
    for (int channel = 0; channel < kAnalogCount; ++channel) {
        const bool current = channel < 3;
        cfg += std::to_string(channel + 1) + "," +
               ComtradeAnalogIds()[static_cast<size_t>(channel)] + "," + kPhases[channel] + ",," +
               (current ? "A" : "V") + "," + Number(scale[static_cast<size_t>(channel)]) +
               ",0,0,-32767,32767," + Number(current ? header.CtRatio : 1.0) + ",1,P" + crlf;
    }
    for (int channel = 0; channel < kDigitalCount; ++channel) {
        cfg += std::to_string(kAnalogCount + channel + 1) + "," +
               ComtradeDigitalIds()[static_cast<size_t>(channel)] + ",,,0" + crlf;
    }
    cfg += Number(header.Frequency) + crlf;
    cfg += "0" + crlf;
    cfg += "0," + std::to_string(samples.size()) + crlf;
    const int64_t first = samples.front().TimeMs;
    const int64_t offsetMs = static_cast<int64_t>(header.UtcOffsetMinutes) * 60000;
    const int64_t trigger = header.TriggerMs >= 0 ? header.TriggerMs : first;
    cfg += Date(first + offsetMs) + crlf;
    cfg += Date(trigger + offsetMs) + crlf;
    cfg += std::string(format == ComtradeFormat::Ascii ? "ASCII" : "BINARY") + crlf;
    cfg += "1000" + crlf;  // the stamps are ms; × 1000 gives the file's µs
    cfg += Offset(header.UtcOffsetMinutes) + "," + Offset(header.UtcOffsetMinutes) + crlf;
    cfg += "F,0" + crlf;

    std::string& dat = files.Dat;
    uint32_t number = 0;
    for (const TrendSample& sample : samples) {
        ++number;
        const int64_t stamp = sample.TimeMs - first;
        std::array<int, kAnalogCount> values{};
        std::array<bool, kAnalogCount> present{};
        for (int channel = 0; channel < kAnalogCount; ++channel) {
            const auto value = Analog(sample, channel);
            present[static_cast<size_t>(channel)] = value.has_value();
            if (value) {
                values[static_cast<size_t>(channel)] =
                    static_cast<int>(std::lround(*value / scale[static_cast<size_t>(channel)]));
            }
        }
        if (format == ComtradeFormat::Ascii) {
            std::string line = std::to_string(number) + "," + std::to_string(stamp);
            for (int channel = 0; channel < kAnalogCount; ++channel) {
                line += ",";
                if (present[static_cast<size_t>(channel)]) {
                    line += std::to_string(values[static_cast<size_t>(channel)]);
                }
            }
            for (int channel = 0; channel < kDigitalCount; ++channel) {
                line += "," + std::to_string(Digital(sample, channel));
            }
            dat += line + crlf;
        } else {
            PutLe(dat, number, 4);
            PutLe(dat, static_cast<uint32_t>(static_cast<int32_t>(stamp)), 4);
            for (int channel = 0; channel < kAnalogCount; ++channel) {
                const int16_t x = present[static_cast<size_t>(channel)]
                                      ? static_cast<int16_t>(values[static_cast<size_t>(channel)])
                                      : kMissing;
                PutLe(dat, static_cast<uint16_t>(x), 2);
            }
            uint32_t word = 0;
            for (int channel = 0; channel < kDigitalCount; ++channel) {
                word |= static_cast<uint32_t>(Digital(sample, channel)) << channel;
            }
            PutLe(dat, word, 2);  // 11 status channels: one 16-bit word
        }
    }
    return files;
}

}  // namespace mp
