#pragma once
// A port whose waiting count and waiting bytes are set by the test, so the two can disagree
// as they may on a real line. Writes go nowhere. Plain C++, for the libFuzzer target too.

#include <cstdint>
#include <string>
#include <vector>

#include "modbus/Port.h"

namespace mp::test {

class CScriptedPort : public IPort {
public:
    bool OpenPort(const PortSettings&) override { return true; }
    void ClosePort() override {}
    bool IsPortOpen() const override { return true; }
    bool Reconfigure(const PortSettings&) override { return true; }
    std::string LastError() const override { return {}; }
    void DiscardInput() override {}
    void WriteBytes(const std::vector<uint8_t>&) override {}
    int16_t WaitingCount() override { return Count; }
    std::vector<uint8_t> ReadAllWaiting() override { return Bytes; }

    int16_t Count = 0;
    std::vector<uint8_t> Bytes;
};

}  // namespace mp::test
