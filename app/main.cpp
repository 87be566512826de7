// The motor protection controller tool: start-up dialog, then the main window.

#include <QApplication>

#include "app/MotorProtectorApp.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    return mp::CMotorProtectorApp().Run();
}
