#include "service/ServiceOptions.h"

#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include "connection/CommandLine.h"
#include "language/WholeNumber.h"

namespace mp {
namespace {

// key = value lines; '#' and ';' start a comment line. Nothing with `error` set for a line
// that is neither.
QHash<QString, QString> ReadConfig(const QString& path, QString* error) {
    QHash<QString, QString> values;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = file.errorString();
        return values;
    }
    int number = 0;
    while (!file.atEnd()) {
        ++number;
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')) ||
            line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('['))) {
            continue;
        }
        const int equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0) {
            *error = CServiceOptions::tr("第 %1 行不是 \"键 = 值\"").arg(number);
            return values;
        }
        values.insert(line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
    }
    return values;
}

}  // namespace

ServiceOptionsResult CServiceOptions::Parse(const QStringList& arguments) {
    ServiceOptionsResult result;
    auto refuse = [&](const QString& message) {
        const CommandLineEnd end = CCommandLine::Refuse(arguments, message);
        result.Proceed = false;
        result.ExitCode = end.ExitCode;
        result.Error = end.Error;
        return result;
    };

    struct OptionEntry {
        const char* Name;
        const char* Value;
        const char* Help;
    };
    // Every option but --config may also stand in the configuration file.
    const OptionEntry entries[] = {
        {"plant", "file", QT_TR_NOOP("要运行的厂站文件（必需）。")},
        {"broker", "host:port", QT_TR_NOOP("MQTT服务器，默认 127.0.0.1:1883（TLS 时 8883）。")},
        {"client-id", "id",
         QT_TR_NOOP("MQTT客户端标识，会话按它保留；默认 motor-protector-<主机名>。")},
        {"user", "name", QT_TR_NOOP("MQTT用户名。")},
        {"password", "text", QT_TR_NOOP("MQTT密码。")},
        {"password-file", "file", QT_TR_NOOP("含MQTT密码的文件（第一行）。")},
        {"ca", "file", QT_TR_NOOP("检验服务器证书的CA证书文件；给出则使用TLS。")},
        {"cert", "file", QT_TR_NOOP("本客户端的证书文件（TLS）。")},
        {"key", "file", QT_TR_NOOP("本客户端证书的私钥文件（TLS）。")},
        {"prefix", "topic", QT_TR_NOOP("主题前缀，默认 motor-protector。")},
        {"min-interval-ms", "ms", QT_TR_NOOP("同一馈线实时数据的最短发布间隔，默认 1000。")},
        {"max-interval-ms", "ms", QT_TR_NOOP("同一馈线实时数据的最长发布间隔，默认 30000。")},
        {"settings-interval-s", "s",
         QT_TR_NOOP("重新读取定值的间隔，默认 600；0 只在首次联系时读取。")},
        {"buffer-events", "n", QT_TR_NOOP("服务器不在时最多保留的事件数，默认 20000。")},
        {"buffer-live", "n", QT_TR_NOOP("服务器不在时最多保留的实时数据数，默认 5000。")},
    };

    QCommandLineParser parser;
    parser.setApplicationDescription(
        tr("智能马达保护控制器的厂站服务：轮询厂站文件中的线路，并发布到MQTT服务器。"));
    const QCommandLineOption config(QStringLiteral("config"),
                                    tr("配置文件（键 = 值，键为选项的长名）。"),
                                    QStringLiteral("file"));
    CCommandLine::AddCommon(parser);
    parser.addOption(config);
    for (const OptionEntry& option : entries) {
        parser.addOption(QCommandLineOption(QLatin1String(option.Name), tr(option.Help),
                                            QLatin1String(option.Value)));
    }
    if (const std::optional<CommandLineEnd> end = CCommandLine::ParseCommon(parser, arguments)) {
        result.Proceed = false;
        result.ExitCode = end->ExitCode;
        result.Output = end->Output;
        result.Error = end->Error;
        return result;
    }

    // The file's values first, the command line's over them.
    QHash<QString, QString> values;
    QHash<QString, QString> origin;  // where each value came from, for the messages
    if (parser.isSet(config)) {
        const QString path = parser.value(config);
        QString error;
        values = ReadConfig(path, &error);
        if (!error.isEmpty()) {
            return refuse(tr("配置文件 %1: %2").arg(path, error));
        }
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            const bool known = std::any_of(
                std::begin(entries), std::end(entries),
                [&](const OptionEntry& s) { return it.key() == QLatin1String(s.Name); });
            if (!known) {
                return refuse(tr("配置文件 %1: 未知的键 \"%2\"").arg(path, it.key()));
            }
            origin.insert(it.key(), tr("配置文件中的 %1").arg(it.key()));
        }
    }
    for (const OptionEntry& option : entries) {
        const QString name = QLatin1String(option.Name);
        if (parser.values(name).size() > 1) {
            return refuse(tr("选项 --%1 只能给一次").arg(name));
        }
        if (parser.isSet(name)) {
            values.insert(name, parser.value(name));
            origin.insert(name, QStringLiteral("--") + name);
        }
    }
    auto where = [&](const char* name) { return origin.value(QLatin1String(name)); };
    auto number = [&](const char* name, int lowest, int highest, int* into) {
        const QString text = values.value(QLatin1String(name));
        if (text.isEmpty()) {
            return true;
        }
        const std::optional<int> n = ParseWholeNumber(text);
        if (!n || *n < lowest || *n > highest) {
            return false;
        }
        *into = *n;
        return true;
    };

    ServiceOptions& o = result.Options;
    o.PlantFile = values.value(QStringLiteral("plant"));
    if (o.PlantFile.isEmpty()) {
        return refuse(tr("缺少厂站文件：请给出 --plant"));
    }
    o.Broker.CaFile = values.value(QStringLiteral("ca"));
    o.Broker.CertFile = values.value(QStringLiteral("cert"));
    o.Broker.KeyFile = values.value(QStringLiteral("key"));
    for (const char* name : {"ca", "cert", "key", "password-file"}) {
        const QString file = values.value(QLatin1String(name));
        if (!file.isEmpty() && !QFileInfo(file).isReadable()) {
            return refuse(tr("%1 \"%2\" 不是可读的文件").arg(where(name), file));
        }
    }
    if ((!o.Broker.CertFile.isEmpty() || !o.Broker.KeyFile.isEmpty()) &&
        (o.Broker.CaFile.isEmpty() || o.Broker.CertFile.isEmpty() || o.Broker.KeyFile.isEmpty())) {
        return refuse(tr("客户端证书需要 --ca、--cert 和 --key 一起给出"));
    }
    o.Broker.Port = o.Broker.CaFile.isEmpty() ? 1883 : 8883;
    const QString broker = values.value(QStringLiteral("broker"));
    if (!broker.isEmpty()) {
        const int colon = broker.lastIndexOf(QLatin1Char(':'));
        const QString host = colon > 0 ? broker.left(colon) : broker;
        const std::optional<int> port =
            colon > 0 ? ParseWholeNumber(broker.mid(colon + 1)) : std::optional<int>(o.Broker.Port);
        if (host.isEmpty() || host.contains(QLatin1Char(' ')) || !port || *port < 1 ||
            *port > 65535) {
            return refuse(
                tr("%1 \"%2\" 不是 主机:端口（端口 1–65535）").arg(where("broker"), broker));
        }
        o.Broker.Host = host;
        o.Broker.Port = *port;
    }
    o.Broker.ClientId = values.value(QStringLiteral("client-id"));
    if (o.Broker.ClientId.isEmpty()) {
        o.Broker.ClientId = QStringLiteral("motor-protector-") + QSysInfo::machineHostName();
    }
    if (o.Broker.ClientId.toUtf8().size() > 65535) {
        return refuse(tr("%1 太长").arg(where("client-id")));
    }
    o.Broker.User = values.value(QStringLiteral("user"));
    o.Broker.Password = values.value(QStringLiteral("password"));
    const QString passwordFile = values.value(QStringLiteral("password-file"));
    if (!passwordFile.isEmpty()) {
        QFile file(passwordFile);
        if (!file.open(QIODevice::ReadOnly)) {
            return refuse(
                tr("%1 \"%2\": %3").arg(where("password-file"), passwordFile, file.errorString()));
        }
        o.Broker.Password = QString::fromUtf8(file.readLine()).trimmed();
    }
    if (!o.Broker.Password.isEmpty() && o.Broker.User.isEmpty()) {
        return refuse(tr("给了密码却没有 --user"));
    }
    o.Prefix =
        values.value(QStringLiteral("prefix"), QString::fromLatin1(CPlantTopics::kDefaultPrefix));
    if (o.Prefix.isEmpty() || o.Prefix.contains(QLatin1Char('+')) ||
        o.Prefix.contains(QLatin1Char('#')) || o.Prefix.startsWith(QLatin1Char('/'))) {
        return refuse(tr("%1 \"%2\" 不能作主题前缀（不能为空，不能含 + 或 #，不能以 / 开头）")
                          .arg(where("prefix"), o.Prefix));
    }
    struct Range {
        const char* Name;
        int Lowest;
        int Highest;
        int* Into;
    };
    const Range ranges[] = {
        {"min-interval-ms", 0, 3600000, &o.Limits.MinIntervalMs},
        {"max-interval-ms", 1000, 86400000, &o.Limits.MaxIntervalMs},
        {"settings-interval-s", 0, 86400 * 7, &o.SettingsEveryS},
        {"buffer-events", 100, 1000000, &o.Limits.Buffer.Events},
        {"buffer-live", 10, 1000000, &o.Limits.Buffer.Live},
    };
    for (const Range& r : ranges) {
        if (!number(r.Name, r.Lowest, r.Highest, r.Into)) {
            return refuse(tr("%1 \"%2\" 应为 %3 至 %4 的整数")
                              .arg(where(r.Name), values.value(QLatin1String(r.Name)))
                              .arg(r.Lowest)
                              .arg(r.Highest));
        }
    }
    if (o.Limits.MaxIntervalMs < o.Limits.MinIntervalMs) {
        return refuse(tr("--max-interval-ms 不能小于 --min-interval-ms"));
    }
    return result;
}

}  // namespace mp
