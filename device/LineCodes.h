#pragma once
// The relay's line parameters: the baud rates it knows by code (register 0x0151), the slave
// addresses it takes, and the parities with the words the program shows and accepts for
// them. The parity codes are the port's (modbus/Port.h).

#include <array>
#include <optional>
#include <string>

#include "language/Text.h"
#include "modbus/Port.h"

namespace mp {

// Code 0 is 1200 baud ... code 4 is 19200 baud.
inline constexpr std::array<int, 5> kBaudRates = {1200, 2400, 4800, 9600, 19200};
inline constexpr int kDefaultBaudRate = 9600;

// The rate of a baud code, 0 for any other code.
int BaudRateOfCode(int code);
// 1200 -> 0 ... 19200 -> 4; -1 for any other rate.
int BaudCodeOfRate(int rate);
// Whether the device can run at `rate`.
bool IsBaudRate(int rate);
// "1200" ... "19200" for codes 0 to 4; "" for any other code.
std::string BaudTextOfCode(int code);

// The slave address and baud code a device holds (the low bytes of 0x0150 and 0x0151), as
// read from it.
struct DeviceCommParams {
    int Address = 0;
    int BaudCode = -1;
    // "1200" ... "19200"; "" for a code outside the list.
    std::string BaudText() const { return BaudTextOfCode(BaudCode); }
};

// Slave addresses a device takes.
inline constexpr int kLowestSlaveAddress = 1;
inline constexpr int kHighestSlaveAddress = 247;

inline constexpr int kParityCount = 3;
// Whether `code` is one of none, odd, even.
bool IsParityCode(int code);

// The parity as the program shows it, by code: "无校验", "奇校验", "偶校验" (marked texts,
// language/Text.h; shown through mp::Tr). Any other code gives "无校验".
const char* ParityTextOf(int code);
// The parity's word on the command line: "none", "odd", "even"; any other code gives "none".
const char* ParityWord(int code);
// The parity a command-line word names: its word or first letter (any case), or its Chinese
// text; nothing for anything else. `text` is taken trimmed and in lower case.
std::optional<int> ParityOfWord(const std::string& text);

}  // namespace mp
