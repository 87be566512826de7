#pragma once
// What the window for a change of the device's address and rate shows and gives back.

#include <QString>

namespace mp {

// The device's address and baud rate as the parameter-change dialog shows and returns them.
struct CommParamValues {
    int Address = 0;      // "子机号"
    QString BaudText;     // "波特率" drop-down text
    QString PortText;     // "串行口" (display only)
    QString ParityText;   // "校验位" (display only)
    int NewBaudRate = 0;  // the rate chosen, one of the five, after OK
};

}  // namespace mp
