#include "connection/CommandLine.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QRegularExpression>

#include "device/LineCodes.h"

namespace mp {

namespace {

// "COM1" to "COM32" exactly as the setup dialog lists them, or an absolute device path.
bool IsPortText(const QString& text) {
    static const QRegularExpression com(QStringLiteral("^COM([1-9]|[12][0-9]|3[0-2])$"));
    return com.match(text).hasMatch() || (text.startsWith(QLatin1Char('/')) && text.size() > 1);
}

// A whole decimal number without sign or blanks.
std::optional<int> WholeNumber(const QString& text) {
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,6}$"));
    if (!digits.match(text).hasMatch()) {
        return std::nullopt;
    }
    return text.toInt();
}

}  // namespace

ConnectionSettings StartOptions::Over(ConnectionSettings base) const {
    if (PortText) {
        static const QRegularExpression com(QStringLiteral("^COM([0-9]+)$"));
        const auto match = com.match(*PortText);
        base.PortText = *PortText;
        base.PortNumber = match.hasMatch() ? match.captured(1).toInt() : 0;
    }
    if (BaudRate) {
        base.BaudRate = *BaudRate;
    }
    if (ParityCode) {
        base.ParityCode = *ParityCode;
    }
    if (SlaveAddress) {
        base.SlaveAddress = static_cast<uint8_t>(*SlaveAddress);
    }
    return base;
}

CommandLineEnd CCommandLine::Refuse(const QStringList& arguments, const QString& message) {
    const QString program = arguments.isEmpty() ? QStringLiteral("motor-protector")
                                                : QFileInfo(arguments.first()).fileName();
    return {kUsageError, QString(), program + QStringLiteral(": ") + message + QLatin1Char('\n')};
}

void CCommandLine::AddCommon(QCommandLineParser& parser) {
    parser.addOption(QCommandLineOption(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                        tr("显示本帮助并退出。")));
    parser.addOption(QCommandLineOption(QStringList{QStringLiteral("v"), QStringLiteral("version")},
                                        tr("显示版本并退出。")));
}

std::optional<CommandLineEnd> CCommandLine::ParseCommon(QCommandLineParser& parser,
                                                        const QStringList& arguments) {
    if (!parser.parse(arguments)) {
        return Refuse(arguments, parser.errorText());
    }
    if (parser.isSet(QStringLiteral("help"))) {
        return CommandLineEnd{0, parser.helpText(), QString()};
    }
    if (parser.isSet(QStringLiteral("version"))) {
        const QString program = QFileInfo(arguments.value(0)).fileName();
        return CommandLineEnd{
            0, program + QLatin1Char(' ') + QLatin1String(MP_VERSION) + QLatin1Char('\n'), {}};
    }
    if (!parser.positionalArguments().isEmpty()) {
        return Refuse(arguments, tr("多余的参数 \"%1\"").arg(parser.positionalArguments().first()));
    }
    return std::nullopt;
}

CommandLineResult CCommandLine::Parse(const QStringList& arguments) {
    CommandLineResult result;
    auto end = [&](const CommandLineEnd& end) {
        result.Proceed = false;
        result.ExitCode = end.ExitCode;
        result.Output = end.Output;
        result.Error = end.Error;
        return result;
    };
    auto refuse = [&](const QString& message) { return end(Refuse(arguments, message)); };

    QCommandLineParser parser;
    parser.setApplicationDescription(
        tr("智能马达保护控制器的配置与监视工具（Modbus RTU，RS-485）。"));
    const QCommandLineOption port(QStringLiteral("port"),
                                  tr("串口：COM1 至 COM32，或设备路径，如 /dev/ttyUSB0。"),
                                  QStringLiteral("port"));
    const QCommandLineOption baud(QStringLiteral("baud"),
                                  tr("波特率：1200、2400、4800、9600 或 19200。"),
                                  QStringLiteral("rate"));
    const QCommandLineOption parity(QStringLiteral("parity"),
                                    tr("校验位：none（无校验）、odd（奇校验）或 even（偶校验）。"),
                                    QStringLiteral("parity"));
    const QCommandLineOption address(QStringLiteral("address"), tr("仪表地址：1 至 247。"),
                                     QStringLiteral("address"));
    const QCommandLineOption simulated(QStringLiteral("simulated"),
                                       tr("连接内置模拟设备，无需串口和设备。"));
    const QCommandLineOption connect(QStringLiteral("connect"),
                                     tr("不显示通讯设置对话框，直接按所给的值连接。"));
    const QCommandLineOption plant(QStringLiteral("plant"),
                                   tr("打开厂站文件，显示厂站总览，而不是单台仪表。"),
                                   QStringLiteral("file"));
    AddCommon(parser);
    for (const QCommandLineOption& option :
         {port, baud, parity, address, simulated, connect, plant}) {
        parser.addOption(option);
    }
    if (const std::optional<CommandLineEnd> ended = ParseCommon(parser, arguments)) {
        return end(*ended);
    }
    // An option given twice is refused: which of the two was meant is unclear.
    for (const QCommandLineOption* option : {&port, &baud, &parity, &address, &plant}) {
        if (parser.values(*option).size() > 1) {
            return refuse(tr("选项 --%1 只能给一次").arg(option->names().first()));
        }
    }

    StartOptions& options = result.Options;
    if (parser.isSet(port)) {
        const QString text = parser.value(port);
        if (!IsPortText(text)) {
            return refuse(tr("--port \"%1\" 不是串口：应为 COM1 至 COM32，或设备路径，如 "
                             "/dev/ttyUSB0")
                              .arg(text));
        }
        options.PortText = text;
    }
    if (parser.isSet(simulated)) {
        if (options.PortText) {
            return refuse(tr("--simulated 与 --port 不能同时使用"));
        }
        options.PortText = kSimulatedPortText;
    }
    if (parser.isSet(baud)) {
        const QString text = parser.value(baud);
        const auto rate = WholeNumber(text);
        if (!rate || !IsBaudRate(*rate)) {
            return refuse(tr("--baud \"%1\" 不是可用的波特率：应为 1200、2400、4800、9600 或 19200")
                              .arg(text));
        }
        options.BaudRate = *rate;
    }
    if (parser.isSet(parity)) {
        const QString text = parser.value(parity);
        const auto code = ParityOfWord(text.trimmed().toLower().toStdString());
        if (!code) {
            return refuse(tr("--parity \"%1\" 不是校验位：应为 none、odd 或 even").arg(text));
        }
        options.ParityCode = *code;
    }
    if (parser.isSet(address)) {
        const QString text = parser.value(address);
        const auto value = WholeNumber(text);
        if (!value || *value < kLowestSlaveAddress || *value > kHighestSlaveAddress) {
            return refuse(tr("--address \"%1\" 不是仪表地址：应为 1 至 247 之间的整数").arg(text));
        }
        options.SlaveAddress = *value;
    }
    options.Connect = parser.isSet(connect);
    if (parser.isSet(plant)) {
        if (options.PortText || options.Connect) {
            return refuse(tr("--plant 不能与单台仪表的连接选项同时使用"));
        }
        options.PlantFile = parser.value(plant);
    }
    return result;
}

}  // namespace mp
