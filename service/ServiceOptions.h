#pragma once
// The service's options: from a configuration file (--config, key = value as the options'
// long names) and the command line, which wins over the file. Parsing prints nothing and ends
// nothing: the caller writes Output and Error and ends with ExitCode when Proceed is false.

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include "mqtt/MqttClient.h"
#include "service/PlantPublisher.h"

namespace mp {

struct ServiceOptions {
    QString PlantFile;
    MqttOptions Broker;
    QString Prefix;
    PublishLimits Limits;
    int SettingsEveryS = 600;  // the relays' settings read again this often (0: only once)
};

struct ServiceOptionsResult {
    bool Proceed = true;  // false: end with ExitCode
    int ExitCode = 0;     // 0 after --version or --help, 2 after a refused option
    QString Output;       // for stdout
    QString Error;        // for stderr: one line naming the option or key and the value
    ServiceOptions Options;
};

class CServiceOptions {
    Q_DECLARE_TR_FUNCTIONS(mp::CServiceOptions)

public:
    static constexpr int kUsageError = 2;
    // `arguments` as QCoreApplication::arguments() gives them, the program first.
    static ServiceOptionsResult Parse(const QStringList& arguments);
};

}  // namespace mp
