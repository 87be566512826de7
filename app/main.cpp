// The motor protection controller tool: command line, start-up dialog, then the main window.

#include <QApplication>
#include <QLocale>
#include <QSettings>
#include <cstdio>

#include "app/CommandLine.h"
#include "app/MotorProtectorApp.h"
#include "language/LanguageChoice.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("motor-protector"));
    QCoreApplication::setApplicationName(QStringLiteral("motor-protector"));
    QCoreApplication::setApplicationVersion(QStringLiteral(MP_VERSION));

    // The language first: the command line's help speaks it too.
    QSettings settings;
    mp::CLanguageChoice language(settings);
    language.Apply(language.Initial(QLocale::system()));

    const mp::CommandLineResult command = mp::CCommandLine::Parse(QCoreApplication::arguments());
    std::fputs(command.Output.toLocal8Bit().constData(), stdout);
    std::fputs(command.Error.toLocal8Bit().constData(), stderr);
    if (!command.Proceed) {
        return command.ExitCode;
    }
    return mp::CMotorProtectorApp().Run(command.Options, language);
}
