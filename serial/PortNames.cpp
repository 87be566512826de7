#include "serial/PortNames.h"

#include <QSerialPortInfo>
#include <algorithm>
#include <cctype>

#include "language/Text.h"

#ifdef Q_OS_UNIX
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

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

// The port as the messages name it: "COM3 (/dev/ttyS2)", or `shown` alone when the system
// opens it by that name.
std::string PortLabel(const std::string& shown) {
    const std::string system = SystemPortName(shown);
    return system != shown ? shown + " (" + system + ")" : shown;
}

std::string WithDetail(const std::string& message, const std::string& detail) {
    if (detail.empty()) {
        return message;
    }
    //: A message followed by the system's own words about the failure.
    return FillIn(Tr(QT_TRANSLATE_NOOP("MotorProtector", "%1（%2）")), {message, detail});
}

// "串口 COM3 (/dev/ttyS2) 打开失败：端口不存在".
std::string OpenFailed(const std::string& shown, const std::string& reason) {
    return FillIn(Tr(QT_TRANSLATE_NOOP("MotorProtector", "串口 %1 打开失败：%2")),
                  {PortLabel(shown), reason});
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

std::vector<SystemPortInfo> SystemPorts() {
    std::vector<SystemPortInfo> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        SystemPortInfo port;
#ifdef Q_OS_WIN
        port.Location = info.portName().toStdString();
#else
        port.Location = info.systemLocation().toStdString();
#endif
        port.Name = info.portName().toStdString();
        port.Description = info.description().trimmed().toStdString();
        ports.push_back(std::move(port));
    }
    std::sort(ports.begin(), ports.end(), [](const SystemPortInfo& a, const SystemPortInfo& b) {
        return a.Location < b.Location;
    });
    ports.erase(std::unique(ports.begin(), ports.end(),
                            [](const SystemPortInfo& a, const SystemPortInfo& b) {
                                return a.Location == b.Location;
                            }),
                ports.end());
    return ports;
}

std::string PortChoiceText(const SystemPortInfo& port) {
    const std::string name = port.Name.empty() ? port.Location : port.Name;
    return port.Description.empty() ? name : name + " — " + port.Description;
}

DeviceAccess ProbeDeviceAccess(const std::string& path) {
    DeviceAccess access;
#ifdef Q_OS_UNIX
    access.ReadWrite = ::access(path.c_str(), R_OK | W_OK) == 0;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return access;
    }
    if (const struct group* owner = ::getgrgid(info.st_gid)) {
        access.Group = owner->gr_name;
    }
    const uid_t uid = ::getuid();
    const struct passwd* account = ::getpwuid(uid);
    if (account) {
        access.User = account->pw_name;
    }
    // This login's groups.
    access.LoginInGroup = ::getegid() == info.st_gid;
    const int count = ::getgroups(0, nullptr);
    if (count > 0) {
        std::vector<gid_t> groups(static_cast<size_t>(count));
        const int got = ::getgroups(count, groups.data());
        for (int k = 0; k < got; ++k) {
            access.LoginInGroup =
                access.LoginInGroup || groups[static_cast<size_t>(k)] == info.st_gid;
        }
    }
    // The account's groups as the group database has them now.
    if (account) {
        int n = 64;
        std::vector<gid_t> groups(static_cast<size_t>(n));
        if (::getgrouplist(account->pw_name, account->pw_gid, groups.data(), &n) < 0 && n > 0) {
            groups.resize(static_cast<size_t>(n));
            ::getgrouplist(account->pw_name, account->pw_gid, groups.data(), &n);
        }
        for (int k = 0; k < n && k < static_cast<int>(groups.size()); ++k) {
            access.AccountInGroup =
                access.AccountInGroup || groups[static_cast<size_t>(k)] == info.st_gid;
        }
    }
#else
    (void)path;
    access.ReadWrite = true;
#endif
    return access;
}

