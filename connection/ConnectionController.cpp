#include "connection/ConnectionController.h"

#include <QJsonObject>

#include "connection/CommParamChange.h"
#include "connection/CommParamValues.h"
#include "connection/ConnectionView.h"
#include "device/LineCodes.h"
#include "language/Text.h"
#include "line/DeviceLine.h"
#include "relay/Relay.h"

namespace mp {
namespace {

QString ReadingStatus() {
    return CConnectionController::tr("读实时数据...");
}
QString PortLostStatus() {
    return CConnectionController::tr("串口已断开，正在重试...");
}
QString PortBackStatus() {
    return CConnectionController::tr("串口已重新连接");
}

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

QString PortName(const ConnectionSettings& connection) {
    return connection.Simulated() ? CConnectionController::tr("内置模拟设备") : connection.PortText;
}

QString ParityName(int parity) {
    return QString::fromStdString(Tr(ParityTextOf(parity)));
}

// The line in use as the status bar shows it: "COM1  9600 波特 无校验  地址 1".
QString LineText(const ConnectionSettings& connection) {
    return CConnectionController::tr("%1  %2 波特 %3  地址 %4")
        .arg(PortName(connection))
        .arg(connection.BaudRate)
        .arg(ParityName(connection.ParityCode))
        .arg(connection.SlaveAddress);
}

// How a change of the device's address and rate goes into the write log.
DeviceWriteOutcome OutcomeOf(CommChangeOutcome outcome) {
    switch (outcome) {
        case CommChangeOutcome::Confirmed:
            return DeviceWriteOutcome::Confirmed;
        case CommChangeOutcome::Refused:
            return DeviceWriteOutcome::NotHeld;
        case CommChangeOutcome::LineFailed:
            return DeviceWriteOutcome::NotFollowed;
        case CommChangeOutcome::NoAnswer:
        case CommChangeOutcome::PortClosed:
            break;
    }
    return DeviceWriteOutcome::NoReply;
}

}  // namespace

CConnectionController::CConnectionController(const ConnectionSettings& connection,
                                             CDeviceLine& line, CRelay& relay,
                                             IOperationQueue& operations, IConnectionView& view,
                                             IConnectionDialogs& dialogs, QObject* parent)
    : QObject(parent),
      Connection_(connection),
      Line_(line),
      Relay_(relay),
      Operations_(operations),
      View_(view),
      Dialogs_(dialogs) {
    Relay_.SetAddress(Connection_.SlaveAddress);
    connect(&Line_, &CDeviceLine::PortLost, this, &CConnectionController::OnPortLost);
    connect(&Line_, &CDeviceLine::PortBack, this, &CConnectionController::OnPortBack);
}

std::string CConnectionController::Summary() const {
    // A record kept with the fields, never shown: it stays in the device's own words.
    return (QStringLiteral("\r\n仪表地址: %1 \r\n\r\n").arg(Connection_.SlaveAddress) +
            QStringLiteral("串口:     %1 \r\r\n波特率:  %2 \r\n\r\n")
                .arg(Connection_.PortText)
                .arg(Connection_.BaudRate) +
            QStringLiteral("校验位:  ") + QString::fromUtf8(ParityTextOf(Connection_.ParityCode)))
        .toStdString();
}

void CConnectionController::Inform(const QString& text) {
    Dialogs_.Inform(View_.DialogParent(), text);
}

void CConnectionController::QueueOpen(std::function<void(bool, const QString&)> done) {
    const PortSettings line = Connection_.Line();
    const uint8_t address = Connection_.SlaveAddress;
    Operations_.Queue(OperatorAction::OpenLine, [this, line, address,
                                                 done = std::move(done)](CDeviceContext& ctx) {
        const bool opened = Line_.Open(ctx, line, address);
        const QString reason = Text(ctx.Link.Port().LastError());
        ctx.Post([this, opened, reason, done] {
            Relay_.Operation().SetLine(opened ? LineCondition::Open : LineCondition::Closed);
            if (opened) {
                emit PortOpened(Connection_);
            }
            if (done) {
                done(opened, reason);
            }
        });
    });
}

void CConnectionController::OpenLine() {
    QueueOpen([this](bool opened, const QString& reason) {
        if (!opened) {
            ReportOpenFailure(reason);
        }
    });
}

void CConnectionController::ReportOpenFailure(const QString& reason) {
    const QString failure = reason.contains(Connection_.PortText)
                                ? reason
                                : tr("串口 %1 打开失败：%2").arg(Connection_.PortText, reason);
    Inform(tr("%1\n程序继续运行，但不会与设备通信。").arg(failure));
}

void CConnectionController::OnPortLost(const QString& message) {
    Relay_.Operation().SetLine(LineCondition::Recovering);
    View_.SetStatus(&PortLostStatus);
    ShowLinkState();
    // The retries start at once, not when the operator has read the message.
    Line_.Recover(Connection_.Line());
    Inform(message);
}

void CConnectionController::OnPortBack() {
    COperationState& state = Relay_.Operation();
    state.SetLine(LineCondition::Open);
    // The reads that found the port closed belong to the lost port: the link starts again.
    Relay_.Values().Live.Freshness.StartLine();
    // Polling was left running: its next tick reads from the port again.
    if (state.Mode() == OperationState::Polling) {
        View_.SetStatus([] { return tr("%1，%2").arg(PortBackStatus(), ReadingStatus()); });
    } else {
        View_.SetStatus(&PortBackStatus);
    }
    ShowLinkState();
}

void CConnectionController::ShowLinkState() {
    if (Relay_.Operation().Line() == LineCondition::Recovering) {
        View_.SetLinkStatus(LinkState::PortLost, PortLostStatus());
        return;
    }
    const CLiveFreshness& freshness = Relay_.Values().Live.Freshness;
    LinkState state = freshness.ReadOnThisLine() ? LinkState::Answering : LinkState::Idle;
    if (freshness.MissedInRow() > 0) {
        state = freshness.LastFailure() == ReadFailure::PortClosed ? LinkState::PortLost
                                                                   : LinkState::Unanswered;
    } else if (freshness.ReadOnThisLine() && freshness.AnyStale()) {
        // Green only while every live read answers, not while one of them never does.
        state = LinkState::Unanswered;
    }
    View_.SetLinkStatus(state, Text(freshness.LinkText()));
}

void CConnectionController::ShowLine() {
    View_.SetLineText([connection = Connection_] { return LineText(connection); });
}

bool CConnectionController::CanReconnect() const {
    return !Line_.IsShutDown() && Relay_.Operation().Allows(OperatorAction::Reconnect);
}

void CConnectionController::UpdateReconnectAction() {
    View_.SetReconnectEnabled(CanReconnect());
}

void CConnectionController::Reconnect() {
    if (!CanReconnect()) {
        return;
    }
    ConnectionSettings chosen = Connection_;
    // A relay of a plant stays on its line: reconnecting looks at the line again.
    if (!Line_.IsShare() && !Dialogs_.AskConnection(View_.DialogParent(), chosen)) {
        return;
    }
    if (Line_.OwnsPort() && chosen.Simulated() != Connection_.Simulated()) {
        Inform(tr("内置模拟设备与串口之间的切换需要重新启动程序。"));
        return;
    }
    // Retries of a lost port stop: the line is now the one chosen.
    Line_.StopRecovery();
    Relay_.Operation().SetLine(LineCondition::Closed);
    Connection_ = chosen;
    Relay_.SetAddress(Connection_.SlaveAddress);
    Line_.Follow(Connection_);
    // What the old line's reads found says nothing of the new one: the link state starts again
    // (the values on screen keep their stale marks).
    Relay_.Values().Live.Freshness.StartLine();
    View_.ShowConnectionSummary(Summary());
    ShowLine();
    View_.SetStatus([port = Connection_.PortText] { return tr("连接 %1 ...").arg(port); });
    ShowLinkState();
    QueueOpen([this](bool opened, const QString& reason) {
        if (!opened) {
            ReportOpenFailure(reason);
        }
        const QString port = Connection_.PortText;
        if (opened) {
            View_.SetStatus([port] { return tr("串口 %1 已连接").arg(port); });
        } else {
            View_.SetStatus([port] { return tr("串口 %1 未能打开").arg(port); });
        }
        ShowLinkState();
    });
}

bool CConnectionController::AuditAdmits() {
    QString message;
    if (Relay_.Audit().Admit(&message)) {
        return true;
    }
    Inform(message);
    return false;
}

void CConnectionController::ChangeDeviceCommParams() {
    if (!Operations_.Allowed(OperatorAction::ChangeCommParams) || !Operations_.RequireLine() ||
        !AuditAdmits()) {
        return;
    }
    // One pending operation from the read of the device's address to the end of its change,
    // the operator's answer included.
    const int token = Operations_.Begin(OperatorAction::ChangeCommParams);
    Operations_.Post([this, token](CDeviceContext& ctx) {
        ReadDeviceCommParams(ctx, [this, token](bool answered, int address, std::string baudText) {
            if (!answered) {
                Inform(Text(Tr(kCommParamsNoReplyText)));
                Operations_.Finish(token);
                return;
            }
            CommParamValues values;
            values.Address = address;
            values.BaudText = Text(baudText);
            values.PortText = PortName(Connection_);
            values.ParityText = ParityName(Connection_.ParityCode);
            if (!Dialogs_.EditCommParams(View_.DialogParent(), values)) {
                Operations_.Finish(token);
                return;
            }
            const int code = BaudCodeOfRate(values.NewBaudRate);
            if (code < 0) {
                Operations_.Finish(token);
                return;  // the dialog refuses any other rate
            }
            if (Line_.IsShare() && values.NewBaudRate != Connection_.BaudRate) {
                // The other relays of the plant's line talk at the line's rate: a relay at
                // another rate would fall off it.
                Inform(
                    tr("这台继电器与厂站线路上的其他继电器共用线路，不能在此更改波特率；"
                       "请先在厂站中更改线路速率。"));
                Operations_.Finish(token);
                return;
            }
            const PortSettings oldLine = Connection_.Line();
            PortSettings newLine = oldLine;
            newLine.BaudRate = values.NewBaudRate;
            const int newAddress = values.Address;
            const int newRate = values.NewBaudRate;
            const int oldAddress = Connection_.SlaveAddress;
            if (!AuditAdmits()) {
                Operations_.Finish(token);  // the log went while the dialog was open
                return;
            }
            // What the device gave when asked, before the change.
            const QJsonObject before{{QStringLiteral("address"), address},
                                     {QStringLiteral("baud"), Text(baudText)}};
            Operations_.Post([this, token, newAddress, code, oldLine, newLine, newRate, oldAddress,
                              before](CDeviceContext& wctx) {
                WriteDeviceCommParams(
                    wctx, newAddress, code, oldLine, newLine,
                    [this, token, newAddress, newRate, oldAddress,
                     before](const CommChangeResult& result) {
                        if (result.Outcome != CommChangeOutcome::PortClosed) {
                            DeviceWrite write;
                            write.Kind = DeviceWriteKind::CommParams;
                            write.Outcome = OutcomeOf(result.Outcome);
                            write.Address = oldAddress;
                            write.NewAddress = newAddress;
                            write.NewBaudRate = newRate;
                            write.Before = before;
                            if (result.Outcome == CommChangeOutcome::Confirmed) {
                                // Read back at the new address and rate.
                                write.After = {{QStringLiteral("address"), newAddress},
                                               {QStringLiteral("baud"), newRate}};
                            }
                            write.Refused = result.Outcome == CommChangeOutcome::Refused;
                            if (result.Outcome == CommChangeOutcome::LineFailed) {
                                write.Detail = Text(result.Error);
                            }
                            emit DeviceWritten(write);
                        }
                        ApplyCommChange(result, newAddress, newRate);
                        Operations_.Finish(token);
                    });
            });
        });
    });
}

void CConnectionController::ApplyCommChange(const CommChangeResult& result, int newAddress,
                                            int newRate) {
    switch (result.Outcome) {
        case CommChangeOutcome::Confirmed:
            Connection_.SlaveAddress = static_cast<uint8_t>(newAddress);
            Connection_.BaudRate = newRate;
            Relay_.SetAddress(Connection_.SlaveAddress);
            View_.ShowConnectionSummary(CommParamSummaryText(newAddress, newRate));
            ShowLine();
            Inform(Text(Tr(kCommParamsChangedText)));
            return;
        case CommChangeOutcome::LineFailed:
            Inform(tr("串口未能改为 %1 波特：%2").arg(newRate).arg(Text(result.Error)));
            return;
        case CommChangeOutcome::Refused:
            Inform(Text(Tr(kCommParamsRefusedText)));
            return;
        case CommChangeOutcome::NoAnswer:
        case CommChangeOutcome::PortClosed:
            Inform(Text(Tr(kCommParamsNoAnswerText)));
            return;
    }
}

void CConnectionController::UseLine(uint8_t address, int baudRate, int parity,
                                    std::function<void(bool)> done) {
    if (!Operations_.Allowed(OperatorAction::Reconnect)) {
        if (done) {
            done(false);
        }
        return;
    }
    Connection_.SlaveAddress = address;
    Connection_.BaudRate = baudRate;
    Connection_.ParityCode = parity;
    Relay_.SetAddress(address);
    const PortSettings line = Connection_.Line();
    Operations_.Queue(
        OperatorAction::Reconnect, [this, line, address, baudRate, done](CDeviceContext& ctx) {
            const bool opened = Line_.Reconfigure(ctx, line, address);
            const QString reason = Text(ctx.Link.Port().LastError());
            ctx.Post([this, opened, reason, address, baudRate, done] {
                Relay_.Operation().SetLine(opened ? LineCondition::Open : LineCondition::Closed);
                // Another device, or the same at another rate: the link state starts again.
                Relay_.Values().Live.Freshness.StartLine();
                View_.ShowConnectionSummary(CommParamSummaryText(address, baudRate));
                ShowLine();
                ShowLinkState();
                if (opened) {
                    View_.SetStatus([address, baudRate] {
                        return tr("已连接到地址 %1，%2 波特").arg(address).arg(baudRate);
                    });
                } else {
                    View_.SetStatus(
                        [port = Connection_.PortText] { return tr("串口 %1 未能打开").arg(port); });
                    Inform(tr("串口 %1 打开失败：%2").arg(Connection_.PortText, reason));
                }
                if (done) {
                    done(opened);
                }
            });
        });
}

}  // namespace mp
