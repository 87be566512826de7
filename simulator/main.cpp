// motor-protector-sim: simulated motor protection controllers on a pseudo-terminal, or behind
// a TCP gateway on loopback. Prints the device path (or the gateway's address) to open; the
// tool then talks to it over the real serial stack or through its TCP port.

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "device/LineCodes.h"
#include "modbus/SteadyClock.h"
#include "simulator/PtyServer.h"
#include "simulator/SimulatedBus.h"
#include "simulator/SimulatedDevice.h"
#include "simulator/TcpServer.h"

namespace {

std::atomic<bool> StopRequested{false};

extern "C" void OnStopSignal(int) {
    StopRequested = true;
}

void PrintUsage(const char* program) {
    std::fprintf(stderr,
                 "Usage: %s [options]\n"
                 "Serves a simulated motor protection controller on a pseudo-terminal and\n"
                 "prints the device path to open. Open it with 8 data bits, no parity, 1 stop bit\n"
                 "(a pseudo-terminal carries no parity). With --tcp it serves the devices as an\n"
                 "Ethernet gateway on 127.0.0.1 instead and prints 127.0.0.1:PORT.\n\n"
                 "  --address N          slave address, 1 to 247 (default 1)\n"
                 "  --devices LIST       several devices on the line at these addresses, e.g.\n"
                 "                       1,5,12 or 1..30 or 1..10,12@19200 (each may carry its\n"
                 "                       own rate: 5@19200; a range takes it for all of it).\n"
                 "                       Each device has live values of its own.\n"
                 "  --fault A:SWITCH     a fault of the device at address A only, in place of the\n"
                 "                       line's: silent, corrupt-crc, reply-delay-ms=N,\n"
                 "                       stray=HEX, split=N, piece-gap-ms=N (repeatable, e.g.\n"
                 "                       --fault 7:silent --fault 12:reply-delay-ms=400)\n"
                 "  --tcp PORT           serve as a TCP gateway on 127.0.0.1:PORT (0: a free\n"
                 "                       port); its serial side runs at --baud. Several clients\n"
                 "                       may connect; requests are served one at a time\n"
                 "  --framing rtu|mbap   with --tcp: RTU frames as they are (default), or Modbus\n"
                 "                       TCP (MBAP header, no CRC)\n"
                 "  --baud RATE          1200, 2400, 4800, 9600 or 19200 (default 9600)\n"
                 "  --seed N             seed of the live values' motion (default 1; device k of\n"
                 "                       --devices takes seed + k)\n"
                 "  --still              live values do not move\n"
                 "  --reply-delay-ms N   extra delay before every reply\n"
                 "  --queue-delay-ms N   a busy device: requests queue (at most 16 wait, more\n"
                 "                       are lost) and each is answered N ms after the device\n"
                 "                       takes it up, once the reply before it has left\n"
                 "  --silent             never answer\n"
                 "  --corrupt-crc        spoil the CRC of every reply\n"
                 "  --stray HEX          bytes put on the line ahead of every reply, e.g. 00FF\n"
                 "  --split N            send every reply in N pieces\n"
                 "  --ignore-writes-at HEX  answer writes covering this register (e.g. 5460)\n"
                 "                       but keep the old values\n"
                 "  --piece-gap-ms N     pause between the pieces\n"
                 "  --motor-start-ms N   play a motor start N ms after launch (currents 0\n"
                 "                       until then, a peak of 6 x and a decay of a few s)\n"
                 "  --link PATH          also make PATH a symbolic link to the device\n"
                 "  --trace              print the bytes heard and sent on stderr\n",
                 program);
}

int BaudCodeOf(long rate);

struct DeviceEntry {
    long Address;
    long Baud;  // 0: the --baud rate
};

// "1,5@19200,12" or "1..30" -> the devices' addresses and rates.
bool ParseDevices(const std::string& text, std::vector<DeviceEntry>* devices);

struct DeviceFault {
    long Address;
    mp::SimFaults Faults;
};

bool ParseInt(const char* text, long low, long high, long* value) {
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || parsed < low || parsed > high) {
        return false;
    }
    *value = parsed;
    return true;
}