std::string PortRefusalReason(const DeviceAccess& access) {
    if (access.ReadWrite) {
        return Tr(QT_TRANSLATE_NOOP("MotorProtector",
                                    "端口已被其他程序占用，请关闭正在使用它的程序（如另一个本"
                                    "工具、串口终端或 ModemManager）后再试"));
    }
    const std::string user =
        access.User.empty()
            ? Tr(QT_TRANSLATE_NOOP("MotorProtector", "当前用户"))
            : FillIn(Tr(QT_TRANSLATE_NOOP("MotorProtector", "用户 %1")), {access.User});
    if (access.Group.empty() || access.Group == "root") {
        return Tr(QT_TRANSLATE_NOOP("MotorProtector", "没有权限读写此设备，请检查设备文件的权限"));
    }
    if (access.LoginInGroup) {
        return FillIn(Tr(QT_TRANSLATE_NOOP("MotorProtector",
                                           "没有权限读写此设备：设备属于用户组 %1，但该组没有读"
                                           "写权限，请检查设备文件的权限")),
                      {access.Group});
    }
    if (access.AccountInGroup) {
        return FillIn(Tr(QT_TRANSLATE_NOOP("MotorProtector",
                                           "没有权限读写此设备：%1 已加入设备所属的用户组 %2，"
                                           "但本次登录还没有这个组。请注销并重新登录（或重启）"
                                           "后再试")),
                      {user, access.Group});
    }
    return FillIn(Tr(QT_TRANSLATE_NOOP("MotorProtector",
                                       "没有权限读写此设备：设备属于用户组 %1，%2 不在此组。请执行 "
                                       "sudo usermod -aG %1 %3，然后注销并重新登录（新的组在新的"
                                       "登录中才生效）")),
                  {access.Group, user, access.User.empty() ? "$USER" : access.User});
}

std::string PortErrorReason(QSerialPort::SerialPortError error) {
    switch (error) {
        case QSerialPort::NoError:
            return {};
        case QSerialPort::DeviceNotFoundError:
            return Tr(QT_TRANSLATE_NOOP("MotorProtector", "端口不存在"));
        case QSerialPort::PermissionError:
        case QSerialPort::OpenError:
            return Tr(QT_TRANSLATE_NOOP("MotorProtector", "端口被占用或无权限"));
        case QSerialPort::UnsupportedOperationError:
            return Tr(QT_TRANSLATE_NOOP("MotorProtector", "端口参数设置失败"));
        case QSerialPort::ResourceError:
            return Tr(QT_TRANSLATE_NOOP("MotorProtector", "连接已断开"));
        case QSerialPort::ReadError:
        case QSerialPort::WriteError:
            return Tr(QT_TRANSLATE_NOOP("MotorProtector", "读写失败"));
        case QSerialPort::NotOpenError:
            return Tr(QT_TRANSLATE_NOOP("MotorProtector", "端口未打开"));
        default:
            return Tr(QT_TRANSLATE_NOOP("MotorProtector", "其他错误"));
    }
}

std::string PortOpenFailureMessage(const std::string& shown, QSerialPort::SerialPortError error,
                                   const std::string& detail) {
    const std::string reason = error == QSerialPort::NoError
                                   ? PortErrorReason(QSerialPort::UnknownError)
                                   : PortErrorReason(error);
    return WithDetail(OpenFailed(shown, reason), detail);
}

std::string PortRefusalMessage(const std::string& shown, const DeviceAccess& access,
                               const std::string& detail) {
    return WithDetail(OpenFailed(shown, PortRefusalReason(access)), detail);
}

std::string PortFailureMessage(const std::string& shown, QSerialPort::SerialPortError error,
                               const std::string& detail) {
    const std::string reason = error == QSerialPort::NoError
                                   ? PortErrorReason(QSerialPort::UnknownError)
                                   : PortErrorReason(error);
    return WithDetail(FillIn(Tr(QT_TRANSLATE_NOOP("MotorProtector", "串口 %1 出错：%2")),
                             {PortLabel(shown), reason}),
                      detail);
}

}  // namespace mp
