#pragma once
// Answers every message box, question, file chooser and window from a script and records
// what was shown, so GUI tests never block in a nested event loop.

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

#include "app/DialogService.h"
#include "connection/CommParamValues.h"
#include "files/FileWindows.h"
#include "line/ConnectionSettings.h"

namespace mp::test {

class CScriptedDialogs : public IMainDialogs, public IFileWindows {
public:
    void Inform(QWidget*, const QString& text) override { Messages << text; }
    bool AskYesNo(QWidget*, const QString& text) override {
        Questions << text;
        return YesNoAnswer;
    }
    QString OpenFileName(QWidget*, const QString&, const QString&) override {
        ++OpenAsked;
        return OpenAnswer;
    }
    QString SaveFileName(QWidget*, const QString&, const QString& suggested, const QString&,
                         const QString&) override {
        ++SaveAsked;
        SaveSuggested = suggested;
        return SaveAnswer;
    }
    std::optional<QString> EditText(QWidget*, const QString&, const QString&,
                                    const QString& current) override {
        TextShown = current;
        return TextAnswer;
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
    ComparisonChoice ShowComparison(QWidget*, const ComparisonView& view) override {
        Views.push_back(view);
        return ComparisonAnswer;
    }
    bool PrintReport(QWidget*, const QString& html) override {
        Printed << html;
        return true;
    }

    QStringList Messages;
    QStringList Questions;
    bool YesNoAnswer = true;
    int OpenAsked = 0;
    QString OpenAnswer;
    int SaveAsked = 0;
    QString SaveSuggested;
    QString SaveAnswer;
    QString TextShown;
    std::optional<QString> TextAnswer = QString();
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
    std::vector<ComparisonView> Views;
    ComparisonChoice ComparisonAnswer = ComparisonChoice::Close;
    QStringList Printed;
};

}  // namespace mp::test
