#include "app/MotorProtectorApp.h"

#include <QApplication>
#include <QFontDatabase>
#include <QMessageBox>
#include <QSettings>

#include "app/CommSetupDlg.h"
#include "app/DiagnosticsWiring.h"
#include "app/DialogService.h"
#include "app/FilesWiring.h"
#include "app/MainController.h"
#include "app/MotorProtectorDlg.h"
#include "diagnostics/Diagnostics.h"
#include "files/FileDialogs.h"
#include "files/FilesController.h"

namespace mp {

namespace {

const QString kMessageTitle = QStringLiteral("马达保护控制器演示软件-Quellar");

const QColor kDialogBackground(195, 239, 255);
const QColor kDialogText(0, 5, 10);

}  // namespace

int CMotorProtectorApp::Run() {
    CCommSetupDlg setup([](const QString& text) {
        QMessageBox::information(QApplication::activeWindow(), kMessageTitle, text);
    });
    if (setup.exec() != QDialog::Accepted) {
        return 0;
    }
    const ConnectionSettings connection = setup.Result();

    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    ApplyWindowColours(*app);
    ApplyWindowFont(*app);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/app-icon.png")));

    CDialogService dialogs;
    CMotorProtectorDlg window(dialogs);
    CMainController controller(window, dialogs, connection);
    CFileDialogs fileDialogs;
    QSettings userSettings(QSettings::IniFormat, QSettings::UserScope,
                           QStringLiteral("motor-protector"), QStringLiteral("motor-protector"));
    const auto files = InstallFiles(window, controller, fileDialogs, &userSettings);
    const auto diagnostics = InstallDiagnostics(window, controller, fileDialogs);
    controller.Start();
    window.show();
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
    const QStringList families = QFontDatabase::families();
    const QStringList preferred = {QStringLiteral("宋体"),
                                   QStringLiteral("SimSun"),
                                   QStringLiteral("NSimSun"),
                                   QStringLiteral("WenQuanYi Micro Hei"),
                                   QStringLiteral("Noto Sans CJK SC"),
                                   QStringLiteral("Source Han Sans SC")};
    QString chosen;
    for (const QString& family : preferred) {
        if (families.contains(family, Qt::CaseInsensitive)) {
            chosen = family;
            break;
        }
    }
    if (chosen.isEmpty()) {
        const QStringList chinese = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
        if (!chinese.isEmpty()) {
            chosen = chinese.first();
        }
    }
    QFont font = QApplication::font();
    if (!chosen.isEmpty()) {
        font.setFamily(chosen);
    }
    font.setPointSize(10);
    app.setFont(font);
}

}  // namespace mp
