#include "serial/PortNames.h"

#include <QSerialPortInfo>
#include <algorithm>
#include <cctype>

namespace mp {
namespace {

// The n of "COMn" for n from 1 to 32 (letters in any case), 0 for any other name.
int ComNumber(const std::string& shown) {
    if (shown.size() < 4 || shown.size() > 5) {
        return 0;
    }
    for (size_t k = 0; k < 3; ++k) {
        if (std::toupper(static_cast<unsigned char>(shown[k])) != "COM"[k]) {
            return 0;
        }
    }
    int n = 0;
    for (size_t k = 3; k < shown.size(); ++k) {
        if (!std::isdigit(static_cast<unsigned char>(shown[k]))) {
            return 0;
        }
        n = n * 10 + (shown[k] - '0');
    }
    if (shown[3] == '0') {
        return 0;
    }
    return n >= 1 && n <= 32 ? n : 0;
}

std::string PortLabel(const std::string& shown) {
    const std::string system = SystemPortName(shown);
    std::string label = "串口 " + shown;
    if (system != shown) {
        label += " (" + system + ")";
    }
    return label;
}

std::string WithDetail(std::string message, const std::string& detail) {
    if (!detail.empty()) {
        message += "（" + detail + "）";
    }
    return message;
}

}  // namespace

std::string SystemPortName(const std::string& shown) {
    const int n = ComNumber(shown);
    if (n == 0) {
        return shown;
    }
#ifdef Q_OS_WIN
    return "COM" + std::to_string(n);
#else
    return "/dev/ttyS" + std::to_string(n - 1);
#endif
}

std::vector<std::string> AvailablePortNames() {
    std::vector<std::string> names;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
#ifdef Q_OS_WIN
        names.push_back(info.portName().toStdString());
#else
        names.push_back(info.systemLocation().toStdString());
#endif
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

std::string PortErrorReason(QSerialPort::SerialPortError error) {
    switch (error) {
        case QSerialPort::NoError:
            return {};
        case QSerialPort::DeviceNotFoundError:
            return "端口不存在";
        case QSerialPort::PermissionError:
        case QSerialPort::OpenError:
            return "端口被占用或无权限";
        case QSerialPort::UnsupportedOperationError:
            return "端口参数设置失败";
        case QSerialPort::ResourceError:
            return "连接已断开";
        case QSerialPort::ReadError:
        case QSerialPort::WriteError:
            return "读写失败";
        case QSerialPort::NotOpenError:
            return "端口未打开";
        default:
            return "其他错误";
    }
}

std::string PortOpenFailureMessage(const std::string& shown, QSerialPort::SerialPortError error,
                                   const std::string& detail) {
    const std::string reason = error == QSerialPort::NoError
                                   ? PortErrorReason(QSerialPort::UnknownError)
                                   : PortErrorReason(error);
    return WithDetail(PortLabel(shown) + " 打开失败：" + reason, detail);
}

std::string PortFailureMessage(const std::string& shown, QSerialPort::SerialPortError error,
                               const std::string& detail) {
    const std::string reason = error == QSerialPort::NoError
                                   ? PortErrorReason(QSerialPort::UnknownError)
                                   : PortErrorReason(error);
    return WithDetail(PortLabel(shown) + " 出错：" + reason, detail);
}

}  // namespace mp
