#include "app/MotorProtectorApp.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QSettings>

#include "app/MainDialogs.h"
#include "app/PlantWindows.h"
#include "app/RelayWindow.h"
#include "connection/CommSetupDlg.h"
#include "connection/ConnectionMemory.h"
#include "language/ChineseFont.h"
#include "language/LanguageChoice.h"
#include "plant/OverviewDlg.h"

namespace mp {

namespace {

const QColor kDialogBackground(195, 239, 255);
const QColor kDialogText(0, 5, 10);

// Line height over font size of 宋体 and WenQuanYi Micro Hei, and the smallest size a font
// with taller lines is brought down to.
constexpr qreal kCompactLineFactor = 1.2;
constexpr qreal kSmallestPointSize = 8.0;

}  // namespace

int CMotorProtectorApp::Run(const StartOptions& options, CLanguageChoice& language) {
    QSettings settings;
    CConnectionMemory memory(settings);
    const std::vector<SystemPortInfo> ports = SystemPorts();
    std::vector<QString> locations;
    for (const SystemPortInfo& port : ports) {
        locations.push_back(QString::fromStdString(port.Location));
    }
    const ConnectionSettings start = options.Over(memory.Load(locations));

    if (!options.PlantFile.isEmpty()) {
        return RunPlant(options.PlantFile, language);
    }
    CMainDialogs dialogs;
    ConnectionSettings connection = start;
    if (!options.Connect) {
        CCommSetupDlg setup(
            [&dialogs](const QString& text) { dialogs.Inform(QApplication::activeWindow(), text); },
            ports);
        setup.Fill(start);
        if (setup.exec() != QDialog::Accepted) {
            return 0;
        }
        connection = setup.Result();
    }

    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    ApplyWindowColours(*app);
    ApplyWindowFont(*app);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/app-icon.png")));

    CRelayWindow relay(connection);
    QObject::connect(&relay.Controller(), &CMainController::PortOpened,
                     [&memory](const ConnectionSettings& opened) { memory.Save(opened); });
    CMotorProtectorDlg& window = relay.Window();
    CMainController& controller = relay.Controller();
    CPlantWindows plants;
    plants.AddMenu(window.menuBar());
    language.AddMenu(window.menuBar());
    controller.Start();
    window.show();
    return QApplication::exec();
}

int CMotorProtectorApp::RunPlant(const QString& path, CLanguageChoice& language) {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    ApplyWindowColours(*app);
    ApplyWindowFont(*app);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/app-icon.png")));
    CPlantWindows plants;
    language.AddMenu(plants.Overview().menuBar());
    plants.Overview().show();
    plants.Open(path);
    return QApplication::exec();
}

void CMotorProtectorApp::ApplyWindowColours(QApplication& app) {
    QPalette palette = QApplication::palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Window, kDialogBackground);
    }
    palette.setColor(QPalette::Active, QPalette::WindowText, kDialogText);
    palette.setColor(QPalette::Inactive, QPalette::WindowText, kDialogText);
    app.setPalette(palette);

    // Enabled, editable edit fields (also the edits of editable drop-downs) stand out in
    // black on yellow-green; read-only and disabled ones keep the dialog's colours.
    app.setStyleSheet(QStringLiteral(
        "QLineEdit { color: rgb(0, 0, 0); background-color: rgb(180, 220, 0); }"
        "QLineEdit[readOnly=\"true\"] { color: rgb(0, 5, 10);"
        " background-color: rgb(195, 239, 255); }"
        "QLineEdit:disabled { background-color: rgb(195, 239, 255); }"
        "QComboBox:editable:enabled { color: rgb(0, 0, 0); background-color: rgb(180, 220, 0); }"));
}

void CMotorProtectorApp::ApplyWindowFont(QApplication& app) {
    const QStringList preferred = {QStringLiteral("宋体"),
                                   QStringLiteral("SimSun"),
                                   QStringLiteral("NSimSun"),
                                   QStringLiteral("WenQuanYi Micro Hei"),
                                   QStringLiteral("Noto Sans CJK SC"),
                                   QStringLiteral("Source Han Sans SC")};
    const QString chosen = InstalledChineseFamily(preferred);
    QFont font = QApplication::font();
    if (!chosen.isEmpty()) {
        font.setFamily(chosen);
    }
    font.setPointSize(10);
    // Fonts differ in the room they leave above and below a line: Noto Sans CJK's lines are
    // a fifth taller than 宋体's or WenQuanYi's at the same size, and every row of the window
    // grows with them, past what a 1366 x 768 screen holds. Such a font is made smaller until
    // its lines are as tall as theirs, which leaves its characters about as tall as theirs.
    const qreal lineLimit = kCompactLineFactor * QFontInfo(font).pixelSize() + 0.5;
    while (QFontMetricsF(font).height() > lineLimit && font.pointSizeF() > kSmallestPointSize) {
        font.setPointSizeF(font.pointSizeF() - 0.25);
    }
    app.setFont(font);
}

}  // namespace mp