bool ParseHex(const std::string& text, std::vector<uint8_t>* bytes) {
    std::string digits;
    for (char c : text) {
        if (c != ' ' && c != ':') {
            digits += c;
        }
    }
    if (digits.size() % 2 != 0) {
        return false;
    }
    for (size_t k = 0; k < digits.size(); k += 2) {
        char* end = nullptr;
        const std::string pair = digits.substr(k, 2);
        const long value = std::strtol(pair.c_str(), &end, 16);
        if (*end != '\0') {
            return false;
        }
        bytes->push_back(static_cast<uint8_t>(value));
    }
    return true;
}

int BaudCodeOf(long rate) {
    return rate > 0 && rate <= 1000000 ? mp::BaudCodeOfRate(static_cast<int>(rate)) : -1;
}

bool ParseDevices(const std::string& text, std::vector<DeviceEntry>* devices) {
    size_t from = 0;
    while (from <= text.size()) {
        const size_t comma = std::min(text.find(',', from), text.size());
        const std::string item = text.substr(from, comma - from);
        const size_t at = item.find('@');
        const std::string addresses = item.substr(0, at);
        const size_t dots = addresses.find("..");
        long first = 0;
        long last = 0;
        if (dots == std::string::npos) {
            if (!ParseInt(addresses.c_str(), 1, 247, &first)) {
                return false;
            }
            last = first;
        } else if (!ParseInt(addresses.substr(0, dots).c_str(), 1, 247, &first) ||
                   !ParseInt(addresses.substr(dots + 2).c_str(), first, 247, &last)) {
            return false;
        }
        long baud = 0;
        if (at != std::string::npos &&
            (!ParseInt(item.substr(at + 1).c_str(), 1, 1000000, &baud) || BaudCodeOf(baud) < 0)) {
            return false;
        }
        for (long address = first; address <= last; ++address) {
            for (const DeviceEntry& other : *devices) {
                if (other.Address == address) {
                    return false;  // two devices at one address would answer together
                }
            }
            devices->push_back({address, baud});
        }
        from = comma + 1;
    }
    return !devices->empty();
}

// "7:silent", "12:reply-delay-ms=400" -> a fault of one device, added to those it has.
bool ParseFault(const std::string& text, std::vector<DeviceFault>* faults) {
    const size_t colon = text.find(':');
    long address = 0;
    if (colon == std::string::npos || !ParseInt(text.substr(0, colon).c_str(), 1, 247, &address)) {
        return false;
    }
    const std::string item = text.substr(colon + 1);
    const size_t equals = item.find('=');
    const std::string name = item.substr(0, equals);
    const std::string value = equals == std::string::npos ? std::string() : item.substr(equals + 1);
    auto it = std::find_if(faults->begin(), faults->end(),
                           [address](const DeviceFault& f) { return f.Address == address; });
    if (it == faults->end()) {
        faults->push_back({address, {}});
        it = faults->end() - 1;
    }
    mp::SimFaults& target = it->Faults;
    long number = 0;
    if (name == "silent" && equals == std::string::npos) {
        target.Silent = true;
    } else if (name == "corrupt-crc" && equals == std::string::npos) {
        target.CorruptCrc = true;
    } else if (name == "reply-delay-ms" && ParseInt(value.c_str(), 0, 60000, &number)) {
        target.ReplyDelayMs = static_cast<uint32_t>(number);
    } else if (name == "split" && ParseInt(value.c_str(), 1, 300, &number)) {
        target.SplitPieces = static_cast<int>(number);
    } else if (name == "piece-gap-ms" && ParseInt(value.c_str(), 0, 60000, &number)) {
        target.PieceGapMs = static_cast<uint32_t>(number);
    } else if (name == "stray" && !value.empty()) {
        target.StrayBytes.clear();
        return ParseHex(value, &target.StrayBytes);
    } else {
        return false;
    }
    return true;
}

void Trace(bool incoming, const std::vector<uint8_t>& bytes) {
    std::fprintf(stderr, "%s", incoming ? "<-" : "->");
    for (uint8_t b : bytes) {
        std::fprintf(stderr, " %02X", b);
    }
    std::fprintf(stderr, "\n");
}

}  // namespace

