#pragma once
// CMotorProtectorApp: start-up. Asks for the connection (filled from the last connection
// that worked and from the command line, or taken from them at once with --connect), then
// opens the main window with its colours, font and handlers and runs the event loop until it
// closes.

#include "connection/CommandLine.h"

class QApplication;

namespace mp {

class CLanguageChoice;

class CMotorProtectorApp {
public:
    // 0 when the operator leaves the setup dialog, else the event loop's result. The
    // window's "语言/Language" menu switches `language`.
    int Run(const StartOptions& options, CLanguageChoice& language);
    // --plant: the plant's overview, no setup dialog.
    int RunPlant(const QString& path, CLanguageChoice& language);

    // The dialog colours of every window opened after the setup dialog, and the colours of
    // the enabled, editable edit fields.
    static void ApplyWindowColours(QApplication& app);
    // 宋体 10 pt where it is installed, else a Chinese family that is; a family whose lines
    // are taller than 宋体's at 10 pt is made smaller (not below 8 pt) until they are not.
    static void ApplyWindowFont(QApplication& app);
};

}  // namespace mp
