#pragma once
// CMotorProtectorApp: start-up. Asks for the connection (filled from the last connection
// that worked and from the command line, or taken from them at once with --connect), then
// opens the main window with its colours, font and handlers and runs the event loop until it
// closes.

#include "app/CommandLine.h"

class QApplication;

namespace mp {

class CMotorProtectorApp {
public:
    // 0 when the operator leaves the setup dialog, else the event loop's result.
    int Run(const StartOptions& options = {});

    // The dialog colours of every window opened after the setup dialog, and the colours of
    // the enabled, editable edit fields.
    static void ApplyWindowColours(QApplication& app);
    // Qt's own texts (the standard buttons "确定", "是", "否", the edit menu) in Chinese, from
    // Qt's translations where they are installed; false when they are not.
    static bool LoadQtTranslations(QApplication& app);
    // 宋体 10 pt where it is installed, else a Chinese family that is; a family whose lines
    // are taller than 宋体's at 10 pt is made smaller (not below 8 pt) until they are not.
    static void ApplyWindowFont(QApplication& app);
};

}  // namespace mp
