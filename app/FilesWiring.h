#pragma once
// Ties the "文件" menu's functions to the main window and its handlers: the window's fields,
// the I/O worker, the connection, and the results of writes and reads they follow.

#include <memory>

class QSettings;

namespace mp {

class CFilesController;
class CMainController;
class CMotorProtectorDlg;
class IFileWindows;

// The recent files are kept in `store` (none: for this run only).
std::unique_ptr<CFilesController> InstallFiles(CMotorProtectorDlg& window,
                                               CMainController& controller, IFileWindows& dialogs,
                                               QSettings* store);

}  // namespace mp
