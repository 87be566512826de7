#include "device/LineCodes.h"

namespace mp {
namespace {

const char* const kParityTexts[kParityCount] = {
    QT_TRANSLATE_NOOP("MotorProtector", "无校验"),
    QT_TRANSLATE_NOOP("MotorProtector", "奇校验"),
    QT_TRANSLATE_NOOP("MotorProtector", "偶校验"),
};
const char* const kParityWords[kParityCount] = {"none", "odd", "even"};
const char* const kParityLetters[kParityCount] = {"n", "o", "e"};

}  // namespace

int BaudRateOfCode(int code) {
    return code >= 0 && code < static_cast<int>(kBaudRates.size())
               ? kBaudRates[static_cast<size_t>(code)]
               : 0;
}

int BaudCodeOfRate(int rate) {
    for (size_t code = 0; code < kBaudRates.size(); ++code) {
        if (kBaudRates[code] == rate) {
            return static_cast<int>(code);
        }
    }
    return -1;
}

bool IsBaudRate(int rate) {
    return BaudCodeOfRate(rate) >= 0;
}

std::string BaudTextOfCode(int code) {
    const int rate = BaudRateOfCode(code);
    return rate > 0 ? std::to_string(rate) : std::string();
}

bool IsParityCode(int code) {
    return code >= 0 && code < kParityCount;
}

const char* ParityTextOf(int code) {
    return kParityTexts[IsParityCode(code) ? code : kParityNone];
}

const char* ParityWord(int code) {
    return kParityWords[IsParityCode(code) ? code : kParityNone];
}

std::optional<int> ParityOfWord(const std::string& text) {
    for (int code = 0; code < kParityCount; ++code) {
        if (text == kParityWords[code] || text == kParityLetters[code] ||
            text == kParityTexts[code]) {
            return code;
        }
    }
    return std::nullopt;
}

}  // namespace mp
