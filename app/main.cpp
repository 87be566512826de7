// The motor protection controller tool: command line, start-up dialog, then the main window.

#include <QApplication>
#include <QCoreApplication>
#include <QLocale>
#include <QSettings>
#include <QStringList>
#include <cstdio>
#include <memory>

#include "app/MotorProtectorApp.h"
#include "connection/CommandLine.h"
#include "language/LanguageChoice.h"

namespace {

void NameApplication() {
    QCoreApplication::setOrganizationName(QStringLiteral("motor-protector"));
    QCoreApplication::setApplicationName(QStringLiteral("motor-protector"));
    QCoreApplication::setApplicationVersion(QStringLiteral(MP_VERSION));
}

// The window system's own options (QApplication takes them out of the arguments it keeps):
// read without the window system, they are left out here so that they are not refused.
QStringList WithoutWindowSystemOptions(const QStringList& arguments) {
    static const QStringList withValue = {QStringLiteral("platform"),
                                          QStringLiteral("platformpluginpath"),
                                          QStringLiteral("platformtheme"),
                                          QStringLiteral("plugin"),
                                          QStringLiteral("qwindowgeometry"),
                                          QStringLiteral("geometry"),
                                          QStringLiteral("qwindowtitle"),
                                          QStringLiteral("title"),
                                          QStringLiteral("qwindowicon"),
                                          QStringLiteral("icon"),
                                          QStringLiteral("session"),
                                          QStringLiteral("style"),
                                          QStringLiteral("stylesheet"),
                                          QStringLiteral("display"),
                                          QStringLiteral("name")};
    static const QStringList alone = {QStringLiteral("reverse"), QStringLiteral("widgetcount"),
                                      QStringLiteral("nograb"), QStringLiteral("dograb"),
                                      QStringLiteral("sync")};
    QStringList kept;
    for (int k = 0; k < arguments.size(); ++k) {
        QString name = arguments[k];
        if (k == 0 || !name.startsWith(QLatin1Char('-'))) {
            kept << arguments[k];
            continue;
        }
        name.remove(0, name.startsWith(QStringLiteral("--")) ? 2 : 1);
        const QString bare = name.section(QLatin1Char('='), 0, 0);
        if (withValue.contains(bare)) {
            if (!name.contains(QLatin1Char('=')) && k + 1 < arguments.size()) {
                ++k;  // its value
            }
            continue;
        }
        if (alone.contains(name) || name.startsWith(QStringLiteral("qmljsdebugger="))) {
            continue;
        }
        kept << arguments[k];
    }
    return kept;
}

// Reads the command line without the window system, so that --help, --version and a refused
// option work with no display (over SSH, in a script). The help speaks the chosen language.
mp::CommandLineResult ReadCommandLine(int& argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    NameApplication();
    QSettings settings;
    mp::CLanguageChoice language(settings);
    language.Apply(language.Initial(QLocale::system()));
    return mp::CCommandLine::Parse(WithoutWindowSystemOptions(QCoreApplication::arguments()));
}

}  // namespace

int main(int argc, char* argv[]) {
    const mp::CommandLineResult command = ReadCommandLine(argc, argv);
    std::fputs(command.Output.toLocal8Bit().constData(), stdout);
    std::fputs(command.Error.toLocal8Bit().constData(), stderr);
    if (!command.Proceed) {
        return command.ExitCode;
    }

    // Only now the window system: the program goes on to its windows.
    QApplication application(argc, argv);
    NameApplication();
    QSettings settings;
    mp::CLanguageChoice language(settings);
    language.Apply(language.Initial(QLocale::system()));
    return mp::CMotorProtectorApp().Run(command.Options, language);
}
