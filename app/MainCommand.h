#pragma once
// The operations the main window's buttons and menu items ask for, and the operator action
// the operation state judges each one as.

#include <vector>

#include "relay/OperationState.h"

namespace mp {

enum class MainCommand {
    ReadRealtimeData,          // "读实时数据↑", menu "读实时数据"
    StopRun,                   // "停止运行"
    WriteSettings,             // "写数据参数值↓", menu "写数据参数值"
    RestoreDefaults,           // "恢复保护默认值"
    ChangeCommParams,          // "通讯设置", menu "通讯参数设置"
    CalibrateCurrent,          // "电流设置", menu "额定电流设置"
    SetStartMode,              // "设置起动方式", menu "启动方式设置"
    CloseOutputA,              // "合闸A"
    OpenOutputA,               // menu "分闸A"
    CloseOutputB,              // "合闸B"
    OpenOutputB,               // menu "分闸B"
    ResetOutputs,              // "复 归", menu "复归"
    ShowUsageNotes,            // menu "软件使用说明"
    MaintenanceUnlock,         // "调试密码"
    SendPwmOutput,             // "PWM输出"
    CalibrateVoltage,          // "电压调试"
    ReadCoefficients,          // "读序数"
    ResetCurrentCoefficients,  // "电流序数复归"
    ResetVoltageCoefficients,  // "电压序数复归"
    ReadEventRecords,          // "保护事件记录"
    Reconnect,                 // menu "重新连接..."
};

// The commands whose buttons and menu items follow the operation state.
extern const std::vector<MainCommand> kStateCommands;

OperatorAction ActionOf(MainCommand command);

}  // namespace mp
