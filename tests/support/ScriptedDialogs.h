#pragma once
// Answers the handlers' message boxes and dialogs from a script and records what they showed,
// so GUI tests never block in a nested event loop.

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "app/DialogService.h"

namespace mp::test {

class CScriptedDialogs : public IDialogService {
public:
    void Inform(QWidget*, const QString& text) override { Messages << text; }
    bool AskYesNo(QWidget*, const QString& text) override {
        Questions << text;
        return YesNoAnswer;
    }
    void ShowUsageNotes(QWidget*) override { ++UsageNotesShown; }
    std::optional<QString> AskPassword(QWidget*) override {
        ++PasswordAsked;
        return PasswordAnswer;
    }
    bool EditCommParams(QWidget*, CommParamValues& values) override {
        CommParamsShown = values;
        ++CommParamsAsked;
        return CommParamsAnswer ? CommParamsAnswer(values) : false;
    }
    void ShowEventRecords(QWidget*, const EventRecordTexts& texts) override {
        EventRecords = texts;
        ++EventRecordsShown;
    }
    bool AskConnection(QWidget*, ConnectionSettings& settings) override {
        ConnectionShown = settings;
        ++ConnectionAsked;
        return ConnectionAnswer ? ConnectionAnswer(settings) : false;
    }

    QStringList Messages;
    QStringList Questions;
    bool YesNoAnswer = true;
    int UsageNotesShown = 0;
    int PasswordAsked = 0;
    std::optional<QString> PasswordAnswer;
    int CommParamsAsked = 0;
    CommParamValues CommParamsShown;
    std::function<bool(CommParamValues&)> CommParamsAnswer;
    int EventRecordsShown = 0;
    EventRecordTexts EventRecords;
    int ConnectionAsked = 0;
    ConnectionSettings ConnectionShown;
    std::function<bool(ConnectionSettings&)> ConnectionAnswer;
};

}  // namespace mp::test
