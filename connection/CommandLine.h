#pragma once
// CCommandLine: the program's command line. --version and --help, and the connection options
// that fill the start-up dialog (--port, --baud, --parity, --address, --simulated) or skip it
// (--connect), or a plant to open (--plant). Parsing prints nothing and ends nothing: the caller
// writes Output and Error and ends with ExitCode when Proceed is false.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <optional>

#include "line/ConnectionSettings.h"

namespace mp {

// The connection values named on the command line; what is not named stays empty.
struct StartOptions {
    std::optional<QString> PortText;  // "COM3", a device path, or kSimulatedPortText
    std::optional<int> BaudRate;
    std::optional<int> ParityCode;
    std::optional<int> SlaveAddress;
    bool Connect = false;  // connect at once, without the start-up dialog
    QString PlantFile;     // open this plant's overview instead of one relay

    // `base` with every named value put in its place.
    ConnectionSettings Over(ConnectionSettings base) const;
};

struct CommandLineResult {
    bool Proceed = true;  // false: end the program with ExitCode
    int ExitCode = 0;     // 0 after --version or --help, 2 after a refused argument
    QString Output;       // for stdout
    QString Error;        // for stderr, one line naming the option and the value
    StartOptions Options;
};

// How a program of the tool ends before it starts: its exit code and what it prints.
struct CommandLineEnd {
    int ExitCode = 0;
    QString Output;  // for stdout
    QString Error;   // for stderr, one line starting with the program's name
};

class CCommandLine {
    Q_DECLARE_TR_FUNCTIONS(mp::CCommandLine)

public:
    // `arguments` as QCoreApplication::arguments() gives them, the program first.
    static CommandLineResult Parse(const QStringList& arguments);

    // The exit code of a refused argument.
    static constexpr int kUsageError = 2;

    // What every program of the tool answers alike: --help and --version (AddCommon adds them
    // to `parser`, first), a parse error and a stray argument. ParseCommon parses `arguments`
    // and says how the program ends; nothing when it goes on.
    static void AddCommon(QCommandLineParser& parser);
    static std::optional<CommandLineEnd> ParseCommon(QCommandLineParser& parser,
                                                     const QStringList& arguments);
    // `message` refused, as one line naming the program.
    static CommandLineEnd Refuse(const QStringList& arguments, const QString& message);
};

}  // namespace mp