int main(int argc, char** argv) {
    long address = 1;
    long baud = 9600;
    long seed = 1;
    bool still = false;
    bool trace = false;
    std::string link;
    long motorStartMs = -1;
    std::vector<DeviceEntry> entries;
    std::vector<DeviceFault> deviceFaults;
    long tcpPort = -1;
    std::string framing = "rtu";
    mp::SimFaults faults;
    std::optional<uint16_t> ignoredWrite;

    for (int k = 1; k < argc; ++k) {
        const std::string option = argv[k];
        const char* value = k + 1 < argc ? argv[k + 1] : nullptr;
        long number = 0;
        bool ok = true;
        if (option == "--help" || option == "-h") {
            PrintUsage(argv[0]);
            return 0;
        } else if (option == "--still") {
            still = true;
        } else if (option == "--silent") {
            faults.Silent = true;
        } else if (option == "--corrupt-crc") {
            faults.CorruptCrc = true;
        } else if (option == "--trace") {
            trace = true;
        } else if (value == nullptr) {
            ok = false;
        } else {
            ++k;
            if (option == "--address") {
                ok = ParseInt(value, 1, 247, &address);
            } else if (option == "--baud") {
                ok = ParseInt(value, 1, 1000000, &baud) && BaudCodeOf(baud) >= 0;
            } else if (option == "--seed") {
                ok = ParseInt(value, 0, 0x7FFFFFFF, &seed);
            } else if (option == "--reply-delay-ms") {
                ok = ParseInt(value, 0, 60000, &number);
                faults.ReplyDelayMs = static_cast<uint32_t>(number);
            } else if (option == "--queue-delay-ms") {
                ok = ParseInt(value, 0, 60000, &number);
                faults.QueueDelayMs = static_cast<uint32_t>(number);
            } else if (option == "--split") {
                ok = ParseInt(value, 1, 300, &number);
                faults.SplitPieces = static_cast<int>(number);
            } else if (option == "--piece-gap-ms") {
                ok = ParseInt(value, 0, 60000, &number);
                faults.PieceGapMs = static_cast<uint32_t>(number);
            } else if (option == "--ignore-writes-at") {
                std::vector<uint8_t> bytes;
                ok = ParseHex(value, &bytes) && bytes.size() == 2;
                if (ok) {
                    ignoredWrite = static_cast<uint16_t>(bytes[0] << 8 | bytes[1]);
                }
            } else if (option == "--stray") {
                ok = ParseHex(value, &faults.StrayBytes);
            } else if (option == "--motor-start-ms") {
                ok = ParseInt(value, 0, 86400000, &motorStartMs);
            } else if (option == "--devices") {
                ok = ParseDevices(value, &entries);
            } else if (option == "--fault") {
                ok = ParseFault(value, &deviceFaults);
            } else if (option == "--tcp") {
                ok = ParseInt(value, 0, 65535, &tcpPort);
            } else if (option == "--framing") {
                framing = value;
                ok = framing == "rtu" || framing == "mbap";
            } else if (option == "--link") {
                link = value;
            } else {
                ok = false;
            }
        }
        if (!ok) {
            std::fprintf(stderr, "%s: bad option or value: %s\n", argv[0], option.c_str());
            PrintUsage(argv[0]);
            return 2;
        }
    }

    mp::CSimulatedDevice device(static_cast<uint32_t>(seed));
    device.SetAddress(static_cast<uint8_t>(address));
    device.SetBaudCode(BaudCodeOf(baud));
    device.SetLiveMotion(!still);
    device.IgnoreWritesAt(ignoredWrite);
    mp::CSteadyClock clock;
    if (motorStartMs >= 0) {
        device.PlayMotorStart(clock, static_cast<uint32_t>(motorStartMs));
    }

    // The first device of a --devices list is the server's own; the others share its line.
    std::vector<std::unique_ptr<mp::CSimulatedDevice>> others;
    for (size_t k = 0; k < entries.size(); ++k) {
        mp::CSimulatedDevice& target =
            k == 0 ? device
                   : *others.emplace_back(std::make_unique<mp::CSimulatedDevice>(
                         static_cast<uint32_t>(seed + static_cast<long>(k))));
        target.SetAddress(static_cast<uint8_t>(entries[k].Address));
        mp::SetOwnLiveValues(target, static_cast<uint8_t>(entries[k].Address));
        target.SetBaudCode(BaudCodeOf(entries[k].Baud != 0 ? entries[k].Baud : baud));
        target.SetLiveMotion(!still);
    }

    // A fault names a device on the line.
    auto deviceAt = [&](long at) -> mp::CSimulatedDevice* {
        if (device.Address() == at) {
            return &device;
        }
        for (const auto& other : others) {
            if (other->Address() == at) {
                return other.get();
            }
        }
        return nullptr;
    };
    for (const DeviceFault& fault : deviceFaults) {
        if (deviceAt(fault.Address) == nullptr) {
            std::fprintf(stderr, "%s: --fault names address %ld, where no device is\n", argv[0],
                         fault.Address);
            return 2;
        }
    }
    if (tcpPort >= 0 && !link.empty()) {
        std::fprintf(stderr, "%s: --link needs a pseudo-terminal, not --tcp\n", argv[0]);
        return 2;
    }
    if (tcpPort < 0 && framing != "rtu") {
        std::fprintf(stderr, "%s: --framing goes with --tcp\n", argv[0]);
        return 2;
    }
    auto setUp = [&](auto& server) {
        for (const auto& other : others) {
            server.AddDevice(*other);
        }
        server.SetFaults(faults);
        for (const DeviceFault& fault : deviceFaults) {
            server.SetDeviceFaults(*deviceAt(fault.Address), fault.Faults);
        }
        if (trace) {
            server.SetTrace(Trace);
        }
    };
    auto describe = [&] {
        if (entries.empty()) {
            std::fprintf(stderr, "Simulated device at address %ld, %ld baud.\n", address, baud);
        } else {
            for (const DeviceEntry& entry : entries) {
                std::fprintf(stderr, "Simulated device at address %ld, %ld baud.\n", entry.Address,
                             entry.Baud != 0 ? entry.Baud : baud);
            }
        }
        std::fprintf(stderr, "Ctrl+C stops.\n");
    };

    std::signal(SIGINT, OnStopSignal);
    std::signal(SIGTERM, OnStopSignal);
    if (tcpPort >= 0) {
        mp::CTcpServer server(
            device,
            framing == "mbap" ? mp::CTcpServer::Framing::Mbap : mp::CTcpServer::Framing::Rtu,
            static_cast<int>(baud));
        setUp(server);
        if (!server.Listen(static_cast<uint16_t>(tcpPort))) {
            std::fprintf(stderr, "%s: cannot listen on 127.0.0.1:%ld: %s\n", argv[0], tcpPort,
                         server.LastError().c_str());
            return 1;
        }
        std::printf("127.0.0.1:%u\n", static_cast<unsigned>(server.Port()));
        std::fflush(stdout);
        std::fprintf(stderr, "Gateway (%s framing, serial side at %ld baud).\n",
                     framing == "mbap" ? "Modbus TCP" : "RTU over TCP", baud);
        describe();
        server.Run(StopRequested);
        return 0;
    }

    mp::CPtyServer server(device);
    setUp(server);
    if (!server.Open()) {
        std::fprintf(stderr, "%s: cannot create a pseudo-terminal: %s\n", argv[0],
                     server.LastError().c_str());
        return 1;
    }
    if (!link.empty()) {
        ::unlink(link.c_str());
        if (::symlink(server.DevicePath().c_str(), link.c_str()) != 0) {
            std::fprintf(stderr, "%s: cannot link %s: %s\n", argv[0], link.c_str(),
                         std::strerror(errno));
            return 1;
        }
    }
    std::printf("%s\n", server.DevicePath().c_str());
    std::fflush(stdout);
    describe();

    server.Run(StopRequested);
    if (!link.empty()) {
        ::unlink(link.c_str());
    }
    return 0;
}
