#include "modbus/MbapCodec.h"

#include "modbus/ModbusCrc16.h"

namespace mp {
namespace {

uint16_t Word(const std::vector<uint8_t>& bytes, size_t at) {
    return static_cast<uint16_t>(bytes[at] << 8 | bytes[at + 1]);
}

bool CrcHolds(const std::vector<uint8_t>& rtu) {
    const size_t body = rtu.size() - 2;
    const uint16_t crc = ModbusCrc16(rtu.data(), static_cast<int16_t>(body));
    return rtu[body] == static_cast<uint8_t>(crc >> 8) &&
           rtu[body + 1] == static_cast<uint8_t>(crc & 0xFF);
}

}  // namespace

std::vector<uint8_t> MbapFromRtu(const std::vector<uint8_t>& rtu, uint16_t transaction) {
    // Address, function and CRC at least; the unit id and PDU fit the length field.
    if (rtu.size() < 4 || rtu.size() - 2 > kMbapMaxLength || !CrcHolds(rtu)) {
        return {};
    }
    const size_t length = rtu.size() - 2;  // unit id and PDU
    std::vector<uint8_t> adu;
    adu.reserve(kMbapHeaderSize - 1 + length);
    adu.push_back(static_cast<uint8_t>(transaction >> 8));
    adu.push_back(static_cast<uint8_t>(transaction & 0xFF));
    adu.push_back(0);
    adu.push_back(0);
    adu.push_back(static_cast<uint8_t>(length >> 8));
    adu.push_back(static_cast<uint8_t>(length & 0xFF));
    adu.insert(adu.end(), rtu.begin(), rtu.end() - 2);
    return adu;
}

std::vector<uint8_t> RtuFromMbap(const std::vector<uint8_t>& adu) {
    if (adu.size() < kMbapHeaderSize + 1 || Word(adu, 2) != 0) {
        return {};
    }
    const uint16_t length = Word(adu, 4);
    if (length < 2 || length > kMbapMaxLength || adu.size() != 6u + length) {
        return {};
    }
    std::vector<uint8_t> rtu(adu.begin() + 6, adu.end());
    const uint16_t crc = ModbusCrc16(rtu.data(), static_cast<int16_t>(rtu.size()));
    rtu.push_back(static_cast<uint8_t>(crc >> 8));
    rtu.push_back(static_cast<uint8_t>(crc & 0xFF));
    return rtu;
}

std::vector<std::vector<uint8_t>> CMbapDecoder::Feed(const std::vector<uint8_t>& bytes) {
    Pending_.insert(Pending_.end(), bytes.begin(), bytes.end());
    std::vector<std::vector<uint8_t>> frames;
    size_t at = 0;
    while (Pending_.size() - at >= 6) {
        const uint16_t protocol = Word(Pending_, at + 2);
        const uint16_t length = Word(Pending_, at + 4);
        if (protocol != 0 || length == 0 || length > kMbapMaxLength) {
            ++GarbageResets_;
            Pending_.clear();
            return frames;
        }
        const size_t whole = 6u + length;
        if (Pending_.size() - at < whole) {
            break;  // the rest is still on its way
        }
        const std::vector<uint8_t> adu(Pending_.begin() + static_cast<long>(at),
                                       Pending_.begin() + static_cast<long>(at + whole));
        at += whole;
        if (Word(adu, 0) != Expected_) {
            ++StaleDropped_;
            continue;
        }
        std::vector<uint8_t> rtu = RtuFromMbap(adu);
        if (rtu.empty()) {
            // A length of 1: a unit id without a function. Whole, but not a reply.
            ++GarbageResets_;
            continue;
        }
        frames.push_back(std::move(rtu));
    }
    Pending_.erase(Pending_.begin(), Pending_.begin() + static_cast<long>(at));
    return frames;
}

}  // namespace mp
