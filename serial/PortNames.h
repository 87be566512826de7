#pragma once
// Port names as the operator sees them ("COM1" to "COM32", or a device path) and as the
// system opens them, and the operator's words for every failure of a serial port.

#include <QSerialPort>
#include <string>
#include <vector>

namespace mp {

// The system name of a port chosen as `shown`. On Windows "COMn" is that port; elsewhere
// "COMn" is /dev/ttyS(n-1). Anything else (a device path such as /dev/ttyUSB0) is used as
// it stands.
std::string SystemPortName(const std::string& shown);

// The ports the system reports, by the name they are opened with (COM3 on Windows,
// /dev/ttyUSB0 elsewhere), sorted.
std::vector<std::string> AvailablePortNames();

// A short reason for a port failure: "端口不存在", "端口被占用或无权限", "端口参数设置失败",
// "连接已断开", "读写失败", "端口未打开" or "其他错误". Empty for QSerialPort::NoError.
std::string PortErrorReason(QSerialPort::SerialPortError error);

// The message the window shows for a failure of the port chosen as `shown`, naming the port
// (and its system name when that differs) and the reason, e.g. "串口 COM3 (/dev/ttyS2)
// 打开失败：端口不存在". `detail` (the system's own text) is added when not empty.
std::string PortOpenFailureMessage(const std::string& shown, QSerialPort::SerialPortError error,
                                   const std::string& detail = {});
// The message for a port that failed while open ("串口 COM3 出错：连接已断开").
std::string PortFailureMessage(const std::string& shown, QSerialPort::SerialPortError error,
                               const std::string& detail = {});

}  // namespace mp
