// motor-protector-service: runs a plant's lines without a window and publishes the feeders to
// an MQTT broker. Logs one line per event to stderr (the journal under systemd); ends on
// SIGTERM or SIGINT after publishing "offline".

#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QLocale>
#include <QSocketNotifier>
#include <QTranslator>
#include <csignal>
#include <cstdio>

#include "language/LanguageChoice.h"
#include "language/Text.h"
#include "mqtt/MosquittoClient.h"
#include "service/PlantService.h"
#include "service/ServiceOptions.h"

namespace {

int g_signalPipe[2] = {-1, -1};

void OnSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &byte, 1);
}

// The plain C++ layers' texts (a port's or gateway's words) in the log's language.
std::string TranslateText(const char* context, const char* source) {
    return QCoreApplication::translate(context, source).toStdString();
}

void Print(FILE* stream, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Quellar"));
    QCoreApplication::setApplicationName(QStringLiteral("motor-protector-service"));
    QCoreApplication::setApplicationVersion(QStringLiteral(MP_VERSION));

    mp::SetTextTranslator(&TranslateText);
    QTranslator english;
    if (mp::CLanguageChoice::ForLocale(QLocale::system()) == mp::Language::English &&
        english.load(QStringLiteral(":/translations/motor-protector_en.qm"))) {
        QCoreApplication::installTranslator(&english);
    }

    const mp::ServiceOptionsResult parsed =
        mp::CServiceOptions::Parse(QCoreApplication::arguments());
    if (!parsed.Proceed) {
        Print(stdout, parsed.Output);
        Print(stderr, parsed.Error);
        return parsed.ExitCode;
    }

    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0) {
        Print(stderr, QStringLiteral("motor-protector-service: socketpair failed\n"));
        return 1;
    }
    QSocketNotifier notifier(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &app, [] {
        char byte = 0;
        [[maybe_unused]] const ssize_t got = ::read(g_signalPipe[0], &byte, 1);
        QCoreApplication::quit();
    });
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGINT, OnSignal);

    mp::CMosquittoClient client;
    mp::CPlantService service(parsed.Options, client,
                              [](const QString& line) { Print(stderr, line + QLatin1Char('\n')); });
    if (!service.Start()) {
        return 1;
    }
    const int code = QCoreApplication::exec();
    service.Stop();
    Print(stderr,
          QCoreApplication::translate("mp::CPlantService", "服务已停止") + QLatin1Char('\n'));
    return code;
}
