#pragma once
// The starts of one relay in the "曲线" menu: every finished start capture kept as a record
// ("起动记录..." lists them, marks the baseline, deletes and compares), and the COMTRADE
// export of a start and of the trend's samples. It reaches the relay's window only through
// its host; app/ ties it to the trend controller.

#include <QObject>
#include <QPointer>
#include <functional>
#include <vector>

#include "starts/Comtrade.h"
#include "starts/StartHistory.h"
#include "starts/StartsWindow.h"

class QAction;
class QMenu;
class QWidget;

namespace mp {

class IDialogService;

// Where a relay's starts are kept and how its COMTRADE files name it.
struct StartsPlace {
    QString Folder;
    QString Station;  // the plant's name, or "地址 N"
    QString Device;   // the feeder's tag, or "地址 N"
};

struct StartsHost {
    QWidget* Window = nullptr;
    std::function<StartsPlace()> Place;
    // The CT ratio the window's settings hold (1 when none).
    std::function<double()> CtRatio;
    // The samples the trend holds now, oldest first.
    std::function<std::vector<TrendSample>()> TrendSamples;
};

class CStartsController : public QObject {
    Q_OBJECT
public:
    CStartsController(StartsHost host, IDialogService& dialogs, QObject* parent = nullptr);
    ~CStartsController() override;

    // "起动记录..." and the trend's COMTRADE export, added to the "曲线" menu.
    void InstallMenu(QMenu* menu);

    // Keeps a finished capture as a record; the words for the operator's message (kept, or
    // why not).
    QString KeepStart(const CStartCapture& capture);

    void ShowStartsWindow();
    // The trend's samples as COMTRADE files; the operator chooses the .cfg name.
    void ExportTrend(ComtradeFormat format);
    // A recording (a CSV file of "开始记录..." or "起动录波") as COMTRADE files; the operator
    // chooses the recording, then the .cfg name.
    void ConvertRecording(ComtradeFormat format);
    // A kept start as COMTRADE files.
    void ExportStart(const QString& id, ComtradeFormat format);

    CStartHistory& History();
    CStartsWindow* StartsWindow() const { return Window_; }

    // Writes the .dat, then the .cfg beside it, each whole (QSaveFile); false with the reason.
    static bool SaveComtrade(const QString& cfgPath, const ComtradeFiles& files, QString* error);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void RetranslateTexts();
    ComtradeHeader Header(int64_t triggerMs) const;
    void Export(const std::vector<TrendSample>& samples, int64_t triggerMs, const QString& name,
                ComtradeFormat format);

    StartsHost Host_;
    IDialogService& Dialogs_;
    CStartHistory History_;
    QPointer<CStartsWindow> Window_;
    QAction* StartsAction_ = nullptr;
    QMenu* ExportMenu_ = nullptr;
    QAction* ExportAscii_ = nullptr;
    QAction* ExportBinary_ = nullptr;
    QAction* ConvertAscii_ = nullptr;
    QAction* ConvertBinary_ = nullptr;
};

}  // namespace mp
