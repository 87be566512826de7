#pragma once
// Port names as the operator sees them ("COM1" to "COM32", or a device path) and as the
// system opens them, and the operator's words for every failure of a serial port. Every
// reason and message is in the operator's language (language/Text.h).

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

// A port the system reports: the name it is opened with (/dev/ttyUSB0 on Linux and macOS,
// COM3 on Windows), its short name (ttyUSB0) and the system's description of it.
struct SystemPortInfo {
    std::string Location;
    std::string Name;
    std::string Description;
};

// The ports the system reports, sorted by location.
std::vector<SystemPortInfo> SystemPorts();

// How the start-up dialog lists a port the system reports: "ttyUSB0 — USB-RS485 adapter", or
// the short name alone when the system gives no description.
std::string PortChoiceText(const SystemPortInfo& port);

// What the system says about a device file that the program could not open.
struct DeviceAccess {
    bool ReadWrite = false;       // this program may open it for reading and writing
    std::string Group;            // the group that owns it ("dialout"), empty when unknown
    std::string User;             // the account the program runs as
    bool AccountInGroup = false;  // the account is a member of Group in the group database
    bool LoginInGroup = false;    // this login already carries Group
};

// The facts above for `path` (Linux and macOS; elsewhere ReadWrite is true and the rest empty).
DeviceAccess ProbeDeviceAccess(const std::string& path);

// The reason for an open that the system refused with a permission error, which Qt Serial
// Port also reports when another program holds the port: lack of permission with the way to
// fix it (the owning group, and that a new login is needed), or a port held by another program.
std::string PortRefusalReason(const DeviceAccess& access);

// A short reason for a port failure: "端口不存在", "端口被占用或无权限", "端口参数设置失败",
// "连接已断开", "读写失败", "端口未打开" or "其他错误". Empty for QSerialPort::NoError.
std::string PortErrorReason(QSerialPort::SerialPortError error);

// The message the window shows for a failure of the port chosen as `shown`, naming the port
// (and its system name when that differs) and the reason, e.g. "串口 COM3 (/dev/ttyS2)
// 打开失败：端口不存在". `detail` (the system's own text) is added when not empty.
std::string PortOpenFailureMessage(const std::string& shown, QSerialPort::SerialPortError error,
                                   const std::string& detail = {});
// The message for an open refused with a permission error, with the reason of
// PortRefusalReason, e.g. "串口 /dev/ttyUSB0 打开失败：没有权限……".
std::string PortRefusalMessage(const std::string& shown, const DeviceAccess& access,
                               const std::string& detail = {});
// The message for a port that failed while open ("串口 COM3 出错：连接已断开").
std::string PortFailureMessage(const std::string& shown, QSerialPort::SerialPortError error,
                               const std::string& detail = {});

}  // namespace mp
