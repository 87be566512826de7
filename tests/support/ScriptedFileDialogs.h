#pragma once
// Answers the file functions' choosers, questions and windows from a script and records what
// they showed.

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "files/FileDialogs.h"

namespace mp::test {

class CScriptedFileDialogs : public IFileDialogs {
public:
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
    std::optional<QString> EditNote(QWidget*, const QString& current) override {
        NoteShown = current;
        return NoteAnswer;
    }
    void Inform(QWidget*, const QString& text) override { Messages << text; }
    bool AskYesNo(QWidget*, const QString& text) override {
        Questions << text;
        return YesNoAnswer;
    }
    ComparisonChoice ShowComparison(QWidget*, const ComparisonView& view) override {
        Views.push_back(view);
        return ComparisonAnswer;
    }
    bool PrintReport(QWidget*, const QString& html) override {
        Printed << html;
        return true;
    }

    int OpenAsked = 0;
    QString OpenAnswer;
    int SaveAsked = 0;
    QString SaveSuggested;
    QString SaveAnswer;
    QString NoteShown;
    std::optional<QString> NoteAnswer = QString();
    QStringList Messages;
    QStringList Questions;
    bool YesNoAnswer = true;
    std::vector<ComparisonView> Views;
    ComparisonChoice ComparisonAnswer = ComparisonChoice::Close;
    QStringList Printed;
};

}  // namespace mp::test
